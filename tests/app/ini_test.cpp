#include "app/ini.h"

#include <gtest/gtest.h>

#include <string>

namespace vestra {
namespace {

// A settings file as a technician leaves it: comments, odd spacing and letter case,
// a blank line, keys the program never writes.
const std::string kHandWritten =
    "; Vestra settings - edited on site\n"
    "[Common]\n"
    "Multi = 2\n"
    "cdrom=E:\\\n"
    "  OutputDir = \"C:\\Offerte 2024\"  \n"
    "\n"
    "# units chosen by the customer\n"
    "[UNMIS]\n"
    "pt=1\n"
    "QA=2\n"
    "[Lingue]\n"
    "L0=ITA\n";

TEST(IniLookup, findsSectionsAndKeysInAnyLetterCaseAndTrimsValues) {
  EXPECT_EQ(IniLookup(kHandWritten, "Common", "Multi"), "2");
  EXPECT_EQ(IniLookup(kHandWritten, "COMMON", "CdRom"), "E:\\");
  EXPECT_EQ(IniLookup(kHandWritten, "common", "outputdir"), "C:\\Offerte 2024");  // quotes go
  EXPECT_EQ(IniLookup(kHandWritten, "Unmis", "Pt"), "1");
  EXPECT_EQ(IniLookup(kHandWritten, "Unmis", "Qa"), "2");
  EXPECT_EQ(IniLookup(kHandWritten, "lingue", "l0"), "ITA");
}

TEST(IniLookup, aMissingSectionOrKeyOrACommentIsNotAValue) {
  EXPECT_EQ(IniLookup(kHandWritten, "Common", "Default"), std::nullopt);
  EXPECT_EQ(IniLookup(kHandWritten, "Other", "Multi"), std::nullopt);
  EXPECT_EQ(IniLookup(kHandWritten, "Unmis", "Multi"), std::nullopt);  // key of another section
  EXPECT_EQ(IniLookup("", "Common", "Multi"), std::nullopt);
  EXPECT_EQ(IniLookup("[Common]\n;Multi=3\n", "Common", "Multi"), std::nullopt);
  EXPECT_EQ(IniLookup("Multi=3\n[Common]\n", "Common", "Multi"), std::nullopt);
}

TEST(IniLookup, takesTheFirstOfTwoAndCutsLongValues) {
  EXPECT_EQ(IniLookup("[A]\nk=1\nk=2\n[a]\nk=3\n", "A", "k"), "1");
  EXPECT_EQ(IniLookup("[A]\nk=\n", "A", "k"), "");
  const std::string longValue(300, 'x');
  EXPECT_EQ(IniLookup("[A]\nk=" + longValue + "\n", "A", "k"), std::string(255, 'x'));
  EXPECT_EQ(IniLookup("\xEF\xBB\xBF[A]\r\nk = v \r\n", "A", "k"), "v");  // BOM, CRLF
}

TEST(IniSetValue, rewritesOneKeyInPlaceAndKeepsTheRest) {
  const std::string updated = IniSetValue(kHandWritten, "common", "MULTI", " 7");
  std::string expected = kHandWritten;
  expected.replace(expected.find("Multi = 2"), 9, "Multi= 7");
  EXPECT_EQ(updated, expected);

  const std::string indented = IniSetValue(kHandWritten, "Common", "OutputDir", "/srv/out");
  EXPECT_NE(indented.find("\n  OutputDir=/srv/out\n\n# units"), std::string::npos) << indented;
}

TEST(IniSetValue, addsAMissingKeyAfterTheLastKeyOfItsSection) {
  const std::string updated = IniSetValue(kHandWritten, "Unmis", "Qw", " 1");
  std::string expected = kHandWritten;
  expected.insert(expected.find("[Lingue]"), "Qw= 1\n");
  EXPECT_EQ(updated, expected);

  // Not after the comment that heads the next section.
  const std::string common = IniSetValue(kHandWritten, "Common", "Default", "ENG");
  EXPECT_NE(common.find("\"C:\\Offerte 2024\"  \nDefault=ENG\n\n# units"), std::string::npos)
      << common;
}

TEST(IniSetValue, addsAMissingSectionAtTheEnd) {
  EXPECT_EQ(IniSetValue("", "Unmis", "Pt", " 1"), "[Unmis]\nPt= 1\n");
  EXPECT_EQ(IniSetValue("[Common]\nMulti=1", "Unmis", "Pt", " 0"),
            "[Common]\nMulti=1\n\n[Unmis]\nPt= 0\n");
  EXPECT_EQ(IniSetValue("[Common]\r\nMulti=1\r\n", "Unmis", "Pt", " 0"),
            "[Common]\r\nMulti=1\r\n\r\n[Unmis]\r\nPt= 0\r\n");
  EXPECT_EQ(IniSetValue("[Common]\r\nMulti=1", "common", "Cdrom", "D:\\"),
            "[Common]\r\nMulti=1\r\nCdrom=D:\\\r\n");
}

TEST(IniSetValue, writtenValuesReadBack) {
  std::string file;
  file = IniSetValue(file, "Common", "Multi", " 5");
  file = IniSetValue(file, "Unmis", "Pt", " 1");
  file = IniSetValue(file, "Common", "Multi", " 7");
  EXPECT_EQ(file, "[Common]\nMulti= 7\n\n[Unmis]\nPt= 1\n");
  EXPECT_EQ(IniLookup(file, "Common", "Multi"), "7");
}

}  // namespace
}  // namespace vestra
