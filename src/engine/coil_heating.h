#pragma once

// Heating rating of a water coil by the log-mean temperature difference: the coil
// equation U A LMTD is matched against the water-side heat balance by bisection, on the
// water flow (leaving water temperature given) or on the leaving water temperature
// (water flow given).
//
// Call order: fill the air and water state, PrepareCoil(..., Duty::kHeating), then
// SolveHeatingFlow with twOut set, or SolveHeatingOutlet with waterFlow set.

#include "engine/coil_rating.h"

namespace vestra {

enum class HeatingStatus { kConverged, kNotConverged };

struct HeatingSolveResult {
  HeatingStatus status = HeatingStatus::kNotConverged;
  int passes = 0;  // heating evaluations made
};

// One heating evaluation at the record's waterFlow and twOut: capacityWater, taOut (capped
// at twIn - 0.01), lmtd, waterVelocity, reynolds, hWater, uSpecific, capacityUA.
void RateHeatingPass(CoilRatingState& state, const RatingContext& context);

// Leaving water temperature given (twOut): searches the water flow, at most 15 passes,
// until the two capacities agree within 0.05 %. A converged search writes heatWaterFlow,
// heatTaOut, heatPressureDrop and heatCapacity; otherwise no result field is written.
HeatingSolveResult SolveHeatingFlow(CoilRatingState& state, const RatingContext& context);

// Water flow given (waterFlow): searches the leaving water temperature between taIn and
// twIn - 1, at most 20 passes, within 0.05 %. A converged search writes heatTwOut,
// heatTaOut, heatPressureDrop and heatCapacity; otherwise no result field is written.
HeatingSolveResult SolveHeatingOutlet(CoilRatingState& state, const RatingContext& context);

}  // namespace vestra
