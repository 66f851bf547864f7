#pragma once

// The coil constants of a product series: film-coefficient constants, tube and bend
// dimensions, the per-geometry air-side constants and the finned-surface tables. A series
// loader selects its set before reading the model table; the values persist until the
// next set is selected, and entries a set does not write keep the previous set's values
// (all zero before the first selection).

#include <array>
#include <optional>

namespace vestra {

struct CoilRatingState;

enum class CoilSet { S1 = 1, S2, S3, S4, S5, S6, S7, S8, S9 };

struct CoilConstants {
  float CoilNuLamCoef = 0;     // laminar Nusselt coefficient
  float CoilNuLamExp = 0;      // laminar exponent
  float CoilNuTurbCoef = 0;    // turbulent Nusselt coefficient (Dittus-Boelter)
  float CoilNuReExp = 0;       // turbulent Reynolds exponent
  float CoilNuPrExp1 = 0;      // Prandtl exponent in heating
  float CoilNuPrExp0 = 0;      // Prandtl exponent in cooling
  float CoilFrictionCoef = 0;  // Blasius friction coefficient (divided by Re^0.25)
  float CoilConstA = 0;        // vertical tube pitch, m
  float CoilConstB = 0;        // length added per return bend, m
  float CoilTubeDiam = 0;      // tube inner diameter, m; a screen changes it per model where
                               // a series has other tubes
  float CoilAirExpAlt = 0;     // air-side velocity exponent of geometry 1 with several rows

  // Air-side constants by geometry index g = 0..3.
  std::array<float, 4> GeoAirN{}, GeoAirM{}, GeoAirS{}, GeoAirR{}, GeoAirT{};

  // Finned surface per m2 of face and per row (A) and external/internal surface ratio (B),
  // indexed [p][g]: fin pitch index p = 0..8, geometry g = 0..3.
  std::array<std::array<float, 4>, 9> GeoTabA{}, GeoTabB{};

  // Fin pitch in tenths of a millimetre, by fin pitch index p.
  std::array<float, 9> GeoFinPitch{};

  // The set written last; none before the first selection. After S8 the air-side exponents
  // CurAirM .. CurAirT of the record come from the set, not from the geometry tables.
  std::optional<CoilSet> selectedSet;
};

// Writes one set into the constants. Set S8 writes the air-side exponents CurAirM ..
// CurAirT of the rating record directly.
void SelectCoilConstants(CoilConstants& constants, CoilRatingState& state, CoilSet set);

}  // namespace vestra
