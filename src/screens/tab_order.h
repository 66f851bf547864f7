#pragma once

#include <span>

#include "screens/controls.h"

namespace vestra::screens {

// The order in which Tab (and Enter) moves through the standard screen's controls: the
// cooling panel top to bottom, the heating panel, the common fields, the choices, the
// sound fields, then the buttons.
std::span<const ControlRef> StandardTabOrder();

// The control after `control` in the tab order (wrapping), skipping what `usable` rejects
// (hidden or disabled controls).
template <typename Usable>
ControlRef NextInTabOrder(std::span<const ControlRef> order, ControlRef control, Usable usable) {
  const std::size_t n = order.size();
  std::size_t at = n;
  for (std::size_t i = 0; i < n; ++i)
    if (order[i] == control) at = i;
  for (std::size_t step = 1; step <= n; ++step) {
    const ControlRef candidate = order[(at == n ? step - 1 : at + step) % n];
    if (usable(candidate)) return candidate;
  }
  return control;
}

}  // namespace vestra::screens
