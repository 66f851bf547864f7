#include "app/shell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vestra {
namespace {

const std::string sep(1, kPathSeparator);

Settings Folders() {
  Settings s;
  s.AppPath = sep + "opt" + sep + "vestra" + sep;
  s.CdromPath = sep + "media" + sep + "cd" + sep;
  return s;
}

TEST(DocumentPath, kindSelectsTheFolderExactly) {
  const Settings s = Folders();
  struct Case {
    const char* kind;
    std::string expected;
  };
  const Case cases[] = {
      {"D", s.CdromPath + "Documenti" + sep + "x.pdf"},
      {"W", s.AppPath + "Descrizioni" + sep + "x.pdf"},  // one separator, not two
      {"d", "x.pdf"},                                    // the comparison is case-sensitive
      {"w", "x.pdf"},
      {"", "x.pdf"},
  };
  for (const Case& c : cases) EXPECT_EQ(DocumentPath("x.pdf", c.kind, s), c.expected) << c.kind;
}

TEST(DocumentPath, documentsRootOfASingleSeparatorStaysOnTheRoot) {
  Settings s;
  s.CdromPath = sep;  // what an absent Cdrom key becomes
  EXPECT_EQ(DocumentPath("a.pdf", "D", s), sep + "Documenti" + sep + "a.pdf");
}

struct OpenRecord {
  std::vector<std::string> opened;
  std::vector<std::string> messages;
  int answer = kShellOpened;

  bool Open(std::string_view name, std::string_view kind, const Settings& s) {
    return OpenDocument(
        name, kind, s,
        [this](const std::string& path) {
          opened.push_back(path);
          return answer;
        },
        [this](const std::string& message) { messages.push_back(message); });
  }
};

TEST(OpenDocument, emptyNameShowsDocumentationNotFoundAndGivesFalse) {
  OpenRecord r;
  EXPECT_FALSE(r.Open("", "D", Folders()));
  EXPECT_TRUE(r.opened.empty());
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0], "Documentazione non trovata");
}

TEST(OpenDocument, failedOpenNamesTheFailureAndThePathAndStillGivesTrue) {
  OpenRecord r;
  r.answer = kShellFileNotFound;
  const Settings s = Folders();
  EXPECT_TRUE(r.Open("x.pdf", "D", s));
  ASSERT_EQ(r.opened.size(), 1u);
  EXPECT_EQ(r.opened[0], s.CdromPath + "Documenti" + sep + "x.pdf");
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0], "File not found on " + r.opened[0]);
}

TEST(OpenDocument, answerAbove32ShowsNothing) {
  OpenRecord r;
  r.answer = 33;
  EXPECT_TRUE(r.Open("https://www.oska.example", "", Folders()));
  EXPECT_EQ(r.opened, std::vector<std::string>{"https://www.oska.example"});
  EXPECT_TRUE(r.messages.empty());
  r.answer = 32;  // the last failure number
  r.Open("y.doc", "", Folders());
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0], "DLL not found on y.doc");
}

TEST(OpenFailureText, eachNumberHasItsTextOthersAreUnknown) {
  const std::pair<int, const char*> cases[] = {
      {2, "File not found"},
      {3, "Path not found"},
      {5, "Access denied"},
      {8, "Out of memory"},
      {11, "Invalid EXE file or error in EXE image"},
      {26, "A sharing violation occurred"},
      {27, "Incomplete or invalid file association"},
      {28, "DDE Time out"},
      {29, "DDE transaction failed"},
      {30, "DDE busy"},
      {31, "No association for file extension"},
      {32, "DLL not found"},
      {0, "Unknown error"},
      {1, "Unknown error"},
      {4, "Unknown error"},
  };
  for (const auto& [number, text] : cases) EXPECT_EQ(OpenFailureText(number), text) << number;
}

TEST(DocumentationAddress, italianPagesOnlyForItalian) {
  const std::string page = "/databook/index.php?IDLang=";
  EXPECT_EQ(DocumentationAddress(100), std::string(kMakerWebAddress) + page + "0");
  for (const std::int16_t base : {300, 500, 2900})
    EXPECT_EQ(DocumentationAddress(base), std::string(kMakerWebAddress) + page + "1") << base;
}

TEST(InfoTexts, descriptionKeepsTheTrailingBlankOfTheItalianText) {
  const InfoWindowTexts it = InfoTexts(TextContext(100), "2024.1");
  EXPECT_EQ(it.description, "Programma di calcolo  Vestra");
  EXPECT_EQ(it.fine, "Fine");
  EXPECT_EQ(it.version, "Ver. 6.8 DB. 2024.1");
  const InfoWindowTexts en = InfoTexts(TextContext(300), "2024.1");
  EXPECT_EQ(en.description, "Calculation program Vestra");
  EXPECT_EQ(en.fine, "End");
}

TEST(InfoTexts, labelsOpenTheWebSiteAndAMailToTheMaker) {
  const InfoWindowTexts t = InfoTexts(TextContext(100), "x");
  EXPECT_EQ(t.web, "Internet : " + std::string(kMakerWebAddress));
  EXPECT_EQ(t.webTarget, kMakerWebAddress);
  EXPECT_EQ(t.mail, "E-Mail : " + std::string(kMakerMailAddress));
  EXPECT_EQ(t.mailTarget, "mailto:" + std::string(kMakerMailAddress));
}

TEST(AboutTexts, readTheSameInEveryLanguage) {
  const AboutBoxTexts t = AboutTexts();
  EXPECT_EQ(t.application, "Vestra 6.8");
  EXPECT_EQ(t.other, "Programma di selezione\r\nrealizzato dalla Oska S.p.A.");
}

}  // namespace
}  // namespace vestra
