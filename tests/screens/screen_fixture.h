#pragma once

#include <memory>
#include <string>
#include <vector>

#include "screens/controls.h"
#include "screens/dispatch.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"
#include "screens/standard_screen.h"

namespace vestra::screens::testing {

// A window that records what the logic asks of it.
class RecordingUi : public ScreenUi {
 public:
  struct Message {
    std::string text;
    Icon icon;
  };
  void ShowMessage(const std::string& text, Icon icon) override {
    messages.push_back({text, icon});
  }
  void SetFocus(ControlRef control) override { focus.push_back(control); }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  void ProcessPendingEvents() override { ++pendingEventCalls; }
  void SelectGridRow(int row) override { selectedRows.push_back(row); }

  std::vector<Message> messages;
  std::vector<ControlRef> focus;
  std::string clipboard;
  int pendingEventCalls = 0;
  std::vector<int> selectedRows;
};

// A session in Italian with a point decimal separator and no catalogue.
std::unique_ptr<Session> ItalianSession(char decimalSeparator = '.');

// A session on the catalogue the build makes, and a standard screen dispatched for a series
// as the main window does it.
std::unique_ptr<Session> CatalogueSession();
std::unique_ptr<StandardScreen> OpenStandardScreen(Session& session, RecordingUi& ui,
                                                   std::string_view series);
// The screen of any series, dispatched as the main window does it.
template <typename Screen>
std::unique_ptr<Screen> OpenScreen(Session& session, RecordingUi& ui, std::string_view series);

// The model rows of the grid (headings left out).
std::vector<std::vector<std::string>> ModelRows(const SelectionScreen& screen);
// The column of a heading symbol, -1 when the grid has none.
int Column(const SelectionScreen& screen, std::string_view symbol);
// A cell's number as the grid shows it (a "< " or "> " mark dropped; empty is 0).
double Number(const std::string& cell, char decimalSeparator = '.');

template <typename Screen>
std::unique_ptr<Screen> OpenScreen(Session& session, RecordingUi& ui, std::string_view series) {
  const SeriesTraits* traits = FindSeries(series);
  if (!traits) return nullptr;
  std::unique_ptr<SelectionScreen> screen = DispatchSeries(session, ui, *traits);
  auto* typed = dynamic_cast<Screen*>(screen.get());
  if (!typed) return nullptr;
  screen.release();
  return std::unique_ptr<Screen>(typed);
}

}  // namespace vestra::screens::testing
