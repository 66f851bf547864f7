#include "screens/controls.h"

#include <array>
#include <charconv>
#include <utility>

namespace vestra::screens {

namespace {

constexpr std::array<std::pair<Ctl, std::string_view>, 33> kNames{{
    {Ctl::txtTsa1, "txtTsa1"},
    {Ctl::txtTbu, "txtTbu"},
    {Ctl::txtUr, "txtUr"},
    {Ctl::txtTw1, "txtTw1"},
    {Ctl::txtTw2, "txtTw2"},
    {Ctl::txtQw, "txtQw"},
    {Ctl::txtGlic, "txtGlic"},
    {Ctl::txtpsu, "txtpsu"},
    {Ctl::txtDistanza, "txtDistanza"},
    {Ctl::txtqatot, "txtqatot"},
    {Ctl::cboVel, "cboVel"},
    {Ctl::cboModel, "cboModel"},
    {Ctl::cboDirezione, "cboDirezione"},
    {Ctl::chkComeFreddo, "chkComeFreddo"},
    {Ctl::chkHX, "chkHX"},
    {Ctl::chkFlap, "chkFlap"},
    {Ctl::cmdCalcola, "cmdCalcola"},
    {Ctl::CmdFine, "CmdFine"},
    {Ctl::cmdStampa, "cmdStampa"},
    {Ctl::cmdLegend, "cmdLegend"},
    {Ctl::cmdGrafico, "cmdGrafico"},
    {Ctl::Grd, "Grd"},
    {Ctl::PanLegend, "PanLegend"},
    {Ctl::txtTsa1ric, "txtTsa1ric"},
    {Ctl::txtTburic, "txtTburic"},
    {Ctl::txtUrric, "txtUrric"},
    {Ctl::txtTsa1rin, "txtTsa1rin"},
    {Ctl::txttburin, "txttburin"},
    {Ctl::txturrin, "txturrin"},
    {Ctl::chkAcc, "chkAcc"},
    {Ctl::Scrollfreddo, "Scrollfreddo"},
    {Ctl::ScrollCaldo, "ScrollCaldo"},
    {Ctl::txtReq, "txtReq"},
}};

}  // namespace

std::string ControlName(ControlRef control) {
  for (const auto& [name, text] : kNames) {
    if (name != control.name) continue;
    std::string out(text);
    if (control.index >= 0) out += "(" + std::to_string(control.index) + ")";
    return out;
  }
  return "";
}

std::optional<ControlRef> ParseControlName(std::string_view text) {
  int index = -1;
  std::string_view base = text;
  if (const auto open = text.find('('); open != std::string_view::npos) {
    if (text.back() != ')') return std::nullopt;
    const std::string_view digits = text.substr(open + 1, text.size() - open - 2);
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (ec != std::errc() || ptr != digits.data() + digits.size() || index < 0) return std::nullopt;
    base = text.substr(0, open);
  }
  for (const auto& [name, candidate] : kNames)
    if (candidate == base) return ControlRef{name, index};
  return std::nullopt;
}

std::string ComboBox::Text() const {
  if (ListIndex < 0 || ListIndex >= ListCount()) return "";
  return List[static_cast<std::size_t>(ListIndex)];
}

}  // namespace vestra::screens
