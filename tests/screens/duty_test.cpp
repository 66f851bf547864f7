// Selection on a stated duty: the rule that chooses among the rated rows, the margins and
// the line under the table, the requirement fields as typed, and a screen's Calculate
// marking its grid.

#include "screens/duty.h"

#include <gtest/gtest.h>

#include "screen_fixture.h"
#include "screens/standard_screen.h"

namespace vestra::screens {
namespace {

using testing::CatalogueSession;
using testing::ItalianSession;
using testing::RecordingUi;

RatedRow Row(const char* name, float flowM3h, int step, float total, float sensible, float heating,
             float lp) {
  RatedRow r;
  r.modelName = name;
  r.airFlowM3s = flowM3h / 3600;
  r.step = step;
  r.cooling.status = DutyStatus::kConverged;
  r.cooling.figures.totalW = total;
  r.cooling.figures.sensibleW = sensible;
  r.heating.status = DutyStatus::kConverged;
  r.heating.figures.capacityW = heating;
  r.soundPressureDb = lp;
  return r;
}

const std::vector<RatedRow> kRows{
    Row("A 40", 600, 3, 3270, 2420, 4640, 46), Row("A 20", 330, 3, 1620, 1260, 2380, 40),
    Row("A 50", 780, 3, 4200, 3110, 5970, 49), Row("A 40", 600, 2, 3100, 2300, 4400, 43),
    Row("A 60", 950, 3, 5040, 3730, 7180, 51)};

TEST(DutyChoice, theSmallestRowMeetingEveryTermThenTheSlowerSpeed) {
  struct Case {
    RequiredDuty duty;
    std::optional<std::size_t> chosen;
    int meeting;
  };
  const Case cases[] = {
      {{3000, 2200, 4000, 50}, 3, 3},  // A 40 at speed 2 before speed 3 at the same flow
      {{3200, std::nullopt, std::nullopt, std::nullopt}, 0, 3},
      {{std::nullopt, std::nullopt, std::nullopt, 42}, 1, 1},  // only A 20 is that quiet
      {{4000, std::nullopt, std::nullopt, 45}, std::nullopt, 0},
      {{}, std::nullopt, 0},  // nothing stated: nothing marked
  };
  for (const Case& c : cases) {
    const DutyChoice choice = ChooseForDuty(kRows, c.duty);
    EXPECT_EQ(choice.chosen, c.chosen);
    int meeting = 0;
    for (const DutyVerdict& v : choice.verdicts) meeting += v.meets ? 1 : 0;
    EXPECT_EQ(meeting, c.meeting);
  }
}

TEST(DutyChoice, aRowThatShowsTheFigureRequiredMeetsItAndUnratedDutiesNever) {
  RatedRow r = Row("B", 500, 1, 2999.6f, 2000, 3000, 40.04f);
  EXPECT_TRUE(JudgeRow(r, {3000, std::nullopt, std::nullopt, 40}).meets) << "shows 3000 W, 40.0";
  EXPECT_FALSE(JudgeRow(r, {3001, std::nullopt, std::nullopt, std::nullopt}).meets);
  // In Frig/h the same row shows 2580: it meets 2580 Frig/h (3000 W) too.
  EXPECT_TRUE(JudgeRow(r, {3000, std::nullopt, std::nullopt, std::nullopt}, kUnitsPt[1]).meets);
  r.cooling.status = DutyStatus::kNotConverged;
  EXPECT_FALSE(JudgeRow(r, {1, std::nullopt, std::nullopt, std::nullopt}).meets);
  EXPECT_TRUE(JudgeRow(r, {std::nullopt, std::nullopt, 3000, std::nullopt}).meets);
  r.soundShown = false;
  EXPECT_FALSE(JudgeRow(r, {std::nullopt, std::nullopt, std::nullopt, 90}).meets);
}

TEST(DutyChoice, theMarginsAndTheLineUnderTheTable) {
  auto session = ItalianSession();
  session->settings.LangBase = 200;  // English
  const RequiredDuty duty{3000, 2200, 4000, 50};
  const DutyChoice choice = ChooseForDuty(kRows, duty);
  EXPECT_EQ(MarginText(choice.verdicts[0].margins, *session),
            "+9 % total, +10 % sensible, +16 % heating, \u22124 dB(A)");
  EXPECT_EQ(DutyLine(kRows, duty, choice, *session),
            "Chosen: A 40 (+3 % total, +5 % sensible, +10 % heating, \u22127 dB(A)); 3 rows meet "
            "the required duty");

  // No row: the first term none meets, with the most any row gives.
  const RequiredDuty big{6000, std::nullopt, std::nullopt, std::nullopt};
  EXPECT_EQ(DutyLine(kRows, big, ChooseForDuty(kRows, big), *session),
            "Total cooling of 6000 W required: no row reaches it, the most is 5040 W (A 60)");
  const RequiredDuty quiet{std::nullopt, std::nullopt, std::nullopt, 35};
  EXPECT_EQ(DutyLine(kRows, quiet, ChooseForDuty(kRows, quiet), *session),
            "Sound pressure of at most 35 dB(A): no row is that quiet, the quietest has 40 dB(A) "
            "(A 20)");
  const RequiredDuty apart{4000, std::nullopt, std::nullopt, 45};
  EXPECT_EQ(DutyLine(kRows, apart, ChooseForDuty(kRows, apart), *session),
            "No row meets the whole required duty at once: each requirement is met by other rows");
}

TEST(RequiredDutyFields, emptyIsNotRequiredAndABadValueNamesItsField) {
  auto session = ItalianSession();
  session->settings.LangBase = 200;
  CommonForm form;
  auto read = ReadRequiredDuty(form, *session);
  ASSERT_TRUE(std::holds_alternative<RequiredDuty>(read));
  EXPECT_FALSE(std::get<RequiredDuty>(read).Any());

  struct Bad {
    int field;
    const char* text;
    const char* message;
  };
  for (const Bad& b :
       {Bad{0, "abc", "Total cooling: \"abc\" is not a valid value (above 0 W)"},
        Bad{2, "-5", "Heating: \"-5\" is not a valid value (above 0 W)"},
        Bad{3, "130",
            "Sound pressure at most: \"130\" is not a valid value "
            "(0 .. 120 dB(A))"},
        Bad{1, "1e40", "Sensible cooling: \"1e40\" is not a valid value (above 0 W)"}}) {
    CommonForm f;
    f.txtReq[static_cast<std::size_t>(b.field)].Text = b.text;
    read = ReadRequiredDuty(f, *session);
    ASSERT_TRUE(std::holds_alternative<ScreenMessage>(read)) << b.text;
    EXPECT_EQ(std::get<ScreenMessage>(read).text, b.message);
    EXPECT_EQ(std::get<ScreenMessage>(read).focus, Control(Ctl::txtReq, b.field));
  }

  // Capacities are typed in the unit shown beside them.
  session->settings.UnitPt = 1;  // Frig/h
  form.txtReq[0].Text = "2580";
  form.txtReq[3].Text = " 45 ";
  read = ReadRequiredDuty(form, *session);
  ASSERT_TRUE(std::holds_alternative<RequiredDuty>(read));
  EXPECT_NEAR(*std::get<RequiredDuty>(read).totalW, 3000, 0.01);
  EXPECT_FLOAT_EQ(*std::get<RequiredDuty>(read).soundPressureDb, 45);
}

TEST(RequiredDutyOnAScreen, calculateMarksTheRowsAndSelectsTheChoice) {
  auto session = CatalogueSession();
  RecordingUi ui;
  const auto screen = testing::OpenStandardScreen(*session, ui, "MIRAL");
  CommonForm& f = screen->Form();
  screen->cmdCalcola_Click();
  EXPECT_TRUE(f.Grd.Marks.empty()) << "nothing stated, nothing marked";
  EXPECT_FALSE(f.lblDuty.Visible);
  EXPECT_TRUE(ui.selectedRows.empty());

  f.txtReq[0].Text = "3000";
  f.txtReq[3].Text = "50";
  screen->cmdCalcola_Click();
  const auto& rows = screen->LastCalculation().rows;
  const DutyChoice choice = ChooseForDuty(rows, {3000, std::nullopt, std::nullopt, 50});
  ASSERT_TRUE(choice.chosen);
  const int chosenRow = 2 + static_cast<int>(*choice.chosen);
  ASSERT_EQ(f.Grd.Marks.size(), static_cast<std::size_t>(f.Grd.RowCount()));
  EXPECT_EQ(f.Grd.Marks[static_cast<std::size_t>(chosenRow)].kind, ResultsGrid::RowMark::kChosen);
  for (std::size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(f.Grd.Marks[i + 2].kind != ResultsGrid::RowMark::kNone, choice.verdicts[i].meets);
  EXPECT_EQ(ui.selectedRows, std::vector<int>{chosenRow});
  EXPECT_TRUE(f.lblDuty.Visible);
  EXPECT_EQ(f.lblDuty.Caption.rfind("Scelto: " + rows[*choice.chosen].modelName, 0), 0u)
      << f.lblDuty.Caption;

  // A requirement that cannot be read stops the calculation at its field.
  f.txtReq[1].Text = "x";
  ui.messages.clear();
  screen->cmdCalcola_Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.focus.back(), Control(Ctl::txtReq, 1));
  EXPECT_TRUE(screen->LastCalculation().rows.empty());

  // The units change: the typed capacities follow.
  f.txtReq[1].Text.clear();
  const Settings before = session->settings;
  session->settings.UnitPt = 1;
  screen->UnitsChanged(before);
  EXPECT_EQ(f.txtReq[0].Text, "2580");
  EXPECT_EQ(f.lblumReq[0].Caption, "Cal/h - Frig/h");
  EXPECT_EQ(f.txtReq[3].Text, "50");
}

}  // namespace
}  // namespace vestra::screens
