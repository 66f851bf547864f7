#pragma once

// Checked arithmetic of the engine. Engine quantities are single precision and are
// rounded to float each time they are stored; a formula is evaluated in double with
// its literals as written. A step that would produce a non-finite number raises the
// matching run-time error instead of passing NaN or infinity on.

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/errors.h"

namespace vestra {

// Stores a double result as a single: overflow (6) when it is not finite or does not fit.
inline float Sng(double x) {
  if (!std::isfinite(x)) Raise(kOverflow);
  const float f = static_cast<float>(x);
  if (!std::isfinite(f)) Raise(kOverflow);
  return f;
}

// A double result that must stay finite.
inline double Dbl(double x) {
  if (!std::isfinite(x)) Raise(kOverflow);
  return x;
}

// a / b: division by zero (11) for a zero divisor; 0 / 0 is an overflow (6).
inline double Div(double a, double b) {
  if (b == 0.0) Raise(a == 0.0 ? kOverflow : kDivisionByZero);
  return Dbl(a / b);
}

// Natural logarithm: invalid argument (5) for x <= 0.
inline double Ln(double x) {
  if (!(x > 0.0)) Raise(kInvalidArgument);
  return std::log(x);
}

inline double Exp(double x) {
  return Dbl(std::exp(x));
}

// The general power routine: a negative base with a fractional exponent, or a zero base
// with a negative exponent, is an invalid argument (5).
inline double Pow(double a, double b) {
  if (a < 0.0 && b != std::floor(b)) Raise(kInvalidArgument);
  if (a == 0.0 && b < 0.0) Raise(kInvalidArgument);
  return Dbl(std::pow(a, b));
}

// Nearest integer, halves to the even neighbour (the default rounding mode).
inline double RoundHalfEven(double x) {
  return std::nearbyint(x);
}

// Nearest 16-bit integer, halves to even; overflow (6) outside -32768..32767.
inline std::int16_t CInt(double x) {
  if (!std::isfinite(x)) Raise(kOverflow);
  const double r = std::nearbyint(x);
  if (r < -32768.0 || r > 32767.0) Raise(kOverflow);
  return static_cast<std::int16_t>(r);
}

// Nearest 32-bit integer, halves to even; overflow (6) outside the 32-bit range.
inline std::int32_t CLng(double x) {
  if (!std::isfinite(x)) Raise(kOverflow);
  const double r = std::nearbyint(x);
  if (r < -2147483648.0 || r > 2147483647.0) Raise(kOverflow);
  return static_cast<std::int32_t>(r);
}

// Single-precision comparison of a difference against a tolerance, as the searches
// compare: both sides rounded to float first.
inline bool LessSng(double value, double limit) {
  return static_cast<float>(value) < static_cast<float>(limit);
}
inline bool LessEqualSng(double value, double limit) {
  return static_cast<float>(value) <= static_cast<float>(limit);
}

}  // namespace vestra
