#include "ui_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "app/ui/main_window.h"
#include "screens/ui/standard_window.h"

namespace vestra::testing {

ui::Desktop RecordingDesktop::Make() {
  ui::Desktop d;
  d.message = [this](QWidget*, const QString& text, screens::Icon icon) {
    messages.push_back({text, icon});
  };
  d.openUrl = [this](const QUrl& url) {
    opened.push_back(url);
    return openSucceeds;
  };
  d.now = [this] { return now; };
  return d;
}

ProgramFolder::ProgramFolder(bool withCatalogue) {
  if (withCatalogue)
    QFile::copy(QStringLiteral(VESTRA_CATALOGUE_DB), dir_.filePath(QStringLiteral("Vestra.db")));
}

std::string ProgramFolder::path() const {
  return WithTrailingSeparator(dir_.path().toStdString());
}

std::string ProgramFolder::settingsPath() const {
  return path() + "Vestra.ini";
}

std::string ProgramFolder::ReadSettings() const {
  QFile file(QString::fromStdString(settingsPath()));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

void ProgramFolder::WriteSettings(const std::string& text) const {
  WriteFile("Vestra.ini", text);
}

void ProgramFolder::WriteFile(const std::string& name, const std::string& bytes) const {
  QFile file(dir_.filePath(QString::fromStdString(name)));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

StartupSettings ProgramFolder::Settings(const std::string& decimalSeparator) const {
  vestra::Settings settings;
  settings.DecimalSeparator = decimalSeparator;
  settings.AppPath = path();
  SettingsFile file(settingsPath(), "");
  LoadSettingsReport report = LoadSettings(file, path() + "out", settings);
  return StartupSettings{std::move(settings), std::move(file), std::move(report)};
}

StartedProgram::StartedProgram(const std::string& decimalSeparator) {
  ui::StartupResult started = ui::StartProgram(folder.Settings(decimalSeparator), desktop.Make());
  EXPECT_TRUE(started.program) << started.failure;
  program = std::move(started.program);
  if (program) {
    program->mainWindow->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(program->mainWindow.get()));
  }
}

ui::MainWindow& StartedProgram::main() const {
  return *program->mainWindow;
}

screens::Session& StartedProgram::session() const {
  return *program->session;
}

ui::ScreenWindow& StartedProgram::ChooseScreen(const std::string& menuItem) const {
  main().Action(menuItem)->trigger();
  ui::ScreenWindow* window = main().OpenScreenWindow();
  EXPECT_NE(window, nullptr) << menuItem;
  main().MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window->parentWidget()));
  Settle();
  return *window;
}

ui::StandardWindow& StartedProgram::Choose(const std::string& menuItem) const {
  main().Action(menuItem)->trigger();
  auto* window = dynamic_cast<ui::StandardWindow*>(main().OpenScreenWindow());
  EXPECT_NE(window, nullptr) << menuItem;
  main().MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window->parentWidget()));
  Settle();
  return *window;
}

void Settle() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

}  // namespace vestra::testing
