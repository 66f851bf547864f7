#include "engine/coil_rating.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/errors.h"
#include "engine/numeric.h"

namespace vestra {

namespace {

// glibc's pow(x, 2) is exactly x * x, so a square may be written as a product.
inline double Square(double x) {
  return x * x;
}

std::size_t CheckedIndex(int index, std::size_t size) {
  if (index < 0 || static_cast<std::size_t>(index) >= size) Raise(kSubscriptOutOfRange);
  return static_cast<std::size_t>(index);
}

}  // namespace

std::size_t GeometryIndex(const CoilRatingState& state) {
  return CheckedIndex(state.coilGeom, 4);
}

std::size_t PitchIndex(const CoilRatingState& state) {
  return CheckedIndex(state.coilPitch, 9);
}

bool PrepareCoil(CoilRatingState& state, const CoilConstants& constants, const CoilModel& model,
                 Duty duty) {
  state.heatingDuty = duty == Duty::kHeating ? 1 : 0;
  state.coilGeom = model.geometry;
  state.coilPitch = model.pitch;
  state.coilRows = model.rows;
  state.coilCircuits = model.circuits;
  state.coilLength = Sng(model.lengthMm / 1000.0);
  state.coilLength = Sng(static_cast<double>(state.coilLength) * model.lengthFactor);
  state.coilHeight = Sng(model.heightMm / 1000.0);
  state.headerFactor = model.headerFactor;
  state.bypassCoef = model.bypassCoef;
  state.airCoef = model.airCoef;

  const std::size_t g = GeometryIndex(state);
  state.CurAirN = constants.GeoAirN[g];
  if (constants.selectedSet != CoilSet::S8) {
    state.CurAirM = constants.GeoAirM[g];
    state.CurAirS = constants.GeoAirS[g];
    state.CurAirR = constants.GeoAirR[g];
    state.CurAirT = constants.GeoAirT[g];
  }
  if (model.curAirN) state.CurAirN = *model.curAirN;

  state.faceArea = Sng(static_cast<double>(state.coilHeight) * state.coilLength);
  state.tubeCount = CInt(Div(state.coilHeight, constants.CoilConstA) * state.coilRows);
  state.faceVelocity = Sng(Div(state.airFlow, state.faceArea));
  state.circuitLength = CircuitLength(state, constants, state.tubeCount);

  const bool airSide = duty == Duty::kHeating || (state.airCoef > 0 && state.CurAirN > 0);
  if (airSide) {
    const std::int16_t pc = CInt(constants.GeoFinPitch[PitchIndex(state)]);
    state.hAir = AirSideCoefficient(state, constants, state.coilRows, state.faceVelocity,
                                    model.geometry, pc);
  }
  return airSide;
}

float CircuitLength(const CoilRatingState& state, const CoilConstants& constants,
                    std::int16_t tubeCount) {
  const float t = Sng(Div(tubeCount, state.coilCircuits));  // tubes per circuit
  return Sng((t - 1.0) * constants.CoilConstB + static_cast<double>(t) * state.coilLength +
             static_cast<double>(state.headerFactor) * state.coilHeight);
}

float AirSideCoefficient(const CoilRatingState& state, const CoilConstants& constants, float rows,
                         float v, std::int16_t g, std::int16_t pc) {
  switch (g) {
    case 0:
      return Sng(state.airCoef * Pow(v, state.CurAirN));
    case 1:
      // One row behaves like geometry 0; deeper coils follow a flatter velocity law.
      if (rows == 1) return Sng(state.airCoef * Pow(v, state.CurAirN));
      return Sng(state.airCoef * Pow(v, constants.CoilAirExpAlt));
    case 2: {
      // Fins per inch from the pitch in tenths of a millimetre.
      const std::int16_t fpi = CInt(Div(25.5, pc / 10.0));
      const float e = Sng(Pow(rows, state.CurAirT) *
                          (fpi * static_cast<double>(state.CurAirS) + state.CurAirN));
      return Sng(Pow(fpi, state.CurAirM) * state.airCoef * Pow(v, e));
    }
    case 3: {
      const float e = Sng(Pow(rows, state.CurAirT) * state.CurAirN);
      return Sng(Pow(rows, state.CurAirR) * state.airCoef * Pow(v, e));
    }
    default:
      return 0;
  }
}

float WaterVelocity(const CoilConstants& constants, double flow, float circuits) {
  // 3.14 rather than pi: the catalogue's capacities were calibrated with it.
  return Sng(Div(flow, Square(constants.CoilTubeDiam / 2.0) * circuits * 3.14));
}

float WaterReynolds(const CoilConstants& constants, float velocity, float tMean, float mu) {
  return Sng(Div(static_cast<double>(constants.CoilTubeDiam) * velocity * WaterDensity(tMean), mu));
}

float WaterSideCoefficient(const CoilRatingState& state, const CoilConstants& constants,
                           int reTransMode) {
  const double re = state.reynolds;
  const double pr = state.prWater;
  const double d = constants.CoilTubeDiam;
  const double l = state.coilLength;
  const double k = state.kWater;
  const double prExp = state.heatingDuty == 1 ? constants.CoilNuPrExp1 : constants.CoilNuPrExp0;

  // Developing laminar flow (Sieder-Tate form) up to Re 2300, Dittus-Boelter above 10000.
  if (re <= 2300) {
    const float nu =
        Sng(constants.CoilNuLamCoef * Pow(Div(re * pr * d, l), constants.CoilNuLamExp));
    return Sng(Div(k * nu, d));
  }
  if (re > 10000 || reTransMode != 2) {
    const float nu =
        Sng(constants.CoilNuTurbCoef * Pow(re, constants.CoilNuReExp) * Pow(pr, prExp));
    return Sng(Div(k * nu, d));
  }
  // Transition: a straight line in Re between the laminar value at 2300 and the turbulent
  // value at 10000, so that h is continuous at both ends.
  const float hl =
      Sng(Div(k * constants.CoilNuLamCoef * Pow(Div(2300 * pr * d, l), constants.CoilNuLamExp), d));
  const float ht = Sng(
      Div(k * constants.CoilNuTurbCoef * Pow(10000, constants.CoilNuReExp) * Pow(pr, prExp), d));
  const float slope = Sng((static_cast<double>(hl) - ht) / -7700.0);
  return Sng(slope * re + (hl - static_cast<double>(slope) * 2300));
}

float WaterPressureDropTerm(const CoilRatingState& state, const CoilConstants& constants) {
  // Blasius friction factor 0.3164 / Re^0.25.
  return Sng(Div(constants.CoilFrictionCoef, Pow(state.reynolds, 0.25)) * state.circuitLength /
             constants.CoilTubeDiam * Square(state.waterVelocity) / 2);
}

float LogMeanTempDiff(float a, float b, float c, float d) {
  const float d1 = Sng(static_cast<double>(b) - c);
  const float d2 = Sng(static_cast<double>(a) - d);
  // A logarithm that cannot be taken leaves L at 0, and so does a zero d2.
  float l = 0;
  if (d2 != 0) {
    const double ratio = static_cast<double>(d1) / d2;
    if (ratio > 0) l = Sng(std::log(ratio));
  }
  if (l != 0) return Sng((static_cast<double>(d1) - d2) / l);
  return d1;
}

float CapacityDeviation(const CoilRatingState& state) {
  if (!(state.capacityUA > 0)) return -1;
  return Sng((1 - static_cast<double>(state.capacityWater) / state.capacityUA) * 100);
}

float RoundCapacity(float watts) {
  return Sng(10.0 * CLng(watts / 10.0));
}

namespace {

std::string Figure(float value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.4g", static_cast<double>(value));
  return buffer;
}

// How far the leaving air may pass an entering temperature before it counts as a fault:
// the wet leaving state comes from the saturated-air fit and its inverse, which agree
// with the psychrometric functions to some hundredths of a kelvin.
constexpr float kLeavingAirToleranceK = 0.1f;

// The leaving air of a coil lies between its two entering streams.
std::optional<std::string> LeavingAirFault(float taOut, float taIn, float twIn) {
  const float low = std::min(taIn, twIn) - kLeavingAirToleranceK;
  const float high = std::max(taIn, twIn) + kLeavingAirToleranceK;
  if (taOut >= low && taOut <= high) return std::nullopt;
  return "the leaving air (" + Figure(taOut) + " degC) lies outside the entering air (" +
         Figure(taIn) + " degC) and water (" + Figure(twIn) + " degC)";
}

}  // namespace

std::optional<std::string> CoolingResultFault(const CoilRatingState& state) {
  if (state.coolTotal < 0)
    return "the total capacity (" + Figure(state.coolTotal) + " W) is negative";
  if (state.coolSensible < 0)
    return "the sensible capacity (" + Figure(state.coolSensible) + " W) is negative";
  if (state.coolSensible > state.coolTotal)
    return "the sensible capacity (" + Figure(state.coolSensible) + " W) exceeds the total (" +
           Figure(state.coolTotal) + " W)";
  return LeavingAirFault(state.coolTaOut, state.taIn, state.twIn);
}

std::optional<std::string> HeatingResultFault(const CoilRatingState& state) {
  if (state.heatCapacity < 0)
    return "the capacity (" + Figure(state.heatCapacity) + " W) is negative";
  return LeavingAirFault(state.heatTaOut, state.taIn, state.twIn);
}

}  // namespace vestra
