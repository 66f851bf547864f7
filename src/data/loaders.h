#pragma once

// The series loaders: each reads its series table from the catalogue into the model
// tables, after installing the series' coil constants, and returns the entries of the
// screen's model list.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/model_tables.h"
#include "data/store.h"
#include "engine/coil_constants.h"

namespace vestra {

struct CoilRatingState;

enum class Series {
  Q70,
  VELD,
  KELM,
  ZOPH,
  QUIVO,
  BRISK,
  LUMO,
  TORVAEC,
  TORVA,
  NARTE,
  DARNE,
  KELMBLDC,
  ZOPHBLDC,
  PELVOEC,
  MIRALEC,
  UMBRA,
  MIRALP,
  PELVO,
  MIRAL,
};

struct SeriesInfo {
  Series series;
  const char* name;                // "MIRAL", "TORVAEC" ...
  const char* source;              // table name or query text
  const char* accessorySource;     // accessory query of the ducted series, else nullptr
  std::optional<CoilSet> coilSet;  // none for Q70
  int capacity;                    // models the series is dimensioned for (the arrays grow past it)
  bool star;                       // a name ending in "*" is listed as "-----------"
};

// The 19 series, in the order of the enum.
std::span<const SeriesInfo> AllSeries();
const SeriesInfo& InfoOf(Series series);
// The series of a name as InfoOf writes it (case-sensitive); nullopt for any other text.
std::optional<Series> SeriesFromName(std::string_view name);

// The list entry that stands for a starred model in the "star" series.
inline constexpr const char* kStarredModelEntry = "-----------";

// Loads one series into `tables`: re-dimensions the series' arrays, selects its coil
// constant set (not for Q70), reads every record in the order of the series' source, sets
// ModelCount and, for the ducted series, the accessory table. Returns the model list:
// entry 0 = allItemText (the "all models" text of the current language), then one entry
// per model, so that list index m names model m. `pendingEvents`, when given, runs after
// each record so that the interface stays responsive during a long read.
//
// Database faults are DatabaseError. A value the tables cannot hold raises the error of
// its conversion - 94 a Null where a number or text is needed, 13 a text that is not a
// number or a text that is not one line of printable UTF-8 (a control character, a stray
// byte), 6 a number that does not fit its type, 9 a geometry code (Geom) outside 0..3 or
// a fin pitch code (Passo) outside 0..8 - with a message naming the catalogue, the table,
// the record (with its model name once read), the field and the value.
// On an error the arrays hold the records read so far and ModelCount keeps its old value.
std::vector<std::string> LoadSeriesTable(Series series, const CatalogueStore& store,
                                         ModelTables& tables, CoilConstants& constants,
                                         CoilRatingState& state, const std::string& allItemText,
                                         const std::function<void()>& pendingEvents = {});

}  // namespace vestra
