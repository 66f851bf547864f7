#pragma once

// The standard selection screen FDatiP: fixed-speed fan coils, cassettes, unit heaters
// and the two-in-one series. The logic on plain values; the window binds to `form` and
// forwards its events here.

#include <span>
#include <string_view>

#include "screens/field_rules.h"
#include "screens/form.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"
#include "screens/standard_rating.h"

namespace vestra::screens {

class StandardScreen : public ScreenBase {
 public:
  static constexpr std::string_view kName = "FDatiP";

  StandardScreen(Session& session, ScreenUi& ui, const SeriesTraits& traits);

  StandardForm form;

  std::string_view Name() const override { return kName; }
  CommonForm& Form() override { return form; }
  const CommonForm& Form() const override { return form; }

  void Form_Load() override;
  void Configure(const SeriesTraits& traits) override;
  void LoadModels(const std::function<void()>& pendingEvents = {}) override;

  void LostFocus(ControlRef control, ControlRef receivingFocus) override;
  void CheckBox_Click(ControlRef box, bool value) override;
  void chkComeFreddo_Click();
  std::span<const ControlRef> TabOrder() const override;

  // Phase one of Calculate: what the controls hold, read and checked (the grid is not
  // touched). An unreadable static pressure is a run-time error raised here.
  StandardInputs ReadInputs();

 protected:
  CalculationResult Calculate() override;

 private:
  CommonFieldRules Rules();
};

}  // namespace vestra::screens
