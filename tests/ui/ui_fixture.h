#pragma once

// The program started on the built catalogue, in a folder of its own, with a desktop that
// records its messages and the addresses it opens and a clock that ticks when the test
// says. Widget tests run offscreen.

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>
#include <string>
#include <vector>

#include "app/settings.h"
#include "app/ui/startup.h"
#include "screens/controls.h"
#include "screens/ui/desktop.h"

namespace vestra::ui {
class MainWindow;
class StandardWindow;
class ScreenWindow;
}  // namespace vestra::ui

namespace vestra::testing {

struct RecordedMessage {
  QString text;
  screens::Icon icon;
};

struct RecordingDesktop {
  std::vector<RecordedMessage> messages;
  std::vector<QUrl> opened;
  bool openSucceeds = true;
  QDateTime now = QDateTime(QDate(2024, 3, 9), QTime(8, 30, 15));

  ui::Desktop Make();
};

class ProgramFolder {
 public:
  // A program folder with a copy of the built catalogue (none when withCatalogue is
  // false) and an empty settings file.
  explicit ProgramFolder(bool withCatalogue = true);

  std::string path() const;  // with its trailing separator
  std::string settingsPath() const;
  std::string ReadSettings() const;
  void WriteSettings(const std::string& text) const;
  void WriteFile(const std::string& name, const std::string& bytes) const;

  // Start-up steps 1 to 4 on this folder, with the given decimal separator.
  StartupSettings Settings(const std::string& decimalSeparator = ".") const;

 private:
  QTemporaryDir dir_;
};

// A started program; fails the test when start-up fails.
struct StartedProgram {
  ProgramFolder folder;
  RecordingDesktop desktop;
  std::unique_ptr<ui::Program> program;

  explicit StartedProgram(const std::string& decimalSeparator = ".");
  ui::MainWindow& main() const;
  screens::Session& session() const;
  // Chooses a series from the menu and gives back its screen, focused and active.
  ui::StandardWindow& Choose(const std::string& menuItem) const;
  // The same for any screen's window.
  ui::ScreenWindow& ChooseScreen(const std::string& menuItem) const;
};

// Lets queued work (the messages of a leave-field rule, deletions) run.
void Settle();

}  // namespace vestra::testing
