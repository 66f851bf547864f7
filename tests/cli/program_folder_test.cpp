// vestra-select run from a program folder of its own, as an installed program runs: what
// it makes of a damaged settings file or catalogue, and that it leaves the folder as it
// found it.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../app/test_folder.h"

namespace {

namespace fs = std::filesystem;
using vestra::testing::ReadFile;
using vestra::testing::TestFolder;
using vestra::testing::WriteFile;

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// A program folder with vestra-select and a copy of the built catalogue; HOME and the XDG
// folders point into it, at folders that do not exist yet.
class ProgramFolder {
 public:
  ProgramFolder() : program_(folder_ / "program") {
    fs::create_directories(program_);
    fs::copy_file(VESTRA_SELECT, program_ / "vestra-select");
    fs::copy_file(VESTRA_CATALOGUE_DB, catalogue());
  }

  fs::path catalogue() const { return program_ / "Vestra.db"; }
  fs::path settings() const { return program_ / "Vestra.ini"; }
  const fs::path& program() const { return program_; }
  fs::path home() const { return folder_ / "home"; }
  // Where the output of a run goes (and, under the name "home", the user's folders).
  const fs::path& root() const { return folder_.path(); }

  std::string Command(const std::string& args) const {
    return "HOME=" + home().string() + " XDG_CONFIG_HOME=" + home().string() +
           "/.config XDG_DOCUMENTS_DIR=" + home().string() + "/Documents " +
           (program_ / "vestra-select").string() + " " + args + " >" + (folder_ / "out").string() +
           " 2>" + (folder_ / "err").string();
  }

  Outcome Select(const std::string& args = "--series MIRAL --speed 3 --model 1") const {
    Outcome run;
    run.exitCode = WEXITSTATUS(std::system(Command(args).c_str()));
    run.out = ReadFile(folder_ / "out");
    run.err = ReadFile(folder_ / "err");
    return run;
  }

  // Runs SQL on the catalogue copy.
  void Change(const std::string& sql) const {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(catalogue().c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "") << " in " << sql;
    sqlite3_free(error);
    sqlite3_close(db);
  }

  // The name of the second MIRAL model in stored order.
  std::string SecondMiral() const {
    sqlite3* db = nullptr;
    sqlite3_open(catalogue().c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT Modello FROM DatiMIRAL LIMIT 1 OFFSET 1", -1, &statement,
                       nullptr);
    std::string name;
    if (sqlite3_step(statement) == SQLITE_ROW)
      name = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return name;
  }

  std::vector<std::string> Contents() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(program_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  TestFolder folder_;
  fs::path program_;
};

TEST(ProgramFolder, aSettingsValueOutOfItsRangeIsToldAndTheRunGoesOnWithTheDefault) {
  struct Case {
    std::string file;
    std::string told;  // empty: nothing to tell
  } cases[] = {
      {"[Common]\nMulti=200\n",
       "section Common, key Multi: \"200\" is not a language index from 0 "
       "to 14; 0 (Italian) is used instead."},
      {"[Unmis]\nPt=1e400\n",
       "section Unmis, key Pt: \"1e400\" is not a unit choice of capacity "
       "from 0 to 1; 0 (W) is used instead."},
      {"[Unmis]\nQa=7\n",
       "section Unmis, key Qa: \"7\" is not a unit choice of air flow from 0 "
       "to 2; 0 (l/s) is used instead."},
      {std::string("\x7F"
                   "ELF\x02\x01\0\0[Common\xFF\n\0\0Multi",
                   19),
       ""},  // not a text file
  };
  for (const Case& c : cases) {
    ProgramFolder folder;
    WriteFile(folder.settings(), c.file);
    const Outcome run = folder.Select();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("\tQA\tPT\t", 0), 0u) << run.out;  // Italian, the first units
    EXPECT_NE(run.out.find("\nModello\tl/s\tW\tW\t"), std::string::npos) << run.out;
    if (c.told.empty())
      EXPECT_EQ(run.err, "");
    else
      EXPECT_EQ(run.err, "vestra-select: Settings file " + folder.settings().string() + ", " +
                             c.told + "\n");
    // Neither the settings file nor the user's folders are touched.
    EXPECT_EQ(ReadFile(folder.settings()), c.file);
    EXPECT_FALSE(fs::exists(folder.home())) << c.told;
  }
}

TEST(ProgramFolder, aCatalogueFaultNamesTheFileTableRecordModelAndField) {
  struct Case {
    std::string sql;  // applied to the second MIRAL record
    std::string told;
  } cases[] = {
      {"C2C30 = NULL",
       "Invalid use of Null: %s, field C2C30 is Null where a single-precision number is needed "
       "(error 94)"},
      {"LunBat = 'long'",
       "Type mismatch: %s, field LunBat holds the text \"long\" where a single-precision number "
       "is needed (error 13)"},
      {"LunBat = 1e308",
       "Overflow: %s, field LunBat = 1e+308 does not fit a single-precision number (error 6)"},
      {"Geom = 7",
       "Subscript out of range: %s, field Geom = 7 is not a coil geometry of the coil constant "
       "tables (0 to 3) (error 9)"},
      {"Passo = 99",
       "Subscript out of range: %s, field Passo = 99 is not a fin pitch of the coil constant "
       "tables (0 to 8) (error 9)"},
  };
  for (const Case& c : cases) {
    ProgramFolder folder;
    const std::string model = folder.SecondMiral();
    ASSERT_FALSE(model.empty());
    folder.Change("UPDATE DatiMIRAL SET " + c.sql +
                  " WHERE rowid = (SELECT rowid FROM DatiMIRAL LIMIT 1 OFFSET 1)");
    const Outcome run = folder.Select();
    EXPECT_NE(run.exitCode, 0) << c.sql;
    EXPECT_EQ(run.out, "") << c.sql;
    std::string told = c.told;
    told.replace(told.find("%s"), 2,
                 "catalogue " + folder.catalogue().string() +
                     ", table DatiMIRAL, record 2 (model \"" + model + "\")");
    EXPECT_EQ(run.err, "vestra-select: " + told + "\n");
  }

  // A tab in a name would shift the cells of every row after it.
  ProgramFolder folder;
  const std::string model = folder.SecondMiral();
  folder.Change(
      "UPDATE DatiMIRAL SET Modello = 'MIRAL' || char(9) || '30' WHERE rowid = "
      "(SELECT rowid FROM DatiMIRAL LIMIT 1 OFFSET 1)");
  const Outcome run = folder.Select("--series MIRAL --format json");
  EXPECT_NE(run.exitCode, 0);
  EXPECT_EQ(run.err, "vestra-select: Type mismatch: catalogue " + folder.catalogue().string() +
                         ", table DatiMIRAL, record 2, field Modello holds \"MIRAL\\x0930\", with "
                         "a control character (\\x09) at character 6; it must be one line of "
                         "text (error 13)\n");
}

// An installed program: a catalogue in WAL mode, in a folder only root may write, run by
// an ordinary user. Nothing is created beside the catalogue.
TEST(ProgramFolder, anInstalledCatalogueIsReadAndNothingIsCreatedBesideIt) {
  ProgramFolder folder;
  folder.Change("PRAGMA journal_mode=WAL");
  ASSERT_EQ(folder.Contents(), (std::vector<std::string>{"Vestra.db", "vestra-select"}));
  fs::permissions(folder.program(), fs::perms::owner_read | fs::perms::owner_exec |
                                        fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(folder.catalogue(),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  fs::permissions(folder.root(), fs::perms::all);  // for the run's output only
  const std::string command = folder.Command("--series MIRAL --speed 3 --model 1");
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(3);
        _exit(WEXITSTATUS(std::system(command.c_str())));
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_NE(ReadFile(folder.root() / "out").find("\nMIRAL "), std::string::npos);
  EXPECT_EQ(folder.Contents(), (std::vector<std::string>{"Vestra.db", "vestra-select"}));
}

}  // namespace
