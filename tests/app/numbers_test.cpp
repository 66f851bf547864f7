#include "app/numbers.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/errors.h"

namespace vestra {
namespace {

int ErrorOf(auto&& call) {
  try {
    call();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

struct LeadingCase {
  const char* text;
  double expected;
};

TEST(LeadingNumber, readsTheNumberAtTheStartWithAPointOnly) {
  const LeadingCase cases[] = {
      {"0,5", 0.0},  // a comma ends the number: the presence test of "0,5" is 0
      {"12,5", 12.0},
      {" 2", 2.0},  // as the settings file holds a language index
      {"2.5", 2.5},
      {"-3.5x", -3.5},
      {"+7", 7.0},
      {".5", 0.5},
      {"5.", 5.0},
      {"1e3", 1000.0},
      {"2E-2", 0.02},
      {"1e", 1.0},  // no exponent digits: the "e" is not part of
                    // the number
      {" \t 4", 4.0},
      {"3 4", 3.0},
      {"- 3", 0.0},
      {"", 0.0},
      {"abc", 0.0},
      {".", 0.0},
      {"1e-400", 0.0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.expected) << c.text;
}

TEST(LeadingNumber, overflowsBeyondTheDoubleRange) {
  EXPECT_EQ(ErrorOf([] { LeadingNumber("1e400"); }), kOverflow);
}

struct LocaleCase {
  const char* text;
  char separator;
  double expected;
};

TEST(LocaleNumber, convertsWithTheLocalesSeparator) {
  const LocaleCase cases[] = {
      {"12,5", ',', 12.5},   {"12.5", '.', 12.5}, {" 7 ", ',', 7.0},
      {"-0,25", ',', -0.25}, {",5", ',', 0.5},    {"5,", ',', 5.0},
      {"1e3", '.', 1000.0},  {"+3", '.', 3.0},    {"1,5E+2", ',', 150.0},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(LocaleNumber(c.text, c.separator), c.expected) << c.text;
}

TEST(LocaleNumber, rejectsTextThatIsNotANumberAsTypeMismatch) {
  const LocaleCase cases[] = {
      {"", ',', 0},     {"   ", ',', 0},   {"abc", '.', 0}, {"12,5x", ',', 0},
      {"12.5", ',', 0},  // the other separator is not a decimal point here
      {"12,5", '.', 0}, {"1,2,3", ',', 0}, {"-", '.', 0},   {"1 2", '.', 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorOf([&] { LocaleNumber(c.text, c.separator); }), kTypeMismatch) << c.text;
    EXPECT_FALSE(TryLocaleNumber(c.text, c.separator).has_value()) << c.text;
  }
  EXPECT_EQ(TryLocaleNumber("12,5", ','), 12.5);
}

TEST(LocaleNumber, overflowsBeyondTheRangeOfItsType) {
  EXPECT_EQ(ErrorOf([] { LocaleNumber("1e400", '.'); }), kOverflow);
  EXPECT_EQ(ErrorOf([] { LocaleSingle("1e39", '.'); }), kOverflow);
  EXPECT_FLOAT_EQ(LocaleSingle("0,102", ','), 0.102f);
}

struct FormatCase {
  double value;
  const char* pattern;
  char separator;
  const char* expected;
};

TEST(FormatNumber, followsTheDigitPlaceholders) {
  const FormatCase cases[] = {
      {1800.0, "#####", '.', "1800"},
      {0.5, "0.000", '.', "0.500"},
      {0.5, "0.000", ',', "0,500"},
      {45.6, "#0.0", ',', "45,6"},
      {12345.678, "###0.0", '.', "12345.7"},
      {1234567.0, "###", '.', "1234567"},  // integer digits beyond the placeholders all show
      {3.14159, "0.00", '.', "3.14"},
      {7.0, "######", '.', "7"},
      // with no mandatory integer digit a zero integer part is left out
      {0.5, "##.0", '.', ".5"},
      {0.04, "##.0", '.', ".0"},
      {0.0, "0.0", '.', "0.0"},
      {0.0, "###0.0", '.', "0.0"},
      {0.3, "#0.0", '.', "0.3"},
      // only "#": a value that comes out as zero is empty text
      {0.4, "######", '.', ""},
      {0.0, "#####", '.', ""},
      {0.49, "###", '.', ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatNumber(c.value, c.pattern, c.separator), c.expected)
        << c.value << " " << c.pattern;
}

TEST(FormatNumber, roundsHalfAwayFromZero) {
  const FormatCase cases[] = {
      {0.5, "######", '.', "1"},
      {1.5, "###", '.', "2"},
      {2.5, "###", '.', "3"},  // not to the even neighbour as the integer conversions do
      {-2.5, "###", '.', "-3"},
      {0.25, "0.0", '.', "0.3"},
      {0.0005, "0.000", '.', "0.001"},
      {2.675, "0.00", '.', "2.68"},  // a tie as written, though the double is just below
      {1.005, "0.00", '.', "1.01"},
      {0.05, "##.0", '.', ".1"},
      // rounding up carries into a new digit
      {9.96, "#0.0", '.', "10.0"},
      {99.95, "##0.0", '.', "100.0"},
      {0.9996, "0.000", '.', "1.000"},
      {99999.5, "#####", '.', "100000"},
      {0.96, "##.0", '.', "1.0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatNumber(c.value, c.pattern, c.separator), c.expected)
        << c.value << " " << c.pattern;
}

TEST(FormatNumber, showsAMinusOnlyWhenADigitIsNotZero) {
  const FormatCase cases[] = {
      {-12.25, "#0.0", '.', "-12.3"}, {-0.05, "0.0", '.', "-0.1"}, {-1.5, "0.000", ',', "-1,500"},
      {-0.04, "0.0", '.', "0.0"},     {-0.4, "###", '.', ""},      {-0.0004, "0.000", '.', "0.000"},
      {-0.3, "##.0", '.', "-.3"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatNumber(c.value, c.pattern, c.separator), c.expected)
        << c.value << " " << c.pattern;
}

TEST(FormatNumber, takesASingleAtItsSevenDigits) {
  // The single nearest 0.35 is 0.34999999; as the single it is, it reads 0.35.
  EXPECT_EQ(FormatNumber(0.35f, "0.0", '.'), "0.4");
  EXPECT_EQ(FormatNumber(static_cast<double>(0.35f), "0.0", '.'), "0.3");
  EXPECT_EQ(FormatNumber(80.0f * 0.102f, "#0.0", ','), "8,2");
  EXPECT_EQ(FormatNumber(2.5f, "###", '.'), "3");
  EXPECT_EQ(FormatNumber(0.4f, "######", '.'), "");
}

TEST(FormatNumber, rejectsAPatternItCannotShow) {
  EXPECT_EQ(ErrorOf([] { FormatNumber(1.0, "0,0", '.'); }), kInvalidArgument);
  EXPECT_EQ(ErrorOf([] { FormatNumber(1.0, "0.0%", '.'); }), kInvalidArgument);
}

TEST(PlainNumberText, writesASingleInItsShortestForm) {
  const float limit = 80.0f * 0.102f;  // 8.15999985 as a single
  EXPECT_EQ(PlainNumberText(limit, '.'), "8.16");
  EXPECT_EQ(PlainNumberText(limit, ','), "8,16");
  EXPECT_EQ(PlainNumberText(18.0f, ','), "18");
  EXPECT_EQ(PlainNumberText(-10.0f, '.'), "-10");
  EXPECT_EQ(PlainNumberText(0.5f, ','), "0,5");
  EXPECT_EQ(PlainNumberText(0.1f, '.'), "0.1");
  EXPECT_EQ(PlainNumberText(0.0f, '.'), "0");
  EXPECT_EQ(PlainNumberText(1234567.0f, '.'), "1234567");
  EXPECT_EQ(PlainNumberText(12345678.0f, '.'), "1.234568E+07");
  EXPECT_EQ(PlainNumberText(0.00001f, '.'), "0.00001");
  EXPECT_EQ(PlainNumberText(0.000001f, '.'), "1E-06");
}

TEST(PlainNumberText, writesADoubleAtFifteenDigits) {
  EXPECT_EQ(PlainNumberText(0.1 + 0.2, '.'), "0.3");
  EXPECT_EQ(PlainNumberText(8.16, ','), "8,16");
  EXPECT_EQ(PlainNumberText(1.0 / 3.0, '.'), "0.333333333333333");
  EXPECT_EQ(PlainNumberText(123456789012345.0, '.'), "123456789012345");
  EXPECT_EQ(PlainNumberText(1e15, '.'), "1E+15");
}

TEST(NeutralNumberText, putsABlankBeforeANonNegativeNumber) {
  EXPECT_EQ(NeutralNumberText(5), " 5");
  EXPECT_EQ(NeutralNumberText(14), " 14");
  EXPECT_EQ(NeutralNumberText(0), " 0");
  EXPECT_EQ(NeutralNumberText(-1), "-1");
  EXPECT_EQ(NeutralNumberText(2.5), " 2.5");
  EXPECT_DOUBLE_EQ(LeadingNumber(NeutralNumberText(-2.25)), -2.25);
}

}  // namespace
}  // namespace vestra
