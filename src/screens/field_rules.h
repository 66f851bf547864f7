#pragma once

// The field rules the selection screens share: keys, select-on-focus, the range check
// made when the user leaves a field, the coupling of dry bulb, wet bulb and relative
// humidity, the alternative datum between leaving water temperature and water flow, and
// the check of one duty's inputs at calculation time.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "screens/controls.h"
#include "screens/form.h"
#include "screens/rated_row.h"
#include "screens/session.h"

namespace vestra::screens {

// What the screen does with a key before the focused control sees it.
struct KeyAction {
  char key;              // the key passed on (possibly replaced)
  bool sendTab = false;  // Enter: move the focus to the next field as Tab does
};
KeyAction ScreenKeyPress(char key, const Settings& settings);

// Caret at the start and the whole text selected.
void SelectAllText(TextBox& field);

// The largest water flow a terminal unit of the catalogue takes, m3/s (20 l/s), and the
// listening distances the sound pressure is worked out for, m: closer than half a metre
// the unit is no point source any more, beyond 100 m the room's own noise decides.
inline constexpr double kMaxWaterFlowM3s = 0.02;
inline constexpr float kMinDistanceM = 0.5f;
inline constexpr float kMaxDistanceM = 100;

// "Il valore deve essere compreso tra " min unit -> max unit, in the current language.
std::string RangeText(float min, float max, std::string_view unitLabel, const Session& session);

// The range check on leaving a field, in display units. Returns -1 when the value was out
// of range (the field then holds the minimum and has the focus again), else 0. Leaving
// towards the close button, NoLimits, and an empty or zero field whose zero is accepted
// are never checked.
std::int16_t CheckFieldRange(TextBox& field, ControlRef fieldId, float min, float max,
                             std::string_view unitLabel, bool zeroAccepted,
                             ControlRef receivingFocus, const Session& session, ScreenUi& ui);

// The presence test of a field: its leading number ("." as the decimal point) is
// positive. "0,5" is not present, "12,5" is; a number too large to read is present.
bool IsPositive(const TextBox& field);
// The leading number of a field, ±infinity for one beyond the double range.
double PresenceValue(const TextBox& field);

// The locale conversion of a field into a single.
struct FieldNumber {
  enum Kind { kValue, kNotANumber, kTooLarge };
  Kind kind = kNotANumber;
  float value = 0;        // kValue
  bool negative = false;  // kValue, kTooLarge
};
FieldNumber ReadFieldNumber(const TextBox& field, const Session& session);

// A dry bulb, its wet bulb and its relative humidity, which follow each other: the
// cooling panel's entering air, or one air stream of the ducted screens.
struct MoistureFields {
  TextBox& dryBulb;
  TextBox& wetBulb;
  TextBox& humidity;
  ControlRef wetBulbRef, humidityRef;
  float rhMin, rhMax;  // %, the humidity's range
};

// Leaving the wet bulb: a wet bulb below the dry bulb gives the humidity; one at or above
// it is refused (the humidity emptied, the focus back on the wet bulb).
void WetBulbLeft(MoistureFields fields, ControlRef receivingFocus, const Session& session,
                 ScreenUi& ui);
// Leaving the humidity: its range check (the result), then the wet bulb from it, or the
// humidity from the wet bulb when it was emptied.
std::int16_t HumidityLeft(MoistureFields fields, ControlRef receivingFocus, const Session& session,
                          ScreenUi& ui);

// The leave-field rules of the fields every screen has. `comeFreddo` is the "=QW(C)" box
// of the standard screen (nullptr on screens without it); `pressureLimitPa` the top of the
// static-pressure range (80 Pa on the standard screen, 100 Pa on the EC screens).
struct CommonFieldRules {
  CommonForm& form;
  CheckBox* comeFreddo;
  float pressureLimitPa;
  const Session& session;
  ScreenUi& ui;

  // Dispatches the leave event of a field; returns false for a control without rules.
  bool LostFocus(ControlRef field, ControlRef receivingFocus);

  void txtTsa1_LostFocus(int index, ControlRef receivingFocus);
  void txtTw1_LostFocus(int index, ControlRef receivingFocus);
  void txtTbu_LostFocus(ControlRef receivingFocus);
  void txtUr_LostFocus(ControlRef receivingFocus);
  void txtTw2_LostFocus(int index, ControlRef receivingFocus);
  void txtQw_LostFocus(int index, ControlRef receivingFocus);
  void txtDistanza_LostFocus(ControlRef receivingFocus);
  void txtGlic_LostFocus(ControlRef receivingFocus);
  void txtpsu_LostFocus(ControlRef receivingFocus);
  // Ticking "=QW(C)": the heating duty takes the cooling water flow.
  void chkComeFreddo_Click();

 private:
  MoistureFields Moisture();
};

// The inputs of one duty as typed, in base units (temperatures in degC, the water flow in
// m3/s); a text that does not convert reads as 0. In heating the humidity is 0.
struct DutyInputs {
  float taIn = 0;
  float twIn = 0;
  float givenTwOut = 0;       // 0: not given
  double givenWaterFlow = 0;  // 0: not given
  float glycolPct = 0;
  float rhIn = 0;
};

// The inputs of one duty read and checked at calculation time. `problem` is the first
// check that failed, in the order the checks are made: its message and the field that
// takes the focus. `errorNumber` is a run-time error met while reading.
struct DutyCheck {
  DutyInputs inputs;
  std::optional<ScreenMessage> problem;
  std::optional<int> errorNumber;
  bool Ok() const { return !problem && !errorNumber; }
};

// Reads and checks the inputs of the duty `heatingDuty` (0 cooling, 1 heating).
// `comeFreddoTicked` is nullopt on screens without "=QW(C)". Nothing is shown: the
// calculation shows the problem when it reaches the duty.
DutyCheck ReadDutyInputs(const CommonForm& form, std::int16_t heatingDuty,
                         std::optional<bool> comeFreddoTicked, const Session& session);

}  // namespace vestra::screens
