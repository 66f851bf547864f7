#pragma once

// What a Calculate produces before anything is formatted: one typed row per rated model
// and speed, with each duty's outcome and its figures in base units (W, m3/s, kPa, Pa,
// degC, dB(A)), and the message that ended the calculation, if any. The grid, the
// command line, the chart and the report all read these.

#include <optional>
#include <string>
#include <vector>

#include "screens/controls.h"

namespace vestra::screens {

// How a duty of a row was rated.
enum class DutyStatus {
  kConverged,     // the figures hold the rating
  kNotConverged,  // the search ended without a result: no figures
  kNotRated,      // the duty is not rated for this model and step: no figures
};

struct CoolingFigures {
  float totalW = 0, sensibleW = 0;
  float waterFlowM3s = 0;  // searched (leaving water given) or given
  float twOutC = 0;        // given, or searched (water flow given)
  float pressureDropKPa = 0;
  float taOutC = 0;
};

struct HeatingFigures {
  float capacityW = 0;
  float waterFlowM3s = 0;
  float twOutC = 0;
  float pressureDropKPa = 0;
  float taOutC = 0;
};

template <typename Figures>
struct DutyOutcome {
  DutyStatus status = DutyStatus::kNotRated;
  Figures figures;
  bool HasFigures() const { return status == DutyStatus::kConverged; }
};

struct RatedRow {
  int model = 0;  // model index 1..ModelCount
  std::string modelName;
  int step = 0;  // speed step (list index of the speed)
  // The speed's list entry, shown when every speed was rated.
  std::optional<std::string> speedName;
  float airFlowM3s = 0;
  // Ducted units rated at a typed air flow: the static pressure the fan leaves, Pa, and
  // whether it was capped (shown with "> ").
  std::optional<float> availablePressurePa;
  bool pressureCapped = false;

  DutyOutcome<CoolingFigures> cooling;
  DutyOutcome<HeatingFigures> heating;

  // Sound power and pressure at the listening distance. soundShown false: the model has
  // no sound data (both cells empty); soundAtFloor: raised to the series' floor.
  float soundPowerDb = 0;
  float soundPressureDb = 0;
  bool soundShown = true;
  bool soundAtFloor = false;

  std::optional<float> absorbedPowerW;
  // EC fans: the nominal speed of the step the control voltage refers to ("SPEED"), the
  // step itself, and the control voltage of the working point.
  std::optional<int> stepSpeedRpm;
  std::optional<int> fanSpeedRpm;  // the working point's speed
  int chartStep = 0;
  std::optional<float> controlVoltageV;
  // Unit heaters: mounting height and throw, as catalogued (text).
  std::optional<std::string> heightMax, throwMax;
};

// A message for the user: its text, its icon and the field that takes the focus after it.
struct ScreenMessage {
  std::string text;
  Icon icon = Icon::kNone;
  std::optional<ControlRef> focus;
};

// The outcome of a Calculate: the rows rated, in order, and the message that ended it
// (an input to give or correct, a run-time error, or no model at all).
struct CalculationResult {
  std::vector<RatedRow> rows;
  std::optional<ScreenMessage> message;
};

}  // namespace vestra::screens
