// vestra-select: a selection screen's Calculate run without a window, for scripts and for
// checking the catalogue. It loads the series as the main window does, applies each --set
// as a user would type it (and leaves the field, so range checks, coupling and the
// alternative datum apply), presses Calculate and prints the results table.
//
//   vestra-select --help         the usage, and per series the controls --set takes
//   --chart (an EC series, one model) opens the fan curve chart as its button does, the
//   spinner at the typed air flow, and adds its figures to the JSON output;
//   --chart-image FILE.png saves the chart as a picture too.
//   vestra-select --series CODE [--speed N|TEXT|all] [--model NAME|N|all]
//                 [--set CONTROL=TEXT]... [--units Pt,Qa,Qw,DpW,DpA] [--lang N]
//                 [--decimal-separator .|,] [--nolimits] [--format tsv|json]
//
// The JSON output holds the grid's texts ("rows") and, per row, its figures as numbers in
// base units with each duty's status ("values").
//
// Exit codes: 0 rows written, 1 a message ended the calculation (also on stderr; the rows
// written are still printed) or a --set was rejected as the screen would reject it (the
// message on stderr, no table), 2 bad usage.

#include <QGuiApplication>
#include <QString>
#include <array>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "app/texts.h"
#include "app/units.h"
#include "cli/cli_common.h"
#include "data/store.h"
#include "engine/errors.h"
#include "engine/numeric.h"
#include "engine/shown_text.h"
#include "screens/dispatch.h"
#include "screens/fan_chart.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"
#include "screens/tab_order.h"
#include "screens/ui/chart_painter.h"

namespace {

using namespace vestra;
using namespace vestra::screens;
using vestra::cli::JsonString;

constexpr const char* kTool = "vestra-select";
constexpr const char* kUsage =
    "usage: vestra-select --series CODE [--speed N|all] [--model NAME|N|all] "
    "[--set CONTROL=TEXT]... [--units Pt,Qa,Qw,DpW,DpA] [--lang N] [--decimal-separator .|,] "
    "[--nolimits] [--format tsv|json] [--chart] [--chart-image FILE.png]   |   "
    "vestra-select --help";

struct UsageError {
  std::string message;
};

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
  const std::optional<double> number = cli::ParseNumber(text);
  if (!number || *number != std::floor(*number) || *number < low || *number > high)
    return std::nullopt;
  return static_cast<int>(*number);
}

struct Options {
  std::string series;
  std::optional<std::string> speed;
  std::optional<std::string> model;
  std::vector<std::pair<std::string, std::string>> sets;
  std::optional<std::array<std::int16_t, 5>> units;
  std::optional<std::int16_t> lang;
  std::optional<std::string> decimalSeparator;
  bool noLimits = false;
  bool json = false;
  bool help = false;
  bool chart = false;
  std::optional<std::string> chartImage;
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  auto value = [&](int& i, std::string_view option) -> std::string {
    if (i + 1 >= argc) throw UsageError{"missing value after " + std::string(option)};
    return argv[++i];
  };
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--series") {
      o.series = value(i, arg);
    } else if (arg == "--speed") {
      o.speed = value(i, arg);
    } else if (arg == "--model") {
      o.model = value(i, arg);
    } else if (arg == "--set") {
      const std::string assignment = value(i, arg);
      const std::size_t eq = assignment.find('=');
      if (eq == std::string::npos || eq == 0)
        throw UsageError{"--set needs CONTROL=TEXT, not " + Echo(assignment)};
      o.sets.emplace_back(assignment.substr(0, eq), assignment.substr(eq + 1));
    } else if (arg == "--units") {
      const std::string list = value(i, arg);
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
      o.units = units;
    } else if (arg == "--lang") {
      const std::string text = value(i, arg);
      const std::optional<int> number = WholeNumberIn(text, 0, 14);
      if (!number) throw UsageError{"--lang needs a language index 0..14, not " + Echo(text)};
      o.lang = static_cast<std::int16_t>(*number);
    } else if (arg == "--decimal-separator") {
      const std::string text = value(i, arg);
      if (text != "." && text != ",")
        throw UsageError{"--decimal-separator must be \".\" or \",\", not " + Echo(text)};
      o.decimalSeparator = text;
    } else if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--chart") {
      o.chart = true;
    } else if (arg == "--chart-image") {
      o.chartImage = value(i, arg);
      o.chart = true;
    } else if (arg == "--nolimits") {
      o.noLimits = true;
    } else if (arg == "--format") {
      const std::string text = value(i, arg);
      if (text != "tsv" && text != "json")
        throw UsageError{"--format must be tsv or json, not " + Echo(text)};
      o.json = text == "json";
    } else {
      throw UsageError{"unknown option " + Echo(arg) + "; " + kUsage};
    }
  }
  if (o.help) return o;
  if (o.series.empty()) throw UsageError{std::string("--series is required; ") + kUsage};
  return o;
}

// The window of a headless run: messages are recorded with the control that got the focus.
class RecordingUi : public ScreenUi {
 public:
  struct Message {
    std::string text;
    Icon icon;
    std::string focus;
  };

  void ShowMessage(const std::string& text, Icon icon) override {
    messages.push_back({text, icon, ""});
    pendingFocus_ = true;
  }
  void SetFocus(ControlRef control) override {
    if (pendingFocus_ && !messages.empty()) messages.back().focus = ControlName(control);
    pendingFocus_ = false;
  }
  void SetClipboardText(const std::string&) override {}

  std::vector<Message> messages;

 private:
  bool pendingFocus_ = false;
};

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
struct Rejected {
  std::vector<std::string> messages;
};

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

// The usage, then per series the controls --set takes.
void PrintHelp() {
  std::cout << kUsage
            << "\n\nThe controls --set takes, per series (CONTROL=TEXT; a check box "
               "takes 0 or 1, a list an entry or its index):\n";
  Session session;
  session.settings.LangBase = LangBaseFor(0);
  RecordingUi ui;
  for (const SeriesTraits& traits : AllSeriesTraits()) {
    PrepareDispatch(session, traits);
    const std::unique_ptr<SelectionScreen> screen = CreateScreen(session, ui, traits);
    if (!screen) continue;
    screen->Configure(traits);
    std::cout << "  " << traits.name << ": " << Joined(SettableControls(*screen)) << "\n";
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
  return value ? cli::JsonNumber(*value) : "null";
}

std::string OptionalText(const std::optional<std::string>& text) {
  return text ? JsonString(*text) : "null";
}

std::string CoolingValues(const DutyOutcome<CoolingFigures>& duty) {
  std::vector<std::pair<std::string, std::string>> fields{
      {"status", JsonString(StatusName(duty.status))}};
  if (duty.HasFigures()) {
    const CoolingFigures& f = duty.figures;
    fields.insert(fields.end(), {{"totalW", cli::JsonNumber(f.totalW)},
                                 {"sensibleW", cli::JsonNumber(f.sensibleW)},
                                 {"waterFlowM3s", cli::JsonNumber(f.waterFlowM3s)},
                                 {"twOutC", cli::JsonNumber(f.twOutC)},
                                 {"pressureDropKPa", cli::JsonNumber(f.pressureDropKPa)},
                                 {"taOutC", cli::JsonNumber(f.taOutC)}});
  }
  return cli::JsonObject(fields);
}

std::string HeatingValues(const DutyOutcome<HeatingFigures>& duty) {
  std::vector<std::pair<std::string, std::string>> fields{
      {"status", JsonString(StatusName(duty.status))}};
  if (duty.HasFigures()) {
    const HeatingFigures& f = duty.figures;
    fields.insert(fields.end(), {{"capacityW", cli::JsonNumber(f.capacityW)},
                                 {"waterFlowM3s", cli::JsonNumber(f.waterFlowM3s)},
                                 {"twOutC", cli::JsonNumber(f.twOutC)},
                                 {"pressureDropKPa", cli::JsonNumber(f.pressureDropKPa)},
                                 {"taOutC", cli::JsonNumber(f.taOutC)}});
  }
  return cli::JsonObject(fields);
}

// One row's figures as numbers in base units, with each duty's status: what a script reads
// instead of the formatted cells.
std::string RowValues(const RatedRow& row, const SelectionScreen& screen) {
  std::optional<std::string> speed = row.speedName;
  if (const ComboBox* speeds = screen.Combo(Control(Ctl::cboVel));
      speeds && row.step > 0 && row.step < speeds->ListCount())
    speed = speeds->List[static_cast<std::size_t>(row.step)];
  return cli::JsonObject({
      {"model", JsonString(row.modelName)},
      {"modelIndex", std::to_string(row.model)},
      {"step", std::to_string(row.step)},
      {"speed", OptionalText(speed)},
      {"airFlowM3s", cli::JsonNumber(row.airFlowM3s)},
      {"cooling", CoolingValues(row.cooling)},
      {"heating", HeatingValues(row.heating)},
      {"soundPowerDb", row.soundShown ? cli::JsonNumber(row.soundPowerDb) : "null"},
      {"soundPressureDb", row.soundShown ? cli::JsonNumber(row.soundPressureDb) : "null"},
      {"soundAtFloor", row.soundAtFloor ? "true" : "false"},
      {"absorbedPowerW", Optional(row.absorbedPowerW)},
      {"heightMax", OptionalText(row.heightMax)},
      {"throwMax", OptionalText(row.throwMax)},
  });
}

void Print(const SelectionScreen& screen, const RecordingUi& ui, const Session& session, bool json,
           const std::string& chart = {}) {
  const ResultsGrid& grid = screen.Form().Grd;
  if (!json) {
    for (int row = 0; row < grid.RowCount(); ++row) std::cout << TsvRow(Shown(grid, row)) << '\n';
    return;
  }
  std::string rows = "[";
  for (int row = 2; row < grid.RowCount(); ++row)
    rows += (row > 2 ? ",\n    " : "\n    ") + JsonArray(Shown(grid, row));
  rows += grid.RowCount() > 2 ? "\n  ]" : "]";
  const std::vector<RatedRow>& rated = screen.LastCalculation().rows;
  std::string values = "[";
  for (std::size_t i = 0; i < rated.size(); ++i)
    values += (i ? ",\n    " : "\n    ") + RowValues(rated[i], screen);
  values += rated.empty() ? "]" : "\n  ]";
  std::string messages = "[";
  for (std::size_t i = 0; i < ui.messages.size(); ++i) {
    const auto& m = ui.messages[i];
    messages += (i ? ", " : "") + cli::JsonObject({{"text", JsonString(m.text)},
                                                   {"icon", JsonString(IconName(m.icon))},
                                                   {"focus", JsonString(m.focus)}});
  }
  messages += "]";
  std::cout << "{\n  " << JsonString("series") << ": " << JsonString(session.settings.CurrentSeries)
            << ",\n  " << JsonString("caption") << ": " << JsonString(screen.Form().Caption)
            << ",\n  " << JsonString("headings") << ": "
            << JsonArray(grid.RowCount() > 0 ? Shown(grid, 0) : std::vector<std::string>{})
            << ",\n  " << JsonString("units") << ": "
            << JsonArray(grid.RowCount() > 1 ? Shown(grid, 1) : std::vector<std::string>{})
            << ",\n  " << JsonString("rows") << ": " << rows << ",\n  " << JsonString("values")
            << ": " << values << ",\n  " << JsonString("messages") << ": " << messages
            << (chart.empty() ? "" : ",\n  " + JsonString("chart") + ": " + chart) << "\n}\n";
}

// The fan curve chart as the chart button opens it: the spinner set to the typed air flow,
// which recalculates the screen; its figures as JSON, and its picture when asked for.
std::string OpenChart(SelectionScreen& screen, Session& session, RecordingUi& ui,
                      const Options& options) {
  const ScreenKind kind = FindSeries(options.series)->screen;
  if (kind != ScreenKind::kEcFanCoil && kind != ScreenKind::kHighEfficiencyEc &&
      kind != ScreenKind::kEcDucted)
    throw UsageError{"--chart: only the EC screens' series have a fan curve chart"};
  if (screen.Form().cboModel.ListIndex < 1)
    throw UsageError{"--chart needs one model (--model): the chart shows one model's fan"};
  std::variant<FanChart, ScreenMessage> opened = FanChart::Open(screen, session);
  if (const auto* message = std::get_if<ScreenMessage>(&opened)) {
    ui.ShowMessage(message->text, message->icon);
    return "";
  }
  FanChart& chart = std::get<FanChart>(opened);
  const int flow = CInt(chart.refFlowM3h());
  const int pressure = chart.Change(flow, screen);
  if (options.chartImage) {
    QString error;
    if (!ui::SaveChartImage(chart.Draw(chart.DuctPressurePa(flow), flow), 640, 480,
                            QString::fromStdString(*options.chartImage), error))
      throw UsageError{"--chart-image " + Echo(*options.chartImage) + ": " + error.toStdString()};
  }
  return cli::JsonObject({{"owner", JsonString(chart.owner())},
                          {"model", std::to_string(chart.model())},
                          {"step", std::to_string(chart.step())},
                          {"refFlow", cli::JsonNumber(chart.refFlowM3h())},
                          {"refPressure", cli::JsonNumber(chart.refPressurePa())},
                          {"qmax", cli::JsonNumber(chart.qmax())},
                          {"qmeet", std::to_string(chart.qmeet())},
                          {"scrollTop", std::to_string(chart.scrollTop())},
                          {"top", std::to_string(chart.topTenthsPa())},
                          {"airFlow", std::to_string(flow)},
                          {"pressure", std::to_string(pressure)}});
}

int Run(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  if (options.help) {
    PrintHelp();
    return 0;
  }
  const SeriesTraits* traits = FindSeries(options.series);
  if (!traits) {
    std::string known;
    for (const SeriesTraits& t : AllSeriesTraits())
      known += (known.empty() ? "" : ", ") + std::string(t.name);
    throw UsageError{"unknown series \"" + options.series + "\"; the series are " + known};
  }

  // The settings as the program reads them, then the options on top.
  const char* programName[] = {argv[0]};
  StartupSettings startup = StartSettings(1, programName);
  Session session;
  session.settings = std::move(startup.settings);
  for (const auto& problem : startup.report.problems)
    cli::PrintError(kTool, DescribeStartupProblem(problem));
  Settings& settings = session.settings;
  settings.NoLimits = options.noLimits;
  if (options.decimalSeparator) settings.DecimalSeparator = *options.decimalSeparator;
  if (options.lang) {
    settings.LangIndex = *options.lang;
    settings.LangBase = LangBaseFor(settings.LangIndex);
  }
  if (options.units) {
    const Quantity order[] = {Quantity::kCapacity, Quantity::kAirFlow, Quantity::kWaterFlow,
                              Quantity::kWaterPressureDrop, Quantity::kAirPressure};
    for (std::size_t k = 0; k < 5; ++k) {
      if ((*options.units)[k] >= static_cast<std::int16_t>(UnitTable(order[k]).size()))
        throw UsageError{"--units: choice " + std::to_string((*options.units)[k]) +
                         " is not in the table of unit " + std::to_string(k + 1)};
      SetUnitChoice(settings, order[k], (*options.units)[k]);
    }
  }
  session.store = std::make_unique<CatalogueStore>(settings.AppPath + "Vestra.db");
  settings.DbVersion = session.store->ReadDataVersion();

  // The series dispatch, as the main window runs it.
  RecordingUi ui;
  const std::unique_ptr<SelectionScreen> opened = DispatchSeries(session, ui, *traits);
  if (!opened) throw UsageError{"series \"" + options.series + "\" has no selection screen yet"};
  SelectionScreen& screen = *opened;

  if (options.speed) {
    ComboBox* speeds = screen.Combo(Control(Ctl::cboVel));
    if (!speeds || !screen.IsUsable(Control(Ctl::cboVel)))
      throw UsageError{"--speed: the screen of " + options.series + " has no speed list"};
    speeds->ListIndex = ChooseEntry(*speeds, *options.speed, "speed");
  }
  if (options.model) {
    ComboBox& models = screen.Form().cboModel;
    models.ListIndex = ChooseEntry(models, *options.model, "model");
  }
  for (const auto& [name, text] : options.sets) ApplySet(screen, ui, name, text, session);

  const std::size_t before = ui.messages.size();
  screen.cmdCalcola_Click();
  std::string chart;
  if (options.chart && ui.messages.size() == before)
    chart = OpenChart(screen, session, ui, options);
  Print(screen, ui, session, options.json, chart);
  if (ui.messages.size() > before) {
    for (std::size_t i = before; i < ui.messages.size(); ++i)
      cli::PrintError(kTool, OneLine(ui.messages[i].text));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // The chart's picture is painted with the toolkit, without a display.
  std::unique_ptr<QGuiApplication> painting;
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "--chart-image" && !painting) {
      if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
      // The toolkit's notes on its surroundings (no runtime folder, fonts) are not the
      // tool's to print; only its failures are.
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) cli::PrintError(kTool, text.toStdString());
      });
      painting = std::make_unique<QGuiApplication>(argc, argv);
    }
  try {
    return Run(argc, argv);
  } catch (const UsageError& e) {
    vestra::cli::PrintError(kTool, e.message);
    return vestra::cli::kExitUsage;
  } catch (const Rejected& e) {
    for (const std::string& message : e.messages) vestra::cli::PrintError(kTool, message);
    return 1;
  } catch (const vestra::RuntimeError& e) {
    vestra::cli::PrintError(kTool,
                            std::string(e.what()) + " (error " + std::to_string(e.number()) + ")");
    return vestra::cli::kExitUsage;
  } catch (const std::exception& e) {
    vestra::cli::PrintError(kTool, e.what());
    return vestra::cli::kExitUsage;
  }
}
