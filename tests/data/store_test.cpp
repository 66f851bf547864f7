#include "data/store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fixture.h"

namespace vestra {
namespace {

using testing::ErrorOf;
using testing::FixtureCatalogue;
using testing::TempFolder;

std::vector<std::string> Names(Recordset records) {
  std::vector<std::string> names;
  for (records.MoveFirst(); !records.IsEof(); records.MoveNext()) {
    names.push_back(records.Field("Modello").ToText());
  }
  return names;
}

TEST(CatalogueStore, readsTheDataVersion) {
  FixtureCatalogue fixture;
  const CatalogueStore store(fixture.path());
  EXPECT_EQ(store.ReadDataVersion(), "test");
}

TEST(CatalogueStore, aNullOrMissingVersionIsADatabaseError) {
  FixtureCatalogue nullVersion;
  nullVersion.Execute("UPDATE versione SET versione = NULL");
  FixtureCatalogue noVersion;
  noVersion.Execute("DELETE FROM versione");
  for (const FixtureCatalogue* fixture : {&nullVersion, &noVersion}) {
    const CatalogueStore store(fixture->path());
    std::string message;
    EXPECT_GT(ErrorOf([&] { store.ReadDataVersion(); }, &message), 1000);
    EXPECT_NE(message.find(fixture->path()), std::string::npos) << message;
  }
}

TEST(CatalogueStore, namesTheFileThatIsMissingOrNotACatalogue) {
  TempFolder folder;
  const std::string missing = (folder.path() / "Vestra.db").string();
  const std::string garbage = (folder.path() / "garbage.db").string();
  std::ofstream(garbage) << "This is a text file, not a catalogue, long enough to have a header.";
  const std::string foreign = (folder.path() / "foreign.db").string();
  {
    FixtureCatalogue fixture;                // a real SQLite file ...
    fixture.Execute("DROP TABLE versione");  // ... without the version table
    std::filesystem::copy_file(fixture.path(), foreign);
  }
  const std::string truncated = (folder.path() / "truncated.db").string();
  {
    FixtureCatalogue fixture;
    std::filesystem::copy_file(fixture.path(), truncated);
    std::filesystem::resize_file(truncated, 4096);  // a download cut short
  }
  struct Case {
    std::string path;
    int expected;
  } cases[] = {{missing, kDbFileNotFound},
               {garbage, kDbNotACatalogue},
               {foreign, kDbNotACatalogue},
               {truncated, kDbNotACatalogue}};
  for (const Case& c : cases) {
    std::string message;
    EXPECT_EQ(ErrorOf([&] { CatalogueStore store(c.path); }, &message), c.expected) << c.path;
    EXPECT_NE(message.find(c.path), std::string::npos) << message;
  }
}

TEST(CatalogueStore, namesAMissingTableOrField) {
  FixtureCatalogue fixture;
  fixture.Insert("DatiMIRAL", {{"Modello", "M 20"}});
  const CatalogueStore store(fixture.path());
  struct Case {
    std::function<void()> step;
    int expected;
    std::string named;
  } cases[] = {
      {[&] { store.OpenRecordset("DatiNOPE"); }, kDbTableNotFound, "DatiNOPE"},
      {[&] { store.OpenRecordset("select * from DatiNOPE order by modello"); }, kDbTableNotFound,
       "DatiNOPE"},
      {[&] { store.OpenRecordset("select Nope from DatiMIRAL"); }, kDbFieldNotFound, "Nope"},
      {[&] { store.OpenRecordset("DatiMIRAL").Field("V9A"); }, kDbFieldNotFound, "V9A"},
  };
  for (const Case& c : cases) {
    std::string message;
    EXPECT_EQ(ErrorOf(c.step, &message), c.expected) << c.named;
    EXPECT_NE(message.find(c.named), std::string::npos) << message;
    EXPECT_NE(message.find(fixture.path()), std::string::npos) << message;
  }
}

TEST(CatalogueStore, walksRecordsInOrderByOrStoredOrder) {
  FixtureCatalogue fixture;
  for (const char* name : {"b 30", "A 20", "c 10"})
    fixture.Insert("DatiQUIVO", {{"Modello", name}});
  const CatalogueStore store(fixture.path());
  EXPECT_EQ(Names(store.OpenRecordset("DatiQUIVO")),
            (std::vector<std::string>{"b 30", "A 20", "c 10"}));
  // The model name sorts without regard to case.
  EXPECT_EQ(Names(store.OpenRecordset("select * from DatiQUIVO order by modello")),
            (std::vector<std::string>{"A 20", "b 30", "c 10"}));
}

TEST(CatalogueStore, anEmptyResultIsAtEndOfFileAtOnce) {
  FixtureCatalogue fixture;
  const CatalogueStore store(fixture.path());
  Recordset records = store.OpenRecordset("DatiMIRAL");
  records.MoveFirst();
  EXPECT_TRUE(records.IsEof());
  EXPECT_EQ(ErrorOf([&] { records.Field("Modello"); }), kDbNoCurrentRecord);
  EXPECT_TRUE(records.HasField("modello"));  // field names ignore case
}

TEST(CatalogueStore, bindsValuesInsteadOfWritingThemIntoTheQuery) {
  FixtureCatalogue fixture;
  fixture.Insert("DocXModello",
                 {{"Lingua", "ITA"}, {"Serie", "MIRAL"}, {"Modello", "M 20"}, {"Foto", "m20.jpg"}});
  const CatalogueStore store(fixture.path());
  const std::string query = "select * from DocXModello where Serie = ? and Modello = ?";
  Recordset found = store.OpenRecordset(query, {"MIRAL", "m 20"});
  ASSERT_FALSE(found.IsEof());
  EXPECT_EQ(found.Field("Foto").ToText(), "m20.jpg");
  // A quote in a value is part of the value, not of the statement.
  EXPECT_TRUE(store.OpenRecordset(query, {"MIRAL", "x' or '1'='1"}).IsEof());
  EXPECT_EQ(ErrorOf([&] { store.OpenRecordset(query, {"MIRAL"}); }), kDbStatementFailed);
}

TEST(CatalogueStore, opensReadOnly) {
  FixtureCatalogue fixture;
  const CatalogueStore store(fixture.path());
  std::string message;
  EXPECT_EQ(ErrorOf([&] { store.OpenRecordset("DELETE FROM versione").MoveFirst(); }, &message),
            kDbStatementFailed);
  EXPECT_NE(message.find("readonly"), std::string::npos) << message;
  EXPECT_EQ(store.ReadDataVersion(), "test");
}

// A catalogue built in WAL mode, in a folder whose name holds the characters a file URI
// gives a meaning to.
class WalCatalogue {
 public:
  WalCatalogue() : folder_(temp_.path() / "Vestra 6.8 ?#%20") {
    std::filesystem::create_directories(folder_);
    FixtureCatalogue fixture;
    fixture.Insert("DatiMIRAL", {{"Modello", "MIRAL 20"}});
    fixture.Execute("PRAGMA journal_mode=WAL");
    fixture.Insert("DatiMIRAL", {{"Modello", "MIRAL 30"}});
    fixture.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    std::filesystem::copy_file(fixture.path(), path());
  }
  const std::filesystem::path& folder() const { return folder_; }
  std::string path() const { return (folder_ / "Vestra.db").string(); }

 private:
  TempFolder temp_;
  std::filesystem::path folder_;
};

std::vector<std::string> FolderContents(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  return names;
}

TEST(CatalogueStore, leavesNothingBesideTheCatalogue) {
  const WalCatalogue catalogue;
  {
    const CatalogueStore store(catalogue.path());
    EXPECT_EQ(store.ReadDataVersion(), "test");
    EXPECT_EQ(Names(store.OpenRecordset("DatiMIRAL")),
              (std::vector<std::string>{"MIRAL 20", "MIRAL 30"}));
    EXPECT_EQ(FolderContents(catalogue.folder()), std::vector<std::string>{"Vestra.db"});
  }
  EXPECT_EQ(FolderContents(catalogue.folder()), std::vector<std::string>{"Vestra.db"});
}

// An installed catalogue: a folder and a file only root may write. Run as an ordinary
// user (a child process drops root, which could write anyway).
TEST(CatalogueStore, readsACatalogueInAFolderTheUserCannotWrite) {
  const WalCatalogue catalogue;
  namespace fs = std::filesystem;
  const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  fs::permissions(catalogue.path(), readOnly);
  fs::permissions(catalogue.folder(), readOnly | fs::perms::owner_exec | fs::perms::group_exec |
                                          fs::perms::others_exec);
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(3);
        std::string failure;
        try {
          const CatalogueStore store(catalogue.path());
          if (Names(store.OpenRecordset("DatiMIRAL")).size() != 2) failure = "models missing";
        } catch (const RuntimeError& e) {
          failure = e.what();
        }
        if (!failure.empty()) fprintf(stderr, "%s\n", failure.c_str());
        _exit(failure.empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(FolderContents(catalogue.folder()), std::vector<std::string>{"Vestra.db"});
  fs::permissions(catalogue.folder(), fs::perms::owner_all);  // so that it can be removed
}

TEST(FieldValue, convertsNumbersAsTheTablesNeedThem) {
  EXPECT_EQ(FieldValue(2.5).ToInt16(), 2);  // halves to even
  EXPECT_EQ(FieldValue(3.5).ToInt16(), 4);
  EXPECT_EQ(FieldValue(-2.5).ToInt32(), -2);
  EXPECT_EQ(FieldValue(70000.0).ToInt32(), 70000);
  EXPECT_FLOAT_EQ(FieldValue(0.1).ToSingle(), 0.1f);
  EXPECT_DOUBLE_EQ(FieldValue(" 12.5 ").ToDouble(), 12.5);
  EXPECT_EQ(FieldValue(4.0).ToText(), "4");
  EXPECT_EQ(FieldValue(0.125).ToText(), "0.125");
  EXPECT_EQ(FieldValue("abc").ToText(), "abc");
}

TEST(FieldValue, failsOnNullAndOnTextThatIsNoNumber) {
  const FieldValue null;
  struct Case {
    const char* what;
    std::function<void()> step;
    int expected;
  } cases[] = {
      {"Null to 16-bit", [&] { null.ToInt16(); }, kInvalidUseOfNull},
      {"Null to 32-bit", [&] { null.ToInt32(); }, kInvalidUseOfNull},
      {"Null to single", [&] { null.ToSingle(); }, kInvalidUseOfNull},
      {"Null to text", [&] { null.ToText(); }, kInvalidUseOfNull},
      {"text to number", [] { FieldValue("12,5").ToSingle(); }, kTypeMismatch},
      {"empty text to number", [] { FieldValue("").ToInt16(); }, kTypeMismatch},
      {"16-bit overflow", [] { FieldValue(32768.0).ToInt16(); }, kOverflow},
      {"single overflow", [] { FieldValue(1e39).ToSingle(); }, kOverflow},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.step), c.expected) << c.what;
  EXPECT_EQ(null.AppendedToEmptyText(), "");
  EXPECT_EQ(FieldValue(3.5).AppendedToEmptyText(), "3.5");
}

}  // namespace
}  // namespace vestra
