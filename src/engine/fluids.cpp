#include "engine/fluids.h"

#include <cmath>

#include "engine/coil_state.h"
#include "engine/glycol_coefficients.h"
#include "engine/numeric.h"

namespace vestra {

namespace {

// pi as the program has always computed it: four times the arctangent of 1, in single.
const float kPiSingle = static_cast<float>(4.0 * std::atan(1.0));

// Fifth-degree polynomial in g, stored as a single.
float PolyG(float g, double c0, double c1, double c2, double c3, double c4, double c5) {
  return Sng(c0 + c1 * g + c2 * Pow(g, 2) + c3 * Pow(g, 3) + c4 * Pow(g, 4) + c5 * Pow(g, 5));
}

}  // namespace

float GlycolFourierTable::Evaluate(float g) const {
  float sum = 0;
  for (int k = 1; k <= n; ++k) {
    const float kSingle = static_cast<float>(k);
    const double x = static_cast<double>(kSingle) * kPiSingle * g / halfPeriod;
    sum = Sng(sum + a[k] * std::cos(x) + b[k] * std::sin(x));
  }
  return Sng(a[0] / 2 + sum);
}

GlycolTables InitGlycolTables() {
  GlycolTables tables;
  for (std::size_t i = 0; i < tables.table.size(); ++i) {
    const auto& source = glycol_data::kCoefficients[i];
    GlycolFourierTable& t = tables.table[i];
    t.n = source.n;
    t.halfPeriod = static_cast<float>(source.halfPeriod);
    t.a.assign(source.a.begin(), source.a.begin() + source.n + 1);
    t.b.assign(source.b.begin(), source.b.begin() + source.n + 1);
    t.b[0] = 0;
  }
  return tables;
}

float WaterCp(float t) {
  const float T = Sng(t + 273.15);
  return Sng(5.6158 - 0.0090277 * T + 0.000014177 * Pow(T, 2));
}

float WaterConductivity(float t) {
  const float T = Sng(t + 273.15);
  return Sng(-0.4806 + 0.00584704 * T - 7.33188e-6 * Pow(T, 2));
}

float WaterDensity(float t) {
  const float T = Sng(t + 273.15);
  return Sng(766.17 + 1.80396 * T - 0.0034589 * Pow(T, 2));
}

float WaterViscosity(float t) {
  // Fit in degC, giving mPa s x 1000; the result is Pa s.
  return Sng((1683.26 - 44.4511 * t + 0.635178 * Pow(t, 2) - 0.00495205 * Pow(t, 3) +
              1.95084e-5 * Pow(t, 4) - 3.02098e-8 * Pow(t, 5)) /
             1000000);
}

float GlycolCp(const GlycolTables& tables, float t, float g) {
  // The bracket is in J/(kg K).
  const float a = PolyG(g, 4221.24, -8.81552, -0.434489, 0.00310911, 2.78747e-5, -2.6371e-7);
  const float b1 = tables[kC1].Evaluate(g);
  const float b2 = tables[kC2].Evaluate(g);
  const float b3 = tables[kC3].Evaluate(g);
  return Sng((double{a} + double{b1} * t + b2 * Pow(t, 2) + b3 * Pow(t, 3)) / 1000);
}

double GlycolConductivity(const GlycolTables& tables, float t, float g) {
  const float a =
      PolyG(g, 0.574176, -0.00386928, 8.74643e-5, -2.73712e-6, 3.35989e-8, -1.37783e-10);
  const float b1 = tables[kK1].Evaluate(g);
  const float b2 = tables[kK2].Evaluate(g);
  const float b3 = tables[kK3].Evaluate(g);
  return Dbl(double{a} + double{b1} * t + b2 * Pow(t, 2) + b3 * Pow(t, 3));
}

double GlycolDensity(const GlycolTables& tables, float t, float g) {
  const float a = PolyG(g, 1001.86, 2.12132, -0.0423041, 0.00105156, -1.14852e-5, 4.33288e-8);
  const float b1 = tables[kD1].Evaluate(g);
  const float b2 = tables[kD2].Evaluate(g);
  const float b3 = tables[kD3].Evaluate(g);
  return Dbl(double{a} + double{b1} * t + b2 * Pow(t, 2) + b3 * Pow(t, 3));
}

double GlycolViscosity(const GlycolTables& tables, float t, float g) {
  // E is the decimal logarithm of the viscosity in mPa s.
  const float a = PolyG(g, 0.248297, 0.0114403, 6.68495e-5, -4.20271e-7, -6.11731e-9, 7.42797e-11);
  const float b1 = tables[kV1].Evaluate(g);
  const float b2 = tables[kV2].Evaluate(g);
  const float b3 = tables[kV3].Evaluate(g);
  const float b4 = tables[kV4].Evaluate(g);
  const float b5 = tables[kV5].Evaluate(g);
  const float e = Sng(double{a} + double{b1} * t + b2 * Pow(t, 2) + b3 * Pow(t, 3) +
                      b4 * Pow(t, 4) + b5 * Pow(t, 5));
  return Dbl(Pow(10, e) / 1000);
}

void UpdateWaterProperties(CoilRatingState& state, const GlycolTables& tables, float tMean,
                           float g) {
  if (g > 0) {
    state.muWater = Sng(GlycolViscosity(tables, tMean, g));
    state.kWater = Sng(GlycolConductivity(tables, tMean, g));
    state.rhoWater = Sng(GlycolDensity(tables, tMean, g));
    state.cpWater = GlycolCp(tables, tMean, g);
  } else {
    state.muWater = WaterViscosity(tMean);
    state.kWater = WaterConductivity(tMean);
    state.rhoWater = WaterDensity(tMean);
    state.cpWater = WaterCp(tMean);
  }
  // cp in kJ/(kg K) x 1000 x mu / k.
  state.prWater = Sng(Div(double{state.cpWater} * state.muWater * 3600.0, state.kWater * 3.6));
}

}  // namespace vestra
