// The language chooser and the units dialog.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/ui/language_chooser.h"
#include "app/ui/main_window.h"
#include "app/ui/units_dialog.h"
#include "screens/ui/results_grid_view.h"
#include "screens/ui/standard_window.h"
#include "ui_fixture.h"

namespace vestra::testing {
namespace {

using screens::Control;
using screens::Ctl;

TEST(LanguageChooser, choosingALanguageClosesTheOtherWindowsAndRewritesTheCaptions) {
  StartedProgram p;
  p.Choose("mnuprod(2)");
  p.main().Action("mnuUnmis")->trigger();
  p.main().Action("mnuInfooska")->trigger();
  p.main().Action("mnulingua")->trigger();
  Settle();
  ui::LanguageChooser* chooser = p.main().OpenLanguageChooser();
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(chooser->windowTitle(), "Scelta lingua");
  EXPECT_EQ(chooser->Flag(1)->text(), "Iinglese");
  EXPECT_EQ(chooser->Flag(7)->text(), "Czech");
  EXPECT_EQ(p.main().OpenWindowNames().size(), 4u);

  QTest::mouseClick(chooser->Flag(7), Qt::LeftButton);
  Settle();
  EXPECT_TRUE(p.main().OpenWindowNames().empty());
  EXPECT_EQ(p.session().settings.LangIndex, 7);
  EXPECT_EQ(p.session().settings.LangBase, 1500);
  EXPECT_EQ(p.main().windowTitle().toStdString(), "Vestra - " + TextContext(1500).Text(60));
  EXPECT_EQ(p.main().Action("mnuprod(2)")->text().toStdString(), TextContext(1500).Text(87));
  EXPECT_EQ(p.main().Action("SSlingua")->toolTip(),
            ui::WithoutMnemonic(QString::fromStdString(TextContext(1500).Text(69))));
  EXPECT_NE(p.folder.ReadSettings().find("Multi= 7"), std::string::npos) << p.folder.ReadSettings();
  // A screen opened now speaks the new language.
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  EXPECT_EQ(w.ButtonWidget(Ctl::cmdCalcola)->text().toStdString(), TextContext(1500).Text(15));
}

TEST(LanguageChooser, openingAndClosingItKeepsWhatTheScreenHolds) {
  StartedProgram p;
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  w.FieldWidget(Control(Ctl::txtTsa1, 1))->setText("22");
  p.main().Action("SSlingua")->trigger();
  Settle();
  ASSERT_NE(p.main().OpenLanguageChooser(), nullptr);
  p.main().OpenLanguageChooser()->close();
  Settle();
  ASSERT_EQ(p.main().OpenScreenWindow(), static_cast<ui::ScreenWindow*>(&w));
  EXPECT_EQ(w.FieldWidget(Control(Ctl::txtTsa1, 1))->text(), "22");
  EXPECT_EQ(p.session().settings.LangIndex, 0);
  EXPECT_EQ(p.folder.ReadSettings().find("Multi"), std::string::npos);  // start-up writes nothing
}

TEST(UnitsDialog, capacityAndWaterPressureDropGoTogetherAndOkKeepsTheChoice) {
  StartedProgram p;
  p.main().Action("SSunmis")->trigger();
  ui::UnitsDialog* dialog = p.main().OpenUnitsDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), "Scelta unita' di misura");
  QComboBox* capacity = dialog->List(Quantity::kCapacity);
  QComboBox* pressureDrop = dialog->List(Quantity::kWaterPressureDrop);
  QComboBox* waterFlow = dialog->List(Quantity::kWaterFlow);
  EXPECT_EQ(capacity->currentText(), "W");
  EXPECT_EQ(pressureDrop->currentText(), "kPa");

  capacity->setFocus();
  QTest::keyClick(capacity, Qt::Key_Down);  // the user picks the second unit
  EXPECT_EQ(capacity->currentText(), "Cal/h - Frig/h");
  EXPECT_EQ(pressureDrop->currentText(), "mH2O");
  pressureDrop->setFocus();
  QTest::keyClick(pressureDrop, Qt::Key_Up);
  EXPECT_EQ(pressureDrop->currentText(), "kPa");
  EXPECT_EQ(capacity->currentText(), "W");
  waterFlow->setFocus();
  QTest::keyClick(waterFlow, Qt::Key_Down);
  EXPECT_EQ(capacity->currentText(), "W");  // only these two go together

  QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
  Settle();
  EXPECT_EQ(p.main().OpenUnitsDialog(), nullptr);
  EXPECT_EQ(p.session().settings.UnitQw, 1);
  EXPECT_EQ(p.session().settings.UnitPt, 0);
  const std::string ini = p.folder.ReadSettings();
  for (const char* line : {"Pt= 0", "Qa= 0", "Qw= 1", "DpW= 0", "DpA= 0"})
    EXPECT_NE(ini.find(line), std::string::npos) << line << "\n" << ini;
}

TEST(UnitsDialog, closingWithoutOkChangesTheUnitsButNotTheFile) {
  StartedProgram p;
  p.main().ShowUnitsDialog();
  ui::UnitsDialog* dialog = p.main().OpenUnitsDialog();
  QComboBox* airFlow = dialog->List(Quantity::kAirFlow);
  airFlow->setFocus();
  QTest::keyClick(airFlow, Qt::Key_End);
  EXPECT_EQ(airFlow->currentText(), "m3/h");
  dialog->close();
  Settle();
  EXPECT_EQ(p.session().settings.UnitQa, 2);
  EXPECT_EQ(p.folder.ReadSettings().find("Qa"), std::string::npos);
  // The next calculation shows the new unit.
  ui::StandardWindow& w = p.Choose("mnuprod(2)");
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  EXPECT_EQ(w.Grid()->model()->headerData(1, Qt::Horizontal).toString(), "QA\nm3/h");
}

TEST(WithoutMnemonic, dropsAcceleratorMarksOnly) {
  EXPECT_EQ(ui::WithoutMnemonic("Scelta &lingua"), "Scelta lingua");
  EXPECT_EQ(ui::WithoutMnemonic("Selection & language"), "Selection & language");
  EXPECT_EQ(ui::WithoutMnemonic("Salt && pepper"), "Salt & pepper");
  EXPECT_EQ(ui::WithoutMnemonic("File"), "File");
}

}  // namespace
}  // namespace vestra::testing
