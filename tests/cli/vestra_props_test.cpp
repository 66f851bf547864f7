#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct Result {
  int exitCode;
  std::string out;
};

// Runs vestra-props with the given arguments; stdout only (stderr to /dev/null unless asked).
Result RunProps(const std::string& args, bool withStderr = false) {
  const std::string command =
      std::string(VESTRA_PROPS) + " " + args + (withStderr ? " 2>&1" : " 2>/dev/null");
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  std::array<char, 256> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
  const int status = pclose(pipe);
  return {WEXITSTATUS(status), out};
}

TEST(VestraProps, printsWaterPropertiesAsJsonWithNineDigits) {
  const Result r = RunProps("water 20");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "{\"cp\": 4.18765736, \"density\": 997.753662, \"viscosity\": 0.00101171748, "
            "\"conductivity\": 0.603380561, \"prandtl\": 7.02164841}\n");
}

TEST(VestraProps, glycolZeroIsWaterAndGlycolUsesTheMixture) {
  EXPECT_EQ(RunProps("glycol 20 0").out, RunProps("water 20").out);
  const Result r = RunProps("glycol 20 30");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("\"cp\": 3.714"), std::string::npos) << r.out;
}

TEST(VestraProps, printsMoistAirFromHumidityAndFromWetBulb) {
  const Result air = RunProps("air 27 47");
  EXPECT_EQ(air.exitCode, 0);
  for (const char* key : {"\"wetBulb\": 18.98", "\"humidityRatio\": 0.0105", "\"enthalpy\": 53.8",
                          "\"density\": 1.156", "\"cp\": 1.006", "\"satVapourPressure\": 35.67",
                          "\"rhBack\": 47.000"})
    EXPECT_NE(air.out.find(key), std::string::npos) << key << " in " << air.out;
  const Result wb = RunProps("airwb 27 19");
  EXPECT_EQ(wb.exitCode, 0);
  EXPECT_NE(wb.out.find("\"relHumidity\": 47.08"), std::string::npos) << wb.out;
}

TEST(VestraProps, badArgumentsAreOneLineOnStderrWithExitCode2) {
  for (const char* args :
       {"", "water", "water abc", "water 20 1", "glycol 20", "glycol 20 -1", "air 27", "air 27 150",
        "air 5 10", "airwb 20 25", "steam 100", "water nan", "water 1e999"}) {
    const Result r = RunProps(args, true);
    EXPECT_EQ(r.exitCode, 2) << args;
    EXPECT_EQ(r.out.rfind("vestra-props: ", 0), 0u) << args << ": " << r.out;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << args << ": " << r.out;
  }
}

TEST(VestraProps, engineRunTimeErrorIsReportedWithItsNumber) {
  const Result r = RunProps("air -300 50", true);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.out.find("run-time error 5"), std::string::npos) << r.out;
}

}  // namespace
