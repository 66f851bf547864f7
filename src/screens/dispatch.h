#pragma once

// The series dispatch of the main window, without the windows: what a series choice sets
// in the session, the screen it creates, and the whole dispatch for a run without a
// window (vestra-select, the tests, the benchmarks).

#include <functional>
#include <memory>

#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"

namespace vestra::screens {

// CurrentSeries and, for every series but the unit heaters rated from their output,
// ReTransMode.
void PrepareDispatch(Session& session, const SeriesTraits& traits);

// A new screen of the series' kind for the series, its load handler run.
std::unique_ptr<SelectionScreen> CreateScreen(Session& session, ScreenUi& ui,
                                              const SeriesTraits& traits);

// The whole dispatch (a window shows the screen before the loader runs): prepared,
// created, set up for the series, its models loaded.
std::unique_ptr<SelectionScreen> DispatchSeries(Session& session, ScreenUi& ui,
                                                const SeriesTraits& traits);

}  // namespace vestra::screens
