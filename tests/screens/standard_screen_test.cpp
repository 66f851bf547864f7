// The standard screen end to end, on the catalogue the build makes: every series at its
// defaults and at every speed, the physical identities every row must satisfy, the
// catalogue envelopes at the top speed, and the series rules that are easy to miss.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "app/numbers.h"
#include "engine/fluids.h"
#include "screen_fixture.h"
#include "screens/series_traits.h"

namespace vestra::screens {
namespace {

using testing::CatalogueSession;
using testing::Column;
using testing::ModelRows;
using testing::Number;
using testing::OpenStandardScreen;
using testing::RecordingUi;

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

struct Opened {
  std::unique_ptr<Session> session = CatalogueSession();
  RecordingUi ui;
  std::unique_ptr<StandardScreen> screen;
  explicit Opened(std::string_view series) { screen = OpenStandardScreen(*session, ui, series); }
  void Calculate(int speed) {
    screen->form.cboVel.ListIndex = speed;
    ui.messages.clear();
    screen->cmdCalcola_Click();
  }
};

// The series of the standard screen.
std::vector<std::string_view> StandardSeriesNames() {
  std::vector<std::string_view> names;
  for (const SeriesTraits& traits : AllSeriesTraits())
    if (traits.screen == ScreenKind::kStandard) names.push_back(traits.name);
  return names;
}

TEST(StandardScreen, everySeriesWritesRowsAtItsDefaultsAndAtEverySpeed) {
  for (const std::string_view code : StandardSeriesNames()) {
    Opened o(code);
    ASSERT_TRUE(o.screen) << code;
    ASSERT_GT(o.session->models.ModelCount, 0) << code;
    for (int speed = 0; speed < o.screen->form.cboVel.ListCount(); ++speed) {
      // DARNE's natural convection and lowest step need the front flap open.
      o.screen->form.chkFlap.Value = code == "DARNE" && speed <= 2 && speed > 0;
      o.Calculate(speed);
      EXPECT_TRUE(o.ui.messages.empty())
          << code << " speed " << speed << ": " << o.ui.messages.front().text;
      EXPECT_GT(ModelRows(*o.screen).size(), 0u) << code << " speed " << speed;
    }
  }
}

// Every row: the cooling and heating capacities agree with the water flow shown (5 K and
// 10 K drops), sensible <= total, and the leaving air lies between the water and the air
// entering temperatures.
TEST(StandardScreen, everyRowSatisfiesTheWaterBalanceAndThePhysicalBounds) {
  const GlycolTables tables = InitGlycolTables();
  CoilRatingState water;
  UpdateWaterProperties(water, tables, 9.5f, 0);
  const double coolPerLitre = water.cpWater * water.rhoWater * 5;  // W per l/s
  UpdateWaterProperties(water, tables, 65, 0);
  const double heatPerLitre = water.cpWater * water.rhoWater * 10;
  for (const std::string_view code : StandardSeriesNames()) {
    Opened o(code);
    o.Calculate(0);
    const int pt = Column(*o.screen, "PT"), ps = Column(*o.screen, "PS");
    const int qwc = Column(*o.screen, "QW (C)"), tac = Column(*o.screen, "TA (C)");
    const int ph = Column(*o.screen, "PH"), qwh = Column(*o.screen, "QW (H)");
    const int tah = Column(*o.screen, "TA (H)");
    for (const auto& row : ModelRows(*o.screen)) {
      const std::string where = std::string(code) + " " + row[0] + " " + row[1];
      if (pt >= 0 && !row[pt].empty()) {
        const double total = Number(row[pt]);
        const double sensible = Number(row[ps]);
        // Printed to 10 W and 0.001 l/s; the solve itself to 0.1 %.
        const double tolerance = 5 + 0.0005 * coolPerLitre + 0.001 * total;
        EXPECT_NEAR(total, Number(row[qwc]) * coolPerLitre, tolerance) << where;
        EXPECT_LE(sensible, total) << where;
        EXPECT_GT(Number(row[tac]), 7) << where;
        EXPECT_LT(Number(row[tac]), 27) << where;
      }
      if (!row[ph].empty() && Number(row[qwh]) > 0 && code != "Q70") {
        const double heating = Number(row[ph]);
        const double tolerance = 5 + 0.0005 * heatPerLitre + 0.0005 * heating;
        EXPECT_NEAR(heating, Number(row[qwh]) * heatPerLitre, tolerance) << where;
      }
      if (!row[tah].empty()) {
        EXPECT_GT(Number(row[tah]), 20) << where;
        EXPECT_LT(Number(row[tah]), 70) << where;
      }
    }
  }
}

// At each model's highest rated step the catalogue lies inside the envelopes of real
// products of its kind.
TEST(StandardScreen, topSpeedRatingsLieInsideTheCatalogueEnvelopes) {
  for (const std::string_view code : StandardSeriesNames()) {
    // The base models, then the additional-coil pairs where the series offers them.
    for (const bool additionalCoils : {false, true}) {
      Opened o(code);
      if (additionalCoils && !o.screen->form.chkHX.Visible) continue;
      o.screen->form.chkHX.Value = additionalCoils;
      o.session->settings.UnitQa = 2;  // m3/h
      const bool unitHeater = code == "TORVA" || code == "TORVAEC" || code == "Q70";
      // TORVA and Q70 rate each model at the step of its own pole count, so every step;
      // TORVAEC at the full signal; the others at their top speed.
      const int top = o.screen->form.cboVel.ListCount() - 1;
      o.Calculate(code == "TORVA" || code == "Q70" ? 0 : top);
      const int qa = Column(*o.screen, "QA"), pt = Column(*o.screen, "PT");
      const int ps = Column(*o.screen, "PS"), ph = Column(*o.screen, "PH");
      const int dpwc = Column(*o.screen, "DPW (C)"), dpwh = Column(*o.screen, "DPW (H)");
      for (const auto& row : ModelRows(*o.screen)) {
        const std::string where = std::string(code) + " " + row[0];
        const double flow = Number(row[qa]);
        ASSERT_GT(flow, 0) << where;
        const double heatingPerFlow = Number(row[ph]) / flow;
        if (unitHeater) {
          EXPECT_GE(heatingPerFlow, 4) << where;
          EXPECT_LE(heatingPerFlow, 11) << where;
          EXPECT_GE(flow, 1000) << where;
          EXPECT_LE(flow, 10000) << where;
          continue;
        }
        EXPECT_GE(heatingPerFlow, 6.7) << where;
        EXPECT_LE(heatingPerFlow, 8.4) << where;
        EXPECT_GE(Number(row[dpwh]), 5) << where;
        EXPECT_LE(Number(row[dpwh]), 50) << where;
        const double total = Number(row[pt]);
        EXPECT_GE(total / flow, 4.0) << where;
        EXPECT_LE(total / flow, 6.7) << where;
        EXPECT_GE(Number(row[ps]) / total, 0.70) << where;
        EXPECT_LE(Number(row[ps]) / total, 0.90) << where;
        EXPECT_GE(Number(row[dpwc]), 5) << where;
        EXPECT_LE(Number(row[dpwc]), 50) << where;
      }
    }
  }
}

TEST(StandardScreen, torvaListsEachModelOnceAtTheStepOfItsPoles) {
  Opened o("TORVA");
  o.Calculate(0);
  std::set<std::string> seen;
  std::string lastStep;
  const auto rows = ModelRows(*o.screen);
  for (const auto& row : rows) {
    EXPECT_TRUE(seen.insert(row[0]).second) << row[0];
    const std::string poles = row[1];  // "10p", "8p" ...
    EXPECT_TRUE(EndsWith(row[0], poles)) << row[0] << " at " << poles;
  }
  EXPECT_EQ(static_cast<int>(rows.size()), o.session->models.ModelCount);
  EXPECT_EQ(rows.front()[1], "10p");
}

TEST(StandardScreen, q70HasNoCoolingAndFiltersModelsByTheLastDigit) {
  Opened o("Q70");
  EXPECT_FALSE(o.screen->form.pnlFreddo.Visible);
  EXPECT_TRUE(o.screen->form.pnlCaldo.AlignTop);
  EXPECT_EQ(o.session->settings.ReTransMode, 0);  // Q70 leaves the transition model alone
  o.Calculate(1);                                 // 8 poles
  const auto rows = ModelRows(*o.screen);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(Column(*o.screen, "PT"), -1);
  for (const auto& row : rows) {
    EXPECT_TRUE(EndsWith(row[0], "8")) << row[0];
    EXPECT_FALSE(row[Column(*o.screen, "PH")].empty()) << row[0];
  }
}

TEST(StandardScreen, darneWithTheFlapOpenRatesNaturalConvectionAndSuperMinWithoutCooling) {
  Opened o("DARNE");
  o.screen->form.chkFlap.Value = true;
  o.Calculate(0);
  const auto rows = ModelRows(*o.screen);
  ASSERT_FALSE(rows.empty());
  const int pt = Column(*o.screen, "PT"), qa = Column(*o.screen, "QA");
  std::set<std::string> steps;
  for (const auto& row : rows) {
    steps.insert(row[1]);
    EXPECT_TRUE(row[pt].empty()) << row[0] << " " << row[1];
    if (row[1] == "Conv.") {
      EXPECT_EQ(Number(row[qa]), 0) << row[0];
    }
    EXPECT_FALSE(row[Column(*o.screen, "PH")].empty()) << row[0] << " " << row[1];
  }
  EXPECT_EQ(steps, (std::set<std::string>{"Conv.", "Super Min"}));
}

TEST(StandardScreen, darneNaturalConvectionWithComeFreddoAsksForTheHeatingDatum) {
  Opened o("DARNE");
  o.screen->form.chkFlap.Value = true;
  o.screen->CheckBox_Click(Control(Ctl::chkComeFreddo), true);
  o.Calculate(1);
  ASSERT_EQ(o.ui.messages.size(), 1u);
  EXPECT_EQ(o.ui.messages[0].text, o.session->Text(107));
  EXPECT_EQ(o.ui.focus.back(), Control(Ctl::txtTw2, 1));
}

TEST(StandardScreen, choosingAnAdditionalCoilModelRatesItsPairInOneRow) {
  Opened o("MIRAL");
  auto& models = o.screen->form.cboModel;
  int hx = -1;
  for (int i = 1; i < models.ListCount(); ++i)
    if (EndsWith(models.List[static_cast<std::size_t>(i)], "HX")) hx = i;
  ASSERT_GT(hx, 0) << "the catalogue offers an additional coil";
  EXPECT_EQ(models.List[static_cast<std::size_t>(hx + 1)], "-----------");

  models.ListIndex = hx;
  o.Calculate(3);
  auto rows = ModelRows(*o.screen);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], o.session->models.TabModello(hx + 1));
  EXPECT_TRUE(o.screen->form.chkHX.Value);
  EXPECT_FALSE(rows[0][Column(*o.screen, "PT")].empty());
  EXPECT_FALSE(rows[0][Column(*o.screen, "PH")].empty());

  // The partner chosen alone brings its pair: the same row.
  const auto pairRow = rows[0];
  models.ListIndex = hx + 1;
  o.Calculate(3);
  rows = ModelRows(*o.screen);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], pairRow);
}

TEST(StandardScreen, aFanPushedBelowHalfItsFreeFlowIsNotOfferedUnlessLimitsAreOff) {
  Opened o("MIRAL");
  // Close to the first model's shut-off pressure at the lowest speed its fan still moves
  // a little air, far below half its free flow.
  const float shutOff = o.session->models.TabVC(1, 1);
  o.screen->form.txtpsu.Text = PlainNumberText(0.9f * shutOff, '.');
  o.screen->form.cboModel.ListIndex = 1;
  o.Calculate(1);
  EXPECT_TRUE(ModelRows(*o.screen).empty());
  o.session->settings.NoLimits = true;
  o.Calculate(1);
  ASSERT_EQ(ModelRows(*o.screen).size(), 1u);
  EXPECT_GT(Number(ModelRows(*o.screen)[0][Column(*o.screen, "QA")]), 0);
}

TEST(StandardScreen, cassetteFlowThatWouldFallBelowHalfIsDropped) {
  Opened o("QUIVO");
  o.Calculate(1);
  const std::size_t free = ModelRows(*o.screen).size();
  o.screen->form.txtpsu.Text = "80";
  o.Calculate(1);
  EXPECT_LT(ModelRows(*o.screen).size(), free);
}

TEST(StandardScreen, ecUnitHeaterAtTheLowestSignalShowsItsSoundFloor) {
  Opened o("TORVAEC");
  // A quiet model: 10 dB(A) from its sound polynomial at any speed.
  ModelTables& t = o.session->models;
  t.TabLWA.Store(1, 0.0f);
  t.TabLWB.Store(1, FieldValue(0.0));
  t.TabLWC.Store(1, FieldValue(10.0));
  o.screen->form.cboModel.ListIndex = 1;
  o.Calculate(1);  // 15 %: 1.5 V
  const auto rows = ModelRows(*o.screen);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][Column(*o.screen, "LW")], "< 20");
  EXPECT_EQ(rows[0][Column(*o.screen, "LP")].rfind("< ", 0), 0u);
  EXPECT_GE(Number(rows[0][Column(*o.screen, "Pin")]), 10);

  // The catalogue's own models at the full signal: no floor, absorbed power at least 10 W.
  o.screen->LoadModels();
  o.Calculate(18);
  for (const auto& row : ModelRows(*o.screen)) {
    EXPECT_NE(row[Column(*o.screen, "LW")].rfind("< ", 0), 0u) << row[0];
    EXPECT_GE(Number(row[Column(*o.screen, "Pin")]), 10) << row[0];
  }
}

TEST(StandardScreen, noModelPassingTheFiltersShowsText104) {
  Opened o("VELD");
  o.screen->form.chkHX.Value = true;  // VELD has no additional coils
  o.Calculate(3);
  ASSERT_EQ(o.ui.messages.size(), 1u);
  EXPECT_EQ(o.ui.messages[0].text, "Nessun apparecchio soddisfa i dati richiesti ");
  EXPECT_EQ(o.ui.messages[0].icon, Icon::kError);
  EXPECT_TRUE(ModelRows(*o.screen).empty());
}

TEST(StandardScreen, runTimeErrorEndsTheCalculationWithItsNumber) {
  Opened o("MIRAL");
  o.screen->form.txtpsu.Text = "abc";
  o.Calculate(3);
  ASSERT_EQ(o.ui.messages.size(), 1u);
  EXPECT_EQ(o.ui.messages[0].text, "Errore generico : 13");
  EXPECT_EQ(o.ui.messages[0].icon, Icon::kWarning);
}

// Inputs no rating can take are told as such, limits or not, never as a generic error or a
// silent result.
TEST(StandardScreen, inputsNoRatingCanTakeAreToldWithTheirField) {
  const struct {
    const char* series;
    bool noLimits;
    void (*edit)(StandardForm&);
    const char* message;
    ControlRef focus;
  } cases[] = {
      {"MIRAL", false, [](StandardForm& f) { f.txtDistanza.Text = "0"; },
       "Il valore deve essere compreso tra 0.5 m -> 100 m", Control(Ctl::txtDistanza)},
      {"MIRAL", true, [](StandardForm& f) { f.txtDistanza.Text = "-5"; },
       "Il valore deve essere compreso tra 0.5 m -> 100 m", Control(Ctl::txtDistanza)},
      // The leaving water never left: on the wrong side of the entering water.
      {"MIRAL", false, [](StandardForm& f) { f.txtTw1[0].Text = "15"; },
       "La temp. Uscita deve essere > di quella di ingresso", Control(Ctl::txtTw2, 0)},
      {"MIRAL", true, [](StandardForm& f) { f.txtTw2[1].Text = "75"; },
       "La temp. Uscita deve essere < di quella di ingresso", Control(Ctl::txtTw2, 1)},
      {"BRISK", true,
       [](StandardForm& f) {
         f.txtTw2[0].Text = "";
         f.txtQw[0].Text = "-0.1";
       },
       "Il valore deve essere compreso tra 0 l/s -> 20 l/s", Control(Ctl::txtQw, 0)},
      // The unit heaters rated from their output need the leaving water temperature.
      {"Q70", false,
       [](StandardForm& f) {
         f.txtTw2[1].Text = "";
         f.txtQw[1].Text = "0.3";
       },
       "Occorre immettere la temp. uscita o la portata acqua", Control(Ctl::txtTw2, 1)},
  };
  for (const auto& c : cases) {
    Opened o(c.series);
    o.session->settings.NoLimits = c.noLimits;
    c.edit(o.screen->form);
    o.Calculate(o.screen->form.cboVel.ListIndex);
    ASSERT_EQ(o.ui.messages.size(), 1u) << c.message;
    EXPECT_EQ(o.ui.messages[0].text, c.message);
    EXPECT_EQ(o.ui.messages[0].icon, Icon::kError) << c.message;
    ASSERT_FALSE(o.ui.focus.empty()) << c.message;
    EXPECT_EQ(o.ui.focus.back(), c.focus) << c.message;
    EXPECT_TRUE(ModelRows(*o.screen).empty()) << c.message;
  }
}

TEST(StandardScreen, q70OffersNoComeFreddoBox) {
  Opened o("Q70");
  EXPECT_FALSE(o.screen->IsUsable(Control(Ctl::chkComeFreddo)));
  Opened miral("MIRAL");
  EXPECT_TRUE(miral.screen->IsUsable(Control(Ctl::chkComeFreddo)));
}

TEST(StandardScreen, comeFreddoHeatsWithTheCoolingWaterFlowOfTheSameModel) {
  Opened o("BRISK");
  o.screen->CheckBox_Click(Control(Ctl::chkComeFreddo), true);
  o.Calculate(3);
  ASSERT_TRUE(o.ui.messages.empty()) << o.ui.messages[0].text;
  const int qwc = Column(*o.screen, "QW (C)");
  const int tw2h = Column(*o.screen, "TW2 (H)");
  ASSERT_GE(tw2h, 0);  // the heating water column shows the leaving temperature found
  for (const auto& row : ModelRows(*o.screen)) {
    EXPECT_GT(Number(row[qwc]), 0) << row[0];
    const double tw2 = Number(row[tw2h]);
    EXPECT_GT(tw2, 20) << row[0];
    EXPECT_LT(tw2, 70) << row[0];
  }
}

TEST(StandardScreen, torvaecCaptionAndSpeedListComeFromItsOwnSeries) {
  // Opened after MIRAL, the screen still gets TORVAEC's own configuration.
  auto session = CatalogueSession();
  RecordingUi ui;
  auto miral = OpenStandardScreen(*session, ui, "MIRAL");
  auto torvaec = OpenStandardScreen(*session, ui, "TORVAEC");
  EXPECT_EQ(torvaec->form.cboVel.ListCount(), 19);
  EXPECT_EQ(torvaec->form.cboVel.Text(), "15%");
  EXPECT_EQ(torvaec->form.Caption, session->Text(6) + " TORVAEC");
  EXPECT_FALSE(torvaec->form.txtpsu.Enabled);
}

}  // namespace
}  // namespace vestra::screens
