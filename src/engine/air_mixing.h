#pragma once

// The air a ducted unit takes in: recirculated room air mixed with fresh outdoor air. The
// mix is taken by volume: the two streams' densities differ by a few per cent between
// their temperatures, which the catalogue's ratings neglect, so the dry bulb and the
// humidity ratio of the mix are the volume-weighted means of the streams' (the adiabatic
// mixing of ASHRAE Fundamentals, psychrometrics, with equal densities).

namespace vestra {

struct AirStream {
  float dryBulbC = 0;
  float relHumidityPct = 0;
  float flowM3s = 0;  // the stream's share of the unit's air flow
};

// The mix's dry bulb at a total air flow: (T1 Q1 + T2 Q2) / Q, or the recirculated air's
// when there is no flow.
float MixedDryBulbC(const AirStream& recirculated, const AirStream& fresh, float totalFlowM3s);

struct MixedMoisture {
  float wetBulbC = 0;
  float relHumidityPct = 0;
};

// The mix's moisture at its dry bulb. With both streams flowing, their humidity ratios
// are mixed in proportion to their volume flows and give the wet bulb and the humidity
// at the mixed dry bulb; with one stream (or no flow) that stream's humidity is the mix's
// (the recirculated one unless only fresh air flows).
MixedMoisture MixedMoistureAt(float dryBulbC, const AirStream& recirculated, const AirStream& fresh,
                              float totalFlowM3s);

}  // namespace vestra
