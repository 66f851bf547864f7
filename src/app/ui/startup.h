#pragma once

// Start-up, from the settings read to the main window shown, and the whole program run.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/settings.h"
#include "screens/session.h"
#include "screens/ui/desktop.h"

namespace vestra::ui {

class MainWindow;

// What one run of the program holds: the settings file, the session with the catalogue,
// and the main window (destroyed first).
struct Program {
  std::unique_ptr<SettingsFile> settingsFile;
  std::unique_ptr<screens::Session> session;
  std::unique_ptr<MainWindow> mainWindow;
};

struct StartupResult {
  std::unique_ptr<Program> program;  // null when start-up failed
  std::string failure;               // why: the catalogue file and the reason
};

// Start-up after the settings (command line, decimal separator, program folder, settings
// file): the problems LoadSettings survived are shown, pending events run once, the
// catalogue of the program folder is opened and its version read, the information window
// shown as the splash, the language applied (which creates the main window and closes the
// splash), and the main window shown.
StartupResult StartProgram(StartupSettings settings, const Desktop& desktop);

struct ProgramHooks {
  // Runs once the main window is shown (the timed launch uses it).
  std::function<void(Program&)> onShown;
};

// The program: QApplication, start-up (a failure is a message box and exit code 1), then
// the window events until the main window closes.
int RunProgram(int argc, char** argv, const ProgramHooks& hooks = {});

}  // namespace vestra::ui
