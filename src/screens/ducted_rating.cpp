#include "screens/ducted_rating.h"

#include <cmath>
#include <string_view>

#include "app/numbers.h"
#include "app/units.h"
#include "engine/air_mixing.h"
#include "engine/auxiliary.h"
#include "engine/ec_fan.h"
#include "engine/errors.h"
#include "engine/fan_duct.h"
#include "engine/numeric.h"
#include "screens/coil_duty.h"
#include "screens/ec_rating.h"

namespace vestra::screens {

namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// A field converted as the mixed-air check reads it: a text that does not convert is 0.
float ZeroIfNotANumber(const TextBox& field, const Session& session) {
  const FieldNumber n = ReadFieldNumber(field, session);
  return n.kind == FieldNumber::kValue ? n.value : 0.0f;
}

double WaterFlowOf(const TextBox& field, const Session& session) {
  std::optional<double> typed;
  try {
    typed = TryLocaleNumber(field.Text, session.Decimal());
  } catch (const RuntimeError&) {
    // Beyond the double range: not a number, as any other text that does not convert.
  }
  return BaseFromTyped(typed.value_or(0), ChosenUnit(session.settings, Quantity::kWaterFlow));
}

FanCurve CurveOf(const ModelTables& t, int k, int m) {
  return {t.TabVA(k, m), t.TabVB(k, m), t.TabVC(k, m)};
}

OutletSection OutletOf(const ModelTables& t, int m) {
  return {t.TabSezione(m), t.TabBocche(m)};
}

}  // namespace

MixedFieldsOfScreen ReadMixedFields(const DuctedForm& form, const Session& session) {
  MixedFieldsOfScreen out;
  out.freshShare = form.Scrollfreddo.Value;
  for (std::size_t d = 0; d < 2; ++d) {
    MixedFields& f = out.duty[d];
    f.recirculatedDryBulb = ZeroIfNotANumber(form.txtTsa1ric[d], session);
    f.freshDryBulb = ZeroIfNotANumber(form.txtTsa1rin[d], session);
    f.twIn = ZeroIfNotANumber(form.txtTw1[d], session);
    f.givenTwOut = ZeroIfNotANumber(form.txtTw2[d], session);
    f.givenWaterFlow = WaterFlowOf(form.txtQw[d], session);
    f.glycolPct = ZeroIfNotANumber(form.txtGlic, session);
    if (d == 0) {
      f.recirculatedHumidity = ZeroIfNotANumber(form.txtUrric, session);
      f.freshHumidity = ZeroIfNotANumber(form.txturrin, session);
    }
  }
  return out;
}

MixedCheck CheckMixedInputs(const MixedFieldsOfScreen& fields, std::int16_t heatingDuty, float q,
                            const Session& session) {
  const int d = heatingDuty == 1 ? 1 : 0;
  const bool cooling = d == 0;
  const MixedFields& f = fields.duty[static_cast<std::size_t>(d)];
  MixedCheck check;
  auto fail = [&](int textOffset, const std::string& suffix, ControlRef focus) {
    check.problem = ScreenMessage{session.Text(textOffset) + suffix, Icon::kError, focus};
    return check;
  };

  // 1. The mix, in proportion to the volume flows of the two streams.
  const int recirculatedShare = std::abs(100 - fields.freshShare);
  const int freshShare = fields.freshShare;
  const AirStream recirculated{f.recirculatedDryBulb, f.recirculatedHumidity,
                               Sng(double{q} * recirculatedShare / 100)};
  const AirStream fresh{f.freshDryBulb, f.freshHumidity, Sng(double{q} * freshShare / 100)};
  DutyInputs& in = check.inputs;
  in.taIn = MixedDryBulbC(recirculated, fresh, q);
  in.twIn = f.twIn;
  in.givenTwOut = f.givenTwOut;
  in.givenWaterFlow = f.givenWaterFlow;
  in.glycolPct = f.glycolPct;

  // A stream that flows needs its humidity, limits or not: the mix cannot be formed
  // without it.
  if (cooling && recirculated.flowM3s > 0 && f.recirculatedHumidity == 0)
    return fail(106, "", Control(Ctl::txtUrric));
  if (cooling && fresh.flowM3s > 0 && f.freshHumidity == 0)
    return fail(106, "", Control(Ctl::txturrin));

  // 4. The checks, in their order.
  if (!session.settings.NoLimits) {
    if (cooling && in.taIn == 0) return fail(105, "", Control(Ctl::txtTsa1ric, d));
    if (recirculatedShare > 0 && f.recirculatedDryBulb == 0)
      return fail(105, "", Control(Ctl::txtTsa1ric, d));
    if (cooling && freshShare > 0 && f.freshDryBulb == 0)
      return fail(105, "", Control(Ctl::txtTsa1rin, d));
    if (cooling && recirculatedShare > 0 && f.recirculatedHumidity == 0)
      return fail(106, "", Control(Ctl::txtUrric));
    if (cooling && freshShare > 0 && f.freshHumidity == 0)
      return fail(106, "", Control(Ctl::txturrin));
    if (in.twIn == 0) return fail(100, "", Control(Ctl::txtTw1, d));
    if (in.givenTwOut == 0 && in.givenWaterFlow == 0) return fail(107, "", Control(Ctl::txtTw2, d));
    if (cooling && in.givenWaterFlow == 0 && Sng(double{in.givenTwOut} - in.twIn) > 10)
      return fail(103, " > 10 °C", Control(Ctl::txtTw2, d));
    if (!cooling && in.givenWaterFlow == 0 && static_cast<double>(in.twIn) - in.givenTwOut > 40)
      return fail(103, " > 40 °C", Control(Ctl::txtTw2, d));
  }
  // What no rating can take, limits or not.
  if (in.givenWaterFlow < 0) {
    const Unit& unit = ChosenUnit(session.settings, Quantity::kWaterFlow);
    check.problem = ScreenMessage{
        RangeText(0, static_cast<float>(kMaxWaterFlowM3s * unit.factor), unit.name, session),
        Icon::kError, Control(Ctl::txtQw, d)};
    return check;
  }
  if (in.twIn > 0 && in.givenTwOut > 0) {
    if (cooling && in.twIn >= in.givenTwOut) return fail(111, "", Control(Ctl::txtTw2, 0));
    if (!cooling && !(in.twIn > in.givenTwOut)) return fail(102, "", Control(Ctl::txtTw2, 1));
  }

  if (cooling) {
    const MixedMoisture moisture = MixedMoistureAt(in.taIn, recirculated, fresh, q);
    in.rhIn = moisture.relHumidityPct;
    check.air = CoolingAirFromWetBulb(in.taIn, moisture.wetBulbC, in.rhIn, in.twIn);
  } else {
    in.rhIn = 0;
    check.air = HeatingAir(in.taIn);
  }
  return check;
}

DuctAccessories TickedAccessories(const DuctedForm& form, const ModelTables& t) {
  DuctAccessories a;
  for (int i = 1; i <= t.AccCount; ++i)
    a.rows.push_back({t.AccCost(i), t.AccEspo(i), IsSpigotAccessory(t.AccOPZBoc(i))});
  for (std::size_t i = 1; i <= kAccessoryBoxes; ++i) {
    a.boxes[i - 1] = form.chkAcc[i].Value;
    if (a.boxes[i - 1]) a.boxCount = i;
  }
  return a;
}

WorkingPoint CalcolaPortata(int speed, int m, float staticPressurePa, float totalAirFlowM3s,
                            const DuctAccessories& acc, const ModelTables& t, bool noLimits) {
  WorkingPoint wp;
  const FanCurve curve = CurveOf(t, speed, m);
  const OutletSection outlet = OutletOf(t, m);
  const bool airFlowMode = staticPressurePa <= 0 && (staticPressurePa != 0 || totalAirFlowM3s != 0);
  if (airFlowMode) {
    wp.airFlowM3s = totalAirFlowM3s;
    const double p = FanStaticPressure(double{totalAirFlowM3s} * 3600, curve);
    wp.availablePressurePa =
        AccessoryPressureRemoved(Sng(p), outlet, wp.airFlowM3s, acc.rows, acc.Ticked());
  } else {
    wp.airFlowM3s = Sng(
        DuctFlowAtPressure(staticPressurePa, curve, true, outlet, acc.rows, acc.Ticked()) / 3600.0);
    wp.availablePressurePa = staticPressurePa;
  }
  wp.lowSpeedFreeFlowM3s =
      Sng(DuctFlowAtPressure(0, CurveOf(t, 1, m), false, outlet, acc.rows, acc.Ticked()) / 3600.0);
  if (!noLimits) {
    if (wp.availablePressurePa > kDuctedPressureCapPa) {
      wp.availablePressurePa = kDuctedPressureCapPa;
      wp.pressureCapped = true;
    }
    // Below a quarter of the lowest tap's free flow the fan runs stalled.
    if (Sng(wp.lowSpeedFreeFlowM3s / 4.0) >= wp.airFlowM3s) wp.availablePressurePa = -1;
  }
  // A fan that gives no air against the duct has no working point to rate, limits or not.
  if (!(wp.airFlowM3s > 0)) wp.availablePressurePa = -1;
  return wp;
}

namespace {

class DuctedRating {
 public:
  DuctedRating(const SeriesTraits& traits, const DuctedInputs& in, Session& session,
               const std::function<void()>& pendingEvents)
      : traits_(traits),
        in_(in),
        s_(session),
        t_(session.models),
        r_(session.rating),
        pendingEvents_(pendingEvents ? &pendingEvents : nullptr) {
    rules_.reTransMode = session.settings.ReTransMode;
    rules_.dryRestart = DryRestartBound::kOtherScreens;
  }

  CalculationResult Run(bool ecFans) {
    ecFans_ = ecFans;
    try {
      if (ecFans) {
        for (int m = in_.firstModel; m <= in_.lastModel; ++m)
          if (!RateEcModel(m)) return std::move(result_);
      } else {
        for (int s = in_.firstSpeed; s <= in_.lastSpeed; ++s)
          for (int m = in_.firstModel; m <= in_.lastModel; ++m)
            if (!RateModel(s, m)) return std::move(result_);
      }
    } catch (const RuntimeError& e) {
      result_.message = GenericErrorMessage(e.number());
      return std::move(result_);
    }
    if (result_.rows.empty())
      result_.message = ScreenMessage{s_.Text(104), Icon::kError, std::nullopt};
    return std::move(result_);
  }

 private:
  bool RateModel(int s, int m);
  bool RateEcModel(int m);
  bool Offered(int m) const;
  // The coil of a model rated at its working point's air flow, and its row.
  bool RateCoils(int m, float airFlow, const MixedCheck& cooling, RatedRow row);
  // The mixed-air check of a duty at the model's air flow; nothing ends the calculation.
  std::optional<MixedCheck> Reach(std::int16_t duty, float airFlow);
  void RateCooling(int m, const CoilConstants& constants, CoilModel coil, const MixedCheck& duty,
                   float airFlow);
  DutyOutcome<HeatingFigures> RateHeating(int m, const CoilConstants& constants, CoilModel coil,
                                          const MixedCheck& duty, float airFlow);
  bool AddRow(RatedRow& row);

  const SeriesTraits& traits_;
  const DuctedInputs& in_;
  Session& s_;
  const ModelTables& t_;
  CoilRatingState& r_;
  const std::function<void()>* pendingEvents_;
  RatingRules rules_;
  CalculationResult result_;
  std::optional<CoolingFlowBound> flowBound_;
  DutyOutcome<CoolingFigures> cooling_;
  int coolingModel_ = 0;
  StepBracket lower_;  // the lower step is kept between two searches of a model
  bool ecFans_ = false;
};

std::optional<MixedCheck> DuctedRating::Reach(std::int16_t duty, float airFlow) {
  MixedCheck check = CheckMixedInputs(in_.fields, duty, airFlow, s_);
  if (check.problem) {
    result_.message = check.problem;
    return std::nullopt;
  }
  ApplyDutyInputs(r_, duty, check.inputs);
  return check;
}

bool DuctedRating::RateModel(int s, int m) {
  const float totalAirFlow = in_.totalAirFlowM3s.Get();

  // The fan's working point against the duct, then the mix at that air flow.
  const WorkingPoint wp = CalcolaPortata(s, m, in_.staticPressurePa, totalAirFlow, in_.accessories,
                                         t_, s_.settings.NoLimits);
  r_.airFlow = wp.airFlowM3s;
  const std::optional<MixedCheck> cooling = Reach(0, wp.airFlowM3s);
  if (!cooling) return false;
  if (wp.availablePressurePa < 0) return true;
  if (!Offered(m)) return true;

  RatedRow row;
  row.step = s;
  if (in_.allSpeeds) row.speedName = in_.speedEntries.at(static_cast<std::size_t>(s));
  row.availablePressurePa = wp.availablePressurePa;
  row.pressureCapped = wp.pressureCapped;
  row.soundPowerDb = t_.TabLWA(s, m);
  return RateCoils(m, wp.airFlowM3s, *cooling, std::move(row));
}

bool DuctedRating::Offered(int m) const {
  // The additional heating coil's model is rated only with its box ticked.
  return !EndsWith(t_.TabModello(m), traits_.pairs.pair) || in_.additionalCoil;
}

bool DuctedRating::RateCoils(int m, float airFlow, const MixedCheck& cooling, RatedRow row) {
  // The additional heating coil: its model follows its base model in the table and is
  // rated in heating only, with the cooling of the base model.
  const std::string name = t_.TabModello(m);
  const bool isHX = EndsWith(name, traits_.pairs.pair);
  CoilModel coil = ModelCoil(t_, m, false, r_);
  CoilConstants constants = s_.constants;
  constants.CoilTubeDiam = 0.0094f;
  if (!isHX) RateCooling(m, constants, coil, cooling, airFlow);

  row.model = m;
  row.modelName = name;
  row.airFlowM3s = airFlow;
  if (isHX == in_.additionalCoil) {
    const std::optional<MixedCheck> heating = Reach(1, airFlow);
    if (!heating) return false;
    row.heating = RateHeating(m, constants, coil, *heating, airFlow);
  }
  // The base model with the additional coil ticked gives its cooling to the "HX" row.
  if (!isHX && in_.additionalCoil) return true;
  // An "HX" model whose base model was not rated just before it has no cooling to show.
  if (isHX && coolingModel_ != m - 1) cooling_ = {};
  row.cooling = cooling_;
  return AddRow(row);
}

void DuctedRating::RateCooling(int m, const CoilConstants& constants, CoilModel coil,
                               const MixedCheck& duty, float airFlow) {
  const DutyInputs& inputs = duty.inputs;
  SetEnteringAir(r_, duty.air);
  r_.airFlow = airFlow;
  r_.coolWaterFlow = r_.coolTaOut = r_.coolPressureDrop = r_.coolTotal = r_.coolSensible = 0;
  cooling_ = {};
  coolingModel_ = m;
  coil.headerFactor = t_.TabFCC50(m);
  coil.bypassCoef = t_.TabC100(1, m);
  coil.airCoef = t_.TabFC30(1, m);
  if (!PrepareCoil(r_, constants, coil, Duty::kCooling)) {
    // The air side is rated here whatever its coefficient and exponent are.
    const std::int16_t pc = CInt(constants.GeoFinPitch[PitchIndex(r_)]);
    r_.hAir = AirSideCoefficient(r_, constants, r_.coilRows, r_.faceVelocity, coil.geometry, pc);
  }
  const RatingContext context{constants, s_.glycol, rules_};
  cooling_ = SolveCoolingDuty(r_, context, inputs, flowBound_, pendingEvents_).outcome;
}

DutyOutcome<HeatingFigures> DuctedRating::RateHeating(int m, const CoilConstants& constants,
                                                      CoilModel coil, const MixedCheck& duty,
                                                      float airFlow) {
  SetEnteringAir(r_, duty.air);
  r_.airFlow = airFlow;
  coil.headerFactor = t_.TabCCC50(m);
  coil.bypassCoef = 0;
  coil.airCoef = t_.TabCC30(1, m);
  PrepareCoil(r_, constants, coil, Duty::kHeating);
  const RatingContext context{constants, s_.glycol, rules_};
  return SolveHeatingDuty(r_, context, duty.inputs.givenTwOut, duty.inputs.givenWaterFlow);
}

bool DuctedRating::AddRow(RatedRow& row) {
  if (in_.distanceProblem) {
    result_.message = in_.distanceProblem;
    return false;
  }
  const float distance = in_.distanceM.Get();
  const std::int16_t directivity = in_.directivity.Get();
  // The fixed-speed units' sound pressure in whole decibels, the EC units' to a tenth.
  const float lp = SoundPressureLevel(row.soundPowerDb, distance, directivity);
  row.soundPressureDb = ecFans_ ? lp : CInt(lp);
  result_.rows.push_back(std::move(row));
  return true;
}

}  // namespace

bool DuctedRating::RateEcModel(int m) {
  const float q = in_.totalAirFlowM3s.Get();
  r_.airFlow = q;
  const std::optional<MixedCheck> cooling = Reach(0, q);
  if (!cooling) return false;

  // 1. The pressure the fan must give: the duct's and the accessories' losses at the flow.
  const float required = AccessoryPressureAdded(in_.staticPressurePa, OutletOf(t_, m), q,
                                                in_.accessories.rows, in_.accessories.Ticked());
  if (required < 0) return true;
  if (!Offered(m)) return true;

  std::array<FanCurve, kEcSteps> steps;
  for (int k = 0; k < kEcSteps; ++k) steps[static_cast<std::size_t>(k)] = CurveOf(t_, k, m);
  const bool noLimits = s_.settings.NoLimits;
  const float ref = Sng(FanFlowAtPressure(0, steps[1]) / 3600.0);
  auto speedAt = [&](const StepBracket& b) {
    const double upper = t_.TabG(b.upper, m);
    const double lower = b.upper > 0 ? t_.TabG(b.lower, m) : 0;
    return CInt(InterpolateAtFlow(upper, lower, b, q));
  };
  auto soundAt = [&](const StepBracket& b) {
    return Sng(InterpolateAtFlow(t_.TabLWA(b.upper, m), t_.TabLWA(b.lower, m), b, q));
  };

  // 2. The steps around the flow blowing free.
  const StepBracket free = FindStepBracket(steps, 0, q, ref, noLimits, lower_);
  lower_ = free;
  if (free.upper < 0) return true;
  const std::int16_t freeSpeed = speedAt(free);
  const float freeSound = soundAt(free);
  // 3 - 5. The steps around it at the required pressure.
  const StepBracket b = FindStepBracket(steps, required, q, ref, noLimits, free);
  lower_ = b;
  const bool chartOpen = s_.chart.ChartOpen;
  if (!chartOpen && !noLimits && Sng(ref / 3.0) >= b.lastFlowM3s) return true;
  if (b.upper < 0) return true;

  // 6 - 9. The working point.
  const std::int16_t speed = speedAt(b);
  const float power = Sng(InterpolateAtFlow(
      StepPowerW(t_.TabPA(b.upper, m), t_.TabPB(b.upper, m), t_.TabPC(b.upper, m), b.upperFlowM3s),
      StepPowerW(t_.TabPA(b.lower, m), t_.TabPB(b.lower, m), t_.TabPC(b.lower, m), b.lowerFlowM3s),
      b, q));
  float sound = soundAt(b);
  if (required > 0)
    sound = Sng(freeSound +
                t_.TabNlog(m) * double{Log10(Sng(Div(speed, static_cast<double>(freeSpeed))))});
  RatedRow row;
  // The sound data go no lower than 3 dB under the slowest step's.
  const float floor = Sng(t_.TabLWA(0, m) - 3.0);
  if (floor > sound) {
    sound = floor;
    row.soundAtFloor = true;
  }
  if (speed < kEcMinimumSpeedRpm) return true;

  // 10, 11. The step the control voltage refers to: the one the chart shows while open.
  if (!chartOpen) s_.chart.ChartStep = static_cast<std::int16_t>(b.upper > 0 ? b.upper : 1);
  const int chartStep = s_.chart.ChartStep;
  const std::int16_t nominal = t_.TabG(chartStep, m);
  row.chartStep = chartStep;
  row.stepSpeedRpm = nominal;
  row.fanSpeedRpm = speed;
  row.controlVoltageV =
      Sng(static_cast<std::int16_t>(speed - 100) /
              static_cast<double>(static_cast<std::int16_t>(nominal - 100)) * 8.5 +
          0.5);
  row.absorbedPowerW = power;
  row.soundPowerDb = sound;
  row.availablePressurePa = required;
  return RateCoils(m, q, *cooling, std::move(row));
}

CalculationResult RateDuctedSeries(const SeriesTraits& traits, const DuctedInputs& in,
                                   Session& session, const std::function<void()>& pendingEvents) {
  return DuctedRating(traits, in, session, pendingEvents).Run(false);
}

CalculationResult RateDuctedEcSeries(const SeriesTraits& traits, const DuctedInputs& in,
                                     Session& session, const std::function<void()>& pendingEvents) {
  return DuctedRating(traits, in, session, pendingEvents).Run(true);
}

}  // namespace vestra::screens
