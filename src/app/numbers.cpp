#include "app/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <system_error>

#include "engine/errors.h"
#include "engine/numeric.h"

namespace vestra {
namespace {

constexpr int kDoubleDigits = 15;  // significant digits a double carries reliably
constexpr int kSingleDigits = 7;   // significant digits a single carries reliably

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The pieces of a decimal number as typed: sign, integer digits, fraction digits and
// the exponent, already split at the decimal separator.
struct NumberParts {
  bool negative = false;
  std::string intDigits;
  std::string fracDigits;
  long exponent = 0;
};

// Reads [sign] digits [separator digits] [e [sign] digits] from the start of text.
// Returns how many characters belong to the number, 0 when there is none. An exponent
// marker without digits after it does not belong to the number.
std::size_t ScanNumber(std::string_view text, char separator, NumberParts& parts) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    parts.negative = text[i] == '-';
    ++i;
  }
  while (i < text.size() && IsDigit(text[i])) parts.intDigits += text[i++];
  if (i < text.size() && text[i] == separator) {
    ++i;
    while (i < text.size() && IsDigit(text[i])) parts.fracDigits += text[i++];
  }
  if (parts.intDigits.empty() && parts.fracDigits.empty()) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool expNegative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      expNegative = text[j] == '-';
      ++j;
    }
    if (j < text.size() && IsDigit(text[j])) {
      long exponent = 0;
      for (; j < text.size() && IsDigit(text[j]); ++j) {
        // Saturate: an exponent this large is an overflow or zero whatever its digits.
        if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
      }
      parts.exponent = expNegative ? -exponent : exponent;
      i = j;
    }
  }
  return i;
}

// The double nearest to the parsed number; overflow (6) beyond the double range, 0 for
// a magnitude below it.
double ValueOf(const NumberParts& parts) {
  std::string normal = (parts.intDigits.empty() ? "0" : parts.intDigits) + "." +
                       (parts.fracDigits.empty() ? "0" : parts.fracDigits) + "e" +
                       std::to_string(parts.exponent);
  double value = 0.0;
  const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    // Decimal magnitude of the number: where its first significant digit stands.
    const std::string all = parts.intDigits + parts.fracDigits;
    const auto first = all.find_first_not_of('0');
    if (first == std::string::npos) return 0.0;
    const long magnitude =
        static_cast<long>(parts.intDigits.size()) - static_cast<long>(first) + parts.exponent;
    if (magnitude > 0) Raise(kOverflow);
    return 0.0;
  }
  if (ec != std::errc()) Raise(kTypeMismatch);
  if (!std::isfinite(value)) Raise(kOverflow);
  return parts.negative ? -value : value;
}

// A value as decimal digits: value = 0.d1d2d3... x 10^(exponent + 1), that is d1 is the
// digit of 10^exponent. Zero is the single digit "0" with exponent 0.
struct DecimalDigits {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

DecimalDigits DigitsOf(double value, int significant) {
  if (!std::isfinite(value)) Raise(kOverflow);
  DecimalDigits d;
  if (value == 0.0) {
    d.digits.assign(1, '0');
    return d;
  }
  d.negative = value < 0.0;
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                       std::chars_format::scientific, significant - 1);
  if (ec != std::errc()) Raise(kOverflow);
  // "d.ddddde+XX"
  const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
  const auto e = text.find('e');
  for (char c : text.substr(0, e))
    if (IsDigit(c)) d.digits += c;
  d.exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
  return d;
}

std::string FormatDigits(const DecimalDigits& d, std::string_view pattern, char separator) {
  const auto point = pattern.find('.');
  const std::string_view intPattern = pattern.substr(0, point);
  const std::string_view fracPattern =
      point == std::string_view::npos ? std::string_view() : pattern.substr(point + 1);
  for (char c : intPattern)
    if (c != '#' && c != '0') Raise(kInvalidArgument);
  for (char c : fracPattern)
    if (c != '#' && c != '0') Raise(kInvalidArgument);
  std::size_t minIntDigits = 0;
  for (char c : intPattern) minIntDigits += c == '0';
  const std::size_t fracDigits = fracPattern.size();
  const auto lastMandatory = fracPattern.find_last_of('0');
  const std::size_t minFracDigits = lastMandatory == std::string_view::npos ? 0 : lastMandatory + 1;

  // All digits with the decimal point after position pointPos.
  std::string all;
  std::size_t pointPos = 1;
  if (d.exponent >= 0) {
    all = d.digits;
    pointPos = static_cast<std::size_t>(d.exponent) + 1;
  } else {
    all = std::string(static_cast<std::size_t>(-d.exponent), '0') + d.digits;
  }
  const std::size_t keep = pointPos + fracDigits;
  if (all.size() < keep + 1) all.resize(keep + 1, '0');
  // Half away from zero on the magnitude: the first dropped digit decides.
  const bool roundUp = all[keep] >= '5';
  all.resize(keep);
  if (roundUp) {
    bool carry = true;
    for (std::size_t i = keep; carry && i > 0; --i) {
      char& digit = all[i - 1];
      carry = digit == '9';
      digit = carry ? '0' : static_cast<char>(digit + 1);
    }
    if (carry) {  // 9.96 under "0.0": a new leading digit
      all.insert(all.begin(), '1');
      ++pointPos;
    }
  }
  std::string intPart = all.substr(0, pointPos);
  std::string fracPart = all.substr(pointPos);
  intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size()));
  if (intPart.size() < minIntDigits) intPart.insert(0, minIntDigits - intPart.size(), '0');
  while (fracPart.size() > minFracDigits && fracPart.back() == '0') fracPart.pop_back();

  const bool nonZero = all.find_first_not_of('0') != std::string::npos;
  std::string out;
  if (d.negative && nonZero) out += '-';
  out += intPart;
  if (point != std::string_view::npos) {
    out += separator;
    out += fracPart;
  }
  return out;
}

std::string PlainDigits(const DecimalDigits& d, int significant, char separator) {
  std::string digits = d.digits;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = d.negative ? "-" : "";
  if (digits == "0") return "0";
  const int e = d.exponent;
  if (e >= significant || e < -5) {
    out += digits[0];
    if (digits.size() > 1) {
      out += separator;
      out += digits.substr(1);
    }
    out += 'E';
    out += e < 0 ? '-' : '+';
    const std::string exp = std::to_string(std::abs(e));
    if (exp.size() < 2) out += '0';
    out += exp;
    return out;
  }
  if (e < 0) {
    out += '0';
    out += separator;
    out += std::string(static_cast<std::size_t>(-e - 1), '0');
    out += digits;
    return out;
  }
  const std::size_t intCount = static_cast<std::size_t>(e) + 1;
  if (digits.size() <= intCount) {
    out += digits + std::string(intCount - digits.size(), '0');
  } else {
    out += digits.substr(0, intCount);
    out += separator;
    out += digits.substr(intCount);
  }
  return out;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  NumberParts parts;
  if (ScanNumber(text.substr(start), '.', parts) == 0) return 0.0;
  return ValueOf(parts);
}

std::optional<double> TryLocaleNumber(std::string_view text, char decimalSeparator) {
  std::size_t start = 0;
  std::size_t end = text.size();
  while (start < end && IsBlank(text[start])) ++start;
  while (end > start && IsBlank(text[end - 1])) --end;
  const std::string_view body = text.substr(start, end - start);
  NumberParts parts;
  const std::size_t used = ScanNumber(body, decimalSeparator, parts);
  if (used == 0 || used != body.size()) return std::nullopt;
  return ValueOf(parts);
}

double LocaleNumber(std::string_view text, char decimalSeparator) {
  const std::optional<double> value = TryLocaleNumber(text, decimalSeparator);
  if (!value) Raise(kTypeMismatch);
  return *value;
}

float LocaleSingle(std::string_view text, char decimalSeparator) {
  return Sng(LocaleNumber(text, decimalSeparator));
}

std::string FormatNumber(double value, std::string_view pattern, char decimalSeparator) {
  return FormatDigits(DigitsOf(value, kDoubleDigits), pattern, decimalSeparator);
}

std::string FormatNumber(float value, std::string_view pattern, char decimalSeparator) {
  return FormatDigits(DigitsOf(value, kSingleDigits), pattern, decimalSeparator);
}

std::string PlainNumberText(float value, char decimalSeparator) {
  return PlainDigits(DigitsOf(value, kSingleDigits), kSingleDigits, decimalSeparator);
}

std::string PlainNumberText(double value, char decimalSeparator) {
  return PlainDigits(DigitsOf(value, kDoubleDigits), kDoubleDigits, decimalSeparator);
}

std::string NeutralNumberText(double value) {
  const std::string text = PlainNumberText(value, '.');
  return text[0] == '-' ? text : " " + text;
}

}  // namespace vestra
