// vestra-select: a selection screen's Calculate run without a window, for scripts and for
// checking the catalogue. It loads the series as the main window does, applies each --set
// as a user would type it (and leaves the field, so range checks, coupling and the
// alternative datum apply), presses Calculate and prints the results table.
//
//   vestra-select --help         the usage, and per series the controls --set takes
//   --chart (an EC series, one model) opens the fan curve chart as its button does, the
//   spinner at the typed air flow, and adds its figures to the JSON output;
//   --chart-image FILE.png saves the chart as a picture too.
//   --report [DIR] writes the report of the selection (into DIR or the reports folder) as
//   the composition dialog's Print does, and prints its file instead of the table.
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
#include "cli/headless.h"
#include "cli/headless_report.h"
#include "data/store.h"
#include "engine/errors.h"
#include "engine/numeric.h"
#include "engine/shown_text.h"
#include "screens/dispatch.h"
#include "screens/duty.h"
#include "screens/fan_chart.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"
#include "screens/tab_order.h"
#include "screens/ui/chart_painter.h"

namespace {

using namespace vestra;
using namespace vestra::screens;
using namespace vestra::cli;

constexpr const char* kTool = "vestra-select";
constexpr const char* kUsage =
    "usage: vestra-select --series CODE [--speed N|all] [--model NAME|N|all] "
    "[--set CONTROL=TEXT]... [--units Pt,Qa,Qw,DpW,DpA] [--lang N] [--decimal-separator .|,] "
    "[--nolimits] [--format tsv|json] [--need PT=W,PS=W,PH=W,LP=dB] [--chart] "
    "[--chart-image FILE.png] [--report [DIR] [--sections LIST] [--customer TEXT] "
    "[--project TEXT] [--notes TEXT] [--doc-row N]]   |   "
    "vestra-select --help";

struct Options {
  std::string series;
  std::optional<std::string> speed;
  std::optional<std::string> model;
  std::vector<std::pair<std::string, std::string>> sets;
  RunSettings run;
  std::vector<std::pair<std::string, std::string>> need;  // the required duty's terms
  bool json = false;
  bool help = false;
  bool chart = false;
  std::optional<std::string> chartImage;
  std::optional<ReportRequest> report;  // --report: the report written instead of the table
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  bool reportAsked = false;
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
    } else if (ParseRunOption(argc, argv, i, o.run)) {
      continue;
    } else if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--need") {
      o.need = ParseNeed(value(i, arg));
    } else if (arg == "--chart") {
      o.chart = true;
    } else if (arg == "--chart-image") {
      o.chartImage = value(i, arg);
      o.chart = true;
    } else if (arg == "--report") {
      reportAsked = true;
      if (!o.report) o.report.emplace();
      // The folder is optional: the next word, unless it is an option.
      if (i + 1 < argc && std::string_view(argv[i + 1]).substr(0, 2) != "--")
        o.report->folder = argv[++i];
    } else if (arg == "--sections" || arg == "--customer" || arg == "--project" ||
               arg == "--notes" || arg == "--doc-row") {
      if (!o.report) o.report.emplace();
      const std::string text = value(i, arg);
      if (arg == "--sections") o.report->sections = ParseSections(text);
      if (arg == "--customer") o.report->customer = text;
      if (arg == "--project") o.report->project = text;
      if (arg == "--notes") o.report->notes = text;
      if (arg == "--doc-row") {
        const std::optional<int> row = WholeNumberIn(text, 0, 10000);
        if (!row) throw UsageError{"--doc-row needs a document row 0..10000, not " + Echo(text)};
        o.report->documentRow = row;
      }
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
  if (o.report && !reportAsked)
    throw UsageError{"--sections, --customer, --project, --notes and --doc-row go with --report"};
  if (o.series.empty()) throw UsageError{std::string("--series is required; ") + kUsage};
  return o;
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

// The JSON document of a run: the grid's headings and units, the rows (those of `rated`,
// indices into the last calculation's rows), their values, the messages and any further
// sections.
std::string JsonDocument(const SelectionScreen& screen, const RecordingUi& ui,
                         const Session& session, const std::vector<std::size_t>& rated,
                         const std::vector<std::pair<std::string, std::string>>& sections) {
  const ResultsGrid& grid = screen.Form().Grd;
  const std::vector<RatedRow>& all = screen.LastCalculation().rows;
  // The rated rows are the grid's last rows, in order.
  const int first = grid.RowCount() - static_cast<int>(all.size());
  std::string rows = "[";
  std::string values = "[";
  for (std::size_t k = 0; k < rated.size(); ++k) {
    rows += (k ? ",\n    " : "\n    ") + JsonArray(Shown(grid, first + static_cast<int>(rated[k])));
    values += (k ? ",\n    " : "\n    ") + RowValues(all[rated[k]], screen);
  }
  rows += rated.empty() ? "]" : "\n  ]";
  values += rated.empty() ? "]" : "\n  ]";
  std::string messages = "[";
  for (std::size_t i = 0; i < ui.messages.size(); ++i) {
    const auto& m = ui.messages[i];
    messages += (i ? ", " : "") + JsonObject({{"text", JsonString(m.text)},
                                              {"icon", JsonString(IconName(m.icon))},
                                              {"focus", JsonString(m.focus)}});
  }
  messages += "]";
  std::string out = "{\n  " + JsonString("series") + ": " +
                    JsonString(session.settings.CurrentSeries) + ",\n  " + JsonString("caption") +
                    ": " + JsonString(screen.Form().Caption) + ",\n  " + JsonString("headings") +
                    ": " +
                    JsonArray(grid.RowCount() > 0 ? Shown(grid, 0) : std::vector<std::string>{}) +
                    ",\n  " + JsonString("units") + ": " +
                    JsonArray(grid.RowCount() > 1 ? Shown(grid, 1) : std::vector<std::string>{}) +
                    ",\n  " + JsonString("rows") + ": " + rows + ",\n  " + JsonString("values") +
                    ": " + values + ",\n  " + JsonString("messages") + ": " + messages;
  for (const auto& [name, section] : sections) out += ",\n  " + JsonString(name) + ": " + section;
  return out + "\n}\n";
}

void Print(const SelectionScreen& screen, const RecordingUi& ui, const Session& session, bool json,
           const std::string& chart = {}) {
  const ResultsGrid& grid = screen.Form().Grd;
  if (!json) {
    for (int row = 0; row < grid.RowCount(); ++row) std::cout << TsvRow(Shown(grid, row)) << '\n';
    return;
  }
  std::vector<std::size_t> all(screen.LastCalculation().rows.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
  std::vector<std::pair<std::string, std::string>> sections;
  if (!chart.empty()) sections.emplace_back("chart", chart);
  std::cout << JsonDocument(screen, ui, session, all, sections);
}

// A run with a required duty: the row chosen with its margins; exit 1 (the line under the
// table on stderr) when no row meets the duty.
int PrintChoice(const SelectionScreen& screen, const RecordingUi& ui, const Session& session,
                bool json) {
  const std::vector<RatedRow>& rows = screen.LastCalculation().rows;
  const std::variant<RequiredDuty, ScreenMessage> read = ReadRequiredDuty(screen.Form(), session);
  const RequiredDuty duty = std::get<RequiredDuty>(read);  // the Calculate read it already
  const DutyChoice choice =
      ChooseForDuty(rows, duty, ChosenUnit(session.settings, Quantity::kCapacity));
  const ResultsGrid& grid = screen.Form().Grd;
  const int first = grid.RowCount() - static_cast<int>(rows.size());
  const std::string line = screen.Form().lblDuty.Caption;
  std::vector<std::size_t> chosen;
  if (choice.chosen) chosen.push_back(*choice.chosen);
  if (!json) {
    // The heading rows and the row chosen, its margins in a last column.
    for (int row = 0; row < std::min(2, grid.RowCount()); ++row) {
      std::vector<std::string> cells = Shown(grid, row);
      cells.push_back(row == 0 ? OwnText(session, "Margini", "Margins") : "");
      std::cout << TsvRow(cells) << '\n';
    }
    if (choice.chosen) {
      std::vector<std::string> cells = Shown(grid, first + static_cast<int>(*choice.chosen));
      cells.push_back(MarginText(choice.verdicts[*choice.chosen].margins, session));
      std::cout << TsvRow(cells) << '\n';
    }
  } else {
    std::size_t meeting = 0;
    for (const DutyVerdict& v : choice.verdicts) meeting += v.meets ? 1 : 0;
    auto required = [](const std::optional<float>& v) { return v ? JsonNumber(*v) : "null"; };
    const std::string section = JsonObject({
        {"required", JsonObject({{"totalW", required(duty.totalW)},
                                 {"sensibleW", required(duty.sensibleW)},
                                 {"heatingW", required(duty.heatingW)},
                                 {"soundPressureDb", required(duty.soundPressureDb)}})},
        {"meeting", std::to_string(meeting)},
        {"chosen", choice.chosen ? JsonString(rows[*choice.chosen].modelName) : "null"},
        {"margins", choice.chosen ? MarginValues(choice.verdicts[*choice.chosen].margins) : "null"},
        {"marginText",
         choice.chosen ? JsonString(MarginText(choice.verdicts[*choice.chosen].margins, session))
                       : "null"},
        {"line", JsonString(line)},
    });
    std::cout << JsonDocument(screen, ui, session, chosen, {{"duty", section}});
  }
  if (choice.chosen) return 0;
  PrintError(kTool, OneLine(line.empty() ? OwnText(session, "Nessuna riga", "No row") : line));
  return 1;
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
  return JsonObject({{"owner", JsonString(chart.owner())},
                     {"model", std::to_string(chart.model())},
                     {"step", std::to_string(chart.step())},
                     {"refFlow", JsonNumber(chart.refFlowM3h())},
                     {"refPressure", JsonNumber(chart.refPressurePa())},
                     {"qmax", JsonNumber(chart.qmax())},
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
  const std::unique_ptr<Session> opened = OpenSession(argv[0], options.run, kTool);
  Session& session = *opened;

  // The series dispatch, as the main window runs it.
  RecordingUi ui;
  const std::unique_ptr<SelectionScreen> dispatched = DispatchSeries(session, ui, *traits);
  if (!dispatched)
    throw UsageError{"series \"" + options.series + "\" has no selection screen yet"};
  SelectionScreen& screen = *dispatched;

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
  for (const auto& [symbol, text] : options.need)
    ApplySet(screen, ui, ControlName(*DutyField(symbol)), text, session);

  const std::size_t before = ui.messages.size();
  screen.cmdCalcola_Click();
  std::string chart;
  if (options.chart && ui.messages.size() == before)
    chart = OpenChart(screen, session, ui, options);
  const bool failed = ui.messages.size() > before;
  if (options.report && !failed) {
    std::cout << WriteReport(screen, session, *options.report).string() << "\n";
    return 0;
  }
  if (!options.need.empty() && !failed) return PrintChoice(screen, ui, session, options.json);
  Print(screen, ui, session, options.json, chart);
  if (failed) {
    for (std::size_t i = before; i < ui.messages.size(); ++i)
      PrintError(kTool, OneLine(ui.messages[i].text));
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
        if (type == QtCriticalMsg || type == QtFatalMsg) PrintError(kTool, text.toStdString());
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
