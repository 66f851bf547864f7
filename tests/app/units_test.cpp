#include "app/units.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "engine/errors.h"
#include "test_folder.h"

namespace vestra {
namespace {

TEST(UnitTables, holdTheNamesFactorsAndFormatsOfEachChoice) {
  struct Row {
    Quantity quantity;
    int choice;
    const char* name;
    double factor;  // the single, widened
    const char* format;
  };
  const Row rows[] = {
      {Quantity::kCapacity, 0, "W", 1.0, "######"},
      {Quantity::kCapacity, 1, "Cal/h - Frig/h", 0.8600000143051147, "######"},
      {Quantity::kWaterFlow, 0, "l/s", 1000.0, "0.000"},
      {Quantity::kWaterFlow, 1, "l/h", 3600000.0, "#####"},
      {Quantity::kAirFlow, 0, "l/s", 1000.0, "###0.0"},
      {Quantity::kAirFlow, 1, "m3/s", 1.0, "0.000"},
      {Quantity::kAirFlow, 2, "m3/h", 3600.0, "#####"},
      {Quantity::kWaterPressureDrop, 0, "kPa", 1.0, "###"},
      {Quantity::kWaterPressureDrop, 1, "mH2O", 0.10199999809265137, "#0.0"},
      {Quantity::kAirPressure, 0, "Pa", 1.0, "###"},
      {Quantity::kAirPressure, 1, "mmH2O", 0.10199999809265137, "#0.0"},
  };
  for (const Row& r : rows) {
    const Unit& unit = ChosenUnit(r.quantity, static_cast<std::int16_t>(r.choice));
    EXPECT_EQ(unit.name, r.name);
    EXPECT_EQ(static_cast<double>(unit.factor), r.factor) << r.name;
    EXPECT_EQ(unit.format, r.format) << r.name;
  }
  EXPECT_EQ(UnitTable(Quantity::kAirFlow).size(), 3u);
  EXPECT_EQ(FmtOneDecimal, "##0.0");
}

TEST(UnitTables, aChoiceOutsideTheTableIsTheFirstUnit) {
  EXPECT_EQ(ValidUnitChoice(Quantity::kCapacity, 2), 0);
  EXPECT_EQ(ValidUnitChoice(Quantity::kCapacity, -1), 0);
  EXPECT_EQ(ValidUnitChoice(Quantity::kCapacity, 1), 1);
  EXPECT_EQ(ValidUnitChoice(Quantity::kAirFlow, 2), 2);
  EXPECT_EQ(ValidUnitChoice(Quantity::kAirFlow, 1.5), 2);  // nearest, ties to even
  EXPECT_EQ(ValidUnitChoice(Quantity::kAirFlow, 0.5), 0);
  EXPECT_EQ(ValidUnitChoice(Quantity::kAirFlow, 1e9), 0);
  try {
    ChosenUnit(Quantity::kCapacity, 2);
    ADD_FAILURE() << "choice 2 of capacity";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kSubscriptOutOfRange);
  }
}

TEST(UnitDisplay, showsABaseValueInTheChosenUnit) {
  const double waterFlow = 0.0005;  // m3/s
  EXPECT_EQ(DisplayValue(waterFlow, ChosenUnit(Quantity::kWaterFlow, 1), ','), "1800");
  EXPECT_EQ(DisplayValue(waterFlow, ChosenUnit(Quantity::kWaterFlow, 0), ','), "0,500");
  EXPECT_EQ(DisplayValue(waterFlow, ChosenUnit(Quantity::kWaterFlow, 0), '.'), "0.500");
  EXPECT_EQ(DisplayValue(0.0005f, ChosenUnit(Quantity::kWaterFlow, 1), '.'), "1800");

  EXPECT_EQ(DisplayValue(0.4f, ChosenUnit(Quantity::kCapacity, 0), '.'), "");
  EXPECT_EQ(DisplayValue(2500.0f, ChosenUnit(Quantity::kCapacity, 1), '.'), "2150");
  EXPECT_EQ(DisplayValue(0.25f, ChosenUnit(Quantity::kAirFlow, 0), ','), "250,0");
  EXPECT_EQ(DisplayValue(0.25f, ChosenUnit(Quantity::kAirFlow, 2), ','), "900");
  EXPECT_EQ(DisplayValue(25.0f, ChosenUnit(Quantity::kWaterPressureDrop, 1), ','), "2,6");
  EXPECT_EQ(DisplayValue(80.0f, ChosenUnit(Quantity::kAirPressure, 1), '.'), "8.2");
  EXPECT_EQ(DisplayValue(0.3f, ChosenUnit(Quantity::kAirPressure, 0), '.'), "");
}

TEST(UnitDisplay, readsATypedValueIntoTheBaseUnit) {
  EXPECT_DOUBLE_EQ(BaseFromTyped(1800.0, ChosenUnit(Quantity::kWaterFlow, 1)), 0.0005);
  EXPECT_DOUBLE_EQ(BaseFromTypedText("1800", ChosenUnit(Quantity::kWaterFlow, 1), ','), 0.0005);
  EXPECT_DOUBLE_EQ(BaseFromTypedText("0,5", ChosenUnit(Quantity::kWaterFlow, 0), ','), 0.0005);
  EXPECT_FLOAT_EQ(BaseFromTyped(900.0f, ChosenUnit(Quantity::kAirFlow, 2)), 0.25f);
  EXPECT_FLOAT_EQ(BaseFromTyped(8.16f, ChosenUnit(Quantity::kAirPressure, 1)), 80.0f);
  try {
    BaseFromTypedText("0.5", ChosenUnit(Quantity::kWaterFlow, 0), ',');
    ADD_FAILURE() << "0.5 read in a comma locale";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kTypeMismatch);
  }
}

class UnitsDialogTest : public ::testing::Test {
 protected:
  testing::TestFolder folder;
  SettingsFile file{folder / "Vestra.ini", {}};
  Settings settings;
};

TEST_F(UnitsDialogTest, capacityAndWaterPressureDropGoTogetherWhenTheUserPicks) {
  UnitsDialogState dialog(settings);
  dialog.choose(Quantity::kCapacity, 1);                        // "Cal/h - Frig/h"
  EXPECT_EQ(dialog.position(Quantity::kWaterPressureDrop), 1);  // "mH2O"
  dialog.choose(Quantity::kWaterPressureDrop, 0);               // "kPa"
  EXPECT_EQ(dialog.position(Quantity::kCapacity), 0);           // "W"
  dialog.choose(Quantity::kWaterPressureDrop, 1);
  EXPECT_EQ(dialog.position(Quantity::kCapacity), 1);
  dialog.choose(Quantity::kCapacity, 0);
  EXPECT_EQ(dialog.position(Quantity::kWaterPressureDrop), 0);

  dialog.choose(Quantity::kAirFlow, 2);  // the other lists stand alone
  dialog.choose(Quantity::kAirPressure, 1);
  dialog.choose(Quantity::kWaterFlow, 1);
  EXPECT_EQ(dialog.position(Quantity::kCapacity), 0);
  EXPECT_EQ(dialog.position(Quantity::kWaterPressureDrop), 0);
}

TEST_F(UnitsDialogTest, loadingShowsTheChoicesWithoutCouplingThem) {
  settings.UnitPt = 1;
  settings.UnitDpW = 0;  // a mixed pair, as a hand-edited file may hold
  settings.UnitQa = 2;
  const UnitsDialogState dialog(settings);
  EXPECT_EQ(dialog.position(Quantity::kCapacity), 1);
  EXPECT_EQ(dialog.position(Quantity::kWaterPressureDrop), 0);
  EXPECT_EQ(dialog.position(Quantity::kAirFlow), 2);

  settings.UnitPt = 2;  // beyond the table: the dialog shows the first unit
  EXPECT_EQ(UnitsDialogState(settings).position(Quantity::kCapacity), 0);
}

TEST_F(UnitsDialogTest, okWritesTheFiveChoicesInOrder) {
  UnitsDialogState dialog(settings);
  dialog.choose(Quantity::kCapacity, 1);
  dialog.choose(Quantity::kAirFlow, 1);
  dialog.choose(Quantity::kWaterFlow, 1);
  dialog.choose(Quantity::kAirPressure, 1);
  const IniWriteResult result = dialog.confirm(settings, file);
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(testing::ReadFile(folder / "Vestra.ini"),
            "[Unmis]\nPt= 1\nQa= 1\nQw= 1\nDpW= 1\nDpA= 1\n");
  EXPECT_EQ(settings.UnitPt, 1);
  EXPECT_EQ(settings.UnitQa, 1);
  EXPECT_EQ(settings.UnitQw, 1);
  EXPECT_EQ(settings.UnitDpW, 1);
  EXPECT_EQ(settings.UnitDpA, 1);

  // The next start reads them back.
  Settings next;
  LoadSettings(file, (folder / "out").string(), next);
  EXPECT_EQ(next.UnitPt, 1);
  EXPECT_EQ(next.UnitDpA, 1);
}

TEST_F(UnitsDialogTest, okWritesOnlyTheChoicesThatChanged) {
  const std::string before = "; by hand\n[Unmis]\nPt=1\nQa = 2\nQw=0\nDpW=1\nDpA=0\n";
  testing::WriteFile(folder / "Vestra.ini", before);
  LoadSettings(file, (folder / "out").string(), settings);
  const auto longAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
  std::filesystem::last_write_time(folder / "Vestra.ini", longAgo);
  EXPECT_TRUE(UnitsDialogState(settings).confirm(settings, file).ok);
  EXPECT_EQ(std::filesystem::last_write_time(folder / "Vestra.ini"), longAgo);

  UnitsDialogState dialog(settings);
  dialog.choose(Quantity::kWaterFlow, 1);
  EXPECT_TRUE(dialog.confirm(settings, file).ok);
  EXPECT_EQ(testing::ReadFile(folder / "Vestra.ini"),
            "; by hand\n[Unmis]\nPt=1\nQa = 2\nQw= 1\nDpW=1\nDpA=0\n");
}

TEST_F(UnitsDialogTest, closingKeepsTheChoicesForThisRunOnly) {
  UnitsDialogState dialog(settings);
  dialog.choose(Quantity::kAirFlow, 2);
  dialog.close(settings);
  EXPECT_EQ(settings.UnitQa, 2);
  EXPECT_FALSE(std::filesystem::exists(folder / "Vestra.ini"));
}

TEST_F(UnitsDialogTest, aFailedWriteIsReported) {
  testing::WriteFile(folder / "blocked", "");
  SettingsFile blocked(folder / "blocked" / "Vestra.ini", {});
  UnitsDialogState dialog(settings);
  dialog.choose(Quantity::kCapacity, 1);
  EXPECT_FALSE(dialog.confirm(settings, blocked).ok);
  EXPECT_EQ(settings.UnitPt, 1);  // still in effect for this run
}

TEST(UnitsDialogTexts, captionsComeFromTheTextTable) {
  const UnitsDialogCaptions italian = UnitsDialogTexts(TextContext(100));
  EXPECT_EQ(italian.window, "Scelta unita' di misura");
  EXPECT_EQ(italian.capacity, "Potenza");
  EXPECT_EQ(italian.waterFlow, "Portata acqua");
  EXPECT_EQ(italian.airFlow, "Portata aria");
  EXPECT_EQ(italian.waterPressureDrop, "Perdita di carico acqua");
  EXPECT_EQ(italian.airPressure, "Pressione statica utile");
  EXPECT_EQ(UnitsDialogTexts(TextContext(300)).ok, "OK");
}

}  // namespace
}  // namespace vestra
