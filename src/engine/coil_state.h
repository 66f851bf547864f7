#pragma once

namespace vestra {

// The one record of coil-rating inputs, intermediates and results that a screen fills
// for one model, solves and reads before the next model. Singles unless stated.
struct CoilRatingState {
  // Tube-side fluid at the mean water temperature (UpdateWaterProperties).
  float cpWater = 0;   // kJ/(kg K)
  float rhoWater = 0;  // kg/m3
  float muWater = 0;   // Pa s
  float kWater = 0;    // W/(m K)
  float prWater = 0;   // -
};

}  // namespace vestra
