#include "engine/unit_heater.h"

#include "engine/coil_rating.h"
#include "engine/fluids.h"
#include "engine/numeric.h"

namespace vestra {

void RateNominalHeater(CoilRatingState& r, const CoilConstants& constants,
                       const NominalHeaterModel& model, float twOutC) {
  const float tw2 = twOutC;
  r.twOut = tw2;
  const float dTw = Sng(double{r.twIn} - tw2);
  r.twMean = Sng((double{r.twIn} + tw2) / 2);
  r.muWater = WaterViscosity(r.twMean);
  const float dT = Sng(double{r.twMean} - r.taIn);
  const double ptn = model.ptn;
  const double y1 = model.y1;
  r.heatCapacity = Sng(Pow(Pow(Div(10, dTw * ptn), y1) * dT * ptn / 60, Div(1, 1 - y1)));
  r.heatTaOut = Sng(r.taIn + Div(r.heatCapacity * 0.86, model.airFlowM3s * 0.2895 * 3600));
  r.waterFlow = Div(Div(r.heatCapacity * 0.86, dTw), 3600000);
  r.heatWaterFlow = Sng(r.waterFlow);
  r.waterVelocity = WaterVelocity(constants, r.waterFlow, r.coilCircuits);
  r.reynolds = WaterReynolds(constants, r.waterVelocity, r.twMean, r.muWater);
  r.heatPressureDrop = WaterPressureDropTerm(r, constants);
}

}  // namespace vestra
