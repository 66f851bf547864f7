#pragma once

// The window of the standard selection screen FDatiP: the cooling and heating panels,
// the fields both duties share, the speed and model lists and the series' boxes, on the
// window binder of every selection screen.

#include "screens/series_traits.h"
#include "screens/session.h"
#include "screens/standard_screen.h"
#include "screens/ui/desktop.h"
#include "screens/ui/screen_window.h"

class QGroupBox;
class QHBoxLayout;
class QVBoxLayout;

namespace vestra::ui {

class StandardWindow : public ScreenWindow {
 public:
  static constexpr const char* kName = "FDatiP";

  StandardWindow(screens::Session& session, Desktop desktop, const screens::SeriesTraits& traits,
                 QWidget* parent = nullptr);

  screens::StandardScreen& standard() { return *standard_; }

  QWidget* CoolingPanel() const;
  QWidget* HeatingPanel() const;
  // The heating panel spans the top edge of the screen.
  bool HeatingPanelDockedTop() const { return heatingDocked_; }

 protected:
  void OnPush() override;

 private:
  void Build();
  void DockHeatingPanel(bool top);

  screens::StandardScreen* standard_ = nullptr;
  QGroupBox* pnlFreddo_ = nullptr;
  QGroupBox* pnlCaldo_ = nullptr;
  QVBoxLayout* topDock_ = nullptr;
  QHBoxLayout* panelRow_ = nullptr;
  bool heatingDocked_ = false;
};

}  // namespace vestra::ui
