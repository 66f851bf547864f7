#include "engine/coil_cooling.h"

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

TEST(LogMeanEnthalpyDiff, lowersTheLeavingEnthalpyWhenBothEndsAreEqual) {
  float ha2 = 40;
  // d1 = 55 - 30 = 25, d2 = 40 - 15 = 25.
  const float l = LogMeanEnthalpyDiff(15, 30, 55, ha2);
  EXPECT_EQ(ha2, 39.999f);
  EXPECT_NEAR(l, 25, 0.001);
  EXPECT_GT(l, 0);

  float normal = 30;  // d1 = 40, d2 = 20
  EXPECT_FLOAT_EQ(LogMeanEnthalpyDiff(10, 15, 55, normal), static_cast<float>(20 / std::log(2.0)));
  EXPECT_EQ(normal, 30.0f);
}

TEST(LogMeanEnthalpyDiff, isZeroWhenTheLogarithmFails) {
  float zero = 15;  // d2 = 0
  EXPECT_EQ(LogMeanEnthalpyDiff(15, 30, 55, zero), 0.0f);
  float negative = 10;  // d2 = -5
  EXPECT_EQ(LogMeanEnthalpyDiff(15, 30, 55, negative), 0.0f);
}

TEST(BypassFactor, fallsWithTheAirSideTransferUnitsToBase2718) {
  CoilRig rig(FanCoil());
  rig.PrepareCooling(27, 47, 7);
  CoilRatingState& s = rig.state;
  s.bypassCoef = 4;
  const double n = 25.4 * 30.0 * 3 / (s.cpAir * s.rhoAir * s.faceVelocity * 1000);
  EXPECT_NEAR(BypassFactor(s, rig.constants, 3, 2, 30), 4 * std::pow(2.718, -n), 1e-6);
  EXPECT_NE(BypassFactor(s, rig.constants, 3, 2, 30), static_cast<float>(4 * std::exp(-n)));
}

class CoolingIdentities : public ::testing::TestWithParam<CoilFixture> {};

TEST_P(CoolingIdentities, flowSearchBalancesTheWetCoilAgainstTheWaterSide) {
  CoilRig rig(GetParam());
  const CoolingSolveResult r = rig.CoolForOutlet(27, 47, 7, 12);
  ASSERT_EQ(r.status, CoolingStatus::kConvergedWet);
  const CoilRatingState& s = rig.state;
  EXPECT_LT(std::fabs(s.capacityWater / s.capacityUA - 1), 0.001);
  const double water = s.cpWater * static_cast<double>(s.coolWaterFlow) * s.rhoWater * 1000 * 5;
  EXPECT_NEAR(water, s.coolTotal, 0.001 * water + 5);
  EXPECT_GT(s.coolSensible, 0);
  EXPECT_LT(s.coolSensible, s.coolTotal);
  EXPECT_GT(s.coolTaOut, 7);
  EXPECT_LT(s.coolTaOut, 27);
  EXPECT_EQ(s.rhLimit, 90.0f);  // 2 x 47, at most 90
}

TEST_P(CoolingIdentities, outletSearchBalancesAndAgreesWithTheFlowSearch) {
  CoilRig rig(GetParam());
  ASSERT_EQ(rig.CoolForOutlet(27, 47, 7, 12).status, CoolingStatus::kConvergedWet);
  const float total = rig.state.coolTotal;
  const float flow = rig.state.coolWaterFlow;

  const CoolingSolveResult r = rig.CoolForFlow(27, 47, 7, flow);
  ASSERT_EQ(r.status, CoolingStatus::kConvergedWet);
  const CoilRatingState& s = rig.state;
  EXPECT_NEAR(s.coolTwOut, 12, 0.1);
  EXPECT_NEAR(s.coolTotal, total, 0.01 * total);
  const double water = s.cpWater * s.waterFlow * s.rhoWater * 1000 * (s.coolTwOut - 7);
  EXPECT_NEAR(water, s.coolTotal, 0.0005 * water + 5);
  EXPECT_LE(s.coolSensible, s.coolTotal);
  EXPECT_GT(s.coolTaOut, 7);
  EXPECT_LT(s.coolTaOut, 27);
}

TEST_P(CoolingIdentities, capacityRisesWithAirFlowAndFallsWithWarmerChilledWater) {
  CoilRig rig(GetParam());
  float previous = 0;
  for (const double share : {0.6, 0.8, 1.0, 1.2}) {
    const float airFlow = static_cast<float>(GetParam().airFlow * share);
    ASSERT_NE(rig.CoolForFlow(27, 47, 7, 0.0003, airFlow).status, CoolingStatus::kNotConverged);
    EXPECT_GT(rig.state.coolTotal, previous) << share;
    previous = rig.state.coolTotal;
  }
  previous = 1e9f;
  for (const float twIn : {6.0f, 7.0f, 8.0f, 9.0f, 10.0f}) {
    ASSERT_NE(rig.CoolForFlow(27, 47, twIn, 0.0003).status, CoolingStatus::kNotConverged);
    EXPECT_LT(rig.state.coolTotal, previous) << twIn;
    EXPECT_LE(rig.state.coolSensible, rig.state.coolTotal);
    previous = rig.state.coolTotal;
  }
}

INSTANTIATE_TEST_SUITE_P(Coils, CoolingIdentities,
                         ::testing::Values(FanCoil(), Cassette(), DuctedUnit(), UnitHeater()),
                         [](const auto& info) { return info.param.name; });

TEST(CoolingSolves, anAlmostSensibleWetResultIsRatedAgainDryAndReportsTotalEqualToSensible) {
  // Dry air and chilled water near its dew point: the wet result is almost all sensible.
  CoilRig rig(FanCoil());
  int calls = 0;
  const std::function<void()> processEvents = [&calls] { ++calls; };
  rig.PrepareCooling(27, 25, 12);
  rig.state.waterFlow = 0.0002;
  const CoolingSolveResult r = SolveCoolingOutlet(rig.state, rig.Context(), &processEvents);
  ASSERT_EQ(r.status, CoolingStatus::kConvergedDry);
  EXPECT_EQ(calls, r.passes + 1);  // no pass went by without a rating: the wet search converged
  EXPECT_EQ(rig.state.dryCoil, -1);
  EXPECT_EQ(rig.state.coolTotal, rig.state.coolSensible);
  EXPECT_GT(rig.state.coolTaOut, 12);
  EXPECT_LT(rig.state.coolTaOut, 27);

  // The flow search restarts dry from the bound of its screen.
  CoilRig other(FanCoil());
  other.rules.dryRestart = DryRestartBound::kOtherScreens;
  ASSERT_EQ(rig.CoolForOutlet(27, 30, 10, 15).status, CoolingStatus::kConvergedDry);
  ASSERT_EQ(other.CoolForOutlet(27, 30, 10, 15).status, CoolingStatus::kConvergedDry);
  EXPECT_EQ(rig.state.coolTotal, rig.state.coolSensible);
  EXPECT_EQ(other.state.coolTotal, other.state.coolSensible);
  EXPECT_NE(rig.state.coolWaterFlow, other.state.coolWaterFlow);
  EXPECT_NEAR(rig.state.coolWaterFlow, other.state.coolWaterFlow, 0.002 * rig.state.coolWaterFlow);
}

TEST(DryRestartFlowHigh, theStandardScreenLeavesOutTheAirsSpecificHeat) {
  CoilRatingState s;
  s.taIn = 27;
  s.twIn = 10;
  s.rhoAir = 1.16f;
  s.airFlow = 0.139f;
  s.cpAir = 1.006f;
  const float w = 2.093e7f;  // 5 K of water
  const double expected = 17.1 * 1.16 * 0.139 * 1000 / 2.093e7;
  EXPECT_NEAR(DryRestartFlowHigh(s, DryRestartBound::kStandardScreen, w, 1), expected,
              1e-6 * expected);
  EXPECT_EQ(DryRestartFlowHigh(s, DryRestartBound::kOtherScreens, w, 1.5e-4), 1.5e-4);
}

// A converged pass of the fan coil, ready to be finished.
CoilRig ConvergedWetPass() {
  CoilRig rig(FanCoil());
  EXPECT_EQ(rig.CoolForOutlet(27, 47, 7, 12).status, CoolingStatus::kConvergedWet);
  return rig;
}

TEST(FinishCoolingPass, restartsDryAtASensibleShareOf95PercentOnTheRaisedSensibleCapacity) {
  CoilRig base = ConvergedWetPass();
  base.state.dryCoil = 0;
  // The wet sensible capacity of this pass, then a total for which it is a 93 % share.
  CoilRig probe = base;
  ASSERT_EQ(FinishCoolingPass(probe.state, probe.Context(), true), FinishOutcome::kFinished);
  const float sensible = probe.state.sensibleCapacity;

  for (const bool factor : {false, true}) {
    CoilRig rig = base;
    rig.state.capacityUA = sensible / 0.93f;
    rig.state.coolTotal = -1;
    rig.rules.wetSensibleFactor = factor;
    const FinishOutcome outcome = FinishCoolingPass(rig.state, rig.Context(), true);
    if (factor) {
      // 1.05 x 93 % = 97.7 %: dry, and nothing is written.
      EXPECT_EQ(outcome, FinishOutcome::kRestartDry);
      EXPECT_EQ(rig.state.sensibleCapacity, static_cast<float>(sensible * 1.05));
      EXPECT_EQ(rig.state.coolTotal, -1.0f);
    } else {
      EXPECT_EQ(outcome, FinishOutcome::kFinished);
      EXPECT_EQ(rig.state.coolSensible, RoundCapacity(sensible));
    }
  }
  // The factor belongs to the flow search: the outlet search finishes the same pass wet.
  CoilRig outlet = base;
  outlet.state.capacityUA = sensible / 0.93f;
  outlet.rules.wetSensibleFactor = true;
  EXPECT_EQ(FinishCoolingPass(outlet.state, outlet.Context(), false), FinishOutcome::kFinished);
  EXPECT_EQ(outlet.state.sensibleCapacity, sensible);
}

TEST(FinishCoolingPass, aSupersaturatedDryResultLeavesSaturatedAtItsEnthalpy) {
  CoilRig rig = ConvergedWetPass();
  CoilRatingState& s = rig.state;
  // Nearly saturated entering air cooled dry by 7 K would leave below its dew point.
  s.twbIn = 25;
  s.hAirIn = EnthalpyFromWetBulb(25, 27);
  s.dryCoil = -1;
  s.taOut = 20;
  ASSERT_EQ(FinishCoolingPass(s, rig.Context(), true), FinishOutcome::kFinished);
  const float sensibleAt20 =
      static_cast<float>(s.cpAir * static_cast<double>(s.airFlow) * s.rhoAir * 1000 * 7);
  EXPECT_EQ(s.capacityUA, sensibleAt20);  // the total is fixed before the correction
  EXPECT_GT(s.tSatOut, 20);
  EXPECT_EQ(s.coolTaOut, s.tSatOut);
  EXPECT_NEAR(SatEnthalpyFit(s.tSatOut), s.hAirOut, 0.01 * s.hAirOut);
  EXPECT_EQ(s.coolSensible, RoundCapacity(s.sensibleCapacity));
  EXPECT_LT(s.coolSensible, s.coolTotal);
  EXPECT_EQ(s.coolTotal, RoundCapacity(sensibleAt20));
}

TEST(FinishCoolingPass, anOrdinaryDryResultReportsTotalEqualToSensible) {
  CoilRig rig = ConvergedWetPass();
  CoilRatingState& s = rig.state;
  s.dryCoil = -1;
  s.taOut = 24;  // 3 K of sensible cooling of air at 27 degC and 47 %: far from its dew point
  ASSERT_EQ(FinishCoolingPass(s, rig.Context(), true), FinishOutcome::kFinished);
  EXPECT_EQ(s.coolTaOut, 24.0f);
  EXPECT_EQ(s.coolTotal, s.coolSensible);
  EXPECT_LT(s.tSatOut, 24);
}

TEST(RateCoolingPass, theCassettesWaterSideFloorAppliesInCoolingOnly) {
  CoilRig rig(Cassette());
  ASSERT_TRUE(rig.rules.coolingWaterSideFloor);
  rig.PrepareCooling(27, 47, 7);
  CoilRatingState& s = rig.state;
  s.twOut = 12;
  s.twMean = 9.5f;
  s.satSlope = SatEnthalpySlope(9.5f);
  s.hSatOut = EnthalpyFromWetBulb(12, 12);
  UpdateWaterProperties(s, rig.glycol, s.twMean, 0);
  s.waterFlow = 0.00003;  // laminar tubes
  RateCoolingPass(s, rig.Context());
  EXPECT_EQ(s.hWater, 1100.0f);
  rig.rules.coolingWaterSideFloor = false;
  RateCoolingPass(s, rig.Context());
  const float unfloored = s.hWater;
  EXPECT_LT(unfloored, 1100);

  rig.rules.coolingWaterSideFloor = true;
  rig.PrepareHeating(20, 70);
  s.twOut = 60;
  s.twMean = 65;
  UpdateWaterProperties(s, rig.glycol, s.twMean, 0);
  s.waterFlow = 0.00001;
  RateHeatingPass(s, rig.Context());
  EXPECT_LT(s.hWater, 1100);
}

TEST(RateCoolingPass, dryPassCapsTheLeavingAirJustAboveTheWaterInlet) {
  CoilRig rig = ConvergedWetPass();
  CoilRatingState& s = rig.state;
  s.dryCoil = -1;
  s.waterFlow = 0.01;
  RateCoolingPass(s, rig.Context());
  EXPECT_EQ(s.taOut, 7.01f);
}

TEST(SolveCoolingFlow, boundsTheWetSearchAtTwiceTheHumidityButAt90) {
  struct Case {
    float rhIn, rhLimit;
  };
  for (const Case k : {Case{30, 60}, Case{45, 90}, Case{50, 90}, Case{60, 90}}) {
    CoilRig rig(FanCoil());
    rig.CoolForOutlet(27, k.rhIn, 7, 12);
    EXPECT_EQ(rig.state.rhLimit, k.rhLimit) << k.rhIn;
    EXPECT_EQ(CoolingRhLimit(k.rhIn), k.rhLimit);
  }
}

TEST(SolveCoolingFlow, aBoundWorkedOutOnceGivesTheSameResult) {
  CoilRig plain(FanCoil());
  CoilRig cached(FanCoil());
  const CoolingFlowBound bound = ComputeCoolingFlowBound(7, 47);
  const CoolingSolveResult a = plain.CoolForOutlet(27, 47, 7, 12);
  cached.PrepareCooling(27, 47, 7);
  cached.state.twOut = 12;
  const CoolingSolveResult b = SolveCoolingFlow(cached.state, cached.Context(), &bound);
  EXPECT_EQ(a.status, b.status);
  EXPECT_EQ(a.passes, b.passes);
  EXPECT_EQ(plain.state.coolWaterFlow, cached.state.coolWaterFlow);
  EXPECT_EQ(plain.state.coolTaOut, cached.state.coolTaOut);
  EXPECT_EQ(plain.state.coolSensible, cached.state.coolSensible);

  // A bound made for other conditions is not used.
  const CoolingFlowBound other = ComputeCoolingFlowBound(9, 47);
  cached.PrepareCooling(27, 47, 7);
  cached.state.twOut = 12;
  SolveCoolingFlow(cached.state, cached.Context(), &other);
  EXPECT_EQ(plain.state.coolWaterFlow, cached.state.coolWaterFlow);
}

TEST(CoolingSolves, writeNoResultsAfterTwentyWetAndTwentyDryPasses) {
  testing::CoilFixture weak = FanCoil();
  weak.model.airCoef = 0.01f;
  CoilRig rig(weak);
  CoilRatingState& s = rig.state;
  s.coolTotal = -1;
  s.coolSensible = -2;
  s.coolWaterFlow = -3;
  s.coolPressureDrop = -4;
  s.coolTaOut = -5;
  const CoolingSolveResult r = rig.CoolForOutlet(27, 47, 7, 12);
  EXPECT_EQ(r.status, CoolingStatus::kNotConverged);
  EXPECT_EQ(r.passes, 40);
  EXPECT_EQ(s.dryCoil, -1);
  EXPECT_EQ(s.coolTotal, -1.0f);
  EXPECT_EQ(s.coolSensible, -2.0f);
  EXPECT_EQ(s.coolWaterFlow, -3.0f);
  EXPECT_EQ(s.coolPressureDrop, -4.0f);
  EXPECT_EQ(s.coolTaOut, -5.0f);
}

TEST(SolveCoolingOutlet, letsTheInterfaceProcessEventsBeforeTheFirstPassAndOncePerPass) {
  CoilRig rig(FanCoil());
  int calls = 0;
  const std::function<void()> processEvents = [&calls] { ++calls; };
  rig.PrepareCooling(27, 47, 7);
  rig.state.waterFlow = 0.00015;
  const CoolingSolveResult r = SolveCoolingOutlet(rig.state, rig.Context(), &processEvents);
  ASSERT_EQ(r.status, CoolingStatus::kConvergedWet);
  EXPECT_EQ(calls, r.passes + 1);
}

}  // namespace
}  // namespace vestra
