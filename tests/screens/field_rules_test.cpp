#include "screens/field_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "app/numbers.h"
#include "engine/moist_air.h"
#include "screen_fixture.h"
#include "screens/standard_screen.h"

namespace vestra::screens {
namespace {

using testing::ItalianSession;
using testing::RecordingUi;

const ControlRef kNextField = Control(Ctl::txtGlic);
const ControlRef kFine = Control(Ctl::CmdFine);

class FieldRulesTest : public ::testing::Test {
 protected:
  void Leave(ControlRef field, const std::string& text, ControlRef to = kNextField) {
    screen.GotFocus(field);
    screen.Field(field)->Text = text;
    screen.LostFocus(field, to);
  }
  std::string Text(ControlRef field) { return screen.Field(field)->Text; }

  std::unique_ptr<Session> session = ItalianSession();
  RecordingUi ui;
  StandardScreen screen{*session, ui, *FindSeries("MIRAL")};
};

TEST_F(FieldRulesTest, outOfRangeValueIsResetToTheMinimumWithTheRangeMessage) {
  Leave(Control(Ctl::txtTsa1, 0), "35");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Il valore deve essere compreso tra 18 °C -> 33 °C\nviene impostato a 18");
  EXPECT_EQ(ui.messages[0].icon, Icon::kError);
  EXPECT_EQ(Text(Control(Ctl::txtTsa1, 0)), "18");
  ASSERT_EQ(ui.focus.size(), 1u);
  EXPECT_EQ(ui.focus[0], Control(Ctl::txtTsa1, 0));
  EXPECT_EQ(screen.form.LastCheckResult, -1);
}

TEST_F(FieldRulesTest, rangeChecksOnLeavingFields) {
  const struct {
    ControlRef field;
    const char* typed;
    ControlRef to;
    bool message;
    const char* after;
  } cases[] = {
      // Zero not accepted: empty becomes 0, then the minimum.
      {Control(Ctl::txtTsa1, 0), "", kNextField, true, "18"},
      {Control(Ctl::txtTsa1, 0), "abc", kNextField, true, "18"},
      // Zero accepted: empty is "not given".
      {Control(Ctl::txtTsa1, 1), "", kNextField, false, ""},
      {Control(Ctl::txtTsa1, 1), "-12", kNextField, true, "-10"},
      {Control(Ctl::txtTsa1, 1), "-10", kNextField, false, "-10"},
      {Control(Ctl::txtTw1, 0), "4", kNextField, true, "5"},
      {Control(Ctl::txtTw1, 1), "96", kNextField, true, "30"},
      {Control(Ctl::txtGlic, -1), "61", kNextField, true, "0"},
      {Control(Ctl::txtGlic, -1), "60", kNextField, false, "60"},
      {Control(Ctl::txtpsu, -1), "81", Control(Ctl::txtTsa1, 0), true, "0"},
      // Leaving towards Fine never checks.
      {Control(Ctl::txtTsa1, 0), "35", kFine, false, "35"},
      // A number too large for a single (or a double) lies beyond every range.
      {Control(Ctl::txtTsa1, 0), "1e400", kNextField, true, "18"},
      {Control(Ctl::txtTsa1, 1), "-1e39", kNextField, true, "-10"},
      {Control(Ctl::txtUr, -1), "99999999999999999999999999999999999999999", kNextField, true,
       "20"},
      {Control(Ctl::txtpsu, -1), "1e39", Control(Ctl::txtTsa1, 0), true, "0"},
      // Water flows are never negative; listening distances lie within 0.5 .. 100 m.
      {Control(Ctl::txtQw, 0), "-0.1", kNextField, true, "0"},
      {Control(Ctl::txtQw, 1), "1e400", kNextField, true, "0"},
      {Control(Ctl::txtQw, 1), "0.3", kNextField, false, "0.3"},
      {Control(Ctl::txtDistanza, -1), "0", kNextField, true, "0.5"},
      {Control(Ctl::txtDistanza, -1), "250", kNextField, true, "0.5"},
      {Control(Ctl::txtDistanza, -1), "3", kNextField, false, "3"},
  };
  for (const auto& c : cases) {
    ui.messages.clear();
    Leave(c.field, c.typed, c.to);
    EXPECT_EQ(!ui.messages.empty(), c.message) << ControlName(c.field) << " " << c.typed;
    EXPECT_EQ(Text(c.field), c.after) << ControlName(c.field) << " " << c.typed;
  }
}

TEST_F(FieldRulesTest, numbersTooLargeToReadLeaveTheCouplingAlone) {
  for (const ControlRef field :
       {Control(Ctl::txtTbu), Control(Ctl::txtTw2, 0), Control(Ctl::txtTw2, 1)}) {
    screen.form = StandardForm{};
    ui.messages.clear();
    EXPECT_NO_THROW(Leave(field, "1e400")) << ControlName(field);
    EXPECT_NO_THROW(Leave(field, "1e39")) << ControlName(field);
  }
  session->settings.NoLimits = true;
  EXPECT_NO_THROW(Leave(Control(Ctl::txtTsa1, 0), "1e400"));
  EXPECT_NO_THROW(Leave(Control(Ctl::txtUr), "1e39"));
}

TEST_F(FieldRulesTest, noLimitsSkipsRangeChecksButKeepsTheCoupling) {
  session->settings.NoLimits = true;
  Leave(Control(Ctl::txtTsa1, 0), "40");
  Leave(Control(Ctl::txtUr), "99");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Text(Control(Ctl::txtTsa1, 0)), "40");
  EXPECT_EQ(Text(Control(Ctl::txtTbu)), FormatNumber(WetBulbFromRelHumidity(40, 99), "##.0", '.'));
}

TEST_F(FieldRulesTest, staticPressureLimitFollowsTheAirPressureUnit) {
  session->settings.UnitDpA = 1;  // mmH2O: 80 Pa is 8.16
  Leave(Control(Ctl::txtpsu), "9");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Il valore deve essere compreso tra 0 mmH2O -> 8.16 mmH2O\nviene impostato a 0");
}

TEST_F(FieldRulesTest, humidityFillsTheWetBulbAndAResetHumidityToo) {
  Leave(Control(Ctl::txtUr), "35");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Text(Control(Ctl::txtTbu)), FormatNumber(WetBulbFromRelHumidity(27, 35), "##.0", '.'));

  Leave(Control(Ctl::txtUr), "99");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("20 % -> 98 %"), std::string::npos) << ui.messages[0].text;
  EXPECT_EQ(Text(Control(Ctl::txtUr)), "20");
  EXPECT_EQ(Text(Control(Ctl::txtTbu)), FormatNumber(WetBulbFromRelHumidity(27, 20), "##.0", '.'));
}

TEST_F(FieldRulesTest, wetBulbFillsTheHumidityOrIsRejectedWhenNotBelowTheDryBulb) {
  Leave(Control(Ctl::txtTbu), "20");
  EXPECT_EQ(Text(Control(Ctl::txtUr)), FormatNumber(RelHumidityFromWetBulb(27, 20), "##.0", '.'));
  Leave(Control(Ctl::txtTbu), "27");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Il bulbo umido deve essere < del bulbo secco");
  EXPECT_EQ(Text(Control(Ctl::txtUr)), "");
  EXPECT_EQ(ui.focus.back(), Control(Ctl::txtTbu));
  // An emptied humidity is recomputed from the wet bulb.
  screen.form.txtTbu.Text = "19";
  Leave(Control(Ctl::txtUr), "");
  EXPECT_EQ(Text(Control(Ctl::txtUr)), FormatNumber(RelHumidityFromWetBulb(27, 19), "##.0", '.'));
}

TEST_F(FieldRulesTest, waterTemperaturesMustRiseInCoolingAndFallInHeating) {
  screen.form.txtTw1[0].Text = "7";
  Leave(Control(Ctl::txtTw2, 0), "7");
  screen.form.txtTw1[1].Text = "60";
  Leave(Control(Ctl::txtTw2, 1), "60");
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "La temp. Uscita deve essere > di quella di ingresso");
  EXPECT_EQ(ui.messages[1].text, "La temp. Uscita deve essere < di quella di ingresso");
  EXPECT_EQ(ui.focus[0], Control(Ctl::txtTw2, 0));
  EXPECT_EQ(ui.focus[1], Control(Ctl::txtTw2, 1));
  EXPECT_EQ(Text(Control(Ctl::txtTw2, 1)), "60");  // the value stays
}

TEST_F(FieldRulesTest, leavingWaterTemperatureAndWaterFlowAreAlternatives) {
  screen.form.chkComeFreddo.Value = true;
  Leave(Control(Ctl::txtQw, 1), "0.2");
  EXPECT_EQ(Text(Control(Ctl::txtTw2, 1)), "");
  EXPECT_FALSE(screen.form.chkComeFreddo.Value);
  EXPECT_EQ(Text(Control(Ctl::txtTw2, 0)), "12");  // the other panel keeps its datum

  Leave(Control(Ctl::txtTw2, 1), "55");
  EXPECT_EQ(Text(Control(Ctl::txtQw, 1)), "");

  screen.CheckBox_Click(Control(Ctl::chkComeFreddo), true);
  EXPECT_EQ(Text(Control(Ctl::txtTw2, 1)), "");
  EXPECT_EQ(Text(Control(Ctl::txtQw, 1)), "");
}

TEST_F(FieldRulesTest, commaLocaleReadsFieldsWithTheComma) {
  session->settings.DecimalSeparator = ",";
  Leave(Control(Ctl::txtUr), "47,5");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Text(Control(Ctl::txtTbu)),
            FormatNumber(WetBulbFromRelHumidity(27, 47.5f), "##.0", ','));
  // "0,5" is not present (leading number 0) and zero is accepted: left as typed.
  Leave(Control(Ctl::txtGlic), "0,5");
  EXPECT_EQ(Text(Control(Ctl::txtGlic)), "0,5");
}

TEST_F(FieldRulesTest, keysTypeTheLocaleSeparatorAndEnterMovesOn) {
  session->settings.DecimalSeparator = ",";
  EXPECT_EQ(screen.Form_KeyPress('.').key, ',');
  session->settings.DecimalSeparator = ".";
  EXPECT_EQ(screen.Form_KeyPress(',').key, '.');
  EXPECT_EQ(screen.Form_KeyPress('7').key, '7');
  const KeyAction enter = screen.Form_KeyPress('\r');
  EXPECT_TRUE(enter.sendTab);
  EXPECT_EQ(enter.key, '\r');
}

TEST_F(FieldRulesTest, focusSelectsTheWholeText) {
  screen.form.txtTw1[1].Text = "70.5";
  screen.form.txtTw1[1].SelStart = 2;
  screen.GotFocus(Control(Ctl::txtTw1, 1));
  EXPECT_EQ(screen.form.txtTw1[1].SelStart, 0);
  EXPECT_EQ(screen.form.txtTw1[1].SelLength, 4);
}

// The duty input check at calculation time: the first failing check wins.
TEST_F(FieldRulesTest, dutyInputChecksInTheirOrder) {
  const struct {
    int duty;
    void (*edit)(StandardForm&);
    const char* message;
    ControlRef focus;
  } cases[] = {
      {0, [](StandardForm& f) { f.txtTsa1[0].Text = ""; }, "Manca la temperatura entrata aria",
       Control(Ctl::txtTsa1, 0)},
      {0,
       [](StandardForm& f) {
         f.txtTsa1[0].Text = "";
         f.txtTw1[0].Text = "";
       },
       "Manca la temperatura entrata aria", Control(Ctl::txtTsa1, 0)},
      {1, [](StandardForm& f) { f.txtTw1[1].Text = "x"; }, "Manca la temperatura entrata acqua",
       Control(Ctl::txtTw1, 1)},
      {0, [](StandardForm& f) { f.txtUr.Text = ""; }, "Manca la percentuale di umidità",
       Control(Ctl::txtUr)},
      {0, [](StandardForm& f) { f.txtTw2[0].Text = ""; },
       "Occorre immettere la temp. uscita o la portata acqua", Control(Ctl::txtTw2, 0)},
      {0, [](StandardForm& f) { f.txtTw2[0].Text = "17.5"; },
       "Il salto termico non può essere  > 10 °C", Control(Ctl::txtTw2, 0)},
      {1, [](StandardForm& f) { f.txtTw2[1].Text = "29"; },
       "Il salto termico non può essere  > 40 °C", Control(Ctl::txtTw2, 1)},
  };
  for (const auto& c : cases) {
    screen.form = StandardForm{};
    ui.messages.clear();
    ui.focus.clear();
    c.edit(screen.form);
    const DutyCheck check =
        ReadDutyInputs(screen.form, static_cast<std::int16_t>(c.duty), false, *session);
    ASSERT_TRUE(check.problem) << c.message;
    EXPECT_EQ(check.problem->text, c.message);
    EXPECT_EQ(check.problem->icon, Icon::kError);
    EXPECT_EQ(check.problem->focus, c.focus) << c.message;
    EXPECT_TRUE(ui.messages.empty()) << "a check at calculation time shows nothing itself";
  }
}

TEST_F(FieldRulesTest, dutyInputsAreReadInBaseUnits) {
  session->settings.UnitQw = 1;  // l/h
  screen.form.txtTw2[1].Text = "";
  screen.form.txtQw[1].Text = "1800";
  const DutyCheck heating = ReadDutyInputs(screen.form, 1, false, *session);
  ASSERT_TRUE(heating.Ok());
  EXPECT_DOUBLE_EQ(heating.inputs.givenWaterFlow, 1800 / static_cast<double>(3600000.0f));
  EXPECT_EQ(heating.inputs.givenTwOut, 0);
  EXPECT_EQ(heating.inputs.taIn, 20);
  EXPECT_EQ(heating.inputs.rhIn, 0);  // no humidity in heating

  const DutyCheck cooling = ReadDutyInputs(screen.form, 0, false, *session);
  ASSERT_TRUE(cooling.Ok());
  EXPECT_EQ(cooling.inputs.taIn, 27);
  EXPECT_EQ(cooling.inputs.rhIn, 47);
  EXPECT_EQ(cooling.inputs.givenTwOut, 12);
}

TEST_F(FieldRulesTest, comeFreddoStandsInForTheHeatingWaterDatum) {
  screen.form.txtTw2[1].Text = "";
  EXPECT_TRUE(ReadDutyInputs(screen.form, 1, true, *session).Ok());
  session->settings.NoLimits = true;
  screen.form.txtTw1[1].Text = "";
  EXPECT_TRUE(ReadDutyInputs(screen.form, 1, false, *session).Ok());
}

}  // namespace
}  // namespace vestra::screens
