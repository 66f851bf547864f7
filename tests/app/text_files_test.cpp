// Checks of the interface text files of every language: complete, well-formed, built
// into the program, and translated rather than copied from English.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "app/language.h"
#include "app/text_file.h"
#include "app/texts.h"
#include "test_folder.h"

namespace vestra {

// Test names and failure messages show a language by its code.
void PrintTo(const Language& language, std::ostream* os) {
  *os << language.code;
}

namespace {

namespace fs = std::filesystem;

// Italian and English hold every offset; the translations stop at 171, and offset 172
// comes from English.
constexpr int kFullBlockLast = 172;
constexpr int kTranslationLast = 171;

// Texts that are followed by more text on screen ("Ventilconvettori Miral " + "P", the
// range message "... tra " + 18, "Salvataggio documento in " + folder): their trailing
// blank keeps the words apart.
constexpr int kFollowedByMoreText[] = {60, 87, 103, 108, 109, 168};

fs::path TextFilePath(const Language& language) {
  char name[16];
  std::snprintf(name, sizeof name, "%02d-%s.tsv", language.index,
                std::string(language.code).c_str());
  return fs::path(VESTRA_TEXTS_DIR) / name;
}

// The texts of a language file by offset; nullopt (after a failure) when the file is
// missing or malformed.
std::optional<std::map<int, std::string>> LoadLanguage(const Language& language) {
  const fs::path path = TextFilePath(language);
  if (!fs::exists(path)) {
    ADD_FAILURE() << path << " is missing";
    return std::nullopt;
  }
  const ParsedTextFile parsed = ParseTextFile(testing::ReadFile(path));
  for (const auto& problem : parsed.problems)
    ADD_FAILURE() << path.string() << ":" << problem.line << ": " << problem.message;
  if (!parsed.problems.empty()) return std::nullopt;
  std::map<int, std::string> texts;
  for (const auto& entry : parsed.entries) texts[entry.offset] = entry.text;
  return texts;
}

// The offsets a translation rightly shares with English, from its list beside the tests:
// "offset TAB reason" lines, "#" comments.
std::set<int> SameAsEnglish(const Language& language) {
  std::set<int> offsets;
  const fs::path path =
      fs::path(VESTRA_SAME_AS_ENGLISH_DIR) / (std::string(language.code) + ".txt");
  if (!fs::exists(path)) return offsets;
  const std::string content = testing::ReadFile(path);
  std::size_t start = 0;
  int lineNumber = 0;
  while (start < content.size()) {
    const std::size_t end = std::min(content.find('\n', start), content.size());
    const std::string line = content.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (line.empty() || line[0] == '#') continue;
    const std::size_t tab = line.find('\t');
    int offset = 0;
    try {
      offset = std::stoi(line.substr(0, tab));
    } catch (const std::exception&) {
    }
    if (tab == std::string::npos || offset < 1 || tab + 1 >= line.size())
      ADD_FAILURE() << path.string() << ":" << lineNumber << ": not \"offset TAB reason\"";
    else
      offsets.insert(offset);
  }
  return offsets;
}

std::string LanguageName(const ::testing::TestParamInfo<Language>& info) {
  return std::string(info.param.code);
}

// Code points of UTF-8 text.
std::vector<char32_t> CodePoints(std::string_view s) {
  std::vector<char32_t> out;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < s.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

bool IsGreek(char32_t c) {
  return (c >= 0x0370 && c <= 0x03FF) || (c >= 0x1F00 && c <= 0x1FFF);
}
bool IsCyrillic(char32_t c) {
  return c >= 0x0400 && c <= 0x052F;
}

class LanguageFile : public ::testing::TestWithParam<Language> {};

TEST_P(LanguageFile, holdsEveryOffsetOnceAndNoOther) {
  const Language& language = GetParam();
  const auto texts = LoadLanguage(language);
  if (!texts) return;
  const int last = language.index <= 1 ? kFullBlockLast : kTranslationLast;
  for (int offset = 1; offset <= last; ++offset) {
    const auto it = texts->find(offset);
    if (it == texts->end())
      ADD_FAILURE() << language.code << ": offset " << offset << " is missing";
    else if (it->second.empty())
      ADD_FAILURE() << language.code << ": offset " << offset << " is empty";
  }
  for (const auto& [offset, text] : *texts)
    EXPECT_LE(offset, last) << language.code << ": offset " << offset << " should not be there";
}

TEST_P(LanguageFile, isBuiltIntoTheProgram) {
  const Language& language = GetParam();
  const auto texts = LoadLanguage(language);
  if (!texts || texts->empty()) return;
  const TextContext context(LangBaseFor(language.index));
  for (const auto& [offset, text] : *texts)
    EXPECT_EQ(context(offset), text) << language.code << " offset " << offset;
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, LanguageFile, ::testing::ValuesIn(kLanguages), LanguageName);

class Translation : public ::testing::TestWithParam<Language> {};

TEST_P(Translation, differsFromEnglishExceptWhereTheWordIsTheSame) {
  const Language& language = GetParam();
  const auto english = LoadLanguage(kLanguages[1]);
  const auto texts = LoadLanguage(language);
  if (!english || !texts) return;
  const std::set<int> same = SameAsEnglish(language);
  for (const auto& [offset, text] : *texts) {
    const auto it = english->find(offset);
    if (it == english->end()) continue;
    if (text == it->second && !same.count(offset))
      ADD_FAILURE() << language.code << " offset " << offset << " is the English text \"" << text
                    << "\" and not on texts_same_as_english/" << language.code << ".txt";
    if (text != it->second && same.count(offset))
      ADD_FAILURE() << language.code << " offset " << offset << " is listed as the English text "
                    << "but reads \"" << text << "\"";
  }
}

TEST_P(Translation, keepsTheBlankBeforeTextThatFollowsOnScreen) {
  const Language& language = GetParam();
  const auto texts = LoadLanguage(language);
  if (!texts) return;
  for (int offset : kFollowedByMoreText) {
    const auto it = texts->find(offset);
    if (it == texts->end()) continue;  // reported as missing
    EXPECT_TRUE(!it->second.empty() && it->second.back() == ' ')
        << language.code << " offset " << offset << " \"" << it->second << "\"";
  }
}

TEST_P(Translation, isWrittenInItsOwnScript) {
  const Language& language = GetParam();
  const auto texts = LoadLanguage(language);
  if (!texts) return;
  const std::set<int> same = SameAsEnglish(language);
  for (const auto& [offset, text] : *texts) {
    const auto points = CodePoints(text);
    const bool greek = std::any_of(points.begin(), points.end(), IsGreek);
    const bool cyrillic = std::any_of(points.begin(), points.end(), IsCyrillic);
    const bool listed = same.count(offset) != 0;
    if (language.code == "el" && !listed) {
      EXPECT_TRUE(greek) << "el offset " << offset << " has no Greek letter: " << text;
    }
    if (language.code == "ru" && !listed) {
      EXPECT_TRUE(cyrillic) << "ru offset " << offset << " has no Cyrillic letter: " << text;
    }
    // Serbian is written in Latin script here, like every language but these two.
    if (language.code != "ru") {
      EXPECT_FALSE(cyrillic) << language.code << " offset " << offset << " is Cyrillic: " << text;
    }
    if (language.code != "el") {
      EXPECT_FALSE(greek) << language.code << " offset " << offset << " is Greek: " << text;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, Translation,
                         ::testing::ValuesIn(kLanguages.begin() + 2, kLanguages.end()),
                         LanguageName);

TEST(LanguageFiles, areNamedForTheLanguagesOfTheProgram) {
  for (const auto& entry : fs::directory_iterator(VESTRA_TEXTS_DIR)) {
    const std::string name = entry.path().filename().string();
    const auto parsed = ParseTextFileName(name);
    ASSERT_TRUE(parsed.has_value()) << name << " is not NN-xx.tsv";
    EXPECT_EQ(parsed->code, kLanguages[static_cast<std::size_t>(parsed->index)].code) << name;
  }
}

}  // namespace
}  // namespace vestra
