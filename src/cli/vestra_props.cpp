// vestra-props: fluid and moist-air properties for engineers, from the engine itself.
//
//   vestra-props water T          plain water at mean temperature T (degC)
//   vestra-props glycol T G       water with G % ethylene glycol
//   vestra-props air TDB RH       moist air from dry bulb (degC) and relative humidity (%)
//   vestra-props airwb TDB TWB    moist air from dry bulb and wet bulb (degC)
//
// Prints one JSON object on stdout. A bad argument is a one-line message on stderr and
// exit code 2; so is a value outside the range the engine's fits cover:
//   water T           0 .. 100 degC (the plain-water fits are of liquid water)
//   glycol T G        T -10 .. 80 degC and G 0 .. 65 % (the glycol fits; G = 0 is water)
//   air, airwb        TDB -10 .. 50 degC, RH 0 .. 100 %, TWB from -10 degC up to TDB

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "engine/coil_state.h"
#include "engine/errors.h"
#include "engine/fluids.h"
#include "engine/moist_air.h"
#include "engine/shown_text.h"

namespace {

using vestra::cli::JsonNumber;
using vestra::cli::JsonObject;

constexpr const char* kTool = "vestra-props";
constexpr const char* kUsage =
    "usage: vestra-props water T | glycol T G | air TDB RH | airwb TDB TWB";

struct UsageError {
  std::string message;
};

// A closed range of an argument and where it comes from, for the message.
struct Range {
  double low;
  double high;
  const char* unit;
  const char* source;  // empty when the range is the quantity's own
};

// The plain-water polynomials describe liquid water at atmospheric pressure.
constexpr Range kWaterT{0, 100, "degC", "the range of the water fits"};
// The glycol fits were made on reference grids of -10 .. 80 degC and hold for 0 .. 65 %.
constexpr Range kGlycolT{-10, 80, "degC", "the range of the glycol fits"};
constexpr Range kGlycolG{0, 65, "%", "the range of the glycol fits"};
// The entering air of the screens lies within -10 .. 33 degC; the saturation equation is
// taken over (supercooled) water below 0 degC, as the engine does, and the wet bulb search
// starts from a fit that holds for air a terminal unit meets.
constexpr Range kAirT{-10, 50, "degC", "the range the moist-air functions are used over"};
constexpr Range kHumidity{0, 100, "%", ""};

float Argument(const std::vector<std::string>& args, std::size_t i, const char* name,
               const Range& range) {
  if (i >= args.size()) throw UsageError{std::string("missing ") + name + "; " + kUsage};
  const std::optional<double> value = vestra::cli::ParseNumber(args[i]);
  if (!value)
    throw UsageError{std::string(name) + " is not a number: " + vestra::QuotedValue(args[i])};
  if (*value < range.low || *value > range.high)
    throw UsageError{std::string(name) + " must lie between " + JsonNumber(range.low) + " and " +
                     JsonNumber(range.high) + " " + range.unit +
                     (*range.source ? std::string(" (") + range.source + ")" : std::string()) +
                     ", not " + JsonNumber(*value)};
  return static_cast<float>(*value);
}

void ExpectCount(const std::vector<std::string>& args, std::size_t count) {
  if (args.size() > count) throw UsageError{"too many arguments; " + std::string(kUsage)};
}

std::string Fluid(float t, float g) {
  const vestra::GlycolTables tables = vestra::InitGlycolTables();
  vestra::CoilRatingState state;
  vestra::UpdateWaterProperties(state, tables, t, g);
  return JsonObject({{"cp", JsonNumber(state.cpWater)},
                     {"density", JsonNumber(state.rhoWater)},
                     {"viscosity", JsonNumber(state.muWater)},
                     {"conductivity", JsonNumber(state.kWater)},
                     {"prandtl", JsonNumber(state.prWater)}});
}

std::string Air(float tdb, float rh) {
  bool found = false;
  const float twb = vestra::WetBulbFromRelHumidity(tdb, rh, &found);
  if (!found)
    throw UsageError{"no wet bulb found for dry bulb " + JsonNumber(tdb) +
                     " degC and relative humidity " + JsonNumber(rh) + " %"};
  return JsonObject({{"wetBulb", JsonNumber(twb)},
                     {"humidityRatio", JsonNumber(vestra::HumidityRatioFromWetBulb(tdb, twb))},
                     {"enthalpy", JsonNumber(vestra::EnthalpyFromWetBulb(twb, tdb))},
                     {"density", JsonNumber(vestra::AirDensity(tdb, rh))},
                     {"cp", JsonNumber(vestra::AirCp(tdb))},
                     {"satVapourPressure", JsonNumber(vestra::SatVapourPressure(tdb))},
                     {"rhBack", JsonNumber(vestra::RelHumidityFromWetBulb(tdb, twb))}});
}

std::string AirFromWetBulb(float tdb, float twb) {
  if (twb > tdb)
    throw UsageError{"the wet bulb (" + JsonNumber(twb) + " degC) must not exceed the dry bulb (" +
                     JsonNumber(tdb) + " degC)"};
  const float rh = vestra::RelHumidityFromWetBulb(tdb, twb);
  // Below the wet bulb of perfectly dry air the humidity ratio would be negative.
  if (rh < 0)
    throw UsageError{"the wet bulb (" + JsonNumber(twb) + " degC) lies below that of dry air at " +
                     JsonNumber(tdb) + " degC: it gives a relative humidity of " + JsonNumber(rh) +
                     " %"};
  return JsonObject({{"relHumidity", JsonNumber(rh)},
                     {"humidityRatio", JsonNumber(vestra::HumidityRatioFromWetBulb(tdb, twb))},
                     {"enthalpy", JsonNumber(vestra::EnthalpyFromWetBulb(twb, tdb))}});
}

std::string Run(const std::vector<std::string>& args) {
  if (args.empty()) throw UsageError{kUsage};
  const std::string& what = args[0];
  if (what == "water") {
    ExpectCount(args, 2);
    return Fluid(Argument(args, 1, "T", kWaterT), 0);
  }
  if (what == "glycol") {
    ExpectCount(args, 3);
    const float g = Argument(args, 2, "G", kGlycolG);
    // No glycol takes the plain-water fits, and their range.
    const float t = Argument(args, 1, "T", g > 0 ? kGlycolT : kWaterT);
    return Fluid(t, g);
  }
  if (what == "air") {
    ExpectCount(args, 3);
    return Air(Argument(args, 1, "TDB", kAirT), Argument(args, 2, "RH", kHumidity));
  }
  if (what == "airwb") {
    ExpectCount(args, 3);
    return AirFromWetBulb(Argument(args, 1, "TDB", kAirT), Argument(args, 2, "TWB", kAirT));
  }
  throw UsageError{"unknown property set " + vestra::QuotedValue(what) + "; " + kUsage};
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    std::cout << Run(args) << '\n';
    return 0;
  } catch (const UsageError& e) {
    vestra::cli::PrintError(kTool, e.message);
  } catch (const vestra::RuntimeError& e) {
    vestra::cli::PrintError(kTool,
                            "run-time error " + std::to_string(e.number()) + ": " + e.what());
  }
  return vestra::cli::kExitUsage;
}
