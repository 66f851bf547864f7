#pragma once

// Fan operating point against duct pressure. A fan step's curve gives the available
// static pressure as a quadratic in the air flow; duct accessories (filters, plenums,
// grilles) lose pressure as a power of the air velocity through the unit's outlet or
// through its circular spigots. The screens pass the model's curve coefficients, outlet
// section, spigot count and the accessory rows as plain values.
//
// Air flows are in m3/h for the curve operations and in m3/s for the accessory losses.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vestra {

// Static pressure in Pa = va Q^2 + vb Q + vc at an air flow Q in m3/h.
struct FanCurve {
  float va = 0, vb = 0, vc = 0;
};

// The air outlet of a model: its free section and its circular spigots.
struct OutletSection {
  float sectionM2 = 0;       // TabSezione
  std::int16_t spigots = 0;  // TabBocche
};

// One row of the accessory pressure-drop table: loss = cost x v^exponent, Pa.
struct AccessoryRow {
  float cost = 0;          // AccCost
  float exponent = 0;      // AccEspo
  bool onSpigots = false;  // fitted on the circular spigots (AccOPZBoc "S")
};

// The accessory table marks an accessory fitted on the spigots with exactly "S".
inline bool IsSpigotAccessory(std::string_view opzBoc) {
  return opzBoc == "S";
}

// Free area of one circular spigot of 200 mm, m2.
inline constexpr float kSpigotAreaM2 = 0.0314f;

double FanStaticPressure(double flowM3h, const FanCurve& curve);

// Air flow in m3/h at which the curve gives pressurePa: bisection between 0 and the
// curve's free-delivery flow (the first of 50, 60 ... 2500 m3/h where the pressure is
// below 0; 2000 when there is none), at most 20 passes, to 0.001 Pa. 0 when not found;
// found, when given, says which.
float FanFlowAtPressure(float pressurePa, const FanCurve& curve, bool* found = nullptr);

// The loss of one accessory at an air flow in m3/s.
float AccessoryLoss(const AccessoryRow& row, const OutletSection& outlet, float flowM3s);

// pressurePa plus (Added) or minus (Removed) the losses of the ticked accessories at an
// air flow in m3/s. ticked[i] stands for rows[i]; accessories are visited in row order.
// A tick without a row is a subscript error (9).
float AccessoryPressureAdded(float pressurePa, const OutletSection& outlet, float flowM3s,
                             std::span<const AccessoryRow> rows, std::span<const bool> ticked);
float AccessoryPressureRemoved(float pressurePa, const OutletSection& outlet, float flowM3s,
                               std::span<const AccessoryRow> rows, std::span<const bool> ticked);

// Air flow in m3/h at which the curve, less the losses of the ticked accessories when
// withAccessories is set, gives pressurePa: bisection between 0 and 7000 m3/h, at most 20
// passes, to 0.01 Pa. 0 when not found; found, when given, says which.
float DuctFlowAtPressure(float pressurePa, const FanCurve& curve, bool withAccessories,
                         const OutletSection& outlet, std::span<const AccessoryRow> rows,
                         std::span<const bool> ticked, bool* found = nullptr);

// The catalogue air flow of a unit rated free-blowing (no duct, no grille), reduced for an
// external static pressure: the maker's correction fitted to the flow tests of its fan coils
// and cassettes, f = 1.2 - p/1000 - k Q + k ln Q with k = 0.004 p + 0.15 (Q in m3/s, p in
// Pa). Below 10 Pa the flow is blended linearly between the free flow at 0 Pa and the
// corrected flow at 10 Pa. A unit whose factor falls below 0.5 would be pushed to half its
// free flow or less, where its fan stalls: such a unit is not offered (nothing returned).
// No pressure, or a negative one, leaves the flow as it is.
std::optional<float> FreeBlowingFlowAtPressure(float flowM3s, float pressurePa);

}  // namespace vestra
