#include "screens/tab_order.h"

#include <array>

namespace vestra::screens {

std::span<const ControlRef> StandardTabOrder() {
  static constexpr std::array<ControlRef, 27> kOrder{{
      {Ctl::txtTsa1, 0},    {Ctl::txtTbu, -1},      {Ctl::txtUr, -1},         {Ctl::txtTw1, 0},
      {Ctl::txtTw2, 0},     {Ctl::txtQw, 0},        {Ctl::txtTsa1, 1},        {Ctl::txtTw1, 1},
      {Ctl::txtTw2, 1},     {Ctl::txtQw, 1},        {Ctl::chkComeFreddo, -1}, {Ctl::txtGlic, -1},
      {Ctl::txtpsu, -1},    {Ctl::cboVel, -1},      {Ctl::cboModel, -1},      {Ctl::chkHX, -1},
      {Ctl::chkFlap, -1},   {Ctl::txtDistanza, -1}, {Ctl::cboDirezione, -1},  {Ctl::txtReq, 0},
      {Ctl::txtReq, 1},     {Ctl::txtReq, 2},       {Ctl::txtReq, 3},         {Ctl::cmdCalcola, -1},
      {Ctl::cmdStampa, -1}, {Ctl::cmdLegend, -1},   {Ctl::CmdFine, -1},
  }};
  return kOrder;
}

}  // namespace vestra::screens
