#include "screens/ec_rating.h"

#include <array>
#include <cmath>
#include <string_view>
#include <vector>

#include "engine/auxiliary.h"
#include "engine/coil_cooling.h"
#include "engine/coil_heating.h"
#include "engine/coil_rating.h"
#include "engine/ec_fan.h"
#include "engine/entering_air.h"
#include "engine/errors.h"
#include "engine/fan_duct.h"
#include "engine/numeric.h"
#include "screens/coil_duty.h"

namespace vestra::screens {

namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// What both EC screens share: the coil of each model rated at the required air flow as
// the standard screen rates it (cooling coefficients TabFCC50, TabC100(1), TabFC30(1),
// heating TabFCC50, TabCC30(1)), the additional-coil pairs, the rows and their end.
class EcCoilRating {
 public:
  EcCoilRating(const SeriesTraits& traits, const EcInputs& in, Session& session,
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

  // The additional-coil filter: the pair models only with chkHX ticked, the others only
  // without it.
  bool Offered(int m) const {
    const std::string name = t_.TabModello(m);
    return in_.additionalCoils ==
           (EndsWith(name, traits_.pairs.pair) || EndsWith(name, traits_.pairs.partner));
  }

  // Rates model m's coil at the air flow and adds its row (none for the pair model, whose
  // cooling goes into its partner's row). False ends the calculation.
  bool RateCoil(int m, float airFlowM3s, RatedRow row) {
    const std::string name = t_.TabModello(m);
    const bool pairModel = EndsWith(name, traits_.pairs.pair);
    const bool partner = EndsWith(name, traits_.pairs.partner);
    CoilModel coil = ModelCoil(t_, m, false, r_);
    CoilConstants constants = s_.constants;
    constants.CoilTubeDiam = 0.0094f;
    const RatingContext context{constants, s_.glycol, rules_};

    // Cooling: the partner shows the cooling of the model before it.
    if (!Reach(0)) return false;
    if (!partner) {
      SetEnteringAir(r_, AirOf(0));
      r_.coolWaterFlow = r_.coolTaOut = r_.coolPressureDrop = r_.coolTotal = r_.coolSensible = 0;
      cooling_ = {};
      coolingModel_ = m;
      r_.airFlow = airFlowM3s;
      coil.headerFactor = t_.TabFCC50(m);
      coil.bypassCoef = t_.TabC100(1, m);
      coil.airCoef = t_.TabFC30(1, m);
      if (PrepareCoil(r_, constants, coil, Duty::kCooling))
        cooling_ =
            SolveCoolingDuty(r_, context, in_.cooling.inputs, flowBound_, pendingEvents_).outcome;
    }
    if (pairModel) return true;
    if (partner && coolingModel_ != m - 1) cooling_ = {};
    row.cooling = cooling_;

    // Heating with the water flow typed.
    if (!Reach(1)) return false;
    SetEnteringAir(r_, AirOf(1));
    r_.airFlow = airFlowM3s;
    coil.headerFactor = t_.TabFCC50(m);
    coil.bypassCoef = 0;
    coil.airCoef = t_.TabCC30(1, m);
    PrepareCoil(r_, constants, coil, Duty::kHeating);
    row.heating = SolveHeatingDuty(r_, context, r_.givenTwOut, r_.givenWaterFlow);

    row.model = m;
    row.modelName = name;
    row.airFlowM3s = airFlowM3s;
    if (in_.distanceProblem) {
      result.message = in_.distanceProblem;
      return false;
    }
    const float distance = in_.distanceM.Get();
    const std::int16_t directivity = in_.directivity.Get();
    if (row.soundShown)
      row.soundPressureDb = SoundPressureLevel(row.soundPowerDb, distance, directivity);
    result.rows.push_back(std::move(row));
    return true;
  }

  // No row at all: text 104.
  void Finish() {
    if (result.rows.empty() && !result.message)
      result.message = ScreenMessage{s_.Text(104), Icon::kError, std::nullopt};
  }

  CalculationResult result;

 private:
  bool Reach(std::int16_t duty) {
    const DutyCheck& check = duty == 0 ? in_.cooling : in_.heating;
    if (check.errorNumber) Raise(*check.errorNumber);
    if (check.problem) {
      result.message = check.problem;
      return false;
    }
    ApplyDutyInputs(r_, duty, check.inputs);
    return true;
  }

  const EnteringAir& AirOf(std::int16_t duty) {
    std::optional<EnteringAir>& air = duty == 0 ? coolingAir_ : heatingAir_;
    if (!air) {
      const DutyInputs& d = (duty == 0 ? in_.cooling : in_.heating).inputs;
      air = duty == 0 ? CoolingAirFromHumidity(d.taIn, d.rhIn, d.twIn) : HeatingAir(d.taIn);
    }
    return *air;
  }

  const SeriesTraits& traits_;
  const EcInputs& in_;
  Session& s_;
  const ModelTables& t_;
  CoilRatingState& r_;
  const std::function<void()>* pendingEvents_;
  RatingRules rules_;
  std::optional<EnteringAir> coolingAir_, heatingAir_;
  std::optional<CoolingFlowBound> flowBound_;
  DutyOutcome<CoolingFigures> cooling_;
  int coolingModel_ = 0;
};

// The EC fan coils' fan at the required flow: the step bracket at 0 Pa and at the static
// pressure, the interpolated speed, absorbed power and sound power.
class EcFanCoilFan {
 public:
  EcFanCoilFan(const ModelTables& t, Session& session) : t_(t), s_(session) {}

  // The working point of model m; nothing when the model cannot deliver the flow.
  std::optional<RatedRow> At(int m, float qReq, float extPressurePa) {
    std::array<FanCurve, kEcSteps> steps;
    for (int k = 0; k < kEcSteps; ++k)
      steps[static_cast<std::size_t>(k)] = {t_.TabVA(k, m), t_.TabVB(k, m), t_.TabVC(k, m)};
    const bool noLimits = s_.settings.NoLimits;
    const float qmin = Sng(FanFlowAtPressure(0, steps[1]) / 3600.0);

    // c. The steps around the flow with the fan blowing free.
    const StepBracket free = FindStepBracket(steps, 0, qReq, qmin, noLimits, previous_);
    previous_ = free;
    std::int16_t speed0 = 0;
    float sound0 = 0;
    if (free.upper >= 0) {
      speed0 = Speed(free, m, qReq);
      sound0 = Sound(free, m, qReq, speed0);
    }
    // d. The steps around it against the static pressure.
    const StepBracket b = FindStepBracket(steps, extPressurePa, qReq, qmin, noLimits, free);
    previous_ = b;
    const bool chartOpen = s_.chart.ChartOpen;
    if (!chartOpen && !noLimits && Sng(qmin / 3.0) >= b.lastFlowM3s) return std::nullopt;
    if (b.upper < 0) return std::nullopt;

    // e. The working point between the two steps.
    const std::int16_t speed = Speed(b, m, qReq);
    const float pin = Sng(InterpolateAtFlow(Power(b.upper, b.upperFlowM3s, m),
                                            Power(b.lower, b.lowerFlowM3s, m), b, qReq));
    float sound = Sound(b, m, qReq, speed);
    // f. Against a pressure the fan runs faster than free: its sound follows the speed.
    if (extPressurePa > 0)
      sound =
          Sng(sound0 + t_.TabNlog(m) * double{Log10(Sng(Div(speed, static_cast<double>(speed0))))});
    // g, h.
    if (sound < kEcFanCoilSoundFloor) sound = kEcFanCoilSoundFloor;
    if (speed < kEcMinimumSpeedRpm) return std::nullopt;

    // i. The step the control voltage refers to: the one the chart shows while it is open.
    const std::int16_t step = static_cast<std::int16_t>(b.upper > 0 ? b.upper : 1);
    if (!chartOpen) s_.chart.ChartStep = step;
    const int chartStep = s_.chart.ChartStep;
    const std::int16_t nominal = t_.TabG(chartStep, m);
    RatedRow row;
    row.chartStep = chartStep;
    row.stepSpeedRpm = nominal;
    row.fanSpeedRpm = speed;
    row.controlVoltageV = Sng(Div(speed - 100.0, nominal - 100.0) * 8.5 + 0.5);
    row.absorbedPowerW = pin;
    row.soundPowerDb = sound;
    return row;
  }

 private:
  std::int16_t Speed(const StepBracket& b, int m, float q) const {
    const double upper = t_.TabG(b.upper, m);
    const double lower = b.upper > 0 ? t_.TabG(b.lower, m) : 0;
    return CInt(InterpolateAtFlow(upper, lower, b, q));
  }
  double Power(int k, float flow, int m) const {
    return StepPowerW(t_.TabPA(k, m), t_.TabPB(k, m), t_.TabPC(k, m), flow);
  }
  float Sound(const StepBracket& b, int m, float q, std::int16_t speed) const {
    // Below the lowest step the sound power falls with the speed, 55 log10 of its ratio.
    if (b.upper == 0)
      return Sng(55 * double{Log10(Sng(Div(speed, static_cast<double>(t_.TabG(0, m)))))} +
                 t_.TabLWA(0, m));
    return Sng(InterpolateAtFlow(t_.TabLWA(b.upper, m), t_.TabLWA(b.lower, m), b, q));
  }

  const ModelTables& t_;
  Session& s_;
  StepBracket previous_;
};

}  // namespace

CalculationResult RateEcFanCoils(const SeriesTraits& traits, const EcInputs& in, Session& session,
                                 const std::function<void()>& pendingEvents) {
  EcCoilRating coil(traits, in, session, pendingEvents);
  const ModelTables& t = session.models;
  EcFanCoilFan fan(t, session);
  try {
    for (int m = in.firstModel; m <= in.lastModel; ++m) {
      // a. A model that cannot run as slowly as that.
      if (Sng(t.TabMinQa(m) / 3600.0) > in.requiredM3s) continue;
      if (!coil.Offered(m)) continue;
      std::optional<RatedRow> point = fan.At(m, in.requiredM3s, in.extPressurePa);
      if (!point) continue;
      if (!coil.RateCoil(m, in.requiredM3s, std::move(*point))) return std::move(coil.result);
    }
  } catch (const RuntimeError& e) {
    coil.result.message = GenericErrorMessage(e.number());
    return std::move(coil.result);
  }
  coil.Finish();
  return std::move(coil.result);
}

namespace {

// The high-efficiency EC fan: pressure, power and sound as polynomials in the control
// signal V (volts) and the air flow Q (m3/h), each coefficient a quadratic in V.
class UmbraFan {
 public:
  UmbraFan(const ModelTables& t, int m) : t_(t), m_(m) {}

  double Pressure(float q, float v) const { return Poly(t_.TabAK, t_.TabBX, t_.TabCY, q, v); }
  double Power(float q, float v) const { return Poly(t_.TabAA, t_.TabBB, t_.TabCC, q, v); }
  double Sound(float q) const {
    return t_.TabAL(1, m_) * (double{q} * q) + t_.TabAL(2, m_) * double{q} + t_.TabAL(3, m_);
  }

 private:
  double Quadratic(const TableArray<float>& x, float v) const {
    return x(1, m_) * (double{v} * v) + x(2, m_) * double{v} + x(3, m_);
  }
  double Poly(const TableArray<float>& a, const TableArray<float>& b, const TableArray<float>& c,
              float q, float v) const {
    return Dbl(Quadratic(a, v) * (double{q} * q) + Quadratic(b, v) * q + Quadratic(c, v));
  }

  const ModelTables& t_;
  int m_;
};

// The full signal, and the signal step and tolerances of the maker's selection.
constexpr float kFullSignalV = 10;
constexpr float kLowestSignalV = 0.5f;
constexpr float kSignalStepV = -0.01f;
constexpr double kPressureTolerancePa = 0.1;
constexpr double kFreeDeliveryPa = 1;

}  // namespace

UmbraRating RateUmbra(const SeriesTraits& traits, const EcInputs& in, Session& session,
                      const std::function<void()>& pendingEvents) {
  EcCoilRating coil(traits, in, session, pendingEvents);
  const ModelTables& t = session.models;
  const float qReq = in.requiredM3h;  // the fan polynomials are in m3/h
  std::vector<std::string> noSignal, noFreeFlow;
  UmbraRating out;
  try {
    for (int m = in.firstModel; m <= in.lastModel; ++m) {
      // a. The flow window of the model.
      if (!(t.TabMinQa(m) <= qReq && qReq <= t.TabMaxQa(m))) continue;
      const UmbraFan fan(t, m);
      // b. Even the full signal cannot give the pressure at that flow.
      if (fan.Pressure(qReq, kFullSignalV) < in.extPressurePa) continue;
      if (!coil.Offered(m)) continue;

      // d. The highest signal at which the fan gives the pressure at the flow.
      RatedRow row;
      float v = kFullSignalV;
      bool signalFound = false;
      for (; v >= kLowestSignalV; v += kSignalStepV) {
        if (std::fabs(in.extPressurePa - fan.Pressure(qReq, v)) < kPressureTolerancePa) {
          signalFound = true;
          break;
        }
      }
      row.controlVoltageV = v;
      if (signalFound)
        row.absorbedPowerW = Sng(fan.Power(qReq, v));
      else
        noSignal.push_back(t.TabModello(m));

      // e. The sound power at the free-delivery flow of that signal.
      bool freeFound = false;
      for (float q = qReq; q <= t.TabMaxQa(m); q += 1) {
        if (fan.Pressure(q, v) < kFreeDeliveryPa) {
          row.soundPowerDb = Sng(fan.Sound(q) + t.TabKDB(m));
          freeFound = true;
          break;
        }
      }
      if (!freeFound) {
        row.soundShown = false;
        noFreeFlow.push_back(t.TabModello(m));
      }
      if (!coil.RateCoil(m, Sng(qReq / 3600.0), std::move(row))) {
        out.result = std::move(coil.result);
        return out;
      }
    }
  } catch (const RuntimeError& e) {
    coil.result.message = GenericErrorMessage(e.number());
    out.result = std::move(coil.result);
    return out;
  }
  coil.Finish();
  out.result = std::move(coil.result);
  // Why some cells are empty, in one line under the table.
  auto list = [](const std::vector<std::string>& models) {
    std::string text;
    for (const std::string& model : models) text += (text.empty() ? "" : ", ") + model;
    return text;
  };
  const bool italian = session.settings.LangBase == 100;
  if (!noSignal.empty())
    out.note += (italian ? "Pin: nessun segnale da 10 V a 0,5 V dà la pressione statica a "
                           "questa portata (tra 0,1 Pa): "
                         : "Pin: no control signal from 10 V down to 0.5 V gives the static "
                           "pressure at this air flow (within 0.1 Pa): ") +
                list(noSignal) + ". ";
  if (!noFreeFlow.empty())
    out.note += (italian ? "LW, LP: la portata a bocca libera supera la massima del modello: "
                         : "LW, LP: the free-delivery air flow lies beyond the model's "
                           "largest: ") +
                list(noFreeFlow) + ".";
  return out;
}

}  // namespace vestra::screens
