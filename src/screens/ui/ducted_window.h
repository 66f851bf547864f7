#pragma once

// The window of the ducted units' screen FDatiPXX: the model, speed, air flow, static
// pressure and glycol along the top with the accessories; on each panel the recirculated
// and the fresh air stream with the slider of their shares between them, then the water;
// on the window binder of every selection screen.

#include "screens/ducted_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"
#include "screens/ui/desktop.h"
#include "screens/ui/screen_window.h"

class QGroupBox;

namespace vestra::ui {

class DuctedWindow : public ScreenWindow {
 public:
  static constexpr const char* kName = "FDatiPXX";

  DuctedWindow(screens::Session& session, Desktop desktop, const screens::SeriesTraits& traits,
               QWidget* parent = nullptr);

  screens::DuctedScreen& ducted() { return *ducted_; }

 protected:
  // The window of a screen built on the ducted one (its own screen), laid out alike.
  DuctedWindow(screens::Session& session, Desktop desktop,
               const std::function<std::unique_ptr<screens::SelectionScreen>(screens::ScreenUi&)>&
                   makeScreen,
               QWidget* parent);
  void Build();

 private:
  QGroupBox* BuildPanel(int duty);

  screens::DuctedScreen* ducted_ = nullptr;
};

}  // namespace vestra::ui
