#pragma once

// The standard selection screen FDatiP: fixed-speed fan coils, cassettes, unit heaters
// and the two-in-one series. The logic on plain values; the window binds to `form` and
// forwards its events here.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "screens/field_rules.h"
#include "screens/form.h"
#include "screens/session.h"
#include "screens/standard_series.h"

namespace vestra {
struct CoilModel;
}

namespace vestra::screens {

struct StandardRow;

class StandardScreen {
 public:
  StandardScreen(Session& session, ScreenUi& ui);

  StandardForm form;

  // The load handler: captions, tooltips, legend and speed list for CurrentSeries, the
  // direction list; the grid empty and the legend button hidden until a calculation.
  void Form_Load();

  // Window events.
  KeyAction Form_KeyPress(char key) const;
  void GotFocus(ControlRef field);
  // Leaving a field; receivingFocus is the control that gets the focus next.
  void LostFocus(ControlRef field, ControlRef receivingFocus);
  void chkComeFreddo_Click();
  void cmdCalcola_Click();
  void cmdLegend_Click();
  void PanLegend_Click();
  // A click on a results row: the model named in its first cell becomes the choice.
  void Grd_Click(int row);
  // Ctrl+C (key code 3) copies the heading rows and the selected rows.
  void Grd_KeyPress(int keyCode, int firstSelectedRow, int lastSelectedRow, int lastSelectedCol);

  // The controls by name, for a window's binding and a headless run; nullptr when the
  // screen has no such control of that kind.
  TextBox* Field(ControlRef control);
  CheckBox* Check(ControlRef control);
  ComboBox* Combo(ControlRef control);
  // The same lookups for reading: the non-const ones change nothing themselves.
  const TextBox* Field(ControlRef control) const {
    return const_cast<StandardScreen*>(this)->Field(control);
  }
  const CheckBox* Check(ControlRef control) const {
    return const_cast<StandardScreen*>(this)->Check(control);
  }
  const ComboBox* Combo(ControlRef control) const {
    return const_cast<StandardScreen*>(this)->Combo(control);
  }
  // Shown and enabled, on a shown panel: a control the user can reach.
  bool IsUsable(ControlRef control) const;
  // A click on a check box (or its change by the keyboard) to the given state.
  void CheckBox_Click(ControlRef box, bool value);

  // Which rows the last calculation wrote (for callers that report, e.g. the headless run).
  int ModelRowCount() const { return form.Grd.RowCount() - 2; }

 private:
  // One Calculate's invariants and what one model leaves for the next.
  struct Pass;
  struct EcFanPoint;
  void Calculate();
  // The steps of one model at one speed; false ends the calculation (after a message).
  bool RateModel(Pass& pass, int speed, int model);
  bool RateNaturalConvection(Pass& pass, int speed, int model, StandardRow& row);
  // false: the step does not offer this model.
  bool AirFlowAtStep(Pass& pass, int speed, int model, CoilModel& coil, float& coolAirFlow,
                     float& heatAirFlow, EcFanPoint& ec);
  bool RateCooling(Pass& pass, int speed, int model, CoilModel coil, float airFlow, bool partner);
  bool RateHeating(Pass& pass, int speed, int model, CoilModel coil, float airFlow,
                   StandardRow& row);
  void RateQ70Heating(int model);
  // The sound pressure of the row, then the row into the grid.
  void WriteRow(Pass& pass, StandardRow& row);
  CommonFieldRules Rules();

  Session& session_;
  ScreenUi& ui_;
};

// The series dispatch of the main window for a standard-screen series: CurrentSeries and
// ReTransMode, then the screen created (Form_Load) and set up for the series (panels,
// fields, boxes, caption). Returns the screen; the caller shows it and then loads the
// models with LoadStandardModels.
void PrepareStandardDispatch(Session& session, const StandardSeriesConfig& config);
void ConfigureStandardScreen(StandardScreen& screen, const StandardSeriesConfig& config,
                             const Session& session);
// Runs the series' loader and fills the model list, "* Tutto" selected.
void LoadStandardModels(StandardScreen& screen, const StandardSeriesConfig& config,
                        Session& session, const std::function<void()>& pendingEvents = {});

// The whole dispatch for a run without a window (a window shows the screen before the
// loader runs): a fresh screen, set up for the series, with its models loaded.
std::unique_ptr<StandardScreen> DispatchStandardSeries(Session& session, ScreenUi& ui,
                                                       const StandardSeriesConfig& config);

}  // namespace vestra::screens
