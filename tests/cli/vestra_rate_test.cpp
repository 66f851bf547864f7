#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "cli/cli_common.h"
#include "engine/coil_constants.h"
#include "engine/coil_cooling.h"
#include "engine/coil_heating.h"
#include "engine/coil_rating.h"
#include "engine/fluids.h"
#include "engine/moist_air.h"

namespace {

struct Result {
  int exitCode;
  std::string out;
};

Result RunCommand(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  std::array<char, 512> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe)) out += buffer.data();
  const int status = pclose(pipe);
  return {WEXITSTATUS(status), out};
}

// Runs vestra-rate on a description given as a file; stderr is captured when asked.
Result RunRate(const std::string& json, bool withStderr = false) {
  char path[] = "/tmp/vestra-rate-test-XXXXXX";
  const int fd = mkstemp(path);
  EXPECT_GE(fd, 0);
  close(fd);
  std::ofstream(path) << json;
  const Result r =
      RunCommand(std::string(VESTRA_RATE) + " " + path + (withStderr ? " 2>&1" : " 2>/dev/null"));
  std::remove(path);
  return r;
}

std::string Field(const std::string& key, double value) {
  return "\"" + key + "\": " + vestra::cli::JsonNumber(value);
}

const std::string kFanCoil =
    R"("constantSet": "S4", "geometry": 3, "pitch": 2, "rows": 3, "circuits": 3,
       "lengthMm": 700, "heightMm": 250, "headerFactor": 1, "bypassCoef": 4, "airCoef": 30,
       "airFlow": 0.139)";

const std::string kFanCoilCooling =
    "{" + kFanCoil + R"(, "duty": "cooling", "taIn": 27, "rhIn": 47, "twIn": 7, "twOut": 12})";

vestra::CoilModel FanCoilModel() {
  vestra::CoilModel m;
  m.geometry = 3;
  m.pitch = 2;
  m.rows = 3;
  m.circuits = 3;
  m.lengthMm = 700;
  m.heightMm = 250;
  m.headerFactor = 1;
  m.bypassCoef = 4;
  m.airCoef = 30;
  return m;
}

TEST(VestraRate, ratesTheFanCoilInCoolingAsTheEngineDoes) {
  const Result r = RunRate(kFanCoilCooling);
  ASSERT_EQ(r.exitCode, 0);

  const vestra::GlycolTables glycol = vestra::InitGlycolTables();
  vestra::CoilConstants c;
  vestra::CoilRatingState s;
  vestra::SelectCoilConstants(c, s, vestra::CoilSet::S4);
  s.taIn = 27;
  s.rhIn = 47;
  s.twIn = 7;
  s.airFlow = 0.139f;
  s.hSatIn = vestra::EnthalpyFromWetBulb(7, 7);
  s.twbIn = vestra::WetBulbFromRelHumidity(27, 47);
  s.hAirIn = vestra::EnthalpyFromWetBulb(s.twbIn, 27);
  s.rhoAir = vestra::AirDensity(27, 47);
  s.cpAir = vestra::AirCp(27);
  vestra::PrepareCoil(s, c, FanCoilModel(), vestra::Duty::kCooling);
  s.twOut = 12;
  const vestra::CoolingSolveResult e = vestra::SolveCoolingFlow(s, {c, glycol, {}});
  ASSERT_EQ(e.status, vestra::CoolingStatus::kConvergedWet);

  EXPECT_EQ(r.out,
            "{\"status\": \"converged wet\", " + Field("totalW", s.coolTotal) + ", " +
                Field("sensibleW", s.coolSensible) + ", " + Field("waterFlow", s.coolWaterFlow) +
                ", " + Field("twOut", 12) + ", " + Field("taOut", s.coolTaOut) + ", " +
                Field("pressureDropTerm", s.coolPressureDrop) + ", " + Field("passes", e.passes) +
                ", " + Field("faceVelocity", s.faceVelocity) + ", " + Field("hAir", s.hAir) + ", " +
                Field("hWater", s.hWater) + ", " + Field("reynolds", s.reynolds) + "}\n");
}

TEST(VestraRate, ratesHeatingForAGivenFlowWithTheModelsExponentLengthAndGlycol) {
  const Result r = RunRate("{" + kFanCoil + R"(, "duty": "heating", "taIn": 20, "twIn": 70,
      "waterFlow": 0.00015, "glycolPct": 20, "curAirN": 0.35, "lengthFactor": 1.2,
      "reTransMode": 0})");
  ASSERT_EQ(r.exitCode, 0);

  const vestra::GlycolTables glycol = vestra::InitGlycolTables();
  vestra::CoilConstants c;
  vestra::CoilRatingState s;
  vestra::SelectCoilConstants(c, s, vestra::CoilSet::S4);
  s.taIn = 20;
  s.twIn = 70;
  s.glycolPct = 20;
  s.airFlow = 0.139f;
  s.rhoAir = vestra::AirDensity(20, 0);
  s.cpAir = vestra::AirCp(20);
  vestra::CoilModel m = FanCoilModel();
  m.curAirN = 0.35f;
  m.lengthFactor = 1.2f;
  vestra::PrepareCoil(s, c, m, vestra::Duty::kHeating);
  s.waterFlow = 0.00015;
  vestra::RatingRules rules;
  rules.reTransMode = 0;
  ASSERT_EQ(vestra::SolveHeatingOutlet(s, {c, glycol, rules}).status,
            vestra::HeatingStatus::kConverged);

  for (const std::string& field :
       {std::string("\"status\": \"converged\""), Field("capacityW", s.heatCapacity),
        Field("waterFlow", 0.00015), Field("twOut", s.heatTwOut), Field("taOut", s.heatTaOut),
        Field("pressureDropTerm", s.heatPressureDrop), Field("hAir", s.hAir),
        Field("hWater", s.hWater)})
    EXPECT_NE(r.out.find(field), std::string::npos) << field << " in " << r.out;
}

TEST(VestraRate, readsTheDescriptionFromStdin) {
  const Result file = RunRate(kFanCoilCooling);
  const Result in =
      RunCommand("printf '%s' '" + kFanCoilCooling + "' | " + std::string(VESTRA_RATE) + " -");
  EXPECT_EQ(in.exitCode, 0);
  EXPECT_EQ(in.out, file.out);
}

TEST(VestraRate, theCassettesSeriesRuleRaisesTheWaterSideInCooling) {
  const std::string cassette =
      R"({"constantSet": "S2", "duty": "cooling", "geometry": 1, "pitch": 1, "rows": 2,
          "circuits": 4, "lengthMm": 1600, "heightMm": 200, "headerFactor": 0.5,
          "bypassCoef": 3, "airCoef": 35, "airFlow": 0.25, "taIn": 27, "rhIn": 47, "twIn": 7,
          "waterFlow": 0.00004)";
  const Result plain = RunRate(cassette + "}");
  const Result quivo = RunRate(cassette + R"(, "series": "QUIVO"})");
  ASSERT_EQ(plain.exitCode, 0);
  ASSERT_EQ(quivo.exitCode, 0);
  EXPECT_NE(quivo.out.find("\"hWater\": 1100,"), std::string::npos) << quivo.out;
  EXPECT_EQ(plain.out.find("\"hWater\": 1100,"), std::string::npos) << plain.out;
}

TEST(VestraRate, aSolveThatDoesNotConvergePrintsNullResults) {
  const Result r = RunRate(R"({"constantSet": "S4", "duty": "heating", "geometry": 3,
      "pitch": 2, "rows": 3, "circuits": 3, "lengthMm": 700, "heightMm": 250,
      "headerFactor": 1, "airCoef": 0.01, "airFlow": 0.139, "taIn": 20, "twIn": 70,
      "twOut": 60})");
  ASSERT_EQ(r.exitCode, 0);
  for (const char* field :
       {"\"status\": \"not converged\"", "\"capacityW\": null", "\"waterFlow\": null",
        "\"twOut\": 60", "\"taOut\": null", "\"pressureDropTerm\": null", "\"passes\": 15"})
    EXPECT_NE(r.out.find(field), std::string::npos) << field << " in " << r.out;
}

TEST(VestraRate, badInputIsOneLineOnStderrWithExitCode2) {
  const std::string cooling = kFanCoil + R"(, "duty": "cooling", "taIn": 27, "rhIn": 47,
      "twIn": 7)";
  for (const std::string& json : {
           std::string("{") + cooling + "}",                          // no twOut or flow
           "{" + cooling + R"(, "twOut": 12, "waterFlow": 0.0001})",  // both
           "{" + cooling + R"(, "twOut": "12"})",                     // a text
           "{" + cooling + R"(, "twOut": 12, "colour": 1})",          // unknown key
           "{" + cooling + R"(, "twOut": 12, "reTransMode": 1})",
           "{" + cooling + R"(, "twOut": 12, "screen": "wide"})",
           "{" + cooling + R"(, "twOut": 12)",  // unclosed
           "{" + cooling + R"(, "twOut": 12, "glycolPct": [20]})",
           "{" + cooling + R"(, "twOut": 1e999})",
           std::string(R"({"constantSet": "S4", "duty": "cooling"})"),  // missing keys
           std::string(R"({"constantSet": "S10"})"),
           std::string("[]"),
       }) {
    const Result r = RunRate(json, true);
    EXPECT_EQ(r.exitCode, 2) << json;
    EXPECT_EQ(r.out.rfind("vestra-rate: ", 0), 0u) << json << ": " << r.out;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << r.out;
  }
  for (const char* replacement : {"\"geometry\": 4", "\"geometry\": -1", "\"pitch\": 9",
                                  "\"pitch\": 1.5", "\"duty\": \"drying\""}) {
    std::string json = kFanCoilCooling;
    const std::string key = std::string(replacement).substr(0, std::string(replacement).find(':'));
    const std::size_t at = json.find(key);
    json.replace(at, json.find_first_of(",}", at) - at, replacement);
    const Result r = RunRate(json, true);
    EXPECT_EQ(r.exitCode, 2) << json;
    EXPECT_EQ(r.out.rfind("vestra-rate: ", 0), 0u) << r.out;
  }
  EXPECT_EQ(RunCommand(std::string(VESTRA_RATE) + " /nonexistent.json 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCommand(std::string(VESTRA_RATE) + " 2>/dev/null").exitCode, 2);
}

// The description with one key's value replaced (or added when it is not there).
std::string With(std::string json, const std::string& key, const std::string& value) {
  const std::string quoted = "\"" + key + "\": ";
  const std::size_t at = json.find(quoted);
  if (at == std::string::npos) return json.substr(0, json.size() - 1) + ", " + quoted + value + "}";
  const std::size_t from = at + quoted.size();
  return json.replace(from, json.find_first_of(",}", from) - from, value);
}

const std::string kFanCoilHeating =
    "{" + kFanCoil + R"(, "duty": "heating", "taIn": 20, "twIn": 70, "twOut": 60})";

// Inputs the method was never meant for are refused, saying what the key takes, instead
// of being rated into figures no coil gives (a humidity of 150 % or a bypass coefficient
// of 7.8 were rated as "converged wet" with a negative sensible capacity).
TEST(VestraRate, refusesADescriptionOutsideWhatTheMethodCovers) {
  struct Case {
    const std::string& duty;
    std::string key;
    std::string value;
    std::string message;
  } cases[] = {
      {kFanCoilCooling, "rhIn", "150", "\"rhIn\" must be from 0 to 100 %, not 150"},
      {kFanCoilCooling, "rhIn", "470", "\"rhIn\" must be from 0 to 100 %, not 470"},
      {kFanCoilCooling, "rhIn", "-1", "\"rhIn\" must be from 0 to 100 %, not -1"},
      {kFanCoilCooling, "bypassCoef", "7.8", "\"bypassCoef\" 7.8 gives a bypass factor of 1.12"},
      {kFanCoilCooling, "bypassCoef", "-1", "\"bypassCoef\" must be from 0 to 1000000, not -1"},
      {kFanCoilCooling, "taIn", "45", "\"taIn\" must be from 15 to 40 degC, not 45"},
      {kFanCoilHeating, "taIn", "-20", "\"taIn\" must be from -15 to 35 degC, not -20"},
      {kFanCoilCooling, "twIn", "1", "\"twIn\" must be from 2 to 25 degC, not 1"},
      {kFanCoilHeating, "twIn", "101", "\"twIn\" must be from 25 to 100 degC, not 101"},
      {With(kFanCoilHeating, "taIn", "30"), "twIn", "28",
       "\"twIn\" (28 degC) must lie above \"taIn\" (30 degC) in heating"},
      {kFanCoilCooling, "twOut", "7",
       "\"twOut\" must lie between 7 and 27 degC (twIn and taIn), not 7"},
      {kFanCoilCooling, "twOut", "30",
       "\"twOut\" must lie between 7 and 27 degC (twIn and taIn), not 30"},
      {kFanCoilHeating, "twOut", "75",
       "\"twOut\" must lie between 20 and 70 degC (taIn and twIn), not 75"},
      {kFanCoilHeating, "twOut", "69.999999",  // twIn itself, in single precision
       "\"twOut\" must lie between 20 and 70 degC (taIn and twIn), not 69.999999"},
      {kFanCoilCooling, "glycolPct", "80", "\"glycolPct\" must be from 0 to 65 %, not 80"},
      {kFanCoilCooling, "airFlow", "0", "\"airFlow\" must be above 0 and at most 10 m3/s, not 0"},
      {kFanCoilCooling, "airFlow", "1e-300",
       "\"airFlow\" must be above 0 and at most 10 m3/s, not 1e-300"},
      {kFanCoilCooling, "airFlow", "-0.1",
       "\"airFlow\" must be above 0 and at most 10 m3/s, not -0.1"},
      {kFanCoilCooling, "rows", "0", "\"rows\" must be a whole number from 1 to 12, not 0"},
      {kFanCoilCooling, "rows", "2.5", "\"rows\" must be a whole number from 1 to 12, not 2.5"},
      {kFanCoilCooling, "circuits", "0",
       "\"circuits\" must be a whole number from 1 to 100, not 0"},
      {kFanCoilCooling, "lengthMm", "0",
       "\"lengthMm\" must be above 0 and at most 10000 mm, not 0"},
      {kFanCoilCooling, "heightMm", "-250",
       "\"heightMm\" must be above 0 and at most 10000 mm, not -250"},
      {kFanCoilCooling, "airCoef", "0", "\"airCoef\" must be above 0 and at most 1e+09, not 0"},
      {kFanCoilCooling, "tubeDiam", "1e-30",
       "\"tubeDiam\" must be from 0.003 to 0.05 m, not 1e-30"},
  };
  for (const Case& c : cases) {
    const Result r = RunRate(With(c.duty, c.key, c.value), true);
    EXPECT_EQ(r.exitCode, 2) << c.key << " " << c.value << ": " << r.out;
    EXPECT_EQ(r.out.rfind("vestra-rate: " + c.message, 0), 0u) << r.out;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << r.out;
  }
  for (const auto& [key, value] : {std::pair{"waterFlow", "0"},
                                   {"waterFlow", "1e-300"},
                                   {"waterFlow", "0.02"},
                                   {"waterFlow", "-0.0001"}}) {
    std::string json = kFanCoilHeating;
    json.replace(json.find("\"twOut\": 60"), 11, std::string("\"") + key + "\": " + value);
    const Result r = RunRate(json, true);
    EXPECT_EQ(r.exitCode, 2) << value;
    EXPECT_EQ(r.out,
              std::string("vestra-rate: \"waterFlow\" must be from 1e-07 to 0.01 m3/s, not ") +
                  value + "\n");
  }
  // The ends of the ranges are inside them.
  for (const std::string& json :
       {With(kFanCoilCooling, "rhIn", "100"), With(kFanCoilHeating, "taIn", "-15"),
        With(With(kFanCoilHeating, "twIn", "100"), "glycolPct", "65"),
        With(kFanCoilCooling, "bypassCoef", "0")})
    EXPECT_EQ(RunRate(json).exitCode, 0) << json;
}

// A search converges on its balance alone; a balance no coil can strike is told as such.
TEST(VestraRate, aResultThatBreaksPhysicsIsNotPhysicalNeverConverged) {
  // An air-side coefficient far above any coil's: the balance puts the leaving air
  // hundreds of degrees above the water.
  std::string json = With(kFanCoilHeating, "airCoef", "1e6");
  json.replace(json.find("\"twOut\": 60"), 11, "\"waterFlow\": 0.01");
  const Result r = RunRate(json, true);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.rfind("{\"status\": \"not physical\", \"fault\": \"the leaving air (", 0), 0u)
      << r.out;
  for (const char* field : {"lies outside the entering air (20 degC) and water (70 degC)",
                            "\"capacityW\": null", "\"taOut\": null", "\"waterFlow\": 0.01,"})
    EXPECT_NE(r.out.find(field), std::string::npos) << field << " in " << r.out;
}

TEST(VestraRate, readsAtMostOneMegabyte) {
  for (const std::string& source : {std::string("/dev/zero"), std::string("- < /dev/zero")}) {
    const Result r = RunCommand(std::string(VESTRA_RATE) + " " + source + " 2>&1");
    EXPECT_EQ(r.exitCode, 2) << source;
    EXPECT_NE(r.out.find("is larger than 1 MB"), std::string::npos) << r.out;
  }
  // Blanks are JSON too: a description padded to just under the limit is still read.
  std::string padded = kFanCoilCooling;
  padded.insert(1, std::string(1024 * 1024 - padded.size(), ' '));
  EXPECT_EQ(RunRate(padded).exitCode, 0);
  EXPECT_EQ(RunRate(padded + " ").exitCode, 2);
}

TEST(VestraRate, echoesAKeyCutAndWithItsControlCharactersShown) {
  const Result r = RunRate(With(kFanCoilCooling, "x\\u001b[2J" + std::string(80, 'k'), "1"), true);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out, "vestra-rate: unknown key \"x\\x1B[2J" + std::string(55, 'k') + "...\"\n");
}

}  // namespace
