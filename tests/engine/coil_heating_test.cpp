#include "engine/coil_heating.h"

#include <gtest/gtest.h>

#include <cmath>

#include "coil_fixtures.h"
#include "engine/errors.h"

namespace vestra {
namespace {

using testing::Cassette;
using testing::CoilFixture;
using testing::CoilRig;
using testing::DuctedUnit;
using testing::FanCoil;
using testing::UnitHeater;

class HeatingIdentities : public ::testing::TestWithParam<CoilFixture> {};

TEST_P(HeatingIdentities, flowSearchBalancesTheCoilAgainstTheWaterSide) {
  CoilRig rig(GetParam());
  const HeatingSolveResult r = rig.HeatForOutlet(18, 70, 60);
  ASSERT_EQ(r.status, HeatingStatus::kConverged);
  const CoilRatingState& s = rig.state;
  EXPECT_LE(r.passes, 15);
  EXPECT_LT(std::fabs(s.capacityWater / s.capacityUA - 1), 0.0005);
  EXPECT_EQ(s.heatCapacity, RoundCapacity(s.capacityUA));
  // The reported flow carries the same heat on the water side, within the tolerance and
  // the 10 W step.
  const double water = s.cpWater * static_cast<double>(s.heatWaterFlow) * s.rhoWater * 1000 * 10;
  EXPECT_NEAR(water, s.heatCapacity, 0.0005 * water + 5);
  // The leaving air carries it on the air side and lies between the two inlets.
  EXPECT_NEAR((s.heatTaOut - 18) * s.airFlow * 1000 * s.rhoAir * s.cpAir, s.capacityUA,
              1e-4 * s.capacityUA);
  EXPECT_GT(s.heatTaOut, 18);
  EXPECT_LT(s.heatTaOut, 70);
}

TEST_P(HeatingIdentities, outletSearchFindsTheOutletTheFlowSearchStartedFrom) {
  CoilRig rig(GetParam());
  ASSERT_EQ(rig.HeatForOutlet(18, 70, 60).status, HeatingStatus::kConverged);
  const float capacity = rig.state.heatCapacity;
  const float flow = rig.state.heatWaterFlow;

  const HeatingSolveResult r = rig.HeatForFlow(18, 70, flow);
  ASSERT_EQ(r.status, HeatingStatus::kConverged);
  const CoilRatingState& s = rig.state;
  EXPECT_NEAR(s.heatTwOut, 60, 0.1);
  EXPECT_NEAR(s.heatCapacity, capacity, 0.005 * capacity);
  const double water = s.cpWater * s.waterFlow * s.rhoWater * 1000 * (70 - s.heatTwOut);
  EXPECT_NEAR(water, s.heatCapacity, 0.0005 * water + 5);
}

TEST_P(HeatingIdentities, capacityRisesWithAirFlow) {
  CoilRig rig(GetParam());
  float previous = 0;
  for (const double share : {0.6, 0.8, 1.0, 1.2}) {
    const float airFlow = static_cast<float>(GetParam().airFlow * share);
    ASSERT_EQ(rig.HeatForFlow(18, 70, 0.0002, airFlow).status, HeatingStatus::kConverged);
    EXPECT_GT(rig.state.heatCapacity, previous) << share;
    previous = rig.state.heatCapacity;
  }
}

INSTANTIATE_TEST_SUITE_P(Coils, HeatingIdentities,
                         ::testing::Values(FanCoil(), Cassette(), DuctedUnit(), UnitHeater()),
                         [](const auto& info) { return info.param.name; });

TEST(RateHeatingPass, capsTheLeavingAirJustBelowTheWaterInlet) {
  CoilRig rig(FanCoil());
  rig.PrepareHeating(20, 70);
  CoilRatingState& s = rig.state;
  s.twOut = 40;
  s.twMean = 55;
  UpdateWaterProperties(s, rig.glycol, s.twMean, 0);
  s.waterFlow = 0.001;  // 125 kW on the water side: far more than the air can take
  RateHeatingPass(s, rig.Context());
  EXPECT_EQ(s.taOut, 69.99f);
  // Counter flow: d1 = twOut - taIn = 20, d2 = twIn - taOut = 0.01.
  EXPECT_FLOAT_EQ(s.lmtd, LogMeanTempDiff(70, 40, 20, 69.99f));
}

TEST(RateHeatingPass, rejectsAPitchOrGeometryOutsideTheTables) {
  CoilRig rig(FanCoil());
  ASSERT_EQ(rig.HeatForOutlet(20, 70, 60).status, HeatingStatus::kConverged);
  for (const auto& [g, p] : {std::pair<std::int16_t, std::int16_t>{3, 9}, {4, 2}, {-1, 2}}) {
    rig.state.coilGeom = g;
    rig.state.coilPitch = p;
    try {
      RateHeatingPass(rig.state, rig.Context());
      ADD_FAILURE() << g << " " << p;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), kSubscriptOutOfRange);
    }
  }
}

TEST(HeatingSolves, writeNoResultsWhenTheyDoNotConverge) {
  // A coil whose air side passes almost no heat never warms the air by even 1 K.
  testing::CoilFixture weak = FanCoil();
  weak.model.airCoef = 0.01f;
  CoilRig rig(weak);
  CoilRatingState& s = rig.state;
  s.heatCapacity = -1;
  s.heatWaterFlow = -2;
  s.heatTwOut = -3;
  s.heatPressureDrop = -4;
  s.heatTaOut = -5;

  HeatingSolveResult r = rig.HeatForOutlet(20, 70, 60);
  EXPECT_EQ(r.status, HeatingStatus::kNotConverged);
  EXPECT_EQ(r.passes, 15);
  r = rig.HeatForFlow(20, 70, 0.0002);
  EXPECT_EQ(r.status, HeatingStatus::kNotConverged);
  EXPECT_EQ(r.passes, 20);

  EXPECT_EQ(s.heatCapacity, -1.0f);
  EXPECT_EQ(s.heatWaterFlow, -2.0f);
  EXPECT_EQ(s.heatTwOut, -3.0f);
  EXPECT_EQ(s.heatPressureDrop, -4.0f);
  EXPECT_EQ(s.heatTaOut, -5.0f);
}

TEST(HeatingSolves, sameWaterTemperaturesAreADivisionByZero) {
  CoilRig rig(FanCoil());
  try {
    rig.HeatForOutlet(20, 70, 70);
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kDivisionByZero);
  }
}

}  // namespace
}  // namespace vestra
