#include "data/catalogue_builder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "data/store.h"
#include "fixture.h"

namespace vestra {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

TEST(CatalogueCsv, tellsNullFromEmptyTextAndKeepsQuotedCommas) {
  const auto records = ParseCsv(
      "Modello,Altezza,Lancio\r\n\"T 20, 4p\",\"\",\n\n\"say \"\"hi\"\"\",3,4\n", "test.csv");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].cells, (std::vector<std::string>{"T 20, 4p", "", ""}));
  EXPECT_EQ(records[1].nulls, (std::vector<bool>{false, false, true}));
  EXPECT_EQ(records[2].cells[0], "say \"hi\"");
  EXPECT_THROW(ParseCsv("a,\"b\n", "test.csv"), CatalogueBuildError);
}

class CatalogueBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder_.path() / "tables");
    std::ofstream(schema()) << "CREATE TABLE versione (versione TEXT);\n"
                               "CREATE TABLE DatiX (Modello TEXT COLLATE NOCASE, Passo "
                               "SMALLINT, NR REAL);\n";
    Write("versione", "versione\n2026.12\n");
  }
  std::string schema() const { return (folder_.path() / "schema.sql").string(); }
  std::string output() const { return (folder_.path() / "Vestra.db").string(); }
  void Write(const std::string& table, const std::string& text) {
    std::ofstream(folder_.path() / "tables" / (table + ".csv")) << text;
  }
  std::string BuildError() {
    try {
      BuildCatalogue(schema(), (folder_.path() / "tables").string(), output());
    } catch (const CatalogueBuildError& e) {
      return e.what();
    }
    return {};
  }
  TempFolder folder_;
};

TEST_F(CatalogueBuild, writesACatalogueTheStoreReads) {
  Write("DatiX", "NR,Modello,Passo\n2,X 20,3\n,X 30,\n");
  ASSERT_EQ(BuildError(), "");
  const CatalogueStore store(output());
  EXPECT_EQ(store.ReadDataVersion(), "2026.12");
  Recordset records = store.OpenRecordset("DatiX");
  EXPECT_EQ(records.Field("Passo").ToInt16(), 3);
  EXPECT_FLOAT_EQ(records.Field("NR").ToSingle(), 2);
  records.MoveNext();
  EXPECT_TRUE(records.Field("NR").IsNull());
  EXPECT_FALSE(fs::exists(output() + ".partial"));
}

TEST_F(CatalogueBuild, rejectsSourcesThatDoNotMatchTheSchema) {
  struct Case {
    std::string csv;
    std::string named;
  } cases[] = {
      {"", "no file DatiX.csv"},
      {"Modello,Passo\nX 20,3\n", "lacks field NR"},
      {"Modello,Passo,NR,Rows\nX 20,3,2,2\n", "Rows is not a field"},
      {"Modello,Passo,NR\nX 20,3,two\n", "\"two\" is not a number"},
      {"Modello,Passo,NR\nX 20,2.5,2\n", "not a whole number"},
      {"Modello,Passo,NR\nX 20,3\n", "record 1 has 2 cells"},
      // A name must stay one cell of one line, in the grid and in the tools' JSON.
      {"Modello,Passo,NR\nX 20,3,2\n\"X\t30\",3,2\n",
       "table DatiX, record 2, field Modello: \"X\\x0930\" holds a control character (\\x09) at "
       "character 2"},
      {"Modello,Passo,NR\n\"X\n20\",3,2\n",
       "field Modello: \"X\\x0A20\" holds a control character"},
      {"Modello,Passo,NR\nX \xC3(,3,2\n",
       "field Modello: \"X \\xC3(\" holds a byte that is not UTF-8 (\\xC3) at character 3"},
  };
  for (const Case& c : cases) {
    fs::remove(folder_.path() / "tables" / "DatiX.csv");
    if (!c.csv.empty()) Write("DatiX", c.csv);
    const std::string error = BuildError();
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(output())) << c.named;
  }
  Write("DatiX", "Modello,Passo,NR\n");
  Write("DatiY", "Modello\n");
  EXPECT_NE(BuildError().find("no table DatiY"), std::string::npos);
}

}  // namespace
}  // namespace vestra
