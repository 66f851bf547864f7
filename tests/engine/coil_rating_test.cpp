#include "engine/coil_rating.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <string>

#include "coil_fixtures.h"
#include "engine/errors.h"

namespace vestra {
namespace {

using testing::CoilRig;
using testing::FanCoil;

int ErrorNumberOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

TEST(PrepareCoil, fillsTheCoilFromTheModelAndCopiesTheGeometrysAirConstants) {
  CoilRig rig(FanCoil());
  rig.state.airFlow = 0.139f;
  CoilModel m = FanCoil().model;
  EXPECT_TRUE(PrepareCoil(rig.state, rig.constants, m, Duty::kCooling));
  const CoilRatingState& s = rig.state;
  EXPECT_EQ(s.heatingDuty, 0);
  EXPECT_EQ(s.coilLength, 0.7f);
  EXPECT_EQ(s.coilHeight, 0.25f);
  EXPECT_EQ(s.faceArea, 0.175f);
  EXPECT_EQ(s.tubeCount, 30);  // 0.25 / 0.025 x 3 rows
  EXPECT_NEAR(s.faceVelocity, 0.139 / 0.175, 1e-6);
  // 10 tubes per circuit: 9 bends of 0.3 m, 10 tubes of 0.7 m, the header.
  EXPECT_NEAR(s.circuitLength, 9 * 0.3 + 10 * 0.7 + 1 * 0.25, 1e-5);
  EXPECT_EQ(s.CurAirN, 0.3f);  // geometry 3 of set S4
  EXPECT_EQ(s.CurAirR, -0.165f);
  EXPECT_EQ(s.CurAirT, -0.1f);
  EXPECT_GT(s.hAir, 0);

  // The velocity exponent of the model replaces the geometry's; the length factor
  // lengthens the coil and its face.
  m.curAirN = 0.4f;
  m.lengthFactor = 1.5f;
  PrepareCoil(rig.state, rig.constants, m, Duty::kHeating);
  EXPECT_EQ(s.heatingDuty, 1);
  EXPECT_EQ(s.CurAirN, 0.4f);
  EXPECT_NEAR(s.coilLength, 1.05, 1e-6);
  EXPECT_NEAR(s.faceArea, 0.2625, 1e-6);
}

TEST(PrepareCoil, afterSetS8CopiesOnlyTheVelocityExponent) {
  CoilRig rig(FanCoil());
  SelectCoilConstants(rig.constants, rig.state, CoilSet::S8);  // after S4
  rig.state.airFlow = 0.1f;
  CoilModel m = FanCoil().model;
  m.geometry = 2;
  m.pitch = 3;
  PrepareCoil(rig.state, rig.constants, m, Duty::kCooling);
  EXPECT_EQ(rig.state.CurAirN, 0.65f);  // S4's geometry 2, kept by S8
  EXPECT_EQ(rig.state.CurAirM, 0.6f);   // written by S8 itself
  EXPECT_EQ(rig.state.CurAirT, 0.23f);

  rig.state.CurAirM = 0.5f;  // not overwritten from the geometry tables after S8
  PrepareCoil(rig.state, rig.constants, m, Duty::kCooling);
  EXPECT_EQ(rig.state.CurAirM, 0.5f);
}

TEST(PrepareCoil, computesTheAirSideInCoolingOnlyWithACoefficientAndAnExponent) {
  CoilRig rig(FanCoil());
  rig.state.airFlow = 0.139f;
  CoilModel m = FanCoil().model;
  m.airCoef = 0;
  rig.state.hAir = 12.5f;
  EXPECT_FALSE(PrepareCoil(rig.state, rig.constants, m, Duty::kCooling));
  EXPECT_EQ(rig.state.hAir, 12.5f);  // left as it was
  m.airCoef = 30;
  m.curAirN = 0;
  EXPECT_FALSE(PrepareCoil(rig.state, rig.constants, m, Duty::kCooling));
  EXPECT_EQ(rig.state.hAir, 12.5f);
  // Heating always computes it.
  EXPECT_TRUE(PrepareCoil(rig.state, rig.constants, m, Duty::kHeating));
  EXPECT_NE(rig.state.hAir, 12.5f);
}

TEST(PrepareCoil, rejectsIndicesOutsideTheCoilTables) {
  CoilRig rig(FanCoil());
  rig.state.airFlow = 0.1f;
  CoilModel m = FanCoil().model;
  m.geometry = 4;
  EXPECT_EQ(ErrorNumberOf([&] { PrepareCoil(rig.state, rig.constants, m, Duty::kHeating); }),
            kSubscriptOutOfRange);
  m.geometry = 3;
  m.pitch = 9;
  EXPECT_EQ(ErrorNumberOf([&] { PrepareCoil(rig.state, rig.constants, m, Duty::kHeating); }),
            kSubscriptOutOfRange);
}

TEST(CircuitLength, dividesTubesByCircuitsWithoutTruncating) {
  CoilRatingState s;
  CoilConstants c;
  CoilRatingState unused;
  SelectCoilConstants(c, unused, CoilSet::S4);
  s.coilCircuits = 5;
  s.coilLength = 0.5f;
  s.coilHeight = 0.3f;
  s.headerFactor = 2;
  // 24 tubes in 5 circuits: 4.8 tubes per circuit, not 4.
  EXPECT_NEAR(CircuitLength(s, c, 24), 3.8 * 0.3 + 4.8 * 0.5 + 2 * 0.3, 1e-5);
  s.coilCircuits = 0;
  EXPECT_EQ(ErrorNumberOf([&] { CircuitLength(s, c, 24); }), kDivisionByZero);
}

class AirSide : public ::testing::Test {
 protected:
  void SetUp() override {
    SelectCoilConstants(c, s, CoilSet::S4);
    s.airCoef = 1;
  }
  CoilConstants c;
  CoilRatingState s;
};

TEST_F(AirSide, geometryTwoRoundsTheFinsPerInchHalvesToEven) {
  // With M = 1 and no velocity dependence the coefficient is the fins per inch itself.
  s.CurAirM = 1;
  s.CurAirS = 0;
  s.CurAirN = 0;
  s.CurAirT = 0.23f;
  struct Case {
    std::int16_t pitchCode;
    float fpi;
  };
  for (const Case k : {Case{21, 12}, Case{25, 10}, Case{13, 20}, Case{16, 16}, Case{18, 14},
                       Case{30, 8} /* 8.5 */}) {
    EXPECT_EQ(AirSideCoefficient(s, c, 2, 1.7f, 2, k.pitchCode), k.fpi) << k.pitchCode;
  }
  // The full law: fpi^M x airCoef x v^(rows^T x (fpi x S + N)).
  s.CurAirM = 0.6f;
  s.CurAirS = -0.025f;
  s.CurAirN = 0.65f;
  s.airCoef = 30;
  const double e = std::pow(3.0, 0.23f) * (12 * -0.025f + 0.65f);
  EXPECT_NEAR(AirSideCoefficient(s, c, 3, 1.5f, 2, 21), std::pow(12, 0.6f) * 30 * std::pow(1.5, e),
              1e-4);
}

TEST_F(AirSide, geometryOneUsesTheAlternativeExponentFromTwoRows) {
  s.CurAirN = 0.32f;
  s.airCoef = 40;
  EXPECT_NEAR(AirSideCoefficient(s, c, 1, 2.0f, 1, 0), 40 * std::pow(2.0, 0.32f), 1e-4);
  EXPECT_NEAR(AirSideCoefficient(s, c, 2, 2.0f, 1, 0), 40 * std::pow(2.0, 0.47f), 1e-4);
  EXPECT_NEAR(AirSideCoefficient(s, c, 2, 2.0f, 0, 0), 40 * std::pow(2.0, 0.32f), 1e-4);
}

TEST_F(AirSide, geometryThreeScalesWithRowsAndAnUnknownGeometryGivesNothing) {
  s.CurAirN = 0.3f;
  s.CurAirR = -0.165f;
  s.CurAirT = -0.1f;
  s.airCoef = 30;
  const double e = std::pow(4.0, -0.1f) * 0.3f;
  EXPECT_NEAR(AirSideCoefficient(s, c, 4, 1.2f, 3, 0),
              std::pow(4.0, -0.165f) * 30 * std::pow(1.2, e), 1e-4);
  EXPECT_EQ(AirSideCoefficient(s, c, 4, 1.2f, 5, 0), 0.0f);
}

class WaterSide : public ::testing::Test {
 protected:
  void SetUp() override {
    SelectCoilConstants(c, s, CoilSet::S4);
    s.prWater = 3.5f;
    s.kWater = 0.64f;
    s.coilLength = 0.7f;
    s.heatingDuty = 1;
  }
  double Laminar(double re) const {
    return 0.64 * 1.86 * std::pow(re * 3.5 * 0.0094 / 0.7f, 0.33f) / 0.0094;
  }
  double Turbulent(double re) const {
    return 0.64 * 0.023 * std::pow(re, 0.8f) * std::pow(3.5f, 0.3f) / 0.0094;
  }
  float H(float re, int mode = 2) {
    s.reynolds = re;
    return WaterSideCoefficient(s, c, mode);
  }
  CoilConstants c;
  CoilRatingState s;
};

TEST_F(WaterSide, isLaminarUpTo2300TurbulentAbove10000AndContinuousBetween) {
  EXPECT_NEAR(H(1000), Laminar(1000), 1e-3 * Laminar(1000));
  EXPECT_NEAR(H(2300), Laminar(2300), 1e-3 * Laminar(2300));
  EXPECT_NEAR(H(2300.5f), H(2300), 1e-3 * H(2300));  // the line starts at the laminar value
  EXPECT_NEAR(H(10000), Turbulent(10000), 1e-4 * Turbulent(10000));  // and ends at the turbulent
  EXPECT_NEAR(H(10001), Turbulent(10001), 1e-4 * Turbulent(10001));
  // Half way the line lies half way.
  EXPECT_NEAR(H(6150), (Laminar(2300) + Turbulent(10000)) / 2, 1e-3 * H(6150));
  EXPECT_LT(H(2300), H(6150));
  EXPECT_LT(H(6150), H(10000));
}

TEST_F(WaterSide, modeZeroUsesTheTurbulentFormulaInTheTransitionRange) {
  EXPECT_NEAR(H(6150, 0), Turbulent(6150), 1e-4 * Turbulent(6150));
  EXPECT_EQ(H(2300, 0), H(2300, 2));
  EXPECT_EQ(H(12000, 0), H(12000, 2));
}

TEST_F(WaterSide, coolingTakesItsOwnPrandtlExponent) {
  const float heating = H(20000);
  s.heatingDuty = 0;  // S4 cooling exponent 0.33
  EXPECT_NEAR(H(20000) / heating, std::pow(3.5, 0.33f - 0.3f), 1e-5);
}

TEST(LogMeanTempDiff, givesTheEndDifferenceWhenTheLogarithmIsZeroOrFails) {
  struct Case {
    float a, b, c, d, expected;
  };
  for (const Case k : {Case{70, 60, 20, 50, static_cast<float>(20 / std::log(2.0))},  // 40, 20
                       Case{70, 60, 20, 30, 40},    // d1 = d2 = 40: exactly d1
                       Case{70, 60, 20, 70, 40},    // d2 = 0
                       Case{70, 60, 20, 80, 40},    // d2 < 0: ratio negative
                       Case{70, 20, 20, 50, 0}}) {  // d1 = 0
    EXPECT_FLOAT_EQ(LogMeanTempDiff(k.a, k.b, k.c, k.d), k.expected)
        << k.a << " " << k.b << " " << k.c << " " << k.d;
  }
}

TEST(WaterPressureDropTerm, isTheBlasiusFrictionTermOfOneCircuit) {
  CoilConstants c;
  CoilRatingState s;
  SelectCoilConstants(c, s, CoilSet::S4);
  s.reynolds = 10000;
  s.circuitLength = 9.95f;
  s.waterVelocity = 1.2f;
  EXPECT_NEAR(WaterPressureDropTerm(s, c), 0.3164 / 10 * 9.95 / 0.0094 * 1.44 / 2, 1e-3);
}

TEST(CapacityDeviation, isMinusOneWithoutAPositiveCoilCapacity) {
  CoilRatingState s;
  s.capacityWater = 990;
  s.capacityUA = 1000;
  EXPECT_NEAR(CapacityDeviation(s), 1.0, 1e-5);
  s.capacityUA = 0;
  EXPECT_EQ(CapacityDeviation(s), -1.0f);
  EXPECT_EQ(RoundCapacity(1234.9f), 1230.0f);
  EXPECT_EQ(RoundCapacity(1235.0f), 1240.0f);  // 123.5 to even
  EXPECT_EQ(RoundCapacity(1225.0f), 1220.0f);  // 122.5 to even
}

TEST(ResultFaults, aCoolingResultMustBalanceAsACoilCan) {
  struct Case {
    float total, sensible, taOut;
    std::optional<std::string> fault;
  } cases[] = {
      {3050, 1640, 16.9f, std::nullopt},
      {3050, 3050, 7.01f, std::nullopt},  // dry, leaving at the water temperature
      {3050, 1640, 6.95f, std::nullopt},  // within what the saturated-air fits agree to
      {3050, -1350, 35.3f, "the sensible capacity (-1350 W) is negative"},
      {3050, 3060, 16.9f, "the sensible capacity (3060 W) exceeds the total (3050 W)"},
      {-10, -10, 27.1f, "the total capacity (-10 W) is negative"},
      {3050, 1640, 6.85f,
       "the leaving air (6.85 degC) lies outside the entering air (27 degC) and water (7 degC)"},
      {3050, 0, 27.15f,
       "the leaving air (27.15 degC) lies outside the entering air (27 degC) and water (7 degC)"},
  };
  for (const Case& c : cases) {
    CoilRatingState state;
    state.taIn = 27;
    state.twIn = 7;
    state.coolTotal = c.total;
    state.coolSensible = c.sensible;
    state.coolTaOut = c.taOut;
    EXPECT_EQ(CoolingResultFault(state), c.fault) << c.total << " " << c.sensible;
  }
}

TEST(ResultFaults, aHeatingResultMustWarmTheAirNoFurtherThanTheWater) {
  struct Case {
    float capacity, taOut;
    std::optional<std::string> fault;
  } cases[] = {
      {2380, 41.5f, std::nullopt},
      {0, 20, std::nullopt},
      {-20, 19.9f, "the capacity (-20 W) is negative"},
      {9000, 71,
       "the leaving air (71 degC) lies outside the entering air (20 degC) and water (70 "
       "degC)"},
      {2380, 19.5f,
       "the leaving air (19.5 degC) lies outside the entering air (20 degC) and "
       "water (70 degC)"},
  };
  for (const Case& c : cases) {
    CoilRatingState state;
    state.taIn = 20;
    state.twIn = 70;
    state.heatCapacity = c.capacity;
    state.heatTaOut = c.taOut;
    EXPECT_EQ(HeatingResultFault(state), c.fault) << c.capacity << " " << c.taOut;
  }
}

}  // namespace
}  // namespace vestra
