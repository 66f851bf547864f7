#include "app/settings.h"

#include <cerrno>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "app/ini.h"
#include "app/numbers.h"
#include "app/texts.h"
#include "app/units.h"
#include "engine/numeric.h"

namespace vestra {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return text.str();
}

// Writes the whole file in place; the reason when it cannot.
std::optional<std::string> WriteWholeFile(const fs::path& path, const std::string& content) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    return errno != 0 ? std::generic_category().message(errno)
                      : std::string("the file cannot be opened for writing");
  }
  out << content;
  out.close();
  if (out.fail()) return std::string("writing the file failed");
  return std::nullopt;
}

// The first n characters of UTF-8 text, padded with blanks to n characters.
std::string FixedText(std::string_view s, std::size_t n) {
  std::string out;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const bool starts = (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
    if (starts && chars++ == n) break;
    out += s[i];
  }
  if (chars < n) out.append(n - chars, ' ');
  return out;
}

std::int16_t IntegerKey(const SettingsFile& file, std::string_view section, std::string_view key) {
  return CInt(LeadingNumber(file.ReadIni(section, key)));
}

// Makes sure the output folder exists: one level for a folder named in the settings
// file (its parent must exist), all levels for the default folder, which is ours.
std::optional<StartupProblem> PrepareOutputFolder(const std::string& folder, bool allLevels) {
  if (folder.empty()) return StartupProblem{folder, "no documents folder is known for this user"};
  std::error_code ec;
  fs::path path(folder);
  if (!path.has_filename()) path = path.parent_path();  // written with a final separator
  const fs::file_status status = fs::status(path, ec);
  if (fs::exists(status)) {
    if (fs::is_directory(status)) return std::nullopt;
    return StartupProblem{folder, "a file of that name is in the way"};
  }
  if (allLevels) {
    fs::create_directories(path, ec);
  } else {
    const fs::path parent = path.parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec))
      return StartupProblem{folder, "its parent folder " + parent.string() + " does not exist"};
    fs::create_directory(path, ec);
  }
  if (ec) return StartupProblem{folder, ec.message()};
  return std::nullopt;
}

}  // namespace

std::array<std::string, kLangCodeCount> BlankLangCodes() {
  std::array<std::string, kLangCodeCount> codes;
  codes.fill(std::string(kLangCodeChars, ' '));
  return codes;
}

char DecimalChar(const Settings& settings) {
  return settings.DecimalSeparator.empty() ? '.' : settings.DecimalSeparator[0];
}

bool IsNoLimitsCommandLine(std::string_view argumentText) {
  return argumentText == "nolimits";
}

std::string CommandLineText(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

std::string DetectDecimalSeparator(std::string_view tenThirdsText) {
  // After the first character: a leading sign or separator is not the decimal point.
  for (const char separator : {'.', ','}) {
    const auto at = tenThirdsText.find(separator);
    if (at != std::string_view::npos && at >= 1) return std::string(1, separator);
  }
  return {};
}

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

// ---- SettingsFile ------------------------------------------------------------------

SettingsFile::SettingsFile(std::filesystem::path programFile, std::filesystem::path userFile)
    : programFile_(std::move(programFile)), userFile_(std::move(userFile)) {}

bool SettingsFile::usesUserCopy() const {
  std::error_code ec;
  return !userFile_.empty() && fs::is_regular_file(userFile_, ec);
}

std::string SettingsFile::ReadIni(std::string_view section, std::string_view key) const {
  if (usesUserCopy()) {
    if (const auto content = ReadWholeFile(userFile_))
      if (auto value = IniLookup(*content, section, key)) return *value;
  }
  if (const auto content = ReadWholeFile(programFile_))
    if (auto value = IniLookup(*content, section, key)) return *value;
  return {};
}

IniWriteResult SettingsFile::WriteIni(std::string_view section, std::string_view key,
                                      std::string_view value) {
  if (usesUserCopy()) {
    const std::string content = ReadWholeFile(userFile_).value_or("");
    const auto error = WriteWholeFile(userFile_, IniSetValue(content, section, key, value));
    return {!error, userFile_, error.value_or("")};
  }
  const std::string programContent = ReadWholeFile(programFile_).value_or("");
  const std::string updated = IniSetValue(programContent, section, key, value);
  const auto programError = WriteWholeFile(programFile_, updated);
  if (!programError) return {true, programFile_, ""};
  if (userFile_.empty()) return {false, programFile_, *programError};

  // An installed program: the settings move to the user's own copy, seeded with
  // everything the program folder's file holds.
  std::error_code ec;
  fs::create_directories(userFile_.parent_path(), ec);
  const auto userError = WriteWholeFile(userFile_, updated);
  if (!userError) return {true, userFile_, ""};
  return {
      false, userFile_,
      programFile_.string() + ": " + *programError + "; " + userFile_.string() + ": " + *userError};
}

// ---- LoadSettings --------------------------------------------------------------------

std::string DescribeOutputFolderProblem(const StartupProblem& problem) {
  return "The output folder \"" + problem.folder + "\" cannot be created (" + problem.reason +
         "). Reports cannot be saved until the folder exists or OutputDir in section Common "
         "of " +
         std::string(kSettingsFileName) + " names another one.";
}

LoadSettingsReport LoadSettings(const SettingsFile& file, const std::string& defaultOutputFolder,
                                Settings& settings) {
  LoadSettingsReport report;

  settings.LangIndex = IntegerKey(file, "Common", "Multi");
  settings.LangBase = LangBaseFor(settings.LangIndex);

  settings.CdromPath = WithTrailingSeparator(file.ReadIni("Common", "Cdrom"));

  settings.OutputPath = file.ReadIni("Common", "OutputDir");
  settings.DefaultLang = file.ReadIni("Common", "Default");

  // An empty OutputDir would save reports into whatever folder the program was started
  // from; they go to a folder of the user's documents instead. A relative folder is
  // taken in the program folder, for the same reason.
  const bool useDefault = settings.OutputPath.empty();
  if (useDefault) {
    settings.OutputPath = defaultOutputFolder;
  } else if (fs::path(settings.OutputPath).is_relative() && !settings.AppPath.empty()) {
    settings.OutputPath = settings.AppPath + settings.OutputPath;
  }
  if (auto problem = PrepareOutputFolder(settings.OutputPath, useDefault))
    report.problems.push_back(*problem);

  settings.UnitPt =
      ValidUnitChoice(Quantity::kCapacity, LeadingNumber(file.ReadIni("Unmis", "Pt")));
  settings.UnitQa = ValidUnitChoice(Quantity::kAirFlow, LeadingNumber(file.ReadIni("Unmis", "Qa")));
  settings.UnitQw =
      ValidUnitChoice(Quantity::kWaterFlow, LeadingNumber(file.ReadIni("Unmis", "Qw")));
  settings.UnitDpW =
      ValidUnitChoice(Quantity::kWaterPressureDrop, LeadingNumber(file.ReadIni("Unmis", "DpW")));
  settings.UnitDpA =
      ValidUnitChoice(Quantity::kAirPressure, LeadingNumber(file.ReadIni("Unmis", "DpA")));

  for (std::size_t index = 0; index <= 14; ++index) {
    std::string key(1, 'L');
    key += std::to_string(index);
    settings.LangCodes[index] = FixedText(file.ReadIni("Lingue", key), kLangCodeChars);
  }

  // The unit tables are constant data (app/units.h); nothing to fill.
  return report;
}

}  // namespace vestra
