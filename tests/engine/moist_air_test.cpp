#include "engine/moist_air.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vestra {
namespace {

TEST(MoistAir, saturationPressureMatchesSteamTables) {
  const struct {
    float t, pws, tolerance;
  } cases[] = {{20, 23.39f, 0.005f}, {0, 6.11f, 0.005f}, {27, 35.67f, 0.005f}, {60, 199.4f, 0.1f}};
  for (const auto& c : cases) EXPECT_NEAR(SatVapourPressure(c.t), c.pws, c.tolerance) << c.t;
}

TEST(MoistAir, wetBulbAndRelativeHumidityRoundTrip) {
  const struct {
    float tdb, rh;
  } cases[] = {{27, 50}, {27, 47}, {20, 20}, {33, 98}, {-10, 20}, {5, 60}};
  for (const auto& c : cases) {
    bool found = false;
    const float twb = WetBulbFromRelHumidity(c.tdb, c.rh, &found);
    ASSERT_TRUE(found) << c.tdb << " " << c.rh;
    EXPECT_LT(twb, c.tdb);
    EXPECT_NEAR(RelHumidityFromWetBulb(c.tdb, twb), c.rh, 0.001) << c.tdb << " " << c.rh;
  }
  EXPECT_NEAR(WetBulbFromRelHumidity(27, 50), 19.5, 0.05);
}

TEST(MoistAir, saturatedAirHasItsDryBulbAsWetBulbWithoutSearching) {
  bool found = false;
  EXPECT_EQ(WetBulbFromRelHumidity(23.7f, 100, &found), 23.7f);
  EXPECT_TRUE(found);
}

TEST(MoistAir, wetBulbSearchThatFindsNothingReturnsZeroAndSaysSo) {
  // Dry, cold air: the first estimate brackets no wet bulb.
  bool found = true;
  EXPECT_EQ(WetBulbFromRelHumidity(5, 10, &found), 0);
  EXPECT_FALSE(found);
}

TEST(MoistAir, wetBulbFromHumidityRatioRoundTripsAndNeverFindsBelow1C) {
  bool found = false;
  const float w = HumidityRatioFromWetBulb(27, 19);
  EXPECT_NEAR(WetBulbFromHumidityRatio(27, w, &found), 19, 0.001);
  EXPECT_TRUE(found);
  const float wCold = HumidityRatioFromWetBulb(5, 0.5f);
  EXPECT_EQ(WetBulbFromHumidityRatio(5, wCold, &found), 0);
  EXPECT_FALSE(found);
}

TEST(MoistAir, densityOfDryAndOfMoistAir) {
  EXPECT_NEAR(AirDensity(20, 0), 1.2045, 0.00005);
  EXPECT_LT(AirDensity(20, 50), AirDensity(20, 0));
  EXPECT_GT(AirDensity(20, 50), 1.18);
}

TEST(MoistAir, enthalpyOfSaturatedAirAgreesWithTheFit) {
  const float h = EnthalpyFromWetBulb(20, 20);
  EXPECT_NEAR(h, 57.5, 0.1);
  EXPECT_NEAR(h, SatEnthalpyFit(20), 0.2);
  EXPECT_NEAR(MoistAirEnthalpy(20, 0), 20, 1e-6);
}

TEST(MoistAir, saturationTemperatureFromEnthalpyInvertsTheFit) {
  for (const float t : {0.0f, 7.0f, 12.0f, 25.0f, 38.0f}) {
    bool found = false;
    EXPECT_NEAR(SatTempFromEnthalpy(SatEnthalpyFit(t), &found), t, 0.01) << t;
    EXPECT_TRUE(found) << t;
  }
}

TEST(MoistAir, saturationTemperatureSearchMissesATinyEnthalpy) {
  // The tolerance is relative to h: near h = 0 the 20 passes cannot get close enough.
  bool found = true;
  EXPECT_EQ(SatTempFromEnthalpy(SatEnthalpyFit(-5), &found), 0);
  EXPECT_FALSE(found);
}

TEST(MoistAir, saturationTemperatureSearchOutsideItsRangeReturnsZero) {
  // Above the fit at 40 degC, below the fit at -10 degC, and a negative enthalpy (which no
  // saturated air above -10 degC has: it must not come back as the first midpoint).
  for (const float h : {SatEnthalpyFit(40) + 1, SatEnthalpyFit(-10) - 1, -20.0f}) {
    bool found = true;
    EXPECT_EQ(SatTempFromEnthalpy(h, &found), 0) << h;
    EXPECT_FALSE(found) << h;
  }
}

TEST(MoistAir, specificHeatsAndSlope) {
  EXPECT_NEAR(AirCp(20), 1.0061, 0.0005);
  // A fit in kcal/(kg K) converted to kJ/(kg K).
  EXPECT_NEAR(SatEnthalpySlope(10), 4.1868 * (0.445 + 0.138 + 0.02844), 1e-5);
}

TEST(MoistAir, relativeHumidityIsNotCappedAt100) {
  EXPECT_GT(RelHumidityFromWetBulb(20, 21), 100);
}

}  // namespace
}  // namespace vestra
