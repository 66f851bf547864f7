#pragma once

// The one interface of the five selection screens, which the windows, the main window's
// dispatch, vestra-select, the chart and the report talk to; and the base every screen
// builds on: the controls by name, the keys, select-on-focus, the legend, the grid click
// and copy, and Calculate's frame (busy pointer, the run-time error boundary, the message
// that ended it and the field it gives the focus to).

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "app/units.h"
#include "engine/errors.h"
#include "screens/controls.h"
#include "screens/field_rules.h"
#include "screens/form.h"
#include "screens/rated_row.h"
#include "screens/series_traits.h"
#include "screens/session.h"

namespace vestra::screens {

class SelectionScreen {
 public:
  virtual ~SelectionScreen() = default;

  // The window name ("FDatiP" ...) and the series the screen is set up for.
  virtual std::string_view Name() const = 0;
  virtual const SeriesTraits& Traits() const = 0;

  virtual CommonForm& Form() = 0;
  virtual const CommonForm& Form() const = 0;

  // The load handler: captions, tooltips, legend and lists; the grid empty and the
  // legend button hidden until the first Calculate.
  virtual void Form_Load() = 0;
  // The series dispatch on the screen: the controls the series shows or enables, and the
  // caption. The screen rates that series from now on.
  virtual void Configure(const SeriesTraits& traits) = 0;
  // The series' loader: the model tables and the model list, "* Tutto" selected.
  // `pendingEvents` runs after each record read.
  virtual void LoadModels(const std::function<void()>& pendingEvents = {}) = 0;

  // Window events.
  virtual KeyAction Form_KeyPress(char key) const = 0;
  virtual void GotFocus(ControlRef control) = 0;
  // Leaving a field; receivingFocus is the control that gets the focus next.
  virtual void LostFocus(ControlRef control, ControlRef receivingFocus) = 0;
  // A click on a check box (or its change by the keyboard) to the given state.
  virtual void CheckBox_Click(ControlRef box, bool value) = 0;
  // A scroll bar moved to a value (its Change event).
  virtual void ScrollBar_Change(ControlRef bar, int value) = 0;
  virtual void cmdCalcola_Click() = 0;
  virtual void cmdLegend_Click() = 0;
  virtual void PanLegend_Click() = 0;
  // A click on a results row (grid row, headings included): the model named in its first
  // cell becomes the choice.
  virtual void Grd_Click(int row) = 0;
  // Ctrl+C (key code 3) copies the heading rows and the selected rows.
  virtual void Grd_KeyPress(int keyCode, int firstSelectedRow, int lastSelectedRow,
                            int lastSelectedCol) = 0;

  // The controls by name; nullptr when the screen has no such control of that kind.
  virtual TextBox* Field(ControlRef control) = 0;
  virtual CheckBox* Check(ControlRef control) = 0;
  virtual ComboBox* Combo(ControlRef control) = 0;
  virtual ScrollBar* Scroll(ControlRef control) = 0;
  const TextBox* Field(ControlRef control) const {
    return const_cast<SelectionScreen*>(this)->Field(control);
  }
  const CheckBox* Check(ControlRef control) const {
    return const_cast<SelectionScreen*>(this)->Check(control);
  }
  const ComboBox* Combo(ControlRef control) const {
    return const_cast<SelectionScreen*>(this)->Combo(control);
  }
  const ScrollBar* Scroll(ControlRef control) const {
    return const_cast<SelectionScreen*>(this)->Scroll(control);
  }
  // Shown and enabled, on a shown panel: a control the user can reach.
  virtual bool IsUsable(ControlRef control) const = 0;
  // The order in which Tab and Enter walk the controls.
  virtual std::span<const ControlRef> TabOrder() const = 0;

  // The units were changed (from `previous`): the unit labels follow, and the quantities
  // typed in the old units are rewritten in the new ones, so that what a field holds is
  // always read in the unit beside it.
  virtual void UnitsChanged(const Settings& previous) = 0;

  // The typed rows of the last Calculate and the message that ended it.
  virtual const CalculationResult& LastCalculation() const = 0;
  // The model rows the last Calculate wrote into the grid.
  int ModelRowCount() const { return Form().Grd.RowCount() - 2; }
};

// The controls of a screen by name, with the panel each sits on.
class ControlTable {
 public:
  void Add(ControlRef ref, TextBox& box, const Panel* host = nullptr);
  void Add(ControlRef ref, CheckBox& box, const Panel* host = nullptr);
  void Add(ControlRef ref, ComboBox& box, const Panel* host = nullptr);
  void Add(ControlRef ref, Button& button, const Panel* host = nullptr);
  void Add(ControlRef ref, ScrollBar& bar, const Panel* host = nullptr);

  TextBox* Field(ControlRef ref) const;
  CheckBox* Check(ControlRef ref) const;
  ComboBox* Combo(ControlRef ref) const;
  ScrollBar* Scroll(ControlRef ref) const;
  // Shown and enabled, and its panel shown; false for a control the table does not hold.
  bool IsUsable(ControlRef ref) const;

 private:
  struct Entry {
    ControlRef ref;
    std::variant<TextBox*, CheckBox*, ComboBox*, Button*, ScrollBar*> state;
    const Panel* host;
  };
  const Entry* Find(ControlRef ref) const;
  std::vector<Entry> entries_;
};

// What every screen shares.
class ScreenBase : public SelectionScreen {
 public:
  ScreenBase(Session& session, ScreenUi& ui, const SeriesTraits& traits);
  ScreenBase(const ScreenBase&) = delete;
  ScreenBase& operator=(const ScreenBase&) = delete;

  const SeriesTraits& Traits() const override { return *traits_; }
  KeyAction Form_KeyPress(char key) const override;
  void GotFocus(ControlRef control) override;
  void cmdCalcola_Click() override;
  void cmdLegend_Click() override;
  void PanLegend_Click() override;
  void Grd_Click(int row) override;
  void Grd_KeyPress(int keyCode, int firstSelectedRow, int lastSelectedRow,
                    int lastSelectedCol) override;
  TextBox* Field(ControlRef control) override { return controls_.Field(control); }
  CheckBox* Check(ControlRef control) override { return controls_.Check(control); }
  ComboBox* Combo(ControlRef control) override { return controls_.Combo(control); }
  ScrollBar* Scroll(ControlRef control) override { return controls_.Scroll(control); }
  void ScrollBar_Change(ControlRef /*bar*/, int /*value*/) override {}
  using SelectionScreen::Check;
  using SelectionScreen::Combo;
  using SelectionScreen::Field;
  using SelectionScreen::Scroll;
  bool IsUsable(ControlRef control) const override { return controls_.IsUsable(control); }
  const CalculationResult& LastCalculation() const override { return last_; }
  void UnitsChanged(const Settings& previous) override;

 protected:
  // The three phases of the screen's Calculate: read and check, rate, format into the
  // grid. Returns the rows and the message that ended it; a run-time error raised here is
  // reported by cmdCalcola_Click.
  virtual CalculationResult Calculate() = 0;

  // The controls every screen has, on their panels; a screen adds its own.
  void RegisterCommonControls(CommonForm& form);
  // The required duty's fields, which every screen has.
  void RegisterDutyControls(CommonForm& form);
  void SetTraits(const SeriesTraits& traits) { traits_ = &traits; }

  Session& session_;
  ScreenUi& ui_;
  ControlTable controls_;

 private:
  const SeriesTraits* traits_;
  CalculationResult last_;
};

// Rewrites a quantity typed in one unit into another; a text that is not a number, or
// holds no quantity, stays as typed.
void ConvertTypedQuantity(TextBox& field, const Unit& from, const Unit& to, char decimalSeparator);

// "Errore generico : " and the error number, with the warning icon: how a screen's
// Calculate reports a run-time error.
ScreenMessage GenericErrorMessage(int errorNumber);

// A value read at calculation time whose read may fail with a run-time error; the error
// surfaces where the calculation first needs the value, as it would have if the field had
// been read there.
template <typename T>
class Deferred {
 public:
  template <typename Read>
  static Deferred Of(Read&& read) {
    Deferred d;
    try {
      d.value_ = read();
    } catch (const RuntimeError& e) {
      d.error_ = e.number();
    }
    return d;
  }
  const T& Get() const {
    if (!value_) Raise(error_);
    return *value_;
  }

 private:
  std::optional<T> value_;
  int error_ = 0;
};

}  // namespace vestra::screens
