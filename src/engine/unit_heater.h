#pragma once

// Unit heaters rated from their catalogue data instead of their coil: the maker's heating
// tests give each size a nominal output per kelvin PTN and an exponent Y1, so that the
// output at a mean water-to-air temperature difference dT and a water temperature drop
// dTw is
//     Q = ((10 / (dTw PTN))^Y1 x dT x PTN / 60)^(1 / (1 - Y1))   W,
// the heater characteristic solved for the output (the tests were made at a 10 K drop).
// The leaving air follows from the air flow (0.2895 x 3600 W per m3/s and K, air at
// about 1.2 kg/m3), the water flow from the drop (0.86 kcal/h per W). The water side of
// the coil, for its pressure drop, is the record's: PrepareCoil first.

#include "engine/coil_constants.h"
#include "engine/coil_state.h"

namespace vestra {

struct NominalHeaterModel {
  float ptn = 0;         // TabPTN, nominal output per K
  float y1 = 0;          // TabY1, exponent of the characteristic
  float airFlowM3s = 0;  // TabQA
};

// Leaving water temperature twOutC given: writes twOut, twMean, muWater, waterFlow,
// waterVelocity, reynolds and the results heatCapacity (not stepped to 10 W), heatTaOut,
// heatWaterFlow, heatPressureDrop. The record's twIn and taIn are the duty's.
void RateNominalHeater(CoilRatingState& state, const CoilConstants& constants,
                       const NominalHeaterModel& model, float twOutC);

}  // namespace vestra
