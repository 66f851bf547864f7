#pragma once

// The controls of the selection screens as plain values: what a window shows and what the
// screen logic reads and writes. A window binds its widgets to these and forwards its
// events to the screen's handlers; it holds no rules.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vestra::screens {

// The names of the controls the logic refers to: fields, lists, boxes and buttons that
// take the focus, receive events or are named in a message.
enum class Ctl {
  kNone,
  txtTsa1,
  txtTbu,
  txtUr,
  txtTw1,
  txtTw2,
  txtQw,
  txtGlic,
  txtpsu,
  txtDistanza,
  txtqatot,
  cboVel,
  cboModel,
  cboDirezione,
  chkComeFreddo,
  chkHX,
  chkFlap,
  cmdCalcola,
  CmdFine,
  cmdStampa,
  cmdLegend,
  cmdGrafico,
  Grd,
  PanLegend,
  // The ducted screens: the recirculated and the fresh air streams, the accessories and
  // the fresh-air share.
  txtTsa1ric,
  txtTburic,
  txtUrric,
  txtTsa1rin,
  txttburin,
  txturrin,
  chkAcc,
  Scrollfreddo,
  ScrollCaldo,
  // The required duty every screen takes: 0 total cooling, 1 sensible cooling, 2 heating
  // (in the capacity unit), 3 the loudest sound pressure allowed (dB(A)).
  txtReq,
};

// A control and, for the control arrays, its index (0 cooling panel, 1 heating panel).
struct ControlRef {
  Ctl name = Ctl::kNone;
  int index = -1;
  friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

inline ControlRef Control(Ctl name, int index = -1) {
  return {name, index};
}

// "txtTw2(1)", "cboModel".
std::string ControlName(ControlRef control);
// The control of a name as ControlName writes it; nothing for an unknown name.
std::optional<ControlRef> ParseControlName(std::string_view text);

enum class Icon { kNone, kError, kWarning };

struct TextBox {
  std::string Text;
  bool Enabled = true;
  bool Visible = true;
  std::string ToolTipText;
  int SelStart = 0;
  int SelLength = 0;
};

struct Label {
  std::string Caption;
  bool Enabled = true;
  bool Visible = true;
};

struct CheckBox {
  std::string Caption;
  bool Value = false;
  bool Enabled = true;
  bool Visible = true;
};

struct ComboBox {
  std::vector<std::string> List;
  int ListIndex = -1;
  bool Enabled = true;
  bool Visible = true;

  int ListCount() const { return static_cast<int>(List.size()); }
  // The text of the selected entry (empty when none is selected).
  std::string Text() const;
  void Clear() {
    List.clear();
    ListIndex = -1;
  }
  void AddItem(std::string item) { List.push_back(std::move(item)); }
};

struct Button {
  std::string Caption;
  bool Enabled = true;
  bool Visible = true;
  std::string ToolTipText;
};

// A vertical scroll bar used as a slider: Min at the top, Max at the bottom.
struct ScrollBar {
  int Min = 0;
  int Max = 100;
  int Value = 0;
  bool Enabled = true;
  bool Visible = true;
};

struct Panel {
  std::string Caption;
  bool Visible = true;
  bool Enabled = true;
  // Docked to the top edge of the screen, spanning its full width.
  bool AlignTop = false;
};

// What the screen logic needs from its window: messages, focus, clipboard, and letting
// the window repaint during a long calculation. Tests pass a recording fake.
class ScreenUi {
 public:
  virtual ~ScreenUi() = default;
  virtual void ShowMessage(const std::string& text, Icon icon) = 0;
  virtual void SetFocus(ControlRef control) = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
  // Lets pending window events run (repaints only: user input is held back meanwhile).
  virtual void ProcessPendingEvents() {}
  // The busy pointer during a calculation.
  virtual void SetBusy(bool /*busy*/) {}
  // Shows the control states at once (the legend button repaints before going on).
  virtual void Refresh() {}
  // Selects a row of the results grid and brings it into view (the row chosen for a
  // required duty).
  virtual void SelectGridRow(int /*row*/) {}
};

}  // namespace vestra::screens
