#pragma once

// The selection screen of the ducted units FDatiPXX (KELM, ZOPH): the recirculated and
// fresh air streams and their share, the accessories of the duct, the static pressure or
// the total air flow, the speed taps. The logic on plain values; the window binds to
// `form` and forwards its events here.

#include <optional>
#include <span>
#include <string_view>

#include "screens/ducted_rating.h"
#include "screens/field_rules.h"
#include "screens/form.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"

namespace vestra::screens {

// The largest total air flow the ducted screens take, m3/s (20000 m3/h): more than any
// unit of the catalogue moves.
inline constexpr double kMaxDuctedAirFlowM3s = 20000 / 3600.0;

class DuctedScreen : public ScreenBase {
 public:
  static constexpr std::string_view kName = "FDatiPXX";

  DuctedScreen(Session& session, ScreenUi& ui, const SeriesTraits& traits);

  DuctedForm form;

  std::string_view Name() const override { return kName; }
  CommonForm& Form() override { return form; }
  const CommonForm& Form() const override { return form; }

  void Form_Load() override;
  void Configure(const SeriesTraits& traits) override;
  void LoadModels(const std::function<void()>& pendingEvents = {}) override;

  void LostFocus(ControlRef control, ControlRef receivingFocus) override;
  void CheckBox_Click(ControlRef box, bool value) override;
  void ScrollBar_Change(ControlRef bar, int value) override;
  void UnitsChanged(const Settings& previous) override;
  std::span<const ControlRef> TabOrder() const override;

  void Scrollfreddo_Change();
  void ScrollCaldo_Change();
  void chkAcc_Click(int index);

  // Phase one of Calculate: what the controls hold (the legend's first entry and the
  // models' range set as a Calculate sets them). An unreadable static pressure or air
  // flow is a run-time error raised here.
  DuctedInputs ReadInputs();

 protected:
  CalculationResult Calculate() override;

 private:
  CommonFieldRules Rules();
  // The range checks of the streams' dry bulbs, the coupled moisture of each stream, the
  // static pressure and the total air flow as alternatives.
  bool StreamLostFocus(ControlRef control, ControlRef receivingFocus);
  MoistureFields Recirculated();
  MoistureFields Fresh();
};

// The ducted units with EC fans FDatiPXXEC (KELMBLDC, ZOPHBLDC): the ducted screen without
// speed taps; the total air flow (always in m3/h) is required and the static pressure is
// typed beside it, the working point found between the fan's steps.
class DuctedEcScreen : public DuctedScreen {
 public:
  static constexpr std::string_view kName = "FDatiPXXEC";

  DuctedEcScreen(Session& session, ScreenUi& ui, const SeriesTraits& traits);

  std::string_view Name() const override { return kName; }
  void Form_Load() override;
  void LostFocus(ControlRef control, ControlRef receivingFocus) override;
  void UnitsChanged(const Settings& previous) override;
  std::span<const ControlRef> TabOrder() const override;

  // Phase one of Calculate; nothing when the air flow is missing (the message in
  // `missing`).
  std::optional<DuctedInputs> ReadEcInputs(CalculationResult& missing);

  // The static pressure the last Calculate read, Pa, before it added the accessories'
  // losses: the fan curve chart's reference pressure.
  float LastStaticPressurePa() const { return lastStaticPressurePa_; }

 protected:
  CalculationResult Calculate() override;

 private:
  float lastStaticPressurePa_ = 0;
};

// The tab-separated text of an EC ducted screen's row.
std::string DuctedEcRowText(const RatedRow& row, bool coolWaterIsFlow, bool heatWaterIsFlow,
                            const Session& session);

// The tab-separated text of a ducted screen's row: the air flow or, with a total air flow
// typed, the static pressure left ("PSU").
std::string DuctedRowText(const RatedRow& row, bool pressureShown, bool coolWaterIsFlow,
                          bool heatWaterIsFlow, const Session& session);
// Resets the grid with the ducted screen's headings.
void PrepareResultsGrid(DuctedForm& form, const Session& session, bool allSpeeds,
                        bool pressureShown, bool coolWaterIsFlow, bool heatWaterIsFlow);

}  // namespace vestra::screens
