#pragma once

// A selection screen run without a window, as vestra-select and vestra-schedule run it:
// the session on the user's settings and the catalogue, controls typed into as a user
// types them (so the screen's checks apply), and the rows read back as text and as
// numbers.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "screens/controls.h"
#include "screens/duty.h"
#include "screens/results_grid.h"
#include "screens/selection_screen.h"
#include "screens/session.h"

namespace vestra::cli {

// A command line, or a control named in it, the tool cannot follow.
struct UsageError {
  std::string message;
};

// Controls whose typed values the screen rejected (a range reset, the wet-bulb rule, the
// order of the water temperatures), each message prefixed with its control.
struct Rejected {
  std::vector<std::string> messages;
};

// Text of the input shown in a message: cut, quoted, its control characters escaped.
std::string Echo(std::string_view text);
// A screen's message on one line.
std::string OneLine(std::string text);
// A whole number from low to high, checked before it is narrowed.
std::optional<int> WholeNumberIn(std::string_view text, int low, int high);

// The window of a headless run: messages are recorded with the control that got the focus.
class RecordingUi : public screens::ScreenUi {
 public:
  struct Message {
    std::string text;
    screens::Icon icon;
    std::string focus;
  };

  void ShowMessage(const std::string& text, screens::Icon icon) override {
    messages.push_back({text, icon, ""});
    pendingFocus_ = true;
  }
  void SetFocus(screens::ControlRef control) override {
    if (pendingFocus_ && !messages.empty()) messages.back().focus = screens::ControlName(control);
    pendingFocus_ = false;
  }
  void SetClipboardText(const std::string&) override {}

  std::vector<Message> messages;

 private:
  bool pendingFocus_ = false;
};

const char* IconName(screens::Icon icon);

// The settings a run takes on top of the user's: units (Pt, Qa, Qw, DpW, DpA), language,
// decimal separator, the selection limits.
struct RunSettings {
  std::optional<std::array<std::int16_t, 5>> units;
  std::optional<std::int16_t> lang;
  std::optional<std::string> decimalSeparator;
  bool noLimits = false;
};

// The options that set a run's settings, as vestra-select and vestra-schedule take them:
// --units Pt,Qa,Qw,DpW,DpA, --lang N, --decimal-separator .|, and --nolimits. True when
// argv[i] is one of them: its value read into `run` and i moved past it; a value the
// option does not take is a UsageError.
bool ParseRunOption(int argc, char** argv, int& i, RunSettings& run);

// The session as the program starts it - the user's settings (their faults reported by
// `tool` on stderr), then `run` on top - with the catalogue opened.
std::unique_ptr<screens::Session> OpenSession(const char* argv0, const RunSettings& run,
                                              std::string_view tool);

// Picks a list entry by its index or its text ("all" is entry 0).
int ChooseEntry(const screens::ComboBox& combo, const std::string& choice, std::string_view what);
// The controls a value may be typed into on the screen as the series sets it up: the
// fields, boxes and lists the user can reach, in tab order.
std::vector<std::string> SettableControls(const screens::SelectionScreen& screen);
std::string Joined(const std::vector<std::string>& names);

// Types text into a control as a user does, then leaves it towards the next control.
// A control the screen lacks or hides, or a value of the wrong kind, is a UsageError; a
// value the screen rejects throws Rejected.
void ApplySet(screens::SelectionScreen& screen, RecordingUi& ui, const std::string& name,
              const std::string& text, const screens::Session& session);

// The required duty's terms by their symbols, PT, PS, PH and LP, and the field each is
// typed into.
std::optional<screens::ControlRef> DutyField(std::string_view symbol);
// "PT=3000,PS=2200,LP=45" as (symbol, text) pairs; a UsageError for anything else.
std::vector<std::pair<std::string, std::string>> ParseNeed(std::string_view list);

std::string TsvRow(const std::vector<std::string>& cells);
std::string JsonArray(const std::vector<std::string>& cells);
// The cells a row shows: the grid's columns, trailing cells of a shorter row empty.
std::vector<std::string> Shown(const screens::ResultsGrid& grid, int row);
// One row's figures as numbers in base units, with each duty's status: what a script reads
// instead of the formatted cells.
std::string RowValues(const screens::RatedRow& row, const screens::SelectionScreen& screen);
// The margins of a row as JSON numbers (per cent above, dB(A) below), absent terms left out.
std::string MarginValues(const screens::DutyMargins& margins);

}  // namespace vestra::cli
