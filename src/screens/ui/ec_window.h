#pragma once

// The window of the EC screens FDatiPEC and FDatiUmbra: the cooling and heating panels,
// the fields both duties share with the air flow to deliver, the model list and the
// additional-coil box, on the window binder of every selection screen.

#include "screens/ec_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"
#include "screens/ui/desktop.h"
#include "screens/ui/screen_window.h"

namespace vestra::ui {

class EcWindow : public ScreenWindow {
 public:
  EcWindow(screens::Session& session, Desktop desktop, const screens::SeriesTraits& traits,
           QWidget* parent = nullptr);

  screens::EcScreenBase& ec() { return *ec_; }

 private:
  void Build();

  screens::EcScreenBase* ec_ = nullptr;
};

}  // namespace vestra::ui
