#include "screens/results_table.h"

#include <string>

#include "app/numbers.h"
#include "app/units.h"

namespace vestra::screens {

namespace {

constexpr const char* kDegrees = "°C";

std::string Join(const std::vector<std::string>& cells) {
  std::string text;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i) text += '\t';
    text += cells[i];
  }
  return text;
}

// The capacity label under a capacity column: the last six characters of the unit's
// name, so "Cal/h - Frig/h" shows as "Frig/h".
std::string CapacityLabel(const Session& session) {
  const std::string_view name = ChosenUnit(session.settings, Quantity::kCapacity).name;
  return std::string(name.size() > 6 ? name.substr(name.size() - 6) : name);
}

std::string UnitName(const Session& session, Quantity quantity) {
  return std::string(ChosenUnit(session.settings, quantity).name);
}

std::string Display(float base, Quantity quantity, const Session& session) {
  return DisplayValue(base, ChosenUnit(session.settings, quantity), session.Decimal());
}

std::string OneDecimal(float value, const Session& session) {
  return FormatNumber(value, FmtOneDecimal, session.Decimal());
}

// The symbol and unit cells of the cooling and heating columns, which every layout shares.
void AddDutyHeadings(std::vector<std::string>& symbols, std::vector<std::string>& units,
                     const Session& session, bool withCooling, bool coolWaterIsFlow,
                     bool heatWaterIsFlow) {
  const std::string capacity = CapacityLabel(session);
  const std::string waterFlow = UnitName(session, Quantity::kWaterFlow);
  const std::string pressureDrop = UnitName(session, Quantity::kWaterPressureDrop);
  if (withCooling) {
    symbols.insert(symbols.end(), {"PT", "PS", coolWaterIsFlow ? "QW (C)" : "TW2 (C)",
                                   "DPW (C)", "TA (C)"});
    units.insert(units.end(),
                 {capacity, capacity, coolWaterIsFlow ? waterFlow : kDegrees, pressureDrop,
                  kDegrees});
  }
  symbols.insert(symbols.end(),
                 {"PH", heatWaterIsFlow ? "QW (H)" : "TW2 (H)", "DPW (H)", "TA (H)"});
  units.insert(units.end(),
               {capacity, heatWaterIsFlow ? waterFlow : kDegrees, pressureDrop, kDegrees});
}

void WriteHeadings(CommonForm& form, const std::vector<std::string>& symbols,
                   const std::vector<std::string>& units) {
  form.Grd.AddItem(Join(symbols));
  form.Grd.AddItem(Join(units));
  form.cmdLegend.Visible = true;
}

bool HasPinColumn(std::string_view series) {
  return series == "MIRALP" || series == "MIRAL" || series == "QUIVO" || series == "TORVAEC";
}

}  // namespace

int StandardColumnCount(std::string_view currentSeries, bool allSpeeds) {
  int cols = 13;
  if (currentSeries == "TORVA")
    cols = 15;
  else if (currentSeries == "Q70")
    cols = 8;
  else if (HasPinColumn(currentSeries))
    cols = 14;
  return cols + (allSpeeds ? 1 : 0);
}

void ResetStandardResults(StandardForm& form, const Session& session, bool allSpeeds,
                          bool coolWaterIsFlow, bool heatWaterIsFlow) {
  const std::string_view series = session.settings.CurrentSeries;
  form.Grd.Reset(StandardColumnCount(series, allSpeeds), 1200, 700);
  std::vector<std::string> symbols{""};
  std::vector<std::string> units{session.Text(40)};
  if (allSpeeds) {
    symbols.emplace_back("Vel");
    units.emplace_back("");
  }
  symbols.emplace_back("QA");
  units.push_back(UnitName(session, Quantity::kAirFlow));
  AddDutyHeadings(symbols, units, session, series != "Q70", coolWaterIsFlow, heatWaterIsFlow);
  symbols.insert(symbols.end(), {"LW", "LP"});
  units.insert(units.end(), {"dB(A)", "dB(A)"});
  if (HasPinColumn(series)) {
    symbols.emplace_back("Pin");
    units.emplace_back("W");
  }
  if (series == "TORVA") {
    symbols.insert(symbols.end(), {"H MAx", "L Max"});
    units.insert(units.end(), {"m", "m"});
  }
  WriteHeadings(form, symbols, units);
}

void ResetEcResults(CommonForm& form, const Session& session, bool withSpeedColumn,
                    bool coolWaterIsFlow, bool heatWaterIsFlow) {
  form.Grd.Reset(withSpeedColumn ? 15 : 14, 1100, 695);
  std::vector<std::string> symbols{""};
  std::vector<std::string> units{session.Text(40)};
  if (withSpeedColumn) {
    symbols.emplace_back("SPEED");
    units.emplace_back("RPM");
  }
  symbols.emplace_back("Vin");
  units.emplace_back("V");
  AddDutyHeadings(symbols, units, session, true, coolWaterIsFlow, heatWaterIsFlow);
  symbols.insert(symbols.end(), {"LW", "LP", "Pin"});
  units.insert(units.end(), {"dB(A)", "dB(A)", "W"});
  WriteHeadings(form, symbols, units);
}

std::string StandardRowText(const StandardRow& row, std::string_view currentSeries,
                            bool coolWaterIsFlow, bool heatWaterIsFlow, const Session& session) {
  const char sep = session.Decimal();
  std::vector<std::string> cells{row.model};
  if (row.speed) cells.push_back(*row.speed);
  cells.push_back(Display(row.airFlow, Quantity::kAirFlow, session));
  if (currentSeries != "Q70") {
    if (const auto& c = row.cooling) {
      cells.push_back(Display(c->total, Quantity::kCapacity, session));
      cells.push_back(Display(c->sensible, Quantity::kCapacity, session));
      cells.push_back(coolWaterIsFlow ? Display(c->waterFlow, Quantity::kWaterFlow, session)
                                      : OneDecimal(c->twOut, session));
      cells.push_back(Display(c->pressureDrop, Quantity::kWaterPressureDrop, session));
      cells.push_back(c->taOut > 0 ? OneDecimal(c->taOut, session) : "");
    } else {
      cells.insert(cells.end(), 5, "");
    }
  }
  if (const auto& h = row.heating) {
    cells.push_back(Display(h->capacity, Quantity::kCapacity, session));
    cells.push_back(heatWaterIsFlow ? Display(h->waterFlow, Quantity::kWaterFlow, session)
                                    : OneDecimal(h->twOut, session));
    const Unit& dpw = ChosenUnit(session.settings, Quantity::kWaterPressureDrop);
    // The two-in-one units' small radiator drops are shown with two decimals.
    cells.push_back(currentSeries == "DARNE"
                        ? FormatNumber(static_cast<float>(h->pressureDrop * dpw.factor), "0.00", sep)
                        : Display(h->pressureDrop, Quantity::kWaterPressureDrop, session));
    cells.push_back(h->taOut > 0 ? OneDecimal(h->taOut, session) : "");
  } else {
    cells.insert(cells.end(), 4, "");
  }
  if (row.lwShown) {
    const std::string floor = row.soundFloor ? "< " : "";
    cells.push_back(floor + PlainNumberText(row.lw, sep));
    cells.push_back(floor + std::to_string(row.lp));
  } else {
    cells.insert(cells.end(), 2, "");
  }
  if (row.heightMax) cells.push_back(*row.heightMax);
  if (row.throwMax) cells.push_back(*row.throwMax);
  if (row.pin) cells.push_back(PlainNumberText(*row.pin, sep));
  return Join(cells);
}

void FillStandardLegend(StandardForm& form, const Session& session) {
  const std::string_view series = session.settings.CurrentSeries;
  auto both = [&](int what, int duty) {
    return session.Text(what) + "(" + session.Text(duty) + ")";
  };
  const std::string descriptions[kLegendPairs] = {
      session.Text(49),  session.Text(55),  session.Text(52),  both(48, 62), both(94, 62),
      both(45, 62),      both(96, 62),      session.Text(159), both(48, 65), both(94, 65),
      both(45, 65),      both(96, 65),      session.Text(53),  session.Text(57),
      series == "TORVA" ? session.Text(11) : "",
      series == "TORVA" ? session.Text(12) : "",
      series == "MIRAL" || series == "MIRALP" ? session.Text(172) : "Potenza assorbita",
  };
  const char* symbols[kLegendPairs] = {"QA",      "PT",     "PS",      "QW (C)", "TW2 (C)",
                                       "DPW (C)", "TA (C)", "PH",      "QW (H)", "TW2 (H)",
                                       "DPW (H)", "TA (H)", "LW",      "LP",     "HMax",
                                       "LMax",    "Pin"};
  for (int i = 0; i < kLegendPairs; ++i) {
    form.lblLegSim[static_cast<std::size_t>(i)].Caption = symbols[i];
    form.lblLegDes[static_cast<std::size_t>(i)].Caption = descriptions[i];
  }
  // Mounting height and throw are unit-heater data.
  form.frmTorva.Visible = series == "TORVA";
}

}  // namespace vestra::screens
