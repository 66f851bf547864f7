#include "app/units.h"

#include <cmath>
#include <optional>
#include <utility>

#include "app/numbers.h"
#include "engine/errors.h"
#include "engine/numeric.h"

namespace vestra {
namespace {

constexpr std::array<Quantity, 5> kAllQuantities{Quantity::kCapacity, Quantity::kWaterFlow,
                                                 Quantity::kAirFlow, Quantity::kWaterPressureDrop,
                                                 Quantity::kAirPressure};

std::size_t Slot(Quantity quantity) {
  return static_cast<std::size_t>(quantity);
}

}  // namespace

std::span<const Unit> UnitTable(Quantity quantity) {
  switch (quantity) {
    case Quantity::kCapacity:
      return kUnitsPt;
    case Quantity::kWaterFlow:
      return kUnitsQw;
    case Quantity::kAirFlow:
      return kUnitsQa;
    case Quantity::kWaterPressureDrop:
      return kUnitsDpW;
    case Quantity::kAirPressure:
      return kUnitsDpA;
  }
  Raise(kInvalidArgument);
}

std::int16_t ValidUnitChoice(Quantity quantity, double stored) {
  const double choice = RoundHalfEven(stored);
  if (choice >= 0.0 && choice < static_cast<double>(UnitTable(quantity).size()))
    return static_cast<std::int16_t>(choice);
  return 0;
}

std::int16_t UnitChoice(const Settings& settings, Quantity quantity) {
  switch (quantity) {
    case Quantity::kCapacity:
      return settings.UnitPt;
    case Quantity::kWaterFlow:
      return settings.UnitQw;
    case Quantity::kAirFlow:
      return settings.UnitQa;
    case Quantity::kWaterPressureDrop:
      return settings.UnitDpW;
    case Quantity::kAirPressure:
      return settings.UnitDpA;
  }
  Raise(kInvalidArgument);
}

void SetUnitChoice(Settings& settings, Quantity quantity, std::int16_t choice) {
  switch (quantity) {
    case Quantity::kCapacity:
      settings.UnitPt = choice;
      return;
    case Quantity::kWaterFlow:
      settings.UnitQw = choice;
      return;
    case Quantity::kAirFlow:
      settings.UnitQa = choice;
      return;
    case Quantity::kWaterPressureDrop:
      settings.UnitDpW = choice;
      return;
    case Quantity::kAirPressure:
      settings.UnitDpA = choice;
      return;
  }
}

const Unit& ChosenUnit(Quantity quantity, std::int16_t choice) {
  const auto table = UnitTable(quantity);
  if (choice < 0 || static_cast<std::size_t>(choice) >= table.size()) Raise(kSubscriptOutOfRange);
  return table[static_cast<std::size_t>(choice)];
}

const Unit& ChosenUnit(const Settings& settings, Quantity quantity) {
  return ChosenUnit(quantity, UnitChoice(settings, quantity));
}

std::string DisplayValue(float base, const Unit& unit, char decimalSeparator) {
  const float shown = base * unit.factor;
  return FormatNumber(shown, unit.format, decimalSeparator);
}

std::string DisplayValue(double base, const Unit& unit, char decimalSeparator) {
  const double shown = base * static_cast<double>(unit.factor);
  return FormatNumber(shown, unit.format, decimalSeparator);
}

double BaseFromTyped(double typed, const Unit& unit) {
  return typed / static_cast<double>(unit.factor);
}

float BaseFromTyped(float typed, const Unit& unit) {
  return typed / unit.factor;
}

double BaseFromTypedText(std::string_view typed, const Unit& unit, char decimalSeparator) {
  return BaseFromTyped(LocaleNumber(typed, decimalSeparator), unit);
}

UnitsDialogCaptions UnitsDialogTexts(const TextContext& texts) {
  UnitsDialogCaptions c;
  c.window = texts(72);
  c.capacity = texts(50);
  c.waterFlow = texts(48);
  c.airFlow = texts(49);
  c.waterPressureDrop = texts(45);
  c.airPressure = texts(58);
  return c;
}

UnitsDialogState::UnitsDialogState(const Settings& settings) {
  for (Quantity q : kAllQuantities)
    positions_[Slot(q)] = ValidUnitChoice(q, UnitChoice(settings, q));
}

int UnitsDialogState::position(Quantity quantity) const {
  return positions_[Slot(quantity)];
}

void UnitsDialogState::choose(Quantity quantity, int position) {
  if (position < 0 || static_cast<std::size_t>(position) >= UnitTable(quantity).size())
    Raise(kSubscriptOutOfRange);
  positions_[Slot(quantity)] = position;
  // The coupling goes by the unit's name, as the lists show it.
  if (quantity == Quantity::kCapacity) {
    const bool watts = kUnitsPt[static_cast<std::size_t>(position)].name == "W";
    positions_[Slot(Quantity::kWaterPressureDrop)] = watts ? 0 : 1;  // "kPa" : "mH2O"
  } else if (quantity == Quantity::kWaterPressureDrop) {
    const bool kilopascal = kUnitsDpW[static_cast<std::size_t>(position)].name == "kPa";
    positions_[Slot(Quantity::kCapacity)] = kilopascal ? 0 : 1;  // "W" : "Cal/h - Frig/h"
  }
}

IniWriteResult UnitsDialogState::confirm(Settings& settings, SettingsFile& file) const {
  close(settings);
  // Key order as the settings file has always been written.
  const std::array<std::pair<std::string_view, std::int16_t>, 5> keys{{
      {"Pt", settings.UnitPt},
      {"Qa", settings.UnitQa},
      {"Qw", settings.UnitQw},
      {"DpW", settings.UnitDpW},
      {"DpA", settings.UnitDpA},
  }};
  std::optional<IniWriteResult> failure;
  IniWriteResult last;
  for (const auto& [key, choice] : keys) {
    last = file.WriteIni("Unmis", key, NeutralNumberText(choice));
    if (!last.ok && !failure) failure = last;
  }
  return failure ? *failure : last;
}

void UnitsDialogState::close(Settings& settings) const {
  for (Quantity q : kAllQuantities)
    SetUnitChoice(settings, q, static_cast<std::int16_t>(positions_[Slot(q)]));
}

}  // namespace vestra
