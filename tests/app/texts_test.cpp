#include "app/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/text_file.h"
#include "engine/errors.h"
#include "test_folder.h"

namespace vestra {
namespace {

namespace fs = std::filesystem;

int ErrorOf(auto&& call) {
  try {
    call();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

TEST(TextTable, isSortedWithOneTextPerIdentifier) {
  const auto table = TextTable();
  ASSERT_FALSE(table.empty());
  EXPECT_TRUE(std::adjacent_find(table.begin(), table.end(), [](const auto& a, const auto& b) {
                return a.id >= b.id;
              }) == table.end());
}

TEST(Text, givesTheCurrentLanguageOrTheEnglishTextOfTheSameOffset) {
  const TextContext french(LangBaseFor(2));
  EXPECT_EQ(french.langBase(), 500);
  EXPECT_EQ(french(15), "Calculer");
  EXPECT_EQ(french(172), "Power input");  // the translations stop at 171
  EXPECT_EQ(Text(500 + 172, 500), "Power input");

  const TextContext italian(LangBaseFor(0));
  EXPECT_EQ(italian(172), "Potenza assorbita");
  EXPECT_EQ(italian(60), "Programma di calcolo ");  // the trailing blank is part of it
  EXPECT_EQ(TextContext(300)(68), "Return    ");
}

TEST(Text, aLanguageIndexWithoutABlockReadsEnglish) {
  for (std::int16_t index : {15, 20, -1}) {
    const TextContext texts(LangBaseFor(index));
    EXPECT_EQ(texts(15), "Calculate") << index;
    EXPECT_EQ(texts(1), "Products description") << index;
  }
}

TEST(Text, aTextMissingFromBothBlocksIsAnError) {
  EXPECT_EQ(ErrorOf([] { TextContext(500)(0); }), kResourceNotFound);
  EXPECT_EQ(ErrorOf([] { TextContext(500)(173); }), kResourceNotFound);
  EXPECT_EQ(ErrorOf([] { Text(4242, 100); }), kResourceNotFound);
  EXPECT_EQ(StandardErrorMessage(kResourceNotFound), "Resource with identifier not found");
  // LangBase + offset is 16-bit arithmetic.
  EXPECT_EQ(ErrorOf([] { TextContext(32700)(100); }), kOverflow);
}

// The table the build embeds holds every text of the source files, byte for byte:
// escapes decoded, trailing blanks kept.
TEST(TextTable, holdsExactlyTheTextsOfTheSourceFiles) {
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(VESTRA_TEXTS_DIR)) {
    const auto name = ParseTextFileName(entry.path().filename().string());
    if (!name) continue;
    const ParsedTextFile parsed = ParseTextFile(testing::ReadFile(entry.path()));
    for (const auto& text : parsed.entries) {
      const int id = TextBlockBase(name->index) + text.offset;
      const auto embedded = FindText(id);
      ASSERT_TRUE(embedded.has_value()) << entry.path() << " offset " << text.offset;
      EXPECT_EQ(*embedded, text.text) << entry.path() << " offset " << text.offset;
      ++count;
    }
  }
  EXPECT_EQ(count, TextTable().size());
}

TEST(TextFile, readsOffsetsTextsAndEscapes) {
  const ParsedTextFile parsed =
      ParseTextFile("1\tPotenza totale \n\n2\ta\\tb\\nc\\\\d\r\n3\t\n4\ttab\tinside");
  EXPECT_TRUE(parsed.problems.empty());
  ASSERT_EQ(parsed.entries.size(), 4u);
  EXPECT_EQ(parsed.entries[0].text, "Potenza totale ");
  EXPECT_EQ(parsed.entries[1].text, "a\tb\nc\\d");
  EXPECT_EQ(parsed.entries[1].line, 3);
  EXPECT_EQ(parsed.entries[2].text, "");
  EXPECT_EQ(parsed.entries[3].text, "tab\tinside");
}

TEST(TextFile, reportsEveryBadLineWithItsNumber) {
  const ParsedTextFile parsed = ParseTextFile(
      "1\tone\n"
      "two\n"        // no tab
      "x\tthree\n"   // no offset
      "200\tfour\n"  // into the next block
      "0\tfive\n"
      "6\tbad \\q\n"
      "7\tends \\\n"
      "8\t\xC3\n"     // cut UTF-8
      "1\tagain\n");  // duplicated offset
  ASSERT_EQ(parsed.problems.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(parsed.problems[i].line, i + 2);
  EXPECT_NE(parsed.problems[7].message.find("line 1"), std::string::npos);
  ASSERT_EQ(parsed.entries.size(), 1u);
  EXPECT_EQ(parsed.entries[0].text, "one");
}

TEST(TextFile, namesCarryTheLanguageIndexAndCode) {
  const auto name = ParseTextFileName("05-hu.tsv");
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(name->index, 5);
  EXPECT_EQ(name->code, "hu");
  for (const char* bad : {"15-xx.tsv", "5-hu.tsv", "05-HU.tsv", "05-hu.txt", "05_hu.tsv"})
    EXPECT_FALSE(ParseTextFileName(bad).has_value()) << bad;
}

}  // namespace
}  // namespace vestra
