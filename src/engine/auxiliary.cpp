#include "engine/auxiliary.h"

#include <cmath>

#include "engine/numeric.h"

namespace vestra {

namespace {

// Water of the fan-off rating: no glycol correction.
constexpr double kWaterCp = 4.186;  // kJ/(kg K)

float NominalFlow(const StaticHeaterModel& model) {
  // A 10 K water temperature drop at the nominal output, m3/s.
  return Sng(model.potNom / kWaterCp / 10 / 1000000);
}

float PressureDropTerm(const StaticHeaterModel& model, float flow) {
  const double ratio = Div(flow, NominalFlow(model));
  return Sng(ratio * ratio * model.dpNom);
}

}  // namespace

float Log10(float x) {
  return Sng(Ln(x) / std::log(10.0));
}

float SoundPressureLevel(float lw, float r, std::int16_t q) {
  // 12.56 in place of 4 pi: free-field spreading over a sphere.
  const float ratio = Sng(Div(q, 12.56 * (static_cast<double>(r) * r)));
  return Sng(lw + 10.0 * Log10(ratio));
}

StaticHeatingResult StaticHeatingAtOutletTemp(const StaticHeaterModel& model, float twIn, float tw2,
                                              float ta) {
  StaticHeatingResult result;
  const float dT = Sng(((static_cast<double>(tw2) + twIn) / 2 - ta) / 50);
  result.output = Sng(model.potNom * Pow(dT, model.espon));
  result.waterFlow = Sng(Div(result.output / kWaterCp, static_cast<double>(twIn) - tw2) / 1000000);
  result.twOut = tw2;
  result.pressureDropTerm = PressureDropTerm(model, result.waterFlow);
  return result;
}

StaticHeatingResult StaticHeatingAtWaterFlow(const StaticHeaterModel& model, float q, float twIn,
                                             float ta) {
  StaticHeatingResult result;
  float low = ta;
  float high = twIn;
  for (int pass = 0; pass < kStaticHeatingPasses; ++pass) {
    const float tw = Sng((static_cast<double>(high) + low) / 2);
    const float output =
        Sng(model.potNom * Pow(((static_cast<double>(twIn) + tw) / 2 - ta) / 50, model.espon));
    const float w = Sng(Div(output / kWaterCp, static_cast<double>(twIn) - tw) / 1000000);
    result.output = output;
    result.waterFlow = w;
    result.twOut = tw;
    result.passes = pass + 1;
    if (LessSng(Div(std::fabs(static_cast<double>(q) - w), q), 0.01)) {
      result.pressureDropTerm = PressureDropTerm(model, w);
      result.met = true;
      return result;
    }
    if (w >= q)
      high = tw;
    else
      low = tw;
  }
  // The last pass stands, flagged: the unit does not draw so little water.
  result.pressureDropTerm = PressureDropTerm(model, result.waterFlow);
  result.met = false;
  return result;
}

}  // namespace vestra
