#pragma once

// Correlations the screens use beside the coil rating: the sound pressure level at a
// listening distance, and the heating output of a two-in-one unit with its fan off,
// rated like a radiator from its nominal output and exponent.

#include <cstdint>

namespace vestra {

// Decimal logarithm, ln(x) / ln(10); x <= 0 is an invalid argument (5).
float Log10(float x);

// Sound pressure level, dB, at distance r (m) from a source of sound power level lw (dB)
// with directivity factor q: lw + 10 log10(q / (12.56 r^2)).
float SoundPressureLevel(float lw, float r, std::int16_t q);

// Fan-off heating data of one model: nominal output at a mean temperature difference of
// 50 K, its exponent, and the water pressure drop at the nominal flow (a 10 K drop), in
// the unit of the coil's pressure-drop term.
struct StaticHeaterModel {
  float potNom = 0;  // TabPotNom, W
  float espon = 0;   // TabEspon
  float dpNom = 0;   // TabDPNom
};

struct StaticHeatingResult {
  float output = 0;     // W
  float waterFlow = 0;  // m3/s
  float twOut = 0;      // degC
  float pressureDropTerm = 0;
  // False when the flow search ended by its pass limit: the figures are those of its last
  // pass, not a rating at the given flow.
  bool met = true;
  int passes = 0;
};

// Leaving water temperature tw2 given: output, water flow and pressure-drop term (twOut is
// tw2). The water is taken with 4.186 kJ/(kg K) and 1000 kg/m3.
StaticHeatingResult StaticHeatingAtOutletTemp(const StaticHeaterModel& model, float twIn, float tw2,
                                              float ta);

// The most passes of the fan-off flow search. A given flow below the smallest the unit
// draws with its outlet at the air temperature is never met (the search closes in on the
// air temperature); the limit ends such a search.
inline constexpr int kStaticHeatingPasses = 100;

// Water flow q given: bisection of the leaving water temperature between ta and twIn until
// the flow matches q within 1 %. Output, twOut, the flow of that pass and its
// pressure-drop term; met is false when the pass limit ended the search.
StaticHeatingResult StaticHeatingAtWaterFlow(const StaticHeaterModel& model, float q, float twIn,
                                             float ta);

}  // namespace vestra
