// One cooling plus one heating rating of a fan coil, as a selection screen's Calculate
// rates each model: the entering air state, the preparation and the solve of each duty.
// A full Calculate of the largest series is 91 models at 18 fan signals, so one rating
// pair must stay in the order of microseconds.

#include <benchmark/benchmark.h>

#include "../tests/engine/coil_fixtures.h"
#include "engine/coil_constants.h"
#include "engine/coil_cooling.h"
#include "engine/coil_heating.h"
#include "engine/coil_rating.h"
#include "engine/coil_state.h"
#include "engine/entering_air.h"
#include "engine/fluids.h"

namespace {

using namespace vestra;

// The fan coil of the engine tests (about 500 m3/h) at the standard screen's default
// duty: air 27 degC and 47 %, chilled water 7 -> 12 degC; air 20 degC, hot water 70 -> 60.
const testing::CoilFixture kFanCoil = testing::FanCoil();

struct Session {
  Session() { SelectCoilConstants(constants, state, kFanCoil.set); }
  GlycolTables glycol = InitGlycolTables();
  CoilConstants constants;
  CoilRatingState state;
  RatingRules rules;
};

// What depends only on the typed duty: worked out once per Calculate.
struct CoolingInlet {
  EnteringAir cooling, heating;
  CoolingFlowBound bound;
};

CoolingInlet ReadCoolingInlet(float taIn, float rhIn, float twIn) {
  return {CoolingAirFromHumidity(taIn, rhIn, twIn), HeatingAir(20),
          ComputeCoolingFlowBound(twIn, rhIn)};
}

void RateModel(Session& s, const CoilModel& model, const CoolingInlet& inlet, bool flowsGiven) {
  const RatingContext context{s.constants, s.glycol, s.rules};
  CoilRatingState& st = s.state;

  st.twIn = 7;
  SetEnteringAir(st, inlet.cooling);
  st.airFlow = kFanCoil.airFlow;
  PrepareCoil(st, s.constants, model, Duty::kCooling);
  if (flowsGiven) {
    st.waterFlow = 0.00015;
    benchmark::DoNotOptimize(SolveCoolingOutlet(st, context));
  } else {
    st.twOut = 12;
    benchmark::DoNotOptimize(SolveCoolingFlow(st, context, &inlet.bound));
  }

  st.twIn = 70;
  SetEnteringAir(st, inlet.heating);
  PrepareCoil(st, s.constants, model, Duty::kHeating);
  if (flowsGiven) {
    st.waterFlow = 0.00015;
    benchmark::DoNotOptimize(SolveHeatingOutlet(st, context));
  } else {
    st.twOut = 60;
    benchmark::DoNotOptimize(SolveHeatingFlow(st, context));
  }
  benchmark::DoNotOptimize(st.coolTotal);
  benchmark::DoNotOptimize(st.heatCapacity);
}

// Leaving water temperatures given (the screens' defaults): the two flow searches.
void BM_FanCoilCoolingAndHeating(benchmark::State& state) {
  Session s;
  const CoilModel model = kFanCoil.model;
  const CoolingInlet inlet = ReadCoolingInlet(27, 47, 7);
  for (auto _ : state) RateModel(s, model, inlet, false);
}
BENCHMARK(BM_FanCoilCoolingAndHeating);

// The same with the duty's invariants worked out for every model.
void BM_FanCoilCoolingAndHeatingWithInvariants(benchmark::State& state) {
  Session s;
  const CoilModel model = kFanCoil.model;
  for (auto _ : state) {
    const CoolingInlet inlet = ReadCoolingInlet(27, 47, 7);
    RateModel(s, model, inlet, false);
  }
}
BENCHMARK(BM_FanCoilCoolingAndHeatingWithInvariants);

// Water flows given: the two outlet searches, which update the fluid on every pass.
void BM_FanCoilCoolingAndHeatingFlowsGiven(benchmark::State& state) {
  Session s;
  const CoilModel model = kFanCoil.model;
  const CoolingInlet inlet = ReadCoolingInlet(27, 47, 7);
  for (auto _ : state) RateModel(s, model, inlet, true);
}
BENCHMARK(BM_FanCoilCoolingAndHeatingFlowsGiven);

}  // namespace
