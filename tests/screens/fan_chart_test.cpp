// The fan curve chart of the EC screens as geometry: where it opens and what it refuses,
// the drawing's scale, grid and curves, and the spinner's moves written into the owner
// screen. The fans are drawn by the test (straight falling curves), so that each figure
// can be worked out by hand.

#include "screens/fan_chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/ec_fan.h"
#include "screen_fixture.h"
#include "screens/ducted_screen.h"
#include "screens/ec_screen.h"

namespace vestra::screens {
namespace {

using testing::CatalogueSession;
using testing::RecordingUi;

// Every step's curve falls straight from 100 Pa at no flow to nothing at `free` m3/h.
void DrawStraightFan(ModelTables& t, int m, float free) {
  for (int k = 0; k < kEcSteps; ++k) {
    t.TabVA.Store(k, m, 0.0f);
    t.TabVB.Store(k, m, -100.0f / free);
    t.TabVC.Store(k, m, 100.0f);
  }
}

// Eight steps whose free deliveries are 200, 300 ... 900 m3/h, each falling straight from
// 100 Pa, and no least air flow.
void DrawSteppedFan(ModelTables& t, int m) {
  t.TabMinQa.Store(m, 0);
  for (int k = 0; k < kEcSteps; ++k) {
    t.TabVA.Store(k, m, 0.0f);
    t.TabVB.Store(k, m, -100.0f / (200.0f + 100.0f * static_cast<float>(k)));
    t.TabVC.Store(k, m, 100.0f);
  }
}

struct Owner {
  std::unique_ptr<Session> session = CatalogueSession();
  RecordingUi ui;
  std::unique_ptr<SelectionScreen> screen;

  explicit Owner(std::string_view series) {
    if (series == "UMBRA")
      screen = testing::OpenScreen<UmbraScreen>(*session, ui, series);
    else if (series == "KELMBLDC" || series == "ZOPHBLDC")
      screen = testing::OpenScreen<DuctedEcScreen>(*session, ui, series);
    else
      screen = testing::OpenScreen<EcFanCoilScreen>(*session, ui, series);
  }
  CommonForm& form() { return screen->Form(); }
  TextBox& field(Ctl name) { return *screen->Field(Control(name)); }
  // The model, its air flow (m3/h) and static pressure (Pa) typed, then Calculate.
  void Type(int m, const std::string& flow, const std::string& pressure) {
    form().cboModel.ListIndex = m;
    field(Ctl::txtqatot).Text = flow;
    field(Ctl::txtpsu).Text = pressure;
  }
  std::variant<FanChart, ScreenMessage> Open() { return FanChart::Open(*screen, *session); }
  FanChart Opened() {
    auto chart = Open();
    if (auto* message = std::get_if<ScreenMessage>(&chart)) ADD_FAILURE() << message->text;
    return std::get<FanChart>(std::move(chart));
  }
};

std::vector<ChartPrimitive> Items(const ChartDrawing& d, ChartPrimitive::Kind kind,
                                  ChartColour colour) {
  std::vector<ChartPrimitive> out;
  for (const ChartPrimitive& p : d.items)
    if (p.kind == kind && p.colour == colour) out.push_back(p);
  return out;
}

std::vector<std::string> Labels(const ChartDrawing& d, bool flowAxis) {
  std::vector<std::string> out;
  for (const ChartPrimitive& p : d.items)
    if (p.kind == ChartPrimitive::kText && (p.y1 < 0) == flowAxis) out.push_back(p.text);
  return out;
}

TEST(FanChart, theScaleGridAndTheFanCurvesRightTwoThirds) {
  Owner o("MIRALEC");
  DrawStraightFan(o.session->models, 1, 500);
  o.session->chart.ChartStep = 2;
  o.Type(1, "300", "20");
  const FanChart chart = o.Opened();
  // The free delivery as the fan search finds it, to a hundredth of a m3/h.
  EXPECT_NEAR(chart.qmax(), 500, 0.01);
  // H = 10 x 1.1 x p(500 / 3) = 11 x 66.67 = 733 tenths of a Pa.
  EXPECT_EQ(chart.topTenthsPa(), 733);
  const ChartDrawing d = chart.Draw(20, 300);
  EXPECT_NEAR(d.left, -50, 0.01);
  EXPECT_DOUBLE_EQ(d.top, 733);
  EXPECT_NEAR(d.right, 550, 0.01);
  EXPECT_NEAR(d.bottom, -73.3, 1e-9);

  // The fan curve from 500 m3/h down to 167, a point every m3/h, ten times its pressure.
  const auto fan = Items(d, ChartPrimitive::kPoint, ChartColour::kBlack);
  ASSERT_EQ(fan.size(), 334u);
  EXPECT_NEAR(fan.front().x1, 500, 0.01);
  EXPECT_NEAR(fan.back().x1, 167, 0.01);
  EXPECT_NEAR(fan.back().y1, 10 * (100 - fan.back().x1 * 0.2), 1e-3);
  EXPECT_EQ(fan.front().width, 3);

  // With Qmax at 500 every air-flow grid line is labelled, from 50 to 550; the pressure
  // grid every 5 Pa up to the top.
  const std::vector<std::string> flows{"50",  "100", "150", "200", "250", "300",
                                       "350", "400", "450", "500", "550"};
  EXPECT_EQ(Labels(d, true), flows);
  const auto pressures = Labels(d, false);
  ASSERT_EQ(pressures.size(), 14u);
  EXPECT_EQ(pressures.front(), "5");
  EXPECT_EQ(pressures.back(), "70");
  EXPECT_EQ(Items(d, ChartPrimitive::kLine, ChartColour::kGrey).size(), 14u + 11u);
  // The operating point in blue, a hundredth of Qmax wide.
  const auto point = Items(d, ChartPrimitive::kCircle, ChartColour::kBlue);
  ASSERT_EQ(point.size(), 1u);
  EXPECT_DOUBLE_EQ(point[0].x1, 300);
  EXPECT_DOUBLE_EQ(point[0].y1, 200);
  EXPECT_NEAR(point[0].radius, 5, 1e-4);
}

TEST(FanChart, aWideChartLabelsOnlyTheHundredsAndTheDuctCurveStopsBelowNineTenths) {
  Owner o("MIRALEC");
  DrawStraightFan(o.session->models, 1, 700);
  o.session->chart.ChartStep = 0;
  o.Type(1, "200", "40");
  const FanChart chart = o.Opened();
  const ChartDrawing d = chart.Draw(40, 200);
  const std::vector<std::string> hundreds{"100", "200", "300", "400", "500", "600", "700"};
  EXPECT_EQ(Labels(d, true), hundreds);

  // The duct curve 40 (Q / 200)^2 Pa, drawn from 0 while ten times it stays below
  // 0.9 x H = 0.9 x 733 = 659.7: up to 256 m3/h (655.4), not 257 (660.5).
  const auto duct = Items(d, ChartPrimitive::kPoint, ChartColour::kRed);
  ASSERT_FALSE(duct.empty());
  EXPECT_EQ(chart.topTenthsPa(), 733);
  EXPECT_DOUBLE_EQ(duct.front().x1, 0);
  EXPECT_DOUBLE_EQ(duct.back().x1, 256);
  EXPECT_EQ(duct.size(), 257u);
  for (const ChartPrimitive& p : duct) EXPECT_LT(p.y1, 0.9 * chart.topTenthsPa());
}

TEST(FanChart, theSpinnersRangeFollowsTheOwner) {
  // The duct curve through (400 m3/h, 20 Pa) meets the fan (falling to 0 at 500 m3/h)
  // right there, at 400 m3/h; the scan of 1 + k x 2.5 m3/h stops short of it, at 398.5
  // (398, halves to even), so the typed flow lies just beyond the meeting point.
  struct Case {
    const char* series;
    int top;
    bool opens;
  };
  for (const Case& c :
       {Case{"MIRALEC", 500, true}, Case{"KELMBLDC", 400, true}, Case{"UMBRA", 0, false}}) {
    SCOPED_TRACE(c.series);
    Owner o(c.series);
    ModelTables& t = o.session->models;
    if (std::string(c.series) != "UMBRA") {
      DrawStraightFan(t, 1, 500);
    } else {
      // The same fan at the full signal: the terms' constant parts only.
      for (int i = 1; i <= 3; ++i) {
        t.TabAK.Store(i, 1, 0.0f);
        t.TabBX.Store(i, 1, i == 3 ? -0.2f : 0.0f);
        t.TabCY.Store(i, 1, i == 3 ? 100.0f : 0.0f);
      }
      t.TabMaxQa.Store(1, std::int16_t{500});
    }
    o.session->chart.ChartStep = 1;
    o.Type(1, "400", "20");
    if (auto* ducted = dynamic_cast<DuctedEcScreen*>(o.screen.get())) {
      ducted->cmdCalcola_Click();  // its reference pressure is the one its Calculate read
      o.session->chart.ChartStep = 1;
      o.field(Ctl::txtqatot).Text = "400";
    }
    auto opened = o.Open();
    if (!c.opens) {
      ASSERT_TRUE(std::holds_alternative<ScreenMessage>(opened));
      const ScreenMessage& m = std::get<ScreenMessage>(opened);
      EXPECT_NE(m.text.find("400 m3/h"), std::string::npos) << m.text;
      EXPECT_NE(m.text.find("50 .. 398"), std::string::npos) << m.text;
      EXPECT_FALSE(o.session->chart.ChartOpen);
      EXPECT_TRUE(o.field(Ctl::txtqatot).Enabled);
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<FanChart>(opened)) << std::get<ScreenMessage>(opened).text;
    const FanChart& chart = std::get<FanChart>(opened);
    EXPECT_EQ(chart.qmeet(), 398);
    EXPECT_EQ(chart.scrollTop(), c.top);
    EXPECT_EQ(chart.owner(), o.screen->Name());
    EXPECT_TRUE(o.session->chart.ChartOpen);
    EXPECT_FALSE(o.field(Ctl::txtqatot).Enabled);
  }
}

TEST(FanChart, refusesWithoutAFlowAModelOrAFanThatDeliversAir) {
  Owner o("MIRALEC");
  DrawStraightFan(o.session->models, 1, 500);
  o.Type(1, "0", "20");
  auto opened = o.Open();
  ASSERT_TRUE(std::holds_alternative<ScreenMessage>(opened));
  EXPECT_EQ(std::get<ScreenMessage>(opened).text, " Portata aria obbligatori");

  o.Type(0, "300", "20");
  opened = o.Open();
  ASSERT_TRUE(std::holds_alternative<ScreenMessage>(opened));
  EXPECT_NE(std::get<ScreenMessage>(opened).text.find("modello"), std::string::npos);

  o.Type(1, "30", "20");  // below the spinner's floor
  opened = o.Open();
  ASSERT_TRUE(std::holds_alternative<ScreenMessage>(opened));
  EXPECT_EQ(std::get<ScreenMessage>(opened).text,
            "Il grafico parte da 50 m3/h: la portata 30 m3/h è più bassa");

  // A fan without pressure at no flow has no largest flow.
  ModelTables& t = o.session->models;
  for (int k = 0; k < kEcSteps; ++k) t.TabVC.Store(k, 1, -5.0f);
  o.Type(1, "300", "20");
  opened = o.Open();
  ASSERT_TRUE(std::holds_alternative<ScreenMessage>(opened));
  EXPECT_EQ(std::get<ScreenMessage>(opened).text,
            "La curva del ventilatore di " + t.TabModello(1) + " non dà portata d'aria");
  EXPECT_FALSE(o.session->chart.ChartOpen);
}

TEST(FanChart, eachMoveWritesTheOwnerAndCalculatesItWhileTheStepStaysTheCharts) {
  Owner o("MIRALEC");
  DrawSteppedFan(o.session->models, 1);
  o.Type(1, "300", "10");
  o.screen->cmdCalcola_Click();
  ASSERT_FALSE(o.screen->LastCalculation().rows.empty())
      << (o.ui.messages.empty() ? "" : o.ui.messages.back().text);
  const int step = o.session->chart.ChartStep;
  FanChart chart = o.Opened();
  EXPECT_EQ(chart.step(), step);

  // Each spinner move of n m3/h moves the owner's flow by n, its pressure along the duct
  // curve 10 (Q / 300)^2, and rates the owner again at that flow.
  for (int flow : {301, 311, 200, 410}) {
    SCOPED_TRACE(flow);
    const int pressure = chart.Change(flow, *o.screen);
    const double expected = 10.0 * flow / 300 * flow / 300;
    EXPECT_EQ(pressure, static_cast<int>(std::lround(expected)));
    EXPECT_EQ(o.field(Ctl::txtqatot).Text, std::to_string(flow));
    EXPECT_EQ(o.field(Ctl::txtpsu).Text, std::to_string(pressure));
    const auto& rows = o.screen->LastCalculation().rows;
    ASSERT_FALSE(rows.empty());
    EXPECT_NEAR(rows[0].airFlowM3s * 3600, flow, 0.05);
    EXPECT_EQ(rows[0].chartStep, step) << "the chart keeps its step";
    EXPECT_EQ(o.session->chart.ChartStep, step);
  }
  // Closed, the owner's next Calculate chooses the step again.
  chart.Close(*o.screen);
  EXPECT_FALSE(o.session->chart.ChartOpen);
  EXPECT_TRUE(o.field(Ctl::txtqatot).Enabled);
  o.Type(1, "120", "0");
  o.screen->cmdCalcola_Click();
  ASSERT_FALSE(o.screen->LastCalculation().rows.empty())
      << (o.ui.messages.empty() ? "" : o.ui.messages.back().text);
  EXPECT_NE(o.session->chart.ChartStep, step);
}

TEST(FanChart, readsAndWritesThePressureInTheUnitShown) {
  Owner o("MIRALEC");
  o.session->settings.UnitDpA = 1;  // mmH2O
  DrawStraightFan(o.session->models, 1, 500);
  o.session->chart.ChartStep = 0;
  o.Type(1, "300", "2.04");  // 20 Pa
  FanChart chart = o.Opened();
  EXPECT_NEAR(chart.refPressurePa(), 20, 1e-3);
  EXPECT_EQ(chart.Change(330, *o.screen), 24);  // 20 x 1.1^2 = 24.2 Pa
  EXPECT_EQ(o.field(Ctl::txtpsu).Text, "2.448");
}

}  // namespace
}  // namespace vestra::screens
