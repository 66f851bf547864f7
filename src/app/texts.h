#pragma once

// The interface text table: 15 language blocks of numbered texts, built into the
// program from resources/texts/NN-xx.tsv. Language index i has its block at base
// (2 x i + 1) x 100; the text of offset n has the identifier base + n. Italian (100)
// and English (300) hold every offset; a text another block lacks comes from English.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vestra {

inline constexpr std::int16_t kEnglishBase = 300;

struct TextEntry {
  std::int32_t id;
  std::string_view text;  // UTF-8
};

// Every text of the program, sorted by identifier.
std::span<const TextEntry> TextTable();

// The text with this identifier, nullopt when the table has none.
std::optional<std::string_view> FindText(std::int32_t id);

// (2 x langIndex + 1) x 100 in 16-bit arithmetic: overflow (6) outside its range.
std::int16_t LangBaseFor(std::int16_t langIndex);

// The text of identifier id (LangBase + offset) in the current language, or the English
// text of the same offset when the current block lacks it; a text missing from both is
// a "resource not found" error (326) for the caller.
std::string Text(std::int32_t id, std::int16_t langBase);

// The texts of one language: what a window holds to caption its controls.
class TextContext {
 public:
  explicit TextContext(std::int16_t langBase) : langBase_(langBase) {}

  // Text(LangBase + offset); the sum is 16-bit (overflow 6).
  std::string Text(int offset) const;
  std::string operator()(int offset) const { return Text(offset); }

  std::int16_t langBase() const { return langBase_; }

 private:
  std::int16_t langBase_;
};

}  // namespace vestra
