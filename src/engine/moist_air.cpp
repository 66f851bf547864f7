#include "engine/moist_air.h"

#include <cmath>

#include "engine/numeric.h"

namespace vestra {

namespace {
void Report(bool* found, bool value) {
  if (found) *found = value;
}
}  // namespace

float SatVapourPressure(float t) {
  const float T = Sng(t + 273.15);
  const double lnPws = Div(-5800.2206, T) + 1.3914993 - 0.048640239 * T +
                       0.000041764768 * Pow(T, 2) - 1.4452093e-8 * Pow(T, 3) + 6.5459673 * Ln(T);
  return Sng(Exp(lnPws) / 100);
}

double EnhancementFactor(float t, float p) {
  const float P = Sng(100.0 * p);  // kPa
  const double td = t;
  const double pd = P;
  return Dbl(1.00243 - 0.000112815 * pd + 3.90957e-6 * Pow(pd, 2) - 4.06844e-8 * Pow(pd, 3) +
             1.47933e-10 * Pow(pd, 4) + 2.84994e-5 * td - 7.00526e-7 * pd * td +
             5.71617e-9 * Pow(pd, 2) * td - 2.49966e-11 * Pow(pd, 3) * td +
             2.50524e-7 * Pow(td, 2) + 3.58789e-9 * pd * Pow(td, 2) -
             4.38071e-12 * Pow(pd, 2) * Pow(td, 2) + 4.31254e-9 * Pow(td, 3) +
             2.17987e-11 * pd * Pow(td, 3) - 1.01246e-10 * Pow(td, 4));
}

float SatHumidityRatio(float p, float pws, double f) {
  return Sng(Div(0.62198 * f * pws, 1000.0 * p - f * pws));
}

float HumidityRatioFromVapourPressure(float p, float pw) {
  return Sng(Div(0.62198 * pw, 1000.0 * p - pw));
}

float MoistAirVolume(float t, float p, float w) {
  return Sng(Div((t + 273.15) * 287.055 * (1 + 1.6078 * w), 100000.0 * p));
}

float MoistAirEnthalpy(float t, float w) {
  // Dry-air specific heat taken as 1.0 kJ/(kg K).
  return Sng(t + w * (2501 + 1.805 * t));
}

float HumidityRatioFromWetBulbSat(float twb, float tdb, float ws) {
  return Sng(
      Div((2501 - 2.381 * twb) * ws - (double{tdb} - twb), 2501 + 1.805 * tdb - 4.186 * twb));
}

float HumidityRatioFromWetBulb(float tdb, float twb) {
  const float pws = SatVapourPressure(twb);
  const double f = EnhancementFactor(twb, kStandardPressure);
  const float ws = SatHumidityRatio(kStandardPressure, pws, f);
  return HumidityRatioFromWetBulbSat(twb, tdb, ws);
}

float EnthalpyFromWetBulb(float twb, float tdb) {
  const float w = HumidityRatioFromWetBulb(tdb, twb);
  return MoistAirEnthalpy(tdb, w);
}

float RelHumidityFromWetBulb(float tdb, float twb) {
  const float pwsD = SatVapourPressure(tdb);
  const float pwsW = SatVapourPressure(twb);
  const float wsW =
      SatHumidityRatio(kStandardPressure, pwsW, EnhancementFactor(twb, kStandardPressure));
  const double fD = EnhancementFactor(tdb, kStandardPressure);
  const float wsD = SatHumidityRatio(kStandardPressure, pwsD, fD);
  const float w = HumidityRatioFromWetBulbSat(twb, tdb, wsW);
  const float mu = Sng(Div(w, wsD));  // degree of saturation
  // Not limited to 100: callers test for supersaturation.
  return Sng(Div(100.0 * mu, 1 - (1 - double{mu}) * fD * pwsD / 1013.25));
}

float WetBulbFromRelHumidity(float tdb, float rh, bool* found) {
  if (rh == 100) {
    Report(found, true);
    return tdb;
  }
  // First estimate from a straight-line fit of the wet bulb in dry bulb and humidity.
  const float m = Sng(0.605 + (0.275 / 65) * rh);
  const float x0 = Sng(m * (tdb + 10.4) - 11.1);
  float low, high;
  if (x0 > 0) {
    low = Sng(0.5 * x0);
    high = Sng(1.5 * x0);
  } else {
    low = Sng(1.5 * x0);
    high = Sng(0.5 * x0);
  }
  for (int pass = 0; pass < 101; ++pass) {
    const float mid = Sng((double{low} + high) / 2);
    const float r = RelHumidityFromWetBulb(tdb, mid);
    if (LessEqualSng(std::fabs(double{r} - rh), 0.001)) {
      Report(found, true);
      return mid;
    }
    if (r > rh)
      high = mid;
    else
      low = mid;
  }
  Report(found, false);
  return 0;
}

float WetBulbFromHumidityRatio(float tdb, float w, bool* found) {
  // The search starts at 1 degC: a wet bulb below that is never found.
  float low = 1.0f;
  float high = tdb;
  for (int pass = 0; pass < 201; ++pass) {
    const float mid = Sng((double{low} + high) / 2);
    const float wMid = HumidityRatioFromWetBulb(tdb, mid);
    if (LessEqualSng(std::fabs(double{wMid} - w), 1e-6)) {
      Report(found, true);
      return mid;
    }
    if (wMid > w)
      high = mid;
    else
      low = mid;
  }
  Report(found, false);
  return 0;
}

float AirDensity(float t, float rh) {
  if (rh != 0) {
    // kg of dry air per m3 of moist air; no enhancement factor here.
    const float pw = Sng(double{SatVapourPressure(t)} * rh / 100);
    const float w = HumidityRatioFromVapourPressure(kStandardPressure, pw);
    return Sng(Div(1, MoistAirVolume(t, kStandardPressure, w)));
  }
  // Dry air: specific volume as a cubic in t whose coefficients depend on pressure.
  const float p = kStandardPressure;
  const double a0 = 5.42087e-6 / Pow(p, 2) + 0.784104 / p - 0.000442721;
  const double a1 = 0.00287057 / p + 8.55954e-6 - 6.1922e-9 / Pow(p, 2);
  const double a2 = 7.46392e-13 * Pow(p, 2) - 3.891248111654055e-8;
  const double a3 = 1.1658411435762418e-10 - 2.52655e-15 * Pow(p, 2);
  return Sng(Div(1, a0 + a1 * t + a2 * Pow(t, 2) + a3 * Pow(t, 3)));
}

float AirCp(float t) {
  const float T = Sng(t + 273.15);
  return Sng(1.0507 - 0.0003645 * T + 8.388e-7 * Pow(T, 2) - 3.848e-10 * Pow(T, 3));
}

float SatEnthalpyFit(float t) {
  return Sng(9.47131 + 1.70935 * t + 0.0219908 * Pow(t, 2) + 0.000570304 * Pow(t, 3) +
             7.89992e-8 * Pow(t, 4) + 1.64604e-7 * Pow(t, 5));
}

float SatTempFromEnthalpy(float h, bool* found) {
  float low = -10.0f;
  float high = 40.0f;
  for (int pass = 0; pass < 20; ++pass) {
    const float mid = Sng((double{low} + high) / 2);
    const float hs = SatEnthalpyFit(mid);
    float d = h;
    if (d == 0) {
      d = hs;
      if (d == 0) {
        Report(found, true);
        return mid;
      }
    }
    // Relative deviation in percent, against the magnitude of the reference enthalpy so
    // that a negative enthalpy is searched like any other and not accepted at once.
    if (LessSng(std::fabs(double{h} - hs) / std::fabs(double{d}) * 100, 0.001)) {
      Report(found, true);
      return mid;
    }
    if (hs > h)
      high = mid;
    else
      low = mid;
  }
  Report(found, false);
  return 0;
}

float SatEnthalpySlope(float t) {
  // A fit in kcal/(kg K), converted to kJ/(kg K).
  return Sng(4.1868 * (0.445 + 0.0138 * t + 0.0002844 * Pow(t, 2)));
}

}  // namespace vestra
