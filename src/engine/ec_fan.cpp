#include "engine/ec_fan.h"

#include "engine/numeric.h"

namespace vestra {

StepBracket FindStepBracket(const std::array<FanCurve, kEcSteps>& steps, float pressurePa,
                            float requiredM3s, float referenceFreeFlowM3s, bool noLimits,
                            const StepBracket& previous) {
  StepBracket b;
  b.lower = 0;
  b.lowerFlowM3s = previous.lowerFlowM3s;
  const float stall = Sng(referenceFreeFlowM3s / 3.0);
  for (int k = 0; k < kEcSteps; ++k) {
    const float q = Sng(FanFlowAtPressure(pressurePa, steps[static_cast<std::size_t>(k)]) / 3600.0);
    b.lastFlowM3s = q;
    const bool passedOver = noLimits ? q == 0 : k >= 1 && stall >= q;
    if (passedOver) continue;
    if (q < requiredM3s) {
      b.lower = k;
      b.lowerFlowM3s = q;
    }
    if (q > requiredM3s) {
      b.upper = k;
      b.upperFlowM3s = q;
      break;
    }
  }
  return b;
}

double InterpolateAtFlow(double atUpper, double atLower, const StepBracket& b, float q) {
  // The flows are singles, and so are their differences.
  const float r = b.upperFlowM3s - q;
  if (b.upper > 0) {
    const float span = b.upperFlowM3s - b.lowerFlowM3s;
    return Dbl(atUpper - Div((atUpper - atLower) * r, span));
  }
  return Dbl(atUpper - Div(r * atUpper, b.upperFlowM3s));
}

double StepPowerW(float pa, float pb, float pc, float flowM3s) {
  const double q = double{flowM3s} * 3600;
  return pa * q * q + pb * q + pc;
}

}  // namespace vestra
