// The fan curve chart's window opened from each EC screen: the spinner upside down, every
// move written into the owner and calculated, the owner's air flow locked while it is open.

#include "screens/ui/chart_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <ostream>

#include "app/ui/main_window.h"
#include "screens/ui/results_grid_view.h"
#include "screens/ui/screen_window.h"
#include "ui_fixture.h"

namespace vestra::testing {
namespace {

using screens::Control;
using screens::Ctl;

// Clicks one of a scroll bar's arrows, where its style draws it.
void ClickArrow(QScrollBar& bar, QStyle::SubControl arrow) {
  QStyleOptionSlider option;
  option.initFrom(&bar);
  option.orientation = bar.orientation();
  option.minimum = bar.minimum();
  option.maximum = bar.maximum();
  option.sliderPosition = bar.sliderPosition();
  option.sliderValue = bar.value();
  option.singleStep = bar.singleStep();
  option.pageStep = bar.pageStep();
  option.upsideDown = bar.invertedAppearance();
  option.subControls = QStyle::SC_All;
  const QRect place = bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, arrow, &bar);
  ASSERT_TRUE(place.isValid());
  QTest::mouseClick(&bar, Qt::LeftButton, {}, place.center());
  Settle();
}

struct Case {
  const char* menu;
  const char* window;
  int model;
  const char* flow;
  const char* pressure;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.window << " at " << c.flow << " m3/h";
}

class ChartWindowTest : public ::testing::TestWithParam<Case> {};

TEST_P(ChartWindowTest, opensFromTheChartButtonAndDragsTheOwnersOperatingPoint) {
  const Case c = GetParam();
  StartedProgram p;
  ui::ScreenWindow& w = p.ChooseScreen(c.menu);
  ASSERT_EQ(w.objectName(), c.window);
  w.ComboWidget(Control(Ctl::cboModel))->setCurrentIndex(c.model);
  w.FieldWidget(Control(Ctl::txtqatot))->setText(c.flow);
  w.FieldWidget(Control(Ctl::txtpsu))->setText(c.pressure);
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  Settle();
  ASSERT_TRUE(p.desktop.messages.empty()) << p.desktop.messages.front().text.toStdString();
  QPushButton* button = w.ButtonWidget(Ctl::cmdGrafico);
  ASSERT_TRUE(button->isVisible());
  EXPECT_EQ(button->text(), "Grafico");
  QTest::mouseClick(button, Qt::LeftButton);
  Settle();
  ASSERT_TRUE(p.desktop.messages.empty()) << p.desktop.messages.front().text.toStdString();

  const QPointer<ui::ChartWindow> chart = w.OpenChartWindow();
  ASSERT_FALSE(chart.isNull());
  EXPECT_TRUE(chart->isVisible());
  EXPECT_EQ(chart->windowTitle(), "Grafico curva motore");
  EXPECT_TRUE(p.session().chart.ChartOpen);
  EXPECT_FALSE(w.FieldWidget(Control(Ctl::txtqatot))->isEnabled());
  QScrollBar& spinner = *chart->Spinner();
  EXPECT_EQ(chart->Flow(), std::stoi(c.flow));
  EXPECT_EQ(chart->BottomFlow(), 50);
  EXPECT_EQ(chart->TopFlow(), chart->chart().scrollTop());
  EXPECT_EQ(chart->FlowLabel()->text(), c.flow);
  EXPECT_EQ(chart->PressureLabel()->text(), c.pressure);
  EXPECT_FALSE(chart->View()->drawing().items.empty());
  const int step = p.session().chart.ChartStep;

  // The spinner's lower arrow lowers the air flow by 1 m3/h; the owner follows, along the
  // duct curve, and is rated again at its step.
  const int flow = std::stoi(c.flow);
  ClickArrow(spinner, QStyle::SC_ScrollBarAddLine);
  EXPECT_EQ(chart->Flow(), flow - 1);
  EXPECT_EQ(w.FieldWidget(Control(Ctl::txtqatot))->text().toInt(), flow - 1);
  EXPECT_EQ(chart->FlowLabel()->text().toInt(), flow - 1);
  EXPECT_EQ(w.FieldWidget(Control(Ctl::txtpsu))->text(), chart->PressureLabel()->text());
  const auto& rows = w.screen().LastCalculation().rows;
  ASSERT_FALSE(rows.empty());
  EXPECT_NEAR(rows[0].airFlowM3s * 3600, flow - 1, 0.05);
  EXPECT_EQ(p.session().chart.ChartStep, step);
  // Its upper arrow raises it again.
  ClickArrow(spinner, QStyle::SC_ScrollBarSubLine);
  ClickArrow(spinner, QStyle::SC_ScrollBarSubLine);
  EXPECT_EQ(chart->Flow(), flow + 1);
  EXPECT_EQ(w.FieldWidget(Control(Ctl::txtqatot))->text().toInt(), flow + 1);
  EXPECT_TRUE(p.desktop.messages.empty()) << p.desktop.messages.front().text.toStdString();

  // Closed, the chart gives the owner back its air flow.
  chart->close();
  Settle();
  EXPECT_TRUE(chart.isNull());
  EXPECT_FALSE(p.session().chart.ChartOpen);
  EXPECT_TRUE(w.FieldWidget(Control(Ctl::txtqatot))->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(EcScreens, ChartWindowTest,
                         ::testing::Values(Case{"mnuprods(1)", "FDatiPEC", 1, "200", "10"},
                                           Case{"mnuprods(3)", "FDatiPXXEC", 1, "400", "50"},
                                           Case{"mnuprods(4)", "FDatiUmbra", 1, "250", "20"}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.window);
                         });

TEST(ChartWindow, aFlowTheChartCannotShowIsToldAndNothingOpens) {
  StartedProgram p;
  ui::ScreenWindow& w = p.ChooseScreen("mnuprods(4)");
  w.ComboWidget(Control(Ctl::cboModel))->setCurrentIndex(1);
  w.FieldWidget(Control(Ctl::txtqatot))->setText("340");  // beyond the meeting point
  w.FieldWidget(Control(Ctl::txtpsu))->setText("20");
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  Settle();
  p.desktop.messages.clear();
  QTest::mouseClick(w.ButtonWidget(Ctl::cmdGrafico), Qt::LeftButton);
  Settle();
  ASSERT_EQ(p.desktop.messages.size(), 1u);
  EXPECT_TRUE(p.desktop.messages[0].text.contains("340 m3/h"))
      << p.desktop.messages[0].text.toStdString();
  EXPECT_EQ(w.OpenChartWindow(), nullptr);
  EXPECT_FALSE(p.session().chart.ChartOpen);
  EXPECT_TRUE(w.FieldWidget(Control(Ctl::txtqatot))->isEnabled());
}

TEST(ChartWindow, closingTheOwnerClosesItsChart) {  // its End button, or its frame's
  StartedProgram p;
  QPointer<ui::ScreenWindow> w = &p.ChooseScreen("mnuprods(1)");
  w->ComboWidget(Control(Ctl::cboModel))->setCurrentIndex(1);
  w->FieldWidget(Control(Ctl::txtqatot))->setText("200");
  QTest::mouseClick(w->ButtonWidget(Ctl::cmdCalcola), Qt::LeftButton);
  Settle();
  QTest::mouseClick(w->ButtonWidget(Ctl::cmdGrafico), Qt::LeftButton);
  Settle();
  const QPointer<ui::ChartWindow> chart = w->OpenChartWindow();
  ASSERT_FALSE(chart.isNull());
  w->ButtonWidget(Ctl::CmdFine)->click();
  Settle();
  EXPECT_TRUE(chart.isNull());
  EXPECT_FALSE(p.session().chart.ChartOpen);
}

}  // namespace
}  // namespace vestra::testing
