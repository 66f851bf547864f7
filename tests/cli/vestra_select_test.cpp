#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct Result {
  int exitCode;
  std::string out;
};

// Runs vestra-select with the language, units and separator fixed, away from the user's
// own settings and documents.
Result Select(const std::string& args, bool withStderr = false) {
  const std::string command =
      "HOME=/tmp/vestra-select-test XDG_CONFIG_HOME=/tmp/vestra-select-test "
      "XDG_DOCUMENTS_DIR=/tmp/vestra-select-test " +
      std::string(VESTRA_SELECT) + " --lang 0 --units 0,0,0,0,0 --decimal-separator . " + args +
      (withStderr ? " 2>&1" : " 2>/dev/null");
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
  return {WEXITSTATUS(pclose(pipe)), out};
}

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(VestraSelect, printsTheHeadingsAndOneLinePerModelAndSpeed) {
  const Result all = Select("--series MIRAL --speed all");
  ASSERT_EQ(all.exitCode, 0) << all.out;
  EXPECT_EQ(
      all.out.rfind(
          "\tVel\tQA\tPT\tPS\tQW (C)\tDPW (C)\tTA (C)\tPH\tQW (H)\tDPW (H)\tTA (H)\tLW\tLP\tPin\n",
          0),
      0u)
      << all.out;
  const Result max = Select("--series MIRAL --speed Max");
  ASSERT_EQ(max.exitCode, 0);
  EXPECT_EQ(Lines(all.out) - 2, 3 * (Lines(max.out) - 2));
  const Result one = Select("--series MIRAL --speed 3 --model 1");
  EXPECT_EQ(Lines(one.out), 3);
}

TEST(VestraSelect, aSetTheScreenRejectsStopsTheRunWithItsMessage) {
  const struct {
    const char* args;
    const char* message;
  } cases[] = {
      {"--series BRISK --set 'txtTsa1(0)=50'",
       "vestra-select: txtTsa1(0): Il valore deve essere compreso tra 18 °C -> 33 °C viene "
       "impostato a 18\n"},
      {"--series MIRAL --set txtUr=99", "vestra-select: txtUr: Il valore deve essere compreso"},
      {"--series MIRAL --set txtGlic=80", "vestra-select: txtGlic: Il valore deve essere"},
      {"--series MIRAL --set txtTbu=30", "vestra-select: txtTbu: Il bulbo umido deve essere <"},
      {"--series MIRAL --set 'txtTw2(0)=5'", "vestra-select: txtTw2(0): La temp. Uscita deve"},
      {"--series MIRAL --set 'txtQw(1)=-1'", "vestra-select: txtQw(1): Il valore deve essere"},
      {"--series MIRAL --set txtDistanza=0", "vestra-select: txtDistanza: Il valore deve essere"},
      {"--series MIRAL --set 'txtTsa1(0)=1e400' --format json", "vestra-select: txtTsa1(0): "},
  };
  for (const auto& c : cases) {
    const Result r = Select(c.args, true);
    EXPECT_EQ(r.exitCode, 1) << c.args << ": " << r.out;
    EXPECT_EQ(r.out.rfind(c.message, 0), 0u) << c.args << ": " << r.out;
    EXPECT_EQ(Lines(r.out), 1) << c.args << ": no table, one line: " << r.out;
  }
  // What the screen takes without a word goes on to the table.
  const Result ok = Select("--series BRISK --format json --set 'txtTsa1(0)=30' --set txtGlic=20");
  ASSERT_EQ(ok.exitCode, 0) << ok.out;
  for (const char* part :
       {"\"series\": \"BRISK\"", "\"caption\": \"Cassette BRISK\"", "\"headings\": [\"\", \"QA\"",
        "\"units\": [\"Modello\", \"l/s\"", "\"rows\": [", "\"values\": [", "\"messages\": []"})
    EXPECT_NE(ok.out.find(part), std::string::npos) << part << "\n" << ok.out;
}

TEST(VestraSelect, helpListsTheControlsOfEverySeries) {
  const Result r = Select("--help");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.rfind("usage: vestra-select", 0), 0u);
  EXPECT_NE(r.out.find("  MIRAL: txtTsa1(0), txtTbu"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("txtpsu"), std::string::npos);
  // Q70 has no cooling panel and no "=QW(C)".
  const std::size_t q70 = r.out.find("  Q70: ");
  ASSERT_NE(q70, std::string::npos);
  const std::string line = r.out.substr(q70, r.out.find('\n', q70) - q70);
  EXPECT_EQ(line.find("txtTsa1(0)"), std::string::npos) << line;
  EXPECT_EQ(line.find("chkComeFreddo"), std::string::npos) << line;
}

TEST(VestraSelect, aMessageThatEndsTheCalculationExitsWith1) {
  // With the wet bulb gone too, an emptied humidity cannot be recomputed.
  const Result r = Select("--series MIRAL --set txtTbu= --set txtUr=", true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("vestra-select: Manca la percentuale di umidità"), std::string::npos)
      << r.out;
}

TEST(VestraSelect, badUsageExitsWith2) {
  for (const char* args :
       {"", "--series NOPE", "--series MIRALEC --speed 1", "--series MIRAL --set txtFoo=1",
        "--series MIRAL --set 'txtTw2(3)=1'", "--series VELD --set txtpsu=20",
        "--series MIRAL --speed 9", "--series MIRAL --model XYZ", "--series MIRAL --format xml",
        "--series MIRAL --units 0,0", "--series MIRAL --set chkHX=yes", "--series MIRAL --bogus",
        "--series MIRAL --model 1 --chart", "--series MIRALEC --set txtqatot=200 --chart"}) {
    const Result r = Select(args, true);
    EXPECT_EQ(r.exitCode, 2) << args << ": " << r.out;
    EXPECT_EQ(r.out.rfind("vestra-select: ", 0), 0u) << args << ": " << r.out;
  }
}

TEST(VestraSelect, theChartsPictureIsAPngOrTheReasonItIsNot) {
  const std::string file = "/tmp/vestra-select-test-chart.png";
  std::remove(file.c_str());
  const std::string chart = "--series UMBRA --model 1 --set txtqatot=250 --set txtpsu=20 ";
  Result r = Select(chart + "--format json --chart-image " + file, true);
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(r.out.find("vestra-select:"), std::string::npos) << "nothing on stderr: " << r.out;
  EXPECT_NE(r.out.find("\"chart\": {\"owner\": \"FDatiUmbra\""), std::string::npos) << r.out;
  FILE* png = std::fopen(file.c_str(), "rb");
  ASSERT_NE(png, nullptr);
  std::array<unsigned char, 8> head{};
  EXPECT_EQ(std::fread(head.data(), 1, head.size(), png), head.size());
  std::fclose(png);
  EXPECT_EQ(head[1], 'P');
  EXPECT_EQ(head[2], 'N');
  EXPECT_EQ(head[3], 'G');

  r = Select(chart + "--chart-image /nonexistent-folder/chart.png", true);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(
      r.out.find("--chart-image \"/nonexistent-folder/chart.png\": its folder does not exist"),
      std::string::npos)
      << r.out;
}

TEST(VestraSelect, commaSeparatorAndOtherUnitsShowInTheTable) {
  const Result r = Select(
      "--series PELVO --speed 3 --model 1 --decimal-separator , --units 1,2,1,1,0 "
      "--set 'txtTsa1(1)=21.5'");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_NE(r.out.find("Modello\tm3/h\tFrig/h\tFrig/h\tl/h\tmH2O"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(','), std::string::npos) << r.out;
}

}  // namespace

namespace {

TEST(VestraSelect, needPrintsTheRowChosenWithItsMarginsOrSaysWhyNone) {
  Result r = Select("--series MIRAL --need PT=3000,PS=2200,LP=50", true);
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(Lines(r.out), 3) << r.out;  // the two heading rows and the row chosen
  EXPECT_NE(r.out.find("\tMargini\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\t+9 % totale, +10 % sensibile, \u22124 dB(A)\n"), std::string::npos)
      << r.out;

  r = Select("--series MIRAL --need PT=30000", true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("vestra-select: Resa frigorifera totale richiesta 30000 W: nessuna riga "
                       "la raggiunge, al massimo"),
            std::string::npos)
      << r.out;

  r = Select("--series MIRAL --format json --need PH=4000", true);
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_NE(r.out.find("\"duty\": {\"required\": {\"totalW\": null, \"sensibleW\": null, "
                       "\"heatingW\": 4000, \"soundPressureDb\": null}"),
            std::string::npos)
      << r.out;

  for (const char* bad : {"--series MIRAL --need PX=3",
                          "--series MIRAL --need PT=", "--series MIRAL --need PT=1,PT=2"}) {
    r = Select(bad, true);
    EXPECT_EQ(r.exitCode, 2) << bad << ": " << r.out;
  }
  r = Select("--series MIRAL --need LP=loud", true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("Pressione sonora massima: \"loud\" non è un valore valido"),
            std::string::npos)
      << r.out;
}

}  // namespace

namespace {

// The DOCX's main part as text, read with unzip.
std::string DocumentXml(const std::string& file) {
  FILE* pipe = popen(("unzip -p '" + file + "' word/document.xml").c_str(), "r");
  std::string out;
  std::array<char, 4096> buffer{};
  while (pipe && fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
  if (pipe) pclose(pipe);
  return out;
}

TEST(VestraSelect, reportWritesTheSelectionsDocumentAndPrintsItsFile) {
  const std::string folder = "/tmp/vestra-select-test/reports";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const Result r = Select("--series MIRAL --speed all --report " + folder +
                              " --customer 'Studio Rossi' --notes 'Offer 12/26'",
                          true);
  ASSERT_EQ(r.exitCode, 0) << r.out;
  ASSERT_EQ(Lines(r.out), 1) << r.out;
  const std::string file = r.out.substr(0, r.out.size() - 1);
  EXPECT_EQ(std::filesystem::path(file).parent_path(), folder);
  EXPECT_EQ(std::filesystem::path(file).filename().string().rfind("Doc", 0), 0u) << file;
  const std::string xml = DocumentXml(file);
  for (const char* text : {"Studio Rossi", "Offer 12/26", "Selezione Tecnica", "MIRAL 90",
                           "Risultati calcolo", "Legenda"})
    EXPECT_NE(xml.find(text), std::string::npos) << text;
  EXPECT_NE(xml.find("<w:drawing>"), std::string::npos) << "the photo, drawing and diagram";

  // Only the sections asked for; a second report in the same second keeps the first.
  const Result notes = Select("--series MIRAL --report " + folder + " --sections notes --notes x");
  ASSERT_EQ(notes.exitCode, 0);
  EXPECT_EQ(DocumentXml(notes.out.substr(0, notes.out.size() - 1)).find("Legenda"),
            std::string::npos);
}

TEST(VestraSelect, reportRefusesWhatItCannotWrite) {
  const struct {
    const char* args;
    const char* message;
  } cases[] = {
      {"--series MIRAL --report /nonexistent/folder", "the folder \"/nonexistent/folder\""},
      {"--series MIRAL --report /tmp --sections photo,bogus", "unknown section \"bogus\""},
      {"--series MIRAL --report /tmp --doc-row 99", "--doc-row 99: MIRAL has"},
      {"--series MIRAL --customer x", "go with --report"},
  };
  for (const auto& c : cases) {
    const Result r = Select(c.args, true);
    EXPECT_EQ(r.exitCode, 2) << c.args << ": " << r.out;
    EXPECT_NE(r.out.find(c.message), std::string::npos) << c.args << ": " << r.out;
  }
}

}  // namespace
