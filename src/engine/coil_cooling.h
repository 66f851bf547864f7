#pragma once

// Cooling rating of a chilled-water coil. The coil is rated first as a wet coil by the
// enthalpy-potential method (log-mean difference between the air enthalpy and the
// enthalpy of saturated air at the water temperatures, leaving state from a bypass
// factor); when the wet result is (almost) sensible only, or the wet search fails, it is
// rated again as a dry coil by the log-mean temperature difference. As in heating, the
// water-side balance is matched to the coil equation by bisection on the leaving water
// temperature (water flow given) or on the water flow (leaving water temperature given).
//
// Call order: set taIn, rhIn, twbIn, hAirIn, hSatIn, rhoAir, cpAir, twIn, glycolPct;
// PrepareCoil(..., Duty::kCooling); then SolveCoolingFlow with twOut set, or
// SolveCoolingOutlet with waterFlow set.

#include <functional>

#include "engine/coil_rating.h"

namespace vestra {

enum class CoolingStatus { kConvergedWet, kConvergedDry, kNotConverged };

struct CoolingSolveResult {
  CoolingStatus status = CoolingStatus::kNotConverged;
  int passes = 0;  // cooling evaluations made, wet and dry together
};

// Log-mean of d1 = ha1 - hs2 and d2 = ha2 - hs1, kJ/kg. When d1 and d2 are equal, ha2 (the
// caller's leaving air enthalpy) is lowered by 0.001 first. When the logarithm cannot be
// taken (ratio zero, negative or undefined) the result is 0.
float LogMeanEnthalpyDiff(float hs1, float hs2, float ha1, float& ha2);

// Share of the air that passes the fins untouched: bypassCoef x 2.718^-n with n the
// number of transfer units of the air side (base 2.718, as the coils were calibrated).
float BypassFactor(const CoilRatingState& state, const CoilConstants& constants, float rows,
                   std::int16_t pitch, float hAir);

// One cooling evaluation at the record's waterFlow and twOut, wet or dry after dryCoil:
// capacityWater, hAirOut (wet) or taOut (dry), lmtd, waterVelocity, reynolds, hWater,
// uSpecific, capacityUA.
void RateCoolingPass(CoilRatingState& state, const RatingContext& context);

enum class FinishOutcome { kFinished, kRestartDry };

// Completes a converged pass: leaving air state, sensible capacity, the switch to a dry
// rating when a wet result has a sensible share of 95 % or more (kRestartDry, nothing is
// written), the dry result's supersaturation rule, and the cool* result fields other than
// the searched water quantity. flowSearch: called by the flow search (the wet sensible
// factor applies there only).
FinishOutcome FinishCoolingPass(CoilRatingState& state, const RatingContext& context,
                                bool flowSearch);

// Water flow given (waterFlow): searches the leaving water temperature between twIn and
// taIn, within 0.05 %, at most 20 passes wet and 20 dry. A converged search writes
// coolTwOut, coolTaOut, coolPressureDrop, coolTotal, coolSensible; otherwise nothing.
// processEvents, when given, is called once before the first pass and once per pass, so
// that the window can repaint during a long Calculate.
CoolingSolveResult SolveCoolingOutlet(CoilRatingState& state, const RatingContext& context,
                                      const std::function<void()>* processEvents = nullptr);

// The wet upper bound of the flow search depends only on the entering water temperature
// and the entering humidity, so a Calculate may work it out once for all models.
struct CoolingFlowBound {
  float twIn = 0;
  float rhLimit = 0;   // %, 2 x rhIn, at most 90
  float enthalpy = 0;  // kJ/kg, air at twIn + 0.1 degC and rhLimit
};
float CoolingRhLimit(float rhIn);
CoolingFlowBound ComputeCoolingFlowBound(float twIn, float rhIn);

// Upper bound of the dry search that the flow search restarts with after a converged wet
// pass turned out sensible only, m3/s. w is the water's heat per m3/s of flow (cp rho
// 1000 (twOut - twIn)); wetHigh the wet search's upper bound. The standard screen bounds
// by the flow that would take the whole air-to-water temperature difference (+ 0.1 K),
// reckoned without the air's specific heat; the other screens keep the wet bound.
double DryRestartFlowHigh(const CoilRatingState& state, DryRestartBound rule, float w,
                          double wetHigh);

// Leaving water temperature given (twOut): searches the water flow within 0.1 %, at most
// 20 passes wet and 20 dry. A converged search writes coolWaterFlow, coolTaOut,
// coolPressureDrop, coolTotal, coolSensible; otherwise nothing. bound, when given and made
// for the record's twIn and rhIn, saves working out the wet upper bound again.
CoolingSolveResult SolveCoolingFlow(CoilRatingState& state, const RatingContext& context,
                                    const CoolingFlowBound* bound = nullptr);

}  // namespace vestra
