#pragma once

// The number primitives every field reader and writer goes through: reading a number
// out of typed text (two ways), the digit-placeholder display formats, the plain number
// text of messages and the language-neutral text written to the settings file.
//
// The nearest-integer conversions (CInt, CLng: halves to even, overflow 6) are part of
// the engine's checked arithmetic and live in engine/numeric.h; use them from there.
//
// Nothing here reads the process locale: the caller passes the decimal separator
// (Settings::DecimalSeparator, see DecimalChar in app/settings.h), so every rule can be
// exercised for a comma and a point locale alike. The C library's locale-dependent
// conversions (strtod, printf) are avoided on purpose: the windowing toolkit switches
// the C locale to the user's at start-up.

#include <optional>
#include <string>
#include <string_view>

namespace vestra {

// The presence test of a field: the leading number of the text, "." as the only
// decimal point, leading blanks skipped, reading stops at the first character that
// does not belong to a number; no number gives 0. So "0,5" reads 0 and "12,5" reads 12
// whatever the locale. Also reads the numeric keys of the settings file.
// An exponent ("1e3") belongs to the number. Overflow (6) beyond the double range.
double LeadingNumber(std::string_view text);

// The value of a field, converted with the locale's decimal separator: blanks around
// the number are allowed, then an optional sign, digits with at most one separator, and
// an optional exponent. Anything else, the empty text included, is a type mismatch (13);
// a value beyond the double range is an overflow (6).
double LocaleNumber(std::string_view text, char decimalSeparator);

// LocaleNumber for a caller that takes a non-number as "not given": nothing instead of
// the type mismatch. Overflow (6) is still raised.
std::optional<double> TryLocaleNumber(std::string_view text, char decimalSeparator);

// LocaleNumber stored as a single: overflow (6) beyond the single range.
float LocaleSingle(std::string_view text, char decimalSeparator);

// The digit-placeholder formats of the display ("######", "0.000", "###0.0", "##.0" ...):
// "0" a mandatory digit, "#" an optional one, "." the place of the decimal separator.
// The last shown digit is rounded half away from zero. Integer digits beyond the
// placeholders are all shown; with no mandatory integer digit a zero integer part is
// left out ("##.0" shows 0.5 as ".5", "######" shows 0.4 as empty text). A negative
// value that rounds to zero shows without a minus sign.
// The value is taken at the precision it carries - 15 significant digits for a double,
// 7 for a single - so a figure that reads as a tie ("2.675", the single 0.35) rounds as
// one. Any other pattern character is an invalid argument (5).
std::string FormatNumber(double value, std::string_view pattern, char decimalSeparator);
std::string FormatNumber(float value, std::string_view pattern, char decimalSeparator);

// A number written without a fixed number of decimals, in the locale's separator, as
// messages show range limits: the shortest form at 7 significant digits for a single
// (80 x 0.102 shows as 8.16), 15 for a double; very large or small magnitudes in
// exponent form ("1.5E+07", "1E-06").
std::string PlainNumberText(float value, char decimalSeparator);
std::string PlainNumberText(double value, char decimalSeparator);

// The language-neutral number text written to the settings file: a blank before a
// non-negative number, a minus before a negative one, "." as decimal point whatever the
// locale (" 5", "-1", " 2.5"). Read back by LeadingNumber.
std::string NeutralNumberText(double value);

}  // namespace vestra
