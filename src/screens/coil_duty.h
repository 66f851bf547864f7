#pragma once

// The coil ratings every selection screen makes for a model, once its air flow is known:
// the duty's inputs written into the rating record, the coil of the model prepared, the
// cooling and the heating solve, and what came out of them as typed figures.

#include <functional>
#include <optional>

#include "data/model_tables.h"
#include "engine/coil_cooling.h"
#include "engine/coil_heating.h"
#include "engine/coil_rating.h"
#include "engine/entering_air.h"
#include "screens/field_rules.h"
#include "screens/rated_row.h"

namespace vestra::screens {

// The coil of model m as its table gives it (geometry, fin pitch, rows, circuits, size).
// keepGeometry: the series has no geometry of its own and keeps the indices the record
// holds from the model rated before.
CoilModel ModelCoil(const ModelTables& tables, int m, bool keepGeometry,
                    const CoilRatingState& record);

// Writes one duty's inputs into the rating record, as reading the duty does: the air and
// water temperatures, the given leaving water and water flow, the glycol, the humidity;
// the leaving water to be searched starts at 0.
void ApplyDutyInputs(CoilRatingState& record, std::int16_t heatingDuty, const DutyInputs& in);

// The outcome of a cooling rating, and the water flow it ran with (searched, or given
// when the outlet was searched), which "=QW(C)" lends to the heating of the same model.
struct CoolingRun {
  DutyOutcome<CoolingFigures> outcome;
  std::optional<double> waterFlowM3s;
};

// The cooling solve of a prepared coil: the flow search when the duty gives the leaving
// water, the outlet search when it gives the flow. `bound` keeps the flow search's wet
// upper bound between models of one calculation.
CoolingRun SolveCoolingDuty(CoilRatingState& record, const RatingContext& context,
                            const DutyInputs& in, std::optional<CoolingFlowBound>& bound,
                            const std::function<void()>* pendingEvents);

// The heating solve of a prepared coil: the flow search when givenTwOutC > 0, otherwise
// the outlet search at waterFlowM3s.
DutyOutcome<HeatingFigures> SolveHeatingDuty(CoilRatingState& record, const RatingContext& context,
                                             float givenTwOutC, double waterFlowM3s);

// The heating figures the record holds (a rating that writes them directly).
HeatingFigures HeatingFiguresOf(const CoilRatingState& record);

}  // namespace vestra::screens
