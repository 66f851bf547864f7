#include "screens/selection_screen.h"

#include <cmath>
#include <optional>
#include <string>

#include "app/numbers.h"
#include "app/units.h"
#include "screens/duty.h"
#include "screens/like.h"

namespace vestra::screens {

namespace {

template <typename T>
T* As(const std::variant<TextBox*, CheckBox*, ComboBox*, Button*, ScrollBar*>& state) {
  if (const auto* p = std::get_if<T*>(&state)) return *p;
  return nullptr;
}

}  // namespace

void ControlTable::Add(ControlRef ref, TextBox& box, const Panel* host) {
  entries_.push_back({ref, &box, host});
}
void ControlTable::Add(ControlRef ref, CheckBox& box, const Panel* host) {
  entries_.push_back({ref, &box, host});
}
void ControlTable::Add(ControlRef ref, ComboBox& box, const Panel* host) {
  entries_.push_back({ref, &box, host});
}
void ControlTable::Add(ControlRef ref, Button& button, const Panel* host) {
  entries_.push_back({ref, &button, host});
}

void ControlTable::Add(ControlRef ref, ScrollBar& bar, const Panel* host) {
  entries_.push_back({ref, &bar, host});
}

const ControlTable::Entry* ControlTable::Find(ControlRef ref) const {
  for (const Entry& e : entries_)
    if (e.ref == ref) return &e;
  return nullptr;
}

TextBox* ControlTable::Field(ControlRef ref) const {
  const Entry* e = Find(ref);
  return e ? As<TextBox>(e->state) : nullptr;
}

CheckBox* ControlTable::Check(ControlRef ref) const {
  const Entry* e = Find(ref);
  return e ? As<CheckBox>(e->state) : nullptr;
}

ComboBox* ControlTable::Combo(ControlRef ref) const {
  const Entry* e = Find(ref);
  return e ? As<ComboBox>(e->state) : nullptr;
}

ScrollBar* ControlTable::Scroll(ControlRef ref) const {
  const Entry* e = Find(ref);
  return e ? As<ScrollBar>(e->state) : nullptr;
}

bool ControlTable::IsUsable(ControlRef ref) const {
  const Entry* e = Find(ref);
  if (!e || (e->host && !e->host->Visible)) return false;
  return std::visit([](const auto* state) { return state->Visible && state->Enabled; }, e->state);
}

ScreenMessage GenericErrorMessage(int errorNumber) {
  return {"Errore generico : " + std::to_string(errorNumber), Icon::kWarning, std::nullopt};
}

ScreenBase::ScreenBase(Session& session, ScreenUi& ui, const SeriesTraits& traits)
    : session_(session), ui_(ui), traits_(&traits) {}

void ScreenBase::RegisterCommonControls(CommonForm& f) {
  for (int i = 0; i < 2; ++i) {
    const Panel* panel = i == 0 ? &f.pnlFreddo : &f.pnlCaldo;
    const auto k = static_cast<std::size_t>(i);
    controls_.Add(Control(Ctl::txtTsa1, i), f.txtTsa1[k], panel);
    controls_.Add(Control(Ctl::txtTw1, i), f.txtTw1[k], panel);
    controls_.Add(Control(Ctl::txtTw2, i), f.txtTw2[k], panel);
    controls_.Add(Control(Ctl::txtQw, i), f.txtQw[k], panel);
  }
  // The humidity fields sit on the cooling panel.
  controls_.Add(Control(Ctl::txtTbu), f.txtTbu, &f.pnlFreddo);
  controls_.Add(Control(Ctl::txtUr), f.txtUr, &f.pnlFreddo);
  controls_.Add(Control(Ctl::txtGlic), f.txtGlic);
  controls_.Add(Control(Ctl::txtpsu), f.txtpsu);
  controls_.Add(Control(Ctl::txtDistanza), f.txtDistanza);
  controls_.Add(Control(Ctl::cboModel), f.cboModel);
  controls_.Add(Control(Ctl::cboDirezione), f.cboDirezione);
  controls_.Add(Control(Ctl::cmdCalcola), f.cmdCalcola);
  controls_.Add(Control(Ctl::CmdFine), f.CmdFine);
  controls_.Add(Control(Ctl::cmdStampa), f.cmdStampa);
  controls_.Add(Control(Ctl::cmdLegend), f.cmdLegend);
  RegisterDutyControls(f);
}

void ScreenBase::RegisterDutyControls(CommonForm& f) {
  for (int k = 0; k < kDutyFields; ++k)
    controls_.Add(Control(Ctl::txtReq, k), f.txtReq[static_cast<std::size_t>(k)], &f.frmDuty);
  SetDutyCaptions(f, session_);
}

void ConvertTypedQuantity(TextBox& field, const Unit& from, const Unit& to, char decimalSeparator) {
  if (from.factor == to.factor) return;
  std::optional<double> typed;
  try {
    typed = TryLocaleNumber(field.Text, decimalSeparator);
  } catch (const RuntimeError&) {
    return;
  }
  if (!typed || *typed == 0) return;
  const double converted = *typed / from.factor * to.factor;
  if (!std::isfinite(static_cast<float>(converted))) return;
  field.Text = PlainNumberText(static_cast<float>(converted), decimalSeparator);
}

void ScreenBase::UnitsChanged(const Settings& previous) {
  CommonForm& f = Form();
  const char sep = session_.Decimal();
  const Unit& waterFrom = ChosenUnit(previous, Quantity::kWaterFlow);
  const Unit& waterTo = ChosenUnit(session_.settings, Quantity::kWaterFlow);
  const Unit& pressureFrom = ChosenUnit(previous, Quantity::kAirPressure);
  const Unit& pressureTo = ChosenUnit(session_.settings, Quantity::kAirPressure);
  for (std::size_t i = 0; i < 2; ++i) {
    ConvertTypedQuantity(f.txtQw[i], waterFrom, waterTo, sep);
    f.lblumQw[i].Caption = std::string(waterTo.name);
  }
  ConvertTypedQuantity(f.txtpsu, pressureFrom, pressureTo, sep);
  f.lblumDpa.Caption = std::string(pressureTo.name);
  ConvertDutyFields(f, previous, session_);
}

KeyAction ScreenBase::Form_KeyPress(char key) const {
  return ScreenKeyPress(key, session_.settings);
}

void ScreenBase::GotFocus(ControlRef control) {
  if (TextBox* box = Field(control)) SelectAllText(*box);
}

void ScreenBase::cmdCalcola_Click() {
  CommonForm& f = Form();
  // A required duty that cannot be read stops the calculation before it starts, as any
  // other field would.
  std::variant<RequiredDuty, ScreenMessage> duty = ReadRequiredDuty(f, session_);
  if (auto* message = std::get_if<ScreenMessage>(&duty)) {
    last_ = CalculationResult{{}, *message};
    ui_.ShowMessage(message->text, message->icon);
    if (message->focus) ui_.SetFocus(*message->focus);
    return;
  }
  ui_.SetBusy(true);
  CalculationResult result;
  try {
    result = Calculate();
  } catch (const RuntimeError& e) {
    result.message = GenericErrorMessage(e.number());
  }
  last_ = std::move(result);
  const DutyMarks marks = MarkDuty(f, last_.rows, std::get<RequiredDuty>(duty), session_);
  ui_.SetBusy(false);
  if (const auto& message = last_.message) {
    ui_.ShowMessage(message->text, message->icon);
    if (message->focus) ui_.SetFocus(*message->focus);
  } else if (marks.selectRow) {
    ui_.SelectGridRow(*marks.selectRow);
  }
}

void ScreenBase::cmdLegend_Click() {
  CommonForm& f = Form();
  f.PanLegend.Visible = !f.PanLegend.Visible;
  ui_.Refresh();
}

void ScreenBase::PanLegend_Click() {
  Form().PanLegend.Visible = false;
}

void ScreenBase::Grd_Click(int row) {
  CommonForm& f = Form();
  const std::string name = f.Grd.Cell(row, 0);
  if (name.empty()) return;
  // The row's name is read as a pattern, so the "HX*" partner's row selects its "HX"
  // model: the last matching entry wins.
  for (int i = 1; i < f.cboModel.ListCount(); ++i)
    if (Like(f.cboModel.List[static_cast<std::size_t>(i)], name)) f.cboModel.ListIndex = i;
}

void ScreenBase::Grd_KeyPress(int keyCode, int firstSelectedRow, int lastSelectedRow,
                              int lastSelectedCol) {
  if (keyCode != 3) return;
  ui_.SetClipboardText(
      GridCopyText(Form().Grd, firstSelectedRow, lastSelectedRow, lastSelectedCol));
}

}  // namespace vestra::screens
