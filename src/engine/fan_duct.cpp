#include "engine/fan_duct.h"

#include <cmath>

#include "engine/errors.h"
#include "engine/numeric.h"

namespace vestra {

namespace {

constexpr int kSearchPasses = 20;

// Sum of the losses of the ticked accessories, in row order.
float TickedLosses(const OutletSection& outlet, float flowM3s, std::span<const AccessoryRow> rows,
                   std::span<const bool> ticked) {
  float sum = 0;
  for (std::size_t i = 0; i < ticked.size(); ++i) {
    if (!ticked[i]) continue;
    if (i >= rows.size()) Raise(kSubscriptOutOfRange);
    sum = Sng(static_cast<double>(sum) + AccessoryLoss(rows[i], outlet, flowM3s));
  }
  return sum;
}

}  // namespace

double FanStaticPressure(double flowM3h, const FanCurve& curve) {
  return Dbl(curve.va * (flowM3h * flowM3h) + curve.vb * flowM3h + curve.vc);
}

float FanFlowAtPressure(float pressurePa, const FanCurve& curve, bool* found) {
  // The free-delivery flow, to the next 10 m3/h.
  float high = 2000;
  for (int q = 50; q <= 2500; q += 10) {
    if (FanStaticPressure(q, curve) < 0) {
      high = static_cast<float>(q);
      break;
    }
  }
  float low = 0;
  for (int pass = 0; pass < kSearchPasses; ++pass) {
    const float q = Sng((static_cast<double>(high) + low) / 2);
    const double r = FanStaticPressure(q, curve);
    if (LessSng(std::fabs(pressurePa - r), 0.001)) {
      if (found) *found = true;
      return q;
    }
    if (r > pressurePa)
      low = q;
    else
      high = q;
  }
  if (found) *found = false;
  return 0;
}

float AccessoryLoss(const AccessoryRow& row, const OutletSection& outlet, float flowM3s) {
  const float v = row.onSpigots
                      ? Sng(Div(flowM3s, outlet.spigots * static_cast<double>(kSpigotAreaM2)))
                      : Sng(Div(flowM3s, outlet.sectionM2));
  return Sng(row.cost * Pow(v, row.exponent));
}

float AccessoryPressureAdded(float pressurePa, const OutletSection& outlet, float flowM3s,
                             std::span<const AccessoryRow> rows, std::span<const bool> ticked) {
  return Sng(static_cast<double>(pressurePa) + TickedLosses(outlet, flowM3s, rows, ticked));
}

float AccessoryPressureRemoved(float pressurePa, const OutletSection& outlet, float flowM3s,
                               std::span<const AccessoryRow> rows, std::span<const bool> ticked) {
  return Sng(static_cast<double>(pressurePa) - TickedLosses(outlet, flowM3s, rows, ticked));
}

float DuctFlowAtPressure(float pressurePa, const FanCurve& curve, bool withAccessories,
                         const OutletSection& outlet, std::span<const AccessoryRow> rows,
                         std::span<const bool> ticked, bool* found) {
  float high = 7000;
  float low = 0;
  for (int pass = 0; pass < kSearchPasses; ++pass) {
    const float q = Sng((static_cast<double>(high) + low) / 2);
    double r = FanStaticPressure(q, curve);
    if (withAccessories)
      r = AccessoryPressureRemoved(Sng(r), outlet, Sng(q / 3600.0), rows, ticked);
    if (std::fabs(pressurePa - r) < 0.01) {
      if (found) *found = true;
      return q;
    }
    if (r > pressurePa)
      low = q;
    else
      high = q;
  }
  if (found) *found = false;
  return 0;
}

std::optional<float> FreeBlowingFlowAtPressure(float q, float p) {
  if (p > 0 && p < 10) {
    const float f10 = Sng(1.2 - 10.0 / 1000 - 0.19 * q + 0.19 * Ln(q));
    return Sng((1 - p / 10.0) * q + p * f10 * q / 10);
  }
  if (p >= 10) {
    const double k = 0.004 * p + 0.15;
    const float f = Sng(1.2 - p / 1000.0 - k * q + k * Ln(q));
    if (f < 0.5) return std::nullopt;
    return Sng(f * double{q});
  }
  return q;
}

}  // namespace vestra
