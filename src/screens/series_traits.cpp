#include "screens/series_traits.h"

#include <array>

namespace vestra::screens {

namespace {

using namespace std::string_view_literals;

constexpr std::array kThreeSpeeds{"Min"sv, "Med"sv, "Max"sv};
constexpr std::array kTorvaPoles{"10p"sv, "8p"sv, "6p"sv, "4p"sv};
constexpr std::array kTorvaModelPoles{"10p"sv, " 8p"sv, " 6p"sv, " 4p"sv};
constexpr std::array kQ70Poles{"8p"sv, "6p"sv, "4p"sv};
constexpr std::array kQ70ModelPoles{"8"sv, "6"sv, "4"sv};
constexpr std::array kDarneSteps{"Conv."sv, "Super Min"sv, "Min"sv, "Med"sv, "Max"sv};
constexpr std::array kSixSpeeds{"1"sv, "2"sv, "3"sv, "4"sv, "5"sv, "6"sv};
constexpr std::array kFourSpeeds{"1"sv, "2"sv, "3"sv, "4"sv};
// The EC unit heaters' fan signal, 15 % to 100 % of 10 V in steps of 5 %.
constexpr std::array kSignalSteps{"15%"sv, "20%"sv, "25%"sv, "30%"sv, "35%"sv, "40%"sv,
                                  "45%"sv, "50%"sv, "55%"sv, "60%"sv, "65%"sv, "70%"sv,
                                  "75%"sv, "80%"sv, "85%"sv, "90%"sv, "95%"sv, "100%"sv};

constexpr std::array kSevenSpeeds{"1"sv, "2"sv, "3"sv, "4"sv, "5"sv, "6"sv, "7"sv};
// The ducted units' accessories: the additional heating coil first, then plenums, filters,
// dampers and grilles.
constexpr std::array kKelmAccessories{"HX"sv,    "KB/R"sv,  "KB/RO"sv, "TU"sv, "LQ5"sv,
                                      "VDN A"sv, "VDN M"sv, "VX50"sv,  ""sv,   ""sv};
constexpr std::array kZophAccessories{"YHX"sv,  "VKB"sv, "VKBT"sv, "VKR"sv, "Y50"sv,
                                      "Y50T"sv, "NW"sv,  "JOL"sv,  "EB"sv,  "EV"sv};

// The coefficients of the fan coils rated per speed.
constexpr DutyCoefficients kPerSpeedCooling{.bypass = StepIndex::kStep, .air = StepIndex::kStep};
constexpr DutyCoefficients kPerSpeedHeating{.air = StepIndex::kStep};
constexpr DutyCoefficients kPerSpeedHeatingOwnHeader{.header = HeaderTable::kCCC50,
                                                     .air = StepIndex::kStep};

const std::array kSeries{
    SeriesTraits{
        .name = "TORVA",
        .code = "TORVA",
        .table = Series::TORVA,
        .menu = {.mnuprod = 0},
        .caption = {.text = 6, .withCode = true},
        .additionalCoilBox = true,
        .speeds = {kTorvaPoles, 4},
        .airFlow = AirFlowRule::kModelPerStep,
        .stepModelSuffixes = kTorvaModelPoles,
        .airCoefWithoutData = 42.2f,
        .sound = SoundSource::kPerModel,
        .mountingColumns = true,
    },
    SeriesTraits{
        .name = "Q70",
        .code = "Q70",
        .table = Series::Q70,
        .menu = {.mnuprod = 1},
        .caption = {.text = 6, .withCode = true},
        .coolingPanel = false,
        .heatingPanelTop = true,
        .glycol = false,
        .setsReTransMode = false,
        .speeds = {kQ70Poles, 3},
        .airFlow = AirFlowRule::kNominalHeater,
        .stepModelSuffixes = kQ70ModelPoles,
        .cooling = false,
        .heatingCoefficients = {.header = HeaderTable::kCCC50},
        .sound = SoundSource::kPerModel,
    },
    SeriesTraits{
        .name = "MIRAL",
        .code = "MIRAL",
        .table = Series::MIRAL,
        .menu = {.mnuprod = 2},
        .caption = {.text = 87},
        .staticPressure = true,
        .speeds = {kThreeSpeeds, 3},
        .airFlow = AirFlowRule::kFanCurveAtPressure,
        .coolingCoefficients = kPerSpeedCooling,
        .heatingCoefficients = kPerSpeedHeating,
        .absorbedPowerColumn = true,
        .localisedPowerLegend = true,
    },
    SeriesTraits{
        .name = "VELD",
        .code = "VELD",
        .table = Series::VELD,
        .menu = {.mnuprod = 3},
        .caption = {.text = 88},
        .additionalCoilBox = false,
        .speeds = {kThreeSpeeds, 3},
        .airFlow = AirFlowRule::kSplitByDuty,
        .freeBlowingFlows = true,
        .coolingCoefficients = {.exponent = ExponentTable::kFX31},
        .heatingCoefficients = {.header = HeaderTable::kCCC50, .exponent = ExponentTable::kCX31},
    },
    SeriesTraits{
        .name = "KELM",
        .code = "KELM",
        .table = Series::KELM,
        .screen = ScreenKind::kDucted,
        .menu = {.mnuprod = 4},
        .caption = {.text = 124},
        .staticPressure = true,
        .pressureLimitPa = 250,
        .speeds = {kThreeSpeeds, 3},
        .heatingCoefficients = {.header = HeaderTable::kCCC50},
        .accessoryCaptions = kKelmAccessories,
        .exclusivePlenums = true,
    },
    SeriesTraits{
        .name = "BRISK",
        .code = "BRISK",
        .table = Series::BRISK,
        .menu = {.mnuprod = 5},
        .caption = {.text = 136},
        .speeds = {kThreeSpeeds, 3},
        .airFlow = AirFlowRule::kCatalogueM3s,
        .coolingCoefficients = {.air = StepIndex::kStep},
        .heatingCoefficients = kPerSpeedHeatingOwnHeader,
        .tubes = TubeRule::kFromTable,
    },
    SeriesTraits{
        .name = "LUMO",
        .code = "LUMO",
        .table = Series::LUMO,
        .menu = {.mnuprod = 6},
        .caption = {.text = 137},
        .additionalCoilBox = false,
        .speeds = {kThreeSpeeds, 3},
        .airFlow = AirFlowRule::kCatalogueM3s,
        .coolingCoefficients = kPerSpeedCooling,
        .heatingCoefficients = kPerSpeedHeatingOwnHeader,
    },
    SeriesTraits{
        .name = "ZOPH",
        .code = "ZOPH",
        .table = Series::ZOPH,
        .screen = ScreenKind::kDucted,
        .menu = {.mnuprod = 7},
        .caption = {.text = 156},
        .staticPressure = true,
        .pressureLimitPa = 80,
        .speeds = {kSevenSpeeds, 3},
        .heatingCoefficients = {.header = HeaderTable::kCCC50},
        .accessoryCaptions = kZophAccessories,
    },
    SeriesTraits{
        .name = "DARNE",
        .code = "DARNE",
        .table = Series::DARNE,
        .menu = {.mnuprod = 8},
        .caption = {.suffix = "DARNE"},
        .flapBox = true,
        .speeds = {kDarneSteps, 5},
        .airFlow = AirFlowRule::kTwoInOne,
        .coolingCoefficients = {.air = StepIndex::kStepBefore},
        .heatingCoefficients = {.header = HeaderTable::kCCC50,
                                .air = StepIndex::kStepBefore,
                                .lengthFromDeltaL = true},
        .wetSensibleFactor = true,
        .pairs = {"4T", "4T*"},
        .naturalConvectionStep = true,
        // The small radiator drops of the fan-off step need two decimals.
        .heatingDropFormat = "0.00",
    },
    SeriesTraits{
        .name = "MIRALP",
        .code = "MIRALP",
        .table = Series::MIRALP,
        .menu = {.mnuprod = 9},
        .caption = {.text = 87, .suffix = "P"},
        .staticPressure = true,
        .speeds = {kSixSpeeds, 3},
        .airFlow = AirFlowRule::kFanCurveAtPressure,
        .coolingCoefficients = kPerSpeedCooling,
        .heatingCoefficients = kPerSpeedHeating,
        .absorbedPowerColumn = true,
        .localisedPowerLegend = true,
    },
    SeriesTraits{
        .name = "PELVO",
        .code = "PELVO",
        .table = Series::PELVO,
        .menu = {.mnuprod = 10},
        .caption = {.text = 139, .suffix = " Pelvo"},
        .staticPressure = true,
        .speeds = {kThreeSpeeds, 3},
        .airFlow = AirFlowRule::kCatalogueM3h,
        .coolingCoefficients = kPerSpeedCooling,
        .heatingCoefficients = kPerSpeedHeating,
    },
    SeriesTraits{
        .name = "QUIVO",
        .code = "QUIVO",
        .table = Series::QUIVO,
        .menu = {.mnuprod = 12},
        .caption = {.suffix = "Cassette QUIVO"},
        .staticPressure = true,
        .speeds = {kFourSpeeds, 3},
        .airFlow = AirFlowRule::kCatalogueM3s,
        .freeBlowingFlows = true,
        .coolingCoefficients = {.air = StepIndex::kStep},
        .heatingCoefficients = kPerSpeedHeatingOwnHeader,
        .tubes = TubeRule::kFromTable,
        .coolingWaterSideFloor = true,
        .absorbedPowerColumn = true,
    },
    SeriesTraits{
        .name = "NARTE",
        .code = "NARTE",
        .table = Series::NARTE,
        .menu = {.mnuprod = 13},
        .caption = {.text = 137},
        .additionalCoilBox = false,
        .speeds = {kThreeSpeeds, 3},
        .airFlow = AirFlowRule::kCatalogueM3s,
        .coolingCoefficients = kPerSpeedCooling,
        .heatingCoefficients = kPerSpeedHeating,
        .tubes = TubeRule::kNarrowFirstModel,
    },
    SeriesTraits{
        .name = "MIRALEC",
        .code = "MIRALEC",
        .table = Series::MIRALEC,
        .screen = ScreenKind::kEcFanCoil,
        .menu = {.mnuprods = 1, .chooser = 1},
        .caption = {.text = 139, .suffix = " Miral EC"},
        .staticPressure = true,
        .pressureLimitPa = 100,
        .absorbedPowerColumn = true,
    },
    SeriesTraits{
        .name = "PELVOEC",
        .code = "MIRALEC",  // the Pelvo EC units are rated as the Miral EC units
        .table = Series::PELVOEC,
        .screen = ScreenKind::kEcFanCoil,
        .menu = {.mnuprods = 5, .chooser = 5},
        .caption = {.text = 139, .suffix = " Pelvo EC"},
        .staticPressure = true,
        .pressureLimitPa = 100,
        .absorbedPowerColumn = true,
    },
    SeriesTraits{
        .name = "UMBRA",
        .code = "UMBRA",
        .table = Series::UMBRA,
        .screen = ScreenKind::kHighEfficiencyEc,
        .menu = {.mnuprods = 4, .chooser = 4},
        .caption = {.suffix = "UMBRA"},
        .staticPressure = true,
        .pressureLimitPa = 100,
        .absorbedPowerColumn = true,
    },
    SeriesTraits{
        .name = "KELMBLDC",
        .code = "KELMBLDC",
        .table = Series::KELMBLDC,
        .screen = ScreenKind::kEcDucted,
        .menu = {.mnuprods = 3, .chooser = 3},
        .caption = {.text = 124},
        .staticPressure = true,
        .pressureLimitPa = 250,
        .heatingCoefficients = {.header = HeaderTable::kCCC50},
        .absorbedPowerColumn = true,
        .accessoryCaptions = kKelmAccessories,
        .exclusivePlenums = true,
    },
    SeriesTraits{
        .name = "ZOPHBLDC",
        .code = "ZOPHBLDC",
        .table = Series::ZOPHBLDC,
        .screen = ScreenKind::kEcDucted,
        .menu = {.mnuprods = 2, .chooser = 2},
        .caption = {.text = 156},
        .staticPressure = true,
        .pressureLimitPa = 80,
        .heatingCoefficients = {.header = HeaderTable::kCCC50},
        .absorbedPowerColumn = true,
        .accessoryCaptions = kZophAccessories,
    },
    SeriesTraits{
        .name = "TORVAEC",
        .code = "TORVAEC",
        .table = Series::TORVAEC,
        .menu = {.mnuprods = 6},
        .caption = {.text = 6, .withCode = true},
        .speeds = {kSignalSteps, 1},
        .airFlow = AirFlowRule::kEcSignal,
        .airCoefWithoutData = 42.2f,
        .coolingFaceVelocityLimit = 2.5f,
        .sound = SoundSource::kEcSignal,
        .absorbedPowerColumn = true,
    },
};

}  // namespace

std::string_view ScreenName(ScreenKind screen) {
  switch (screen) {
    case ScreenKind::kStandard:
      return "FDatiP";
    case ScreenKind::kEcFanCoil:
      return "FDatiPEC";
    case ScreenKind::kHighEfficiencyEc:
      return "FDatiUmbra";
    case ScreenKind::kDucted:
      return "FDatiPXX";
    case ScreenKind::kEcDucted:
      return "FDatiPXXEC";
  }
  return "";
}

std::span<const SeriesTraits> AllSeriesTraits() {
  return kSeries;
}

const SeriesTraits* FindSeries(std::string_view name) {
  for (const SeriesTraits& traits : kSeries)
    if (traits.name == name) return &traits;
  return nullptr;
}

const SeriesTraits* SeriesAtMenu(int mnuprod) {
  for (const SeriesTraits& traits : kSeries)
    if (mnuprod >= 0 && traits.menu.mnuprod == mnuprod) return &traits;
  return nullptr;
}

const SeriesTraits* SeriesAtEcMenu(int mnuprods) {
  for (const SeriesTraits& traits : kSeries)
    if (mnuprods >= 0 && traits.menu.mnuprods == mnuprods) return &traits;
  return nullptr;
}

const SeriesTraits* SeriesAtChooser(int cmdBLDC) {
  for (const SeriesTraits& traits : kSeries)
    if (cmdBLDC >= 0 && traits.menu.chooser == cmdBLDC) return &traits;
  return nullptr;
}

std::string SeriesCaption(const SeriesTraits& traits, const Session& session) {
  std::string caption;
  if (traits.caption.text > 0) caption = session.Text(traits.caption.text);
  caption += traits.caption.suffix;
  if (traits.caption.withCode) caption += " " + std::string(traits.code);
  return caption;
}

int CoefficientIndex(StepIndex rule, int step) {
  switch (rule) {
    case StepIndex::kFirst:
      return 1;
    case StepIndex::kStep:
      return step;
    case StepIndex::kStepBefore:
      return step - 1;
  }
  return 1;
}

}  // namespace vestra::screens
