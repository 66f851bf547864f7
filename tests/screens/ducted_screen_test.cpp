// The ducted screen on the catalogue the build makes: the mix of recirculated and fresh
// air, the static pressure or the total air flow, the accessories and the additional
// coil, the range rules of its fields, and the physical identities every row satisfies.

#include "screens/ducted_screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "app/numbers.h"
#include "engine/air_mixing.h"
#include "engine/fluids.h"
#include "engine/moist_air.h"
#include "screen_fixture.h"

namespace vestra::screens {
namespace {

using testing::CatalogueSession;
using testing::Column;
using testing::ModelRows;
using testing::Number;
using testing::RecordingUi;

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

struct Ducted {
  std::unique_ptr<Session> session = CatalogueSession();
  RecordingUi ui;
  std::unique_ptr<DuctedScreen> screen;
  explicit Ducted(std::string_view series) {
    screen = testing::OpenScreen<DuctedScreen>(*session, ui, series);
  }
  DuctedForm& f() { return screen->form; }
  void Leave(ControlRef field, const std::string& text) {
    screen->GotFocus(field);
    screen->Field(field)->Text = text;
    screen->LostFocus(field, Control(Ctl::cboModel));
  }
  void Calculate(int speed = 3) {
    f().cboVel.ListIndex = speed;
    ui.messages.clear();
    ui.focus.clear();
    screen->cmdCalcola_Click();
  }
  std::string Message() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
};

TEST(AirMixing, mixesByVolumeAndTakesTheOneStreamThatFlows) {
  // Half and half: 27 degC / 47 % with 35 degC / 40 %.
  const AirStream room{27, 47, 0.1f}, outdoor{35, 40, 0.1f};
  const float ta = MixedDryBulbC(room, outdoor, 0.2f);
  EXPECT_FLOAT_EQ(ta, 31);
  const MixedMoisture mix = MixedMoistureAt(ta, room, outdoor, 0.2f);
  const float wMix = (HumidityRatioFromWetBulb(27, WetBulbFromRelHumidity(27, 47)) +
                      HumidityRatioFromWetBulb(35, WetBulbFromRelHumidity(35, 40))) /
                     2;
  EXPECT_NEAR(HumidityRatioFromWetBulb(31, mix.wetBulbC), wMix, 2e-5);
  EXPECT_NEAR(mix.relHumidityPct, RelHumidityFromWetBulb(31, mix.wetBulbC), 1e-4);
  // One stream alone: its own state; no flow at all: the recirculated air.
  EXPECT_EQ(MixedDryBulbC(room, {35, 40, 0}, 0.1f), 27);
  EXPECT_EQ(MixedMoistureAt(35, {27, 47, 0}, {35, 40, 0.1f}, 0.1f).relHumidityPct, 40);
  EXPECT_EQ(MixedDryBulbC({27, 47, 0}, {35, 40, 0}, 0), 27);
  EXPECT_EQ(MixedMoistureAt(27, {27, 47, 0}, {35, 40, 0}, 0).relHumidityPct, 47);
}

TEST(DuctedScreen, theSliderSetsWhichStreamEntersTheCoil) {
  Ducted o("KELM");
  o.f().txtTsa1rin[0].Text = "35";
  o.f().txturrin.Text = "40";
  const MixedFieldsOfScreen none = [&] {
    o.screen->ScrollBar_Change(Control(Ctl::Scrollfreddo), 0);
    return ReadMixedFields(o.f(), *o.session);
  }();
  EXPECT_EQ(CheckMixedInputs(none, 0, 0.2f, *o.session).inputs.taIn, 27);
  EXPECT_EQ(CheckMixedInputs(none, 0, 0.2f, *o.session).inputs.rhIn, 47);
  // With no fresh air its fields are neither required nor range-checked.
  o.f().txturrin.Text = "";
  EXPECT_FALSE(CheckMixedInputs(ReadMixedFields(o.f(), *o.session), 0, 0.2f, *o.session).problem);
  o.ui.messages.clear();
  o.Leave(Control(Ctl::txtTsa1rin, 0), "50");
  EXPECT_TRUE(o.ui.messages.empty());
  EXPECT_EQ(o.f().txtTsa1rin[0].Text, "50");

  o.f().txtTsa1rin[0].Text = "35";
  o.f().txturrin.Text = "40";
  o.screen->ScrollBar_Change(Control(Ctl::Scrollfreddo), 50);
  EXPECT_EQ(o.f().ScrollCaldo.Value, 50);
  EXPECT_EQ(o.f().FrmRinnovoC.Caption, o.session->Text(120) + " 50%");
  const MixedCheck half = CheckMixedInputs(ReadMixedFields(o.f(), *o.session), 0, 0.2f, *o.session);
  ASSERT_FALSE(half.problem);
  EXPECT_FLOAT_EQ(half.inputs.taIn, 31);
  EXPECT_NEAR(half.inputs.rhIn,
              MixedMoistureAt(31, {27, 47, 0.1f}, {35, 40, 0.1f}, 0.2f).relHumidityPct, 1e-4);

  // Fresh air only: the recirculated stream is not required any more.
  o.screen->ScrollBar_Change(Control(Ctl::ScrollCaldo), 100);
  EXPECT_EQ(o.f().Scrollfreddo.Value, 100);
  EXPECT_EQ(o.f().frmRicircoloF.Caption, o.session->Text(116) + " 0%");
  o.f().txtUrric.Text = "";
  const MixedCheck fresh =
      CheckMixedInputs(ReadMixedFields(o.f(), *o.session), 0, 0.2f, *o.session);
  ASSERT_FALSE(fresh.problem);
  EXPECT_EQ(fresh.inputs.taIn, 35);
  EXPECT_EQ(fresh.inputs.rhIn, 40);
  // ... while a flowing stream without its humidity is told, limits or not.
  o.f().txturrin.Text = "";
  o.session->settings.NoLimits = true;
  const MixedCheck missing =
      CheckMixedInputs(ReadMixedFields(o.f(), *o.session), 0, 0.2f, *o.session);
  ASSERT_TRUE(missing.problem);
  EXPECT_EQ(missing.problem->text, "Manca la percentuale di umidità");
  EXPECT_EQ(missing.problem->focus, Control(Ctl::txturrin));
}

TEST(DuctedScreen, staticPressureRangeIsTheSeriesOwnAndTheTotalAirFlowItsAlternative) {
  const struct {
    const char* series;
    const char* typed;
    const char* after;
  } cases[] = {{"KELM", "300", "0"},
               {"ZOPH", "300", "0"},
               {"KELM", "250", "250"},
               {"ZOPH", "250", "0"},
               {"ZOPH", "80", "80"}};
  for (const auto& c : cases) {
    Ducted o(c.series);
    o.Leave(Control(Ctl::txtpsu), c.typed);
    EXPECT_EQ(o.f().txtpsu.Text, c.after) << c.series << " " << c.typed;
    EXPECT_EQ(o.ui.messages.empty(), std::string(c.typed) == c.after) << c.series << c.typed;
  }
  // In mmH2O the limit follows the unit.
  Ducted mm("KELM");
  mm.session->settings.UnitDpA = 1;
  mm.Leave(Control(Ctl::txtpsu), "26");
  EXPECT_EQ(mm.Message(),
            "Il valore deve essere compreso tra 0 mmH2O -> 25.5 mmH2O\nviene impostato a 0");

  Ducted o("KELM");
  o.Leave(Control(Ctl::txtpsu), "40");
  o.Leave(Control(Ctl::txtqatot), "300");
  EXPECT_EQ(o.f().txtpsu.Text, "0");
  o.Leave(Control(Ctl::txtpsu), "30");
  EXPECT_EQ(o.f().txtqatot.Text, "0");
  o.Leave(Control(Ctl::txtqatot), "");
  EXPECT_EQ(o.f().txtqatot.Text, "0");
  o.Leave(Control(Ctl::txtqatot), "-5");
  EXPECT_EQ(o.f().txtqatot.Text, "0");
  EXPECT_NE(o.Message().find("Il valore deve essere compreso tra 0 l/s"), std::string::npos);
}

TEST(DuctedScreen, aTotalAirFlowShowsThePressureLeftCappedAt250) {
  Ducted o("KELM");
  o.f().txtpsu.Text = "0";
  o.f().txtqatot.Text = "100";  // l/s
  o.Calculate();
  ASSERT_TRUE(o.ui.messages.empty()) << o.Message();
  EXPECT_EQ(o.f().lblLegSim[0].Caption, "PSU");
  EXPECT_EQ(o.f().lblLegDes[0].Caption, "Pressione statica utile");
  const int psu = Column(*o.screen, "PSU");
  ASSERT_EQ(psu, 1);
  EXPECT_EQ(o.f().Grd.Rows[1][psu], "Pa");
  bool capped = false;
  for (const auto& row : ModelRows(*o.screen)) {
    EXPECT_EQ(row[psu][0] == '>', row[psu] == "> 250") << row[0] << " " << row[psu];
    capped = capped || row[psu] == "> 250";
    EXPECT_LE(Number(row[psu]), 250);
  }
  EXPECT_TRUE(capped) << "the largest fans leave more than 250 Pa at 100 l/s";
  // In pressure mode the first column is the air flow again.
  o.f().txtqatot.Text = "0";
  o.f().txtpsu.Text = "50";
  o.Calculate();
  EXPECT_EQ(Column(*o.screen, "QA"), 1);
  EXPECT_EQ(o.f().lblLegDes[0].Caption, "Portata aria");
}

TEST(DuctedScreen, aWorkingPointAtAQuarterOfTheLowFreeFlowIsRefusedUnlessLimitsAreOff) {
  Ducted o("KELM");
  // Close to the shut-off pressure of model 1's lowest tap its fan still moves a little
  // air, far below a quarter of its free flow.
  o.f().txtpsu.Text = PlainNumberText(0.95f * o.session->models.TabVC(1, 1), '.');
  o.f().cboModel.ListIndex = 1;
  o.Calculate(1);
  EXPECT_TRUE(ModelRows(*o.screen).empty());
  EXPECT_EQ(o.Message(), "Nessun apparecchio soddisfa i dati richiesti ");
  o.session->settings.NoLimits = true;
  o.Calculate(1);
  EXPECT_EQ(ModelRows(*o.screen).size(), 1u) << o.Message();
  // A fan that gives no air at all against the duct has no working point, limits or not.
  o.f().txtpsu.Text = PlainNumberText(1.1f * o.session->models.TabVC(1, 1), '.');
  o.Calculate(1);
  EXPECT_TRUE(ModelRows(*o.screen).empty());
  EXPECT_EQ(o.Message(), "Nessun apparecchio soddisfa i dati richiesti ");
}

TEST(DuctedScreen, everyTapWithEveryModelComesGroupedBySpeed) {
  Ducted o("ZOPH");
  o.Calculate(0);
  const auto rows = ModelRows(*o.screen);
  ASSERT_FALSE(rows.empty());
  std::vector<std::string> order;
  for (const auto& row : rows)
    if (order.empty() || order.back() != row[1]) order.push_back(row[1]);
  EXPECT_EQ(order, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7"}));
}

TEST(DuctedScreen, theAdditionalCoilBoxRatesTheHxModelsWithTheirBaseModelsCooling) {
  Ducted o("KELM");
  o.f().chkAcc[1].Value = true;
  o.Calculate();
  const auto withCoil = ModelRows(*o.screen);
  ASSERT_FALSE(withCoil.empty());
  const int pt = Column(*o.screen, "PT"), ph = Column(*o.screen, "PH");
  for (const auto& row : withCoil) {
    EXPECT_TRUE(EndsWith(row[0], "HX")) << row[0];
    EXPECT_FALSE(row[pt].empty()) << row[0];
    EXPECT_FALSE(row[ph].empty()) << row[0];
  }
  // The base model's cooling, at the air flow the additional coil leaves it.
  o.f().chkAcc[1].Value = false;
  o.Calculate();
  for (const auto& row : ModelRows(*o.screen)) EXPECT_FALSE(EndsWith(row[0], "HX")) << row[0];

  // One "HX" model chosen alone ticks the box and brings its base model: one row.
  int hx = 0;
  for (int i = 1; i < o.f().cboModel.ListCount() && !hx; ++i)
    if (EndsWith(o.f().cboModel.List[static_cast<std::size_t>(i)], "HX")) hx = i;
  ASSERT_GT(hx, 1);
  o.f().cboModel.ListIndex = hx;
  o.Calculate();
  EXPECT_TRUE(o.f().chkAcc[1].Value);
  const auto one = ModelRows(*o.screen);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0][0], o.f().cboModel.List[static_cast<std::size_t>(hx)]);
  EXPECT_EQ(one[0], withCoil[static_cast<std::size_t>(hx / 2 - 1)]);
}

TEST(DuctedScreen, kelmPlenumsExcludeEachOtherAndTheirLossesLowerTheFlow) {
  Ducted o("KELM");
  EXPECT_EQ(o.f().chkAcc[2].Caption, "KB/R");
  EXPECT_EQ(o.f().chkAcc[3].Caption, "KB/RO");
  EXPECT_FALSE(o.f().chkAcc[9].Visible);
  o.screen->CheckBox_Click(Control(Ctl::chkAcc, 2), true);
  o.screen->CheckBox_Click(Control(Ctl::chkAcc, 3), true);
  EXPECT_FALSE(o.f().chkAcc[2].Value);
  o.screen->CheckBox_Click(Control(Ctl::chkAcc, 2), true);
  EXPECT_FALSE(o.f().chkAcc[3].Value);
  // ZOPH's boxes are independent.
  Ducted z("ZOPH");
  EXPECT_TRUE(z.f().chkAcc[10].Visible);
  z.screen->CheckBox_Click(Control(Ctl::chkAcc, 2), true);
  z.screen->CheckBox_Click(Control(Ctl::chkAcc, 3), true);
  EXPECT_TRUE(z.f().chkAcc[2].Value);

  Ducted free("KELM");
  free.f().txtpsu.Text = "50";
  free.Calculate();
  const auto without = ModelRows(*free.screen);
  free.screen->CheckBox_Click(Control(Ctl::chkAcc, 5), true);
  free.Calculate();
  const auto with = ModelRows(*free.screen);
  ASSERT_EQ(with.size(), without.size());
  const int qa = Column(*free.screen, "QA");
  for (std::size_t i = 0; i < with.size(); ++i)
    EXPECT_LT(Number(with[i][qa]), Number(without[i][qa])) << with[i][0];
}

TEST(DuctedScreen, theMixedAirChecksComeInTheirOrderWithTheirField) {
  const struct {
    void (*edit)(DuctedForm&);
    const char* message;
    ControlRef focus;
  } cases[] = {
      {[](DuctedForm& f) { f.txtTsa1ric[0].Text = ""; }, "Manca la temperatura entrata aria",
       Control(Ctl::txtTsa1ric, 0)},
      {[](DuctedForm& f) { f.txtTsa1rin[0].Text = "x"; }, "Manca la temperatura entrata aria",
       Control(Ctl::txtTsa1rin, 0)},
      {[](DuctedForm& f) { f.txtUrric.Text = ""; }, "Manca la percentuale di umidità",
       Control(Ctl::txtUrric)},
      {[](DuctedForm& f) { f.txtTw1[0].Text = ""; }, "Manca la temperatura entrata acqua",
       Control(Ctl::txtTw1, 0)},
      {[](DuctedForm& f) { f.txtTw2[1].Text = ""; },
       "Occorre immettere la temp. uscita o la portata acqua", Control(Ctl::txtTw2, 1)},
      {[](DuctedForm& f) { f.txtTw2[0].Text = "18"; }, "Il salto termico non può essere  > 10 °C",
       Control(Ctl::txtTw2, 0)},
      {[](DuctedForm& f) { f.txtTw2[0].Text = "6"; },
       "La temp. Uscita deve essere > di quella di ingresso", Control(Ctl::txtTw2, 0)},
  };
  for (const auto& c : cases) {
    Ducted o("KELM");
    c.edit(o.f());
    o.Calculate();
    EXPECT_EQ(o.Message(), c.message);
    ASSERT_FALSE(o.ui.focus.empty()) << c.message;
    EXPECT_EQ(o.ui.focus.back(), c.focus) << c.message;
  }
}

// Every row of both series at every tap, against 50 Pa: the water balance within the
// printed digits, sensible <= total, the leaving air between the water and the air inlets.
TEST(DuctedScreen, everyRowSatisfiesTheWaterBalanceAndThePhysicalBounds) {
  const GlycolTables tables = InitGlycolTables();
  CoilRatingState water;
  UpdateWaterProperties(water, tables, 9.5f, 0);
  const double coolPerLitre = water.cpWater * water.rhoWater * 5;
  UpdateWaterProperties(water, tables, 65, 0);
  const double heatPerLitre = water.cpWater * water.rhoWater * 10;
  for (const char* series : {"KELM", "ZOPH"}) {
    for (const bool coil : {false, true}) {
      Ducted o(series);
      o.f().txtpsu.Text = "50";
      o.f().chkAcc[1].Value = coil;
      o.Calculate(0);
      ASSERT_TRUE(o.ui.messages.empty()) << series << ": " << o.Message();
      const int pt = Column(*o.screen, "PT"), ps = Column(*o.screen, "PS");
      const int qwc = Column(*o.screen, "QW (C)"), tac = Column(*o.screen, "TA (C)");
      const int ph = Column(*o.screen, "PH"), qwh = Column(*o.screen, "QW (H)");
      const int tah = Column(*o.screen, "TA (H)");
      ASSERT_FALSE(ModelRows(*o.screen).empty()) << series;
      for (const auto& row : ModelRows(*o.screen)) {
        const std::string where = std::string(series) + " " + row[0] + " " + row[1];
        ASSERT_FALSE(row[pt].empty()) << where;
        const double total = Number(row[pt]);
        EXPECT_NEAR(total, Number(row[qwc]) * coolPerLitre,
                    5 + 0.0005 * coolPerLitre + 0.001 * total)
            << where;
        EXPECT_LE(Number(row[ps]), total) << where;
        EXPECT_GT(Number(row[tac]), 7) << where;
        EXPECT_LT(Number(row[tac]), 27) << where;
        const double heating = Number(row[ph]);
        EXPECT_NEAR(heating, Number(row[qwh]) * heatPerLitre,
                    5 + 0.0005 * heatPerLitre + 0.0005 * heating)
            << where;
        EXPECT_GT(Number(row[tah]), 20) << where;
        EXPECT_LT(Number(row[tah]), 70) << where;
      }
    }
  }
}

}  // namespace
}  // namespace vestra::screens
