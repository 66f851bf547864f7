#pragma once

// What a product series is to the program: which selection screen it opens and how the
// main window sets that screen up for it, which model table it loads, and every rule its
// rating follows - how the air flow of a model at a speed is found, which catalogue
// coefficients each duty takes, its tubes, its additional-coil pairs, its sound data and
// the columns and legend of its results. One record per series; the screens, the results
// table, the dispatch and the command-line tools ask the record, never the series' name.

#include <span>
#include <string>
#include <string_view>

#include "data/loaders.h"
#include "screens/session.h"

namespace vestra::screens {

// The five selection screens.
enum class ScreenKind {
  kStandard,          // FDatiP: fixed-speed fan coils, cassettes, unit heaters
  kEcFanCoil,         // FDatiPEC
  kHighEfficiencyEc,  // FDatiUmbra
  kDucted,            // FDatiPXX
  kEcDucted,          // FDatiPXXEC
};

// The window name of a screen ("FDatiP" ...).
std::string_view ScreenName(ScreenKind screen);

// Where the main window offers the series: its item of the series menu (mnuprod), of the
// EC submenu (mnuprods) and its button in the EC chooser (cmdBLDC); -1 where it has none.
struct MenuPlace {
  int mnuprod = -1;
  int mnuprods = -1;
  int chooser = -1;
};

// The screen's caption: text `text` of the current language (none when 0), then
// `suffix`, then " " and the series code when `withCode`.
struct CaptionRule {
  int text = 0;
  std::string_view suffix{};
  bool withCode = false;
};

// The speed steps after "* Tutto", and the step selected when the screen loads.
struct SpeedSteps {
  std::span<const std::string_view> steps{};
  int selected = 0;
};

// How the air flow of a model at a speed step s is found.
enum class AirFlowRule {
  kCatalogueM3h,        // TabQa1..3 at step s, catalogued in m3/h
  kCatalogueM3s,        // TabQa1..4 at step s, catalogued in m3/s
  kSplitByDuty,         // TabQa1..3 in cooling and TabQa1C..3C in heating, m3/s
  kTwoInOne,            // TabQa1..4 at step s - 1 (step 1 is the fan-off step), m3/h
  kModelPerStep,        // the model whose name ends in the step's suffix, TabQa1 in m3/h
  kNominalHeater,       // the model whose name ends in the step's suffix; TabQA in heating
  kEcSignal,            // the fan signal of the step ("15%" is 1.5 V) through the EC polynomials
  kFanCurveAtPressure,  // the step's fan curve against the typed static pressure
};

// Which index k a two-index coefficient table X(k, m) is read at, for step s.
enum class StepIndex {
  kFirst,       // X(1, m) whatever the step
  kStep,        // X(s, m)
  kStepBefore,  // X(s - 1, m): the two-in-one units' fan steps start at step 2
};

enum class HeaderTable { kFCC50, kCCC50 };
// Where the air-side velocity exponent comes from: the geometry's, or the series' own.
enum class ExponentTable { kGeometry, kFX31, kCX31 };

// The catalogue coefficients one duty of the series takes.
struct DutyCoefficients {
  HeaderTable header = HeaderTable::kFCC50;
  StepIndex bypass = StepIndex::kFirst;  // TabC100, cooling only
  StepIndex air = StepIndex::kFirst;     // TabFC30 in cooling, TabCC30 in heating
  ExponentTable exponent = ExponentTable::kGeometry;
  // The heating coil of the two-in-one units is longer than its face: TabDeltaL.
  bool lengthFromDeltaL = false;
};

// The tube bore of a model.
enum class TubeRule {
  kStandard,          // 9.4 mm
  kNarrowFirstModel,  // 9.4 mm, the smallest model 6.4 mm
  kFromTable,         // TabTubo
};

// Where a row's sound power comes from.
enum class SoundSource {
  kPerStep,   // TabLWA(s, m); a value of 0 or less means no data (empty cells)
  kPerModel,  // TabLWA(m), one value for the model
  kEcSignal,  // the EC sound polynomial at the step's signal
};

// The two name endings of an additional-coil pair: the model with the extra coil (rated
// in cooling only) and its partner that follows it in the table (whose row shows the pair).
struct PairMarks {
  std::string_view pair = "HX";
  std::string_view partner = "HX*";
};

struct SeriesTraits {
  std::string_view name{};  // as the user and the command line call the series
  std::string_view code{};  // CurrentSeries
  Series table{};           // the model table it loads
  ScreenKind screen = ScreenKind::kStandard;
  MenuPlace menu{};
  CaptionRule caption{};

  // What the dispatch sets on the screen.
  bool coolingPanel = true;       // pnlFreddo shown
  bool heatingPanelTop = false;   // pnlCaldo docked along the top edge
  bool staticPressure = false;    // lblPsu, txtpsu enabled
  bool glycol = true;             // lblglic, txtGlic enabled
  bool additionalCoilBox = true;  // chkHX shown
  // chkFlap shown: the two-in-one units' front flap. Open, the unit has no cooling, its
  // natural-convection step is offered and its fan runs at the two lowest steps only.
  bool flapBox = false;
  bool setsReTransMode = true;  // the dispatch sets ReTransMode to 2
  float pressureLimitPa = 80;   // top of the txtpsu range

  SpeedSteps speeds{};
  AirFlowRule airFlow = AirFlowRule::kCatalogueM3s;
  // kModelPerStep, kNominalHeater: the name ending of the models offered at step s
  // (entry s - 1).
  std::span<const std::string_view> stepModelSuffixes{};
  // The catalogue flows are free-blowing: reduced for the external static pressure (and
  // a model pushed below half its free flow is not offered).
  bool freeBlowingFlows = false;

  // The duties. A series without cooling (its cooling panel hidden) still reads the
  // cooling inputs at Calculate, but rates nothing and shows no cooling columns.
  bool cooling = true;
  DutyCoefficients coolingCoefficients{};
  DutyCoefficients heatingCoefficients{};
  // Unit heaters whose catalogue has no cooling coefficient are rated, with the limits
  // off, with this typical one (0: not rated).
  float airCoefWithoutData = 0;
  // The EC unit heaters' coil is not rated in cooling above this face velocity, m/s (0:
  // no limit).
  float coolingFaceVelocityLimit = 0;
  TubeRule tubes = TubeRule::kStandard;
  // Cassette cooling coils: water-side coefficient of at least 1100 W/(m2 K).
  bool coolingWaterSideFloor = false;
  // Two-in-one units: 5 % more sensible cooling from the wet flow search.
  bool wetSensibleFactor = false;
  PairMarks pairs{};
  // Step 1 is the fan-off step: the unit heats as a radiator (two-in-one units).
  bool naturalConvectionStep = false;

  SoundSource sound = SoundSource::kPerStep;
  // Result columns beyond the common ones.
  bool absorbedPowerColumn = false;  // "Pin"
  bool mountingColumns = false;      // "H MAx", "L Max" and their legend frame
  // The format of the heating water pressure drop (empty: the unit's own format).
  std::string_view heatingDropFormat{};
  // The absorbed-power legend in the current language (otherwise its Italian text).
  bool localisedPowerLegend = false;

  // The ducted screens' accessory boxes chkAcc(1) .. chkAcc(10), box i charged with row i
  // of the accessory table: their captions, empty for a box the series does not offer.
  std::span<const std::string_view> accessoryCaptions{};
  // Boxes 2 and 3 are two versions of one plenum: ticking one clears the other.
  bool exclusivePlenums = false;
};

// Every series the program offers, in menu order.
std::span<const SeriesTraits> AllSeriesTraits();
// The series of a name ("MIRAL", "PELVOEC" ...); nullptr for any other text.
const SeriesTraits* FindSeries(std::string_view name);
// The series the main window offers at an item of its series menu, its EC submenu or
// its EC chooser; nullptr for an item without a series.
const SeriesTraits* SeriesAtMenu(int mnuprod);
const SeriesTraits* SeriesAtEcMenu(int mnuprods);
const SeriesTraits* SeriesAtChooser(int cmdBLDC);

// The screen's caption for the series in the current language.
std::string SeriesCaption(const SeriesTraits& traits, const Session& session);

// The coefficient index k of a rule at speed step s.
int CoefficientIndex(StepIndex rule, int step);

}  // namespace vestra::screens
