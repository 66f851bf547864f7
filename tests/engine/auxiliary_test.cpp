#include "engine/auxiliary.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/errors.h"

namespace vestra {
namespace {

int ErrorNumberOf(float (*f)()) {
  try {
    f();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

TEST(SoundPressureLevel, spreadsTheSoundPowerOverASphereOf12_56R2) {
  EXPECT_NEAR(SoundPressureLevel(50, 1, 2), 42.02, 0.005);
  EXPECT_NEAR(SoundPressureLevel(50, 2, 2), 42.02 - 10 * std::log10(4.0), 0.005);
  EXPECT_NEAR(SoundPressureLevel(45, 1.5f, 8), 45 + 10 * std::log10(8 / (12.56 * 2.25)), 1e-4);
  EXPECT_FLOAT_EQ(Log10(1000), 3);
  EXPECT_EQ(ErrorNumberOf([] { return Log10(0); }), kInvalidArgument);
  EXPECT_EQ(ErrorNumberOf([] { return SoundPressureLevel(50, 0, 2); }), kDivisionByZero);
}

// A two-in-one unit of 1500 W at 50 K with the radiator exponent 1.3.
constexpr StaticHeaterModel kUnit{1500, 1.3f, 12};

TEST(StaticHeatingAtOutletTemp, givesTheNominalOutputFlowAndDropAtFiftyKelvin) {
  for (const float exponent : {1.0f, 1.3f, 1.45f}) {
    const StaticHeaterModel unit{1500, exponent, 12};
    // Mean water 70 degC over air at 20 degC, with a 10 K drop.
    const StaticHeatingResult r = StaticHeatingAtOutletTemp(unit, 75, 65, 20);
    EXPECT_EQ(r.output, 1500.0f) << exponent;
    EXPECT_NEAR(r.waterFlow, 1500 / 4.186 / 10 / 1e6, 1e-12);
    EXPECT_NEAR(r.pressureDropTerm, 12, 1e-4);
    EXPECT_EQ(r.twOut, 65.0f);
  }
  // A 40 K mean difference: (40/50)^1.3 of the nominal output.
  const StaticHeatingResult r = StaticHeatingAtOutletTemp(kUnit, 65, 55, 20);
  EXPECT_NEAR(r.output, 1500 * std::pow(0.8, 1.3), 0.01);
}

TEST(StaticHeatingAtWaterFlow, findsTheOutletOfAFlowTheUnitDraws) {
  const float nominalFlow = static_cast<float>(1500 / 4.186 / 10 / 1e6);
  const StaticHeatingResult r = StaticHeatingAtWaterFlow(kUnit, nominalFlow, 75, 20);
  EXPECT_TRUE(r.met);
  EXPECT_LT(std::fabs(r.waterFlow - nominalFlow) / nominalFlow, 0.01);
  EXPECT_NEAR(r.twOut, 65, 0.2);
  EXPECT_NEAR(r.output, 1500, 15);
  EXPECT_NEAR(r.pressureDropTerm, 12 * std::pow(r.waterFlow / nominalFlow, 2), 1e-3);
  EXPECT_LT(r.passes, kStaticHeatingPasses);
}

TEST(StaticHeatingAtWaterFlow, aFlowBelowTheSmallestTheUnitDrawsEndsFlaggedAtThePassLimit) {
  // With the outlet at the air temperature the unit draws wMin; half of it is never met.
  const double wMin = 1500 * std::pow(55.0 / 100, 1.3) / 4.186 / 55 / 1e6;
  const StaticHeatingResult r =
      StaticHeatingAtWaterFlow(kUnit, static_cast<float>(wMin / 2), 75, 20);
  EXPECT_FALSE(r.met);
  EXPECT_EQ(r.passes, kStaticHeatingPasses);
  // What is reported is the last pass, closing in on the air temperature.
  EXPECT_NEAR(r.twOut, 20, 0.01);
  EXPECT_NEAR(r.waterFlow, wMin, 0.01 * wMin);
  EXPECT_NEAR(r.output, 1500 * std::pow(((75 + r.twOut) / 2 - 20) / 50, 1.3f), 0.01);
  EXPECT_NEAR(r.pressureDropTerm, 12 * std::pow(r.waterFlow / (1500 / 4.186 / 10 / 1e6), 2), 1e-4);
}

TEST(StaticHeatingAtWaterFlow, aZeroFlowIsANumericError) {
  EXPECT_NE(ErrorNumberOf([] { return StaticHeatingAtWaterFlow(kUnit, 0, 75, 20).output; }), 0);
}

}  // namespace
}  // namespace vestra
