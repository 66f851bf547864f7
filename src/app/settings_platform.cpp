// The parts of start-up that ask the platform: the executable's folder, the user's
// folders and the process locale. Everything they feed is decided in settings.cpp.

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QStandardPaths>
#include <QString>
#include <system_error>

#include "app/settings.h"

namespace vestra {
namespace {

std::string ToStd(const QString& s) {
  return s.toStdString();
}

std::string LocalFolder(QStandardPaths::StandardLocation location) {
  return ToStd(QDir::toNativeSeparators(QStandardPaths::writableLocation(location)));
}

}  // namespace

std::string ProgramFolderPath() {
  std::string folder;
  if (QCoreApplication::instance() != nullptr) {
    folder = ToStd(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
  } else {
    // Command-line tools run without an application object.
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    folder = ec ? std::filesystem::current_path().string() : exe.parent_path().string();
  }
  return WithTrailingSeparator(folder);
}

std::filesystem::path UserSettingsFolder() {
  const std::string config = LocalFolder(QStandardPaths::GenericConfigLocation);
  if (config.empty()) return {};
  return std::filesystem::path(config) / "Vestra";
}

std::string DefaultOutputFolder() {
  std::string documents = LocalFolder(QStandardPaths::DocumentsLocation);
  if (documents.empty()) documents = LocalFolder(QStandardPaths::HomeLocation);
  if (documents.empty()) return {};
  return WithTrailingSeparator(documents) + "Vestra";
}

std::string SystemTenThirdsText() {
  return ToStd(QLocale::system().toString(10.0 / 3.0));
}

std::string TenThirdsText(const std::string& localeName) {
  return ToStd(QLocale(QString::fromStdString(localeName)).toString(10.0 / 3.0));
}

StartupSettings StartSettings(int argc, const char* const* argv) {
  Settings settings;
  settings.NoLimits = IsNoLimitsCommandLine(CommandLineText(argc, argv));
  settings.DecimalSeparator = DetectDecimalSeparator(SystemTenThirdsText());
  settings.AppPath = ProgramFolderPath();
  const std::filesystem::path userFolder = UserSettingsFolder();
  SettingsFile file(
      settings.AppPath + std::string(kSettingsFileName),
      userFolder.empty() ? std::filesystem::path() : userFolder / std::string(kSettingsFileName));
  LoadSettingsReport report = LoadSettings(file, DefaultOutputFolder(), settings);
  return StartupSettings{std::move(settings), std::move(file), std::move(report)};
}

}  // namespace vestra
