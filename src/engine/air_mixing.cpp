#include "engine/air_mixing.h"

#include "engine/moist_air.h"
#include "engine/numeric.h"

namespace vestra {

float MixedDryBulbC(const AirStream& r, const AirStream& f, float q) {
  if (!(q > 0)) return r.dryBulbC;
  return Sng((double{r.dryBulbC} * r.flowM3s + double{f.dryBulbC} * f.flowM3s) / q);
}

MixedMoisture MixedMoistureAt(float dryBulbC, const AirStream& r, const AirStream& f, float q) {
  MixedMoisture mix;
  if (r.flowM3s > 0 && f.flowM3s > 0) {
    const float twbRic = WetBulbFromRelHumidity(r.dryBulbC, r.relHumidityPct);
    const float twbRin = WetBulbFromRelHumidity(f.dryBulbC, f.relHumidityPct);
    const float wRic = HumidityRatioFromWetBulb(r.dryBulbC, twbRic);
    const float wRin = HumidityRatioFromWetBulb(f.dryBulbC, twbRin);
    const float wMix = Sng((double{r.flowM3s} * wRic + double{f.flowM3s} * wRin) / q);
    mix.wetBulbC = WetBulbFromHumidityRatio(dryBulbC, wMix);
    mix.relHumidityPct = RelHumidityFromWetBulb(dryBulbC, mix.wetBulbC);
    return mix;
  }
  mix.relHumidityPct = !(q > 0) || r.flowM3s > 0 ? r.relHumidityPct : f.relHumidityPct;
  mix.wetBulbC = WetBulbFromRelHumidity(dryBulbC, mix.relHumidityPct);
  return mix;
}

}  // namespace vestra
