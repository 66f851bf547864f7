#include "app/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <tuple>

#include "engine/errors.h"
#include "test_folder.h"

namespace vestra {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TestFolder;
using testing::WriteFile;

TEST(StartupRules, noLimitsOnlyForExactlyTheWord) {
  EXPECT_TRUE(IsNoLimitsCommandLine("nolimits"));
  for (const char* line : {"NOLIMITS", "Nolimits", "nolimits x", " nolimits", "nolimits ", ""})
    EXPECT_FALSE(IsNoLimitsCommandLine(line)) << '"' << line << '"';

  const char* one[] = {"vestra", "nolimits"};
  EXPECT_TRUE(IsNoLimitsCommandLine(CommandLineText(2, one)));
  const char* two[] = {"vestra", "nolimits", "now"};
  EXPECT_EQ(CommandLineText(3, two), "nolimits now");
  EXPECT_FALSE(IsNoLimitsCommandLine(CommandLineText(3, two)));
  const char* none[] = {"vestra"};
  EXPECT_EQ(CommandLineText(1, none), "");
}

TEST(StartupRules, decimalSeparatorFromTenThirds) {
  EXPECT_EQ(DetectDecimalSeparator("3,33333"), ",");
  EXPECT_EQ(DetectDecimalSeparator("3.33333"), ".");
  EXPECT_EQ(DetectDecimalSeparator("3\xD9\xAB"
                                   "33333"),
            "");                                       // Arabic decimal sign
  EXPECT_EQ(DetectDecimalSeparator(".333"), "");       // not after the first character
  EXPECT_EQ(DetectDecimalSeparator("3.333,33"), ".");  // a point anywhere wins
}

TEST(StartupRules, tenThirdsOfRealLocales) {
  EXPECT_EQ(DetectDecimalSeparator(TenThirdsText("it_IT")), ",");
  EXPECT_EQ(DetectDecimalSeparator(TenThirdsText("de_DE")), ",");
  EXPECT_EQ(DetectDecimalSeparator(TenThirdsText("en_US")), ".");
  EXPECT_EQ(DetectDecimalSeparator(TenThirdsText("C")), ".");
}

TEST(StartupRules, folderGetsExactlyOneTrailingSeparator) {
  EXPECT_EQ(WithTrailingSeparator("/opt/vestra"), "/opt/vestra/");
  EXPECT_EQ(WithTrailingSeparator("/opt/vestra/"), "/opt/vestra/");
  EXPECT_EQ(WithTrailingSeparator("/"), "/");  // the root keeps its single separator
  EXPECT_EQ(WithTrailingSeparator(""), "/");   // an absent documents root
}

TEST(StartupRules, programFolderIsTheExecutablesFolder) {
  const std::string folder = ProgramFolderPath();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_NE(folder.substr(folder.size() - 2), "//");
  EXPECT_TRUE(fs::exists(fs::path(folder) / "vestra_app_tests")) << folder;
}

// A program folder with its settings file and a per-user config folder beside it.
class LoadSettingsTest : public ::testing::Test {
 protected:
  LoadSettingsTest()
      : program(folder / "program"),
        userFile(folder / "config" / "Vestra" / "Vestra.ini"),
        file(program / "Vestra.ini", userFile) {
    fs::create_directories(program);
    settings.AppPath = program.string() + "/";
  }

  void WriteSettings(const std::string& content) { WriteFile(program / "Vestra.ini", content); }

  // A start of the program: the settings file as it is now.
  LoadSettingsReport Load() {
    file = SettingsFile(program / "Vestra.ini", userFile);
    return LoadSettings(file, (folder / "Documents" / "Vestra").string(), settings);
  }

  TestFolder folder;
  fs::path program;
  fs::path userFile;
  SettingsFile file;
  Settings settings;
};

TEST_F(LoadSettingsTest, aMissingFileStartsInItalianWithTheFirstUnits) {
  const LoadSettingsReport report = Load();
  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ(settings.LangIndex, 0);
  EXPECT_EQ(settings.LangBase, 100);
  EXPECT_EQ(settings.CdromPath, "/");
  EXPECT_EQ(settings.DefaultLang, "");
  for (std::int16_t unit :
       {settings.UnitPt, settings.UnitQa, settings.UnitQw, settings.UnitDpW, settings.UnitDpA})
    EXPECT_EQ(unit, 0);
  for (const std::string& code : settings.LangCodes) EXPECT_EQ(code, "   ");
  EXPECT_FALSE(fs::exists(program / "Vestra.ini"));  // reading never writes
}

TEST_F(LoadSettingsTest, languageIndexAndBaseFromMulti) {
  struct Case {
    const char* multi;
    std::int16_t index;
    std::int16_t base;
  };
  const Case cases[] = {
      {"1", 1, 300},   {"14", 14, 2900},  {" 2", 2, 500},  // as the program writes it
      {"2.5", 2, 500},                                     // nearest integer, ties to even
      {"3.5", 4, 900}, {"7abc", 7, 1500}, {"abc", 0, 100},
      {"2,5", 2, 500},  // a comma is no decimal point in the settings file
  };
  for (const auto& c : cases) {
    WriteSettings(std::string("[Common]\nMulti=") + c.multi + "\n");
    Load();
    EXPECT_EQ(settings.LangIndex, c.index) << c.multi;
    EXPECT_EQ(settings.LangBase, c.base) << c.multi;
  }
}

// A value out of its key's range never stops the program: the message names the file,
// the section, the key and the value, and the key's default is taken.
TEST_F(LoadSettingsTest, aValueOutOfItsRangeIsReportedAndTheDefaultTaken) {
  struct Case {
    const char* section;
    const char* key;
    std::string value;
    std::string expected;  // in the message
    std::string fallback;
  } cases[] = {
      {"Common", "Multi", "200", "a language index from 0 to 14", "0 (Italian)"},  // base > 16 bits
      {"Common", "Multi", "15", "a language index from 0 to 14", "0 (Italian)"},
      {"Common", "Multi", "-1", "a language index from 0 to 14", "0 (Italian)"},
      {"Common", "Multi", "1e400", "a language index from 0 to 14", "0 (Italian)"},  // no double
      {"Unmis", "Pt", "1e400", "a unit choice of capacity from 0 to 1", "0 (W)"},
      {"Unmis", "Pt", "2", "a unit choice of capacity from 0 to 1", "0 (W)"},
      {"Unmis", "Qa", "7", "a unit choice of air flow from 0 to 2", "0 (l/s)"},
      {"Unmis", "Qw", "-1", "a unit choice of water flow from 0 to 1", "0 (l/s)"},
      {"Unmis", "DpW", "65536", "a unit choice of water pressure drop from 0 to 1", "0 (kPa)"},
      {"Unmis", "DpA", "99999", "a unit choice of air pressure from 0 to 1", "0 (Pa)"},
  };
  for (const Case& c : cases) {
    // The other keys are still read, before and after the one at fault.
    const std::string line = std::string(c.key) + "=" + c.value + "\n";
    const bool common = std::string(c.section) == "Common";
    WriteSettings("[Common]\nCdrom=/media/cd\n" + (common ? line : "") + "[Unmis]\n" +
                  (std::string(c.key) == "Qa" ? "" : "Qa=1\n") + (common ? "" : line) +
                  "[Lingue]\nL1=ENG\n");
    settings = Settings();
    settings.AppPath = program.string() + "/";
    const LoadSettingsReport report = Load();
    ASSERT_EQ(report.problems.size(), 1u) << c.key << "=" << c.value;
    const std::string message = DescribeStartupProblem(report.problems[0]);
    EXPECT_EQ(message, "Settings file " + (program / "Vestra.ini").string() + ", section " +
                           c.section + ", key " + c.key + ": \"" + c.value + "\" is not " +
                           c.expected + "; " + c.fallback + " is used instead.");
    const std::string key = c.key;
    const std::int16_t taken = key == "Multi" ? settings.LangIndex
                               : key == "Pt"  ? settings.UnitPt
                               : key == "Qa"  ? settings.UnitQa
                               : key == "Qw"  ? settings.UnitQw
                               : key == "DpW" ? settings.UnitDpW
                                              : settings.UnitDpA;
    EXPECT_EQ(taken, 0) << c.key << "=" << c.value;
    EXPECT_EQ(settings.LangBase, 100);
    EXPECT_EQ(settings.CdromPath, "/media/cd/");
    EXPECT_EQ(settings.LangCodes[1], "ENG");
    if (key != "Qa") {
      EXPECT_EQ(settings.UnitQa, 1);
    }
  }
}

TEST_F(LoadSettingsTest, theMessageShowsAValueCutAndWithItsControlCharacters) {
  WriteSettings("[Common]\nMulti=200\t\x1B[31m" + std::string(100, '9') + "\n");
  const LoadSettingsReport report = Load();
  ASSERT_EQ(report.problems.size(), 1u);
  const std::string message = DescribeStartupProblem(report.problems[0]);
  EXPECT_NE(message.find("\"200\\x09\\x1B[31m" + std::string(51, '9') + "...\""), std::string::npos)
      << message;
  EXPECT_EQ(message.find('\x1B'), std::string::npos);
}

TEST_F(LoadSettingsTest, aValueOfTheUsersCopyIsReportedWithThatFile) {
  WriteSettings("[Unmis]\nPt=1\n");
  fs::create_directories(userFile.parent_path());
  WriteFile(userFile, "[Unmis]\nPt=3\n");
  const LoadSettingsReport report = Load();
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_EQ(report.problems[0].file, userFile.string());
  EXPECT_EQ(settings.UnitPt, 0);
}

TEST_F(LoadSettingsTest, aDamagedFileStartsWithTheDefaultsAndIsLeftAsItIs) {
  std::string damaged =
      "\x7F"
      "ELF\x02\x01\x01";
  damaged += std::string("\0\0[Common\0Multi=\xFF\xFE\n", 22);
  for (int i = 0; i < 2000; ++i) damaged += static_cast<char>((i * 37) % 256);
  WriteSettings(damaged);
  const LoadSettingsReport report = Load();
  EXPECT_EQ(settings.LangIndex, 0);
  EXPECT_EQ(settings.UnitPt, 0);
  for (const StartupProblem& problem : report.problems)
    EXPECT_EQ(DescribeStartupProblem(problem).find('\n'), std::string::npos);
  EXPECT_EQ(ReadFile(program / "Vestra.ini"), damaged);
}

// The settings are what the file held at start: start-up reads it once, however many
// keys it asks for.
TEST_F(LoadSettingsTest, theFileIsReadOnceAtStart) {
  WriteSettings("[Common]\nMulti=3\n[Unmis]\nPt=1\n");
  EXPECT_EQ(file.ReadIni("Common", "Multi"), "3");
  WriteSettings("[Common]\nMulti=5\n[Unmis]\nPt=0\n");
  LoadSettings(file, (folder / "Documents" / "Vestra").string(), settings);
  EXPECT_EQ(settings.LangIndex, 3);
  EXPECT_EQ(settings.UnitPt, 1);
}

TEST_F(LoadSettingsTest, documentsRootEndsInOneSeparatorAndLanguageCodesHaveThreeCharacters) {
  WriteSettings(
      "[Common]\nCdrom=/media/cdrom\nDefault=ENG\n"
      "[Lingue]\nL0=ITAL\nL1=EN\nL2=FRA\nL14=fin\nL15=XXX\n");
  Load();
  EXPECT_EQ(settings.CdromPath, "/media/cdrom/");
  EXPECT_EQ(settings.DefaultLang, "ENG");
  EXPECT_EQ(settings.LangCodes[0], "ITA");
  EXPECT_EQ(settings.LangCodes[1], "EN ");
  EXPECT_EQ(settings.LangCodes[2], "FRA");
  EXPECT_EQ(settings.LangCodes[3], "   ");
  EXPECT_EQ(settings.LangCodes[14], "fin");
  EXPECT_EQ(settings.LangCodes[15], "   ");  // only 0..14 come from the file

  WriteSettings("[Common]\nCdrom=/media/cdrom/\n");
  Load();
  EXPECT_EQ(settings.CdromPath, "/media/cdrom/");
}

TEST_F(LoadSettingsTest, unitChoicesAreReadAsNearestIntegers) {
  WriteSettings("[Unmis]\nPt= 1\nQa=1.5\nQw=0.5\nDpW=1abc\nDpA=\n");
  EXPECT_TRUE(Load().problems.empty());
  EXPECT_EQ(settings.UnitPt, 1);
  EXPECT_EQ(settings.UnitQa, 2);  // air flow has three units; halves to even
  EXPECT_EQ(settings.UnitQw, 0);
  EXPECT_EQ(settings.UnitDpW, 1);
  EXPECT_EQ(settings.UnitDpA, 0);
}

// Start-up only works out where reports go; the folder is made when one is saved.
TEST_F(LoadSettingsTest, theReportsFolderIsOnlyNamedAtStart) {
  struct Case {
    std::string outputDir;
    fs::path expected;
    bool isDefault;
  } cases[] = {
      {"", folder / "Documents" / "Vestra", true},
      {"Offerte", program / "Offerte", false},  // relative: in the program folder
      {(folder / "Offerte").string(), folder / "Offerte", false},
      {(folder / "Offerte").string() + "/", fs::path((folder / "Offerte").string() + "/"), false},
  };
  for (const Case& c : cases) {
    WriteSettings("[Common]\nOutputDir=" + c.outputDir + "\n");
    EXPECT_TRUE(Load().problems.empty());
    EXPECT_EQ(settings.OutputPath, c.expected.string()) << c.outputDir;  // no separator added
    EXPECT_EQ(settings.OutputPathIsDefault, c.isDefault) << c.outputDir;
    EXPECT_FALSE(fs::exists(c.expected)) << c.outputDir;
  }
}

TEST_F(LoadSettingsTest, theReportsFolderIsMadeWhenAReportNeedsIt) {
  const fs::path out = folder / "Offerte";
  WriteSettings("[Common]\nOutputDir=" + out.string() + "\n");
  Load();
  EXPECT_EQ(PrepareReportFolder(settings), out.string());
  EXPECT_TRUE(fs::is_directory(out));
  WriteFile(out / "Doc010124-120000.docx", "report");
  EXPECT_EQ(PrepareReportFolder(settings), out.string());  // an existing folder is left as it is
  EXPECT_EQ(ReadFile(out / "Doc010124-120000.docx"), "report");

  WriteSettings("[Common]\nOutputDir=\n");
  Load();
  EXPECT_EQ(PrepareReportFolder(settings), (folder / "Documents" / "Vestra").string());
  EXPECT_TRUE(fs::is_directory(folder / "Documents" / "Vestra"));  // parents included
}

TEST_F(LoadSettingsTest, aReportsFolderThatCannotBeMadeIsAPathError) {
  WriteFile(folder / "taken", "a file");
  struct Case {
    std::string outputDir;
    std::string reason;
  } cases[] = {
      // One level only for a folder the settings name: its parent must exist.
      {(folder / "missing" / "Offerte").string(), "does not exist"},
      {(folder / "taken").string(), "a file of that name is in the way"},
      {(folder / "taken" / "Offerte").string(), "does not exist"},
  };
  for (const Case& c : cases) {
    WriteSettings("[Common]\nOutputDir=" + c.outputDir + "\n");
    Load();
    try {
      PrepareReportFolder(settings);
      ADD_FAILURE() << c.outputDir << " was made";
    } catch (const RuntimeError& e) {
      const std::string message = e.what();
      EXPECT_EQ(e.number(), kPathFileAccessError);
      EXPECT_NE(message.find("\"" + c.outputDir + "\""), std::string::npos) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
      EXPECT_NE(message.find("OutputDir in section Common of Vestra.ini"), std::string::npos)
          << message;
    }
  }
  EXPECT_FALSE(fs::exists(folder / "missing"));
}

// ---- SettingsFile: where values are read and written -------------------------------

TEST_F(LoadSettingsTest, writingCreatesTheFileAndKeepsWhatIsInIt) {
  EXPECT_TRUE(file.WriteIni("Common", "Multi", " 3").ok);
  EXPECT_EQ(ReadFile(program / "Vestra.ini"), "[Common]\nMulti= 3\n");

  WriteSettings("; installed by setup\n[Common]\nMulti=1\nCdrom=D:\\\n[Lingue]\nL0=ITA\n");
  const IniWriteResult result = file.WriteIni("Common", "Multi", " 5");
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.file, program / "Vestra.ini");
  EXPECT_EQ(ReadFile(program / "Vestra.ini"),
            "; installed by setup\n[Common]\nMulti= 5\nCdrom=D:\\\n[Lingue]\nL0=ITA\n");
  EXPECT_FALSE(fs::exists(userFile));
}

TEST_F(LoadSettingsTest, aValueIsWrittenOnlyWhenItChanges) {
  const std::string handWritten = "; by hand\n[Common]\nMulti = 4\n[Unmis]\nPt=\"1\"\n";
  WriteSettings(handWritten);
  const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(24);
  fs::last_write_time(program / "Vestra.ini", longAgo);
  for (const auto& [section, key, value] :
       {std::tuple{"Common", "Multi", " 4"}, {"common", "MULTI", "4"}, {"Unmis", "Pt", " 1"}}) {
    const IniWriteResult result = file.WriteIni(section, key, value);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.file, program / "Vestra.ini");
  }
  EXPECT_EQ(fs::last_write_time(program / "Vestra.ini"), longAgo);  // not even rewritten
  EXPECT_EQ(ReadFile(program / "Vestra.ini"), handWritten);

  EXPECT_TRUE(file.WriteIni("Common", "Multi", " 5").ok);
  EXPECT_EQ(ReadFile(program / "Vestra.ini"), "; by hand\n[Common]\nMulti= 5\n[Unmis]\nPt=\"1\"\n");
  EXPECT_EQ(file.ReadIni("Common", "Multi"), "5");

  // A value the per-user copy lacks but the installed file holds is no change either.
  fs::create_directories(userFile.parent_path());
  WriteFile(userFile, "[Unmis]\nQa=2\n");
  SettingsFile withCopy(program / "Vestra.ini", userFile);
  EXPECT_TRUE(withCopy.WriteIni("Common", "Multi", " 5").ok);
  EXPECT_EQ(ReadFile(userFile), "[Unmis]\nQa=2\n");
}

TEST(SettingsFileTest, aProgramFileThatCannotBeWrittenMovesTheSettingsToTheUsersCopy) {
  TestFolder folder;
  // A "program folder" that is a plain file: nothing can be written under it.
  WriteFile(folder / "program", "");
  const fs::path userFile = folder / "config" / "Vestra" / "Vestra.ini";
  SettingsFile file(folder / "program" / "Vestra.ini", userFile);
  EXPECT_FALSE(file.usesUserCopy());

  const IniWriteResult result = file.WriteIni("Common", "Multi", " 9");
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.file, userFile);
  EXPECT_TRUE(file.usesUserCopy());
  EXPECT_EQ(ReadFile(userFile), "[Common]\nMulti= 9\n");
  EXPECT_EQ(file.ReadIni("Common", "Multi"), "9");
}

TEST(SettingsFileTest, aValueThatCannotBeWrittenAnywhereIsReported) {
  TestFolder folder;
  WriteFile(folder / "blocked", "");
  SettingsFile file(folder / "blocked" / "Vestra.ini", folder / "blocked" / "user" / "Vestra.ini");
  const IniWriteResult result = file.WriteIni("Common", "Multi", " 9");
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());

  SettingsFile noUserCopy(folder / "blocked" / "Vestra.ini", {});
  EXPECT_FALSE(noUserCopy.WriteIni("Common", "Multi", " 9").ok);
}

// A program folder the user cannot write, as an installed program has: the user's copy
// starts as a copy of the installed file, is read first from then on, and the installed
// file stays as it was. Run as an ordinary user (a child process drops root, which could
// write anyway).
TEST(SettingsFileTest, anInstalledProgramKeepsTheUsersChoicesInTheUsersCopy) {
  TestFolder folder;
  const fs::path program = folder / "program";
  const fs::path config = folder / "config";
  fs::create_directories(program);
  fs::create_directories(config);
  const std::string installed = "; setup\n[Common]\nMulti=1\nDefault=ENG\n[Lingue]\nL0=ITA\n";
  WriteFile(program / "Vestra.ini", installed);
  fs::permissions(program / "Vestra.ini",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read |
                               fs::perms::others_exec);
  fs::permissions(folder.path(), fs::perms::all);
  fs::permissions(config, fs::perms::all);
  const fs::path userFile = config / "Vestra" / "Vestra.ini";

  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(3);
        SettingsFile file(program / "Vestra.ini", userFile);
        const IniWriteResult first = file.WriteIni("Common", "Multi", " 4");
        const IniWriteResult second = file.WriteIni("Unmis", "Pt", " 1");
        const bool ok =
            first.ok && second.ok && first.file == userFile && second.file == userFile &&
            ReadFile(userFile) ==
                "; setup\n[Common]\nMulti= 4\nDefault=ENG\n[Lingue]\nL0=ITA\n"
                "\n[Unmis]\nPt= 1\n" &&
            file.ReadIni("Common", "Multi") == "4" && file.ReadIni("Common", "Default") == "ENG" &&
            ReadFile(program / "Vestra.ini") == installed;
        if (!ok) {
          fprintf(stderr, "first: %d %s (%s)\nsecond: %d %s\nuser copy:\n%s\n", first.ok,
                  first.file.c_str(), first.error.c_str(), second.ok, second.file.c_str(),
                  ReadFile(userFile).c_str());
        }
        _exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");

  // A key the installer adds to its file later is still read.
  ASSERT_TRUE(fs::exists(userFile));
  fs::permissions(program, fs::perms::owner_all, fs::perm_options::add);
  fs::permissions(program / "Vestra.ini", fs::perms::owner_write, fs::perm_options::add);
  WriteFile(program / "Vestra.ini", installed + "L1=ENG\n");
  SettingsFile file(program / "Vestra.ini", userFile);
  EXPECT_EQ(file.ReadIni("Lingue", "L1"), "ENG");
  EXPECT_EQ(file.ReadIni("Common", "Multi"), "4");
}

}  // namespace
}  // namespace vestra
