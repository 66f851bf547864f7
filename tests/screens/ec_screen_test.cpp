// The EC screens on the catalogue the build makes: the EC fan coils (FDatiPEC), the
// high-efficiency EC units (FDatiUmbra) and the EC ducted units (FDatiPXXEC). The fan's
// rules are checked on a model whose fan the test draws itself, so that each figure can
// be worked out by hand; the physical identities on the catalogue's own models.

#include "screens/ec_screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "app/numbers.h"
#include "engine/ec_fan.h"
#include "engine/fluids.h"
#include "screen_fixture.h"
#include "screens/ducted_screen.h"

namespace vestra::screens {
namespace {

using testing::CatalogueSession;
using testing::Column;
using testing::ModelRows;
using testing::Number;
using testing::RecordingUi;

// Eight steps whose free flows are 200, 300 ... 900 m3/h (pressure falling straight from
// 100 Pa), nominal speeds 500, 700 ... 1900 rpm, sound powers 30, 33 ... 51 dB(A) and
// absorbed powers 10, 15 ... 45 W whatever the flow.
void DrawEcFan(ModelTables& t, int m) {
  for (int k = 0; k < kEcSteps; ++k) {
    const float free = 200.0f + 100.0f * static_cast<float>(k);
    t.TabVA.Store(k, m, 0.0f);
    t.TabVB.Store(k, m, -100.0f / free);
    t.TabVC.Store(k, m, 100.0f);
    t.TabG.Store(k, m, static_cast<std::int16_t>(500 + 200 * k));
    t.TabLWA.Store(k, m, 30.0f + 3.0f * static_cast<float>(k));
    t.TabPA.Store(k, m, 0.0f);
    t.TabPB.Store(k, m, 0.0f);
    t.TabPC.Store(k, m, 10.0f + 5.0f * static_cast<float>(k));
  }
}

template <typename Screen>
struct Opened {
  std::unique_ptr<Session> session = CatalogueSession();
  RecordingUi ui;
  std::unique_ptr<Screen> screen;
  explicit Opened(std::string_view series) {
    screen = testing::OpenScreen<Screen>(*session, ui, series);
  }
  ModelTables& t() { return session->models; }
  // Rates model m alone at an air flow (m3/h) and a static pressure (Pa).
  void Rate(int m, const std::string& flow, const std::string& pressure = "0") {
    screen->form.cboModel.ListIndex = m;
    screen->form.txtqatot.Text = flow;
    screen->form.txtpsu.Text = pressure;
    ui.messages.clear();
    ui.focus.clear();
    screen->cmdCalcola_Click();
  }
  const std::vector<RatedRow>& Rows() const { return screen->LastCalculation().rows; }
  std::string Cell(const std::string& symbol) const {
    const auto rows = ModelRows(*screen);
    return rows.empty() ? "no row" : rows[0][static_cast<std::size_t>(Column(*screen, symbol))];
  }
  std::string Message() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
};

TEST(EcFanSteps, bracketTheFlowPassingOverStalledStepsUnlessLimitsAreOff) {
  std::array<FanCurve, kEcSteps> steps;
  for (int k = 0; k < kEcSteps; ++k)
    steps[static_cast<std::size_t>(k)] = {0, -100.0f / (200.0f + 100 * k), 100};
  const float m3s = 1 / 3600.0f;
  const StepBracket b = FindStepBracket(steps, 0, 450 * m3s, 300 * m3s, false);
  EXPECT_EQ(b.upper, 3);
  EXPECT_EQ(b.lower, 2);
  EXPECT_NEAR(b.upperFlowM3s * 3600, 500, 0.01);
  // Halfway between the two steps' flows, halfway between their figures.
  EXPECT_NEAR(InterpolateAtFlow(1100, 900, b, 450 * m3s), 1000, 0.01);
  // Below the lowest step: in proportion to the flow.
  const StepBracket low = FindStepBracket(steps, 0, 100 * m3s, 300 * m3s, false);
  EXPECT_EQ(low.upper, 0);
  EXPECT_NEAR(InterpolateAtFlow(500, 0, low, 100 * m3s), 250, 0.01);
  // A step at a third of the step-1 free flow or less runs stalled: passed over.
  const StepBracket stalled = FindStepBracket(steps, 0, 450 * m3s, 1500 * m3s, false);
  EXPECT_EQ(stalled.upper, 4) << "steps 1 to 3 give at most 500 m3/h, a third of 1500";
  EXPECT_EQ(stalled.lower, 0);
  EXPECT_EQ(FindStepBracket(steps, 0, 450 * m3s, 1500 * m3s, true).lower, 2);
  // No step gives the flow: none above it.
  EXPECT_EQ(FindStepBracket(steps, 0, 1000 * m3s, 300 * m3s, false).upper, -1);
}

TEST(EcFanCoilScreen, theWorkingPointLiesBetweenTheTwoStepsAroundTheFlow) {
  Opened<EcFanCoilScreen> o("MIRALEC");
  DrawEcFan(o.t(), 1);
  o.t().TabMinQa.Store(1, 0);
  o.Rate(1, "450");
  ASSERT_EQ(o.Rows().size(), 1u) << o.Message();
  EXPECT_EQ(o.Rows()[0].fanSpeedRpm, 1000);
  EXPECT_EQ(o.Cell("SPEED"), "1100");  // the nominal speed of the upper step, 3
  EXPECT_EQ(o.Cell("Vin"), "8.1");     // 900 / 1000 x 8.5 + 0.5 = 8.15, cut
  EXPECT_EQ(o.Cell("Pin"), "22.5");
  EXPECT_EQ(o.Cell("LW"), "37.5");  // no static pressure: the plain interpolation
  EXPECT_TRUE(o.screen->form.cmdGrafico.Visible);

  // Against a static pressure the sound follows the speed the fan needs.
  o.t().TabNlog.Store(1, static_cast<std::int16_t>(50));
  o.Rate(1, "450", "20");
  ASSERT_EQ(o.Rows().size(), 1u) << o.Message();
  const int speed = *o.Rows()[0].fanSpeedRpm;
  EXPECT_GT(speed, 1000);
  EXPECT_NEAR(o.Rows()[0].soundPowerDb, 37.5 + 50 * std::log10(speed / 1000.0), 0.01);
}

TEST(EcFanCoilScreen, belowTheLowestStepTheSpeedFollowsTheFlowAndTheSoundItsFloor) {
  Opened<EcFanCoilScreen> o("MIRALEC");
  DrawEcFan(o.t(), 1);
  o.t().TabMinQa.Store(1, 0);
  o.Rate(1, "100");
  ASSERT_EQ(o.Rows().size(), 1u) << o.Message();
  EXPECT_EQ(o.Rows()[0].fanSpeedRpm, 250);
  EXPECT_EQ(o.Cell("SPEED"), "700");  // the voltage is taken against step 1
  EXPECT_EQ(o.Cell("Vin"), "2.6");
  // 55 log10(250 / 500) + 30 = 13.4 dB(A): raised to the 28 dB(A) the data start at.
  EXPECT_EQ(o.Cell("LW"), "28.0");
  // 150 rpm is the slowest the inverter runs: 149 rpm gives no row.
  o.Rate(1, "60");
  EXPECT_EQ(o.Rows().size(), 1u) << o.Message();
  o.Rate(1, "59.6");
  EXPECT_TRUE(o.Rows().empty());
  EXPECT_EQ(o.Message(), "Nessun apparecchio soddisfa i dati richiesti ");
  EXPECT_FALSE(o.screen->form.cmdGrafico.Visible);
  // A unit that cannot run as slowly as asked is not offered.
  o.t().TabMinQa.Store(1, 200);
  o.Rate(1, "100");
  EXPECT_TRUE(o.Rows().empty());
}

TEST(EcFanCoilScreen, theAirFlowIsRequiredAndReadAsItsLeadingNumber) {
  Opened<EcFanCoilScreen> o("MIRALEC");
  for (const char* missing : {"0", "", "abc", "0,5"}) {
    o.Rate(0, missing);
    ASSERT_EQ(o.ui.messages.size(), 1u) << missing;
    EXPECT_EQ(o.ui.messages[0].text, " Portata aria obbligatori");
    EXPECT_EQ(o.ui.messages[0].icon, Icon::kNone);
    EXPECT_EQ(o.ui.focus.back(), Control(Ctl::txtqatot));
    EXPECT_TRUE(ModelRows(*o.screen).empty());
  }
  // In a comma locale "400,5" is 400 m3/h: the decimal comma is not read.
  o.session->settings.DecimalSeparator = ",";
  o.Rate(0, "400,5");
  const auto comma = o.Rows();
  o.session->settings.DecimalSeparator = ".";
  o.Rate(0, "400");
  ASSERT_FALSE(comma.empty()) << o.Message();
  ASSERT_EQ(comma.size(), o.Rows().size());
  EXPECT_EQ(comma[0].fanSpeedRpm, o.Rows()[0].fanSpeedRpm);
}

TEST(EcScreens, theControlVoltageIsCutToOneDecimal) {
  auto session = testing::ItalianSession();
  RatedRow row;
  row.modelName = "X";
  row.stepSpeedRpm = 1200;
  for (const auto& [volts, shown] : {std::pair{6.99f, "6.9"}, std::pair{5.97f, "5.9"},
                                     std::pair{6.7f, "6.7"}, std::pair{10.0f, "10.0"}}) {
    row.controlVoltageV = volts;
    EXPECT_NE(
        EcRowText(row, true, true, true, *session).find("\t1200\t" + std::string(shown) + "\t"),
        std::string::npos)
        << volts;
    EXPECT_NE(DuctedEcRowText(row, true, true, *session).find("\t" + std::string(shown) + "\t"),
              std::string::npos)
        << volts;
  }
}

// A high-efficiency fan whose available pressure is 20 V - 0.125 Q + c Pa at a signal V and a
// flow Q (m3/h), its power 5 V + 0.01 Q W, its sound 40 dB(A) plus TabKDB.
void DrawUmbraFan(ModelTables& t, int m, float c) {
  for (int k = 1; k <= 3; ++k) {
    t.TabAK.Store(k, m, 0.0f);
    t.TabAA.Store(k, m, 0.0f);
    t.TabAL.Store(k, m, k == 3 ? 40.0f : 0.0f);
  }
  t.TabBX.Store(1, m, 0.0f);
  t.TabBX.Store(2, m, 0.0f);
  t.TabBX.Store(3, m, -0.125f);
  t.TabCY.Store(1, m, 0.0f);
  t.TabCY.Store(2, m, 20.0f);
  t.TabCY.Store(3, m, c);
  t.TabBB.Store(1, m, 0.0f);
  t.TabBB.Store(2, m, 0.0f);
  t.TabBB.Store(3, m, 0.01f);
  t.TabCC.Store(1, m, 0.0f);
  t.TabCC.Store(2, m, 5.0f);
  t.TabCC.Store(3, m, 0.0f);
  t.TabKDB.Store(m, 2.0f);
  t.TabMinQa.Store(m, 500);
  t.TabMaxQa.Store(m, static_cast<std::int16_t>(2500));
}

TEST(UmbraScreen, theSignalIsTheHighestThatGivesThePressureAndTheWindowHoldsItsEnds) {
  Opened<UmbraScreen> o("UMBRA");
  DrawUmbraFan(o.t(), 1, 0);
  // Exactly the full signal's pressure at the flow: 10 V.
  o.Rate(1, "500", "137.5");
  ASSERT_EQ(o.Rows().size(), 1u) << o.Message();
  EXPECT_EQ(o.Cell("Vin"), "10.0");
  EXPECT_EQ(o.Cell("Pin"), "55.0");
  // At the free-delivery flow of 10 V (1592 m3/h) the sound polynomial, plus TabKDB.
  EXPECT_EQ(o.Cell("LW"), "42.0");
  // More pressure than the full signal gives: not offered.
  o.Rate(1, "500", "138");
  EXPECT_TRUE(o.Rows().empty());
  // The window's ends are taken, one m3/h beyond them is not.
  o.t().TabMaxQa.Store(1, static_cast<std::int16_t>(600));
  for (const auto& [flow, rated] : {std::pair{"500", true}, std::pair{"600", true},
                                    std::pair{"499", false}, std::pair{"601", false}}) {
    o.Rate(1, flow, "20");
    EXPECT_EQ(o.Rows().size(), rated ? 1u : 0u) << flow;
  }
}

TEST(UmbraScreen, cellsTheScansCannotFillAreEmptyAndTheNoteSaysWhy) {
  Opened<UmbraScreen> o("UMBRA");
  // Even at 0.5 V the fan gives 7.5 Pa more than the duct asks at 500 m3/h.
  DrawUmbraFan(o.t(), 1, 60);
  o.t().TabMaxQa.Store(1, static_cast<std::int16_t>(540));
  o.Rate(1, "500", "0");
  ASSERT_EQ(o.Rows().size(), 1u) << o.Message();
  EXPECT_EQ(o.Cell("Pin"), "");
  EXPECT_EQ(o.Cell("Vin"), "0.4");  // where the scan ended, just below 0.5 V
  // The free flow of that signal lies beyond the window's top: no sound power.
  EXPECT_EQ(o.Cell("LW"), "");
  EXPECT_EQ(o.Cell("LP"), "");
  EXPECT_TRUE(o.screen->form.lblNote.Visible);
  const std::string model = o.t().TabModello(1);
  EXPECT_NE(o.screen->form.lblNote.Caption.find("Pin: nessun segnale"), std::string::npos);
  EXPECT_NE(o.screen->form.lblNote.Caption.find("LW, LP:"), std::string::npos);
  EXPECT_NE(o.screen->form.lblNote.Caption.find(model), std::string::npos);
}

TEST(EcScreens, anAdditionalCoilModelRatesItsPairInOneRow) {
  for (const char* series : {"MIRALEC", "UMBRA"}) {
    Opened<EcFanCoilScreen> fc(series);
    Opened<UmbraScreen> um(series);
    EcScreenBase* screen = fc.screen ? static_cast<EcScreenBase*>(fc.screen.get())
                                     : static_cast<EcScreenBase*>(um.screen.get());
    ASSERT_NE(screen, nullptr) << series;
    auto& models = screen->form.cboModel;
    int hx = 0;  // the largest additional-coil model: it carries the flow
    for (int i = 1; i < models.ListCount(); ++i)
      if (models.List[static_cast<std::size_t>(i)].ends_with("HX")) hx = i;
    ASSERT_GT(hx, 0) << series;
    models.ListIndex = hx;
    screen->form.txtqatot.Text = "450";
    screen->cmdCalcola_Click();
    const auto rows = ModelRows(*screen);
    ASSERT_EQ(rows.size(), 1u) << series;
    EXPECT_TRUE(screen->form.chkHX.Value);
    EXPECT_TRUE(rows[0][0].ends_with("HX*")) << rows[0][0];
    EXPECT_FALSE(rows[0][static_cast<std::size_t>(Column(*screen, "PT"))].empty()) << series;
  }
}

TEST(DuctedEcScreen, theWorkingPointMeetsTheRequiredPressureAndItsSoundFloor) {
  Opened<DuctedEcScreen> o("KELMBLDC");
  DrawEcFan(o.t(), 1);
  o.t().TabNlog.Store(1, static_cast<std::int16_t>(30));
  EXPECT_FALSE(o.screen->form.cboVel.Visible);
  EXPECT_EQ(o.screen->form.lblUmQA.Caption, "m3/h");
  // Below step 0: the speed in proportion to the flow, the voltage against step 1, the
  // sound on the straight line from zero, raised to 3 dB under step 0's and marked.
  o.Rate(1, "100");
  ASSERT_EQ(o.Rows().size(), 1u) << o.Message();
  EXPECT_EQ(o.Rows()[0].fanSpeedRpm, 250);
  EXPECT_EQ(o.Cell("SPEED"), "700");
  EXPECT_EQ(o.Cell("Vin"), "2.6");
  EXPECT_EQ(o.Cell("LW"), "< 27.0");
  EXPECT_EQ(o.Cell("LP").rfind("< ", 0), 0u);
  // 149 rpm gives no row, 150 does.
  o.Rate(1, "59.6");
  EXPECT_TRUE(o.Rows().empty());
  o.Rate(1, "60");
  EXPECT_EQ(o.Rows().size(), 1u) << o.Message();
  // More air than step 7 gives: no row.
  o.Rate(1, "1000");
  EXPECT_TRUE(o.Rows().empty());

  // No pressure and no accessory: the plain interpolation; an accessory makes the fan
  // work against its loss, faster, and the sound follows the speed.
  o.Rate(1, "450");
  ASSERT_EQ(o.Rows().size(), 1u) << o.Message();
  EXPECT_EQ(o.Cell("LW"), "37.5");
  EXPECT_EQ(o.Rows()[0].fanSpeedRpm, 1000);
  o.screen->form.chkAcc[5].Value = true;
  o.Rate(1, "450");
  ASSERT_EQ(o.Rows().size(), 1u) << o.Message();
  const int speed = *o.Rows()[0].fanSpeedRpm;
  EXPECT_GT(speed, 1000);
  EXPECT_NEAR(o.Rows()[0].soundPowerDb, 37.5 + 30 * std::log10(speed / 1000.0), 0.01);
}

TEST(DuctedEcScreen, theAirFlowIsRequiredAndOneHxModelBringsItsBaseModel) {
  Opened<DuctedEcScreen> o("KELMBLDC");
  o.Rate(0, "");
  EXPECT_EQ(o.Message(), " Portata aria obbligatori");
  EXPECT_EQ(o.ui.focus.back(), Control(Ctl::txtqatot));
  EXPECT_FALSE(o.screen->form.cmdGrafico.Visible);
  int hx = 0;  // the largest additional-coil model: it carries the flow
  for (int i = 1; i < o.screen->form.cboModel.ListCount(); ++i)
    if (o.screen->form.cboModel.List[static_cast<std::size_t>(i)].ends_with("HX")) hx = i;
  ASSERT_GT(hx, 1);
  o.Rate(hx, "800", "30");
  ASSERT_EQ(ModelRows(*o.screen).size(), 1u) << o.Message();
  EXPECT_TRUE(o.screen->form.chkAcc[1].Value);
  EXPECT_EQ(ModelRows(*o.screen)[0][0], o.t().TabModello(hx));
  EXPECT_FALSE(ModelRows(*o.screen)[0][static_cast<std::size_t>(Column(*o.screen, "PT"))].empty());
  // The static pressure and the air flow are both given: leaving one keeps the other.
  o.screen->form.txtqatot.Text = "800";
  o.screen->GotFocus(Control(Ctl::txtpsu));
  o.screen->form.txtpsu.Text = "40";
  o.screen->LostFocus(Control(Ctl::txtpsu), Control(Ctl::txtGlic));
  EXPECT_EQ(o.screen->form.txtqatot.Text, "800");
}

// Every EC series at typical air flows: the water balance within the printed digits,
// sensible <= total, the leaving air between the inlets, and for each model absorbed
// power and fan speed rising with the air flow.
TEST(EcScreens, everyRowSatisfiesThePhysicalIdentitiesAndTheFanRisesWithTheFlow) {
  const GlycolTables tables = InitGlycolTables();
  CoilRatingState water;
  UpdateWaterProperties(water, tables, 9.5f, 0);
  const double coolPerLitre = water.cpWater * water.rhoWater * 5;
  UpdateWaterProperties(water, tables, 65, 0);
  const double heatPerLitre = water.cpWater * water.rhoWater * 10;
  const struct {
    const char* series;
    const char* pressure;
  } cases[] = {{"MIRALEC", "30"},
               {"PELVOEC", "30"},
               {"UMBRA", "30"},
               {"KELMBLDC", "50"},
               {"ZOPHBLDC", "30"}};
  for (const auto& c : cases) {
    auto session = CatalogueSession();
    RecordingUi ui;
    std::unique_ptr<SelectionScreen> screen = DispatchSeries(*session, ui, *FindSeries(c.series));
    ASSERT_TRUE(screen) << c.series;
    std::map<std::string, std::pair<float, int>> previous;  // power, speed per model
    int rated = 0;
    for (const char* flow : {"300", "450", "600", "800", "1000", "1300"}) {
      screen->Field(Control(Ctl::txtqatot))->Text = flow;
      screen->Field(Control(Ctl::txtpsu))->Text = c.pressure;
      ui.messages.clear();
      screen->cmdCalcola_Click();
      if (screen->LastCalculation().rows.empty()) continue;
      const int pt = Column(*screen, "PT"), ps = Column(*screen, "PS");
      const int qwc = Column(*screen, "QW (C)"), tac = Column(*screen, "TA (C)");
      const int ph = Column(*screen, "PH"), qwh = Column(*screen, "QW (H)");
      const int tah = Column(*screen, "TA (H)");
      const auto rows = ModelRows(*screen);
      for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& row = rows[i];
        const RatedRow& typed = screen->LastCalculation().rows[i];
        const std::string where = std::string(c.series) + " " + row[0] + " at " + flow;
        ++rated;
        const double total = Number(row[static_cast<std::size_t>(pt)]);
        EXPECT_NEAR(total, Number(row[static_cast<std::size_t>(qwc)]) * coolPerLitre,
                    5 + 0.0005 * coolPerLitre + 0.001 * total)
            << where;
        EXPECT_LE(Number(row[static_cast<std::size_t>(ps)]), total) << where;
        EXPECT_GT(Number(row[static_cast<std::size_t>(tac)]), 7) << where;
        EXPECT_LT(Number(row[static_cast<std::size_t>(tac)]), 27) << where;
        const double heating = Number(row[static_cast<std::size_t>(ph)]);
        EXPECT_NEAR(heating, Number(row[static_cast<std::size_t>(qwh)]) * heatPerLitre,
                    5 + 0.0005 * heatPerLitre + 0.0005 * heating)
            << where;
        EXPECT_GT(Number(row[static_cast<std::size_t>(tah)]), 20) << where;
        EXPECT_LT(Number(row[static_cast<std::size_t>(tah)]), 70) << where;
        if (typed.absorbedPowerW) {
          const double perLitre = *typed.absorbedPowerW / (typed.airFlowM3s * 1000);
          EXPECT_GE(perLitre, 0.1) << where;
          EXPECT_LE(perLitre, 0.5) << where;
        }
        const auto before = previous.find(typed.modelName);
        if (before != previous.end() && typed.absorbedPowerW) {
          EXPECT_GT(*typed.absorbedPowerW, before->second.first) << where;
          if (typed.fanSpeedRpm) {
            EXPECT_GT(*typed.fanSpeedRpm, before->second.second) << where;
          }
        }
        previous[typed.modelName] = {typed.absorbedPowerW.value_or(0),
                                     typed.fanSpeedRpm.value_or(0)};
      }
    }
    EXPECT_GT(rated, 0) << c.series;
  }
}

}  // namespace
}  // namespace vestra::screens
