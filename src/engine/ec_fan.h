#pragma once

// The EC fans of the fan coils and ducted units: eight steps (0..7), each a fan curve,
// a power curve, a nominal speed and a sound power, as the maker measured them at eight
// settings of the inverter. A required air flow is met between the two steps whose flows
// bracket it at the duct's pressure, and the working point's speed, power and sound power
// are interpolated linearly in the air flow between those two steps (below the lowest
// step, from zero at zero flow).

#include <array>
#include <cstdint>

#include "engine/fan_duct.h"

namespace vestra {

inline constexpr int kEcSteps = 8;

// The two steps around a required air flow at one pressure. The lower step is kept from
// an earlier search of the same model when this one finds none below the flow.
struct StepBracket {
  int upper = -1;          // the first step giving more air than required; -1 none
  float upperFlowM3s = 0;  // its flow
  int lower = 0;           // the last step giving less air than required
  float lowerFlowM3s = 0;
  float lastFlowM3s = 0;  // the flow of the last step looked at
};

// The bracket of `requiredM3s` at `pressurePa` on the steps' curves. A step whose flow is
// at or below a third of the step-1 free flow `referenceFreeFlowM3s` is passed over
// (it would run stalled), but for step 0; with the limits off every step with some air
// takes part. `previous` gives the lower step kept from an earlier search.
StepBracket FindStepBracket(const std::array<FanCurve, kEcSteps>& steps, float pressurePa,
                            float requiredM3s, float referenceFreeFlowM3s, bool noLimits,
                            const StepBracket& previous = {});

// A quantity interpolated at the required flow q between its values at the bracket's
// upper and lower steps; below the lowest step (upper step 0) on the straight line from
// zero at zero flow.
double InterpolateAtFlow(double atUpper, double atLower, const StepBracket& bracket, float q);

// The absorbed power of a step's power curve, W, at a flow in m3/s (the curve is in m3/h).
double StepPowerW(float pa, float pb, float pc, float flowM3s);

}  // namespace vestra
