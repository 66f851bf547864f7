#include "app/ui/startup.h"

#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <cstdio>

#include "app/ui/info_window.h"
#include "app/ui/main_window.h"
#include "app/ui/pictures.h"
#include "data/store.h"
#include "engine/errors.h"

namespace vestra::ui {

StartupResult StartProgram(StartupSettings startup, const Desktop& desktop) {
  StartupResult result;
  auto program = std::make_unique<Program>();
  program->settingsFile = std::make_unique<SettingsFile>(std::move(startup.file));
  program->session = std::make_unique<screens::Session>();
  screens::Session& session = *program->session;
  session.settings = std::move(startup.settings);
  session.settingsFile = program->settingsFile.get();
  // The values of the settings file that could not be taken, in one message at start.
  QStringList problems;
  for (const StartupProblem& problem : startup.report.problems)
    problems << QString::fromStdString(DescribeStartupProblem(problem));
  if (!problems.isEmpty() && desktop.message)
    desktop.message(nullptr, problems.join(QStringLiteral("\n")), screens::Icon::kWarning);

  QCoreApplication::processEvents();

  QPointer<InfoWindow> splash;
  try {
    session.store = std::make_unique<CatalogueStore>(session.settings.AppPath + "Vestra.db");
    session.settings.DbVersion = session.store->ReadDataVersion();

    splash = new InfoWindow(session.settings, desktop, InfoWindow::Role::kSplash);
    splash->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    program->mainWindow = std::make_unique<MainWindow>(session, desktop);
    // Closes the splash with every other window; the language came from the settings file,
    // which is left as it is.
    program->mainWindow->ApplyLanguage(false);
    if (splash) splash->close();
    program->mainWindow->show();
  } catch (const std::exception& e) {
    // No catalogue, a damaged one, an interface text missing: nothing to run without.
    if (splash) splash->close();
    result.failure = e.what();
    return result;
  }
  result.program = std::move(program);
  return result;
}

int RunProgram(int argc, char** argv, const ProgramHooks& hooks) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vestra"));
  // The menu entry vestra.desktop: the desktop shows its icon and name for the windows.
  QGuiApplication::setDesktopFileName(QStringLiteral("vestra"));
  QApplication::setWindowIcon(ProgramIcon());
  const Desktop desktop = SystemDesktop();

  StartupResult started;
  try {
    started = StartProgram(StartSettings(argc, argv), desktop);
  } catch (const RuntimeError& e) {
    started.failure = std::string(e.what()) + " (" + std::to_string(e.number()) + ")";
  }
  if (!started.program) {
    // Also on the terminal or in the session's log: a program started from the menu or
    // by a script may have no one to read the box.
    std::fprintf(stderr, "vestra: %s\n", started.failure.c_str());
    ShowMessageBox(nullptr, QString::fromStdString(started.failure), screens::Icon::kError);
    return 1;
  }
  if (hooks.onShown) QTimer::singleShot(0, [&hooks, &started] { hooks.onShown(*started.program); });
  const int code = QApplication::exec();
  started.program.reset();
  return code;
}

}  // namespace vestra::ui
