#include "engine/coil_cooling.h"

#include <cmath>

#include "engine/moist_air.h"
#include "engine/numeric.h"

namespace vestra {

namespace {

constexpr int kPassesPerMode = 20;
constexpr double kOutletTolerancePct = 0.05;
constexpr double kFlowTolerancePct = 0.1;
// A wet result whose sensible share reaches this is rated again as a dry coil.
constexpr double kDrySensibleShare = 0.95;
constexpr float kMinCoolingWaterSideCoef = 1100;  // W/(m2 K)
constexpr double kWetSensibleFactor = 1.05;

constexpr std::int16_t kWet = 0;
constexpr std::int16_t kDry = -1;

float SensibleCapacity(const CoilRatingState& s) {
  return Sng(static_cast<double>(s.cpAir) * s.airFlow * s.rhoAir * 1000 *
             (static_cast<double>(s.taIn) - s.taOut));
}

// The water-side state of one trial leaving water temperature.
void SetOutletTrial(CoilRatingState& state, const RatingContext& context) {
  state.twMean = Sng((static_cast<double>(state.twOut) + state.twIn) / 2);
  state.satSlope = SatEnthalpySlope(state.twMean);
  UpdateWaterProperties(state, context.glycol, state.twMean, state.glycolPct);
  state.hSatOut = EnthalpyFromWetBulb(state.twOut, state.twOut);
}

CoolingStatus ConvergedStatus(const CoilRatingState& state) {
  return state.dryCoil == kWet ? CoolingStatus::kConvergedWet : CoolingStatus::kConvergedDry;
}

}  // namespace

float LogMeanEnthalpyDiff(float hs1, float hs2, float ha1, float& ha2) {
  const float d1 = Sng(static_cast<double>(ha1) - hs2);
  float d2 = Sng(static_cast<double>(ha2) - hs1);
  if (d1 == d2) {
    ha2 = Sng(ha2 - 0.001);
    d2 = Sng(static_cast<double>(ha2) - hs1);
  }
  // A logarithm that cannot be taken leaves L at 0, and so does a zero d2.
  float l = 0;
  if (d2 != 0) {
    const double ratio = static_cast<double>(d1) / d2;
    if (ratio > 0) l = Sng(std::log(ratio));
  }
  if (l != 0) return Sng((static_cast<double>(d1) - d2) / l);
  return 0;
}

float BypassFactor(const CoilRatingState& state, const CoilConstants& constants, float rows,
                   std::int16_t pitch, float hAir) {
  const std::size_t g = GeometryIndex(state);
  if (pitch < 0 || pitch > 8) Raise(kSubscriptOutOfRange);
  const float n =
      Sng(Div(static_cast<double>(constants.GeoTabA[pitch][g]) * hAir * rows,
              static_cast<double>(state.cpAir) * state.rhoAir * state.faceVelocity * 1000));
  return Sng(state.bypassCoef * Pow(2.718, -static_cast<double>(n)));
}

void RateCoolingPass(CoilRatingState& state, const RatingContext& context) {
  const CoilConstants& constants = context.constants;
  state.capacityWater = Sng(state.cpWater * state.waterFlow * state.rhoWater * 1000 *
                            (static_cast<double>(state.twOut) - state.twIn));
  if (state.dryCoil == kWet) {
    state.hAirOut = Sng(state.hAirIn - Div(state.capacityWater, static_cast<double>(state.rhoAir) *
                                                                    state.airFlow * 1000));
    // The air cannot leave below the saturation enthalpy at the water inlet.
    if (state.hAirOut <= state.hSatIn) state.hAirOut = Sng(state.hSatIn + 0.01);
    state.lmtd = LogMeanEnthalpyDiff(state.hSatIn, state.hSatOut, state.hAirIn, state.hAirOut);
  } else {
    state.taOut =
        Sng(state.taIn - Div(state.capacityWater, static_cast<double>(state.rhoAir) *
                                                      state.airFlow * state.cpAir * 1000));
    if (state.taOut <= state.twIn) state.taOut = Sng(state.twIn + 0.01);
    // Counter flow: d1 = taIn - twOut, d2 = taOut - twIn.
    state.lmtd = LogMeanTempDiff(state.taOut, state.taIn, state.twOut, state.twIn);
  }

  state.waterVelocity = WaterVelocity(constants, state.waterFlow, state.coilCircuits);
  state.reynolds = WaterReynolds(constants, state.waterVelocity, state.twMean, state.muWater);
  state.hWater = WaterSideCoefficient(state, constants, context.rules.reTransMode);
  if (context.rules.coolingWaterSideFloor && state.hWater < kMinCoolingWaterSideCoef)
    state.hWater = kMinCoolingWaterSideCoef;

  const std::size_t g = GeometryIndex(state);
  const std::size_t p = PitchIndex(state);
  const double a = constants.GeoTabA[p][g];
  const double b = constants.GeoTabB[p][g];
  if (state.dryCoil == kWet) {
    // Enthalpy potential: the water-side resistance scaled by the slope of the saturation
    // curve, the air-side one by the air's specific heat.
    state.uSpecific =
        Sng(Div(a, Div(b * state.satSlope, state.hWater) + Div(state.cpAir, state.hAir)));
  } else {
    state.uSpecific = Sng(Div(a, Div(b, state.hWater) + Div(1, state.hAir)));
  }
  state.capacityUA =
      Sng(static_cast<double>(state.uSpecific) * state.lmtd * state.faceArea * state.coilRows);
}

FinishOutcome FinishCoolingPass(CoilRatingState& state, const RatingContext& context,
                                bool flowSearch) {
  const float bf =
      BypassFactor(state, context.constants, state.coilRows, state.coilPitch, state.hAir);
  if (state.dryCoil == kWet) {
    state.tSatOut = SatTempFromEnthalpy(state.hAirOut);
    state.taOut = Sng(bf * (static_cast<double>(state.taIn) - state.twbIn) + state.tSatOut);
    // The leaving humidity of a wet coil is not reported, but working it out can fail on
    // an impossible leaving state, and such a rating must fail as it always has.
    static_cast<void>(RelHumidityFromWetBulb(state.taOut, state.tSatOut));
  }
  state.sensibleCapacity = SensibleCapacity(state);
  if (flowSearch && context.rules.wetSensibleFactor && state.dryCoil == kWet)
    state.sensibleCapacity = Sng(state.sensibleCapacity * kWetSensibleFactor);
  if (state.dryCoil == kWet &&
      state.sensibleCapacity >= kDrySensibleShare * static_cast<double>(state.capacityUA))
    return FinishOutcome::kRestartDry;

  if (state.dryCoil == kDry) {
    state.hAirOut =
        Sng(state.hAirIn -
            Div(state.sensibleCapacity, static_cast<double>(state.rhoAir) * state.airFlow * 1000));
    state.tSatOut = SatTempFromEnthalpy(state.hAirOut);
    const float rhOut = RelHumidityFromWetBulb(state.taOut, state.tSatOut);
    // The total is the sensible capacity of the dry coil, fixed before the leaving state
    // is corrected below.
    state.capacityUA = state.sensibleCapacity;
    if (rhOut > 100) {
      // Air cannot leave supersaturated: it leaves saturated at its enthalpy (the
      // leaving humidity is then taken as 99.9 %, which nothing reports).
      state.taOut = state.tSatOut;
      state.sensibleCapacity = SensibleCapacity(state);
    }
  }

  state.coolTaOut = state.taOut;
  state.coolPressureDrop = WaterPressureDropTerm(state, context.constants);
  state.coolTotal = RoundCapacity(state.capacityUA);
  state.coolSensible = RoundCapacity(state.sensibleCapacity);
  return FinishOutcome::kFinished;
}

CoolingSolveResult SolveCoolingOutlet(CoilRatingState& state, const RatingContext& context,
                                      const std::function<void()>* processEvents) {
  auto restartBounds = [&state] {
    state.tempLow = state.twIn;
    state.tempHigh = state.taIn;
  };
  state.dryCoil = kWet;
  restartBounds();
  int counter = 0;
  CoolingSolveResult result;
  if (processEvents) (*processEvents)();
  for (;;) {
    if (processEvents) (*processEvents)();
    state.twOut = Sng((state.tempHigh + state.tempLow) / 2);
    SetOutletTrial(state, context);
    ++counter;
    if (counter > kPassesPerMode) {
      if (state.dryCoil == kDry) return result;
      state.dryCoil = kDry;
      counter = 0;
      restartBounds();
      continue;
    }
    RateCoolingPass(state, context);
    ++result.passes;
    const float dev = CapacityDeviation(state);
    if (std::fabs(dev) < kOutletTolerancePct) {
      if (FinishCoolingPass(state, context, false) == FinishOutcome::kRestartDry) {
        state.dryCoil = kDry;
        counter = 0;
        restartBounds();
        continue;
      }
      state.coolTwOut = state.twOut;
      result.status = ConvergedStatus(state);
      return result;
    }
    if (dev > 0)
      state.tempLow = state.twOut;
    else
      state.tempHigh = state.twOut;
  }
}

float CoolingRhLimit(float rhIn) {
  // Twice the entering humidity, but never near saturation.
  const float limit = Sng(2.0 * rhIn);
  return limit > 90 ? 90.0f : limit;
}

CoolingFlowBound ComputeCoolingFlowBound(float twIn, float rhIn) {
  CoolingFlowBound bound;
  bound.twIn = twIn;
  bound.rhLimit = CoolingRhLimit(rhIn);
  const float ta = Sng(twIn + 0.1);
  const float twb = WetBulbFromRelHumidity(ta, bound.rhLimit);
  bound.enthalpy = EnthalpyFromWetBulb(twb, ta);
  return bound;
}

double DryRestartFlowHigh(const CoilRatingState& state, DryRestartBound rule, float w,
                          double wetHigh) {
  if (rule == DryRestartBound::kOtherScreens) return wetHigh;
  return Div(
      (static_cast<double>(state.taIn) - state.twIn + 0.1) * state.rhoAir * state.airFlow * 1000,
      w);
}

CoolingSolveResult SolveCoolingFlow(CoilRatingState& state, const RatingContext& context,
                                    const CoolingFlowBound* bound) {
  state.rhLimit = CoolingRhLimit(state.rhIn);
  state.twMean = Sng((static_cast<double>(state.twOut) + state.twIn) / 2);
  state.satSlope = SatEnthalpySlope(state.twMean);
  UpdateWaterProperties(state, context.glycol, state.twMean, state.glycolPct);
  state.hSatOut = EnthalpyFromWetBulb(state.twOut, state.twOut);

  const float w = Sng(static_cast<double>(state.cpWater) * state.rhoWater * 1000 *
                      (static_cast<double>(state.twOut) - state.twIn));
  const double airMass = static_cast<double>(state.rhoAir) * state.airFlow * 1000;
  // An enthalpy drop of 0.5 kJ/kg.
  const double flow0 = Div(0.5 * airMass, w);
  // The flow that would cool the air down to twIn + 0.1 degC at rhLimit.
  const float boundEnthalpy = bound && bound->twIn == state.twIn && bound->rhLimit == state.rhLimit
                                  ? bound->enthalpy
                                  : ComputeCoolingFlowBound(state.twIn, state.rhIn).enthalpy;
  const double wetHigh = Div(airMass * (static_cast<double>(state.hAirIn) - boundEnthalpy), w);

  state.flowLow = flow0;
  state.flowHigh = wetHigh;
  state.dryCoil = kWet;
  int counter = 0;
  CoolingSolveResult result;
  for (;;) {
    state.waterFlow = (state.flowHigh + state.flowLow) / 2;
    ++counter;
    if (counter > kPassesPerMode) {
      if (state.dryCoil == kDry) return result;
      // The wet search failed: the flow that would cool the air to twIn, dry.
      state.dryCoil = kDry;
      counter = 0;
      state.flowLow = flow0;
      state.flowHigh = Div(static_cast<double>(state.rhoAir) * state.airFlow * state.cpAir * 1000 *
                               (static_cast<double>(state.taIn) - state.twIn),
                           w);
      continue;
    }
    RateCoolingPass(state, context);
    ++result.passes;
    const float dev = CapacityDeviation(state);
    if (std::fabs(dev) < kFlowTolerancePct) {
      if (FinishCoolingPass(state, context, true) == FinishOutcome::kRestartDry) {
        state.dryCoil = kDry;
        counter = 0;
        state.flowLow = flow0;
        state.flowHigh = DryRestartFlowHigh(state, context.rules.dryRestart, w, wetHigh);
        continue;
      }
      state.coolWaterFlow = Sng(state.waterFlow);
      result.status = ConvergedStatus(state);
      return result;
    }
    if (dev > 0)
      state.flowLow = state.waterFlow;
    else
      state.flowHigh = state.waterFlow;
  }
}

}  // namespace vestra
