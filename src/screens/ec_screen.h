#pragma once

// The EC selection screens with a typed air flow: FDatiPEC (the EC fan coils MIRALEC and
// PELVOEC) and FDatiUmbra (the high-efficiency EC units UMBRA). They share the controls,
// the field rules and the coil rating; each finds its fan's working point its own way.

#include <span>
#include <string_view>

#include "screens/ec_rating.h"
#include "screens/field_rules.h"
#include "screens/form.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"

namespace vestra::screens {

// The largest air flow the EC screens take, m3/h: more than any unit of the catalogue.
inline constexpr float kMaxEcAirFlowM3h = 20000;

// The message of an air flow that was not given: a fixed text in every language.
inline constexpr const char* kAirFlowRequired = " Portata aria obbligatori";

class EcScreenBase : public ScreenBase {
 public:
  EcScreenBase(Session& session, ScreenUi& ui, const SeriesTraits& traits);

  EcForm form;

  CommonForm& Form() override { return form; }
  const CommonForm& Form() const override { return form; }

  void Form_Load() override;
  void Configure(const SeriesTraits& traits) override;
  void LoadModels(const std::function<void()>& pendingEvents = {}) override;
  void LostFocus(ControlRef control, ControlRef receivingFocus) override;
  void CheckBox_Click(ControlRef box, bool value) override;
  std::span<const ControlRef> TabOrder() const override;

  // Phase one of Calculate; nothing when the air flow is missing (the message shown and
  // the focus on the field, as Calculate's end).
  std::optional<EcInputs> ReadInputs(CalculationResult& missing);

 protected:
  // The headings of the screen's table.
  virtual void ResetResults(bool coolWaterIsFlow, bool heatWaterIsFlow) = 0;
  // The rating of the screen's series.
  virtual CalculationResult Rate(const EcInputs& inputs) = 0;
  virtual bool WithSpeedColumn() const = 0;
  CalculationResult Calculate() override;

 private:
  CommonFieldRules Rules();
};

class EcFanCoilScreen : public EcScreenBase {
 public:
  static constexpr std::string_view kName = "FDatiPEC";
  using EcScreenBase::EcScreenBase;
  std::string_view Name() const override { return kName; }

 protected:
  void ResetResults(bool coolWaterIsFlow, bool heatWaterIsFlow) override;
  CalculationResult Rate(const EcInputs& inputs) override;
  bool WithSpeedColumn() const override { return true; }
};

class UmbraScreen : public EcScreenBase {
 public:
  static constexpr std::string_view kName = "FDatiUmbra";
  using EcScreenBase::EcScreenBase;
  std::string_view Name() const override { return kName; }

 protected:
  void ResetResults(bool coolWaterIsFlow, bool heatWaterIsFlow) override;
  CalculationResult Rate(const EcInputs& inputs) override;
  bool WithSpeedColumn() const override { return false; }
};

// The tab-separated text of an EC screen's row.
std::string EcRowText(const RatedRow& row, bool withSpeedColumn, bool coolWaterIsFlow,
                      bool heatWaterIsFlow, const Session& session);

}  // namespace vestra::screens
