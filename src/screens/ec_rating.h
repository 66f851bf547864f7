#pragma once

// The ratings of the EC fan coils (FDatiPEC) and of the high-efficiency EC units
// (FDatiUmbra): the fan's working point at the typed air flow against the typed static
// pressure, then the coil rated at that air flow as the standard screen rates it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "screens/field_rules.h"
#include "screens/rated_row.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"

namespace vestra::screens {

// What a Calculate of an EC screen reads from its controls.
struct EcInputs {
  float requiredM3h = 0;  // the typed air flow
  float requiredM3s = 0;
  float extPressurePa = 0;
  int firstModel = 1, lastModel = 0;
  bool additionalCoils = false;  // chkHX
  DutyCheck cooling, heating;
  Deferred<float> distanceM;
  Deferred<std::int16_t> directivity;
  std::optional<ScreenMessage> distanceProblem;
};

// The sound power below which the EC fan coils' data are not given, dB(A).
inline constexpr float kEcFanCoilSoundFloor = 28;
// The lowest fan speed the EC fan coils' inverters run at, rpm.
inline constexpr int kEcMinimumSpeedRpm = 150;

CalculationResult RateEcFanCoils(const SeriesTraits& traits, const EcInputs& in, Session& session,
                                 const std::function<void()>& pendingEvents = {});

// The high-efficiency EC units. Rows whose control signal or free flow the scans did not
// find carry no absorbed power or no sound power; `note` then says why.
struct UmbraRating {
  CalculationResult result;
  std::string note;
};
UmbraRating RateUmbra(const SeriesTraits& traits, const EcInputs& in, Session& session,
                      const std::function<void()>& pendingEvents = {});

}  // namespace vestra::screens
