#include "screens/standard_screen.h"

#include <string>

#include "app/numbers.h"
#include "app/units.h"
#include "engine/errors.h"
#include "engine/numeric.h"
#include "screens/results_table.h"
#include "screens/tab_order.h"

namespace vestra::screens {

namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

StandardScreen::StandardScreen(Session& session, ScreenUi& ui, const SeriesTraits& traits)
    : ScreenBase(session, ui, traits) {
  RegisterCommonControls(form);
  controls_.Add(Control(Ctl::chkComeFreddo), form.chkComeFreddo, &form.pnlCaldo);
  controls_.Add(Control(Ctl::chkHX), form.chkHX);
  controls_.Add(Control(Ctl::chkFlap), form.chkFlap);
  controls_.Add(Control(Ctl::cboVel), form.cboVel);
}

CommonFieldRules StandardScreen::Rules() {
  return CommonFieldRules{form, &form.chkComeFreddo, Traits().pressureLimitPa, session_, ui_};
}

void StandardScreen::Form_Load() {
  const Session& s = session_;
  for (std::size_t i = 0; i < 2; ++i) {
    form.lblTbs[i].Caption = s.Text(83);
    form.lblTw1[i].Caption = s.Text(82);
    form.lblTw2[i].Caption = s.Text(94);
    form.lblQw[i].Caption = s.Text(48);
    form.lblumQw[i].Caption = std::string(ChosenUnit(s.settings, Quantity::kWaterFlow).name);
    form.txtTw2[i].ToolTipText = s.Text(22);
    form.txtQw[i].ToolTipText = s.Text(23);
  }
  form.pnlFreddo.Caption = s.Text(62);
  form.pnlCaldo.Caption = s.Text(65);
  form.lbltbu.Caption = s.Text(81);
  form.lblUR.Caption = s.Text(85);
  form.lblglic.Caption = s.Text(95);
  form.lblPsu.Caption = s.Text(58);
  form.lblumDpa.Caption = std::string(ChosenUnit(s.settings, Quantity::kAirPressure).name);
  form.txtpsu.ToolTipText = s.Text(63);
  form.cmdCalcola.Caption = s.Text(15);
  form.cmdCalcola.ToolTipText = s.Text(15);
  form.CmdFine.Caption = s.Text(30);
  form.CmdFine.ToolTipText = s.Text(67);
  form.cmdStampa.Caption = s.Text(74);
  form.cmdStampa.Visible = true;
  form.cmdLegend.Caption = "Legenda";
  form.cmdLegend.Visible = false;
  form.lblModello.Caption = s.Text(40);
  form.frmPressione.Caption = s.Text(57);
  form.lblDistanza.Caption = s.Text(157) + " (mt)";
  form.lblDirezione.Caption = s.Text(158);
  form.cboDirezione.List = {"2", "4", "8"};
  form.cboDirezione.ListIndex = 1;
  form.chkHX.Caption = s.Text(14);
  form.chkFlap.Caption = s.Text(171);
  form.lblVel.Caption = s.Text(86);
  const SpeedSteps& speeds = Traits().speeds;
  form.cboVel.List = {s.Text(84)};
  for (const std::string_view step : speeds.steps) form.cboVel.List.emplace_back(step);
  form.cboVel.ListIndex = speeds.selected;
  FillStandardLegend(form, Traits(), s);
  form.Grd = ResultsGrid{};
}

void StandardScreen::Configure(const SeriesTraits& traits) {
  SetTraits(traits);
  form.pnlFreddo.Visible = traits.coolingPanel;
  form.lblPsu.Enabled = traits.staticPressure;
  form.txtpsu.Enabled = traits.staticPressure;
  form.chkHX.Visible = traits.additionalCoilBox;
  form.chkComeFreddo.Visible = traits.cooling;
  form.chkFlap.Visible = traits.flapBox;
  form.lblglic.Enabled = traits.glycol;
  form.txtGlic.Enabled = traits.glycol;
  form.pnlCaldo.AlignTop = traits.heatingPanelTop;
  form.Caption = SeriesCaption(traits, session_);
}

void StandardScreen::LoadModels(const std::function<void()>& pendingEvents) {
  form.cboModel.List =
      LoadSeriesTable(Traits().table, *session_.store, session_.models, session_.constants,
                      session_.rating, session_.Text(84), pendingEvents);
  form.cboModel.ListIndex = 0;
}

std::span<const ControlRef> StandardScreen::TabOrder() const {
  return StandardTabOrder();
}

void StandardScreen::CheckBox_Click(ControlRef box, bool value) {
  CheckBox* check = Check(box);
  if (!check || check->Value == value) return;
  check->Value = value;
  if (box.name == Ctl::chkComeFreddo) chkComeFreddo_Click();
}

void StandardScreen::LostFocus(ControlRef field, ControlRef receivingFocus) {
  Rules().LostFocus(field, receivingFocus);
}

void StandardScreen::chkComeFreddo_Click() {
  Rules().chkComeFreddo_Click();
}

StandardInputs StandardScreen::ReadInputs() {
  const Session& s = session_;
  const SeriesTraits& traits = Traits();
  StandardInputs in;
  in.speedEntries = form.cboVel.List;
  in.allSpeeds = form.cboVel.ListIndex == 0;

  // 2. External static pressure, Pa.
  if (form.txtpsu.Text.empty()) form.txtpsu.Text = "0";
  in.extPressurePa = Sng(LocaleSingle(form.txtpsu.Text, s.Decimal()) /
                         double{ChosenUnit(s.settings, Quantity::kAirPressure).factor});

  // 3. Models: all, or the chosen one; an additional-coil model brings its partner.
  in.firstModel = 1;
  in.lastModel = s.models.ModelCount;
  if (const int i = form.cboModel.ListIndex; i > 0) {
    in.firstModel = in.lastModel = i;
    if (EndsWith(form.cboModel.Text(), traits.pairs.pair)) {
      in.lastModel = i + 1;
      form.chkHX.Value = true;
    } else if (i > 1 && EndsWith(s.models.TabModello(i), traits.pairs.partner)) {
      // The partner alone has no cooling of its own: rate the pair it belongs to.
      in.firstModel = i - 1;
      form.chkHX.Value = true;
    }
  }

  // 4. Speeds: all (outer loop), or the chosen one.
  in.firstSpeed = in.lastSpeed = form.cboVel.ListIndex;
  if (in.allSpeeds) {
    in.firstSpeed = 1;
    in.lastSpeed = form.cboVel.ListCount() - 1;
  }

  in.additionalCoils = form.chkHX.Value;
  in.flapOpen = form.chkFlap.Value;
  in.comeFreddo = form.chkComeFreddo.Value;
  in.cooling = ReadDutyInputs(form, 0, form.chkComeFreddo.Value, s);
  in.heating = ReadDutyInputs(form, 1, form.chkComeFreddo.Value, s);
  in.distanceM =
      Deferred<float>::Of([&] { return LocaleSingle(form.txtDistanza.Text, s.Decimal()); });
  if (const FieldNumber distance = ReadFieldNumber(form.txtDistanza, s);
      distance.kind == FieldNumber::kValue && distance.value <= 0)
    in.distanceProblem = ScreenMessage{RangeText(kMinDistanceM, kMaxDistanceM, "m", s),
                                       Icon::kError, Control(Ctl::txtDistanza)};
  in.directivity = Deferred<std::int16_t>::Of(
      [&] { return CInt(LocaleNumber(form.cboDirezione.Text(), s.Decimal())); });
  return in;
}

CalculationResult StandardScreen::Calculate() {
  const bool allSpeeds = form.cboVel.ListIndex == 0;
  const bool coolWaterIsFlow = IsPositive(form.txtTw2[0]);
  const bool heatWaterIsFlow = IsPositive(form.txtTw2[1]);

  // 1. The grid with its headings.
  ResetStandardResults(form, Traits(), session_, allSpeeds, coolWaterIsFlow, heatWaterIsFlow);
  const StandardInputs inputs = ReadInputs();
  CalculationResult result =
      RateStandardSeries(Traits(), inputs, session_, [this] { ui_.ProcessPendingEvents(); });
  for (const RatedRow& row : result.rows)
    form.Grd.AddItem(StandardRowText(row, Traits(), coolWaterIsFlow, heatWaterIsFlow, session_));
  // A calculation that ran to its end keeps the headings in view.
  if (!result.message) form.Grd.FixedRows = 2;
  form.LastCheckResult = result.message && result.message->focus ? 0 : 1;
  return result;
}

}  // namespace vestra::screens
