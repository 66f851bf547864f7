#pragma once

// The results grid of the selection screens: its layout, the symbol and unit heading
// rows, the cells of a result row and the legend beside it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "screens/form.h"
#include "screens/session.h"

namespace vestra::screens {

// The column count of the standard screen for a series, with or without the speed column.
int StandardColumnCount(std::string_view currentSeries, bool allSpeeds);

// Resets the grid and writes the standard screen's heading rows. coolWaterIsFlow /
// heatWaterIsFlow: a leaving water temperature was typed on that panel, so the water
// column shows the water flow computed ("QW"), otherwise the leaving water temperature
// ("TW2"). Shows the legend button.
void ResetStandardResults(StandardForm& form, const Session& session, bool allSpeeds,
                          bool coolWaterIsFlow, bool heatWaterIsFlow);

// The EC fan-coil screen (withSpeedColumn) and the high-efficiency EC screen share one
// layout but for the "SPEED" column.
void ResetEcResults(CommonForm& form, const Session& session, bool withSpeedColumn,
                    bool coolWaterIsFlow, bool heatWaterIsFlow);

// The figures of one result row of the standard screen, in base units. A duty whose
// rating gave no result (not rated, or a search that did not converge) has no figures:
// its cells stay empty rather than show another model's values.
struct CoolingCells {
  float total = 0, sensible = 0;
  float waterFlow = 0;  // m3/s, shown when the leaving water was typed
  float twOut = 0;      // degC, shown when the water flow was typed
  float pressureDrop = 0;
  float taOut = 0;
};
struct HeatingCells {
  float capacity = 0;
  float waterFlow = 0;
  float twOut = 0;
  float pressureDrop = 0;
  float taOut = 0;
};
struct StandardRow {
  std::string model;
  std::optional<std::string> speed;  // the speed entry when every speed is rated
  float airFlow = 0;                 // m3/s
  std::optional<CoolingCells> cooling;
  std::optional<HeatingCells> heating;
  // Sound: lw as the catalogue gives it (or as computed), lp the integer level. Both
  // cells are empty when a two-index sound power is 0 or less (lwShown false); "< "
  // precedes both when the level was raised to its floor.
  float lw = 0;
  int lp = 0;
  bool lwShown = true;
  bool soundFloor = false;
  std::optional<std::string> heightMax, throwMax;  // TORVA mounting height and throw
  std::optional<float> pin;                        // absorbed power, W, when > 0
};

// The tab-separated text of a standard row, in the display units of the session.
std::string StandardRowText(const StandardRow& row, std::string_view currentSeries,
                            bool coolWaterIsFlow, bool heatWaterIsFlow, const Session& session);

// The legend pairs of the standard screen for the current series.
void FillStandardLegend(StandardForm& form, const Session& session);

}  // namespace vestra::screens
