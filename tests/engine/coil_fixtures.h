#pragma once

// Realistic coils of the four kinds of unit and a small rig that rates them the way a
// selection screen does: entering air state, preparation, then one solve.

#include <ostream>
#include <string>

#include "engine/coil_constants.h"
#include "engine/coil_cooling.h"
#include "engine/coil_heating.h"
#include "engine/coil_rating.h"
#include "engine/coil_state.h"
#include "engine/entering_air.h"
#include "engine/fluids.h"
#include "engine/moist_air.h"

namespace vestra::testing {

struct CoilFixture {
  std::string name;
  CoilSet set;
  CoilModel model;
  float airFlow;  // m3/s
  RatingRules rules;
};

inline void PrintTo(const CoilFixture& coil, std::ostream* os) {
  *os << coil.name;
}

// A three-row fan coil of about 500 m3/h.
inline CoilFixture FanCoil() {
  CoilModel m;
  m.geometry = 3;
  m.pitch = 2;
  m.rows = 3;
  m.circuits = 3;
  m.lengthMm = 700;
  m.heightMm = 250;
  m.headerFactor = 1;
  m.bypassCoef = 4;
  m.airCoef = 30;
  return {"fanCoil", CoilSet::S4, m, 0.139f, {}};
}

// A two-row cassette of about 900 m3/h, with the cassettes' water-side floor in cooling.
inline CoilFixture Cassette() {
  CoilModel m;
  m.geometry = 1;
  m.pitch = 1;
  m.rows = 2;
  m.circuits = 4;
  m.lengthMm = 1600;
  m.heightMm = 200;
  m.headerFactor = 0.5f;
  m.bypassCoef = 3;
  m.airCoef = 35;
  RatingRules rules;
  rules.coolingWaterSideFloor = true;
  return {"cassette", CoilSet::S2, m, 0.25f, rules};
}

// A four-row ducted unit of about 1800 m3/h.
inline CoilFixture DuctedUnit() {
  CoilModel m;
  m.geometry = 3;
  m.pitch = 3;
  m.rows = 4;
  m.circuits = 6;
  m.lengthMm = 1000;
  m.heightMm = 400;
  m.headerFactor = 1;
  m.bypassCoef = 4;
  m.airCoef = 30;
  RatingRules rules;
  rules.dryRestart = DryRestartBound::kOtherScreens;
  return {"ductedUnit", CoilSet::S7, m, 0.5f, rules};
}

// A two-row unit heater of about 1250 m3/h.
inline CoilFixture UnitHeater() {
  CoilModel m;
  m.geometry = 1;
  m.pitch = 5;
  m.rows = 2;
  m.circuits = 2;
  m.lengthMm = 500;
  m.heightMm = 500;
  m.headerFactor = 1;
  m.bypassCoef = 2;
  m.airCoef = 40;
  return {"unitHeater", CoilSet::S1, m, 0.35f, {}};
}

// Constants, fluid tables and the rating record of one coil, as a screen holds them.
class CoilRig {
 public:
  explicit CoilRig(const CoilFixture& coil) : coil_(coil) {
    SelectCoilConstants(constants, state, coil.set);
    rules = coil.rules;
  }

  RatingContext Context() const { return {constants, glycol, rules}; }

  // Entering air and water of a cooling duty, as the duty inputs set them, and the
  // preparation.
  void PrepareCooling(float taIn, float rhIn, float twIn, float airFlow = 0) {
    state.twIn = twIn;
    state.airFlow = airFlow > 0 ? airFlow : coil_.airFlow;
    SetEnteringAir(state, CoolingAirFromHumidity(taIn, rhIn, twIn));
    PrepareCoil(state, constants, coil_.model, Duty::kCooling);
  }

  void PrepareHeating(float taIn, float twIn, float airFlow = 0) {
    state.twIn = twIn;
    state.airFlow = airFlow > 0 ? airFlow : coil_.airFlow;
    SetEnteringAir(state, HeatingAir(taIn));
    PrepareCoil(state, constants, coil_.model, Duty::kHeating);
  }

  CoolingSolveResult CoolForOutlet(float taIn, float rhIn, float twIn, float twOut,
                                   float airFlow = 0) {
    PrepareCooling(taIn, rhIn, twIn, airFlow);
    state.twOut = twOut;
    return SolveCoolingFlow(state, Context());
  }

  CoolingSolveResult CoolForFlow(float taIn, float rhIn, float twIn, double waterFlow,
                                 float airFlow = 0) {
    PrepareCooling(taIn, rhIn, twIn, airFlow);
    state.waterFlow = waterFlow;
    return SolveCoolingOutlet(state, Context());
  }

  HeatingSolveResult HeatForOutlet(float taIn, float twIn, float twOut, float airFlow = 0) {
    PrepareHeating(taIn, twIn, airFlow);
    state.twOut = twOut;
    return SolveHeatingFlow(state, Context());
  }

  HeatingSolveResult HeatForFlow(float taIn, float twIn, double waterFlow, float airFlow = 0) {
    PrepareHeating(taIn, twIn, airFlow);
    state.waterFlow = waterFlow;
    return SolveHeatingOutlet(state, Context());
  }

  GlycolTables glycol = InitGlycolTables();
  CoilConstants constants;
  CoilRatingState state;
  RatingRules rules;

 private:
  CoilFixture coil_;
};

}  // namespace vestra::testing
