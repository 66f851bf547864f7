#pragma once

// The rating of the standard screen's series: every chosen model at every chosen speed,
// cooling then heating, on the engine, without the screen. It takes what the screen read
// and checked and returns the typed rows.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "screens/field_rules.h"
#include "screens/rated_row.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"

namespace vestra::screens {

// What a Calculate of the standard screen reads from its controls.
struct StandardInputs {
  std::vector<std::string> speedEntries;  // the speed list, "* Tutto" first
  bool allSpeeds = false;
  int firstSpeed = 1, lastSpeed = 1;
  int firstModel = 1, lastModel = 0;
  bool additionalCoils = false;  // chkHX
  bool flapOpen = false;         // chkFlap
  bool comeFreddo = false;       // "=QW(C)"
  float extPressurePa = 0;
  DutyCheck cooling, heating;
  // The listening distance (m) and the directivity, read when the first row needs them.
  Deferred<float> distanceM;
  Deferred<std::int16_t> directivity;
  // A listening distance of 0 or less: no sound pressure can be given for it.
  std::optional<ScreenMessage> distanceProblem;
};

// Rates the models and speeds of `in` for the series. Ends at the first duty whose
// inputs fail their check (its message, the rows so far kept) and at a run-time error
// ("Errore generico : "); with no row at all, text 104.
CalculationResult RateStandardSeries(const SeriesTraits& traits, const StandardInputs& in,
                                     Session& session,
                                     const std::function<void()>& pendingEvents = {});

}  // namespace vestra::screens
