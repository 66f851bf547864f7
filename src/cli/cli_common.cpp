#include "cli/cli_common.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace vestra::cli {

std::optional<double> ParseNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  double value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') ++first;
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& fields) {
  std::string out = "{";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ", ";
    out += JsonString(fields[i].first) + ": " + fields[i].second;
  }
  return out + "}";
}

void PrintError(std::string_view tool, std::string_view message) {
  std::cerr << tool << ": " << message << '\n';
}

}  // namespace vestra::cli
