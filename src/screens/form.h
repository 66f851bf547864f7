#pragma once

// The state of a selection screen: every control the logic reads or writes, created with
// the defaults of the field table. Control arrays have index 0 on the cooling panel and
// 1 on the heating panel.

#include <array>
#include <cstdint>
#include <string>

#include "screens/controls.h"
#include "screens/results_grid.h"

namespace vestra::screens {

inline constexpr int kLegendPairs = 17;
// The required duty's fields: total cooling, sensible cooling, heating, sound pressure.
inline constexpr int kDutyFields = 4;

inline TextBox FieldWith(std::string text) {
  TextBox box;
  box.Text = std::move(text);
  return box;
}
inline Label LabelWith(std::string caption) {
  Label label;
  label.Caption = std::move(caption);
  return label;
}
inline Panel Hidden(Panel panel) {
  panel.Visible = false;
  return panel;
}

// What the five selection screens have in common.
struct CommonForm {
  std::string Caption;

  Panel pnlFreddo;  // cooling conditions
  Panel pnlCaldo;   // heating conditions
  Panel PanLegend = Hidden({});
  Panel frmPressione;  // sound pressure at a distance

  std::array<TextBox, 2> txtTsa1{FieldWith("27"), FieldWith("20")};
  TextBox txtTbu = FieldWith("19");
  TextBox txtUr = FieldWith("47");
  std::array<TextBox, 2> txtTw1{FieldWith("7"), FieldWith("70")};
  std::array<TextBox, 2> txtTw2{FieldWith("12"), FieldWith("60")};
  std::array<TextBox, 2> txtQw{};
  TextBox txtGlic = FieldWith("0");
  TextBox txtpsu = FieldWith("0");
  TextBox txtDistanza = FieldWith("1");

  std::array<Label, 2> lblTbs, lblTw1, lblTw2, lblQw, lblumQw;
  // Unit labels beside the temperature and percentage fields.
  std::array<Label, 2> lblumTsa1{LabelWith("°C"), LabelWith("°C")};
  std::array<Label, 2> lblumTw1{LabelWith("°C"), LabelWith("°C")};
  Label lblumUR = LabelWith("%");
  Label lblumGlic = LabelWith("%");
  Label lbltbu, lblUR, lblglic, lblPsu, lblumDpa, lblModello, lblDistanza, lblDirezione;

  ComboBox cboModel;
  ComboBox cboDirezione;

  Button cmdCalcola, CmdFine, cmdStampa, cmdLegend;

  std::array<Label, kLegendPairs> lblLegSim, lblLegDes;

  ResultsGrid Grd;
  // A line under the grid telling what some cells leave out, or nothing.
  Label lblNote = [] {
    Label note;
    note.Visible = false;
    return note;
  }();

  // The required duty: the fields, their captions and units, the frame they sit in, and
  // the line under the grid that tells which rows meet it.
  Panel frmDuty;
  std::array<TextBox, kDutyFields> txtReq{};
  std::array<Label, kDutyFields> lblReq, lblumReq;
  Label lblDuty = [] {
    Label line;
    line.Visible = false;
    return line;
  }();

  // -1: the last range check reset its field; 0 accepted; 1: during a calculation, the
  // last duty input check found the inputs complete.
  std::int16_t LastCheckResult = 0;
};

// The standard selection screen FDatiP.
struct StandardForm : CommonForm {
  CheckBox chkComeFreddo = [] {
    CheckBox box;
    box.Caption = "=QW(C)";
    return box;
  }();
  CheckBox chkHX;
  CheckBox chkFlap = [] {
    CheckBox box;
    box.Visible = false;
    return box;
  }();
  ComboBox cboVel;
  Label lblVel;
  Panel frmTorva = Hidden({});  // legend of the unit heaters' mounting height and throw
};

// The accessory boxes chkAcc(1) .. chkAcc(10) of the ducted screens (element 0 unused).
inline constexpr int kAccessoryBoxes = 10;

// The ducted screens FDatiPXX and FDatiPXXEC: the air entering the coil is a mix of
// recirculated room air and fresh outdoor air, each stream with its own state, the
// fresh-air share set by the sliders; accessories in the duct; a total air flow typed
// instead of the static pressure. Index 0 of the stream dry bulbs is the cooling panel's,
// 1 the heating panel's; the wet bulbs and humidities are cooling data.
struct DuctedForm : CommonForm {
  std::array<TextBox, 2> txtTsa1ric{FieldWith("27"), FieldWith("20")};
  std::array<TextBox, 2> txtTsa1rin{FieldWith("27"), FieldWith("20")};
  TextBox txtTburic = FieldWith("19");
  TextBox txtUrric = FieldWith("47");
  TextBox txttburin = FieldWith("19");
  TextBox txturrin = FieldWith("47");
  TextBox txtqatot = FieldWith("0");

  std::array<Label, 2> lblTbsric, lblTbsrin, lblRicircolo, lblRinnovo;
  Label lbltburic, lblUrric, lbltburin, lblurrin, lblQaTot, lblUmQA;
  // Unit labels beside the streams' fields.
  std::array<Label, 2> lblumTsa1ric{LabelWith("°C"), LabelWith("°C")};
  std::array<Label, 2> lblumTsa1rin{LabelWith("°C"), LabelWith("°C")};
  Label lblumTburic = LabelWith("°C"), lblumUrric = LabelWith("%");
  Label lblumTburin = LabelWith("°C"), lblumUrrin = LabelWith("%");

  // The streams' frames, captioned with their shares.
  Panel frmRicircoloF, frmRinnovoF, frmRicircoloC, FrmRinnovoC;
  Panel frmAccess;
  std::array<CheckBox, kAccessoryBoxes + 1> chkAcc;

  // The fresh-air share in percent, the same on both panels.
  ScrollBar Scrollfreddo{0, 100, 50};
  ScrollBar ScrollCaldo{0, 100, 50};

  ComboBox cboVel;
  Label lblVel;
  // The fan curve chart of the EC ducted units (hidden on the fixed-speed screen).
  Button cmdGrafico = [] {
    Button button;
    button.Visible = false;
    return button;
  }();
};

// The EC screens FDatiPEC and FDatiUmbra: the air flow the unit must deliver is typed
// (always in m3/h) instead of a fan speed chosen.
struct EcForm : CommonForm {
  TextBox txtqatot = FieldWith("0");
  Label lblQaTot;
  Label lblUmQA = LabelWith("m3/h");
  CheckBox chkHX;
  Button cmdGrafico = [] {
    Button button;
    button.Visible = false;
    return button;
  }();
};

}  // namespace vestra::screens
