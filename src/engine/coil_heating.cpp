#include "engine/coil_heating.h"

#include <cmath>

#include "engine/numeric.h"

namespace vestra {

namespace {

constexpr int kFlowPasses = 15;
constexpr int kOutletPasses = 20;
constexpr double kTolerancePct = 0.05;

// The leaving air temperature is reported from the coil equation, not from the pass's
// water-side estimate (which may have been capped at the water temperature).
void WriteHeatingResults(CoilRatingState& state, const RatingContext& context) {
  state.heatTaOut = Sng(Div(state.capacityUA, static_cast<double>(state.airFlow) * 1000 *
                                                  state.rhoAir * state.cpAir) +
                        state.taIn);
  state.heatPressureDrop = WaterPressureDropTerm(state, context.constants);
  state.heatCapacity = RoundCapacity(state.capacityUA);
}

}  // namespace

void RateHeatingPass(CoilRatingState& state, const RatingContext& context) {
  const CoilConstants& constants = context.constants;
  state.capacityWater = Sng(state.cpWater * state.waterFlow * state.rhoWater * 1000 *
                            (static_cast<double>(state.twIn) - state.twOut));
  state.taOut = Sng(Div(state.capacityWater,
                        static_cast<double>(state.rhoAir) * state.airFlow * state.cpAir * 1000) +
                    state.taIn);
  // The air cannot leave warmer than the water enters.
  if (state.taOut >= state.twIn) state.taOut = Sng(state.twIn - 0.01);
  // Counter flow: d1 = twOut - taIn, d2 = twIn - taOut.
  state.lmtd = LogMeanTempDiff(state.twIn, state.twOut, state.taIn, state.taOut);

  state.waterVelocity = WaterVelocity(constants, state.waterFlow, state.coilCircuits);
  state.reynolds = WaterReynolds(constants, state.waterVelocity, state.twMean, state.muWater);
  state.hWater = WaterSideCoefficient(state, constants, context.rules.reTransMode);

  const std::size_t g = GeometryIndex(state);
  const std::size_t p = PitchIndex(state);
  state.uSpecific = Sng(Div(constants.GeoTabA[p][g],
                            Div(constants.GeoTabB[p][g], state.hWater) + Div(1, state.hAir)));
  state.capacityUA =
      Sng(static_cast<double>(state.uSpecific) * state.lmtd * state.faceArea * state.coilRows);
}

HeatingSolveResult SolveHeatingFlow(CoilRatingState& state, const RatingContext& context) {
  state.twMean = Sng((static_cast<double>(state.twOut) + state.twIn) * 0.5);
  UpdateWaterProperties(state, context.glycol, state.twMean, state.glycolPct);

  const float w = Sng(static_cast<double>(state.cpWater) * state.rhoWater * 1000 *
                      (static_cast<double>(state.twIn) - state.twOut));
  const double airSide = static_cast<double>(state.rhoAir) * state.airFlow * state.cpAir * 1000;
  // From the flow that warms the air by 1 K to the flow that would warm it to the water
  // inlet temperature.
  state.flowLow = Div(airSide * ((static_cast<double>(state.taIn) + 1) - state.taIn), w);
  state.flowHigh = Div(airSide * (static_cast<double>(state.twIn) - state.taIn), w);

  HeatingSolveResult result;
  for (int pass = 0; pass < kFlowPasses; ++pass) {
    state.waterFlow = (state.flowHigh + state.flowLow) / 2;
    RateHeatingPass(state, context);
    ++result.passes;
    const float dev = CapacityDeviation(state);
    if (std::fabs(dev) < kTolerancePct) {
      state.heatWaterFlow = Sng(state.waterFlow);
      WriteHeatingResults(state, context);
      result.status = HeatingStatus::kConverged;
      return result;
    }
    if (dev > 0)
      state.flowLow = state.waterFlow;
    else
      state.flowHigh = state.waterFlow;
  }
  return result;
}

HeatingSolveResult SolveHeatingOutlet(CoilRatingState& state, const RatingContext& context) {
  state.tempLow = state.taIn;
  state.tempHigh = static_cast<double>(state.twIn) - 1;

  HeatingSolveResult result;
  for (int pass = 0; pass < kOutletPasses; ++pass) {
    state.twOut = Sng((state.tempHigh + state.tempLow) / 2);
    state.twMean = Sng((static_cast<double>(state.twOut) + state.twIn) / 2);
    UpdateWaterProperties(state, context.glycol, state.twMean, state.glycolPct);
    RateHeatingPass(state, context);
    ++result.passes;
    const float dev = CapacityDeviation(state);
    if (std::fabs(dev) < kTolerancePct) {
      state.heatTwOut = state.twOut;
      WriteHeatingResults(state, context);
      result.status = HeatingStatus::kConverged;
      return result;
    }
    if (dev > 0)
      state.tempHigh = state.twOut;
    else
      state.tempLow = state.twOut;
  }
  return result;
}

}  // namespace vestra
