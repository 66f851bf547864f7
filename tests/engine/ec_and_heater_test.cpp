// The EC unit heaters' fan-signal model, the unit heaters rated from their nominal output,
// and the entering-air preparation every rating starts from.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/coil_constants.h"
#include "engine/entering_air.h"
#include "engine/fan_signal.h"
#include "engine/moist_air.h"
#include "engine/unit_heater.h"

namespace vestra {
namespace {

TEST(EcFanSignal, speedAndFlowFollowTheirPolynomials) {
  const FanPolynomial speed{10, 80, 100};  // rpm of the signal
  EXPECT_FLOAT_EQ(EcSpeedAtSignal(speed, 10), 1900);
  const FanPolynomial flow{0, 2, 0};                 // m3/h of the speed
  EXPECT_FLOAT_EQ(EcAirFlowAtSpeed(flow, 1800), 1);  // 3600 m3/h
}

TEST(EcFanSignal, soundPowerIsCorrectedForTheSignalAndFloored) {
  const FanPolynomial sound{0, 0, 60};
  // At the full signal the correction vanishes: 60 + 3.
  EXPECT_EQ(EcSoundPowerAtSpeed(sound, 1000, 10).lw, 63);
  EXPECT_FALSE(EcSoundPowerAtSpeed(sound, 1000, 10).atFloor);
  // The drive's 3 dB fade with the signal: about 0.85 dB less at 5 V, all 3 at 1 V.
  EXPECT_EQ(EcSoundPowerAtSpeed(sound, 1000, 5).lw, 62);
  EXPECT_EQ(EcSoundPowerAtSpeed(sound, 1000, 1).lw, 60);
  const EcSoundPower quiet = EcSoundPowerAtSpeed({0, 0, 5}, 1000, 10);
  EXPECT_EQ(quiet.lw, kEcSoundPowerFloor);
  EXPECT_TRUE(quiet.atFloor);
}

TEST(EcFanSignal, absorbedPowerHasItsMinimum) {
  EXPECT_EQ(EcAbsorbedPowerAtSpeed(0.0001f, 2, 1000), 100);
  EXPECT_EQ(EcAbsorbedPowerAtSpeed(0.0001f, 2, 100), kEcMinimumPowerW);
}

TEST(NominalHeater, givesItsNominalOutputAtTheTestConditions) {
  // A 10 K water drop and a 60 K mean water-to-air difference are the test point: the
  // output is PTN there, whatever the exponent.
  CoilConstants constants;
  CoilRatingState r;
  SelectCoilConstants(constants, r, CoilSet::S1);
  r.coilCircuits = 4;
  r.circuitLength = 6;
  r.twIn = 95;
  r.taIn = 30;
  for (const float y1 : {0.2f, 0.25f, 0.3f}) {
    RateNominalHeater(r, constants, {12000, y1, 0.5f}, 85);
    EXPECT_NEAR(r.heatCapacity, 12000, 0.01 * 12) << y1;
    // 0.86 kcal/h per W over a 10 K drop; the air warmed by the same heat.
    EXPECT_NEAR(r.heatWaterFlow, 12000 * 0.86 / 10 / 3600000, 1e-9);
    EXPECT_NEAR(r.heatTaOut, 30 + 12000 * 0.86 / (0.5 * 0.2895 * 3600), 0.01);
    EXPECT_GT(r.heatPressureDrop, 0);
  }
  // A smaller drop at the same mean temperature takes more water for less heat each litre.
  RateNominalHeater(r, constants, {12000, 0.25f, 0.5f}, 90);
  EXPECT_GT(r.heatWaterFlow, 12000 * 0.86 / 10 / 3600000);
}

TEST(EnteringAir, coolingAirCarriesItsWetBulbEnthalpiesAndDensity) {
  const EnteringAir air = CoolingAirFromHumidity(27, 47, 7);
  EXPECT_EQ(air.twbIn, WetBulbFromRelHumidity(27, 47));
  EXPECT_EQ(air.hAirIn, EnthalpyFromWetBulb(air.twbIn, 27));
  EXPECT_EQ(air.hSatIn, EnthalpyFromWetBulb(7, 7));
  EXPECT_EQ(air.rhoAir, AirDensity(27, 47));
  EXPECT_EQ(air.cpAir, AirCp(27));
  // Given its wet bulb, the same air comes out the same.
  const EnteringAir same = CoolingAirFromWetBulb(27, air.twbIn, 47, 7);
  EXPECT_EQ(same.hAirIn, air.hAirIn);

  // Heating air is dry and leaves the cooling state of the record alone.
  CoilRatingState r;
  SetEnteringAir(r, air);
  SetEnteringAir(r, HeatingAir(20));
  EXPECT_EQ(r.taIn, 20);
  EXPECT_EQ(r.rhIn, 0);
  EXPECT_EQ(r.rhoAir, AirDensity(20, 0));
  EXPECT_EQ(r.twbIn, air.twbIn);
}

}  // namespace
}  // namespace vestra
