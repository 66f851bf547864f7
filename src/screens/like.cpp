#include "screens/like.h"

#include <cstddef>

namespace vestra::screens {

namespace {

// Matches one "[...]" list at pattern[p] against c; returns the index after "]" or npos
// when the list is not closed.
std::size_t MatchList(std::string_view pattern, std::size_t p, char c, bool& matched) {
  std::size_t i = p + 1;
  bool negate = false;
  if (i < pattern.size() && pattern[i] == '!') {
    negate = true;
    ++i;
  }
  bool found = false;
  const std::size_t first = i;
  while (i < pattern.size() && (pattern[i] != ']' || i == first)) {
    const char low = pattern[i];
    if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
      const char high = pattern[i + 2];
      if (c >= low && c <= high) found = true;
      i += 3;
    } else {
      if (c == low) found = true;
      ++i;
    }
  }
  if (i >= pattern.size()) return std::string_view::npos;
  matched = found != negate;
  return i + 1;
}

bool Match(std::string_view text, std::size_t t, std::string_view pattern, std::size_t p) {
  while (p < pattern.size()) {
    const char pc = pattern[p];
    if (pc == '*') {
      // Collapse runs of "*" and try every split.
      while (p < pattern.size() && pattern[p] == '*') ++p;
      if (p == pattern.size()) return true;
      for (std::size_t start = t; start <= text.size(); ++start)
        if (Match(text, start, pattern, p)) return true;
      return false;
    }
    if (t >= text.size()) return false;
    const char c = text[t];
    if (pc == '?') {
      ++p;
    } else if (pc == '#') {
      if (c < '0' || c > '9') return false;
      ++p;
    } else if (pc == '[') {
      bool matched = false;
      const std::size_t next = MatchList(pattern, p, c, matched);
      if (next == std::string_view::npos || !matched) return false;
      p = next;
    } else {
      if (c != pc) return false;
      ++p;
    }
    ++t;
  }
  return t == text.size();
}

}  // namespace

bool Like(std::string_view text, std::string_view pattern) {
  return Match(text, 0, pattern, 0);
}

}  // namespace vestra::screens
