#pragma once

// Properties of the fluid inside the coil tubes: plain water, and water with ethylene
// glycol. Water uses short polynomial fits in temperature; the glycol mixtures use, per
// property, a polynomial in temperature whose coefficients are Fourier series over the
// glycol percentage (fourteen coefficient tables, filled once by InitGlycolTables).
//
// Units: t in degC, g in % (mass, 0..65 is the fitted range), cp in kJ/(kg K), density
// in kg/m3, dynamic viscosity in Pa s, conductivity in W/(m K).

#include <array>
#include <vector>

namespace vestra {

struct CoilRatingState;

// One Fourier table: F(g) = a0 / 2 + sum_k [ak cos(k pi g / L) + bk sin(k pi g / L)].
struct GlycolFourierTable {
  int n = 0;              // number of harmonics N
  float halfPeriod = 0;   // L, % glycol
  std::vector<double> a;  // a0..aN
  std::vector<double> b;  // b1..bN (b[0] unused)

  // The partial sums are kept in single precision, term by term.
  float Evaluate(float g) const;
};

// The fourteen tables in the order they are filled.
enum GlycolTableId { kD1, kD2, kD3, kC1, kC2, kC3, kK1, kK2, kK3, kV1, kV2, kV3, kV4, kV5 };

struct GlycolTables {
  std::array<GlycolFourierTable, 14> table;
  const GlycolFourierTable& operator[](GlycolTableId id) const { return table[id]; }
};

// Sizes every table and stores its constant coefficients, D1 .. V5.
GlycolTables InitGlycolTables();

float WaterCp(float t);
float WaterDensity(float t);
float WaterViscosity(float t);
float WaterConductivity(float t);

float GlycolCp(const GlycolTables& tables, float t, float g);
double GlycolDensity(const GlycolTables& tables, float t, float g);
double GlycolViscosity(const GlycolTables& tables, float t, float g);
double GlycolConductivity(const GlycolTables& tables, float t, float g);

// cp, density, viscosity, conductivity and Prandtl number of the tube-side fluid at the
// mean water temperature, into the rating record. A glycol share of 0 (or less) takes
// the plain-water fits.
void UpdateWaterProperties(CoilRatingState& state, const GlycolTables& tables, float tMean,
                           float g);

}  // namespace vestra
