#include "app/settings.h"

#include <cerrno>
#include <fstream>
#include <optional>
#include <span>
#include <sstream>
#include <system_error>

#include "app/ini.h"
#include "app/numbers.h"
#include "app/texts.h"
#include "app/units.h"
#include "engine/errors.h"
#include "engine/numeric.h"
#include "engine/shown_text.h"

namespace vestra {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // Read in one piece: a settings file grown large by accident is held only once.
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  std::string text;
  if (!ec) {
    text.resize(static_cast<std::size_t>(size));
    in.read(text.data(), static_cast<std::streamsize>(size));
    text.resize(static_cast<std::size_t>(in.gcount()));
  }
  // What a file still growing, or of no known size, holds beyond.
  if (in.peek() != std::char_traits<char>::eof()) {
    std::ostringstream rest;
    rest << in.rdbuf();
    text += rest.str();
  }
  if (in.bad()) return std::nullopt;
  return text;
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

// Reads the numeric keys of the settings file: the leading number of the value, then
// its nearest integer checked against the key's range; a value that does not fit is
// reported with the key's default.
class NumericKeys {
 public:
  NumericKeys(const SettingsFile& file, LoadSettingsReport& report)
      : file_(file), report_(report) {}

  std::int16_t Read(std::string_view section, std::string_view key, int low, int high,
                    const std::string& expected, const std::string& fallbackName) {
    const std::string text = file_.ReadIni(section, key);
    try {
      // Overflow (6) for a number beyond the double range, such as 1e400.
      const double number = RoundHalfEven(LeadingNumber(text));
      if (number >= low && number <= high) return static_cast<std::int16_t>(number);
    } catch (const RuntimeError&) {
    }
    report_.problems.push_back({file_.SourceOf(section, key).string(), std::string(section),
                                std::string(key), text, expected, "0 (" + fallbackName + ")"});
    return 0;
  }

  std::int16_t UnitChoice(std::string_view key, Quantity quantity, const std::string& what) {
    const std::span<const Unit> units = UnitTable(quantity);
    const int last = static_cast<int>(units.size()) - 1;
    return Read("Unmis", key, 0, last,
                "a unit choice of " + what + " from 0 to " + std::to_string(last),
                std::string(units[0].name));
  }

 private:
  const SettingsFile& file_;
  LoadSettingsReport& report_;
};

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

const SettingsFile::Contents& SettingsFile::Read() const {
  if (!contents_) {
    Contents contents;
    std::error_code ec;
    contents.usesUserCopy = !userFile_.empty() && fs::is_regular_file(userFile_, ec);
    if (contents.usesUserCopy) contents.user = IniValues(ReadWholeFile(userFile_).value_or(""));
    contents.program = IniValues(ReadWholeFile(programFile_).value_or(""));
    contents_ = std::move(contents);
  }
  return *contents_;
}

bool SettingsFile::usesUserCopy() const {
  return Read().usesUserCopy;
}

std::string SettingsFile::ReadIni(std::string_view section, std::string_view key) const {
  const Contents& contents = Read();
  if (contents.usesUserCopy)
    if (auto value = contents.user.Find(section, key)) return *value;
  return contents.program.Find(section, key).value_or("");
}

std::filesystem::path SettingsFile::SourceOf(std::string_view section, std::string_view key) const {
  const Contents& contents = Read();
  if (contents.usesUserCopy && contents.user.Find(section, key)) return userFile_;
  return programFile_;
}

IniWriteResult SettingsFile::WriteIni(std::string_view section, std::string_view key,
                                      std::string_view value) {
  // The files as they are now: a hand edit made while the program ran is kept.
  contents_.reset();
  const Contents& now = Read();
  // The value as the file would give it back once written, against the one it gives now.
  const std::optional<std::string> written =
      IniLookup(IniSetValue("", section, key, value), section, key);
  if (ReadIni(section, key) == written.value_or("")) return {true, SourceOf(section, key), ""};

  if (now.usesUserCopy) {
    const std::string updated =
        IniSetValue(ReadWholeFile(userFile_).value_or(""), section, key, value);
    const auto error = WriteWholeFile(userFile_, updated);
    contents_.reset();
    return {!error, userFile_, error.value_or("")};
  }
  const std::string programContent = ReadWholeFile(programFile_).value_or("");
  const std::string updated = IniSetValue(programContent, section, key, value);
  const auto programError = WriteWholeFile(programFile_, updated);
  contents_.reset();
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

std::string DescribeStartupProblem(const StartupProblem& problem) {
  return "Settings file " + problem.file + ", section " + problem.section + ", key " + problem.key +
         ": " + QuotedValue(problem.value) + " is not " + problem.expected + "; " +
         problem.fallback + " is used instead.";
}

LoadSettingsReport LoadSettings(const SettingsFile& file, const std::string& defaultOutputFolder,
                                Settings& settings) {
  LoadSettingsReport report;
  NumericKeys numbers(file, report);

  // Beyond 14 there is no language; beyond 163 the language base would not even fit the
  // 16 bits the text identifiers have.
  settings.LangIndex =
      numbers.Read("Common", "Multi", 0, 14, "a language index from 0 to 14", "Italian");
  settings.LangBase = LangBaseFor(settings.LangIndex);

  settings.CdromPath = WithTrailingSeparator(file.ReadIni("Common", "Cdrom"));

  settings.OutputPath = file.ReadIni("Common", "OutputDir");
  settings.DefaultLang = file.ReadIni("Common", "Default");

  // An empty OutputDir would save reports into whatever folder the program was started
  // from; they go to a folder of the user's documents instead. A relative folder is
  // taken in the program folder, for the same reason.
  settings.OutputPathIsDefault = settings.OutputPath.empty();
  if (settings.OutputPathIsDefault) {
    settings.OutputPath = defaultOutputFolder;
  } else if (fs::path(settings.OutputPath).is_relative() && !settings.AppPath.empty()) {
    settings.OutputPath = settings.AppPath + settings.OutputPath;
  }

  settings.UnitPt = numbers.UnitChoice("Pt", Quantity::kCapacity, "capacity");
  settings.UnitQa = numbers.UnitChoice("Qa", Quantity::kAirFlow, "air flow");
  settings.UnitQw = numbers.UnitChoice("Qw", Quantity::kWaterFlow, "water flow");
  settings.UnitDpW = numbers.UnitChoice("DpW", Quantity::kWaterPressureDrop, "water pressure drop");
  settings.UnitDpA = numbers.UnitChoice("DpA", Quantity::kAirPressure, "air pressure");

  for (std::size_t index = 0; index <= 14; ++index) {
    std::string key(1, 'L');
    key += std::to_string(index);
    settings.LangCodes[index] = FixedText(file.ReadIni("Lingue", key), kLangCodeChars);
  }

  // The unit tables are constant data (app/units.h); nothing to fill.
  return report;
}

std::string PrepareReportFolder(const Settings& settings) {
  const std::string& folder = settings.OutputPath;
  const auto fail = [&](const std::string& reason) {
    throw RuntimeError(kPathFileAccessError,
                       "The reports folder \"" + folder + "\" cannot be created (" + reason +
                           "). Create it, or name another one with OutputDir in section Common "
                           "of " +
                           std::string(kSettingsFileName) + ".");
  };
  if (folder.empty()) fail("no documents folder is known for this user");
  std::error_code ec;
  fs::path path(folder);
  if (!path.has_filename()) path = path.parent_path();  // written with a final separator
  const fs::file_status status = fs::status(path, ec);
  if (fs::exists(status)) {
    if (!fs::is_directory(status)) fail("a file of that name is in the way");
    return folder;
  }
  if (settings.OutputPathIsDefault) {
    fs::create_directories(path, ec);
  } else {
    // A folder named in the settings file: a mistyped parent is not created.
    const fs::path parent = path.parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec))
      fail("its parent folder " + parent.string() + " does not exist");
    fs::create_directory(path, ec);
  }
  if (ec) fail(ec.message());
  return folder;
}

}  // namespace vestra
