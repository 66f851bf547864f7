#pragma once

// The settings record of the running program and the settings file it comes from.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ini.h"

namespace vestra {

// The platform's folder separator, which ends AppPath and CdromPath.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

inline constexpr std::string_view kSettingsFileName = "Vestra.ini";
inline constexpr std::size_t kLangCodeCount = 21;  // LangCodes 0..20; the file fills 0..14
inline constexpr std::size_t kLangCodeChars = 3;

// Language codes of a file without section "Lingue": three blanks each.
std::array<std::string, kLangCodeCount> BlankLangCodes();

// The process-wide settings, filled once at start-up. The language fields change through
// the language chooser, the unit choices through the units dialog, the series fields
// through the main window's menus.
struct Settings {
  bool NoLimits = false;         // command line exactly "nolimits": no input range checks
  std::string DecimalSeparator;  // "." or "," of the user's locale, empty when neither
  std::string AppPath;           // program folder, ending in one separator
  std::int16_t LangIndex = 0;    // 0..14, Italian first
  std::int16_t LangBase = 100;   // (2 x LangIndex + 1) x 100
  std::string CdromPath;         // documents root, ending in a separator
  std::string OutputPath;        // folder the reports are saved in, as written
  // OutputDir was empty: reports go to the user's documents folder, whose missing parent
  // folders may be created too (a folder named in the settings file gets one level only).
  bool OutputPathIsDefault = false;
  std::string DefaultLang;  // document language when the current one has none
  // Document language code of each language index: always 3 characters, cut or padded
  // with blanks; the trailing blanks take part in the catalogue queries.
  std::array<std::string, kLangCodeCount> LangCodes = BlankLangCodes();
  std::int16_t UnitPt = 0;   // capacity unit choice
  std::int16_t UnitQa = 0;   // air flow
  std::int16_t UnitQw = 0;   // water flow
  std::int16_t UnitDpW = 0;  // water pressure drop
  std::int16_t UnitDpA = 0;  // air pressure
  // The product database handle is added by the catalogue layer, which opens it after
  // LoadSettings and keeps it for the whole run.
  std::string DbVersion;      // data version of the catalogue
  std::string CurrentSeries;  // code of the chosen series, empty at start
  std::int16_t ReTransMode = 0;
};

// The separator character the number conversions use: the locale's, or "." when the
// locale uses neither "." nor ",".
char DecimalChar(const Settings& settings);

// ---- start-up rules on plain values ------------------------------------------------

// True when the whole argument text is exactly "nolimits" (case-sensitive, nothing else).
bool IsNoLimitsCommandLine(std::string_view argumentText);

// The argument text of a command line: the arguments after the program name, joined by
// single blanks.
std::string CommandLineText(int argc, const char* const* argv);

// The decimal separator from the locale's general number format of ten thirds: "." when
// a "." appears after the first character, otherwise "," likewise, otherwise empty.
std::string DetectDecimalSeparator(std::string_view tenThirdsText);

// The folder with exactly one trailing separator added when it does not end in one.
std::string WithTrailingSeparator(std::string folder);

// ---- the settings file -----------------------------------------------------------------

struct IniWriteResult {
  bool ok = false;
  std::filesystem::path file;  // the file written, or the last one tried
  std::string error;           // why it could not be written
};

// The settings file "Vestra.ini" of the program folder, with a per-user copy for a
// program folder the user cannot write (an installed program). Once the per-user copy
// exists it is read first and written alone; a key it lacks is still read from the
// program folder's file, so keys the installer adds later are seen.
//
// The files are read once, at the first ReadIni, whatever their size: start-up asks for
// two dozen keys. A write reads the file it changes again, so that what was edited by
// hand meanwhile is kept, and touches it only when the value changes.
class SettingsFile {
 public:
  // programFile: AppPath + "Vestra.ini"; userFile: the per-user copy (empty: none).
  SettingsFile(std::filesystem::path programFile, std::filesystem::path userFile);

  // The value of section/key, trimmed; empty text for a missing file, section or key.
  std::string ReadIni(std::string_view section, std::string_view key) const;

  // The file the value of section/key is read from (the per-user copy or the program
  // folder's file), for a message about that value.
  std::filesystem::path SourceOf(std::string_view section, std::string_view key) const;

  // Writes one value, creating a missing file or section and keeping the rest of the
  // file. A value equal to the one the key holds (blanks around it aside) leaves the file
  // untouched. When the program folder's file cannot be written, the per-user copy is
  // seeded from it and written instead. The result says where the value went or why it
  // was lost.
  IniWriteResult WriteIni(std::string_view section, std::string_view key, std::string_view value);

  const std::filesystem::path& programFile() const { return programFile_; }
  const std::filesystem::path& userFile() const { return userFile_; }
  bool usesUserCopy() const;

 private:
  struct Contents {
    bool usesUserCopy = false;
    IniValues user;
    IniValues program;
  };
  const Contents& Read() const;

  std::filesystem::path programFile_;
  std::filesystem::path userFile_;
  mutable std::optional<Contents> contents_;
};

// ---- LoadSettings ----------------------------------------------------------------------

// A value of the settings file that start-up could not take: the key's default is used
// instead, and the problem is reported (the desktop program shows it, the command-line
// tools print it on stderr) without stopping the program.
struct StartupProblem {
  std::string file;      // the settings file the value was read from
  std::string section;   // as the program names it: "Common", "Unmis"
  std::string key;       // "Multi", "Pt" ...
  std::string value;     // as read
  std::string expected;  // what the key takes: "a language index from 0 to 14"
  std::string fallback;  // what is used instead: "0 (Italian)"
};

struct LoadSettingsReport {
  std::vector<StartupProblem> problems;
};

// The one-line message of a problem: the file, the section, the key, the value quoted
// (cut and with control characters shown), what the key takes and what is used instead.
std::string DescribeStartupProblem(const StartupProblem& problem);

// Reads the settings file into the record, in this order: language (LangIndex, LangBase),
// documents root, output folder and default document language, the unit choices, the
// language codes. defaultOutputFolder replaces an empty OutputDir; a relative one lies in
// the program folder. Nothing is created or written: the output folder is made when a
// report is saved (PrepareReportFolder).
// A numeric value out of its key's range - a language index outside 0..14 (its language
// base would not fit 16 bits beyond 163), a unit choice outside its table, a number beyond
// the double range - is reported and the key's default (0) taken. A missing file, section
// or key, and a text without a leading number, read as 0 without a report.
LoadSettingsReport LoadSettings(const SettingsFile& file, const std::string& defaultOutputFolder,
                                Settings& settings);

// The folder a report is saved in, created when it is missing: one level for a folder
// named by OutputDir (its parent must exist), every missing level for the default folder
// in the user's documents. A folder that cannot be made raises the path/file access error
// (75) with a message naming the folder, the reason and OutputDir of the settings file.
std::string PrepareReportFolder(const Settings& settings);

// ---- the platform's folders (Qt) -----------------------------------------------------

// The folder of the running executable, ending in one separator.
std::string ProgramFolderPath();
// Where the per-user copy of the settings file lives: "Vestra" in the XDG config folder.
std::filesystem::path UserSettingsFolder();
// The output folder used when OutputDir is empty: "Vestra" in the user's documents folder.
std::string DefaultOutputFolder();
// Ten thirds in the general number format of the process locale, or of a named locale
// ("it_IT", "en_US").
std::string SystemTenThirdsText();
std::string TenThirdsText(const std::string& localeName);

// Start-up steps 1 to 4: command line, decimal separator, program folder, settings file.
struct StartupSettings {
  Settings settings;
  SettingsFile file;
  LoadSettingsReport report;
};
StartupSettings StartSettings(int argc, const char* const* argv);

}  // namespace vestra
