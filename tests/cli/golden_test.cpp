// The regression net of the selection screens: vestra-select's output for every series
// under a handful of input sets, compared byte for byte with the committed golden files
// (tests/golden/select_cases.tsv lists the runs). A change that moves a figure, a cell or
// a message shows here first; when the change is meant, regenerate the files with
//   VESTRA_UPDATE_GOLDEN=1 build/bin/vestra_golden_tests
// and say in the commit why they moved.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Case {
  std::string name;  // "MIRAL/defaults"
  std::string args;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

std::vector<Case> LoadCases() {
  std::vector<Case> cases;
  std::ifstream file(std::string(VESTRA_GOLDEN_DIR) + "/select_cases.tsv");
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    cases.push_back({line.substr(0, tab), line.substr(tab + 1)});
  }
  return cases;
}

struct Output {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Runs vestra-select away from the user's own settings and documents.
Output Select(const std::string& args, const fs::path& errFile) {
  const std::string command =
      "HOME=/tmp/vestra-golden XDG_CONFIG_HOME=/tmp/vestra-golden "
      "XDG_DOCUMENTS_DIR=/tmp/vestra-golden " +
      std::string(VESTRA_SELECT) + " " + args + " 2>" + errFile.string();
  Output run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer{};
  std::size_t n = 0;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
  run.exitCode = WEXITSTATUS(pclose(pipe));
  run.err = Slurp(errFile);
  return run;
}

class Golden : public ::testing::TestWithParam<Case> {};

TEST_P(Golden, outputIsUnchanged) {
  const Case& c = GetParam();
  const fs::path base = fs::path(VESTRA_GOLDEN_DIR) / "select" / c.name;
  const fs::path errFile =
      fs::temp_directory_path() / ("vestra-golden-" + std::to_string(::getpid()) + ".err");
  const Output tsv = Select(c.args, errFile);
  const Output json = Select(c.args + " --format json", errFile);
  fs::remove(errFile);
  ASSERT_GE(tsv.exitCode, 0) << c.args;
  // The exit code and what went to stderr belong to the output too.
  const std::string status = "exit " + std::to_string(tsv.exitCode) + "\n" + tsv.err;
  EXPECT_EQ(json.exitCode, tsv.exitCode) << c.args;

  const std::vector<std::pair<std::string, std::string>> outputs = {
      {".tsv", tsv.out}, {".json", json.out}, {".stderr", status}};
  if (std::getenv("VESTRA_UPDATE_GOLDEN")) {
    fs::create_directories(base.parent_path());
    for (const auto& [ext, text] : outputs) {
      std::ofstream file(base.string() + ext, std::ios::binary);
      file << text;
    }
    return;
  }
  for (const auto& [ext, text] : outputs) {
    const fs::path path = base.string() + ext;
    ASSERT_TRUE(fs::exists(path)) << path << " is missing; run with VESTRA_UPDATE_GOLDEN=1";
    EXPECT_EQ(text, Slurp(path)) << c.name << ext << ": vestra-select " << c.args;
  }
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  std::string name = info.param.name;
  for (char& ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Select, Golden, ::testing::ValuesIn(LoadCases()), CaseName);

TEST(GoldenCases, areListed) {
  // An unreadable case list would silently test nothing.
  EXPECT_FALSE(LoadCases().empty()) << VESTRA_GOLDEN_DIR "/select_cases.tsv";
}

}  // namespace
