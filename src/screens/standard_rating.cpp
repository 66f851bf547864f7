#include "screens/standard_rating.h"

#include <optional>
#include <string_view>

#include "app/numbers.h"
#include "engine/auxiliary.h"
#include "engine/coil_cooling.h"
#include "engine/coil_heating.h"
#include "engine/coil_rating.h"
#include "engine/entering_air.h"
#include "engine/errors.h"
#include "engine/fan_duct.h"
#include "engine/fan_signal.h"
#include "engine/numeric.h"
#include "engine/unit_heater.h"
#include "screens/coil_duty.h"

namespace vestra::screens {

namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The tube bore, tube pitch, bend length and friction of the unit heaters rated from
// their nominal output: their coil is not in the constant sets.
constexpr float kNominalHeaterTubeDiam = 0.0094f;
constexpr float kNominalHeaterConstB = 0.3f;
constexpr float kNominalHeaterConstA = 0.025f;

// The air flows of a model at one step, and what the EC fan signal gives besides.
struct StepAir {
  float cooling = 0;  // m3/s
  float heating = 0;  // m3/s
  std::optional<EcSoundPower> ecSound;
  std::optional<std::int16_t> ecPowerW;
};

class StandardRating {
 public:
  StandardRating(const SeriesTraits& traits, const StandardInputs& in, Session& session,
                 const std::function<void()>& pendingEvents)
      : traits_(traits),
        in_(in),
        s_(session),
        t_(session.models),
        r_(session.rating),
        pendingEvents_(pendingEvents ? &pendingEvents : nullptr) {
    rules_.reTransMode = session.settings.ReTransMode;
    rules_.coolingWaterSideFloor = traits.coolingWaterSideFloor;
    rules_.wetSensibleFactor = traits.wetSensibleFactor;
    rules_.dryRestart = DryRestartBound::kStandardScreen;
  }

  CalculationResult Run() {
    try {
      r_.extPressure = in_.extPressurePa;
      for (int s = in_.firstSpeed; s <= in_.lastSpeed; ++s)
        for (int m = in_.firstModel; m <= in_.lastModel; ++m)
          if (!RateModel(s, m)) return std::move(result_);
    } catch (const RuntimeError& e) {
      result_.message = GenericErrorMessage(e.number());
      return std::move(result_);
    }
    if (result_.rows.empty())
      result_.message = ScreenMessage{s_.Text(104), Icon::kError, std::nullopt};
    return std::move(result_);
  }

 private:
  // The duty's inputs as the calculation reaches them: a failed check ends it.
  bool Reach(std::int16_t duty) {
    const DutyCheck& check = duty == 0 ? in_.cooling : in_.heating;
    if (check.errorNumber) Raise(*check.errorNumber);
    if (check.problem) {
      result_.message = check.problem;
      return false;
    }
    ApplyDutyInputs(r_, duty, check.inputs);
    return true;
  }

  // The entering air of a duty, the same for every model of the calculation.
  const EnteringAir& AirOf(std::int16_t duty) {
    std::optional<EnteringAir>& air = duty == 0 ? coolingAir_ : heatingAir_;
    if (!air) {
      const DutyInputs& d = (duty == 0 ? in_.cooling : in_.heating).inputs;
      air = duty == 0 ? CoolingAirFromHumidity(d.taIn, d.rhIn, d.twIn) : HeatingAir(d.taIn);
    }
    return *air;
  }

  bool RateModel(int s, int m);
  bool RateNaturalConvection(int s, int m, RatedRow& row);
  std::optional<StepAir> AirFlowAtStep(int s, int m, CoilConstants& constants, CoilModel& coil);
  float CatalogueFlow(int k, int m) const;
  void TubesOf(int m, CoilConstants& constants) const;
  bool RateCooling(int s, int m, const CoilConstants& constants, CoilModel coil, float airFlow,
                   bool partner);
  bool RateHeating(int s, int m, CoilConstants constants, CoilModel coil, float airFlow,
                   RatedRow& row);
  // False: the row cannot be written (the message says why).
  bool AddRow(RatedRow& row);

  const SeriesTraits& traits_;
  const StandardInputs& in_;
  Session& s_;
  const ModelTables& t_;
  CoilRatingState& r_;
  // Repaints during a long outlet search (none in a run without a window).
  const std::function<void()>* pendingEvents_;
  RatingRules rules_;
  CalculationResult result_;

  std::optional<EnteringAir> coolingAir_, heatingAir_;
  std::optional<CoolingFlowBound> flowBound_;
  // The cooling the record holds: its outcome, the model rated, and the water flow it ran
  // with (for "=QW(C)"). An "HX*" partner shows the cooling of the model before it.
  DutyOutcome<CoolingFigures> cooling_;
  int coolingModel_ = 0;
  std::optional<double> coolingWaterFlow_;
};

bool StandardRating::RateModel(int s, int m) {
  const std::string name = t_.TabModello(m);
  RatedRow row;
  row.model = m;
  row.modelName = name;
  row.step = s;
  if (in_.allSpeeds) row.speedName = in_.speedEntries.at(static_cast<std::size_t>(s));

  // a. The two-in-one units: natural convection only with the front flap closed, and with
  // it open only the two lowest steps.
  if (traits_.flapBox && ((!in_.flapOpen && s == 1) || (in_.flapOpen && s > 2))) return true;

  // c. Additional coils are rated only when asked for, and then alone.
  const bool pairModel = EndsWith(name, traits_.pairs.pair);
  const bool partner = EndsWith(name, traits_.pairs.partner);
  if (in_.additionalCoils != (pairModel || partner)) return true;

  // b. The fan-off step: the unit works as a radiator. A four-pipe unit's cooling coil has
  // no rating without its fan.
  if (traits_.naturalConvectionStep && s == 1) return pairModel || RateNaturalConvection(s, m, row);

  // d. Geometry of the model (the unit heaters rated from their output keep the indices).
  CoilModel coil = ModelCoil(t_, m, traits_.airFlow == AirFlowRule::kNominalHeater, r_);

  // e, f. Air flow at this step; a model the step does not offer is skipped.
  CoilConstants constants = s_.constants;
  const std::optional<StepAir> air = AirFlowAtStep(s, m, constants, coil);
  if (!air) return true;

  // g. Tube of the model.
  TubesOf(m, constants);

  // h. Cooling.
  if (!RateCooling(s, m, constants, coil, air->cooling, partner)) return false;
  // i. The additional-coil model's cooling goes into its partner's row.
  if (pairModel) return true;
  // A partner whose model was not rated just before it has no cooling of its own.
  if (partner && coolingModel_ != m - 1) {
    cooling_ = {};
    coolingWaterFlow_.reset();
  }
  row.cooling = cooling_;

  // j. Heating.
  if (!RateHeating(s, m, constants, coil, air->heating, row)) return false;

  // 8. Sound, and the series' extra columns.
  switch (traits_.sound) {
    case SoundSource::kEcSignal:
      row.soundPowerDb = air->ecSound->lw;
      row.soundAtFloor = air->ecSound->atFloor;
      break;
    case SoundSource::kPerModel:
      row.soundPowerDb = t_.TabLWA(m);
      break;
    case SoundSource::kPerStep:
      row.soundPowerDb = t_.TabLWA(s, m);
      row.soundShown = row.soundPowerDb > 0;
      break;
  }
  if (traits_.mountingColumns) {
    row.heightMax = t_.TabAltezza(m);
    row.throwMax = t_.TabLancio(m);
  }
  if (traits_.absorbedPowerColumn) {
    if (air->ecPowerW) {
      row.absorbedPowerW = *air->ecPowerW;
    } else if (const float pin = t_.TabPIN(s, m); pin > 0) {
      row.absorbedPowerW = pin;
    }
  }
  row.airFlowM3s = r_.airFlow;
  return AddRow(row);
}

bool StandardRating::RateNaturalConvection(int s, int m, RatedRow& row) {
  if (!Reach(1)) return false;
  if (r_.givenTwOut <= 0 && r_.givenWaterFlow == 0) {
    // "=QW(C)" has no cooling water flow to lend when there is no cooling.
    result_.message = ScreenMessage{s_.Text(107), Icon::kError, Control(Ctl::txtTw2, 1)};
    return false;
  }
  r_.airFlow = 0;
  r_.coolWaterFlow = r_.coolTaOut = r_.coolPressureDrop = r_.coolTotal = r_.coolSensible = 0;
  r_.heatTaOut = 0;
  r_.heatWaterFlow = static_cast<float>(r_.givenWaterFlow);
  const StaticHeaterModel heater{t_.TabPotNom(m), t_.TabEspon(m), t_.TabDPNom(m)};
  StaticHeatingResult result;
  if (r_.givenTwOut > 0) {
    result = StaticHeatingAtOutletTemp(heater, r_.twIn, r_.givenTwOut, r_.taIn);
  } else {
    r_.twOut = 0;
    r_.heatTwOut = 0;
    result =
        StaticHeatingAtWaterFlow(heater, static_cast<float>(r_.givenWaterFlow), r_.twIn, r_.taIn);
    r_.heatTwOut = result.twOut;
  }
  r_.heatCapacity = result.output;
  r_.heatWaterFlow = result.waterFlow;
  r_.heatPressureDrop = result.pressureDropTerm;
  row.airFlowM3s = 0;
  // A flow below what the radiator draws at all is not met: no figures for it.
  row.heating.status = result.met ? DutyStatus::kConverged : DutyStatus::kNotConverged;
  if (result.met) {
    row.heating.figures = HeatingFiguresOf(r_);
    if (r_.givenTwOut > 0) row.heating.figures.twOutC = r_.givenTwOut;
  }
  row.soundPowerDb = t_.TabLWA(s, m);
  row.soundShown = row.soundPowerDb > 0;
  return AddRow(row);
}

float StandardRating::CatalogueFlow(int k, int m) const {
  switch (k) {
    case 1:
      return t_.TabQa1(m);
    case 2:
      return t_.TabQa2(m);
    case 3:
      return t_.TabQa3(m);
    case 4:
      return t_.TabQa4(m);
    default:
      Raise(kSubscriptOutOfRange);
  }
}

std::optional<StepAir> StandardRating::AirFlowAtStep(int s, int m, CoilConstants& constants,
                                                     CoilModel& coil) {
  StepAir air;
  auto offeredAtStep = [&] {
    const std::size_t k = static_cast<std::size_t>(s - 1);
    if (s < 1 || k >= traits_.stepModelSuffixes.size()) Raise(kSubscriptOutOfRange);
    return EndsWith(t_.TabModello(m), traits_.stepModelSuffixes[k]);
  };
  switch (traits_.airFlow) {
    case AirFlowRule::kCatalogueM3h:
      air.cooling = Sng(CatalogueFlow(s, m) / 3600.0);
      break;
    case AirFlowRule::kTwoInOne:
      air.cooling = Sng(CatalogueFlow(s - 1, m) / 3600.0);
      // The flap open deflects part of the lowest step's air.
      if (s == 2 && in_.flapOpen) air.cooling = Sng(air.cooling * 0.94);
      break;
    case AirFlowRule::kSplitByDuty:
      air.cooling = CatalogueFlow(s, m);
      switch (s) {
        case 1:
          air.heating = t_.TabQa1C(m);
          break;
        case 2:
          air.heating = t_.TabQa2C(m);
          break;
        case 3:
          air.heating = t_.TabQa3C(m);
          break;
        default:
          Raise(kSubscriptOutOfRange);
      }
      break;
    case AirFlowRule::kCatalogueM3s:
      air.cooling = CatalogueFlow(s, m);
      break;
    case AirFlowRule::kModelPerStep:
      if (!offeredAtStep()) return std::nullopt;
      air.cooling = Sng(t_.TabQa1(m) / 3600.0);
      break;
    case AirFlowRule::kNominalHeater:
      // The heating pass takes the catalogue air flow; the coil has the standard tubes.
      if (!offeredAtStep()) return std::nullopt;
      constants.CoilTubeDiam = kNominalHeaterTubeDiam;
      constants.CoilConstB = kNominalHeaterConstB;
      constants.CoilConstA = kNominalHeaterConstA;
      coil.airCoef = 0;
      break;
    case AirFlowRule::kEcSignal: {
      // 6. The fan signal in volts from the list entry ("15%" is 1.5 V) gives the fan
      // speed, and from it air flow, sound power and absorbed power.
      const float volts = Sng(LeadingNumber(in_.speedEntries.at(static_cast<std::size_t>(s))) / 10);
      const float rpm = EcSpeedAtSignal(
          {t_.TabVRA(m).ToSingle(), t_.TabVRB(m).ToSingle(), t_.TabVRC(m).ToSingle()}, volts);
      air.cooling = EcAirFlowAtSpeed(
          {t_.TabQAA(m).ToSingle(), t_.TabQAB(m).ToSingle(), t_.TabQAC(m).ToSingle()}, rpm);
      if (air.cooling < 0.0001) return std::nullopt;
      air.ecSound = EcSoundPowerAtSpeed(
          {t_.TabLWA(m), t_.TabLWB(m).ToSingle(), t_.TabLWC(m).ToSingle()}, rpm, volts);
      air.ecPowerW = EcAbsorbedPowerAtSpeed(t_.TabPAK(m).ToSingle(), t_.TabPAN(m).ToSingle(), rpm);
      break;
    }
    case AirFlowRule::kFanCurveAtPressure: {
      const FanCurve curve{t_.TabVA(s, m), t_.TabVB(s, m), t_.TabVC(s, m)};
      const FanCurve lowest{t_.TabVA(1, m), t_.TabVB(1, m), t_.TabVC(1, m)};
      air.cooling = Sng(FanFlowAtPressure(r_.extPressure, curve) / 3600.0);
      const float minFlow = Sng(FanFlowAtPressure(0, lowest) / 3600.0);
      // A fan pushed to half its lowest free flow or below is stalling: not offered.
      const bool noLimits = s_.settings.NoLimits;
      if (!noLimits && minFlow / 2.0 >= air.cooling) return std::nullopt;
      if (noLimits && air.cooling == 0) return std::nullopt;
      break;
    }
  }
  if (traits_.airFlow != AirFlowRule::kSplitByDuty) air.heating = air.cooling;

  // f. Free-blowing catalogue flows reduced for the external static pressure.
  if (traits_.freeBlowingFlows) {
    const std::optional<float> cool = FreeBlowingFlowAtPressure(air.cooling, r_.extPressure);
    const std::optional<float> heat = FreeBlowingFlowAtPressure(air.heating, r_.extPressure);
    if (!cool || !heat) return std::nullopt;
    air.cooling = *cool;
    air.heating = *heat;
  }
  return air;
}

void StandardRating::TubesOf(int m, CoilConstants& constants) const {
  switch (traits_.tubes) {
    case TubeRule::kStandard:
      constants.CoilTubeDiam = 0.0094f;
      break;
    case TubeRule::kNarrowFirstModel:
      constants.CoilTubeDiam = m == 1 ? 0.0064f : 0.0094f;
      break;
    case TubeRule::kFromTable:
      constants.CoilTubeDiam = t_.TabTubo(m);
      break;
  }
}

bool StandardRating::RateCooling(int s, int m, const CoilConstants& constants, CoilModel coil,
                                 float airFlow, bool partner) {
  if (!Reach(0)) return false;
  const EnteringAir& air = AirOf(0);
  // The partner's row takes the cooling of the model before it.
  if (partner) return true;
  SetEnteringAir(r_, air);
  r_.coolWaterFlow = r_.coolTaOut = r_.coolPressureDrop = r_.coolTotal = r_.coolSensible = 0;
  cooling_ = {};
  coolingModel_ = m;
  coolingWaterFlow_.reset();
  r_.airFlow = airFlow;
  // No cooling: a series without it, and the two-in-one units with the front flap open.
  if (!traits_.cooling || (traits_.flapBox && in_.flapOpen)) return true;

  const DutyCoefficients& k = traits_.coolingCoefficients;
  coil.headerFactor = k.header == HeaderTable::kFCC50 ? t_.TabFCC50(m) : t_.TabCCC50(m);
  coil.bypassCoef = t_.TabC100(CoefficientIndex(k.bypass, s), m);
  coil.airCoef = t_.TabFC30(CoefficientIndex(k.air, s), m);
  coil.curAirN.reset();
  if (k.exponent == ExponentTable::kFX31) coil.curAirN = t_.TabFX31(m);
  // Unit heaters without cooling data are rated with a typical coefficient when the
  // limits are off.
  if (coil.airCoef == 0 && s_.settings.NoLimits && traits_.airCoefWithoutData > 0)
    coil.airCoef = traits_.airCoefWithoutData;
  const bool hAirSet = PrepareCoil(r_, constants, coil, Duty::kCooling);
  if (!hAirSet) return true;
  if (traits_.coolingFaceVelocityLimit > 0 && r_.faceVelocity > traits_.coolingFaceVelocityLimit)
    return true;
  const RatingContext context{constants, s_.glycol, rules_};
  const CoolingRun run =
      SolveCoolingDuty(r_, context, in_.cooling.inputs, flowBound_, pendingEvents_);
  cooling_ = run.outcome;
  coolingWaterFlow_ = run.waterFlowM3s;
  return true;
}

bool StandardRating::RateHeating(int s, int m, CoilConstants constants, CoilModel coil,
                                 float airFlow, RatedRow& row) {
  if (!Reach(1)) return false;
  SetEnteringAir(r_, AirOf(1));
  const DutyCoefficients& k = traits_.heatingCoefficients;
  coil.curAirN.reset();
  coil.lengthFactor = 1;
  coil.bypassCoef = 0;
  coil.headerFactor = k.header == HeaderTable::kFCC50 ? t_.TabFCC50(m) : t_.TabCCC50(m);
  if (k.exponent == ExponentTable::kCX31) coil.curAirN = t_.TabCX31(m);
  // The two-in-one units' heating coil spans more of the unit than its face.
  if (k.lengthFromDeltaL) coil.lengthFactor = t_.TabDeltaL(m);
  const bool nominal = traits_.airFlow == AirFlowRule::kNominalHeater;
  if (nominal && r_.givenTwOut <= 0) {
    // The unit heaters' characteristic is given for a water temperature drop: without the
    // leaving water temperature there is none to rate them at.
    result_.message = ScreenMessage{s_.Text(107), Icon::kError, Control(Ctl::txtTw2, 1)};
    return false;
  }
  if (nominal) {
    airFlow = t_.TabQA(m);
    constants.CoilFrictionCoef = t_.TabC50(m);
  } else {
    coil.airCoef = t_.TabCC30(CoefficientIndex(k.air, s), m);
  }
  r_.airFlow = airFlow;
  PrepareCoil(r_, constants, coil, Duty::kHeating);

  if (nominal) {
    // 7. Rated from the catalogue output and an exponent fitted to the heating tests, with
    // the leaving water temperature given.
    RateNominalHeater(r_, constants, {t_.TabPTN(m), t_.TabY1(m), t_.TabQA(m)}, r_.givenTwOut);
    row.heating.status = DutyStatus::kConverged;
    row.heating.figures = HeatingFiguresOf(r_);
    row.heating.figures.twOutC = r_.givenTwOut;
    return true;
  }
  const RatingContext context{constants, s_.glycol, rules_};
  double waterFlow = r_.givenWaterFlow;
  if (r_.givenTwOut <= 0 && in_.comeFreddo) {
    if (!coolingWaterFlow_) {
      if (traits_.flapBox && in_.flapOpen) {
        // The flap open means no cooling, so no cooling water flow to take.
        result_.message = ScreenMessage{s_.Text(107), Icon::kError, Control(Ctl::txtTw2, 1)};
        return false;
      }
      return true;  // the cooling of this model gave no water flow to take: no figures
    }
    waterFlow = *coolingWaterFlow_;
  }
  row.heating = SolveHeatingDuty(r_, context, r_.givenTwOut, waterFlow);
  return true;
}

bool StandardRating::AddRow(RatedRow& row) {
  if (in_.distanceProblem) {
    result_.message = in_.distanceProblem;
    return false;
  }
  // The listening distance and the directivity are read when the first row needs them.
  const float distance = in_.distanceM.Get();
  const std::int16_t directivity = in_.directivity.Get();
  row.soundPressureDb = CInt(SoundPressureLevel(row.soundPowerDb, distance, directivity));
  result_.rows.push_back(std::move(row));
  return true;
}

}  // namespace

CalculationResult RateStandardSeries(const SeriesTraits& traits, const StandardInputs& in,
                                     Session& session, const std::function<void()>& pendingEvents) {
  return StandardRating(traits, in, session, pendingEvents).Run();
}

}  // namespace vestra::screens
