// vestra-props: fluid and moist-air properties for engineers, from the engine itself.
//
//   vestra-props water T          plain water at mean temperature T (degC)
//   vestra-props glycol T G       water with G % ethylene glycol
//   vestra-props air TDB RH       moist air from dry bulb (degC) and relative humidity (%)
//   vestra-props airwb TDB TWB    moist air from dry bulb and wet bulb (degC)
//
// Prints one JSON object on stdout. A bad argument is a one-line message on stderr and
// exit code 2.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "engine/coil_state.h"
#include "engine/errors.h"
#include "engine/fluids.h"
#include "engine/moist_air.h"

namespace {

using vestra::cli::JsonNumber;
using vestra::cli::JsonObject;

constexpr const char* kTool = "vestra-props";
constexpr const char* kUsage =
    "usage: vestra-props water T | glycol T G | air TDB RH | airwb TDB TWB";

struct UsageError {
  std::string message;
};

float Argument(const std::vector<std::string>& args, std::size_t i, const char* name) {
  if (i >= args.size()) throw UsageError{std::string("missing ") + name + "; " + kUsage};
  const std::optional<double> value = vestra::cli::ParseNumber(args[i]);
  if (!value) throw UsageError{std::string(name) + " is not a number: \"" + args[i] + "\""};
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
  if (rh < 0 || rh > 100)
    throw UsageError{"relative humidity must lie between 0 and 100 %, not " + JsonNumber(rh)};
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
  return JsonObject({{"relHumidity", JsonNumber(vestra::RelHumidityFromWetBulb(tdb, twb))},
                     {"humidityRatio", JsonNumber(vestra::HumidityRatioFromWetBulb(tdb, twb))},
                     {"enthalpy", JsonNumber(vestra::EnthalpyFromWetBulb(twb, tdb))}});
}

std::string Run(const std::vector<std::string>& args) {
  if (args.empty()) throw UsageError{kUsage};
  const std::string& what = args[0];
  if (what == "water") {
    ExpectCount(args, 2);
    return Fluid(Argument(args, 1, "T"), 0);
  }
  if (what == "glycol") {
    ExpectCount(args, 3);
    const float t = Argument(args, 1, "T");
    const float g = Argument(args, 2, "G");
    if (g < 0) throw UsageError{"glycol percentage must not be negative"};
    return Fluid(t, g);
  }
  if (what == "air") {
    ExpectCount(args, 3);
    return Air(Argument(args, 1, "TDB"), Argument(args, 2, "RH"));
  }
  if (what == "airwb") {
    ExpectCount(args, 3);
    return AirFromWetBulb(Argument(args, 1, "TDB"), Argument(args, 2, "TWB"));
  }
  throw UsageError{"unknown property set \"" + what + "\"; " + kUsage};
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
