#pragma once

#include <cstdint>

namespace vestra {

// The one record of coil-rating inputs, intermediates and results that a screen fills
// for one model, solves and reads before the next model. Singles unless stated.
//
// Nothing in it is reset between models or between Calculate presses: a solve that does
// not converge leaves the result fields as the previous rating wrote them, and the
// screens rely on that (an "HX*" partner row shows the cooling of the model before it).
//
// The tube diameter is not here: it is `CoilConstants::CoilTubeDiam`, which the constant
// set writes and a screen changes per model where a series has other tubes.
struct CoilRatingState {
  // Water side: inputs of the screen, bisection variables of the solves.
  float twIn = 0;                    // degC, entering water
  float twOut = 0;                   // degC, leaving water: given (flow search) or searched
  float twMean = 0;                  // degC, (twIn + twOut) / 2
  float glycolPct = 0;               // % ethylene glycol
  double waterFlow = 0;              // m3/s: given (outlet search) or searched
  double flowLow = 0, flowHigh = 0;  // m3/s, bounds of the flow search
  double tempLow = 0, tempHigh = 0;  // degC, bounds of the outlet search

  // Tube-side fluid at the mean water temperature (UpdateWaterProperties).
  float cpWater = 0;   // kJ/(kg K)
  float rhoWater = 0;  // kg/m3
  float muWater = 0;   // Pa s
  float kWater = 0;    // W/(m K)
  float prWater = 0;   // -

  float waterVelocity = 0;  // m/s in one tube
  float reynolds = 0;       // -
  float hWater = 0;         // W/(m2 K), water-side film coefficient

  // Air side.
  float taIn = 0;          // degC, entering dry bulb
  float taOut = 0;         // degC, leaving dry bulb
  float airFlow = 0;       // m3/s at the chosen speed
  float rhoAir = 0;        // kg/m3, AirDensity at the entering state
  float cpAir = 0;         // kJ/(kg K), AirCp at the entering dry bulb
  float faceVelocity = 0;  // m/s
  float hAir = 0;          // W/(m2 K), air-side film coefficient

  // Coil of the model (model table values and what the preparation derives).
  std::int16_t coilGeom = 0;   // geometry index 0..3 (g)
  std::int16_t coilPitch = 0;  // fin pitch index 0..8 (p)
  float coilRows = 0;
  float coilCircuits = 0;
  float coilLength = 0;        // m
  float coilHeight = 0;        // m
  float faceArea = 0;          // m2
  std::int16_t tubeCount = 0;  // tubes in the face, all rows
  float circuitLength = 0;     // m, one water circuit
  float airCoef = 0;           // air-side coefficient of the model and speed
  float CurAirN = 0, CurAirM = 0, CurAirS = 0, CurAirR = 0, CurAirT = 0;  // air-side exponents
  float headerFactor = 0;        // header length per m of coil height, per circuit
  std::int16_t heatingDuty = 0;  // 1 heating, 0 cooling (picks the Prandtl exponent)

  // One pass.
  float lmtd = 0;           // K (heating, dry cooling) or kJ/kg (wet cooling)
  float uSpecific = 0;      // W/(m2 K) per m2 of face and per row
  float capacityUA = 0;     // W, from the coil equation
  float capacityWater = 0;  // W, from the water-side balance

  // Cooling: entering air, wet-coil quantities.
  float rhIn = 0;              // %, entering relative humidity
  float twbIn = 0;             // degC, entering wet bulb
  float hAirIn = 0;            // kJ/kg, entering air
  float hSatIn = 0;            // kJ/kg, saturated air at twIn
  float hSatOut = 0;           // kJ/kg, saturated air at twOut
  float hAirOut = 0;           // kJ/kg, leaving air
  double satSlope = 0;         // kJ/(kg K), slope of the saturation enthalpy at twMean
  float tSatOut = 0;           // degC, saturation temperature of hAirOut
  float rhLimit = 0;           // %, humidity of the flow search's wet upper bound
  std::int16_t dryCoil = 0;    // 0 wet, -1 dry
  float bypassCoef = 0;        // bypass coefficient of the model
  float sensibleCapacity = 0;  // W

  // Screen fields of one duty.
  float extPressure = 0;      // Pa, external static pressure
  float givenTwOut = 0;       // degC, typed leaving water (0 = not given)
  double givenWaterFlow = 0;  // m3/s, typed water flow (0 = not given)

  // Results a converged cooling solve writes.
  float coolTotal = 0, coolSensible = 0;  // W, multiples of 10
  float coolWaterFlow = 0;                // m3/s (flow search)
  float coolTwOut = 0;                    // degC (outlet search)
  float coolPressureDrop = 0;             // water pressure-drop term (numerically kPa)
  float coolTaOut = 0;                    // degC

  // Results a converged heating solve writes.
  float heatCapacity = 0;      // W, a multiple of 10
  float heatWaterFlow = 0;     // m3/s (flow search)
  float heatTwOut = 0;         // degC (outlet search)
  float heatPressureDrop = 0;  // water pressure-drop term (numerically kPa)
  float heatTaOut = 0;         // degC
};

}  // namespace vestra
