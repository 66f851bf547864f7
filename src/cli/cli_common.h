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
// A JSON string literal with the necessary escapes.
std::string JsonString(std::string_view text);

// {"key":value,...} from already-encoded values, one line.
std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& fields);

// The tool's error report: "<tool>: <message>" on stderr.
void PrintError(std::string_view tool, std::string_view message);

}  // namespace vestra::cli
