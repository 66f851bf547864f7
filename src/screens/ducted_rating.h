#pragma once

// The rating of the ducted units with fixed-speed fans: the working point of each model's
// fan at each tap against the typed static pressure (or the static pressure left at the
// typed total air flow) after the losses of the ticked accessories, the mix of
// recirculated and fresh air at that air flow, then the coil rated in cooling and heating
// as the standard screen rates it; the additional heating coil "HX" as a pair rule.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/model_tables.h"
#include "engine/entering_air.h"
#include "engine/fan_duct.h"
#include "screens/field_rules.h"
#include "screens/form.h"
#include "screens/rated_row.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"

namespace vestra::screens {

// The fields of one duty of the ducted screens as typed, converted with the locale's rules
// (a field that does not convert reads as 0). Temperatures degC, flow m3/s, shares %.
struct MixedFields {
  float recirculatedDryBulb = 0;   // txtTsa1ric(d)
  float freshDryBulb = 0;          // txtTsa1rin(d)
  float recirculatedHumidity = 0;  // txtUrric (cooling)
  float freshHumidity = 0;         // txturrin (cooling)
  float twIn = 0, givenTwOut = 0;
  double givenWaterFlow = 0;
  float glycolPct = 0;
};

struct MixedFieldsOfScreen {
  std::array<MixedFields, 2> duty;  // 0 cooling, 1 heating
  int freshShare = 0;               // the slider's value, %
};

// Reads the fields of both duties from the ducted form.
MixedFieldsOfScreen ReadMixedFields(const DuctedForm& form, const Session& session);

// The checked inputs of one duty at an air flow: the duty's inputs and the entering air of
// the mix, or the message that stops the calculation.
struct MixedCheck {
  DutyInputs inputs;
  EnteringAir air;
  std::optional<ScreenMessage> problem;
};

// The mix of the two streams at the air flow q (m3/s) and the checks of the duty, in
// their order.
MixedCheck CheckMixedInputs(const MixedFieldsOfScreen& fields, std::int16_t heatingDuty, float q,
                            const Session& session);

// The working point of a model at a tap.
struct WorkingPoint {
  float airFlowM3s = 0;
  float availablePressurePa = 0;  // -1: the working point is rejected
  bool pressureCapped = false;    // shown as "> " and the cap
  float lowSpeedFreeFlowM3s = 0;
};

// Where the ducted units' fans may work: the static pressure shown is capped at 250 Pa,
// and a working point at a quarter of the lowest tap's free flow or below is refused (the
// fan would run stalled).
inline constexpr float kDuctedPressureCapPa = 250;

// The ticked accessories and the model's outlet, for the losses of the duct.
struct DuctAccessories {
  std::vector<AccessoryRow> rows;  // rows 1 .. AccCount of the table
  // Box i stands for rows[i - 1]; the boxes up to the last one ticked.
  std::array<bool, kAccessoryBoxes> boxes{};
  std::size_t boxCount = 0;
  std::span<const bool> Ticked() const { return {boxes.data(), boxCount}; }
};
DuctAccessories TickedAccessories(const DuctedForm& form, const ModelTables& tables);

// Air-flow mode (a total air flow typed, no static pressure): the static pressure the fan
// leaves at that flow after the accessories; pressure mode: the flow at which the fan,
// less the accessories, gives the typed pressure.
WorkingPoint CalcolaPortata(int speed, int model, float staticPressurePa, float totalAirFlowM3s,
                            const DuctAccessories& accessories, const ModelTables& tables,
                            bool noLimits);

// What a Calculate of the ducted screen reads from its controls.
struct DuctedInputs {
  std::vector<std::string> speedEntries;
  bool allSpeeds = false;
  int firstSpeed = 1, lastSpeed = 1;
  int firstModel = 1, lastModel = 0;
  bool additionalCoil = false;  // chkAcc(1)
  float staticPressurePa = 0;
  // The typed total air flow, m3/s (0 when none); read when the first model needs it.
  Deferred<float> totalAirFlowM3s;
  MixedFieldsOfScreen fields;
  DuctAccessories accessories;
  Deferred<float> distanceM;
  Deferred<std::int16_t> directivity;
  std::optional<ScreenMessage> distanceProblem;
};

CalculationResult RateDuctedSeries(const SeriesTraits& traits, const DuctedInputs& in,
                                   Session& session,
                                   const std::function<void()>& pendingEvents = {});

// The ducted units with EC fans: every model at the typed total air flow, its working point
// between the two fan steps around it at the required pressure (the static pressure and
// the accessories' losses), the mix taken at that flow.
CalculationResult RateDuctedEcSeries(const SeriesTraits& traits, const DuctedInputs& in,
                                     Session& session,
                                     const std::function<void()>& pendingEvents = {});

}  // namespace vestra::screens
