#pragma once

// Text that comes from outside the program - a settings value, a catalogue field, a
// command-line argument, a key of a description - shown safely: in a message, in a grid
// cell, in JSON. Such a text may hold control characters (a tab would shift the cells of
// a tab-separated row, a newline would split a one-line message) or bytes that are not
// UTF-8 (which make the JSON output invalid).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vestra {

// How much of a value a message echoes.
inline constexpr std::size_t kShownValueMaxChars = 60;

// The value as a message quotes it: in double quotes, cut after maxChars characters
// ("..." marks the cut), every control character and every byte that is not part of a
// UTF-8 character written as \xNN, and a backslash and a quote escaped (\\, \").
std::string QuotedValue(std::string_view text, std::size_t maxChars = kShownValueMaxChars);

// Why a text cannot stand as one line of printable text: its first control character
// (U+0000..U+001F, U+007F..U+009F) or its first byte that is not UTF-8, with its place;
// nothing when the text is fine.
std::optional<std::string> PrintableTextFault(std::string_view text);

// The text with each ill-formed UTF-8 sequence replaced by U+FFFD.
std::string WithValidUtf8(std::string_view text);

// A code point appended as UTF-8; one that is not a character (a surrogate, beyond
// U+10FFFF) as U+FFFD.
void AppendUtf8(std::string& out, char32_t code);

// One character of UTF-8 text: its code point and its length in bytes. An ill-formed
// sequence gives valid = false and the length of its longest well-formed start (at least
// one byte), which counts as one replaced character.
struct Utf8Character {
  char32_t code = 0;
  std::size_t length = 1;
  bool valid = false;
};
Utf8Character DecodeUtf8(std::string_view text, std::size_t at);

// A control character of the C0 or C1 block, or DEL.
constexpr bool IsControlCharacter(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

}  // namespace vestra
