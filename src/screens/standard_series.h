#pragma once

// How the standard selection screen is set up for each of its twelve series: the series
// code the screens branch on, the model table to load, the caption, which panels, fields
// and boxes are shown or enabled, and the speed list.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/loaders.h"
#include "screens/form.h"
#include "screens/session.h"

namespace vestra::screens {

struct StandardSeriesConfig {
  std::string_view code;   // CurrentSeries
  Series series;           // the model table
  int menuIndex;           // mnuprod index; -1 for the EC menu's entry
  // Caption: Text(captionText) (none when 0), then captionSuffix, then the code when
  // captionWithCode (" " + code).
  int captionText;
  std::string_view captionSuffix;
  bool captionWithCode;
  bool coolingPanel;           // pnlFreddo shown
  bool staticPressureEnabled;  // lblPsu, txtpsu
  bool chkHXVisible;
  bool chkFlapVisible;
  bool glycolEnabled;          // lblglic, txtGlic
  bool heatingPanelTop;        // pnlCaldo docked to the top edge
  bool setsReTransMode;        // every dispatch but Q70's sets ReTransMode to 2
};

std::span<const StandardSeriesConfig> StandardSeries();
// The configuration of a series code ("MIRAL", "TORVAEC" ...); nothing for another code.
const StandardSeriesConfig* FindStandardSeries(std::string_view code);

// The screen's caption for the series in the current language.
std::string StandardCaption(const StandardSeriesConfig& config, const Session& session);

// The speed list of the series: entry 0 is "* Tutto" (text 84), then the speed steps;
// and the entry selected at load.
struct SpeedList {
  std::vector<std::string> entries;
  int selected;
};
SpeedList StandardSpeedList(std::string_view currentSeries, const Session& session);

}  // namespace vestra::screens
