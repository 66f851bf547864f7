#include "screens/standard_screen.h"

#include <optional>
#include <string>
#include <string_view>

#include "app/numbers.h"
#include "app/units.h"
#include "engine/auxiliary.h"
#include "engine/coil_cooling.h"
#include "engine/coil_heating.h"
#include "engine/coil_rating.h"
#include "engine/errors.h"
#include "engine/fan_duct.h"
#include "engine/moist_air.h"
#include "engine/numeric.h"
#include "screens/like.h"
#include "screens/results_table.h"

namespace vestra::screens {

namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The static-pressure correction of the units whose catalogue air flows are free-blowing
// (VELD, QUIVO): the flow falls with the external pressure, and a unit whose flow would
// fall below half its free flow is not offered. Returns nothing for such a unit.
std::optional<float> CorrectForStaticPressure(float q, float p) {
  if (p > 0 && p < 10) {
    const float f10 = Sng(1.2 - 10.0 / 1000 - 0.19 * q + 0.19 * Ln(q));
    return Sng((1 - p / 10.0) * q + p * f10 * q / 10);
  }
  if (p >= 10) {
    const double k = 0.004 * p + 0.15;
    const float f = Sng(1.2 - p / 1000.0 - k * q + k * Ln(q));
    if (f < 0.5) return std::nullopt;
    return Sng(f * double{q});
  }
  return q;
}

}  // namespace

struct StandardScreen::Pass {
  explicit Pass(const Session& session) : context{session.constants, session.glycol, {}} {}

  std::string series;
  bool allSpeeds = false;
  bool coolWaterIsFlow = false;
  bool heatWaterIsFlow = false;
  RatingContext context;
  DutyAirCache airCache;
  std::optional<CoolingFlowBound> flowBound;
  std::function<void()> pendingEvents;
  std::optional<float> distance;
  std::optional<std::int16_t> directivity;
  // The cooling figures the record holds come from a rating that gave a result; an "HX*"
  // partner shows the cooling of the model before it, with that model's outcome.
  bool coolingShown = false;
  int coolingModel = 0;  // the model whose cooling the record holds
  // The cooling water flow of the model just rated, for "=QW(C)": the flow searched, or
  // the flow typed when the outlet was searched.
  std::optional<double> coolingWaterFlow;
};

StandardScreen::StandardScreen(Session& session, ScreenUi& ui) : session_(session), ui_(ui) {}

CommonFieldRules StandardScreen::Rules() {
  return CommonFieldRules{form, &form.chkComeFreddo, 80.0f, session_, ui_};
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
  form.cmdStampa.Visible = false;  // the report composition comes with its own window
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
  const SpeedList speeds = StandardSpeedList(s.settings.CurrentSeries, s);
  form.cboVel.List = speeds.entries;
  form.cboVel.ListIndex = speeds.selected;
  FillStandardLegend(form, s);
  form.Grd = ResultsGrid{};
}

KeyAction StandardScreen::Form_KeyPress(char key) const {
  return ScreenKeyPress(key, session_.settings);
}

TextBox* StandardScreen::Field(ControlRef control) {
  auto indexed = [&](std::array<TextBox, 2>& boxes) -> TextBox* {
    if (control.index < 0 || control.index > 1) return nullptr;
    return &boxes[static_cast<std::size_t>(control.index)];
  };
  auto single = [&](TextBox& box) -> TextBox* { return control.index < 0 ? &box : nullptr; };
  switch (control.name) {
    case Ctl::txtTsa1:
      return indexed(form.txtTsa1);
    case Ctl::txtTw1:
      return indexed(form.txtTw1);
    case Ctl::txtTw2:
      return indexed(form.txtTw2);
    case Ctl::txtQw:
      return indexed(form.txtQw);
    case Ctl::txtTbu:
      return single(form.txtTbu);
    case Ctl::txtUr:
      return single(form.txtUr);
    case Ctl::txtGlic:
      return single(form.txtGlic);
    case Ctl::txtpsu:
      return single(form.txtpsu);
    case Ctl::txtDistanza:
      return single(form.txtDistanza);
    default:
      return nullptr;
  }
}

CheckBox* StandardScreen::Check(ControlRef control) {
  if (control.index >= 0) return nullptr;
  switch (control.name) {
    case Ctl::chkComeFreddo:
      return &form.chkComeFreddo;
    case Ctl::chkHX:
      return &form.chkHX;
    case Ctl::chkFlap:
      return &form.chkFlap;
    default:
      return nullptr;
  }
}

ComboBox* StandardScreen::Combo(ControlRef control) {
  if (control.index >= 0) return nullptr;
  switch (control.name) {
    case Ctl::cboVel:
      return &form.cboVel;
    case Ctl::cboModel:
      return &form.cboModel;
    case Ctl::cboDirezione:
      return &form.cboDirezione;
    default:
      return nullptr;
  }
}

bool StandardScreen::IsUsable(ControlRef control) const {
  const int panel = control.index;
  const bool panelShown = panel < 0 || (panel == 0 ? form.pnlFreddo.Visible : form.pnlCaldo.Visible);
  // The humidity fields sit on the cooling panel.
  const bool onCoolingPanel = control.name == Ctl::txtTbu || control.name == Ctl::txtUr;
  if (!panelShown || (onCoolingPanel && !form.pnlFreddo.Visible)) return false;
  if (control.name == Ctl::chkComeFreddo && !form.pnlCaldo.Visible) return false;
  if (const TextBox* box = Field(control)) return box->Visible && box->Enabled;
  if (const CheckBox* box = Check(control)) return box->Visible && box->Enabled;
  if (const ComboBox* box = Combo(control)) return box->Visible && box->Enabled;
  switch (control.name) {
    case Ctl::cmdCalcola:
      return form.cmdCalcola.Visible && form.cmdCalcola.Enabled;
    case Ctl::CmdFine:
      return form.CmdFine.Visible && form.CmdFine.Enabled;
    case Ctl::cmdStampa:
      return form.cmdStampa.Visible && form.cmdStampa.Enabled;
    case Ctl::cmdLegend:
      return form.cmdLegend.Visible && form.cmdLegend.Enabled;
    default:
      return false;
  }
}

void StandardScreen::CheckBox_Click(ControlRef box, bool value) {
  CheckBox* check = Check(box);
  if (!check || check->Value == value) return;
  check->Value = value;
  if (box.name == Ctl::chkComeFreddo) chkComeFreddo_Click();
}

void StandardScreen::GotFocus(ControlRef field) {
  if (TextBox* box = Field(field)) SelectAllText(*box);
}

void StandardScreen::LostFocus(ControlRef field, ControlRef receivingFocus) {
  Rules().LostFocus(field, receivingFocus);
}

void StandardScreen::chkComeFreddo_Click() { Rules().chkComeFreddo_Click(); }

void StandardScreen::cmdLegend_Click() {
  form.PanLegend.Visible = !form.PanLegend.Visible;
  ui_.Refresh();
}

void StandardScreen::PanLegend_Click() { form.PanLegend.Visible = false; }

void StandardScreen::Grd_Click(int row) {
  const std::string name = form.Grd.Cell(row, 0);
  if (name.empty()) return;
  // The row's name is read as a pattern, so the "HX*" partner's row selects its "HX"
  // model: the last matching entry wins.
  for (int i = 1; i < form.cboModel.ListCount(); ++i)
    if (Like(form.cboModel.List[static_cast<std::size_t>(i)], name)) form.cboModel.ListIndex = i;
}

void StandardScreen::Grd_KeyPress(int keyCode, int firstSelectedRow, int lastSelectedRow,
                                  int lastSelectedCol) {
  if (keyCode != 3) return;
  ui_.SetClipboardText(GridCopyText(form.Grd, firstSelectedRow, lastSelectedRow, lastSelectedCol));
}

void StandardScreen::cmdCalcola_Click() {
  ui_.SetBusy(true);
  try {
    Calculate();
  } catch (const RuntimeError& e) {
    ui_.SetBusy(false);
    ui_.ShowMessage("Errore generico : " + std::to_string(e.number()), Icon::kWarning);
    return;
  }
  ui_.SetBusy(false);
}

void StandardScreen::Calculate() {
  Session& s = session_;
  const ModelTables& t = s.models;
  Pass pass(s);
  pass.series = s.settings.CurrentSeries;
  pass.allSpeeds = form.cboVel.ListIndex == 0;
  pass.coolWaterIsFlow = IsPositive(form.txtTw2[0]);
  pass.heatWaterIsFlow = IsPositive(form.txtTw2[1]);
  pass.context.rules.reTransMode = s.settings.ReTransMode;
  pass.context.rules.coolingWaterSideFloor = pass.series == "QUIVO";
  pass.context.rules.wetSensibleFactor = pass.series == "DARNE";
  pass.context.rules.dryRestart = DryRestartBound::kStandardScreen;
  pass.pendingEvents = [this] { ui_.ProcessPendingEvents(); };

  // 1. The grid with its headings.
  ResetStandardResults(form, s, pass.allSpeeds, pass.coolWaterIsFlow, pass.heatWaterIsFlow);

  // 2. External static pressure, Pa.
  if (form.txtpsu.Text.empty()) form.txtpsu.Text = "0";
  s.rating.extPressure =
      Sng(LocaleSingle(form.txtpsu.Text, s.Decimal()) /
          double{ChosenUnit(s.settings, Quantity::kAirPressure).factor});

  // 3. Models: all, or the chosen one; an additional-coil model brings its partner.
  int firstModel = 1;
  int lastModel = t.ModelCount;
  if (const int i = form.cboModel.ListIndex; i > 0) {
    firstModel = lastModel = i;
    const std::string entry = form.cboModel.Text();
    const std::string_view pairMark = pass.series == "DARNE" ? "4T" : "HX";
    const std::string_view partnerMark = pass.series == "DARNE" ? "4T*" : "HX*";
    if (EndsWith(entry, pairMark)) {
      lastModel = i + 1;
      form.chkHX.Value = true;
    } else if (i > 1 && EndsWith(t.TabModello(i), partnerMark)) {
      // The partner alone has no cooling of its own: rate the pair it belongs to.
      firstModel = i - 1;
      form.chkHX.Value = true;
    }
  }

  // 4. Speeds: all (outer loop), or the chosen one.
  int firstSpeed = form.cboVel.ListIndex;
  int lastSpeed = form.cboVel.ListIndex;
  if (pass.allSpeeds) {
    firstSpeed = 1;
    lastSpeed = form.cboVel.ListCount() - 1;
  }

  for (int speed = firstSpeed; speed <= lastSpeed; ++speed)
    for (int m = firstModel; m <= lastModel; ++m)
      if (!RateModel(pass, speed, m)) return;

  // 9. Nothing written: tell the user; otherwise the headings stay in view.
  if (form.Grd.RowCount() <= 2) {
    ui_.ShowMessage(s.Text(104), Icon::kError);
    return;
  }
  form.Grd.FixedRows = 2;
}

namespace {

HeatingCells HeatingCellsOf(const CoilRatingState& r) {
  return HeatingCells{r.heatCapacity, r.heatWaterFlow, r.heatTwOut, r.heatPressureDrop,
                      r.heatTaOut};
}

}  // namespace

// What TORVAEC's fan signal gives besides the air flow.
struct StandardScreen::EcFanPoint {
  float lw = 0;
  bool soundFloor = false;
  float pin = 0;
};

bool StandardScreen::RateModel(Pass& pass, int s, int m) {
  const ModelTables& t = session_.models;
  const std::string name = t.TabModello(m);
  const bool darne = pass.series == "DARNE";
  const bool flap = form.chkFlap.Value;

  StandardRow row;
  row.model = name;
  if (pass.allSpeeds) row.speed = form.cboVel.List.at(static_cast<std::size_t>(s));

  // a. DARNE: natural convection only with the front flap closed, and with it open only
  // the two lowest steps.
  if (darne && ((!flap && s == 1) || (flap && s > 2))) return true;

  // c. Additional coils are rated only when asked for, and then alone.
  const bool additional = darne ? EndsWith(name, "4T") || EndsWith(name, "4T*")
                                : EndsWith(name, "HX") || EndsWith(name, "HX*");
  if (form.chkHX.Value != additional) return true;
  const bool pairModel = EndsWith(name, darne ? "4T" : "HX");
  const bool partner = EndsWith(name, darne ? "4T*" : "HX*");

  // b. DARNE natural convection: the unit works as a radiator, fan off. A four-pipe
  // unit's cooling coil has no rating without its fan.
  if (darne && s == 1) return pairModel || RateNaturalConvection(pass, s, m, row);

  // d. Geometry of the model (Q70 keeps the previous indices).
  const CoilRatingState& r = session_.rating;
  CoilModel coil;
  coil.geometry = pass.series == "Q70" ? r.coilGeom : t.TabGeom(m);
  coil.pitch = pass.series == "Q70" ? r.coilPitch : t.TabPasso(m);
  coil.rows = t.TabNR(m);
  coil.circuits = t.TabNC(m);
  coil.lengthMm = t.TabLunBat(m);
  coil.heightMm = t.TabAltBat(m);

  // e, f. Air flow at this step; a model the step does not offer is skipped.
  EcFanPoint ec;
  float coolAirFlow = 0;
  float heatAirFlow = 0;
  if (!AirFlowAtStep(pass, s, m, coil, coolAirFlow, heatAirFlow, ec)) return true;

  // g. Tube of the model.
  CoilConstants& constants = session_.constants;
  constants.CoilTubeDiam = 0.0094f;
  if (pass.series == "NARTE" && m == 1) constants.CoilTubeDiam = 0.0064f;
  if (pass.series == "QUIVO" || pass.series == "BRISK") constants.CoilTubeDiam = t.TabTubo(m);

  // h. Cooling.
  if (!RateCooling(pass, s, m, coil, coolAirFlow, partner)) return false;
  // i. The additional-coil model's cooling goes into its partner's row.
  if (pairModel) return true;
  // A partner whose model was not rated just before it has no cooling of its own.
  if (partner && pass.coolingModel != m - 1) {
    pass.coolingShown = false;
    pass.coolingWaterFlow.reset();
  }
  if (pass.coolingShown)
    row.cooling = CoolingCells{r.coolTotal,        r.coolSensible, r.coolWaterFlow,
                               r.coolTwOut,        r.coolPressureDrop, r.coolTaOut};

  // j. Heating.
  if (!RateHeating(pass, s, m, coil, heatAirFlow, row)) return false;

  // 8. Sound at the listening distance, and the series' extra columns.
  if (pass.series == "TORVAEC") {
    row.lw = ec.lw;
    row.soundFloor = ec.soundFloor;
    if (ec.pin > 0) row.pin = ec.pin;
  } else if (pass.series == "TORVA" || pass.series == "Q70") {
    row.lw = t.TabLWA(m);
  } else {
    row.lw = t.TabLWA(s, m);
    row.lwShown = row.lw > 0;
  }
  if (pass.series == "TORVA") {
    row.heightMax = t.TabAltezza(m);
    row.throwMax = t.TabLancio(m);
  }
  if (pass.series == "MIRALP" || pass.series == "MIRAL" || pass.series == "QUIVO")
    if (const float pin = t.TabPIN(s, m); pin > 0) row.pin = pin;
  row.airFlow = r.airFlow;
  WriteRow(pass, row);
  return true;
}

bool StandardScreen::RateNaturalConvection(Pass& pass, int s, int m, StandardRow& row) {
  const ModelTables& t = session_.models;
  CoilRatingState& r = session_.rating;
  r.heatingDuty = 1;
  if (!ReadDutyInputs(form, 1, form.chkComeFreddo.Value, session_, ui_, &pass.airCache))
    return false;
  if (r.givenTwOut <= 0 && r.givenWaterFlow == 0) {
    // "=QW(C)" has no cooling water flow to lend when there is no cooling.
    ui_.ShowMessage(session_.Text(107), Icon::kError);
    ui_.SetFocus(Control(Ctl::txtTw2, 1));
    return false;
  }
  r.airFlow = 0;
  r.coolWaterFlow = r.coolTaOut = r.coolPressureDrop = r.coolTotal = r.coolSensible = 0;
  r.heatTaOut = 0;
  r.heatWaterFlow = static_cast<float>(r.givenWaterFlow);
  const StaticHeaterModel heater{t.TabPotNom(m), t.TabEspon(m), t.TabDPNom(m)};
  StaticHeatingResult result;
  if (r.givenTwOut > 0) {
    result = StaticHeatingAtOutletTemp(heater, r.twIn, r.givenTwOut, r.taIn);
  } else {
    r.twOut = 0;
    r.heatTwOut = 0;
    result = StaticHeatingAtWaterFlow(heater, static_cast<float>(r.givenWaterFlow), r.twIn, r.taIn);
    r.heatTwOut = result.twOut;
  }
  r.heatCapacity = result.output;
  r.heatWaterFlow = result.waterFlow;
  r.heatPressureDrop = result.pressureDropTerm;
  row.airFlow = 0;
  // A flow below what the radiator draws at all is not met: no figures for it.
  if (result.met) row.heating = HeatingCellsOf(r);
  row.lw = t.TabLWA(s, m);
  row.lwShown = row.lw > 0;
  WriteRow(pass, row);
  return true;
}

bool StandardScreen::AirFlowAtStep(Pass& pass, int s, int m, CoilModel& coil, float& coolAirFlow,
                                   float& heatAirFlow, EcFanPoint& ec) {
  const ModelTables& t = session_.models;
  const std::string& series = pass.series;
  const std::string name = t.TabModello(m);
  auto qaOf = [&](int k) -> float {
    switch (k) {
      case 1:
        return t.TabQa1(m);
      case 2:
        return t.TabQa2(m);
      case 3:
        return t.TabQa3(m);
      case 4:
        return t.TabQa4(m);
      default:
        Raise(kSubscriptOutOfRange);
    }
  };
  if (series == "PELVO") {
    coolAirFlow = Sng(qaOf(s) / 3600.0);
  } else if (series == "DARNE") {
    coolAirFlow = Sng(qaOf(s - 1) / 3600.0);
    if (s == 2 && form.chkFlap.Value) coolAirFlow = Sng(coolAirFlow * 0.94);
  } else if (series == "VELD") {
    const float heating[] = {0, t.TabQa1C(m), t.TabQa2C(m), t.TabQa3C(m)};
    coolAirFlow = qaOf(s);
    heatAirFlow = heating[s];
  } else if (series == "BRISK" || series == "NARTE" || series == "LUMO" || series == "QUIVO") {
    coolAirFlow = qaOf(s);
  } else if (series == "TORVA") {
    static constexpr const char* kPoles[] = {"", "10p", " 8p", " 6p", " 4p"};
    if (!EndsWith(name, kPoles[s])) return false;
    coolAirFlow = Sng(t.TabQa1(m) / 3600.0);
  } else if (series == "Q70") {
    // The heating pass takes the catalogue air flow; the coil has the standard tubes.
    static constexpr const char* kPoles[] = {"", "8", "6", "4"};
    if (!EndsWith(name, kPoles[s])) return false;
    CoilConstants& constants = session_.constants;
    constants.CoilTubeDiam = 0.0094f;
    constants.CoilConstB = 0.3f;
    constants.CoilConstA = 0.025f;
    coil.airCoef = 0;
  } else if (series == "TORVAEC") {
    // 6. The fan signal in volts from the list entry ("15%" is 1.5 V) gives the fan
    // speed, and from it air flow, sound power and absorbed power.
    const float v = Sng(LeadingNumber(form.cboVel.List.at(static_cast<std::size_t>(s))) / 10);
    const float speed = Sng(t.TabVRA(m).ToSingle() * Pow(v, 2) + t.TabVRB(m).ToSingle() * v +
                            t.TabVRC(m).ToSingle());
    coolAirFlow = Sng((t.TabQAA(m).ToSingle() * Pow(speed, 2) + t.TabQAB(m).ToSingle() * speed +
                       t.TabQAC(m).ToSingle()) /
                      3600);
    if (coolAirFlow < 0.0001) return false;
    const std::int16_t lw0 = CInt(t.TabLWA(m) * Pow(speed, 2) + t.TabLWB(m).ToSingle() * speed +
                                  t.TabLWC(m).ToSingle());
    std::int16_t lw = CInt((lw0 + 3) - 3.0 * Log10(Sng(0.10222 * v - 0.0222)) / Log10(0.08f));
    if (lw < 20) {
      lw = 20;
      ec.soundFloor = true;
    }
    ec.lw = lw;
    std::int16_t pin = CInt(t.TabPAK(m).ToSingle() * Pow(speed, t.TabPAN(m).ToSingle()));
    if (pin < 10) pin = 10;
    ec.pin = pin;
  } else if (series == "MIRAL" || series == "MIRALP") {
    const FanCurve curve{t.TabVA(s, m), t.TabVB(s, m), t.TabVC(s, m)};
    const FanCurve lowest{t.TabVA(1, m), t.TabVB(1, m), t.TabVC(1, m)};
    coolAirFlow = Sng(FanFlowAtPressure(session_.rating.extPressure, curve) / 3600.0);
    const float minFlow = Sng(FanFlowAtPressure(0, lowest) / 3600.0);
    // A fan pushed to half its lowest free flow or below is stalling: not offered.
    if (!session_.settings.NoLimits && minFlow / 2.0 >= coolAirFlow) return false;
    if (session_.settings.NoLimits && coolAirFlow == 0) return false;
  }
  if (series != "VELD") heatAirFlow = coolAirFlow;

  // f. Free-blowing catalogue flows reduced for the external static pressure.
  if (series == "VELD" || series == "QUIVO") {
    const float p = session_.rating.extPressure;
    const std::optional<float> cool = CorrectForStaticPressure(coolAirFlow, p);
    const std::optional<float> heat = CorrectForStaticPressure(heatAirFlow, p);
    if (!cool || !heat) return false;
    coolAirFlow = *cool;
    heatAirFlow = *heat;
  }
  return true;
}

bool StandardScreen::RateCooling(Pass& pass, int s, int m, CoilModel coil, float airFlow,
                                 bool partner) {
  const ModelTables& t = session_.models;
  CoilRatingState& r = session_.rating;
  const std::string& series = pass.series;
  r.heatingDuty = 0;
  if (!ReadDutyInputs(form, 0, form.chkComeFreddo.Value, session_, ui_, &pass.airCache))
    return false;
  // The partner's row takes the cooling of the model before it.
  if (partner) return true;
  r.rhoAir = AirDensity(r.taIn, r.rhIn);
  r.cpAir = AirCp(r.taIn);
  r.coolWaterFlow = r.coolTaOut = r.coolPressureDrop = r.coolTotal = r.coolSensible = 0;
  pass.coolingShown = false;
  pass.coolingModel = m;
  pass.coolingWaterFlow.reset();
  r.airFlow = airFlow;
  // No cooling: the unit heaters Q70, and DARNE with its front flap open.
  if ((series == "DARNE" && form.chkFlap.Value) || series == "Q70") return true;

  coil.headerFactor = t.TabFCC50(m);
  coil.bypassCoef = t.TabC100(1, m);
  coil.curAirN.reset();
  if (series == "DARNE") {
    coil.airCoef = t.TabFC30(s - 1, m);
  } else if (series == "VELD") {
    coil.airCoef = t.TabFC30(1, m);
    coil.curAirN = t.TabFX31(m);
  } else if (series == "TORVA" || series == "TORVAEC") {
    coil.airCoef = t.TabFC30(1, m);
    // Unit heaters without cooling data are rated with a typical coefficient when the
    // limits are off.
    if (coil.airCoef == 0 && session_.settings.NoLimits) coil.airCoef = 42.2f;
  } else if (series == "BRISK" || series == "QUIVO") {
    coil.airCoef = t.TabFC30(s, m);
  } else {
    coil.bypassCoef = t.TabC100(s, m);
    coil.airCoef = t.TabFC30(s, m);
  }
  const bool hAirSet = PrepareCoil(r, session_.constants, coil, Duty::kCooling);
  // The EC unit heater's coil is not rated in cooling above 2.5 m/s face velocity.
  if ((series == "TORVAEC" && r.faceVelocity > 2.5) || !hAirSet) return true;
  CoolingSolveResult result;
  if (r.givenTwOut > 0) {
    r.twOut = r.givenTwOut;
    if (!pass.flowBound || pass.flowBound->twIn != r.twIn ||
        pass.flowBound->rhLimit != CoolingRhLimit(r.rhIn))
      pass.flowBound = ComputeCoolingFlowBound(r.twIn, r.rhIn);
    result = SolveCoolingFlow(r, pass.context, &*pass.flowBound);
    if (result.status != CoolingStatus::kNotConverged) pass.coolingWaterFlow = r.coolWaterFlow;
  } else {
    r.waterFlow = r.givenWaterFlow;
    result = SolveCoolingOutlet(r, pass.context, &pass.pendingEvents);
    if (result.status != CoolingStatus::kNotConverged) pass.coolingWaterFlow = r.givenWaterFlow;
  }
  pass.coolingShown = result.status != CoolingStatus::kNotConverged;
  return true;
}

bool StandardScreen::RateHeating(Pass& pass, int s, int m, CoilModel coil, float airFlow,
                                 StandardRow& row) {
  const ModelTables& t = session_.models;
  CoilRatingState& r = session_.rating;
  CoilConstants& constants = session_.constants;
  const std::string& series = pass.series;
  r.heatingDuty = 1;
  if (!ReadDutyInputs(form, 1, form.chkComeFreddo.Value, session_, ui_, &pass.airCache))
    return false;
  r.rhoAir = AirDensity(r.taIn, r.rhIn);
  r.cpAir = AirCp(r.taIn);
  coil.curAirN.reset();
  coil.lengthFactor = 1;
  coil.bypassCoef = 0;
  if (series == "DARNE") {
    coil.headerFactor = t.TabCCC50(m);
    coil.airCoef = t.TabCC30(s - 1, m);
    coil.lengthFactor = t.TabDeltaL(m);  // the heating coil spans more of the unit
  } else if (series == "VELD") {
    coil.headerFactor = t.TabCCC50(m);
    coil.airCoef = t.TabCC30(1, m);
    coil.curAirN = t.TabCX31(m);
  } else if (series == "TORVA" || series == "TORVAEC") {
    coil.headerFactor = t.TabFCC50(m);
    coil.airCoef = t.TabCC30(1, m);
  } else if (series == "Q70") {
    coil.headerFactor = t.TabCCC50(m);
    airFlow = t.TabQA(m);
    constants.CoilFrictionCoef = t.TabC50(m);
  } else if (series == "BRISK" || series == "QUIVO" || series == "LUMO") {
    coil.headerFactor = t.TabCCC50(m);
    coil.airCoef = t.TabCC30(s, m);
  } else {
    coil.headerFactor = t.TabFCC50(m);
    coil.airCoef = t.TabCC30(s, m);
  }
  r.airFlow = airFlow;
  PrepareCoil(r, constants, coil, Duty::kHeating);

  if (series == "Q70") {
    RateQ70Heating(m);
    row.heating = HeatingCellsOf(r);
    return true;
  }
  HeatingSolveResult result;
  if (r.givenTwOut > 0) {
    r.twOut = r.givenTwOut;
    result = SolveHeatingFlow(r, pass.context);
  } else if (form.chkComeFreddo.Value) {
    if (!pass.coolingWaterFlow) {
      if (series == "DARNE" && form.chkFlap.Value) {
        // The flap open means no cooling, so no cooling water flow to take.
        ui_.ShowMessage(session_.Text(107), Icon::kError);
        ui_.SetFocus(Control(Ctl::txtTw2, 1));
        return false;
      }
      return true;  // the cooling of this model gave no water flow to take: no figures
    }
    r.waterFlow = *pass.coolingWaterFlow;
    result = SolveHeatingOutlet(r, pass.context);
  } else {
    r.waterFlow = r.givenWaterFlow;
    result = SolveHeatingOutlet(r, pass.context);
  }
  if (result.status == HeatingStatus::kConverged) row.heating = HeatingCellsOf(r);
  return true;
}

void StandardScreen::RateQ70Heating(int m) {
  // 7. The Q70 unit heaters are rated from their catalogue output and an exponent fitted
  // to their heating tests, with the leaving water temperature given.
  const ModelTables& t = session_.models;
  CoilRatingState& r = session_.rating;
  const CoilConstants& constants = session_.constants;
  const float tw2 = r.givenTwOut;
  r.twOut = tw2;
  const float dTw = Sng(double{r.twIn} - tw2);
  r.twMean = Sng((double{r.twIn} + tw2) / 2);
  r.muWater = WaterViscosity(r.twMean);
  const float dT = Sng(double{r.twMean} - r.taIn);
  const double ptn = t.TabPTN(m);
  const double y1 = t.TabY1(m);
  r.heatCapacity = Sng(Pow(Pow(Div(10, dTw * ptn), y1) * dT * ptn / 60, Div(1, 1 - y1)));
  r.heatTaOut = Sng(r.taIn + Div(r.heatCapacity * 0.86, t.TabQA(m) * 0.2895 * 3600));
  r.waterFlow = Div(Div(r.heatCapacity * 0.86, dTw), 3600000);
  r.heatWaterFlow = Sng(r.waterFlow);
  r.waterVelocity = WaterVelocity(constants, r.waterFlow, r.coilCircuits);
  r.reynolds = WaterReynolds(constants, r.waterVelocity, r.twMean, r.muWater);
  r.heatPressureDrop = WaterPressureDropTerm(r, constants);
}

void StandardScreen::WriteRow(Pass& pass, StandardRow& row) {
  // The listening distance and the directivity are read when the first row needs them.
  if (!pass.distance) pass.distance = LocaleSingle(form.txtDistanza.Text, session_.Decimal());
  if (!pass.directivity)
    pass.directivity = CInt(LocaleNumber(form.cboDirezione.Text(), session_.Decimal()));
  row.lp = CInt(SoundPressureLevel(row.lw, *pass.distance, *pass.directivity));
  form.Grd.AddItem(
      StandardRowText(row, pass.series, pass.coolWaterIsFlow, pass.heatWaterIsFlow, session_));
}

void PrepareStandardDispatch(Session& session, const StandardSeriesConfig& config) {
  session.settings.CurrentSeries = std::string(config.code);
  if (config.setsReTransMode) session.settings.ReTransMode = 2;
}

void ConfigureStandardScreen(StandardScreen& screen, const StandardSeriesConfig& config,
                             const Session& session) {
  StandardForm& f = screen.form;
  f.pnlFreddo.Visible = config.coolingPanel;
  f.lblPsu.Enabled = config.staticPressureEnabled;
  f.txtpsu.Enabled = config.staticPressureEnabled;
  f.chkHX.Visible = config.chkHXVisible;
  f.chkFlap.Visible = config.chkFlapVisible;
  f.lblglic.Enabled = config.glycolEnabled;
  f.txtGlic.Enabled = config.glycolEnabled;
  f.pnlCaldo.AlignTop = config.heatingPanelTop;
  f.Caption = StandardCaption(config, session);
}

std::unique_ptr<StandardScreen> DispatchStandardSeries(Session& session, ScreenUi& ui,
                                                       const StandardSeriesConfig& config) {
  PrepareStandardDispatch(session, config);
  auto screen = std::make_unique<StandardScreen>(session, ui);
  screen->Form_Load();
  ConfigureStandardScreen(*screen, config, session);
  LoadStandardModels(*screen, config, session);
  return screen;
}

void LoadStandardModels(StandardScreen& screen, const StandardSeriesConfig& config,
                        Session& session, const std::function<void()>& pendingEvents) {
  screen.form.cboModel.List =
      LoadSeriesTable(config.series, *session.store, session.models, session.constants,
                      session.rating, session.Text(84), pendingEvents);
  screen.form.cboModel.ListIndex = 0;
}

}  // namespace vestra::screens
