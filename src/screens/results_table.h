#pragma once

// The results grid of the selection screens: its layout, the symbol and unit heading
// rows, the cells of a result row and the legend beside it. The cells are formatted here
// from the typed rows of a Calculate, in the display units of the session.

#include <string>
#include <string_view>
#include <vector>

#include "screens/form.h"
#include "screens/rated_row.h"
#include "screens/series_traits.h"
#include "screens/session.h"

namespace vestra::screens {

// The column count of the standard screen for a series, with or without the speed column.
int StandardColumnCount(const SeriesTraits& traits, bool allSpeeds);

// Resets the grid and writes the standard screen's heading rows. coolWaterIsFlow /
// heatWaterIsFlow: a leaving water temperature was typed on that panel, so the water
// column shows the water flow computed ("QW"), otherwise the leaving water temperature
// ("TW2"). Shows the legend button.
void ResetStandardResults(StandardForm& form, const SeriesTraits& traits, const Session& session,
                          bool allSpeeds, bool coolWaterIsFlow, bool heatWaterIsFlow);

// The EC fan-coil screen (withSpeedColumn) and the high-efficiency EC screen share one
// layout but for the "SPEED" column.
void ResetEcResults(CommonForm& form, const Session& session, bool withSpeedColumn,
                    bool coolWaterIsFlow, bool heatWaterIsFlow);

// The symbol and unit cells of the cooling (withCooling) and heating columns, which every
// layout shares; and the two heading rows written into the grid, the legend button shown.
void AddDutyHeadings(std::vector<std::string>& symbols, std::vector<std::string>& units,
                     const Session& session, bool withCooling, bool coolWaterIsFlow,
                     bool heatWaterIsFlow);
void WriteHeadings(CommonForm& form, const std::vector<std::string>& symbols,
                   const std::vector<std::string>& units);

// Whether a leaving air temperature of 0 shows as an empty cell (the standard and EC
// screens) or as its figure (the ducted screens).
enum class AirOutCell { kEmptyWhenZero, kAlways };

// The five cooling cells of a row ("PT" .. "TA (C)"), empty when the duty gave no result.
void AddCoolingCells(std::vector<std::string>& cells, const DutyOutcome<CoolingFigures>& cooling,
                     bool coolWaterIsFlow, const Session& session,
                     AirOutCell airOut = AirOutCell::kEmptyWhenZero);
// The four heating cells ("PH" .. "TA (H)"); dropFormat replaces the pressure-drop unit's
// format when given.
void AddHeatingCells(std::vector<std::string>& cells, const DutyOutcome<HeatingFigures>& heating,
                     bool heatWaterIsFlow, const Session& session, std::string_view dropFormat = {},
                     AirOutCell airOut = AirOutCell::kEmptyWhenZero);

// The tab-separated text of a standard screen's row.
std::string StandardRowText(const RatedRow& row, const SeriesTraits& traits, bool coolWaterIsFlow,
                            bool heatWaterIsFlow, const Session& session);

// The legend pairs of the standard screen for the series.
void FillStandardLegend(StandardForm& form, const SeriesTraits& traits, const Session& session);

// The legend pairs of the ducted screens (the first entry is set by each Calculate).
void FillDuctedLegend(DuctedForm& form, const Session& session);

// The legend pairs of the EC screens: the inverter's curve and control voltage instead of
// the unit heaters' and absorbed-power pairs.
void FillEcLegend(CommonForm& form, const Session& session);

// Cells joined by tabs, as a grid row is added.
std::string JoinCells(const std::vector<std::string>& cells);

}  // namespace vestra::screens
