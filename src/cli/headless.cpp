#include "cli/headless.h"

#include <cmath>
#include <iostream>

#include "app/settings.h"
#include "app/texts.h"
#include "app/units.h"
#include "cli/cli_common.h"
#include "data/store.h"
#include "engine/shown_text.h"
#include "screens/dispatch.h"
#include "screens/tab_order.h"

namespace vestra::cli {

using namespace vestra::screens;

namespace {

const char* StatusName(DutyStatus status) {
  switch (status) {
    case DutyStatus::kConverged:
      return "converged";
    case DutyStatus::kNotConverged:
      return "not converged";
    case DutyStatus::kNotRated:
      return "not rated";
  }
  return "";
}

std::string Optional(const std::optional<float>& value) {
  return value ? JsonNumber(*value) : "null";
}

std::string OptionalText(const std::optional<std::string>& text) {
  return text ? JsonString(*text) : "null";
}

std::string CoolingValues(const DutyOutcome<CoolingFigures>& duty) {
  std::vector<std::pair<std::string, std::string>> fields{
      {"status", JsonString(StatusName(duty.status))}};
  if (duty.HasFigures()) {
    const CoolingFigures& f = duty.figures;
    fields.insert(fields.end(), {{"totalW", JsonNumber(f.totalW)},
                                 {"sensibleW", JsonNumber(f.sensibleW)},
                                 {"waterFlowM3s", JsonNumber(f.waterFlowM3s)},
                                 {"twOutC", JsonNumber(f.twOutC)},
                                 {"pressureDropKPa", JsonNumber(f.pressureDropKPa)},
                                 {"taOutC", JsonNumber(f.taOutC)}});
  }
  return JsonObject(fields);
}

std::string HeatingValues(const DutyOutcome<HeatingFigures>& duty) {
  std::vector<std::pair<std::string, std::string>> fields{
      {"status", JsonString(StatusName(duty.status))}};
  if (duty.HasFigures()) {
    const HeatingFigures& f = duty.figures;
    fields.insert(fields.end(), {{"capacityW", JsonNumber(f.capacityW)},
                                 {"waterFlowM3s", JsonNumber(f.waterFlowM3s)},
                                 {"twOutC", JsonNumber(f.twOutC)},
                                 {"pressureDropKPa", JsonNumber(f.pressureDropKPa)},
                                 {"taOutC", JsonNumber(f.taOutC)}});
  }
  return JsonObject(fields);
}

}  // namespace

// Text of the command line shown in a message: cut, quoted, its control characters escaped.
std::string Echo(std::string_view text) {
  return QuotedValue(text);
}

// A screen's message on one line of stderr.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

// A whole number from low to high, checked before it is narrowed.
std::optional<int> WholeNumberIn(std::string_view text, int low, int high) {
  const std::optional<double> number = ParseNumber(text);
  if (!number || *number != std::floor(*number) || *number < low || *number > high)
    return std::nullopt;
  return static_cast<int>(*number);
}

const char* IconName(Icon icon) {
  switch (icon) {
    case Icon::kError:
      return "error";
    case Icon::kWarning:
      return "warning";
    default:
      return "none";
  }
}

// Picks a list entry by its index or its text.
int ChooseEntry(const ComboBox& combo, const std::string& choice, std::string_view what) {
  if (choice == "all") return 0;
  for (int i = 0; i < combo.ListCount(); ++i)
    if (combo.List[static_cast<std::size_t>(i)] == choice) return i;
  if (const std::optional<int> number = WholeNumberIn(choice, 0, combo.ListCount() - 1))
    return *number;
  std::string entries;
  for (int i = 1; i < combo.ListCount(); ++i)
    entries += (i > 1 ? ", " : "") + combo.List[static_cast<std::size_t>(i)];
  throw UsageError{"no " + std::string(what) + " " + Echo(choice) + "; the list holds: " + entries};
}

// The controls a --set may name on the screen as the series sets it up: the fields,
// boxes and lists the user can reach, in tab order.
std::vector<std::string> SettableControls(const SelectionScreen& screen) {
  std::vector<std::string> names;
  for (const ControlRef& ref : screen.TabOrder())
    if ((screen.Field(ref) || screen.Check(ref) || screen.Combo(ref) || screen.Scroll(ref)) &&
        screen.IsUsable(ref))
      names.push_back(ControlName(ref));
  return names;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
  return out;
}

// A --set whose field the screen rejected (a range reset, the wet-bulb rule, the order of
// the water temperatures): the run stops, as the user would have to mend it first.

// Types text into a control as a user does, then leaves it towards the next control.
void ApplySet(SelectionScreen& screen, RecordingUi& ui, const std::string& name,
              const std::string& text, const Session& session) {
  const std::optional<ControlRef> control = ParseControlName(name);
  const bool isField = control && screen.Field(*control) != nullptr;
  const bool isCheck = control && screen.Check(*control) != nullptr;
  const bool isCombo = control && screen.Combo(*control) != nullptr;
  const bool isScroll = control && screen.Scroll(*control) != nullptr;
  if (!isField && !isCheck && !isCombo && !isScroll)
    throw UsageError{"unknown control " + Echo(name) + "; " + session.settings.CurrentSeries +
                     " takes " + Joined(SettableControls(screen))};
  if (!screen.IsUsable(*control))
    throw UsageError{"\"" + name + "\" is hidden or disabled for " +
                     session.settings.CurrentSeries + "; it takes " +
                     Joined(SettableControls(screen))};
  auto usable = [&](ControlRef c) { return screen.IsUsable(c); };
  const ControlRef next = NextInTabOrder(screen.TabOrder(), *control, usable);
  const std::size_t before = ui.messages.size();
  screen.GotFocus(*control);
  if (isField) {
    std::string typed;
    for (const char c : text) typed += screen.Form_KeyPress(c).key;
    screen.Field(*control)->Text = typed;
  } else if (isCheck) {
    if (text != "0" && text != "1") throw UsageError{"a check box takes 0 or 1, not " + Echo(text)};
    screen.CheckBox_Click(*control, text == "1");
  } else if (isScroll) {
    const ScrollBar& bar = *screen.Scroll(*control);
    const std::optional<int> value = WholeNumberIn(text, bar.Min, bar.Max);
    if (!value)
      throw UsageError{name + " takes a whole number from " + std::to_string(bar.Min) + " to " +
                       std::to_string(bar.Max) + ", not " + Echo(text)};
    screen.ScrollBar_Change(*control, *value);
  } else {
    ComboBox& combo = *screen.Combo(*control);
    combo.ListIndex = ChooseEntry(combo, text, name);
  }
  screen.LostFocus(*control, next);
  if (ui.messages.size() > before) {
    Rejected rejected;
    for (std::size_t i = before; i < ui.messages.size(); ++i)
      rejected.messages.push_back(name + ": " + OneLine(ui.messages[i].text));
    throw rejected;
  }
}

std::string TsvRow(const std::vector<std::string>& cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
  return line;
}

std::string JsonArray(const std::vector<std::string>& cells) {
  std::string out = "[";
  for (std::size_t i = 0; i < cells.size(); ++i) out += (i ? ", " : "") + JsonString(cells[i]);
  return out + "]";
}

// The cells a row shows: the grid's columns, trailing cells of a shorter row empty.
std::vector<std::string> Shown(const ResultsGrid& grid, int row) {
  std::vector<std::string> cells;
  for (int col = 0; col < grid.Cols; ++col) cells.push_back(grid.Cell(row, col));
  return cells;
}

// One row's figures as numbers in base units, with each duty's status: what a script reads
// instead of the formatted cells.
std::string RowValues(const RatedRow& row, const SelectionScreen& screen) {
  std::optional<std::string> speed = row.speedName;
  if (const ComboBox* speeds = screen.Combo(Control(Ctl::cboVel));
      speeds && row.step > 0 && row.step < speeds->ListCount())
    speed = speeds->List[static_cast<std::size_t>(row.step)];
  return JsonObject({
      {"model", JsonString(row.modelName)},
      {"modelIndex", std::to_string(row.model)},
      {"step", std::to_string(row.step)},
      {"speed", OptionalText(speed)},
      {"airFlowM3s", JsonNumber(row.airFlowM3s)},
      {"cooling", CoolingValues(row.cooling)},
      {"heating", HeatingValues(row.heating)},
      {"soundPowerDb", row.soundShown ? JsonNumber(row.soundPowerDb) : "null"},
      {"soundPressureDb", row.soundShown ? JsonNumber(row.soundPressureDb) : "null"},
      {"soundAtFloor", row.soundAtFloor ? "true" : "false"},
      {"absorbedPowerW", Optional(row.absorbedPowerW)},
      {"heightMax", OptionalText(row.heightMax)},
      {"throwMax", OptionalText(row.throwMax)},
  });
}

bool ParseRunOption(int argc, char** argv, int& i, RunSettings& run) {
  const std::string_view option = argv[i];
  auto value = [&]() -> std::string {
    if (i + 1 >= argc) throw UsageError{"missing value after " + std::string(option)};
    return argv[++i];
  };
  if (option == "--units") {
    const std::string list = value();
    std::array<std::int16_t, 5> units{};
    std::size_t start = 0;
    for (std::size_t k = 0; k < 5; ++k) {
      const std::size_t comma = list.find(',', start);
      const std::string item =
          list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      const std::optional<int> number = WholeNumberIn(item, 0, 2);
      if (!number || (comma == std::string::npos) != (k == 4))
        throw UsageError{"--units needs five unit choices Pt,Qa,Qw,DpW,DpA (0, 1 or 2), not " +
                         Echo(list)};
      units[k] = static_cast<std::int16_t>(*number);
      start = comma + 1;
    }
    run.units = units;
  } else if (option == "--lang") {
    const std::string text = value();
    const std::optional<int> number = WholeNumberIn(text, 0, 14);
    if (!number) throw UsageError{"--lang needs a language index 0..14, not " + Echo(text)};
    run.lang = static_cast<std::int16_t>(*number);
  } else if (option == "--decimal-separator") {
    const std::string text = value();
    if (text != "." && text != ",")
      throw UsageError{"--decimal-separator must be \".\" or \",\", not " + Echo(text)};
    run.decimalSeparator = text;
  } else if (option == "--nolimits") {
    run.noLimits = true;
  } else {
    return false;
  }
  return true;
}

std::unique_ptr<Session> OpenSession(const char* argv0, const RunSettings& run,
                                     std::string_view tool) {
  const char* programName[] = {argv0};
  StartupSettings startup = StartSettings(1, programName);
  auto session = std::make_unique<Session>();
  session->settings = std::move(startup.settings);
  for (const auto& problem : startup.report.problems)
    PrintError(tool, DescribeStartupProblem(problem));
  Settings& settings = session->settings;
  settings.NoLimits = run.noLimits;
  if (run.decimalSeparator) settings.DecimalSeparator = *run.decimalSeparator;
  if (run.lang) {
    settings.LangIndex = *run.lang;
    settings.LangBase = LangBaseFor(settings.LangIndex);
  }
  if (run.units) {
    const Quantity order[] = {Quantity::kCapacity, Quantity::kAirFlow, Quantity::kWaterFlow,
                              Quantity::kWaterPressureDrop, Quantity::kAirPressure};
    for (std::size_t k = 0; k < 5; ++k) {
      if ((*run.units)[k] >= static_cast<std::int16_t>(UnitTable(order[k]).size()))
        throw UsageError{"--units: choice " + std::to_string((*run.units)[k]) +
                         " is not in the table of unit " + std::to_string(k + 1)};
      SetUnitChoice(settings, order[k], (*run.units)[k]);
    }
  }
  session->store = std::make_unique<CatalogueStore>(settings.AppPath + "Vestra.db");
  settings.DbVersion = session->store->ReadDataVersion();
  return session;
}

std::optional<ControlRef> DutyField(std::string_view symbol) {
  static constexpr std::array<std::string_view, kDutyFields> kSymbols{"PT", "PS", "PH", "LP"};
  for (int k = 0; k < kDutyFields; ++k)
    if (kSymbols[static_cast<std::size_t>(k)] == symbol) return Control(Ctl::txtReq, k);
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> ParseNeed(std::string_view list) {
  std::vector<std::pair<std::string, std::string>> terms;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = list.find(',', start);
    const std::string_view item = list.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    const std::size_t eq = item.find('=');
    const std::string symbol(item.substr(0, eq));
    if (eq == std::string_view::npos || !DutyField(symbol) || eq + 1 == item.size())
      throw UsageError{
          "--need takes PT=, PS=, PH= and LP= with their values, comma-separated, "
          "not " +
          Echo(item)};
    for (const auto& [known, text] : terms)
      if (known == symbol) throw UsageError{"--need states " + symbol + " twice"};
    terms.emplace_back(symbol, std::string(item.substr(eq + 1)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return terms;
}

std::string MarginValues(const DutyMargins& m) {
  std::vector<std::pair<std::string, std::string>> fields;
  if (m.totalPct) fields.emplace_back("totalPct", JsonNumber(*m.totalPct));
  if (m.sensiblePct) fields.emplace_back("sensiblePct", JsonNumber(*m.sensiblePct));
  if (m.heatingPct) fields.emplace_back("heatingPct", JsonNumber(*m.heatingPct));
  if (m.soundDb) fields.emplace_back("soundDb", JsonNumber(*m.soundDb));
  return JsonObject(fields);
}

}  // namespace vestra::cli
