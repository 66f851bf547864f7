#pragma once

// Units of measure. Every quantity is kept in its base unit - capacity in W, water and
// air flow in m3/s, water pressure drop in kPa, air pressure in Pa - and shown or typed
// in the unit the user chose: display = base x factor, in the unit's number format.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "app/texts.h"

namespace vestra {

enum class Quantity { kCapacity, kWaterFlow, kAirFlow, kWaterPressureDrop, kAirPressure };

struct Unit {
  std::string_view name;
  float factor;  // display = base x factor, single precision as the ratings use it
  std::string_view format;
};

// UnitNamesPt / UnitFactPt / UnitFmtPt and the like, indexed by the unit choice.
// 0.86 and 0.102 are the single-precision values 0.8600000143 and 0.1019999981.
inline constexpr std::array<Unit, 2> kUnitsPt{{
    {"W", 1.0f, "######"},
    {"Cal/h - Frig/h", 0.86f, "######"},
}};
inline constexpr std::array<Unit, 2> kUnitsQw{{
    {"l/s", 1000.0f, "0.000"},
    {"l/h", 3600000.0f, "#####"},
}};
inline constexpr std::array<Unit, 3> kUnitsQa{{
    {"l/s", 1000.0f, "###0.0"},
    {"m3/s", 1.0f, "0.000"},
    {"m3/h", 3600.0f, "#####"},
}};
inline constexpr std::array<Unit, 2> kUnitsDpW{{
    {"kPa", 1.0f, "###"},
    {"mH2O", 0.102f, "#0.0"},
}};
inline constexpr std::array<Unit, 2> kUnitsDpA{{
    {"Pa", 1.0f, "###"},
    {"mmH2O", 0.102f, "#0.0"},
}};

// The format of values without a unit choice (temperatures, humidity).
inline constexpr std::string_view FmtOneDecimal = "##0.0";

std::span<const Unit> UnitTable(Quantity quantity);

// The choice a stored number stands for: its nearest integer when that is a position of
// the table, otherwise the first unit. A settings file edited by hand to Pt = 2 would
// otherwise leave the program without a unit name, format or factor (a factor of 0).
std::int16_t ValidUnitChoice(Quantity quantity, double stored);

// The settings' choice for a quantity (UnitPt, UnitQw, UnitQa, UnitDpW, UnitDpA).
std::int16_t UnitChoice(const Settings& settings, Quantity quantity);
void SetUnitChoice(Settings& settings, Quantity quantity, std::int16_t choice);

// The unit of a choice; a choice outside the table is a subscript error (9).
const Unit& ChosenUnit(Quantity quantity, std::int16_t choice);
const Unit& ChosenUnit(const Settings& settings, Quantity quantity);

// A base value in the chosen unit and its format. Engine quantities are singles and
// their display is computed in single precision; water flows are doubles.
std::string DisplayValue(float base, const Unit& unit, char decimalSeparator);
std::string DisplayValue(double base, const Unit& unit, char decimalSeparator);

// A typed value (already converted with the locale's rules) in the base unit.
double BaseFromTyped(double typed, const Unit& unit);
float BaseFromTyped(float typed, const Unit& unit);
// Typed text converted with the locale's separator (type mismatch 13 for a non-number).
double BaseFromTypedText(std::string_view typed, const Unit& unit, char decimalSeparator);

// ---- the units dialog, on plain values --------------------------------------------

struct UnitsDialogCaptions {
  std::string window;             // Text(72)
  std::string capacity;           // lblPotenz: Text(50)
  std::string waterFlow;          // lblQW: Text(48)
  std::string airFlow;            // lblQa: Text(49)
  std::string waterPressureDrop;  // lbldpw: Text(45)
  std::string airPressure;        // lblpsu: Text(58)
  std::string ok = "OK";          // cmdOK, the same in every language
};
UnitsDialogCaptions UnitsDialogTexts(const TextContext& texts);

// The five lists of the units dialog. Built from the settings when the dialog loads; the
// selections made while loading do not couple capacity and water pressure drop, only the
// user's picks do.
class UnitsDialogState {
 public:
  explicit UnitsDialogState(const Settings& settings);

  int position(Quantity quantity) const;

  // The user picks a list entry. Capacity and water pressure drop go together: watts
  // with kilopascals, kilocalories with metres of water column.
  void choose(Quantity quantity, int position);

  // cmdOK: the choices go into the settings and into section "Unmis" of the settings
  // file as Pt, Qa, Qw, DpW, DpA in this order, each in the language-neutral number text.
  // The dialog then closes (call close as well). Returns the first failed write, if any.
  IniWriteResult confirm(Settings& settings, SettingsFile& file) const;

  // Any close, the window's close box included: the choices go into the settings only.
  void close(Settings& settings) const;

 private:
  std::array<int, 5> positions_{};
};

}  // namespace vestra
