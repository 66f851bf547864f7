#include "engine/entering_air.h"

#include "engine/moist_air.h"

namespace vestra {

EnteringAir CoolingAirFromWetBulb(float taInC, float twbInC, float rhInPct, float twInC) {
  EnteringAir air;
  air.cooling = true;
  air.taIn = taInC;
  air.rhIn = rhInPct;
  air.hSatIn = EnthalpyFromWetBulb(twInC, twInC);
  air.twbIn = twbInC;
  air.hAirIn = EnthalpyFromWetBulb(twbInC, taInC);
  air.rhoAir = AirDensity(taInC, rhInPct);
  air.cpAir = AirCp(taInC);
  return air;
}

EnteringAir CoolingAirFromHumidity(float taInC, float rhInPct, float twInC) {
  // The saturation enthalpy first: a duty whose water enthalpy cannot be formed fails
  // before its wet bulb is searched.
  const float hSatIn = EnthalpyFromWetBulb(twInC, twInC);
  const float twbIn = WetBulbFromRelHumidity(taInC, rhInPct);
  EnteringAir air;
  air.cooling = true;
  air.taIn = taInC;
  air.rhIn = rhInPct;
  air.hSatIn = hSatIn;
  air.twbIn = twbIn;
  air.hAirIn = EnthalpyFromWetBulb(twbIn, taInC);
  air.rhoAir = AirDensity(taInC, rhInPct);
  air.cpAir = AirCp(taInC);
  return air;
}

EnteringAir HeatingAir(float taInC) {
  EnteringAir air;
  air.taIn = taInC;
  air.rhIn = 0;
  air.rhoAir = AirDensity(taInC, 0);
  air.cpAir = AirCp(taInC);
  return air;
}

void SetEnteringAir(CoilRatingState& state, const EnteringAir& air) {
  state.taIn = air.taIn;
  state.rhIn = air.rhIn;
  state.rhoAir = air.rhoAir;
  state.cpAir = air.cpAir;
  if (!air.cooling) return;
  state.twbIn = air.twbIn;
  state.hAirIn = air.hAirIn;
  state.hSatIn = air.hSatIn;
}

}  // namespace vestra
