#pragma once

// Shared plumbing of the command-line tools: strict number reading, JSON output with a
// fixed number of significant digits, and the one-line error report.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vestra::cli {

// Exit codes: 0 done, 1 the job ended with a message, 2 bad usage or input,
// 3 an engine run-time error.
inline constexpr int kExitUsage = 2;
inline constexpr int kExitRuntimeError = 3;

// A whole text read as a finite number ("27", "-10.5", "1e-3"); nothing for anything else.
std::optional<double> ParseNumber(std::string_view text);

// A number with 9 significant digits, as JSON.
std::string JsonNumber(double value);
// A JSON string literal that is valid whatever the text: quote, backslash and every
// control character escaped (\n, \r, \t, otherwise \u00XX), each ill-formed UTF-8
// sequence replaced by U+FFFD. An argument echoed in a message goes through QuotedValue
// (engine/shown_text.h) instead, which also cuts it.
std::string JsonString(std::string_view text);

// {"key":value,...} from already-encoded values, one line.
std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& fields);

// One value of a flat JSON object.
struct JsonValue {
  enum class Kind { kNumber, kString, kBool, kNull };
  Kind kind = Kind::kNull;
  double number = 0;     // kNumber
  std::string text;      // kString: the decoded string; kNumber: the number as written
  bool boolean = false;  // kBool
};

// A JSON object whose values are numbers, strings, true, false or null, keys in input order.
struct FlatJsonObject {
  std::vector<std::pair<std::string, JsonValue>> fields;
  // The value of a key, or nullptr.
  const JsonValue* Find(std::string_view key) const;
};

// Reads exactly one flat JSON object (nested objects and arrays, duplicate keys and
// anything after the closing brace are refused). On failure returns nothing and says why
// in error.
std::optional<FlatJsonObject> ParseFlatJsonObject(std::string_view text, std::string& error);

// The tool's error report: "<tool>: <message>" on stderr.
void PrintError(std::string_view tool, std::string_view message);

}  // namespace vestra::cli
