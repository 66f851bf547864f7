#include "screens/results_table.h"

#include <string>

#include "app/numbers.h"
#include "app/units.h"

namespace vestra::screens {

namespace {

constexpr const char* kDegrees = "°C";

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

}  // namespace

// The symbol and unit cells of the cooling and heating columns, which every layout shares.
void AddDutyHeadings(std::vector<std::string>& symbols, std::vector<std::string>& units,
                     const Session& session, bool withCooling, bool coolWaterIsFlow,
                     bool heatWaterIsFlow) {
  const std::string capacity = CapacityLabel(session);
  const std::string waterFlow = UnitName(session, Quantity::kWaterFlow);
  const std::string pressureDrop = UnitName(session, Quantity::kWaterPressureDrop);
  if (withCooling) {
    symbols.insert(symbols.end(),
                   {"PT", "PS", coolWaterIsFlow ? "QW (C)" : "TW2 (C)", "DPW (C)", "TA (C)"});
    units.insert(units.end(), {capacity, capacity, coolWaterIsFlow ? waterFlow : kDegrees,
                               pressureDrop, kDegrees});
  }
  symbols.insert(symbols.end(),
                 {"PH", heatWaterIsFlow ? "QW (H)" : "TW2 (H)", "DPW (H)", "TA (H)"});
  units.insert(units.end(),
               {capacity, heatWaterIsFlow ? waterFlow : kDegrees, pressureDrop, kDegrees});
}

void WriteHeadings(CommonForm& form, const std::vector<std::string>& symbols,
                   const std::vector<std::string>& units) {
  form.Grd.AddItem(JoinCells(symbols));
  form.Grd.AddItem(JoinCells(units));
  form.cmdLegend.Visible = true;
}

std::string JoinCells(const std::vector<std::string>& cells) {
  std::string text;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i) text += '\t';
    text += cells[i];
  }
  return text;
}

int StandardColumnCount(const SeriesTraits& traits, bool allSpeeds) {
  // Model, air flow, five cooling, four heating and two sound columns.
  int cols = 13;
  if (!traits.cooling) cols -= 5;
  if (traits.absorbedPowerColumn) cols += 1;
  if (traits.mountingColumns) cols += 2;
  return cols + (allSpeeds ? 1 : 0);
}

void ResetStandardResults(StandardForm& form, const SeriesTraits& traits, const Session& session,
                          bool allSpeeds, bool coolWaterIsFlow, bool heatWaterIsFlow) {
  form.Grd.Reset(StandardColumnCount(traits, allSpeeds), 1200, 700);
  std::vector<std::string> symbols{""};
  std::vector<std::string> units{session.Text(40)};
  if (allSpeeds) {
    symbols.emplace_back("Vel");
    units.emplace_back("");
  }
  symbols.emplace_back("QA");
  units.push_back(UnitName(session, Quantity::kAirFlow));
  AddDutyHeadings(symbols, units, session, traits.cooling, coolWaterIsFlow, heatWaterIsFlow);
  symbols.insert(symbols.end(), {"LW", "LP"});
  units.insert(units.end(), {"dB(A)", "dB(A)"});
  if (traits.absorbedPowerColumn) {
    symbols.emplace_back("Pin");
    units.emplace_back("W");
  }
  if (traits.mountingColumns) {
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

void AddCoolingCells(std::vector<std::string>& cells, const DutyOutcome<CoolingFigures>& cooling,
                     bool coolWaterIsFlow, const Session& session, AirOutCell airOut) {
  if (!cooling.HasFigures()) {
    cells.insert(cells.end(), 5, "");
    return;
  }
  const CoolingFigures& c = cooling.figures;
  cells.push_back(Display(c.totalW, Quantity::kCapacity, session));
  cells.push_back(Display(c.sensibleW, Quantity::kCapacity, session));
  cells.push_back(coolWaterIsFlow ? Display(c.waterFlowM3s, Quantity::kWaterFlow, session)
                                  : OneDecimal(c.twOutC, session));
  cells.push_back(Display(c.pressureDropKPa, Quantity::kWaterPressureDrop, session));
  const bool shown = airOut == AirOutCell::kAlways || c.taOutC > 0;
  cells.push_back(shown ? OneDecimal(c.taOutC, session) : "");
}

void AddHeatingCells(std::vector<std::string>& cells, const DutyOutcome<HeatingFigures>& heating,
                     bool heatWaterIsFlow, const Session& session, std::string_view dropFormat,
                     AirOutCell airOut) {
  if (!heating.HasFigures()) {
    cells.insert(cells.end(), 4, "");
    return;
  }
  const HeatingFigures& h = heating.figures;
  cells.push_back(Display(h.capacityW, Quantity::kCapacity, session));
  cells.push_back(heatWaterIsFlow ? Display(h.waterFlowM3s, Quantity::kWaterFlow, session)
                                  : OneDecimal(h.twOutC, session));
  const Unit& dpw = ChosenUnit(session.settings, Quantity::kWaterPressureDrop);
  cells.push_back(dropFormat.empty()
                      ? Display(h.pressureDropKPa, Quantity::kWaterPressureDrop, session)
                      : FormatNumber(static_cast<float>(h.pressureDropKPa * dpw.factor), dropFormat,
                                     session.Decimal()));
  const bool shown = airOut == AirOutCell::kAlways || h.taOutC > 0;
  cells.push_back(shown ? OneDecimal(h.taOutC, session) : "");
}

std::string StandardRowText(const RatedRow& row, const SeriesTraits& traits, bool coolWaterIsFlow,
                            bool heatWaterIsFlow, const Session& session) {
  const char sep = session.Decimal();
  std::vector<std::string> cells{row.modelName};
  if (row.speedName) cells.push_back(*row.speedName);
  cells.push_back(Display(row.airFlowM3s, Quantity::kAirFlow, session));
  if (traits.cooling) AddCoolingCells(cells, row.cooling, coolWaterIsFlow, session);
  AddHeatingCells(cells, row.heating, heatWaterIsFlow, session, traits.heatingDropFormat);
  if (row.soundShown) {
    const std::string floor = row.soundAtFloor ? "< " : "";
    cells.push_back(floor + PlainNumberText(row.soundPowerDb, sep));
    cells.push_back(floor + std::to_string(static_cast<int>(row.soundPressureDb)));
  } else {
    cells.insert(cells.end(), 2, "");
  }
  if (row.heightMax) cells.push_back(*row.heightMax);
  if (row.throwMax) cells.push_back(*row.throwMax);
  if (row.absorbedPowerW) cells.push_back(PlainNumberText(*row.absorbedPowerW, sep));
  return JoinCells(cells);
}

namespace {

// The legend pairs every screen has, in their order: symbol and description.
void FillCommonLegend(CommonForm& form, const Session& session) {
  auto both = [&](int what, int duty) {
    return session.Text(what) + "(" + session.Text(duty) + ")";
  };
  const std::string descriptions[14] = {
      session.Text(49), session.Text(55), session.Text(52),  both(48, 62),     both(94, 62),
      both(45, 62),     both(96, 62),     session.Text(159), both(48, 65),     both(94, 65),
      both(45, 65),     both(96, 65),     session.Text(53),  session.Text(57),
  };
  const char* symbols[14] = {"QA", "PT",     "PS",      "QW (C)",  "TW2 (C)", "DPW (C)", "TA (C)",
                             "PH", "QW (H)", "TW2 (H)", "DPW (H)", "TA (H)",  "LW",      "LP"};
  for (std::size_t i = 0; i < 14; ++i) {
    form.lblLegSim[i].Caption = symbols[i];
    form.lblLegDes[i].Caption = descriptions[i];
  }
}

}  // namespace

void FillStandardLegend(StandardForm& form, const SeriesTraits& traits, const Session& session) {
  FillCommonLegend(form, session);
  form.lblLegSim[14].Caption = "HMax";
  form.lblLegSim[15].Caption = "LMax";
  form.lblLegSim[16].Caption = "Pin";
  form.lblLegDes[14].Caption = traits.mountingColumns ? session.Text(11) : "";
  form.lblLegDes[15].Caption = traits.mountingColumns ? session.Text(12) : "";
  form.lblLegDes[16].Caption =
      traits.localisedPowerLegend ? session.Text(172) : "Potenza assorbita";
  // Mounting height and throw are unit-heater data.
  form.frmTorva.Visible = traits.mountingColumns;
}

void FillDuctedLegend(DuctedForm& form, const Session& session) {
  FillCommonLegend(form, session);
  // The ducted screens have no unit-heater or absorbed-power pairs.
  for (std::size_t i = 14; i < kLegendPairs; ++i) {
    form.lblLegSim[i].Visible = false;
    form.lblLegDes[i].Visible = false;
  }
}

void FillEcLegend(CommonForm& form, const Session& session) {
  FillCommonLegend(form, session);
  // Fixed texts, the same in every language.
  form.lblLegSim[14].Caption = "SPEED";
  form.lblLegDes[14].Caption = "Curva impostata inverter";
  form.lblLegSim[15].Caption = "Vin";
  form.lblLegDes[15].Caption = "Tensione di comando iverter (0-10v)";
  form.lblLegSim[16].Visible = false;
  form.lblLegDes[16].Visible = false;
}

}  // namespace vestra::screens
