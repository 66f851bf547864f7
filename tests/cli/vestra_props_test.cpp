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
        "air 5 10", "airwb 20 25", "steam 100", "water nan", "water 1e999", "water -300"}) {
    const Result r = RunProps(args, true);
    EXPECT_EQ(r.exitCode, 2) << args;
    EXPECT_EQ(r.out.rfind("vestra-props: ", 0), 0u) << args << ": " << r.out;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << args << ": " << r.out;
  }
}

// The fits hold over a range; outside it the tool refuses, saying which range.
TEST(VestraProps, refusesWhatTheFitsDoNotCoverNamingTheRange) {
  struct Case {
    const char* args;
    const char* message;
  } cases[] = {
      {"water -300", "T must lie between 0 and 100 degC (the range of the water fits), not -300"},
      {"water 100.5", "T must lie between 0 and 100 degC (the range of the water fits), not 100.5"},
      {"glycol -5 0", "T must lie between 0 and 100 degC (the range of the water fits), not -5"},
      {"glycol 95 30", "T must lie between -10 and 80 degC (the range of the glycol fits), not 95"},
      {"glycol 20 65.5", "G must lie between 0 and 65 % (the range of the glycol fits), not 65.5"},
      {"glycol 20 -1", "G must lie between 0 and 65 % (the range of the glycol fits), not -1"},
      {"air -300 50",
       "TDB must lie between -10 and 50 degC (the range the moist-air functions are used over), "
       "not -300"},
      {"air 27 150", "RH must lie between 0 and 100 %, not 150"},
      {"air 27 -0.5", "RH must lie between 0 and 100 %, not -0.5"},
      {"airwb 27 30", "the wet bulb (30 degC) must not exceed the dry bulb (27 degC)"},
      {"airwb 27 -5",
       "the wet bulb (-5 degC) lies below that of dry air at 27 degC: it gives a relative "
       "humidity of -45.7"},
  };
  for (const Case& c : cases) {
    const Result r = RunProps(c.args, true);
    EXPECT_EQ(r.exitCode, 2) << c.args;
    EXPECT_EQ(r.out.rfind(std::string("vestra-props: ") + c.message, 0), 0u) << r.out;
  }
  // The ends of each range are inside it.
  for (const char* args : {"water 0", "water 100", "glycol -10 65", "glycol 80 0.5", "air -10 0",
                           "air 50 100", "airwb 20 20"})
    EXPECT_EQ(RunProps(args).exitCode, 0) << args;
}

TEST(VestraProps, echoesAnArgumentCutAndWithItsControlCharactersShown) {
  const Result r = RunProps("water \"$(printf '2\\033[2J')" + std::string(100, '0') + "\"", true);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out,
            "vestra-props: T is not a number: \"2\\x1B[2J" + std::string(55, '0') + "...\"\n");
}

}  // namespace
