#include "screens/ec_screen.h"

#include <array>
#include <cmath>
#include <string>

#include "app/numbers.h"
#include "app/units.h"
#include "engine/errors.h"
#include "engine/numeric.h"
#include "screens/results_table.h"

namespace vestra::screens {

namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

EcScreenBase::EcScreenBase(Session& session, ScreenUi& ui, const SeriesTraits& traits)
    : ScreenBase(session, ui, traits) {
  RegisterCommonControls(form);
  controls_.Add(Control(Ctl::txtqatot), form.txtqatot);
  controls_.Add(Control(Ctl::chkHX), form.chkHX);
  controls_.Add(Control(Ctl::cmdGrafico), form.cmdGrafico);
}

CommonFieldRules EcScreenBase::Rules() {
  return CommonFieldRules{form, nullptr, Traits().pressureLimitPa, session_, ui_};
}

void EcScreenBase::Form_Load() {
  const Session& s = session_;
  EcForm& f = form;
  session_.chart.ChartOwner = std::string(Name());
  for (std::size_t i = 0; i < 2; ++i) {
    f.lblTbs[i].Caption = s.Text(83);
    f.lblTw1[i].Caption = s.Text(82);
    f.lblTw2[i].Caption = s.Text(94);
    f.lblQw[i].Caption = s.Text(48);
    f.lblumQw[i].Caption = std::string(ChosenUnit(s.settings, Quantity::kWaterFlow).name);
    f.txtTw2[i].ToolTipText = s.Text(22);
    f.txtQw[i].ToolTipText = s.Text(23);
  }
  f.pnlFreddo.Caption = s.Text(62);
  f.pnlCaldo.Caption = s.Text(65);
  f.lbltbu.Caption = s.Text(81);
  f.lblUR.Caption = s.Text(85);
  f.lblglic.Caption = s.Text(95);
  f.lblPsu.Caption = s.Text(58);
  f.lblumDpa.Caption = std::string(ChosenUnit(s.settings, Quantity::kAirPressure).name);
  f.txtpsu.ToolTipText = s.Text(63);
  f.lblQaTot.Caption = s.Text(49);
  f.cmdCalcola.Caption = s.Text(15);
  f.cmdCalcola.ToolTipText = s.Text(15);
  f.CmdFine.Caption = s.Text(30);
  f.CmdFine.ToolTipText = s.Text(67);
  f.cmdStampa.Caption = s.Text(74);
  f.cmdStampa.Visible = true;
  f.cmdLegend.Caption = "Legenda";
  f.cmdLegend.Visible = false;
  f.cmdGrafico.Caption = "Grafico";
  f.cmdGrafico.Visible = false;
  f.lblModello.Caption = s.Text(40);
  f.frmPressione.Caption = s.Text(57);
  f.lblDistanza.Caption = s.Text(157) + " (mt)";
  f.lblDirezione.Caption = s.Text(158);
  f.cboDirezione.List = {"2", "4", "8"};
  f.cboDirezione.ListIndex = 1;
  f.chkHX.Caption = s.Text(14);
  FillEcLegend(f, s);
  f.Grd = ResultsGrid{};
}

void EcScreenBase::Configure(const SeriesTraits& traits) {
  SetTraits(traits);
  form.chkHX.Visible = traits.additionalCoilBox;
  form.pnlFreddo.Visible = traits.coolingPanel;
  form.lblPsu.Enabled = traits.staticPressure;
  form.txtpsu.Enabled = traits.staticPressure;
  form.Caption = SeriesCaption(traits, session_);
}

void EcScreenBase::LoadModels(const std::function<void()>& pendingEvents) {
  form.cboModel.List =
      LoadSeriesTable(Traits().table, *session_.store, session_.models, session_.constants,
                      session_.rating, session_.Text(84), pendingEvents);
  form.cboModel.ListIndex = 0;
}

std::span<const ControlRef> EcScreenBase::TabOrder() const {
  static constexpr std::array<ControlRef, 26> kOrder{{
      {Ctl::txtTsa1, 0},       {Ctl::txtTbu, -1},     {Ctl::txtUr, -1},      {Ctl::txtTw1, 0},
      {Ctl::txtTw2, 0},        {Ctl::txtQw, 0},       {Ctl::txtTsa1, 1},     {Ctl::txtTw1, 1},
      {Ctl::txtTw2, 1},        {Ctl::txtQw, 1},       {Ctl::txtGlic, -1},    {Ctl::txtpsu, -1},
      {Ctl::txtqatot, -1},     {Ctl::cboModel, -1},   {Ctl::chkHX, -1},      {Ctl::txtDistanza, -1},
      {Ctl::cboDirezione, -1}, {Ctl::txtReq, 0},      {Ctl::txtReq, 1},      {Ctl::txtReq, 2},
      {Ctl::txtReq, 3},        {Ctl::cmdCalcola, -1}, {Ctl::cmdGrafico, -1}, {Ctl::cmdStampa, -1},
      {Ctl::cmdLegend, -1},    {Ctl::CmdFine, -1},
  }};
  return kOrder;
}

void EcScreenBase::LostFocus(ControlRef field, ControlRef receivingFocus) {
  if (field.name == Ctl::txtqatot) {
    // The air flow is always typed in m3/h; it takes no negative value.
    form.LastCheckResult = CheckFieldRange(form.txtqatot, field, 0, kMaxEcAirFlowM3h, "m3/h", true,
                                           receivingFocus, session_, ui_);
    return;
  }
  Rules().LostFocus(field, receivingFocus);
}

void EcScreenBase::CheckBox_Click(ControlRef box, bool value) {
  if (CheckBox* check = Check(box)) check->Value = value;
}

std::optional<EcInputs> EcScreenBase::ReadInputs(CalculationResult& missing) {
  const Session& s = session_;
  const ModelTables& t = s.models;
  EcInputs in;
  // 2. External static pressure, Pa.
  if (form.txtpsu.Text.empty()) form.txtpsu.Text = "0";
  in.extPressurePa = Sng(LocaleSingle(form.txtpsu.Text, s.Decimal()) /
                         double{ChosenUnit(s.settings, Quantity::kAirPressure).factor});
  // 3. The required air flow, m3/h, read as its leading number (the decimal comma of a
  // locale is not taken).
  const double typed = PresenceValue(form.txtqatot);
  if (!(typed > 0) || !std::isfinite(static_cast<float>(typed))) {
    form.txtqatot.SelStart = 0;
    form.txtqatot.SelLength = 1;
    form.cmdGrafico.Visible = false;
    missing.message = ScreenMessage{kAirFlowRequired, Icon::kNone, Control(Ctl::txtqatot)};
    return std::nullopt;
  }
  in.requiredM3h = Sng(typed);
  in.requiredM3s = Sng(typed / 3600);

  // 4. Models: all, or the chosen one; an additional-coil model brings its partner.
  in.firstModel = 1;
  in.lastModel = t.ModelCount;
  if (const int i = form.cboModel.ListIndex; i > 0) {
    in.firstModel = in.lastModel = i;
    if (EndsWith(form.cboModel.Text(), Traits().pairs.pair)) {
      in.lastModel = i + 1;
      form.chkHX.Value = true;
    } else if (i > 1 && EndsWith(t.TabModello(i), Traits().pairs.partner)) {
      // The partner alone has no cooling of its own: rate the pair it belongs to.
      in.firstModel = i - 1;
      form.chkHX.Value = true;
    }
  }
  // The chart shows one model's fan.
  form.cmdGrafico.Visible = form.cboModel.ListIndex > 0;
  in.additionalCoils = form.chkHX.Value;
  in.cooling = ReadDutyInputs(form, 0, std::nullopt, s);
  in.heating = ReadDutyInputs(form, 1, std::nullopt, s);
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

CalculationResult EcScreenBase::Calculate() {
  const bool coolWaterIsFlow = IsPositive(form.txtTw2[0]);
  const bool heatWaterIsFlow = IsPositive(form.txtTw2[1]);
  ResetResults(coolWaterIsFlow, heatWaterIsFlow);
  form.lblNote.Caption.clear();
  form.lblNote.Visible = false;
  CalculationResult result;
  std::optional<EcInputs> inputs;
  try {
    inputs = ReadInputs(result);
  } catch (const RuntimeError&) {
    form.cmdGrafico.Visible = false;
    throw;
  }
  if (!inputs) return result;
  result = Rate(*inputs);
  for (const RatedRow& row : result.rows)
    form.Grd.AddItem(EcRowText(row, WithSpeedColumn(), coolWaterIsFlow, heatWaterIsFlow, session_));
  if (result.rows.empty() || (result.message && result.message->icon == Icon::kWarning))
    form.cmdGrafico.Visible = false;
  if (!result.message) form.Grd.FixedRows = 2;
  return result;
}

void EcFanCoilScreen::ResetResults(bool coolWaterIsFlow, bool heatWaterIsFlow) {
  ResetEcResults(form, session_, true, coolWaterIsFlow, heatWaterIsFlow);
}

CalculationResult EcFanCoilScreen::Rate(const EcInputs& inputs) {
  return RateEcFanCoils(Traits(), inputs, session_, [this] { ui_.ProcessPendingEvents(); });
}

void UmbraScreen::ResetResults(bool coolWaterIsFlow, bool heatWaterIsFlow) {
  ResetEcResults(form, session_, false, coolWaterIsFlow, heatWaterIsFlow);
}

CalculationResult UmbraScreen::Rate(const EcInputs& inputs) {
  UmbraRating rating =
      RateUmbra(Traits(), inputs, session_, [this] { ui_.ProcessPendingEvents(); });
  form.lblNote.Caption = rating.note;
  form.lblNote.Visible = !rating.note.empty();
  return std::move(rating.result);
}

std::string EcRowText(const RatedRow& row, bool withSpeedColumn, bool coolWaterIsFlow,
                      bool heatWaterIsFlow, const Session& session) {
  const char sep = session.Decimal();
  std::vector<std::string> cells{row.modelName};
  if (withSpeedColumn) cells.push_back(row.stepSpeedRpm ? std::to_string(*row.stepSpeedRpm) : "");
  // The control voltage cut (not rounded) to one decimal, as the inverter's display shows it.
  const float tenths = std::trunc(row.controlVoltageV.value_or(0) * 10.0f);
  cells.push_back(row.controlVoltageV ? FormatNumber(Sng(tenths / 10.0), "0.0", sep) : "");
  AddCoolingCells(cells, row.cooling, coolWaterIsFlow, session);
  AddHeatingCells(cells, row.heating, heatWaterIsFlow, session);
  if (row.soundShown) {
    cells.push_back(FormatNumber(row.soundPowerDb, "##.0", sep));
    cells.push_back(FormatNumber(row.soundPressureDb, "##.0", sep));
  } else {
    cells.insert(cells.end(), 2, "");
  }
  cells.push_back(row.absorbedPowerW ? FormatNumber(*row.absorbedPowerW, "##.0", sep) : "");
  return JoinCells(cells);
}

}  // namespace vestra::screens
