#pragma once

// The state of the air entering a coil, as a rating starts from it: the dry bulb and the
// relative humidity the engineer gives (or a mix of two streams gives), and what the
// rating derives from them once per duty - the wet bulb and the enthalpy of the entering
// air, the enthalpy of saturated air at the entering water temperature (the coil's
// coldest surface), the density and the specific heat of the air. Every screen, the
// calibration tool, the tests and the benchmarks prepare the air through these, so the
// same typed duty always gives the same starting state.

#include "engine/coil_state.h"

namespace vestra {

struct EnteringAir {
  float taIn = 0;    // degC, dry bulb
  float rhIn = 0;    // %, relative humidity (0 in heating)
  float rhoAir = 0;  // kg/m3, moist-air density at taIn and rhIn
  float cpAir = 0;   // kJ/(kg K) at taIn
  // Cooling only: the wet-coil enthalpy potentials start from these.
  bool cooling = false;
  float twbIn = 0;   // degC, entering wet bulb
  float hAirIn = 0;  // kJ/kg, entering air
  float hSatIn = 0;  // kJ/kg, saturated air at the entering water temperature
};

// Cooling air given by its dry bulb and relative humidity; twIn is the entering water.
EnteringAir CoolingAirFromHumidity(float taInC, float rhInPct, float twInC);

// Cooling air whose wet bulb is already known (a mix of recirculated and fresh air, whose
// humidity ratio gives the wet bulb directly); rhInPct is the humidity that goes with it.
EnteringAir CoolingAirFromWetBulb(float taInC, float twbInC, float rhInPct, float twInC);

// Heating air: dry, as far as the rating is concerned.
EnteringAir HeatingAir(float taInC);

// Writes the state into the rating record (the cooling fields only for cooling air, so a
// heating rating leaves what the cooling of the same model left there).
void SetEnteringAir(CoilRatingState& state, const EnteringAir& air);

}  // namespace vestra
