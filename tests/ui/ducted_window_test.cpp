// The ducted units' window bound to its screen: the dispatch from the menu, the sliders
// that keep one share, the accessories and a calculation from the window.

#include "screens/ui/ducted_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "app/ui/main_window.h"
#include "screens/ui/results_grid_view.h"
#include "ui_fixture.h"

namespace vestra::testing {
namespace {

using screens::Control;
using screens::Ctl;

TEST(DuctedWindow, opensFromTheMenuClosingTheStandardScreenAndCalculates) {
  StartedProgram p;
  const QPointer<ui::ScreenWindow> miral = &p.ChooseScreen("mnuprod(2)");
  ui::ScreenWindow& w = p.ChooseScreen("mnuprod(4)");
  Settle();
  EXPECT_TRUE(miral.isNull() || miral->IsClosed());
  EXPECT_EQ(w.objectName(), "FDatiPXX");
  EXPECT_EQ(w.windowTitle().toStdString(), p.session().Text(124));
  EXPECT_EQ(p.session().settings.CurrentSeries, "KELM");

  // The sliders hold one share, shown in the frames' captions.
  w.ScrollWidget(Control(Ctl::Scrollfreddo))->setValue(30);
  Settle();
  EXPECT_EQ(w.ScrollWidget(Control(Ctl::ScrollCaldo))->value(), 30);
  auto& ducted = static_cast<ui::DuctedWindow&>(w).ducted();
  EXPECT_EQ(ducted.form.FrmRinnovoC.Caption, p.session().Text(120) + " 30%");

  // KELM's plenums exclude each other in the window too.
  w.CheckWidget(Control(Ctl::chkAcc, 2))->click();
  Settle();
  w.CheckWidget(Control(Ctl::chkAcc, 3))->click();
  Settle();
  EXPECT_FALSE(w.CheckWidget(Control(Ctl::chkAcc, 2))->isChecked());
  EXPECT_TRUE(w.CheckWidget(Control(Ctl::chkAcc, 3))->isChecked());
  EXPECT_FALSE(w.CheckWidget(Control(Ctl::chkAcc, 9))->isVisible());

  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  Settle();
  EXPECT_TRUE(p.desktop.messages.empty()) << p.desktop.messages.front().text.toStdString();
  EXPECT_GT(w.Grid()->model()->rowCount(), 0);

  // ZOPH from the menu replaces the ducted screen with a fresh one.
  ui::ScreenWindow& zoph = p.ChooseScreen("mnuprod(7)");
  Settle();
  EXPECT_NE(&zoph, &w);
  EXPECT_TRUE(zoph.CheckWidget(Control(Ctl::chkAcc, 10))->isVisible());
  EXPECT_EQ(zoph.ScrollWidget(Control(Ctl::Scrollfreddo))->value(), 50);
}

}  // namespace
}  // namespace vestra::testing
