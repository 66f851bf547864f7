#pragma once

// What the heating and the cooling rating of a finned-tube water coil share: the rules a
// rating runs under, the preparation of a model's coil for a duty, the film coefficients
// of both sides, the tube-side pressure drop and the log-mean temperature difference.
//
// Quantities are singles, rounded to float each time they are stored; water flows and
// bisection bounds are doubles. A step that would give a non-finite number raises the
// matching run-time error (RuntimeError); an index outside the coil tables raises the
// subscript error (9).

#include <cstdint>
#include <optional>
#include <string>

#include "engine/coil_constants.h"
#include "engine/coil_state.h"
#include "engine/fluids.h"

namespace vestra {

// Where the flow search of the cooling rating restarts its dry search after a converged
// wet pass turned out (almost) sensible only.
enum class DryRestartBound {
  kStandardScreen,  // (taIn - twIn + 0.1) x rhoAir x airFlow x 1000 / W, without cpAir
  kOtherScreens,    // the wet upper bound of the search
};

// The rules a rating runs under, which depend on the series and the screen, not on the
// model.
struct RatingRules {
  // 2: tube flow between Re 2300 and 10000 is interpolated between the laminar and the
  // turbulent film coefficient; 0: the turbulent formula is used there too.
  int reTransMode = 2;
  // The cassettes' cooling coils are rated with a water-side coefficient of at least
  // 1100 W/(m2 K) (QUIVO); heating is not affected.
  bool coolingWaterSideFloor = false;
  // The two-in-one units report 5 % more sensible cooling from the wet flow search
  // (DARNE); the raised value is the one tested against the 95 % dry switch.
  bool wetSensibleFactor = false;
  DryRestartBound dryRestart = DryRestartBound::kStandardScreen;
};

// Everything a solve reads besides the record. The caller owns the objects.
struct RatingContext {
  const CoilConstants& constants;
  const GlycolTables& glycol;
  RatingRules rules;
};

enum class Duty { kCooling, kHeating };

// The model-table values of one model and duty, as the screen takes them.
struct CoilModel {
  std::int16_t geometry = 0;  // TabGeom, 0..3
  std::int16_t pitch = 0;     // TabPasso, 0..8
  float rows = 0;             // TabNR
  float circuits = 0;         // TabNC
  float lengthMm = 0;         // TabLunBat
  float heightMm = 0;         // TabAltBat
  float lengthFactor = 1;     // multiplies the coil length (TabDeltaL in DARNE heating)
  float headerFactor = 0;
  float bypassCoef = 0;  // cooling only
  float airCoef = 0;
  // Replaces CurAirN after the copy from the geometry tables (VELD: TabFX31, TabCX31).
  std::optional<float> curAirN;
};

// Prepares the record for rating one model in one duty, the same way for every screen
// and for calibration. The screen sets airFlow (and the air and water state) first.
//  - heatingDuty = 1 in heating, 0 in cooling;
//  - the coil fields from the model (coilLength = lengthMm / 1000 x lengthFactor);
//  - the air-side exponents CurAirN .. CurAirT from GeoAirN .. GeoAirT at the model's
//    geometry; after set S8 only CurAirN (the set wrote the others); then curAirN if given;
//  - faceArea, tubeCount, faceVelocity, circuitLength;
//  - hAir: in heating always, in cooling only when airCoef > 0 and CurAirN > 0.
// Returns whether hAir was computed (otherwise it keeps its previous value).
bool PrepareCoil(CoilRatingState& state, const CoilConstants& constants, const CoilModel& model,
                 Duty duty);

// Length of one water circuit, m: the tubes of a circuit, their return bends and the
// header share. t = tubeCount / circuits is kept as a single (circuits need not divide).
float CircuitLength(const CoilRatingState& state, const CoilConstants& constants,
                    std::int16_t tubeCount);

// Air-side film coefficient, W/(m2 K), of geometry g at face velocity v; pc is the fin
// pitch code (GeoFinPitch of the model's pitch index, tenths of a mm).
float AirSideCoefficient(const CoilRatingState& state, const CoilConstants& constants, float rows,
                         float v, std::int16_t g, std::int16_t pc);

// Mean velocity in one tube, m/s, for a water flow in m3/s spread over n circuits.
float WaterVelocity(const CoilConstants& constants, double flow, float circuits);

// Tube Reynolds number. The density is always the plain-water fit (also with glycol);
// the viscosity is the fluid's.
float WaterReynolds(const CoilConstants& constants, float velocity, float tMean, float mu);

// Water-side film coefficient, W/(m2 K), from the record's reynolds, prWater, kWater,
// coilLength and heatingDuty. The passes store it in hWater.
float WaterSideCoefficient(const CoilRatingState& state, const CoilConstants& constants,
                           int reTransMode);

// Friction term f (L/D) v^2 / 2 of one circuit, J/kg. With a water density of 1000 kg/m3
// and divided by 1000 it is numerically the water pressure drop in kPa.
float WaterPressureDropTerm(const CoilRatingState& state, const CoilConstants& constants);

// Log-mean of d1 = b - c and d2 = a - d, K. When the two are equal, or the logarithm
// cannot be taken (d1 / d2 zero, negative or undefined), the result is d1.
float LogMeanTempDiff(float a, float b, float c, float d);

// Deviation of the water-side balance from the coil equation, %: (1 - capacityWater /
// capacityUA) x 100, or -1 when the coil equation gives no positive capacity.
float CapacityDeviation(const CoilRatingState& state);

// Capacity reported in steps of 10 W (nearest, halves to even).
float RoundCapacity(float watts);

// The geometry and fin pitch indices of the record, checked against the coil tables.
std::size_t GeometryIndex(const CoilRatingState& state);
std::size_t PitchIndex(const CoilRatingState& state);

// Why the results of a converged rating break the physics of a coil, in words; nothing
// when they do not. A search converges on its balance equation alone, so inputs far from
// any catalogue coil (a bypass factor above 1, air wetter than saturated) can balance at
// figures no coil gives.
//  - cooling (coolTotal, coolSensible, coolTaOut): the total is not negative, the sensible
//    capacity lies between 0 and the total, the leaving air between the entering water
//    twIn and the entering air taIn (give or take 0.1 K, the agreement of the fits);
//  - heating (heatCapacity, heatTaOut): the capacity is not negative, the leaving air
//    lies between the entering air taIn and the entering water twIn.
std::optional<std::string> CoolingResultFault(const CoilRatingState& state);
std::optional<std::string> HeatingResultFault(const CoilRatingState& state);

}  // namespace vestra
