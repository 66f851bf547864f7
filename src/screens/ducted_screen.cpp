#include "screens/ducted_screen.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
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

constexpr const char* kDegrees = "°C";

// The order in which Tab walks the ducted screens: the choices and the duct, the
// accessories, the cooling panel's streams and water, the heating panel's, the sound.
constexpr std::array<ControlRef, 41> kDuctedOrder{{
    {Ctl::cboModel, -1},     {Ctl::cboVel, -1},     {Ctl::txtqatot, -1},     {Ctl::txtpsu, -1},
    {Ctl::txtGlic, -1},      {Ctl::chkAcc, 1},      {Ctl::chkAcc, 2},        {Ctl::chkAcc, 3},
    {Ctl::chkAcc, 4},        {Ctl::chkAcc, 5},      {Ctl::chkAcc, 6},        {Ctl::chkAcc, 7},
    {Ctl::chkAcc, 8},        {Ctl::chkAcc, 9},      {Ctl::chkAcc, 10},       {Ctl::txtTsa1ric, 0},
    {Ctl::txtTburic, -1},    {Ctl::txtUrric, -1},   {Ctl::Scrollfreddo, -1}, {Ctl::txtTsa1rin, 0},
    {Ctl::txttburin, -1},    {Ctl::txturrin, -1},   {Ctl::txtTw1, 0},        {Ctl::txtTw2, 0},
    {Ctl::txtQw, 0},         {Ctl::txtTsa1ric, 1},  {Ctl::ScrollCaldo, -1},  {Ctl::txtTsa1rin, 1},
    {Ctl::txtTw1, 1},        {Ctl::txtTw2, 1},      {Ctl::txtQw, 1},         {Ctl::txtDistanza, -1},
    {Ctl::cboDirezione, -1}, {Ctl::txtReq, 0},      {Ctl::txtReq, 1},        {Ctl::txtReq, 2},
    {Ctl::txtReq, 3},        {Ctl::cmdCalcola, -1}, {Ctl::cmdStampa, -1},    {Ctl::cmdLegend, -1},
    {Ctl::CmdFine, -1},
}};
;
// The EC ducted screen adds its chart button after Calculate.
constexpr std::array<ControlRef, 42> kDuctedEcOrder{{
    {Ctl::cboModel, -1},     {Ctl::cboVel, -1},     {Ctl::txtqatot, -1},     {Ctl::txtpsu, -1},
    {Ctl::txtGlic, -1},      {Ctl::chkAcc, 1},      {Ctl::chkAcc, 2},        {Ctl::chkAcc, 3},
    {Ctl::chkAcc, 4},        {Ctl::chkAcc, 5},      {Ctl::chkAcc, 6},        {Ctl::chkAcc, 7},
    {Ctl::chkAcc, 8},        {Ctl::chkAcc, 9},      {Ctl::chkAcc, 10},       {Ctl::txtTsa1ric, 0},
    {Ctl::txtTburic, -1},    {Ctl::txtUrric, -1},   {Ctl::Scrollfreddo, -1}, {Ctl::txtTsa1rin, 0},
    {Ctl::txttburin, -1},    {Ctl::txturrin, -1},   {Ctl::txtTw1, 0},        {Ctl::txtTw2, 0},
    {Ctl::txtQw, 0},         {Ctl::txtTsa1ric, 1},  {Ctl::ScrollCaldo, -1},  {Ctl::txtTsa1rin, 1},
    {Ctl::txtTw1, 1},        {Ctl::txtTw2, 1},      {Ctl::txtQw, 1},         {Ctl::txtDistanza, -1},
    {Ctl::cboDirezione, -1}, {Ctl::txtReq, 0},      {Ctl::txtReq, 1},        {Ctl::txtReq, 2},
    {Ctl::txtReq, 3},        {Ctl::cmdCalcola, -1}, {Ctl::cmdGrafico, -1},   {Ctl::cmdStampa, -1},
    {Ctl::cmdLegend, -1},    {Ctl::CmdFine, -1},
}};
;

}  // namespace

DuctedScreen::DuctedScreen(Session& session, ScreenUi& ui, const SeriesTraits& traits)
    : ScreenBase(session, ui, traits) {
  controls_.Add(Control(Ctl::cmdGrafico), form.cmdGrafico);
  DuctedForm& f = form;
  for (int i = 0; i < 2; ++i) {
    const Panel* panel = i == 0 ? &f.pnlFreddo : &f.pnlCaldo;
    const auto k = static_cast<std::size_t>(i);
    controls_.Add(Control(Ctl::txtTsa1ric, i), f.txtTsa1ric[k], panel);
    controls_.Add(Control(Ctl::txtTsa1rin, i), f.txtTsa1rin[k], panel);
    controls_.Add(Control(Ctl::txtTw1, i), f.txtTw1[k], panel);
    controls_.Add(Control(Ctl::txtTw2, i), f.txtTw2[k], panel);
    controls_.Add(Control(Ctl::txtQw, i), f.txtQw[k], panel);
  }
  controls_.Add(Control(Ctl::txtTburic), f.txtTburic, &f.pnlFreddo);
  controls_.Add(Control(Ctl::txtUrric), f.txtUrric, &f.pnlFreddo);
  controls_.Add(Control(Ctl::txttburin), f.txttburin, &f.pnlFreddo);
  controls_.Add(Control(Ctl::txturrin), f.txturrin, &f.pnlFreddo);
  controls_.Add(Control(Ctl::Scrollfreddo), f.Scrollfreddo, &f.pnlFreddo);
  controls_.Add(Control(Ctl::ScrollCaldo), f.ScrollCaldo, &f.pnlCaldo);
  controls_.Add(Control(Ctl::txtGlic), f.txtGlic);
  controls_.Add(Control(Ctl::txtpsu), f.txtpsu);
  controls_.Add(Control(Ctl::txtqatot), f.txtqatot);
  controls_.Add(Control(Ctl::txtDistanza), f.txtDistanza);
  controls_.Add(Control(Ctl::cboModel), f.cboModel);
  controls_.Add(Control(Ctl::cboVel), f.cboVel);
  controls_.Add(Control(Ctl::cboDirezione), f.cboDirezione);
  RegisterDutyControls(f);
  for (int i = 1; i <= kAccessoryBoxes; ++i)
    controls_.Add(Control(Ctl::chkAcc, i), f.chkAcc[static_cast<std::size_t>(i)], &f.frmAccess);
  controls_.Add(Control(Ctl::cmdCalcola), f.cmdCalcola);
  controls_.Add(Control(Ctl::CmdFine), f.CmdFine);
  controls_.Add(Control(Ctl::cmdStampa), f.cmdStampa);
  controls_.Add(Control(Ctl::cmdLegend), f.cmdLegend);
}

CommonFieldRules DuctedScreen::Rules() {
  return CommonFieldRules{form, nullptr, Traits().pressureLimitPa, session_, ui_};
}

MoistureFields DuctedScreen::Recirculated() {
  return {form.txtTsa1ric[0],
          form.txtTburic,
          form.txtUrric,
          Control(Ctl::txtTburic),
          Control(Ctl::txtUrric),
          10,
          95};
}

MoistureFields DuctedScreen::Fresh() {
  return {form.txtTsa1rin[0],
          form.txttburin,
          form.txturrin,
          Control(Ctl::txttburin),
          Control(Ctl::txturrin),
          10,
          95};
}

void DuctedScreen::Form_Load() {
  const Session& s = session_;
  DuctedForm& f = form;
  const std::string airFlowUnit(ChosenUnit(s.settings, Quantity::kAirFlow).name);
  f.lblModello.Caption = s.Text(40);
  f.lblVel.Caption = s.Text(86);
  f.cboVel.List = {s.Text(84)};
  for (const std::string_view step : Traits().speeds.steps) f.cboVel.List.emplace_back(step);
  f.cboVel.ListIndex = Traits().speeds.selected;
  f.lblQaTot.Caption = s.Text(115);
  f.lblUmQA.Caption = airFlowUnit;
  f.lblPsu.Caption = s.Text(58);
  f.lblumDpa.Caption = std::string(ChosenUnit(s.settings, Quantity::kAirPressure).name);
  f.txtpsu.ToolTipText = s.Text(63);
  f.lblglic.Caption = s.Text(95);
  f.frmAccess.Caption = s.Text(5);
  const auto captions = Traits().accessoryCaptions;
  for (int i = 1; i <= kAccessoryBoxes; ++i) {
    CheckBox& box = f.chkAcc[static_cast<std::size_t>(i)];
    const std::size_t k = static_cast<std::size_t>(i - 1);
    box.Caption = k < captions.size() ? std::string(captions[k]) : "";
    box.Visible = !box.Caption.empty();
  }
  f.pnlFreddo.Caption = s.Text(62);
  f.pnlCaldo.Caption = s.Text(65);
  for (std::size_t i = 0; i < 2; ++i) {
    f.lblTbsric[i].Caption = s.Text(83);
    f.lblTbsrin[i].Caption = s.Text(83);
    f.lblTw1[i].Caption = s.Text(82);
    f.lblTw2[i].Caption = s.Text(94);
    f.lblQw[i].Caption = s.Text(48);
    f.lblumQw[i].Caption = std::string(ChosenUnit(s.settings, Quantity::kWaterFlow).name);
    f.txtTw2[i].ToolTipText = s.Text(22);
    f.txtQw[i].ToolTipText = s.Text(23);
    f.lblRicircolo[i].Caption = s.Text(169) + "100 %";
    f.lblRinnovo[i].Caption = s.Text(170) + "100 %";
  }
  f.lbltburic.Caption = s.Text(81);
  f.lblUrric.Caption = s.Text(85);
  f.lbltburin.Caption = s.Text(81);
  f.lblurrin.Caption = s.Text(85);
  f.frmPressione.Caption = s.Text(57);
  f.lblDistanza.Caption = s.Text(157) + " (mt)";
  f.lblDirezione.Caption = s.Text(158);
  f.cboDirezione.List = {"2", "4", "8"};
  f.cboDirezione.ListIndex = 1;
  f.cmdCalcola.Caption = s.Text(15);
  f.cmdCalcola.ToolTipText = s.Text(15);
  f.CmdFine.Caption = s.Text(30);
  f.CmdFine.ToolTipText = s.Text(67);
  f.cmdStampa.Caption = s.Text(74);
  f.cmdStampa.Visible = true;
  f.cmdLegend.Caption = "Legenda";
  f.cmdLegend.Visible = false;
  FillDuctedLegend(f, s);
  Scrollfreddo_Change();
  f.Grd = ResultsGrid{};
}

void DuctedScreen::Configure(const SeriesTraits& traits) {
  SetTraits(traits);
  form.Caption = SeriesCaption(traits, session_);
}

void DuctedScreen::LoadModels(const std::function<void()>& pendingEvents) {
  form.cboModel.List =
      LoadSeriesTable(Traits().table, *session_.store, session_.models, session_.constants,
                      session_.rating, session_.Text(84), pendingEvents);
  form.cboModel.ListIndex = 0;
}

std::span<const ControlRef> DuctedScreen::TabOrder() const {
  return kDuctedOrder;
}

void DuctedScreen::Scrollfreddo_Change() {
  DuctedForm& f = form;
  // The two sliders always hold the same share.
  if (f.ScrollCaldo.Value != f.Scrollfreddo.Value) {
    f.ScrollCaldo.Value = f.Scrollfreddo.Value;
    ScrollCaldo_Change();
  }
  const int fresh = f.Scrollfreddo.Value;
  f.frmRicircoloF.Caption = session_.Text(116) + " " + std::to_string(std::abs(100 - fresh)) + "%";
  f.frmRinnovoF.Caption = session_.Text(120) + " " + std::to_string(fresh) + "%";
}

void DuctedScreen::ScrollCaldo_Change() {
  DuctedForm& f = form;
  if (f.Scrollfreddo.Value != f.ScrollCaldo.Value) {
    f.Scrollfreddo.Value = f.ScrollCaldo.Value;
    Scrollfreddo_Change();
  }
  const int fresh = f.ScrollCaldo.Value;
  f.frmRicircoloC.Caption = session_.Text(116) + " " + std::to_string(std::abs(100 - fresh)) + "%";
  f.FrmRinnovoC.Caption = session_.Text(120) + " " + std::to_string(fresh) + "%";
}

void DuctedScreen::ScrollBar_Change(ControlRef bar, int value) {
  ScrollBar* scroll = Scroll(bar);
  if (!scroll) return;
  scroll->Value = std::clamp(value, scroll->Min, scroll->Max);
  if (bar.name == Ctl::Scrollfreddo)
    Scrollfreddo_Change();
  else
    ScrollCaldo_Change();
}

void DuctedScreen::chkAcc_Click(int index) {
  // Two versions of one plenum cannot both be fitted.
  if (!Traits().exclusivePlenums) return;
  if (index == 2 && form.chkAcc[2].Value) form.chkAcc[3].Value = false;
  if (index == 3 && form.chkAcc[3].Value) form.chkAcc[2].Value = false;
}

void DuctedScreen::CheckBox_Click(ControlRef box, bool value) {
  CheckBox* check = Check(box);
  if (!check || check->Value == value) return;
  check->Value = value;
  if (box.name == Ctl::chkAcc) chkAcc_Click(box.index);
}

bool DuctedScreen::StreamLostFocus(ControlRef field, ControlRef to) {
  DuctedForm& f = form;
  const int fresh = f.Scrollfreddo.Value;
  const int recirculated = std::abs(100 - fresh);
  std::int16_t& result = f.LastCheckResult;
  switch (field.name) {
    case Ctl::txtTsa1ric:
      // A cooling stream's dry bulb matters only while the stream flows.
      if (field.index == 0 && recirculated > 0)
        result =
            CheckFieldRange(f.txtTsa1ric[0], field, 16, 35, kDegrees, false, to, session_, ui_);
      else if (field.index == 1)
        result =
            CheckFieldRange(f.txtTsa1ric[1], field, -15, 35, kDegrees, true, to, session_, ui_);
      return true;
    case Ctl::txtTsa1rin:
      if (field.index == 0 && fresh > 0)
        result =
            CheckFieldRange(f.txtTsa1rin[0], field, 16, 35, kDegrees, false, to, session_, ui_);
      else if (field.index == 1)
        result =
            CheckFieldRange(f.txtTsa1rin[1], field, -10, 30, kDegrees, true, to, session_, ui_);
      return true;
    case Ctl::txtTburic:
      WetBulbLeft(Recirculated(), to, session_, ui_);
      return true;
    case Ctl::txtUrric:
      result = HumidityLeft(Recirculated(), to, session_, ui_);
      return true;
    case Ctl::txttburin:
      WetBulbLeft(Fresh(), to, session_, ui_);
      return true;
    case Ctl::txturrin:
      result = HumidityLeft(Fresh(), to, session_, ui_);
      return true;
    case Ctl::txtpsu: {
      // The static pressure and the total air flow are alternatives.
      if (f.txtpsu.Text.empty()) f.txtpsu.Text = "0";
      if (IsPositive(f.txtpsu)) f.txtqatot.Text = "0";
      const Unit& unit = ChosenUnit(session_.settings, Quantity::kAirPressure);
      result = CheckFieldRange(f.txtpsu, field, 0,
                               static_cast<float>(Traits().pressureLimitPa * unit.factor),
                               unit.name, true, to, session_, ui_);
      return true;
    }
    case Ctl::txtqatot: {
      if (f.txtqatot.Text.empty()) f.txtqatot.Text = "0";
      if (IsPositive(f.txtqatot)) f.txtpsu.Text = "0";
      const Unit& unit = ChosenUnit(session_.settings, Quantity::kAirFlow);
      result = CheckFieldRange(f.txtqatot, field, 0,
                               static_cast<float>(kMaxDuctedAirFlowM3s * unit.factor), unit.name,
                               true, to, session_, ui_);
      return true;
    }
    default:
      return false;
  }
}

void DuctedScreen::LostFocus(ControlRef field, ControlRef receivingFocus) {
  if (StreamLostFocus(field, receivingFocus)) return;
  Rules().LostFocus(field, receivingFocus);
}

void DuctedScreen::UnitsChanged(const Settings& previous) {
  ScreenBase::UnitsChanged(previous);
  const Unit& from = ChosenUnit(previous, Quantity::kAirFlow);
  const Unit& to = ChosenUnit(session_.settings, Quantity::kAirFlow);
  ConvertTypedQuantity(form.txtqatot, from, to, session_.Decimal());
  form.lblUmQA.Caption = std::string(to.name);
}

DuctedInputs DuctedScreen::ReadInputs() {
  const Session& s = session_;
  const ModelTables& t = s.models;
  DuctedInputs in;
  in.speedEntries = form.cboVel.List;
  in.allSpeeds = form.cboVel.ListIndex == 0;

  // 3. External static pressure, Pa.
  if (form.txtpsu.Text.empty()) form.txtpsu.Text = "0";
  in.staticPressurePa = Sng(LocaleSingle(form.txtpsu.Text, s.Decimal()) /
                            double{ChosenUnit(s.settings, Quantity::kAirPressure).factor});

  // 4. Models: all, or the chosen one; an additional-coil model brings its base model.
  in.firstModel = 1;
  in.lastModel = t.ModelCount;
  if (const int j = form.cboModel.ListIndex; j > 0) {
    in.firstModel = in.lastModel = j;
    if (EndsWith(t.TabModello(j), Traits().pairs.pair)) {
      in.firstModel = j - 1;
      form.chkAcc[1].Value = true;
    }
  }

  // 5. Speeds: the tap chosen, or every tap (the outer loop).
  in.firstSpeed = in.lastSpeed = form.cboVel.ListIndex;
  if (in.allSpeeds) {
    in.firstSpeed = 1;
    in.lastSpeed = form.cboVel.ListCount() - 1;
  }

  in.additionalCoil = form.chkAcc[1].Value;
  in.totalAirFlowM3s = Deferred<float>::Of([&] {
    if (!IsPositive(form.txtqatot)) return 0.0f;
    return Sng(LocaleSingle(form.txtqatot.Text, s.Decimal()) /
               double{ChosenUnit(s.settings, Quantity::kAirFlow).factor});
  });
  in.fields = ReadMixedFields(form, s);
  in.accessories = TickedAccessories(form, t);
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

CalculationResult DuctedScreen::Calculate() {
  // 1. The first legend entry: the air flow found, or the static pressure left at the
  // total air flow typed.
  const FieldNumber typedFlow = ReadFieldNumber(form.txtqatot, session_);
  const bool pressureShown = typedFlow.kind != FieldNumber::kNotANumber && typedFlow.value != 0;
  form.lblLegSim[0].Caption = pressureShown ? "PSU" : "QA";
  form.lblLegDes[0].Caption = session_.Text(pressureShown ? 58 : 49);

  // 2. The grid with its headings.
  const bool allSpeeds = form.cboVel.ListIndex == 0;
  const bool coolWaterIsFlow = IsPositive(form.txtTw2[0]);
  const bool heatWaterIsFlow = IsPositive(form.txtTw2[1]);
  PrepareResultsGrid(form, session_, allSpeeds, pressureShown, coolWaterIsFlow, heatWaterIsFlow);

  const DuctedInputs inputs = ReadInputs();
  CalculationResult result =
      RateDuctedSeries(Traits(), inputs, session_, [this] { ui_.ProcessPendingEvents(); });
  for (const RatedRow& row : result.rows)
    form.Grd.AddItem(DuctedRowText(row, pressureShown, coolWaterIsFlow, heatWaterIsFlow, session_));
  if (!result.message) form.Grd.FixedRows = 2;
  return result;
}

void PrepareResultsGrid(DuctedForm& form, const Session& session, bool allSpeeds,
                        bool pressureShown, bool coolWaterIsFlow, bool heatWaterIsFlow) {
  form.Grd.Reset(13 + (allSpeeds ? 1 : 0), 1100, 700);
  std::vector<std::string> symbols{""};
  std::vector<std::string> units{session.Text(40)};
  if (allSpeeds) {
    symbols.emplace_back("Vel");
    units.emplace_back("");
  }
  symbols.emplace_back(pressureShown ? "PSU" : "QA");
  units.emplace_back(
      ChosenUnit(session.settings, pressureShown ? Quantity::kAirPressure : Quantity::kAirFlow)
          .name);
  AddDutyHeadings(symbols, units, session, true, coolWaterIsFlow, heatWaterIsFlow);
  symbols.insert(symbols.end(), {"LW", "LP"});
  units.insert(units.end(), {"dB(A)", "dB(A)"});
  WriteHeadings(form, symbols, units);
}

std::string DuctedRowText(const RatedRow& row, bool pressureShown, bool coolWaterIsFlow,
                          bool heatWaterIsFlow, const Session& session) {
  const char sep = session.Decimal();
  std::vector<std::string> cells{row.modelName};
  if (row.speedName) cells.push_back(*row.speedName);
  if (pressureShown) {
    const Unit& unit = ChosenUnit(session.settings, Quantity::kAirPressure);
    cells.push_back(
        (row.pressureCapped ? "> " : " ") +
        FormatNumber(row.availablePressurePa.value_or(0) * unit.factor, unit.format, sep));
  } else {
    cells.push_back(
        DisplayValue(row.airFlowM3s, ChosenUnit(session.settings, Quantity::kAirFlow), sep));
  }
  AddCoolingCells(cells, row.cooling, coolWaterIsFlow, session, AirOutCell::kAlways);
  AddHeatingCells(cells, row.heating, heatWaterIsFlow, session, {}, AirOutCell::kAlways);
  cells.push_back(PlainNumberText(row.soundPowerDb, sep));
  cells.push_back(std::to_string(static_cast<int>(row.soundPressureDb)));
  return JoinCells(cells);
}

}  // namespace vestra::screens

namespace vestra::screens {

DuctedEcScreen::DuctedEcScreen(Session& session, ScreenUi& ui, const SeriesTraits& traits)
    : DuctedScreen(session, ui, traits) {}

void DuctedEcScreen::Form_Load() {
  DuctedScreen::Form_Load();
  session_.chart.ChartOwner = std::string(kName);
  // No speed taps: the fan's steps are found for the air flow.
  form.cboVel.Visible = false;
  form.lblVel.Visible = false;
  // The air flow is read in m3/h by the fan's curves and by the mixing alike.
  form.lblUmQA.Caption = "m3/h";
  form.cmdGrafico.Caption = "Grafico";
  form.cmdGrafico.Visible = false;
}

std::span<const ControlRef> DuctedEcScreen::TabOrder() const {
  return kDuctedEcOrder;
}

void DuctedEcScreen::LostFocus(ControlRef field, ControlRef to) {
  DuctedForm& f = form;
  if (field.name == Ctl::txtpsu) {
    // The static pressure and the air flow are both given here, not alternatives.
    const Unit& unit = ChosenUnit(session_.settings, Quantity::kAirPressure);
    f.LastCheckResult = CheckFieldRange(f.txtpsu, field, 0,
                                        static_cast<float>(Traits().pressureLimitPa * unit.factor),
                                        unit.name, true, to, session_, ui_);
    return;
  }
  if (field.name == Ctl::txtqatot) {
    // It takes no negative value.
    f.LastCheckResult =
        CheckFieldRange(f.txtqatot, field, 0, static_cast<float>(kMaxDuctedAirFlowM3s * 3600),
                        "m3/h", true, to, session_, ui_);
    return;
  }
  DuctedScreen::LostFocus(field, to);
}

void DuctedEcScreen::UnitsChanged(const Settings& previous) {
  // The air flow stays in m3/h.
  ScreenBase::UnitsChanged(previous);
}

std::optional<DuctedInputs> DuctedEcScreen::ReadEcInputs(CalculationResult& missing) {
  const Session& s = session_;
  const ModelTables& t = s.models;
  DuctedInputs in;
  // 3. External static pressure, Pa.
  if (form.txtpsu.Text.empty()) form.txtpsu.Text = "0";
  in.staticPressurePa = Sng(LocaleSingle(form.txtpsu.Text, s.Decimal()) /
                            double{ChosenUnit(s.settings, Quantity::kAirPressure).factor});
  lastStaticPressurePa_ = in.staticPressurePa;
  // 4. The total air flow is required, m3/h read as its leading number.
  const double typed = PresenceValue(form.txtqatot);
  if (!(typed > 0) || !std::isfinite(static_cast<float>(typed))) {
    form.txtqatot.SelStart = 0;
    form.txtqatot.SelLength = 1;
    form.cmdGrafico.Visible = false;
    missing.message =
        ScreenMessage{" Portata aria obbligatori", Icon::kNone, Control(Ctl::txtqatot)};
    return std::nullopt;
  }
  const float q = Sng(typed / 3600);
  in.totalAirFlowM3s = Deferred<float>::Of([q] { return q; });

  // 5. Models: all, or one (its base model first when it is an additional-coil model).
  in.firstModel = 1;
  in.lastModel = t.ModelCount;
  if (const int j = form.cboModel.ListIndex; j > 0) {
    in.firstModel = in.lastModel = j;
    if (EndsWith(t.TabModello(j), Traits().pairs.pair)) {
      in.firstModel = j - 1;
      form.chkAcc[1].Value = true;
    }
  }
  form.cmdGrafico.Visible = form.cboModel.ListIndex > 0;
  in.additionalCoil = form.chkAcc[1].Value;
  in.fields = ReadMixedFields(form, s);
  in.accessories = TickedAccessories(form, t);
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

CalculationResult DuctedEcScreen::Calculate() {
  // 1. The first legend entry, as on the ducted screen.
  const FieldNumber typedFlow = ReadFieldNumber(form.txtqatot, session_);
  const bool pressureShown = typedFlow.kind != FieldNumber::kNotANumber && typedFlow.value != 0;
  form.lblLegSim[0].Caption = pressureShown ? "PSU" : "QA";
  form.lblLegDes[0].Caption = session_.Text(pressureShown ? 58 : 49);

  // 2. The grid with the EC headings.
  const bool coolWaterIsFlow = IsPositive(form.txtTw2[0]);
  const bool heatWaterIsFlow = IsPositive(form.txtTw2[1]);
  ResetEcResults(form, session_, true, coolWaterIsFlow, heatWaterIsFlow);
  CalculationResult result;
  std::optional<DuctedInputs> inputs;
  try {
    inputs = ReadEcInputs(result);
  } catch (const RuntimeError&) {
    form.cmdGrafico.Visible = false;
    throw;
  }
  if (!inputs) return result;
  result = RateDuctedEcSeries(Traits(), *inputs, session_, [this] { ui_.ProcessPendingEvents(); });
  for (const RatedRow& row : result.rows)
    form.Grd.AddItem(DuctedEcRowText(row, coolWaterIsFlow, heatWaterIsFlow, session_));
  if (result.rows.empty() || (result.message && result.message->icon == Icon::kWarning))
    form.cmdGrafico.Visible = false;
  if (!result.message) form.Grd.FixedRows = 2;
  return result;
}

std::string DuctedEcRowText(const RatedRow& row, bool coolWaterIsFlow, bool heatWaterIsFlow,
                            const Session& session) {
  const char sep = session.Decimal();
  std::vector<std::string> cells{row.modelName};
  cells.push_back(row.stepSpeedRpm ? std::to_string(*row.stepSpeedRpm) : "");
  // The control voltage cut (not rounded) to one decimal.
  const float tenths = std::trunc(row.controlVoltageV.value_or(0) * 10.0f);
  cells.push_back(FormatNumber(Sng(tenths / 10.0), "0.0", sep));
  AddCoolingCells(cells, row.cooling, coolWaterIsFlow, session, AirOutCell::kAlways);
  AddHeatingCells(cells, row.heating, heatWaterIsFlow, session, {}, AirOutCell::kAlways);
  const std::string floor = row.soundAtFloor ? "< " : "";
  cells.push_back(floor + FormatNumber(row.soundPowerDb, "##.0", sep));
  cells.push_back(floor + FormatNumber(row.soundPressureDb, "##.0", sep));
  cells.push_back(FormatNumber(row.absorbedPowerW.value_or(0), "##.0", sep));
  return JoinCells(cells);
}

}  // namespace vestra::screens
