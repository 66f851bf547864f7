#include "screens/results_table.h"

#include <gtest/gtest.h>

#include "screen_fixture.h"

namespace vestra::screens {
namespace {

TEST(ResultsTable, columnCountsPerSeries) {
  const struct {
    const char* series;
    int single, all;
  } cases[] = {{"TORVA", 15, 16}, {"Q70", 8, 9},       {"MIRAL", 14, 15}, {"MIRALP", 14, 15},
               {"QUIVO", 14, 15}, {"TORVAEC", 14, 15}, {"VELD", 13, 14},  {"DARNE", 13, 14}};
  for (const auto& c : cases) {
    EXPECT_EQ(StandardColumnCount(*FindSeries(c.series), false), c.single) << c.series;
    EXPECT_EQ(StandardColumnCount(*FindSeries(c.series), true), c.all) << c.series;
  }
}

class HeadingsTest : public ::testing::Test {
 protected:
  std::vector<std::string> Row(int r) { return form.Grd.Rows.at(static_cast<std::size_t>(r)); }
  std::unique_ptr<Session> session = testing::ItalianSession();
  StandardForm form;
};

TEST_F(HeadingsTest, symbolAndUnitRowsFollowTheWaterDatumOfEachPanel) {
  ResetStandardResults(form, *FindSeries("MIRAL"), *session, false, true, false);
  EXPECT_EQ(Row(0),
            (std::vector<std::string>{"", "QA", "PT", "PS", "QW (C)", "DPW (C)", "TA (C)", "PH",
                                      "TW2 (H)", "DPW (H)", "TA (H)", "LW", "LP", "Pin"}));
  EXPECT_EQ(Row(1), (std::vector<std::string>{"Modello", "l/s", "W", "W", "l/s", "kPa", "°C", "W",
                                              "°C", "kPa", "°C", "dB(A)", "dB(A)", "W"}));
  EXPECT_TRUE(form.cmdLegend.Visible);
  EXPECT_EQ(form.Grd.FixedRows, 0);
}

TEST_F(HeadingsTest, unitHeatersShowTheirColumnsAndQ70HasNoCooling) {
  ResetStandardResults(form, *FindSeries("TORVA"), *session, true, true, true);
  EXPECT_EQ(Row(0).size(), 16u);
  EXPECT_EQ(Row(0)[1], "Vel");
  EXPECT_EQ(Row(0).back(), "L Max");
  EXPECT_EQ(Row(1).back(), "m");

  ResetStandardResults(form, *FindSeries("Q70"), *session, false, true, true);
  EXPECT_EQ(Row(0),
            (std::vector<std::string>{"", "QA", "PH", "QW (H)", "DPW (H)", "TA (H)", "LW", "LP"}));
}

TEST_F(HeadingsTest, kilocaloriesLabelEveryCapacityColumnFrigH) {
  session->settings.UnitPt = 1;
  session->settings.UnitQa = 2;
  ResetStandardResults(form, *FindSeries("BRISK"), *session, false, true, true);
  EXPECT_EQ(Row(1)[1], "m3/h");
  EXPECT_EQ(Row(1)[2], "Frig/h");
  EXPECT_EQ(Row(1)[3], "Frig/h");
  EXPECT_EQ(Row(1)[7], "Frig/h");
}

TEST_F(HeadingsTest, ecLayoutsShareTheirColumnsButTheSpeed) {
  ResetEcResults(form, *session, true, true, false);
  EXPECT_EQ(Row(0),
            (std::vector<std::string>{"", "SPEED", "Vin", "PT", "PS", "QW (C)", "DPW (C)", "TA (C)",
                                      "PH", "TW2 (H)", "DPW (H)", "TA (H)", "LW", "LP", "Pin"}));
  EXPECT_EQ(Row(1)[1], "RPM");
  EXPECT_EQ(Row(1)[2], "V");
  EXPECT_EQ(form.Grd.ColWidth[0], 1100);
  EXPECT_EQ(form.Grd.ColWidth[1], 695);
  ResetEcResults(form, *session, false, true, true);
  EXPECT_EQ(Row(0).size(), 14u);
  EXPECT_EQ(Row(0)[1], "Vin");
  EXPECT_EQ(Row(1).back(), "W");
}

template <typename Figures>
DutyOutcome<Figures> Converged(Figures figures) {
  return {DutyStatus::kConverged, figures};
}

TEST(ResultsRow, cellsInDisplayUnitsWithEmptyCellsForZeroUnderOptionalDigits) {
  auto session = testing::ItalianSession(',');
  RatedRow row;
  row.modelName = "MIRAL 20";
  row.airFlowM3s = 0.0532f;
  row.cooling = Converged(CoolingFigures{1250, 900, 0.0000597f, 11.0f, 0.4f, 12.54f});
  row.heating = Converged(HeatingFigures{1850, 0.000045f, 55.0f, 11.2f, 48.56f});
  row.soundPowerDb = 33.5f;
  row.soundPressureDb = 28;
  row.absorbedPowerW = 15;
  const SeriesTraits& miral = *FindSeries("MIRAL");
  EXPECT_EQ(StandardRowText(row, miral, true, false, *session),
            "MIRAL 20\t53,2\t1250\t900\t0,060\t\t12,5\t1850\t55,0\t11\t48,6\t33,5\t28\t15");
  // In mH2O the same small drop shows a digit.
  session->settings.UnitDpW = 1;
  EXPECT_NE(StandardRowText(row, miral, true, false, *session).find("\t0,0\t12,5"),
            std::string::npos);
}

TEST(ResultsRow, dutiesWithoutAResultAndMissingSoundLeaveTheirCellsEmpty) {
  auto session = testing::ItalianSession();
  RatedRow row;
  row.modelName = "X";
  row.speedName = "Max";
  row.airFlowM3s = 0.1f;
  row.cooling.status = DutyStatus::kNotConverged;
  row.cooling.figures.totalW = 999;  // a search that did not converge shows nothing
  row.soundShown = false;
  row.absorbedPowerW = 20;
  EXPECT_EQ(StandardRowText(row, *FindSeries("MIRAL"), true, true, *session),
            "X\tMax\t100.0\t\t\t\t\t\t\t\t\t\t\t\t20");
  row.soundShown = true;
  row.soundAtFloor = true;
  row.soundPowerDb = 20;
  row.soundPressureDb = 12;
  EXPECT_NE(
      StandardRowText(row, *FindSeries("TORVAEC"), true, true, *session).find("\t< 20\t< 12\t20"),
      std::string::npos);
}

TEST(Legend, describesEverySymbolInTheCurrentLanguage) {
  auto session = testing::ItalianSession();
  StandardForm form;
  FillStandardLegend(form, *FindSeries("TORVA"), *session);
  EXPECT_EQ(form.lblLegSim[3].Caption, "QW (C)");
  EXPECT_EQ(form.lblLegDes[3].Caption, "Portata acqua(Raffreddamento)");
  EXPECT_EQ(form.lblLegDes[14].Caption, "Altezza max installazione");
  EXPECT_TRUE(form.frmTorva.Visible);
  EXPECT_EQ(form.lblLegDes[16].Caption, "Potenza assorbita");

  session->settings.LangBase = 300;
  FillStandardLegend(form, *FindSeries("MIRAL"), *session);
  EXPECT_EQ(form.lblLegDes[16].Caption, "Power input");
  EXPECT_EQ(form.lblLegDes[11].Caption, "Air outlet temperature(Heating)");
  EXPECT_FALSE(form.frmTorva.Visible);
}

}  // namespace
}  // namespace vestra::screens
