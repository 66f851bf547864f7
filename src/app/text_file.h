#pragma once

// The source format of the interface texts, resources/texts/NN-xx.tsv: NN the language
// index 00..14, xx its ISO 639-1 code; UTF-8, one text per line as the offset, a tab and
// the text, with the escapes \t, \n and \\. Everything after the tab is the text -
// trailing blanks included, since many texts are followed by more text on screen.
// Read by the build, which turns the files into the program's text table, and by the
// tests that check the translations.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vestra {

// Offsets 1..199: the next block starts 200 identifiers further on.
inline constexpr int kMaxTextOffset = 199;

struct TextFileEntry {
  int offset = 0;
  std::string text;
  int line = 0;
};

struct TextFileProblem {
  int line = 0;
  std::string message;
};

struct ParsedTextFile {
  std::vector<TextFileEntry> entries;     // in file order
  std::vector<TextFileProblem> problems;  // malformed lines, bad escapes, duplicated offsets
};

ParsedTextFile ParseTextFile(std::string_view content);

struct TextFileName {
  int index = 0;     // language index, 0..14
  std::string code;  // two lower-case letters
};

// "05-hu.tsv" -> {5, "hu"}; nullopt for any other name.
std::optional<TextFileName> ParseTextFileName(std::string_view fileName);

// The identifier base of a language index: (2 x index + 1) x 100.
constexpr int TextBlockBase(int index) {
  return (2 * index + 1) * 100;
}

}  // namespace vestra
