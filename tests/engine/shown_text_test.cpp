#include "engine/shown_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vestra {
namespace {

TEST(ShownText, quotesAValueWithItsControlCharactersAndStrayBytesVisible) {
  struct Case {
    std::string text;
    std::string quoted;
  } cases[] = {
      {"MIRAL 20", R"("MIRAL 20")"},
      {"MIRAL\t20", R"("MIRAL\x0920")"},
      {"a\nb\rc", R"("a\x0Ab\x0Dc")"},
      {"\x1B[2J", R"("\x1B[2J")"},  // a terminal escape stays harmless
      {"del\x7F", R"("del\x7F")"},
      {"c1\xC2\x85", R"("c1\x85")"},                         // NEXT LINE, a C1 control
      {"Caf\xC3\xA9 \xCE\xB1", "\"Caf\xC3\xA9 \xCE\xB1\""},  // letters of any script stay
      {"bad\xFF", R"("bad\xFF")"},
      {"cut\xE2\x82", R"("cut\xE2\x82")"},    // a character cut short
      {"\xED\xA0\x80", R"("\xED\xA0\x80")"},  // a surrogate is no UTF-8
      {"say \"hi\" \\o/", R"("say \"hi\" \\o/")"},
      {"", R"("")"},
  };
  for (const Case& c : cases) EXPECT_EQ(QuotedValue(c.text), c.quoted) << c.quoted;
}

TEST(ShownText, cutsALongValueAfterSixtyCharactersNotBytes) {
  EXPECT_EQ(QuotedValue(std::string(60, 'x')), "\"" + std::string(60, 'x') + "\"");
  EXPECT_EQ(QuotedValue(std::string(61, 'x')), "\"" + std::string(60, 'x') + "...\"");
  std::string accents;
  for (int i = 0; i < 100; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(QuotedValue(accents), "\"" + accents.substr(0, 120) + "...\"");
  EXPECT_EQ(QuotedValue(std::string(1000000, '\t'), 3), R"("\x09\x09\x09...")");
}

TEST(ShownText, namesTheFirstFaultOfATextThatCannotStandAsOneLine) {
  EXPECT_EQ(PrintableTextFault("MIRAL 20HX*"), std::nullopt);
  EXPECT_EQ(PrintableTextFault("\xCE\x9C\xCE\xB1 \xE2\x82\xAC"), std::nullopt);
  struct Case {
    std::string text;
    std::string fault;
  } cases[] = {
      {"MIRAL\t20", "a control character (\\x09) at character 6"},
      {"M 20\n", "a control character (\\x0A) at character 5"},
      {"\xC3\xA9\x7F", "a control character (\\x7F) at character 2"},
      {"M\xC3", "a byte that is not UTF-8 (\\xC3) at character 2"},
      {"\xC0\xAF", "a byte that is not UTF-8 (\\xC0) at character 1"},  // overlong slash
  };
  for (const Case& c : cases) EXPECT_EQ(PrintableTextFault(c.text), c.fault) << c.fault;
}

TEST(ShownText, replacesEachIllFormedSequenceByOneReplacementCharacter) {
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(WithValidUtf8("ok \xC3\xA9"), "ok \xC3\xA9");
  EXPECT_EQ(WithValidUtf8("a\xFF"
                          "b"),
            "a" + fffd + "b");
  EXPECT_EQ(WithValidUtf8("\xE2\x82"), fffd);                               // one cut character
  EXPECT_EQ(WithValidUtf8("\xC0\xAF"), fffd + fffd);                        // no overlong form
  EXPECT_EQ(WithValidUtf8("\xF4\x90\x80\x80"), fffd + fffd + fffd + fffd);  // beyond U+10FFFF
  EXPECT_EQ(WithValidUtf8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace vestra

namespace vestra {
namespace {

TEST(AppendUtf8, writesEachLengthAndReplacesWhatIsNoCharacter) {
  const struct {
    char32_t code;
    const char* utf8;
  } cases[] = {{U'A', "A"},
               {0xE9, "\xC3\xA9"},
               {0x20AC, "\xE2\x82\xAC"},
               {0x1F600, "\xF0\x9F\x98\x80"},
               {0xD800, "\xEF\xBF\xBD"},
               {0x110000, "\xEF\xBF\xBD"}};
  for (const auto& c : cases) {
    std::string out;
    AppendUtf8(out, c.code);
    EXPECT_EQ(out, c.utf8) << static_cast<unsigned>(c.code);
  }
}

}  // namespace
}  // namespace vestra
