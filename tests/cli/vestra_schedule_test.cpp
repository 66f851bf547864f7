#include <gtest/gtest.h>
#include <sys/wait.h>
#include <xlsxwriter.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Result {
  int exitCode;
  std::string out;
};

Result Shell(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
  return {WEXITSTATUS(pclose(pipe)), out};
}

// Runs vestra-schedule with the language, units and separator fixed, away from the user's
// own settings; stderr joins stdout.
Result Schedule(const std::string& args) {
  return Shell(
      "HOME=/tmp/vestra-schedule-test XDG_CONFIG_HOME=/tmp/vestra-schedule-test "
      "XDG_DOCUMENTS_DIR=/tmp/vestra-schedule-test " +
      std::string(VESTRA_SCHEDULE) + " --lang 0 --units 0,0,0,0,0 --decimal-separator . " + args +
      " 2>&1");
}

class ScheduleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vestra-schedule-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& text) const {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path dir_;
};

// A CSV line's fields (the writer quotes only what needs it).
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields{""};
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// The written schedule by tag: each room's fields by heading.
std::map<std::string, std::map<std::string, std::string>> Rooms(const std::string& csv) {
  std::istringstream in(csv);
  std::string line;
  std::getline(in, line);
  const std::vector<std::string> headings = Fields(line);
  std::getline(in, line);  // units
  std::map<std::string, std::map<std::string, std::string>> rooms;
  while (std::getline(in, line)) {
    const std::vector<std::string> fields = Fields(line);
    std::map<std::string, std::string> room;
    for (std::size_t i = 0; i < headings.size() && i < fields.size(); ++i)
      room[headings[i]] = fields[i];
    rooms[fields[0]] = room;
  }
  return rooms;
}

const char* const kSchedule =
    "tag,series,txtTsa1(0),txtqatot,PT,PS,PH,LP\n"
    "OF-1,MIRAL,26,,2400,1800,2500,40\n"
    "OF-2,miralec,,200,1200,900,1800,35\n"
    "MR-3,KELM,,,4500,3000,5000,48\n"
    "HOT,MIRAL,50,,2000,,,\n"
    "NONE,NOPE,,,2000,,,\n"
    "FLOW,MIRAL,,150,2000,,,\n"
    "BIG,MIRAL,,,99000,,,\n"
    "IDLE,MIRAL,,,,,,\n";

TEST_F(ScheduleTest, selectsEveryGoodRoomAndNotesWhyTheOthersHaveNoUnit) {
  const std::string input = Write("floor.csv", kSchedule);
  const Result r = Schedule(input);
  EXPECT_EQ(r.exitCode, 1) << r.out;
  ASSERT_TRUE(fs::exists(dir_ / "floor-selected.csv")) << r.out;
  ASSERT_TRUE(fs::exists(dir_ / "floor-selected.xlsx"));
  const std::string csv = Read(dir_ / "floor-selected.csv");
  EXPECT_EQ(csv.rfind("tag,series,model,speed,Vin,QA,PT,PS,QW (C),DPW (C),TA (C),PH,QW (H),"
                      "DPW (H),TA (H),LP,Pin,margin PT,margin PS,margin PH,margin LP,note\n"
                      ",,,,V,l/s,W,W,l/s,kPa,°C,W,l/s,kPa,°C,dB(A),W,%,%,%,dB(A),\n",
                      0),
            0u)
      << csv;
  auto rooms = Rooms(csv);
  ASSERT_EQ(rooms.size(), 8u) << csv;

  // The rooms selected: a model, its figures meeting the duty, margins that follow from them.
  const struct {
    const char* tag;
    const char* series;
    double pt, ps, ph, lp;
  } good[] = {{"OF-1", "MIRAL", 2400, 1800, 2500, 40},
              {"OF-2", "MIRALEC", 1200, 900, 1800, 35},
              {"MR-3", "KELM", 4500, 3000, 5000, 48}};
  for (const auto& g : good) {
    auto& room = rooms[g.tag];
    EXPECT_EQ(room["series"], g.series);
    EXPECT_EQ(room["model"].rfind(g.series, 0), 0u) << g.tag << ": " << room["model"];
    EXPECT_EQ(room["note"], "") << g.tag;
    EXPECT_FALSE(room["QA"].empty()) << g.tag;
    const double pt = std::stod(room["PT"]), ps = std::stod(room["PS"]);
    const double ph = std::stod(room["PH"]), lp = std::stod(room["LP"]);
    EXPECT_GE(pt, g.pt) << g.tag;
    EXPECT_GE(ps, g.ps) << g.tag;
    EXPECT_GE(ph, g.ph) << g.tag;
    EXPECT_LE(lp, g.lp) << g.tag;
    EXPECT_NEAR(std::stod(room["margin PT"]), 100 * (pt - g.pt) / g.pt, 0.6) << g.tag;
    EXPECT_NEAR(std::stod(room["margin PH"]), 100 * (ph - g.ph) / g.ph, 0.6) << g.tag;
    EXPECT_NEAR(std::stod(room["margin LP"]), lp - g.lp, 0.06) << g.tag;
  }
  // Every speed is rated for a fixed-speed fan coil, the slowest that meets chosen; an EC
  // fan coil shows its signal instead.
  EXPECT_FALSE(rooms["OF-1"]["speed"].empty());
  EXPECT_FALSE(rooms["OF-2"]["Vin"].empty());
  EXPECT_TRUE(rooms["OF-1"]["Vin"].empty());

  // The rooms that have a note: the screen's message, and the next room still selected.
  const struct {
    const char* tag;
    const char* note;
  } noted[] = {
      {"HOT", "txtTsa1(0): Il valore deve essere compreso tra 18 °C -> 33 °C"},
      {"NONE", "unknown series \"NOPE\"; the series are TORVA,"},
      {"FLOW", "txtqatot: the screen of MIRAL has no such control"},
      {"BIG", "Resa frigorifera totale richiesta 99000 W: nessuna riga la raggiunge"},
      {"IDLE", "no duty stated"},
  };
  for (const auto& n : noted) {
    EXPECT_EQ(rooms[n.tag]["note"].rfind(n.note, 0), 0u) << n.tag << ": " << rooms[n.tag]["note"];
    EXPECT_EQ(rooms[n.tag]["model"], "") << n.tag;
    EXPECT_NE(r.out.find(std::string("vestra-schedule: ") + n.tag + ": "), std::string::npos)
        << r.out;
  }
  EXPECT_NE(r.out.find("3 of 8 rooms selected"), std::string::npos) << r.out;
}

TEST_F(ScheduleTest, aScheduleOfGoodRoomsExitsZeroWhereTheOutputPrefixSays) {
  const std::string input = Write("a.csv", "tag,series,PT\nA,MIRAL,2000\nB,VELD,2000\n");
  const Result r = Schedule(input + " -o " + (dir_ / "out").string());
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_TRUE(fs::exists(dir_ / "out.csv"));
  EXPECT_TRUE(fs::exists(dir_ / "out.xlsx"));
  EXPECT_FALSE(fs::exists(dir_ / "a-selected.csv"));
  // Nothing is left under a temporary name.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) ++files;
  EXPECT_EQ(files, 3);
}

TEST_F(ScheduleTest, aRoomInheritsNothingTypedForTheRoomBeforeIt) {
  // A cool room first: its dry bulb calls for a larger unit than the default room after it.
  Schedule(Write("two.csv", "tag,series,txtTsa1(0),PT\nA,MIRAL,20,2000\nB,MIRAL,,2000\n"));
  Schedule(Write("one.csv", "tag,series,PT\nB,MIRAL,2000\n"));
  auto two = Rooms(Read(dir_ / "two-selected.csv"));
  auto one = Rooms(Read(dir_ / "one-selected.csv"));
  ASSERT_FALSE(one["B"]["model"].empty());
  EXPECT_NE(two["A"]["model"] + two["A"]["speed"], two["B"]["model"] + two["B"]["speed"]);
  EXPECT_EQ(two["B"], one["B"]);
}

TEST_F(ScheduleTest, badUsageAndUnreadableInputsStopBeforeAnyWork) {
  const struct {
    const char* name;
    const char* text;
    const char* message;
  } cases[] = {
      {"col.csv", "tag,series,txtWhat,PT\nA,MIRAL,1,2000\n",
       "col.csv: line 1, column 3: unknown column \"txtWhat\""},
      {"twice.csv", "tag,series,PT,pt\nA,MIRAL,1,2\n", "column \"pt\" twice"},
      {"noseries.csv", "tag,PT\nA,2000\n", "no column \"series\" in the heading line"},
      {"quote.csv", "tag,series,PT\nA,MIRAL,2000\n\"B,MIRAL,2000\n",
       "quote.csv: line 3: a "
       "quoted field is not closed"},
      {"wide.csv", "tag,series,PT\nA,MIRAL,2000,9\n", "line 2, column 4: \"9\" beyond"},
      {"empty.csv", "\n\n", "the schedule is empty"},
      {"fake.xlsx", "PK\x03\x04garbage", "cannot read "},
  };
  for (const auto& c : cases) {
    const std::string input = Write(c.name, c.text);
    const Result r = Schedule(input);
    EXPECT_EQ(r.exitCode, 2) << c.name << ": " << r.out;
    EXPECT_NE(r.out.find(c.message), std::string::npos) << c.name << ": " << r.out;
  }
  const Result missing = Schedule((dir_ / "missing.csv").string());
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.out.find("cannot read " + (dir_ / "missing.csv").string()), std::string::npos)
      << missing.out;
  for (const char* args : {"", "a.csv b.csv", "--bogus a.csv", "a.csv -o"})
    EXPECT_EQ(Schedule(args).exitCode, 2) << args;
  // An output prefix that names the input itself would replace the schedule read.
  const std::string rooms = Write("rooms.csv", "tag,series,PT\nA,MIRAL,2000\n");
  const Result over = Schedule(rooms + " -o " + (dir_ / "rooms").string());
  EXPECT_EQ(over.exitCode, 2) << over.out;
  EXPECT_NE(over.out.find("would write over the schedule"), std::string::npos) << over.out;
  EXPECT_EQ(Read(rooms), "tag,series,PT\nA,MIRAL,2000\n");
  // Nothing was written for any of them.
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_EQ(entry.path().string().find("-selected"), std::string::npos) << entry.path();
}

TEST_F(ScheduleTest, readsSemicolonCsvWithByteOrderMarkQuotesAndCrLfAsTheCommaOne) {
  const std::string comma = Write("comma.csv", kSchedule);
  const std::string semicolon = Write("semi.csv",
                                      "\xEF\xBB\xBFtag;series;txtTsa1(0);txtqatot;PT;PS;PH;LP\r\n"
                                      "\"OF-1\";MIRAL;\"26\";;2400;1800;2500;40\r\n"
                                      "OF-2;miralec;;200;1200;900;1800;35\r\n\r\n"
                                      "MR-3;KELM;;;4500;3000;5000;48\r\n"
                                      "HOT;MIRAL;50;;2000;;;\r\n"
                                      "NONE;NOPE;;;2000;;;\r\n"
                                      "FLOW;MIRAL;;150;2000;;;\r\n"
                                      "\"BIG\";\"MIRAL\";;;99000;;;\r\n"
                                      "IDLE;MIRAL;;;;;;\r\n");
  Schedule(comma);
  Schedule(semicolon);
  const std::string expected = Read(dir_ / "comma-selected.csv");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(Read(dir_ / "semi-selected.csv"), expected);

  // A tag with the separator and a quote comes back quoted.
  const std::string odd = Write("odd.csv", "tag,series,PT\n\"Room \"\"A\"\", north\",MIRAL,2000\n");
  ASSERT_EQ(Schedule(odd).exitCode, 0);
  EXPECT_NE(Read(dir_ / "odd-selected.csv").find("\n\"Room \"\"A\"\", north\",MIRAL,MIRAL "),
            std::string::npos)
      << Read(dir_ / "odd-selected.csv");
}

TEST_F(ScheduleTest, readsTheFirstSheetOfAWorkbookAsTheCsvOfTheSameRooms) {
  const std::string comma = Write("rooms.csv", kSchedule);
  Schedule(comma);
  // The same rooms in a workbook: texts as shared strings, numbers as numbers, a second
  // sheet that is not read.
  const fs::path book = dir_ / "book.xlsx";
  lxw_workbook* wb = workbook_new(book.c_str());
  lxw_worksheet* sheet = workbook_add_worksheet(wb, "Rooms");
  lxw_worksheet* other = workbook_add_worksheet(wb, "Notes");
  worksheet_write_string(other, 0, 0, "series", nullptr);
  std::istringstream in(kSchedule);
  std::string line;
  for (lxw_row_t row = 0; std::getline(in, line); ++row) {
    const std::vector<std::string> fields = Fields(line);
    for (std::size_t col = 0; col < fields.size(); ++col) {
      const std::string& f = fields[col];
      if (f.empty()) continue;
      char* end = nullptr;
      const double number = std::strtod(f.c_str(), &end);
      if (*end == '\0')
        worksheet_write_number(sheet, row, static_cast<lxw_col_t>(col), number, nullptr);
      else
        worksheet_write_string(sheet, row, static_cast<lxw_col_t>(col), f.c_str(), nullptr);
    }
  }
  ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
  const Result r = Schedule(book.string());
  EXPECT_EQ(r.exitCode, 1) << r.out;
  EXPECT_EQ(Read(dir_ / "book-selected.csv"), Read(dir_ / "rooms-selected.csv"));
}

TEST_F(ScheduleTest, theWorkbookWrittenHasBoldFrozenHeadingsAndNumbersAsNumbers) {
  const std::string input = Write("floor.csv", kSchedule);
  Schedule(input);
  const std::string script =
      "import openpyxl\n"
      "wb = openpyxl.load_workbook('" +
      (dir_ / "floor-selected.xlsx").string() +
      "')\n"
      "ws = wb.worksheets[0]\n"
      "print(len(wb.worksheets), ws.freeze_panes, ws.max_row)\n"
      "print(ws['A1'].value, ws['G1'].value, ws['G2'].value, ws['A1'].font.b, ws['G2'].font.b)\n"
      "row = {ws.cell(1, c).value: ws.cell(3, c).value for c in range(1, ws.max_column + 1)}\n"
      "num = lambda v: 'number' if isinstance(v, (int, float)) else type(v).__name__\n"
      "print(row['tag'], num(row['PT']), num(row['QW (C)']), num(row['margin PT']), row['note'])\n"
      "print(ws.column_dimensions['V'].width > 30, ws.column_dimensions['A'].width < 12)\n";
  const Result r = Shell("/usr/bin/python3 -c \"" + script + "\" 2>&1");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(r.out,
            "1 A3 10\n"
            "tag PT W True True\n"
            "OF-1 number number number None\n"
            "True True\n");
}

}  // namespace
