#include "screens/standard_series.h"

#include <array>

namespace vestra::screens {

namespace {

constexpr std::array<StandardSeriesConfig, 12> kSeries{{
    // code, series, menu, caption text, suffix, +code, cooling, psu, HX, flap, glycol, top, ReTrans
    {"TORVA", Series::TORVA, 0, 6, "", true, true, false, true, false, true, false, true},
    {"Q70", Series::Q70, 1, 6, "", true, false, false, true, false, false, true, false},
    {"MIRAL", Series::MIRAL, 2, 87, "", false, true, true, true, false, true, false, true},
    {"VELD", Series::VELD, 3, 88, "", false, true, false, false, false, true, false, true},
    {"BRISK", Series::BRISK, 5, 136, "", false, true, false, true, false, true, false, true},
    {"LUMO", Series::LUMO, 6, 137, "", false, true, false, false, false, true, false, true},
    {"DARNE", Series::DARNE, 8, 0, "DARNE", false, true, false, true, true, true, false, true},
    {"MIRALP", Series::MIRALP, 9, 87, "P", false, true, true, true, false, true, false, true},
    {"PELVO", Series::PELVO, 10, 139, " Pelvo", false, true, true, true, false, true, false, true},
    {"QUIVO", Series::QUIVO, 12, 0, "Cassette QUIVO", false, true, true, true, false, true, false,
     true},
    {"NARTE", Series::NARTE, 13, 137, "", false, true, false, false, false, true, false, true},
    {"TORVAEC", Series::TORVAEC, -1, 6, "", true, true, false, true, false, true, false, true},
}};

}  // namespace

std::span<const StandardSeriesConfig> StandardSeries() { return kSeries; }

const StandardSeriesConfig* FindStandardSeries(std::string_view code) {
  for (const StandardSeriesConfig& config : kSeries)
    if (config.code == code) return &config;
  return nullptr;
}

std::string StandardCaption(const StandardSeriesConfig& config, const Session& session) {
  std::string caption;
  if (config.captionText > 0) caption = session.Text(config.captionText);
  caption += config.captionSuffix;
  if (config.captionWithCode) caption += " " + std::string(config.code);
  return caption;
}

SpeedList StandardSpeedList(std::string_view currentSeries, const Session& session) {
  SpeedList list{{session.Text(84)}, 3};
  auto add = [&](std::initializer_list<const char*> entries) {
    for (const char* entry : entries) list.entries.emplace_back(entry);
  };
  if (currentSeries == "TORVA") {
    add({"10p", "8p", "6p", "4p"});  // motor poles
    list.selected = 4;
  } else if (currentSeries == "TORVAEC") {
    for (int percent = 15; percent <= 100; percent += 5)  // fan signal
      list.entries.push_back(std::to_string(percent) + "%");
    list.selected = 1;
  } else if (currentSeries == "Q70") {
    add({"8p", "6p", "4p"});
    list.selected = 3;
  } else if (currentSeries == "DARNE") {
    add({"Conv.", "Super Min", "Min", "Med", "Max"});
    list.selected = 5;
  } else if (currentSeries == "MIRALP") {
    add({"1", "2", "3", "4", "5", "6"});
    list.selected = 3;
  } else if (currentSeries == "QUIVO") {
    add({"1", "2", "3", "4"});
    list.selected = 3;
  } else {
    add({"Min", "Med", "Max"});
    list.selected = 3;
  }
  return list;
}

}  // namespace vestra::screens
