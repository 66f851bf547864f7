#include "screens/dispatch.h"

#include "screens/ducted_screen.h"
#include "screens/ec_screen.h"
#include "screens/standard_screen.h"

namespace vestra::screens {

void PrepareDispatch(Session& session, const SeriesTraits& traits) {
  session.settings.CurrentSeries = std::string(traits.code);
  if (traits.setsReTransMode) session.settings.ReTransMode = 2;
}

std::unique_ptr<SelectionScreen> CreateScreen(Session& session, ScreenUi& ui,
                                              const SeriesTraits& traits) {
  std::unique_ptr<SelectionScreen> screen;
  switch (traits.screen) {
    case ScreenKind::kStandard:
      screen = std::make_unique<StandardScreen>(session, ui, traits);
      break;
    case ScreenKind::kEcFanCoil:
      screen = std::make_unique<EcFanCoilScreen>(session, ui, traits);
      break;
    case ScreenKind::kHighEfficiencyEc:
      screen = std::make_unique<UmbraScreen>(session, ui, traits);
      break;
    case ScreenKind::kDucted:
      screen = std::make_unique<DuctedScreen>(session, ui, traits);
      break;
    case ScreenKind::kEcDucted:
      screen = std::make_unique<DuctedEcScreen>(session, ui, traits);
      break;
  }
  if (screen) screen->Form_Load();
  return screen;
}

std::unique_ptr<SelectionScreen> DispatchSeries(Session& session, ScreenUi& ui,
                                                const SeriesTraits& traits) {
  PrepareDispatch(session, traits);
  std::unique_ptr<SelectionScreen> screen = CreateScreen(session, ui, traits);
  if (!screen) return nullptr;
  screen->Configure(traits);
  screen->LoadModels();
  return screen;
}

}  // namespace vestra::screens
