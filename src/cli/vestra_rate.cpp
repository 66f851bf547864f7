// vestra-rate: rates one coil in cooling or heating from a description, with the same
// preparation and solves the selection screens use, for calibrating the catalogue.
//
//   vestra-rate FILE      reads the description from FILE
//   vestra-rate -         reads it from stdin
//
// The description is one JSON object:
//   constantSet   "S1" .. "S9", the coil constant set of the series
//   series        optional; the series whose rating rules apply (the cassettes' water-side
//                 floor of QUIVO, the two-in-one units' sensible factor of DARNE)
//   screen        optional, "standard" (default) or "other": the dry-restart bound of the
//                 cooling flow search
//   reTransMode   optional, 0 or 2 (default 2): tube flow between Re 2300 and 10000
//   duty          "cooling" or "heating"
//   geometry, pitch                 geometry index 0..3, fin pitch index 0..8
//   rows, circuits, lengthMm, heightMm, headerFactor, airCoef
//   bypassCoef    cooling
//   tubeDiam      optional, m (default 0.0094)
//   curAirN       optional; replaces the geometry's velocity exponent
//   lengthFactor  optional (default 1); multiplies the coil length
//   airFlow       m3/s
//   taIn, twIn    degC; rhIn % (cooling)
//   twOut (degC) or waterFlow (m3/s), exactly one
//   glycolPct     optional (default 0)
//
// Prints one JSON object: status, the capacities, waterFlow, twOut, taOut,
// pressureDropTerm, passes and the intermediates faceVelocity, hAir, hWater, reynolds.
// A solve that does not converge prints null for what it would have written. Bad input is
// one line on stderr and exit code 2; an engine run-time error exits with 3.

#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "engine/coil_constants.h"
#include "engine/coil_cooling.h"
#include "engine/coil_heating.h"
#include "engine/coil_rating.h"
#include "engine/coil_state.h"
#include "engine/entering_air.h"
#include "engine/errors.h"
#include "engine/fluids.h"
#include "screens/series_traits.h"

namespace {

using vestra::cli::FlatJsonObject;
using vestra::cli::JsonNumber;
using vestra::cli::JsonObject;
using vestra::cli::JsonString;
using vestra::cli::JsonValue;

constexpr const char* kTool = "vestra-rate";
constexpr const char* kUsage = "usage: vestra-rate FILE | vestra-rate -  (one JSON object)";

struct UsageError {
  std::string message;
};

const std::set<std::string> kKnownKeys = {
    "constantSet",  "series",     "screen",   "reTransMode", "duty",         "geometry",
    "pitch",        "rows",       "circuits", "lengthMm",    "heightMm",     "tubeDiam",
    "headerFactor", "bypassCoef", "airCoef",  "curAirN",     "lengthFactor", "airFlow",
    "taIn",         "rhIn",       "twIn",     "twOut",       "waterFlow",    "glycolPct"};

// Typed access to the description, with the messages of bad input.
class Description {
 public:
  explicit Description(FlatJsonObject object) : object_(std::move(object)) {
    for (const auto& [key, value] : object_.fields)
      if (!kKnownKeys.count(key)) throw UsageError{"unknown key \"" + key + "\""};
  }

  bool Has(const std::string& key) const { return object_.Find(key) != nullptr; }

  double Number(const std::string& key) const {
    const JsonValue* value = object_.Find(key);
    if (!value) throw UsageError{"missing key \"" + key + "\""};
    if (value->kind != JsonValue::Kind::kNumber)
      throw UsageError{"\"" + key + "\" must be a number"};
    return value->number;
  }

  double Number(const std::string& key, double fallback) const {
    return Has(key) ? Number(key) : fallback;
  }

  // A quantity the engine holds as a single.
  float Single(const std::string& key) const { return ToSingle(key, Number(key)); }
  float Single(const std::string& key, float fallback) const {
    return Has(key) ? Single(key) : fallback;
  }

  int Index(const std::string& key, int low, int high) const {
    const double value = Number(key);
    if (value != std::floor(value) || value < low || value > high)
      throw UsageError{"\"" + key + "\" must be a whole number from " + std::to_string(low) +
                       " to " + std::to_string(high) + ", not " + JsonNumber(value)};
    return static_cast<int>(value);
  }

  std::string Text(const std::string& key) const {
    const JsonValue* value = object_.Find(key);
    if (!value) throw UsageError{"missing key \"" + key + "\""};
    if (value->kind != JsonValue::Kind::kString) throw UsageError{"\"" + key + "\" must be a text"};
    return value->text;
  }

  std::string Text(const std::string& key, const std::string& fallback) const {
    return Has(key) ? Text(key) : fallback;
  }

  // One of the listed texts.
  std::string Choice(const std::string& key, const std::vector<std::string>& choices,
                     const std::string* fallback = nullptr) const {
    if (!Has(key) && fallback) return *fallback;
    const std::string text = Text(key);
    std::string list;
    for (const std::string& c : choices) {
      if (text == c) return text;
      list += (list.empty() ? "" : ", ") + JsonString(c);
    }
    throw UsageError{"\"" + key + "\" must be one of " + list + ", not " + JsonString(text)};
  }

 private:
  static float ToSingle(const std::string& key, double value) {
    if (std::fabs(value) > std::numeric_limits<float>::max())
      throw UsageError{"\"" + key + "\" is too large: " + JsonNumber(value)};
    return static_cast<float>(value);
  }

  FlatJsonObject object_;
};

std::string ReadInput(const std::string& source) {
  if (source == "-") {
    return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  std::ifstream file(source, std::ios::binary);
  if (!file) throw UsageError{"cannot read \"" + source + "\""};
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

vestra::CoilSet ParseSet(const std::string& name) {
  static const std::vector<std::string> kSets = {"S1", "S2", "S3", "S4", "S5",
                                                 "S6", "S7", "S8", "S9"};
  for (std::size_t i = 0; i < kSets.size(); ++i)
    if (name == kSets[i]) return static_cast<vestra::CoilSet>(i + 1);
  throw UsageError{"\"constantSet\" must be one of \"S1\" .. \"S9\", not " + JsonString(name)};
}

std::string Optional(bool present, double value) {
  return present ? JsonNumber(value) : "null";
}

std::string Rate(const Description& in) {
  const vestra::CoilSet set = ParseSet(in.Text("constantSet"));
  const std::string seriesName = in.Text("series", "");
  const vestra::screens::SeriesTraits* series =
      seriesName.empty() ? nullptr : vestra::screens::FindSeries(seriesName);
  if (!seriesName.empty() && !series)
    throw UsageError{"unknown \"series\" " + JsonString(seriesName)};
  const std::string standard = "standard";
  const std::string screen = in.Choice("screen", {"standard", "other"}, &standard);
  const int reTransMode = in.Has("reTransMode") ? in.Index("reTransMode", 0, 2) : 2;
  if (reTransMode == 1) throw UsageError{"\"reTransMode\" must be 0 or 2, not 1"};
  const bool cooling = in.Choice("duty", {"cooling", "heating"}) == "cooling";

  vestra::CoilModel model;
  model.geometry = static_cast<std::int16_t>(in.Index("geometry", 0, 3));
  model.pitch = static_cast<std::int16_t>(in.Index("pitch", 0, 8));
  model.rows = in.Single("rows");
  model.circuits = in.Single("circuits");
  model.lengthMm = in.Single("lengthMm");
  model.heightMm = in.Single("heightMm");
  model.lengthFactor = in.Single("lengthFactor", 1.0f);
  model.headerFactor = in.Single("headerFactor");
  model.bypassCoef = cooling ? in.Single("bypassCoef") : in.Single("bypassCoef", 0.0f);
  model.airCoef = in.Single("airCoef");
  if (in.Has("curAirN")) model.curAirN = in.Single("curAirN");
  const float tubeDiam = in.Single("tubeDiam", 0.0094f);

  const bool outletGiven = in.Has("twOut");
  if (outletGiven == in.Has("waterFlow"))
    throw UsageError{"give exactly one of \"twOut\" and \"waterFlow\""};

  vestra::CoilRatingState state;
  state.airFlow = in.Single("airFlow");
  state.taIn = in.Single("taIn");
  state.twIn = in.Single("twIn");
  state.glycolPct = in.Single("glycolPct", 0.0f);
  if (cooling) state.rhIn = in.Single("rhIn");
  const float twOut = outletGiven ? in.Single("twOut") : 0.0f;
  const double waterFlow = outletGiven ? 0.0 : in.Number("waterFlow");

  // Everything below is the engine's: a fault from here on is a run-time error.
  const vestra::GlycolTables glycol = vestra::InitGlycolTables();
  vestra::CoilConstants constants;
  vestra::SelectCoilConstants(constants, state, set);
  constants.CoilTubeDiam = tubeDiam;
  vestra::RatingRules rules;
  rules.reTransMode = reTransMode;
  rules.coolingWaterSideFloor = series && series->coolingWaterSideFloor;
  rules.wetSensibleFactor = series && series->wetSensibleFactor;
  rules.dryRestart = screen == "standard" ? vestra::DryRestartBound::kStandardScreen
                                          : vestra::DryRestartBound::kOtherScreens;
  const vestra::RatingContext context{constants, glycol, rules};

  // The entering air as the duty inputs of a screen set it.
  vestra::SetEnteringAir(
      state, cooling ? vestra::CoolingAirFromHumidity(state.taIn, state.rhIn, state.twIn)
                     : vestra::HeatingAir(state.taIn));
  vestra::PrepareCoil(state, constants, model,
                      cooling ? vestra::Duty::kCooling : vestra::Duty::kHeating);

  std::vector<std::pair<std::string, std::string>> out;
  if (cooling) {
    vestra::CoolingSolveResult result;
    if (outletGiven) {
      state.twOut = twOut;
      result = vestra::SolveCoolingFlow(state, context);
    } else {
      state.waterFlow = waterFlow;
      result = vestra::SolveCoolingOutlet(state, context);
    }
    const bool ok = result.status != vestra::CoolingStatus::kNotConverged;
    const char* status = result.status == vestra::CoolingStatus::kConvergedWet   ? "converged wet"
                         : result.status == vestra::CoolingStatus::kConvergedDry ? "converged dry"
                                                                                 : "not converged";
    out = {{"status", JsonString(status)},
           {"totalW", Optional(ok, state.coolTotal)},
           {"sensibleW", Optional(ok, state.coolSensible)},
           {"waterFlow", outletGiven ? Optional(ok, state.coolWaterFlow) : JsonNumber(waterFlow)},
           {"twOut", outletGiven ? JsonNumber(twOut) : Optional(ok, state.coolTwOut)},
           {"taOut", Optional(ok, state.coolTaOut)},
           {"pressureDropTerm", Optional(ok, state.coolPressureDrop)},
           {"passes", std::to_string(result.passes)}};
  } else {
    vestra::HeatingSolveResult result;
    if (outletGiven) {
      state.twOut = twOut;
      result = vestra::SolveHeatingFlow(state, context);
    } else {
      state.waterFlow = waterFlow;
      result = vestra::SolveHeatingOutlet(state, context);
    }
    const bool ok = result.status == vestra::HeatingStatus::kConverged;
    out = {{"status", JsonString(ok ? "converged" : "not converged")},
           {"capacityW", Optional(ok, state.heatCapacity)},
           {"waterFlow", outletGiven ? Optional(ok, state.heatWaterFlow) : JsonNumber(waterFlow)},
           {"twOut", outletGiven ? JsonNumber(twOut) : Optional(ok, state.heatTwOut)},
           {"taOut", Optional(ok, state.heatTaOut)},
           {"pressureDropTerm", Optional(ok, state.heatPressureDrop)},
           {"passes", std::to_string(result.passes)}};
  }
  out.insert(out.end(), {{"faceVelocity", JsonNumber(state.faceVelocity)},
                         {"hAir", JsonNumber(state.hAir)},
                         {"hWater", JsonNumber(state.hWater)},
                         {"reynolds", JsonNumber(state.reynolds)}});
  return JsonObject(out);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc != 2) throw UsageError{kUsage};
    std::string error;
    std::optional<FlatJsonObject> object =
        vestra::cli::ParseFlatJsonObject(ReadInput(argv[1]), error);
    if (!object) throw UsageError{"bad JSON: " + error};
    const Description description(std::move(*object));
    std::cout << Rate(description) << '\n';
    return 0;
  } catch (const UsageError& e) {
    vestra::cli::PrintError(kTool, e.message);
    return vestra::cli::kExitUsage;
  } catch (const vestra::RuntimeError& e) {
    vestra::cli::PrintError(kTool,
                            "run-time error " + std::to_string(e.number()) + ": " + e.what());
    return vestra::cli::kExitRuntimeError;
  }
}
