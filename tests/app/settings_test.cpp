#include "app/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

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

  LoadSettingsReport Load() {
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
      {"1", 1, 300},    {"14", 14, 2900},  {" 2", 2, 500},  // as the program writes it
      {"2.5", 2, 500},                                      // nearest integer, ties to even
      {"3.5", 4, 900},  {"7abc", 7, 1500}, {"abc", 0, 100},
      {"-1", -1, -100}, {"2,5", 2, 500},  // a comma is no decimal point in the settings file
  };
  for (const auto& c : cases) {
    WriteSettings(std::string("[Common]\nMulti=") + c.multi + "\n");
    Load();
    EXPECT_EQ(settings.LangIndex, c.index) << c.multi;
    EXPECT_EQ(settings.LangBase, c.base) << c.multi;
  }
}

TEST_F(LoadSettingsTest, aLanguageBaseBeyondSixteenBitsIsAnOverflow) {
  for (const char* multi : {"164", "40000"}) {
    WriteSettings(std::string("[Common]\nMulti=") + multi + "\n");
    try {
      Load();
      ADD_FAILURE() << multi << " loaded";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), kOverflow) << multi;
    }
  }
  WriteSettings("[Common]\nMulti=163\n");
  Load();
  EXPECT_EQ(settings.LangBase, 32700);
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

TEST_F(LoadSettingsTest, unitChoicesBeyondTheTablesAreTheFirstUnit) {
  WriteSettings("[Unmis]\nPt=2\nQa=2\nQw=-1\nDpW=1\nDpA=99999\n");
  const LoadSettingsReport report = Load();
  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ(settings.UnitPt, 0);
  EXPECT_EQ(settings.UnitQa, 2);  // air flow has three units
  EXPECT_EQ(settings.UnitQw, 0);
  EXPECT_EQ(settings.UnitDpW, 1);
  EXPECT_EQ(settings.UnitDpA, 0);
}

TEST_F(LoadSettingsTest, anExistingOutputFolderIsLeftAsItIs) {
  const fs::path out = folder / "Offerte";
  fs::create_directories(out);
  WriteFile(out / "Doc010124-120000.docx", "report");
  WriteSettings("[Common]\nOutputDir=" + out.string() + "\n");
  const LoadSettingsReport report = Load();
  EXPECT_TRUE(report.problems.empty());
  EXPECT_EQ(settings.OutputPath, out.string());
  EXPECT_EQ(ReadFile(out / "Doc010124-120000.docx"), "report");
}

TEST_F(LoadSettingsTest, aMissingOutputFolderIsCreated) {
  const fs::path out = folder / "Offerte";
  WriteSettings("[Common]\nOutputDir=" + out.string() + "\n");
  EXPECT_TRUE(Load().problems.empty());
  EXPECT_EQ(settings.OutputPath, out.string());  // as written: no separator added
  EXPECT_TRUE(fs::is_directory(out));

  WriteSettings("[Common]\nOutputDir=" + out.string() + "/Vestra/\n");
  EXPECT_TRUE(Load().problems.empty());
  EXPECT_EQ(settings.OutputPath, out.string() + "/Vestra/");
  EXPECT_TRUE(fs::is_directory(out / "Vestra"));
}

TEST_F(LoadSettingsTest, anOutputFolderThatCannotBeCreatedIsReportedAndStartUpGoesOn) {
  const fs::path out = folder / "missing" / "Offerte";  // one level only: the parent is missing
  WriteSettings("[Common]\nOutputDir=" + out.string() + "\n[Unmis]\nPt=1\n");
  const LoadSettingsReport report = Load();
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_EQ(report.problems[0].folder, out.string());
  const std::string message = DescribeOutputFolderProblem(report.problems[0]);
  EXPECT_NE(message.find(out.string()), std::string::npos) << message;
  EXPECT_NE(message.find("does not exist"), std::string::npos) << message;
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(settings.UnitPt, 1);  // the rest of the file was still read

  WriteFile(folder / "taken", "a file");
  WriteSettings("[Common]\nOutputDir=" + (folder / "taken").string() + "\n");
  ASSERT_EQ(Load().problems.size(), 1u);
}

TEST_F(LoadSettingsTest, anEmptyOutputFolderIsTheUsersDocumentsFolder) {
  WriteSettings("[Common]\nOutputDir=\n");
  EXPECT_TRUE(Load().problems.empty());
  EXPECT_EQ(settings.OutputPath, (folder / "Documents" / "Vestra").string());
  EXPECT_TRUE(fs::is_directory(folder / "Documents" / "Vestra"));  // parents included
}

TEST_F(LoadSettingsTest, aRelativeOutputFolderLiesInTheProgramFolder) {
  WriteSettings("[Common]\nOutputDir=Offerte\n");
  EXPECT_TRUE(Load().problems.empty());
  EXPECT_EQ(settings.OutputPath, (program / "Offerte").string());
  EXPECT_TRUE(fs::is_directory(program / "Offerte"));
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
