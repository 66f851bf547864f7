#pragma once

// The pictures built into the program (resources/pictures): the toolbar buttons, the
// flags of the language chooser, the maker's logo and the program icon. Each comes at
// its normal size and at twice that size for high-density screens.

#include <QIcon>
#include <cstdint>
#include <string_view>

namespace vestra::ui {

// A toolbar button: "printer", "units", "language", or a series ("miral", "q70", "bldc" ...).
QIcon ToolbarIcon(std::string_view name);
// The flag of a language index 0..14.
QIcon FlagIcon(std::int16_t langIndex);
QIcon LogoIcon();
QIcon ProgramIcon();

}  // namespace vestra::ui
