#pragma once

#include <memory>
#include <string>
#include <vector>

#include "screens/controls.h"
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

  std::vector<Message> messages;
  std::vector<ControlRef> focus;
  std::string clipboard;
  int pendingEventCalls = 0;
};

// A session in Italian with a point decimal separator and no catalogue.
std::unique_ptr<Session> ItalianSession(char decimalSeparator = '.');

// A session on the catalogue the build makes, and a standard screen dispatched for a series
// as the main window does it.
std::unique_ptr<Session> CatalogueSession();
std::unique_ptr<StandardScreen> OpenStandardScreen(Session& session, RecordingUi& ui,
                                                   std::string_view series);

// The model rows of the grid (headings left out).
std::vector<std::vector<std::string>> ModelRows(const StandardScreen& screen);
// The column of a heading symbol, -1 when the grid has none.
int Column(const StandardScreen& screen, std::string_view symbol);

}  // namespace vestra::screens::testing
