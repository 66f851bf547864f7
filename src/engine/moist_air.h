#pragma once

// Psychrometrics of moist air at standard pressure. Temperatures in degC, pressures in
// bar where they are arguments, vapour pressures in hPa, humidity ratio in kg/kg dry air,
// enthalpy in kJ/kg dry air, specific volume in m3/kg dry air, relative humidity in %.
// All functions are pure. The three searches return 0 when they find nothing and, when
// `found` is given, say whether they found a value (0 degC is a real wet bulb).

namespace vestra {

// The only atmospheric pressure used: sea level, in bar.
inline constexpr float kStandardPressure = 1.01325f;

// Saturation vapour pressure over liquid water, hPa (Hyland and Wexler, ASHRAE
// Fundamentals, the liquid-water equation).
float SatVapourPressure(float t);
// Enhancement factor of moist air (Hyland's polynomial in temperature and pressure).
double EnhancementFactor(float t, float p);
float SatHumidityRatio(float p, float pws, double f);
float HumidityRatioFromVapourPressure(float p, float pw);
float MoistAirVolume(float t, float p, float w);
float MoistAirEnthalpy(float t, float w);
float HumidityRatioFromWetBulbSat(float twb, float tdb, float ws);
float HumidityRatioFromWetBulb(float tdb, float twb);
float EnthalpyFromWetBulb(float twb, float tdb);
float RelHumidityFromWetBulb(float tdb, float twb);
float WetBulbFromRelHumidity(float tdb, float rh, bool* found = nullptr);
float WetBulbFromHumidityRatio(float tdb, float w, bool* found = nullptr);
float AirDensity(float t, float rh);
float AirCp(float t);
float SatEnthalpyFit(float t);
float SatTempFromEnthalpy(float h, bool* found = nullptr);
float SatEnthalpySlope(float t);

}  // namespace vestra
