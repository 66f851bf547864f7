#include "screens/coil_duty.h"

namespace vestra::screens {

CoilModel ModelCoil(const ModelTables& t, int m, bool keepGeometry, const CoilRatingState& r) {
  CoilModel coil;
  coil.geometry = keepGeometry ? r.coilGeom : t.TabGeom(m);
  coil.pitch = keepGeometry ? r.coilPitch : t.TabPasso(m);
  coil.rows = t.TabNR(m);
  coil.circuits = t.TabNC(m);
  coil.lengthMm = t.TabLunBat(m);
  coil.heightMm = t.TabAltBat(m);
  return coil;
}

void ApplyDutyInputs(CoilRatingState& r, std::int16_t heatingDuty, const DutyInputs& in) {
  r.heatingDuty = heatingDuty;
  r.taIn = in.taIn;
  r.twIn = in.twIn;
  r.twOut = 0;
  r.givenTwOut = in.givenTwOut;
  r.givenWaterFlow = in.givenWaterFlow;
  r.glycolPct = in.glycolPct;
  r.rhIn = in.rhIn;
}

CoolingRun SolveCoolingDuty(CoilRatingState& r, const RatingContext& context, const DutyInputs& in,
                            std::optional<CoolingFlowBound>& bound,
                            const std::function<void()>* pendingEvents) {
  CoolingRun run;
  CoolingSolveResult result;
  const bool flowSearch = in.givenTwOut > 0;
  if (flowSearch) {
    r.twOut = in.givenTwOut;
    if (!bound || bound->twIn != r.twIn || bound->rhLimit != CoolingRhLimit(r.rhIn))
      bound = ComputeCoolingFlowBound(r.twIn, r.rhIn);
    result = SolveCoolingFlow(r, context, &*bound);
  } else {
    r.waterFlow = in.givenWaterFlow;
    result = SolveCoolingOutlet(r, context, pendingEvents);
  }
  if (result.status == CoolingStatus::kNotConverged) {
    run.outcome.status = DutyStatus::kNotConverged;
    return run;
  }
  run.outcome.status = DutyStatus::kConverged;
  CoolingFigures& f = run.outcome.figures;
  f.totalW = r.coolTotal;
  f.sensibleW = r.coolSensible;
  f.waterFlowM3s = flowSearch ? r.coolWaterFlow : static_cast<float>(in.givenWaterFlow);
  f.twOutC = flowSearch ? in.givenTwOut : r.coolTwOut;
  f.pressureDropKPa = r.coolPressureDrop;
  f.taOutC = r.coolTaOut;
  run.waterFlowM3s = flowSearch ? double{r.coolWaterFlow} : in.givenWaterFlow;
  return run;
}

HeatingFigures HeatingFiguresOf(const CoilRatingState& r) {
  return HeatingFigures{r.heatCapacity, r.heatWaterFlow, r.heatTwOut, r.heatPressureDrop,
                        r.heatTaOut};
}

DutyOutcome<HeatingFigures> SolveHeatingDuty(CoilRatingState& r, const RatingContext& context,
                                             float givenTwOutC, double waterFlowM3s) {
  DutyOutcome<HeatingFigures> outcome;
  HeatingSolveResult result;
  const bool flowSearch = givenTwOutC > 0;
  if (flowSearch) {
    r.twOut = givenTwOutC;
    result = SolveHeatingFlow(r, context);
  } else {
    r.waterFlow = waterFlowM3s;
    result = SolveHeatingOutlet(r, context);
  }
  if (result.status != HeatingStatus::kConverged) {
    outcome.status = DutyStatus::kNotConverged;
    return outcome;
  }
  outcome.status = DutyStatus::kConverged;
  outcome.figures = HeatingFiguresOf(r);
  if (flowSearch)
    outcome.figures.twOutC = givenTwOutC;
  else
    outcome.figures.waterFlowM3s = static_cast<float>(waterFlowM3s);
  return outcome;
}

}  // namespace vestra::screens
