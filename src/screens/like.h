#pragma once

#include <string_view>

namespace vestra::screens {

// Text pattern matching as the model chooser uses it: "*" any run of characters, "?" one
// character, "#" one digit, "[list]" one character of the list (ranges "a-z" allowed,
// "[!list]" negates). Every other character matches itself, case-sensitively. A pattern
// with an unclosed "[" matches nothing.
bool Like(std::string_view text, std::string_view pattern);

}  // namespace vestra::screens
