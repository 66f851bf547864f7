// vestra-schedule: the units of a whole schedule of rooms selected in one go. Each room is
// one line of a CSV file or one row of a workbook's first sheet: its tag, its series, the
// values of any control of the series' screen (as vestra-select --set takes them; a column
// left out or a cell left empty keeps the screen's default) and the duty it needs (PT, PS,
// PH in the capacity unit, LP in dB(A); empty: not required). Every room is selected on a
// screen of its own, as a user would select it; the schedule is written as CSV and as a
// workbook, one line per room, with the unit chosen, its figures and its margins, or the
// reason why no unit was chosen.
//
//   vestra-schedule FILE.csv|FILE.xlsx [-o PREFIX] [--units Pt,Qa,Qw,DpW,DpA] [--lang N]
//                   [--decimal-separator .|,] [--nolimits]
//
// Exit codes: 0 every room has a unit, 1 some room has a note instead, 2 bad usage or an
// input that cannot be read (nothing written).

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/units.h"
#include "cli/cli_common.h"
#include "cli/headless.h"
#include "cli/schedule_input.h"
#include "engine/errors.h"
#include "report/table_export.h"
#include "screens/dispatch.h"
#include "screens/duty.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"

namespace {

using namespace vestra;
using namespace vestra::screens;
using namespace vestra::cli;

constexpr const char* kTool = "vestra-schedule";
constexpr const char* kUsage =
    "usage: vestra-schedule FILE.csv|FILE.xlsx [-o PREFIX] [--units Pt,Qa,Qw,DpW,DpA] "
    "[--lang N] [--decimal-separator .|,] [--nolimits]";
constexpr const char* kDutySymbols[] = {"PT", "PS", "PH", "LP"};
// A schedule this long shows its progress on a terminal.
constexpr std::size_t kProgressFrom = 20;

struct Options {
  std::string input;
  std::optional<std::string> prefix;
  RunSettings run;
  bool help = false;
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-o" || arg == "--output") {
      if (i + 1 >= argc) throw UsageError{"missing value after " + std::string(arg)};
      o.prefix = argv[++i];
      if (o.prefix->empty()) throw UsageError{std::string(arg) + " needs a file name prefix"};
    } else if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (ParseRunOption(argc, argv, i, o.run)) {
      continue;
    } else if (arg.starts_with("-") && arg.size() > 1) {
      throw UsageError{"unknown option " + Echo(arg) + "; " + kUsage};
    } else if (!o.input.empty()) {
      throw UsageError{"one schedule at a time: " + Echo(o.input) + " and " + Echo(arg)};
    } else {
      o.input = arg;
    }
  }
  if (!o.help && o.input.empty()) throw UsageError{std::string("no schedule named; ") + kUsage};
  return o;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string SeriesList() {
  std::string known;
  for (const SeriesTraits& t : AllSeriesTraits())
    known += (known.empty() ? "" : ", ") + std::string(t.name);
  return known;
}

// What a column of the schedule holds.
struct Column {
  enum Kind { kTag, kSeries, kControl, kDuty } kind;
  std::string name;  // the control's name or the duty's symbol, as the program spells it
};

// The controls of every series' screen, by their names in lower case: a column is one of
// them, or a requirement, or the room's tag or series.
std::map<std::string, std::string> KnownControls(Session& session) {
  std::map<std::string, std::string> known;
  RecordingUi ui;
  for (const SeriesTraits& traits : AllSeriesTraits()) {
    PrepareDispatch(session, traits);
    const std::unique_ptr<SelectionScreen> screen = CreateScreen(session, ui, traits);
    if (!screen) continue;
    screen->Configure(traits);
    for (const std::string& name : SettableControls(*screen)) known.emplace(Lower(name), name);
  }
  return known;
}

// The heading line read: every column known, none twice, a tag and a series.
std::vector<Column> ReadHeadings(const InputRecord& headings, const std::string& file,
                                 const std::map<std::string, std::string>& controls) {
  std::vector<Column> columns;
  std::set<std::string> seen;
  for (std::size_t i = 0; i < headings.cells.size(); ++i) {
    const std::string name = Trimmed(headings.cells[i]);
    const std::string key = Lower(name);
    const std::string where = file + ": line " + std::to_string(headings.line) + ", column " +
                              std::to_string(i + 1) + ": ";
    if (name.empty()) {
      columns.push_back({Column::kControl, ""});  // an unnamed column must stay empty
      continue;
    }
    if (!seen.insert(key).second) throw UsageError{where + "column " + Echo(name) + " twice"};
    if (key == "tag") {
      columns.push_back({Column::kTag, "tag"});
    } else if (key == "series") {
      columns.push_back({Column::kSeries, "series"});
    } else if (const auto duty = std::find_if(std::begin(kDutySymbols), std::end(kDutySymbols),
                                              [&](const char* s) { return Lower(s) == key; });
               duty != std::end(kDutySymbols)) {
      columns.push_back({Column::kDuty, *duty});
    } else if (const auto control = controls.find(key); control != controls.end()) {
      columns.push_back({Column::kControl, control->second});
    } else {
      throw UsageError{where + "unknown column " + Echo(name) +
                       "; the columns are tag, series, PT, PS, PH, LP and the controls of the "
                       "series' screens (vestra-select --help lists them)"};
    }
  }
  for (const char* needed : {"tag", "series"})
    if (!seen.count(needed))
      throw UsageError{file + ": line " + std::to_string(headings.line) + ": no column \"" +
                       needed + "\" in the heading line"};
  return columns;
}

// ---- one room ------------------------------------------------------------------------------

// The columns of the written schedule taken from the chosen row of the screen's grid, by
// the symbol the grid heads them with; a screen without the column leaves it empty.
const char* const kFigureColumns[] = {"Vin",     "QA",     "PT", "PS",     "QW (C)",
                                      "DPW (C)", "TA (C)", "PH", "QW (H)", "DPW (H)",
                                      "TA (H)",  "LP",     "Pin"};
constexpr std::size_t kFigures = std::size(kFigureColumns);

struct Room {
  std::string tag, series;
  std::string model, speed;
  std::vector<std::string> figures = std::vector<std::string>(kFigures);
  DutyMargins margins;
  std::string note;
};

// The units of the figure columns, from the first grid that shows each.
struct UnitRow {
  std::vector<std::string> units = std::vector<std::string>(kFigures);
};

std::string JoinedBy(const std::vector<std::string>& parts, const std::string& separator) {
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : separator) + part;
  return out;
}

// The grid row chosen written into the room: model, speed, the figures by their headings.
void TakeChosenRow(Room& room, const SelectionScreen& screen, const RatedRow& row, int gridRow,
                   UnitRow& units, const Session& session) {
  const ResultsGrid& grid = screen.Form().Grd;
  room.model = row.modelName;
  std::optional<std::string> speed = row.speedName;
  if (const ComboBox* speeds = screen.Combo(Control(Ctl::cboVel));
      !speed && speeds && row.step > 0 && row.step < speeds->ListCount())
    speed = speeds->List[static_cast<std::size_t>(row.step)];
  room.speed = speed.value_or("");
  for (int col = 1; col < grid.Cols; ++col) {
    const std::string heading = Trimmed(grid.Cell(0, col));
    if (heading == "Vel" && room.speed.empty()) room.speed = Trimmed(grid.Cell(gridRow, col));
    for (std::size_t k = 0; k < kFigures; ++k)
      if (heading == kFigureColumns[k]) {
        room.figures[k] = Trimmed(grid.Cell(gridRow, col));
        if (units.units[k].empty()) units.units[k] = Trimmed(grid.Cell(1, col));
      }
  }
  // The EC screens rate at the air flow typed and show no QA column: the flow is the row's.
  constexpr std::size_t kQa = 1;
  if (room.figures[kQa].empty()) {
    const Unit& unit = ChosenUnit(session.settings, Quantity::kAirFlow);
    room.figures[kQa] = Trimmed(DisplayValue(row.airFlowM3s, unit, session.Decimal()));
    if (units.units[kQa].empty()) units.units[kQa] = std::string(unit.name);
  }
}

// One room on a fresh screen of its series: its controls typed in, its duty, Calculate,
// the row chosen. Whatever stops the room is its note.
Room SelectRoom(Session& session, const std::vector<Column>& columns, const InputRecord& record,
                UnitRow& units) {
  Room room;
  auto cell = [&](std::size_t i) {
    return i < record.cells.size() ? Trimmed(record.cells[i]) : std::string();
  };
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].kind == Column::kTag) room.tag = cell(i);
    if (columns[i].kind == Column::kSeries) room.series = cell(i);
  }
  std::string seriesName = room.series;
  for (char& c : seriesName) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const SeriesTraits* traits = FindSeries(seriesName);
  if (!traits) {
    room.note = room.series.empty()
                    ? "no series given; the series are " + SeriesList()
                    : "unknown series " + Echo(room.series) + "; the series are " + SeriesList();
    return room;
  }
  room.series = seriesName;
  RecordingUi ui;
  // A screen of its own for every room, so that no room inherits another's typed values.
  const std::unique_ptr<SelectionScreen> screen = DispatchSeries(session, ui, *traits);
  if (!screen) {
    room.note = "series " + seriesName + " has no selection screen";
    return room;
  }
  if (!ui.messages.empty()) {
    room.note = OneLine(ui.messages.front().text);
    return room;
  }
  // Every speed is rated, so that the slowest one that meets the duty can be chosen; a
  // cboVel column narrows it.
  if (ComboBox* speeds = screen->Combo(Control(Ctl::cboVel));
      speeds && screen->IsUsable(Control(Ctl::cboVel)))
    speeds->ListIndex = 0;

  const std::vector<std::string> settable = SettableControls(*screen);
  bool anyDuty = false;
  try {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const std::string text = cell(i);
      if (text.empty()) continue;
      const Column& column = columns[i];
      if (column.kind == Column::kControl) {
        if (column.name.empty())
          throw UsageError{"column " + std::to_string(i + 1) + " has no heading but holds " +
                           Echo(text)};
        if (std::find(settable.begin(), settable.end(), column.name) == settable.end())
          throw UsageError{column.name + ": the screen of " + seriesName +
                           " has no such control, or it is hidden there; it takes " +
                           Joined(settable)};
        ApplySet(*screen, ui, column.name, text, session);
      } else if (column.kind == Column::kDuty) {
        ApplySet(*screen, ui, ControlName(*DutyField(column.name)), text, session);
        anyDuty = true;
      }
    }
  } catch (const UsageError& e) {
    room.note = e.message;
    return room;
  } catch (const Rejected& e) {
    room.note = JoinedBy(e.messages, "; ");
    return room;
  }
  if (!anyDuty) {
    room.note = "no duty stated: give PT, PS, PH or LP";
    return room;
  }

  const std::size_t before = ui.messages.size();
  screen->cmdCalcola_Click();
  if (ui.messages.size() > before) {
    std::vector<std::string> messages;
    for (std::size_t i = before; i < ui.messages.size(); ++i)
      messages.push_back(Trimmed(OneLine(ui.messages[i].text)));
    room.note = JoinedBy(messages, "; ");
    return room;
  }
  const std::vector<RatedRow>& rows = screen->LastCalculation().rows;
  const auto read = ReadRequiredDuty(screen->Form(), session);
  const RequiredDuty duty = std::get<RequiredDuty>(read);  // Calculate read it already
  const DutyChoice choice =
      ChooseForDuty(rows, duty, ChosenUnit(session.settings, Quantity::kCapacity));
  if (!choice.chosen) {
    const std::string line = screen->Form().lblDuty.Caption;
    room.note = line.empty() ? "no model meets the duty" : OneLine(line);
    return room;
  }
  const ResultsGrid& grid = screen->Form().Grd;
  const int first = grid.RowCount() - static_cast<int>(rows.size());
  TakeChosenRow(room, *screen, rows[*choice.chosen], first + static_cast<int>(*choice.chosen),
                units, session);
  room.margins = choice.verdicts[*choice.chosen].margins;
  return room;
}

// ---- the written schedule -------------------------------------------------------------------

std::string MarginCell(const std::optional<double>& margin, char separator) {
  if (!margin) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", *margin);
  std::string out = text;
  if (out == "-0.0") out = "0.0";
  std::replace(out.begin(), out.end(), '.', separator);
  return out;
}

report::ExportTable ScheduleTable(const std::vector<Room>& rooms, const UnitRow& units,
                                  char decimal) {
  report::ExportTable table;
  table.sheetName = "Schedule";
  std::vector<std::string> headings{"tag", "series", "model", "speed"};
  std::vector<std::string> unitRow{"", "", "", ""};
  for (std::size_t k = 0; k < kFigures; ++k) {
    headings.push_back(kFigureColumns[k]);
    unitRow.push_back(units.units[k]);
  }
  for (const char* symbol : kDutySymbols) headings.push_back(std::string("margin ") + symbol);
  unitRow.insert(unitRow.end(), {"%", "%", "%", "dB(A)"});
  headings.push_back("note");
  unitRow.push_back("");
  table.headings = {headings, unitRow};
  for (const Room& room : rooms) {
    std::vector<report::TableCell> row{
        {room.tag, std::nullopt},
        {room.series, std::nullopt},
        {room.model, std::nullopt},
        {room.speed, std::nullopt},
    };
    for (const std::string& figure : room.figures) row.push_back(report::CellOf(figure, decimal));
    for (const std::optional<double>* margin : {&room.margins.totalPct, &room.margins.sensiblePct,
                                                &room.margins.heatingPct, &room.margins.soundDb})
      row.push_back(report::CellOf(MarginCell(*margin, decimal), decimal));
    row.push_back({room.note, std::nullopt});
    table.rows.push_back(std::move(row));
  }
  return table;
}

// Where the schedule is written: PREFIX.csv and PREFIX.xlsx, by default FILE-selected
// beside the input.
std::string OutputPrefix(const Options& options) {
  if (options.prefix) return *options.prefix;
  std::filesystem::path path(options.input);
  path.replace_extension();
  return path.string() + "-selected";
}

class Progress {
 public:
  explicit Progress(std::size_t total)
      : total_(total), shown_(total > kProgressFrom && isatty(STDERR_FILENO)) {}
  ~Progress() { Done(); }
  // The line cleared, before the rooms' notes are printed.
  void Done() {
    if (shown_) std::cerr << "\r\033[K" << std::flush;
    shown_ = false;
  }
  void Room(std::size_t done, const std::string& tag) {
    if (shown_)
      std::cerr << "\r\033[K" << kTool << ": room " << done << " of " << total_ << " (" << tag
                << ")" << std::flush;
  }

 private:
  std::size_t total_;
  bool shown_;
};

int Run(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  if (options.help) {
    std::cout << kUsage
              << "\n\nThe schedule's first line names its columns: tag, series, the "
                 "requirements PT, PS, PH (in the capacity unit) and LP (dB(A)), and any "
                 "control of the series' screen (vestra-select --help lists them).\n";
    return 0;
  }
  const std::string prefix = OutputPrefix(options);
  // The schedule written must not replace the one read (-o naming the input's own name).
  for (const char* extension : {".csv", ".xlsx"}) {
    std::error_code error;
    if (std::filesystem::equivalent(options.input, prefix + extension, error))
      throw UsageError{"-o " + Echo(prefix) + " would write over the schedule " +
                       Echo(options.input)};
  }
  InputTable input;
  try {
    input = ReadSchedule(options.input);
  } catch (const InputError& e) {
    throw UsageError{e.message};
  }
  if (input.records.empty()) throw UsageError{options.input + ": the schedule is empty"};

  const std::unique_ptr<Session> opened = OpenSession(argv[0], options.run, kTool);
  Session& session = *opened;
  const std::vector<Column> columns =
      ReadHeadings(input.records.front(), options.input, KnownControls(session));
  for (std::size_t r = 1; r < input.records.size(); ++r) {
    const InputRecord& record = input.records[r];
    for (std::size_t i = columns.size(); i < record.cells.size(); ++i)
      if (!Trimmed(record.cells[i]).empty())
        throw UsageError{options.input + ": line " + std::to_string(record.line) + ", column " +
                         std::to_string(i + 1) + ": " + Echo(record.cells[i]) +
                         " beyond the columns of the heading line"};
  }

  std::vector<Room> rooms;
  UnitRow units;
  Progress progress(input.records.size() - 1);
  for (std::size_t r = 1; r < input.records.size(); ++r) {
    Room room;
    try {
      room = SelectRoom(session, columns, input.records[r], units);
    } catch (const RuntimeError& e) {
      room.note = std::string(e.what()) + " (error " + std::to_string(e.number()) + ")";
    }
    if (room.tag.empty() && room.series.empty()) {
      room.tag = "line " + std::to_string(input.records[r].line);
    }
    progress.Room(r, room.tag);
    rooms.push_back(std::move(room));
  }
  progress.Done();

  const report::ExportTable table = ScheduleTable(rooms, units, session.Decimal());
  // A comma-decimal schedule separates its fields with semicolons, as the spreadsheets of
  // those locales expect.
  try {
    report::WriteCsv(table, prefix + ".csv", session.Decimal() == ',' ? ';' : ',');
    report::WriteXlsx(table, prefix + ".xlsx");
  } catch (const report::ExportError& e) {
    throw UsageError{e.what()};
  }

  int noted = 0;
  for (const Room& room : rooms)
    if (!room.note.empty()) {
      ++noted;
      PrintError(kTool, (room.tag.empty() ? "(no tag)" : room.tag) + ": " + room.note);
    }
  std::cout << prefix << ".csv\n" << prefix << ".xlsx\n";
  std::cerr << kTool << ": " << rooms.size() - static_cast<std::size_t>(noted) << " of "
            << rooms.size() << " rooms selected\n";
  return noted == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const UsageError& e) {
    PrintError(kTool, e.message);
    return kExitUsage;
  } catch (const vestra::RuntimeError& e) {
    PrintError(kTool, std::string(e.what()) + " (error " + std::to_string(e.number()) + ")");
    return kExitUsage;
  } catch (const std::exception& e) {
    PrintError(kTool, e.what());
    return kExitUsage;
  }
}
