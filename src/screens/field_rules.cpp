#include "screens/field_rules.h"

#include <cmath>
#include <string>

#include "app/numbers.h"
#include "app/units.h"
#include "engine/errors.h"
#include "engine/moist_air.h"
#include "engine/numeric.h"

namespace vestra::screens {

namespace {

// Temperatures and humidities coupled on the cooling panel are shown with one decimal.
constexpr std::string_view kCouplingFormat = "##.0";
constexpr const char* kDegrees = "°C";

// A field's text that reads as a number too large for a single: treated as beyond any
// range, never as a value.
bool NegativeText(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  return first != std::string_view::npos && text[first] == '-';
}

// The locale conversion of a field; nothing when the text is not a number or does not
// fit a single.
std::optional<float> FieldValue(const TextBox& field, const Session& session) {
  const FieldNumber number = ReadFieldNumber(field, session);
  if (number.kind != FieldNumber::kValue) return std::nullopt;
  return number.value;
}

// A field value read at calculation time: a text that does not convert reads as 0.
float ValueOrZero(const TextBox& field, const Session& session) {
  return FieldValue(field, session).value_or(0.0f);
}

}  // namespace

KeyAction ScreenKeyPress(char key, const Settings& settings) {
  if (key == '\r') return {key, true};
  if ((key == '.' || key == ',') && settings.DecimalSeparator.size() == 1)
    return {settings.DecimalSeparator[0], false};
  return {key, false};
}

void SelectAllText(TextBox& field) {
  field.SelStart = 0;
  field.SelLength = static_cast<int>(field.Text.size());
}

FieldNumber ReadFieldNumber(const TextBox& field, const Session& session) {
  std::optional<double> value;
  try {
    value = TryLocaleNumber(field.Text, session.Decimal());
  } catch (const RuntimeError&) {
    // Beyond the double range.
    return {FieldNumber::kTooLarge, 0, NegativeText(field.Text)};
  }
  if (!value) return {FieldNumber::kNotANumber, 0, false};
  if (!std::isfinite(static_cast<float>(*value))) return {FieldNumber::kTooLarge, 0, *value < 0};
  return {FieldNumber::kValue, static_cast<float>(*value), *value < 0};
}

double PresenceValue(const TextBox& field) {
  try {
    return LeadingNumber(field.Text);
  } catch (const RuntimeError&) {
    // A leading number beyond the double range is there all the same.
    return NegativeText(field.Text) ? -HUGE_VAL : HUGE_VAL;
  }
}

bool IsPositive(const TextBox& field) {
  return PresenceValue(field) > 0;
}

std::string RangeText(float min, float max, std::string_view unitLabel, const Session& session) {
  const char sep = session.Decimal();
  const std::string unit = " " + std::string(unitLabel);
  return session.Text(108) + PlainNumberText(min, sep) + unit + " -> " + PlainNumberText(max, sep) +
         unit;
}

std::int16_t CheckFieldRange(TextBox& field, ControlRef fieldId, float min, float max,
                             std::string_view unitLabel, bool zeroAccepted,
                             ControlRef receivingFocus, const Session& session, ScreenUi& ui) {
  if (session.settings.NoLimits) return 0;
  // Leaving the screen never triggers a range message.
  if (receivingFocus.name == Ctl::CmdFine) return 0;
  if (PresenceValue(field) == 0 && zeroAccepted) return 0;
  FieldNumber number = ReadFieldNumber(field, session);
  if (number.kind == FieldNumber::kNotANumber) {
    field.Text = "0";
    number = {FieldNumber::kValue, 0, false};
  }
  // A number too large for a single lies beyond any range.
  const bool outside =
      number.kind == FieldNumber::kTooLarge || !(number.value >= min) || number.value > max;
  if (outside) {
    const std::string minText = PlainNumberText(min, session.Decimal());
    const std::string message =
        RangeText(min, max, unitLabel, session) + "\n" + session.Text(109) + minText;
    ui.ShowMessage(message, Icon::kError);
    field.Text = minText;
    ui.SetFocus(fieldId);
    return -1;
  }
  return 0;
}

bool CommonFieldRules::LostFocus(ControlRef field, ControlRef receivingFocus) {
  const int i = field.index;
  switch (field.name) {
    case Ctl::txtTsa1:
      txtTsa1_LostFocus(i, receivingFocus);
      return true;
    case Ctl::txtTw1:
      txtTw1_LostFocus(i, receivingFocus);
      return true;
    case Ctl::txtTbu:
      txtTbu_LostFocus(receivingFocus);
      return true;
    case Ctl::txtUr:
      txtUr_LostFocus(receivingFocus);
      return true;
    case Ctl::txtTw2:
      txtTw2_LostFocus(i, receivingFocus);
      return true;
    case Ctl::txtQw:
      txtQw_LostFocus(i, receivingFocus);
      return true;
    case Ctl::txtDistanza:
      txtDistanza_LostFocus(receivingFocus);
      return true;
    case Ctl::txtGlic:
      txtGlic_LostFocus(receivingFocus);
      return true;
    case Ctl::txtpsu:
      txtpsu_LostFocus(receivingFocus);
      return true;
    default:
      return false;
  }
}

void CommonFieldRules::txtTsa1_LostFocus(int index, ControlRef receivingFocus) {
  // Cooling entering air 18..33 degC; heating -10..30 degC, where 0 means "not given".
  const ControlRef id = Control(Ctl::txtTsa1, index);
  if (index == 0)
    form.LastCheckResult =
        CheckFieldRange(form.txtTsa1[0], id, 18, 33, kDegrees, false, receivingFocus, session, ui);
  else
    form.LastCheckResult =
        CheckFieldRange(form.txtTsa1[1], id, -10, 30, kDegrees, true, receivingFocus, session, ui);
}

void CommonFieldRules::txtTw1_LostFocus(int index, ControlRef receivingFocus) {
  const ControlRef id = Control(Ctl::txtTw1, index);
  if (index == 0)
    form.LastCheckResult =
        CheckFieldRange(form.txtTw1[0], id, 5, 20, kDegrees, false, receivingFocus, session, ui);
  else
    form.LastCheckResult =
        CheckFieldRange(form.txtTw1[1], id, 30, 95, kDegrees, false, receivingFocus, session, ui);
}

void WetBulbLeft(MoistureFields f, ControlRef receivingFocus, const Session& session,
                 ScreenUi& ui) {
  if (receivingFocus.name == Ctl::CmdFine) return;
  if (!IsPositive(f.wetBulb) || !IsPositive(f.dryBulb)) return;
  const std::optional<float> wetBulb = FieldValue(f.wetBulb, session);
  const std::optional<float> dryBulb = FieldValue(f.dryBulb, session);
  // A text with a number in front but not a number as a whole is left for the
  // calculation to report.
  if (!wetBulb || !dryBulb) return;
  if (*dryBulb > *wetBulb) {
    f.humidity.Text = FormatNumber(RelHumidityFromWetBulb(*dryBulb, *wetBulb), kCouplingFormat,
                                   session.Decimal());
  } else {
    ui.ShowMessage(session.Text(110), Icon::kError);
    f.humidity.Text.clear();
    ui.SetFocus(f.wetBulbRef);
  }
}

std::int16_t HumidityLeft(MoistureFields f, ControlRef receivingFocus, const Session& session,
                          ScreenUi& ui) {
  const std::int16_t result = CheckFieldRange(f.humidity, f.humidityRef, f.rhMin, f.rhMax, "%",
                                              true, receivingFocus, session, ui);
  const std::optional<float> dryBulb = FieldValue(f.dryBulb, session);
  // The wet bulb follows the humidity as it now stands, also after an out-of-range value
  // was reset to the minimum, so that the two fields never disagree.
  if (IsPositive(f.humidity) && dryBulb) {
    if (const std::optional<float> rh = FieldValue(f.humidity, session)) {
      bool found = false;
      const float wetBulb = WetBulbFromRelHumidity(*dryBulb, *rh, &found);
      f.wetBulb.Text = found ? FormatNumber(wetBulb, kCouplingFormat, session.Decimal()) : "";
    }
  }
  // An emptied humidity is recomputed from the wet bulb.
  if (!IsPositive(f.humidity) && IsPositive(f.wetBulb) && IsPositive(f.dryBulb)) {
    const std::optional<float> wetBulb = FieldValue(f.wetBulb, session);
    if (wetBulb && dryBulb)
      f.humidity.Text = FormatNumber(RelHumidityFromWetBulb(*dryBulb, *wetBulb), kCouplingFormat,
                                     session.Decimal());
  }
  return result;
}

MoistureFields CommonFieldRules::Moisture() {
  return {form.txtTsa1[0],     form.txtTbu, form.txtUr, Control(Ctl::txtTbu),
          Control(Ctl::txtUr), 20,          98};
}

void CommonFieldRules::txtTbu_LostFocus(ControlRef receivingFocus) {
  WetBulbLeft(Moisture(), receivingFocus, session, ui);
}

void CommonFieldRules::txtUr_LostFocus(ControlRef receivingFocus) {
  form.LastCheckResult = HumidityLeft(Moisture(), receivingFocus, session, ui);
}

void CommonFieldRules::txtTw2_LostFocus(int index, ControlRef receivingFocus) {
  if (receivingFocus.name == Ctl::CmdFine) return;
  TextBox& leaving = form.txtTw2[static_cast<std::size_t>(index)];
  // The leaving water temperature and the water flow are alternatives.
  if (IsPositive(leaving)) {
    if (comeFreddo) comeFreddo->Value = false;
    TextBox& flow = form.txtQw[static_cast<std::size_t>(index)];
    if (IsPositive(flow)) flow.Text.clear();
  }
  const TextBox& entering = form.txtTw1[static_cast<std::size_t>(index)];
  if (!IsPositive(entering) || !IsPositive(leaving)) return;
  const std::optional<float> twIn = FieldValue(entering, session);
  const std::optional<float> twOut = FieldValue(leaving, session);
  if (!twIn || !twOut) return;
  // Chilled water warms up in the coil, hot water cools down.
  if (index == 0 && *twIn >= *twOut) {
    ui.ShowMessage(session.Text(111), Icon::kError);
    ui.SetFocus(Control(Ctl::txtTw2, 0));
  } else if (index == 1 && !(*twIn > *twOut)) {
    ui.ShowMessage(session.Text(102), Icon::kError);
    ui.SetFocus(Control(Ctl::txtTw2, 1));
  }
}

void CommonFieldRules::txtQw_LostFocus(int index, ControlRef receivingFocus) {
  TextBox& flow = form.txtQw[static_cast<std::size_t>(index)];
  const Unit& unit = ChosenUnit(session.settings, Quantity::kWaterFlow);
  form.LastCheckResult = CheckFieldRange(flow, Control(Ctl::txtQw, index), 0,
                                         static_cast<float>(kMaxWaterFlowM3s * unit.factor),
                                         unit.name, true, receivingFocus, session, ui);
  if (!IsPositive(flow)) return;
  if (comeFreddo) comeFreddo->Value = false;
  TextBox& leaving = form.txtTw2[static_cast<std::size_t>(index)];
  if (IsPositive(leaving)) leaving.Text.clear();
}

void CommonFieldRules::txtDistanza_LostFocus(ControlRef receivingFocus) {
  form.LastCheckResult = CheckFieldRange(form.txtDistanza, Control(Ctl::txtDistanza), kMinDistanceM,
                                         kMaxDistanceM, "m", false, receivingFocus, session, ui);
}

void CommonFieldRules::txtGlic_LostFocus(ControlRef receivingFocus) {
  form.LastCheckResult = CheckFieldRange(form.txtGlic, Control(Ctl::txtGlic), 0, 60, "%", true,
                                         receivingFocus, session, ui);
}

void CommonFieldRules::txtpsu_LostFocus(ControlRef receivingFocus) {
  const Unit& unit = ChosenUnit(session.settings, Quantity::kAirPressure);
  const float max = static_cast<float>(pressureLimitPa * unit.factor);
  form.LastCheckResult = CheckFieldRange(form.txtpsu, Control(Ctl::txtpsu), 0, max, unit.name, true,
                                         receivingFocus, session, ui);
}

void CommonFieldRules::chkComeFreddo_Click() {
  if (!comeFreddo || !comeFreddo->Value) return;
  form.txtTw2[1].Text.clear();
  form.txtQw[1].Text.clear();
}

DutyCheck ReadDutyInputs(const CommonForm& form, std::int16_t heatingDuty,
                         std::optional<bool> comeFreddoTicked, const Session& session) {
  const std::size_t d = heatingDuty == 1 ? 1 : 0;
  const bool cooling = d == 0;
  DutyCheck check;
  DutyInputs& in = check.inputs;
  try {
    in.taIn = ValueOrZero(form.txtTsa1[d], session);
    in.twIn = ValueOrZero(form.txtTw1[d], session);
    in.givenTwOut = ValueOrZero(form.txtTw2[d], session);
    const Unit& unit = ChosenUnit(session.settings, Quantity::kWaterFlow);
    std::optional<double> typed;
    try {
      typed = TryLocaleNumber(form.txtQw[d].Text, session.Decimal());
    } catch (const RuntimeError&) {
      // Beyond the double range: a text that does not convert, as any other.
    }
    in.givenWaterFlow = BaseFromTyped(typed.value_or(0), unit);
    in.glycolPct = ValueOrZero(form.txtGlic, session);
    in.rhIn = ValueOrZero(form.txtUr, session);
  } catch (const RuntimeError& e) {
    check.errorNumber = e.number();
    return check;
  }

  const int dutyIndex = static_cast<int>(d);
  auto fail = [&](int textOffset, const std::string& suffix, ControlRef focus) {
    check.problem = ScreenMessage{session.Text(textOffset) + suffix, Icon::kError, focus};
    return check;
  };
  if (!session.settings.NoLimits) {
    const bool comeFreddo = comeFreddoTicked.value_or(false);
    if (cooling && in.taIn == 0) return fail(105, "", Control(Ctl::txtTsa1, dutyIndex));
    if (in.twIn == 0) return fail(100, "", Control(Ctl::txtTw1, dutyIndex));
    if (cooling && in.rhIn == 0) return fail(106, "", Control(Ctl::txtUr));
    if (in.givenTwOut == 0 && in.givenWaterFlow == 0 && !comeFreddo)
      return fail(107, "", Control(Ctl::txtTw2, dutyIndex));
    if (cooling && static_cast<double>(in.givenTwOut) - in.twIn > 10 && in.givenWaterFlow == 0)
      return fail(103, " > 10 °C", Control(Ctl::txtTw2, dutyIndex));
    if (!cooling && static_cast<double>(in.twIn) - in.givenTwOut > 40 && in.givenWaterFlow == 0 &&
        !comeFreddo)
      return fail(103, " > 40 °C", Control(Ctl::txtTw2, dutyIndex));
  }
  // What no rating can take, limits or not: a negative water flow, and water that would
  // have to cool down in a cooling coil or warm up in a heating coil.
  if (in.givenWaterFlow < 0) {
    const Unit& unit = ChosenUnit(session.settings, Quantity::kWaterFlow);
    check.problem = ScreenMessage{
        RangeText(0, static_cast<float>(kMaxWaterFlowM3s * unit.factor), unit.name, session),
        Icon::kError, Control(Ctl::txtQw, dutyIndex)};
    return check;
  }
  if (in.twIn > 0 && in.givenTwOut > 0) {
    if (cooling && in.twIn >= in.givenTwOut) return fail(111, "", Control(Ctl::txtTw2, 0));
    if (!cooling && !(in.twIn > in.givenTwOut)) return fail(102, "", Control(Ctl::txtTw2, 1));
  }
  if (!cooling) in.rhIn = 0;
  return check;
}

}  // namespace vestra::screens
