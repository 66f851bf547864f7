#include "app/text_file.h"

#include <map>

namespace vestra {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    // Lead byte: the number of continuation bytes, the smallest code point it may
    // stand for, and its payload bits.
    std::size_t extra = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if ((c & 0xE0) == 0xC0) {
      extra = 1;
      min = 0x80;
      cp = c & 0x1Fu;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      min = 0x800;
      cp = c & 0x0Fu;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      min = 0x10000;
      cp = c & 0x07u;
    } else {
      return false;
    }
    if (i + extra >= s.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace

ParsedTextFile ParseTextFile(std::string_view content) {
  ParsedTextFile parsed;
  if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
  std::map<int, int> lineOfOffset;
  int lineNumber = 0;
  while (!content.empty()) {
    ++lineNumber;
    const auto nl = content.find('\n');
    std::string_view line = content.substr(0, nl);
    content.remove_prefix(nl == std::string_view::npos ? content.size() : nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    auto problem = [&](std::string message) {
      parsed.problems.push_back({lineNumber, std::move(message)});
    };

    const auto tab = line.find('\t');
    if (tab == std::string_view::npos) {
      problem("no tab between the offset and the text");
      continue;
    }
    const std::string_view number = line.substr(0, tab);
    bool digits = !number.empty() && number.size() <= 3;
    for (char c : number) digits = digits && IsDigit(c);
    const int offset = digits ? std::stoi(std::string(number)) : 0;
    if (!digits || offset < 1 || offset > kMaxTextOffset) {
      problem("the offset \"" + std::string(number) + "\" is not a number from 1 to " +
              std::to_string(kMaxTextOffset));
      continue;
    }

    const std::string_view raw = line.substr(tab + 1);
    if (!IsValidUtf8(raw)) {
      problem("the text is not valid UTF-8");
      continue;
    }
    std::string text;
    bool escapesOk = true;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '\\') {
        text += raw[i];
        continue;
      }
      const char next = i + 1 < raw.size() ? raw[i + 1] : '\0';
      if (next == 't') {
        text += '\t';
      } else if (next == 'n') {
        text += '\n';
      } else if (next == '\\') {
        text += '\\';
      } else {
        problem(next == '\0' ? std::string("a lone backslash ends the text")
                             : "unknown escape \\" + std::string(1, next));
        escapesOk = false;
        break;
      }
      ++i;
    }
    if (!escapesOk) continue;

    const auto [it, inserted] = lineOfOffset.emplace(offset, lineNumber);
    if (!inserted) {
      problem("offset " + std::to_string(offset) + " is already on line " +
              std::to_string(it->second));
      continue;
    }
    parsed.entries.push_back({offset, std::move(text), lineNumber});
  }
  return parsed;
}

std::optional<TextFileName> ParseTextFileName(std::string_view fileName) {
  // NN-xx.tsv
  if (fileName.size() != 9 || fileName.substr(5) != ".tsv" || fileName[2] != '-')
    return std::nullopt;
  if (!IsDigit(fileName[0]) || !IsDigit(fileName[1])) return std::nullopt;
  for (char c : fileName.substr(3, 2))
    if (c < 'a' || c > 'z') return std::nullopt;
  const int index = (fileName[0] - '0') * 10 + (fileName[1] - '0');
  if (index > 14) return std::nullopt;
  return TextFileName{index, std::string(fileName.substr(3, 2))};
}

}  // namespace vestra
