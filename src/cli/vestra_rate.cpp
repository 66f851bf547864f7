// vestra-rate: rates one coil in cooling or heating from a description, with the same
// preparation and solves the selection screens use, for calibrating the catalogue.
//
//   vestra-rate FILE      reads the description from FILE
//   vestra-rate -         reads it from stdin
//
// The description is one JSON object of at most 1 MB:
//   constantSet   "S1" .. "S9", the coil constant set of the series
//   series        optional; the series whose rating rules apply (the cassettes' water-side
//                 floor of QUIVO, the two-in-one units' sensible factor of DARNE)
//   screen        optional, "standard" (default) or "other": the dry-restart bound of the
//                 cooling flow search
//   reTransMode   optional, 0 or 2 (default 2): tube flow between Re 2300 and 10000
//   duty          "cooling" or "heating"
//   geometry, pitch                 geometry index 0..3, fin pitch index 0..8
//   rows          whole number 1..12; circuits  whole number 1..100
//   lengthMm, heightMm              above 0, at most 10000
//   headerFactor  0..10; airCoef above 0
//   bypassCoef    cooling, 0 or more; the bypass factor it gives for this coil and air
//                 flow must not exceed 1 (all the air bypassing the fins)
//   tubeDiam      optional, m, 0.003..0.05 (default 0.0094)
//   curAirN       optional, above 0; replaces the geometry's velocity exponent
//   lengthFactor  optional (default 1), 0.1..10; multiplies the coil length
//   airFlow       m3/s, above 0 and at most 10
//   taIn          degC: cooling 15..40, heating -15..35 (the screens take 18..33 and
//                 -10..30; the tool allows a margin for calibration)
//   rhIn          %, 0..100 (cooling)
//   twIn          degC: cooling 2..25, heating 25..100 (the screens take 5..20 and 30..95)
//   twOut (degC) or waterFlow (m3/s), exactly one: twOut between twIn and taIn, waterFlow
//                 1e-7..0.01
//   glycolPct     optional, 0..65 (default 0), the range of the glycol fits
//
// Prints one JSON object: status, the capacities, waterFlow, twOut, taOut,
// pressureDropTerm, passes and the intermediates faceVelocity, hAir, hWater, reynolds.
// A solve that does not converge prints null for what it would have written. A converged
// result that breaks the physics of a coil (sensible above total or below zero, leaving
// air outside the entering temperatures) has the status "not physical", its figures null
// and the reason in "fault". Bad input is one line on stderr and exit code 2; an engine
// run-time error exits with 3.

#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <optional>
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
#include "engine/moist_air.h"
#include "engine/shown_text.h"
#include "screens/series_traits.h"

namespace {

using vestra::cli::FlatJsonObject;
using vestra::cli::JsonNumber;
using vestra::cli::JsonObject;
using vestra::cli::JsonString;
using vestra::cli::JsonValue;

constexpr const char* kTool = "vestra-rate";
constexpr const char* kUsage =
    "usage: vestra-rate FILE | vestra-rate -  (one JSON object describing the coil and the duty; "
    "see the head of vestra_rate.cpp or the README for the keys and their ranges)";

// A coil description is a few hundred bytes; anything beyond this is not one.
constexpr std::size_t kMaxInputBytes = 1024 * 1024;

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
      if (!kKnownKeys.count(key)) throw UsageError{"unknown key " + vestra::QuotedValue(key)};
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

  // A number within [low, high] (above low when lowOpen), compared as the engine will
  // hold it: 1e-300 is 0 in single precision.
  double Within(const std::string& key, double low, double high, const char* unit, bool lowOpen,
                bool single) const {
    const double value = Number(key);
    const double held = single && std::fabs(value) <= std::numeric_limits<float>::max()
                            ? static_cast<double>(static_cast<float>(value))
                            : value;
    if (held < low || held > high || (lowOpen && held == low))
      throw UsageError{"\"" + key + "\" must be " + (lowOpen ? "above " : "from ") +
                       JsonNumber(low) + (lowOpen ? " and at most " : " to ") + JsonNumber(high) +
                       (*unit ? std::string(" ") + unit : std::string()) + ", not " +
                       JsonNumber(value)};
    return value;
  }
  // Within the range, as a single.
  float Bounded(const std::string& key, double low, double high, const char* unit,
                bool lowOpen = false) const {
    return ToSingle(key, Within(key, low, high, unit, lowOpen, true));
  }
  float Bounded(const std::string& key, float fallback, double low, double high, const char* unit,
                bool lowOpen = false) const {
    return Has(key) ? Bounded(key, low, high, unit, lowOpen) : fallback;
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
    throw UsageError{"\"" + key + "\" must be one of " + list + ", not " +
                     vestra::QuotedValue(text)};
  }

 private:
  static float ToSingle(const std::string& key, double value) {
    if (std::fabs(value) > std::numeric_limits<float>::max())
      throw UsageError{"\"" + key + "\" is too large: " + JsonNumber(value)};
    return static_cast<float>(value);
  }

  FlatJsonObject object_;
};

// The description, read up to kMaxInputBytes: a larger input (or an endless one, such as
// /dev/zero) is refused without reading it all.
std::string ReadInput(const std::string& source) {
  std::ifstream file;
  std::istream* in = &std::cin;
  if (source != "-") {
    file.open(source, std::ios::binary);
    if (!file) throw UsageError{"cannot read " + vestra::QuotedValue(source)};
    in = &file;
  }
  std::string text(kMaxInputBytes + 1, '\0');
  in->read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in->gcount()));
  if (in->bad()) throw UsageError{"cannot read " + vestra::QuotedValue(source)};
  if (text.size() > kMaxInputBytes)
    throw UsageError{"the description " +
                     (source == "-" ? std::string("on stdin") : vestra::QuotedValue(source)) +
                     " is larger than 1 MB; a coil description is one small JSON object"};
  return text;
}

vestra::CoilSet ParseSet(const std::string& name) {
  static const std::vector<std::string> kSets = {"S1", "S2", "S3", "S4", "S5",
                                                 "S6", "S7", "S8", "S9"};
  for (std::size_t i = 0; i < kSets.size(); ++i)
    if (name == kSets[i]) return static_cast<vestra::CoilSet>(i + 1);
  throw UsageError{"\"constantSet\" must be one of \"S1\" .. \"S9\", not " +
                   vestra::QuotedValue(name)};
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
    throw UsageError{"unknown \"series\" " + vestra::QuotedValue(seriesName)};
  const std::string standard = "standard";
  const std::string screen = in.Choice("screen", {"standard", "other"}, &standard);
  const int reTransMode = in.Has("reTransMode") ? in.Index("reTransMode", 0, 2) : 2;
  if (reTransMode == 1) throw UsageError{"\"reTransMode\" must be 0 or 2, not 1"};
  const bool cooling = in.Choice("duty", {"cooling", "heating"}) == "cooling";

  vestra::CoilModel model;
  model.geometry = static_cast<std::int16_t>(in.Index("geometry", 0, 3));
  model.pitch = static_cast<std::int16_t>(in.Index("pitch", 0, 8));
  model.rows = static_cast<float>(in.Index("rows", 1, 12));
  model.circuits = static_cast<float>(in.Index("circuits", 1, 100));
  model.lengthMm = in.Bounded("lengthMm", 0, 10000, "mm", true);
  model.heightMm = in.Bounded("heightMm", 0, 10000, "mm", true);
  model.lengthFactor = in.Bounded("lengthFactor", 1.0f, 0.1, 10, "");
  model.headerFactor = in.Bounded("headerFactor", 0, 10, "");
  model.bypassCoef =
      cooling ? in.Bounded("bypassCoef", 0, 1e6, "") : in.Bounded("bypassCoef", 0.0f, 0, 1e6, "");
  model.airCoef = in.Bounded("airCoef", 0, 1e9, "", true);
  if (in.Has("curAirN")) model.curAirN = in.Bounded("curAirN", 0, 10, "", true);
  const float tubeDiam = in.Bounded("tubeDiam", 0.0094f, 0.003, 0.05, "m");

  const bool outletGiven = in.Has("twOut");
  if (outletGiven == in.Has("waterFlow"))
    throw UsageError{"give exactly one of \"twOut\" and \"waterFlow\""};

  vestra::CoilRatingState state;
  state.airFlow = in.Bounded("airFlow", 0, 10, "m3/s", true);
  state.taIn = cooling ? in.Bounded("taIn", 15, 40, "degC") : in.Bounded("taIn", -15, 35, "degC");
  state.twIn = cooling ? in.Bounded("twIn", 2, 25, "degC") : in.Bounded("twIn", 25, 100, "degC");
  // The water must be able to cool (or warm) the air.
  if (cooling ? state.twIn >= state.taIn : state.twIn <= state.taIn)
    throw UsageError{std::string("\"twIn\" (") + JsonNumber(state.twIn) + " degC) must lie " +
                     (cooling ? "below" : "above") + " \"taIn\" (" + JsonNumber(state.taIn) +
                     " degC) in " + (cooling ? "cooling" : "heating")};
  state.glycolPct = in.Bounded("glycolPct", 0.0f, 0, 65, "%");
  if (cooling) state.rhIn = in.Bounded("rhIn", 0, 100, "%");
  float twOut = 0.0f;
  if (outletGiven) {
    // The leaving water lies between the entering water and the entering air.
    const double low = cooling ? state.twIn : state.taIn;
    const double high = cooling ? state.taIn : state.twIn;
    const double value = in.Number("twOut");
    // As the engine holds it: a value a hair from an end is that end in single precision.
    const float single = static_cast<float>(value);
    if (!(single > low && single < high))
      throw UsageError{
          "\"twOut\" must lie between " + JsonNumber(low) + " and " + JsonNumber(high) + " degC (" +
          (cooling ? "twIn and taIn" : "taIn and twIn") + "), not " + JsonNumber(value)};
    twOut = single;
  }
  // From 0.1 ml/s: a smaller flow has no water side to rate.
  const double waterFlow =
      outletGiven ? 0.0 : in.Within("waterFlow", 1e-7, 0.01, "m3/s", false, false);

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
  if (cooling) {
    bool found = false;
    vestra::WetBulbFromRelHumidity(state.taIn, state.rhIn, &found);
    if (!found)
      throw UsageError{"no wet bulb is found for \"taIn\" " + JsonNumber(state.taIn) +
                       " degC and \"rhIn\" " + JsonNumber(state.rhIn) + " %"};
  }
  vestra::SetEnteringAir(
      state, cooling ? vestra::CoolingAirFromHumidity(state.taIn, state.rhIn, state.twIn)
                     : vestra::HeatingAir(state.taIn));
  vestra::PrepareCoil(state, constants, model,
                      cooling ? vestra::Duty::kCooling : vestra::Duty::kHeating);
  if (cooling) {
    // A bypass factor is the share of the air that misses the fins: above 1 the coil
    // would warm the air it cools.
    const float bypass =
        vestra::BypassFactor(state, constants, model.rows, model.pitch, state.hAir);
    if (bypass > 1)
      throw UsageError{"\"bypassCoef\" " + JsonNumber(in.Number("bypassCoef")) +
                       " gives a bypass factor of " + JsonNumber(bypass) +
                       " for this coil and air flow; it must give at most 1"};
  }

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
    const std::optional<std::string> fault = result.status == vestra::CoolingStatus::kNotConverged
                                                 ? std::nullopt
                                                 : vestra::CoolingResultFault(state);
    const bool ok = result.status != vestra::CoolingStatus::kNotConverged && !fault;
    const char* status = fault                                                   ? "not physical"
                         : result.status == vestra::CoolingStatus::kConvergedWet ? "converged wet"
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
    if (fault) out.insert(out.begin() + 1, {"fault", JsonString(*fault)});
  } else {
    vestra::HeatingSolveResult result;
    if (outletGiven) {
      state.twOut = twOut;
      result = vestra::SolveHeatingFlow(state, context);
    } else {
      state.waterFlow = waterFlow;
      result = vestra::SolveHeatingOutlet(state, context);
    }
    const std::optional<std::string> fault = result.status == vestra::HeatingStatus::kConverged
                                                 ? vestra::HeatingResultFault(state)
                                                 : std::nullopt;
    const bool ok = result.status == vestra::HeatingStatus::kConverged && !fault;
    out = {{"status", JsonString(fault ? "not physical"
                                 : ok  ? "converged"
                                       : "not converged")},
           {"capacityW", Optional(ok, state.heatCapacity)},
           {"waterFlow", outletGiven ? Optional(ok, state.heatWaterFlow) : JsonNumber(waterFlow)},
           {"twOut", outletGiven ? JsonNumber(twOut) : Optional(ok, state.heatTwOut)},
           {"taOut", Optional(ok, state.heatTaOut)},
           {"pressureDropTerm", Optional(ok, state.heatPressureDrop)},
           {"passes", std::to_string(result.passes)}};
    if (fault) out.insert(out.begin() + 1, {"fault", JsonString(*fault)});
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
