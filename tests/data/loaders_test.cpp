#include "data/loaders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/coil_state.h"
#include "fixture.h"

namespace vestra {
namespace {

using testing::ErrorOf;
using testing::FixtureCatalogue;

const std::string kAll = "* Tutto";

// One run's worth of process-wide records, as the application keeps them.
struct Session {
  ModelTables tables;
  CoilConstants constants;
  CoilRatingState state;

  std::vector<std::string> Load(Series series, const CatalogueStore& store,
                                const std::function<void()>& events = {}) {
    return LoadSeriesTable(series, store, tables, constants, state, kAll, events);
  }
};

TEST(SeriesLoaders, anEmptyTableGivesNoModelsAndOnlyTheAllItem) {
  FixtureCatalogue fixture;
  const CatalogueStore store(fixture.path());
  for (const SeriesInfo& info : AllSeries()) {
    Session session;
    session.tables.ModelCount = 7;
    EXPECT_EQ(session.Load(info.series, store), std::vector<std::string>{kAll}) << info.name;
    EXPECT_EQ(session.tables.ModelCount, 0) << info.name;
  }
}

TEST(SeriesLoaders, aStarredModelIsListedAsDashesAtItsOwnIndex) {
  FixtureCatalogue fixture;
  for (const char* name : {"MIRAL 20", "MIRAL 20HX", "MIRAL 20HX*", "MIRAL 30"}) {
    fixture.Insert("DatiMIRAL", {{"Modello", name}});
  }
  const CatalogueStore store(fixture.path());
  Session session;
  const auto items = session.Load(Series::MIRAL, store);
  EXPECT_EQ(items,
            (std::vector<std::string>{kAll, "MIRAL 20", "MIRAL 20HX", "-----------", "MIRAL 30"}));
  EXPECT_EQ(session.tables.ModelCount, 4);
  EXPECT_EQ(session.tables.TabModello(3), "MIRAL 20HX*");  // list index 3 is still model 3
  EXPECT_EQ(session.tables.TabModello(4), "MIRAL 30");
}

TEST(SeriesLoaders, seriesWithoutTheStarRuleListTheNameAsItIs) {
  FixtureCatalogue fixture;
  fixture.Insert("DatiKELM", {{"Modello", "KELM 30*"}});
  fixture.Insert("DatiQ70", {{"Modello", "Q70 20-4*"}});
  fixture.Insert("DatiVELD", {{"Modello", "VELD 30*"}});
  const CatalogueStore store(fixture.path());
  struct Case {
    Series series;
    std::string listed;
  } cases[] = {
      {Series::KELM, "KELM 30*"}, {Series::Q70, "Q70 20-4*"}, {Series::VELD, "-----------"}};
  for (const Case& c : cases) {
    Session session;
    EXPECT_EQ(session.Load(c.series, store), (std::vector<std::string>{kAll, c.listed}))
        << InfoOf(c.series).name;
  }
}

TEST(SeriesLoaders, anArrayALoaderDoesNotDimensionKeepsTheEarlierSeries) {
  FixtureCatalogue fixture;
  fixture.Insert("DatiKELM", {{"Modello", "KELM 30"}, {"V2A", -0.00002}, {"Sezione", 0.045}});
  fixture.Insert("DatiZOPH", {{"Modello", "ZOPH 40"}, {"V2A", -0.00001}, {"Sezione", 0.06}});
  fixture.Insert("DatiVELD", {{"Modello", "VELD 20"}});
  fixture.Insert("DPAcc", {{"Cost", 4.5}, {"Espo", 2.0}, {"OPZBoc", "S"}});
  fixture.Insert("DPAccZOPH", {{"Cost", 3.0}, {"Espo", 1.8}, {"OPZBoc", ""}});
  fixture.Insert("DPAccZOPH", {{"Cost", 6.0}, {"Espo", 1.9}, {"OPZBoc", ""}});
  const CatalogueStore store(fixture.path());

  Session session;
  session.Load(Series::KELM, store);
  session.Load(Series::VELD, store);
  const ModelTables& t = session.tables;
  EXPECT_EQ(t.TabModello(1), "VELD 20");
  EXPECT_FLOAT_EQ(t.TabVA(2, 1), -0.00002f);  // still KELM's fan curve
  EXPECT_FLOAT_EQ(t.TabSezione(1), 0.045f);
  EXPECT_EQ(t.AccCount, 1);
  EXPECT_EQ(t.AccOPZBoc(1), "S");

  session.Load(Series::ZOPH, store);
  EXPECT_FLOAT_EQ(t.TabVA(2, 1), -0.00001f);
  EXPECT_FLOAT_EQ(t.TabSezione(1), 0.06f);
  EXPECT_EQ(t.TabVA.KUpper(), 7);  // ZOPH's seven taps
  EXPECT_EQ(t.AccCount, 2);
  EXPECT_FLOAT_EQ(t.AccCost(2), 6.0f);
  EXPECT_EQ(t.AccOPZBoc(1), "");
}

TEST(SeriesLoaders, cassettesAndWallUnitsStoreTheirAirFlowsPerSecond) {
  FixtureCatalogue fixture;
  for (const char* table : {"DatiQUIVO", "DatiBRISK", "DatiLUMO", "DatiNARTE", "DatiDARNE"}) {
    fixture.Insert(table, {{"Modello", "X 20"}, {"QA1", 3600.0}, {"QA3", 900.0}});
  }
  const CatalogueStore store(fixture.path());
  struct Case {
    Series series;
    float qa1, qa3;
  } cases[] = {{Series::QUIVO, 1, 0.25f},
               {Series::BRISK, 1, 0.25f},
               {Series::LUMO, 1, 0.25f},
               {Series::NARTE, 1, 0.25f},
               {Series::DARNE, 3600, 900}};  // DARNE keeps m3/h
  for (const Case& c : cases) {
    Session session;
    session.Load(c.series, store);
    EXPECT_FLOAT_EQ(session.tables.TabQa1(1), c.qa1) << InfoOf(c.series).name;
    EXPECT_FLOAT_EQ(session.tables.TabQa3(1), c.qa3) << InfoOf(c.series).name;
  }
}

TEST(SeriesLoaders, fieldsReachTheirArraysInTheSeriesLayout) {
  FixtureCatalogue fixture;
  fixture.Insert(
      "DatiDARNE",
      {{"Modello", "D 20"}, {"C2C30", 22.0}, {"F2C30", 12.0}, {"LWA5", 45.0}, {"DeltaL", 0.8}});
  fixture.Insert("DatiZOPHBLDC", {{"Modello", "Z 20"},
                                  {"V0C", 95.0},
                                  {"G7", 1450.0},
                                  {"Nlog", 40.0},
                                  {"Bocche", 3.0},
                                  {"MinQa", 250.0}});
  fixture.Insert("DatiQUIVO",
                 {{"Modello", "Q 20"}, {"Tubo", 0.0072}, {"C4C30", 31.0}, {"PIN4", 66.0}});
  fixture.Insert("DatiMIRALP",
                 {{"Modello", "P 20"}, {"F6C100", 0.2}, {"C6C30", 36.0}, {"V6B", -0.05}});
  fixture.Insert(
      "DatiUmbra",
      {{"Modello", "U 20"}, {"CC3", 5.5}, {"AL1", -0.00001}, {"MaxQa", 900.0}, {"KDB", 2.0}});
  fixture.Insert("DatiQ70", {{"Modello", "Q70 20-4"}, {"CC50", 0.3}, {"AltBat", 500.0}});
  const CatalogueStore store(fixture.path());
  Session s;
  const ModelTables& t = s.tables;
  s.Load(Series::DARNE, store);
  EXPECT_FLOAT_EQ(t.TabCC30(2, 1), 22);
  EXPECT_FLOAT_EQ(t.TabFC30(2, 1), 12);
  EXPECT_FLOAT_EQ(t.TabLWA(5, 1), 45);
  EXPECT_FLOAT_EQ(t.TabDeltaL(1), 0.8f);
  s.Load(Series::ZOPHBLDC, store);
  EXPECT_FLOAT_EQ(t.TabVC(0, 1), 95);
  EXPECT_EQ(t.TabG(7, 1), 1450);
  EXPECT_EQ(t.TabNlog(1), 40);
  EXPECT_EQ(t.TabBocche(1), 3);
  EXPECT_EQ(t.TabMinQa(1), 250);
  s.Load(Series::QUIVO, store);
  EXPECT_FLOAT_EQ(t.TabTubo(1), 0.0072f);
  EXPECT_FLOAT_EQ(t.TabCC30(4, 1), 31);
  EXPECT_FLOAT_EQ(t.TabPIN(4, 1), 66);
  s.Load(Series::MIRALP, store);
  EXPECT_FLOAT_EQ(t.TabC100(6, 1), 0.2f);
  EXPECT_FLOAT_EQ(t.TabCC30(6, 1), 36);
  EXPECT_FLOAT_EQ(t.TabVB(6, 1), -0.05f);
  s.Load(Series::UMBRA, store);
  EXPECT_FLOAT_EQ(t.TabCC(3, 1), 5.5f);
  EXPECT_FLOAT_EQ(t.TabAL(1, 1), -0.00001f);
  EXPECT_EQ(t.TabMaxQa(1), 900);
  EXPECT_FLOAT_EQ(t.TabKDB(1), 2);
  s.Load(Series::Q70, store);
  EXPECT_FLOAT_EQ(t.TabCCC50(1), 0.3f);
  EXPECT_FLOAT_EQ(t.TabAltBat(1), 500);
}

TEST(SeriesLoaders, aNullIsAnErrorExceptWhereTheSeriesKeepsIt) {
  FixtureCatalogue fixture;
  fixture.Insert("DatiMIRAL", {{"Modello", "MIRAL 20"}});
  fixture.Insert("DatiMIRAL", {{"Modello", "MIRAL 30"}, {"C2C30", FieldValue()}});
  fixture.Insert("DatiQ70",
                 {{"Modello", "Q70 20-4"}, {"AieraMin", FieldValue()}, {"AieraMax", "7.5"}});
  fixture.Insert("DatiTorvaEC", {{"Modello", "TEC 20"}, {"VRA", FieldValue()}, {"LWC", 31.0}});
  const CatalogueStore store(fixture.path());

  Session session;
  session.tables.ModelCount = 9;
  EXPECT_EQ(ErrorOf([&] { session.Load(Series::MIRAL, store); }), kInvalidUseOfNull);
  EXPECT_EQ(session.tables.ModelCount, 9);  // the failed load did not complete

  session.Load(Series::Q70, store);
  EXPECT_EQ(session.tables.TabAltezza(1), "");
  EXPECT_EQ(session.tables.TabLancio(1), "7.5");

  session.Load(Series::TORVAEC, store);
  EXPECT_TRUE(session.tables.TabVRA(1).IsNull());
  EXPECT_EQ(session.tables.TabLWC(1), FieldValue(31.0));
}

// A value the tables cannot hold stops the load with the error of its conversion, told
// with everything needed to find it in the catalogue.
TEST(SeriesLoaders, aFaultyValueIsToldWithTheTableRecordModelAndField) {
  struct Case {
    Series series;
    std::map<std::string, FieldValue> second;  // the fault, in the second record
    int number;
    std::string told;  // after "table ..., record 2"
  } cases[] = {
      {Series::MIRAL,
       {{"C2C30", FieldValue()}},
       kInvalidUseOfNull,
       " (model \"M 30\"), field C2C30 is Null where a single-precision number is needed"},
      {Series::MIRAL,
       {{"LunBat", "abc"}},
       kTypeMismatch,
       " (model \"M 30\"), field LunBat holds the text \"abc\" where a single-precision number "
       "is needed"},
      {Series::MIRAL,
       {{"LunBat", 1e308}},
       kOverflow,
       " (model \"M 30\"), field LunBat = 1e+308 does not fit a single-precision number"},
      {Series::MIRAL,
       {{"NR", 1e39}},
       kOverflow,
       " (model \"M 30\"), field NR = 1e+39 does not fit a single-precision number"},
      {Series::MIRAL,
       {{"Geom", 70000.0}},
       kOverflow,
       " (model \"M 30\"), field Geom = 70000 does not fit a 16-bit integer (-32768 to 32767)"},
      {Series::MIRAL,
       {{"Geom", 7.0}},
       kSubscriptOutOfRange,
       " (model \"M 30\"), field Geom = 7 is not a coil geometry of the coil constant tables "
       "(0 to 3)"},
      {Series::MIRAL,
       {{"Geom", -1.0}},
       kSubscriptOutOfRange,
       " (model \"M 30\"), field Geom = -1 is not a coil geometry of the coil constant tables "
       "(0 to 3)"},
      {Series::MIRAL,
       {{"Passo", 99.0}},
       kSubscriptOutOfRange,
       " (model \"M 30\"), field Passo = 99 is not a fin pitch of the coil constant tables (0 to "
       "8)"},
      {Series::MIRAL,
       {{"Modello", "M\t30"}},
       kTypeMismatch,
       ", field Modello holds \"M\\x0930\", with a control character (\\x09) at character 2; "
       "it must be one line of text"},
      {Series::MIRAL,
       {{"Modello", "M 30\n"}},
       kTypeMismatch,
       ", field Modello holds \"M 30\\x0A\", with a control character (\\x0A) at character 5; "
       "it must be one line of text"},
      {Series::MIRAL,
       {{"Modello", "M \xFF"}},
       kTypeMismatch,
       ", field Modello holds \"M \\xFF\", with a byte that is not UTF-8 (\\xFF) at character "
       "3; it must be one line of text"},
      {Series::QUIVO,
       {{"QA3", FieldValue()}},
       kInvalidUseOfNull,
       " (model \"M 30\"), field QA3 is Null where a single-precision number is needed"},
      {Series::KELMBLDC,
       {{"MinQa", 3e9}},
       kOverflow,
       " (model \"M 30\"), field MinQa = 3e+09 does not fit a 32-bit integer"},
      {Series::TORVAEC,
       {{"VRB", "n/a"}},
       kTypeMismatch,
       " (model \"M 30\"), field VRB holds the text \"n/a\" where a number or Null is needed"},
      {Series::TORVA,
       {{"Altezza", "2\x1B[0m"}},
       kTypeMismatch,
       " (model \"M 30\"), field Altezza holds \"2\\x1B[0m\", with a control character "
       "(\\x1B) at character 2; it must be one line of text"},
  };
  for (const Case& c : cases) {
    FixtureCatalogue fixture;
    const std::string source = InfoOf(c.series).source;
    const std::string stored =
        source.find(' ') == std::string::npos
            ? source
            : source.substr(source.find("from ") + 5,
                            source.find(' ', source.find("from ") + 5) - source.find("from ") - 5);
    fixture.Insert(stored, {{"Modello", "M 20"}});
    std::map<std::string, FieldValue> second{{"Modello", "M 30"}};
    for (const auto& [field, value] : c.second) second[field] = value;
    fixture.Insert(stored, second);
    const CatalogueStore store(fixture.path());
    Session session;
    std::string message;
    EXPECT_EQ(ErrorOf([&] { session.Load(c.series, store); }, &message), c.number) << c.told;
    EXPECT_EQ(message, StandardErrorMessage(c.number) + ": catalogue " + fixture.path() +
                           ", table " + stored + ", record 2" + c.told);
  }
}

TEST(SeriesLoaders, aFaultyAccessoryRowIsToldWithItsTableAndRow) {
  FixtureCatalogue fixture;
  fixture.Insert("DatiKELM", {{"Modello", "KELM 20"}});
  fixture.Insert("DPAcc", {{"Cost", 4.5}});
  fixture.Insert("DPAcc", {{"Cost", "4,5"}});
  const CatalogueStore store(fixture.path());
  Session session;
  std::string message;
  EXPECT_EQ(ErrorOf([&] { session.Load(Series::KELM, store); }, &message), kTypeMismatch);
  EXPECT_EQ(message, "Type mismatch: catalogue " + fixture.path() +
                         ", table DPAcc, record 2, field Cost holds the text \"4,5\" where a "
                         "single-precision number is needed");
}

TEST(SeriesLoaders, aTableLargerThanTheSeriesCapacityLoadsWhole) {
  FixtureCatalogue fixture;
  for (int i = 1; i <= 6; ++i) {
    fixture.Insert("DatiVELD", {{"Modello", "VELD " + std::to_string(i) + "0"}, {"Qa3F", 0.1 * i}});
  }
  for (int i = 1; i <= 12; ++i) fixture.Insert("DPAcc", {{"Cost", 1.0 * i}});
  fixture.Insert("DatiKELM", {{"Modello", "KELM 20"}});
  const CatalogueStore store(fixture.path());
  Session session;
  int events = 0;
  EXPECT_EQ(session.Load(Series::VELD, store, [&] { ++events; }).size(), 7u);
  EXPECT_EQ(InfoOf(Series::VELD).capacity, 4);
  EXPECT_EQ(session.tables.ModelCount, 6);
  EXPECT_EQ(events, 6);  // pending events run once per record
  EXPECT_FLOAT_EQ(session.tables.TabQa3(6), 0.6f);
  EXPECT_EQ(ErrorOf([&] { session.tables.TabQa3(7 + session.tables.TabQa3.MUpper()); }),
            kSubscriptOutOfRange);
  session.Load(Series::KELM, store);
  EXPECT_EQ(session.tables.AccCount, 12);
  EXPECT_FLOAT_EQ(session.tables.AccCost(12), 12);
}

TEST(SeriesLoaders, readingWithTheWrongShapeIsASubscriptError) {
  FixtureCatalogue fixture;
  fixture.Insert("DatiTorva", {{"Modello", "TORVA 20 4p"}, {"LWA1", 52.0}});
  const CatalogueStore store(fixture.path());
  Session session;
  EXPECT_EQ(ErrorOf([&] { session.tables.TabModello(1); }), kSubscriptOutOfRange);  // never loaded
  session.Load(Series::TORVA, store);
  EXPECT_FLOAT_EQ(session.tables.TabLWA(1), 52);
  EXPECT_EQ(ErrorOf([&] { session.tables.TabLWA(1, 1); }), kSubscriptOutOfRange);   // 1-D here
  EXPECT_EQ(ErrorOf([&] { session.tables.TabC100(2, 1); }), kSubscriptOutOfRange);  // k 0..1
}

TEST(SeriesLoaders, eachSeriesSelectsItsCoilConstantsBeforeReading) {
  FixtureCatalogue fixture;
  const CatalogueStore store(fixture.path());
  Session session;
  session.Load(Series::DARNE, store);  // S9: pitch codes 18 and 51
  EXPECT_FLOAT_EQ(session.constants.GeoFinPitch[8], 51);
  session.Load(Series::Q70, store);  // Q70 selects no set: the previous one stays
  EXPECT_FLOAT_EQ(session.constants.GeoFinPitch[8], 51);
  session.Load(Series::MIRAL, store);  // S4 writes pitch codes 1..4 only
  EXPECT_FLOAT_EQ(session.constants.GeoFinPitch[1], 16);
  EXPECT_FLOAT_EQ(session.constants.GeoFinPitch[8], 51);
}

}  // namespace
}  // namespace vestra
