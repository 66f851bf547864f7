#pragma once

// The process-wide records of one run of the program: the settings, the catalogue, the
// model tables of the series in use, the coil constants, the rating record, the fluid
// coefficient tables and the chart state. Created once at start-up (or by a test, as
// many as it likes) and passed by reference to the screens; each lives as long as the
// session, which is what keeps a loader's untouched arrays, a constant set and the
// results of a non-converged solve as they were.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/settings.h"
#include "app/texts.h"
#include "data/model_tables.h"
#include "data/store.h"
#include "engine/coil_constants.h"
#include "engine/coil_state.h"
#include "engine/fluids.h"

namespace vestra::screens {

// Shared by the EC screens and the fan-curve chart.
struct ChartState {
  std::string ChartOwner;  // name of the screen that opened the chart
  bool ChartOpen = false;
  std::int16_t ChartStep = 0;
  float ChartRefFlow = 0;      // m3/h
  float ChartRefPressure = 0;  // Pa
};

struct Session {
  Settings settings;
  // The settings file the language and unit choices are written to (none in a test or a
  // command-line run that must leave the file alone).
  SettingsFile* settingsFile = nullptr;
  std::unique_ptr<CatalogueStore> store;
  ModelTables models;
  CoilConstants constants;
  CoilRatingState rating;
  GlycolTables glycol = InitGlycolTables();
  ChartState chart;

  TextContext Texts() const { return TextContext(settings.LangBase); }
  std::string Text(int offset) const { return Texts().Text(offset); }
  char Decimal() const { return DecimalChar(settings); }
};

}  // namespace vestra::screens
