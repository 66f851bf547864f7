#include "app/language.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "test_folder.h"

namespace vestra {
namespace {

const MenuCaption* Find(const MainWindowCaptions& c, std::string_view menu) {
  const auto it = std::find_if(c.menus.begin(), c.menus.end(),
                               [&](const MenuCaption& m) { return m.menu == menu; });
  return it == c.menus.end() ? nullptr : &*it;
}

class ApplyLanguageTest : public ::testing::Test {
 protected:
  testing::TestFolder folder;
  SettingsFile file{folder / "Vestra.ini", {}};
  Settings settings;
};

TEST_F(ApplyLanguageTest, captionsTheMainWindowInTheChosenLanguage) {
  settings.LangIndex = 0;
  const ApplyLanguageResult italian = ApplyLanguage(settings, &file);
  EXPECT_EQ(settings.LangBase, 100);
  EXPECT_EQ(italian.captions.caption, "Vestra - Programma di calcolo ");

  settings.LangIndex = 1;
  const ApplyLanguageResult english = ApplyLanguage(settings, &file);
  EXPECT_EQ(settings.LangBase, 300);
  EXPECT_EQ(english.captions.caption, "Vestra - Calculation program");
  const MainWindowCaptions& c = english.captions;
  ASSERT_EQ(c.menus.size(), 21u);
  struct Expect {
    const char* menu;
    const char* button;
    const char* text;
  };
  const Expect rows[] = {
      {"mnuFile", "", "File"},
      {"mnuDefprt", "SSdefprt", "Set &Printer"},
      {"mnuUnmis", "SSunmis", "Unit of measure"},
      {"mnuprod(2)", "SSprod(2)", "Miral fan coils"},
      {"mnuprod(8)", "SSprod(8)", "DARNE"},
      {"mnuprod(9)", "SSprod(9)", "Fancoils Z7"},
      {"mnuprod(10)", "SSprod(10)", "Fancoils Pelvo"},
      {"mnuprod(12)", "SSprod(12)", "Cassette QUIVO"},
      {"mnulingua", "SSlingua", "Selection & language"},
      {"mnuInfo", "", "Info System"},
  };
  for (const Expect& row : rows) {
    const MenuCaption* m = Find(c, row.menu);
    ASSERT_NE(m, nullptr) << row.menu;
    EXPECT_EQ(m->toolbarButton, row.button) << row.menu;
    EXPECT_EQ(m->text, row.text) << row.menu;
  }
  EXPECT_EQ(Find(c, "mnuprod(11)"), nullptr);
}

TEST_F(ApplyLanguageTest, storesTheChoiceAsTheNeutralNumberText) {
  settings.LangIndex = 4;  // Spanish
  ApplyLanguageResult result = ApplyLanguage(settings, &file);
  EXPECT_TRUE(result.saved.ok) << result.saved.error;
  EXPECT_EQ(testing::ReadFile(folder / "Vestra.ini"), "[Common]\nMulti= 4\n");
  EXPECT_EQ(Find(result.captions, "mnuprod(9)")->text, TextContext(900)(139) + " Z7");

  settings.LangIndex = 14;
  result = ApplyLanguage(settings, &file);
  EXPECT_EQ(settings.LangBase, 2900);
  EXPECT_EQ(testing::ReadFile(folder / "Vestra.ini"), "[Common]\nMulti= 14\n");
}

TEST_F(ApplyLanguageTest, aChoiceThatCannotBeStoredIsReported) {
  testing::WriteFile(folder / "blocked", "");
  SettingsFile blocked(folder / "blocked" / "Vestra.ini", {});
  settings.LangIndex = 2;
  const ApplyLanguageResult result = ApplyLanguage(settings, &blocked);
  EXPECT_FALSE(result.saved.ok);
  EXPECT_EQ(settings.LangBase, 500);  // the language still changes for this run
  EXPECT_EQ(result.captions.caption, "Vestra - " + TextContext(500)(60));
}

TEST_F(ApplyLanguageTest, czechSurvivesTheNextStart) {
  testing::WriteFile(folder / "Vestra.ini",
                     "[Common]\nMulti=1\nCdrom=/media/cd\n[Unmis]\nPt=1\n[Lingue]\nL7=CZE\n");
  settings.LangIndex = 7;
  ApplyLanguage(settings, &file);
  EXPECT_EQ(settings.LangBase, 1500);
  EXPECT_EQ(testing::ReadFile(folder / "Vestra.ini"),
            "[Common]\nMulti= 7\nCdrom=/media/cd\n[Unmis]\nPt=1\n[Lingue]\nL7=CZE\n");

  Settings next;
  LoadSettings(file, (folder / "out").string(), next);
  EXPECT_EQ(next.LangIndex, 7);
  EXPECT_EQ(next.LangBase, 1500);
  EXPECT_EQ(next.LangCodes[7], "CZE");
  EXPECT_EQ(next.UnitPt, 1);
}

TEST(LanguageChooser, labelsTheFirstFourFromTheTableAndTheRestFixed) {
  const LanguageChooserTexts english = LanguageChooserCaptions(TextContext(300));
  EXPECT_EQ(english.caption, "Selection & language");
  EXPECT_EQ(english.labels[0], "Italian");
  EXPECT_EQ(english.labels[3], "German");
  EXPECT_EQ(english.labels[4], "Spagnolo");
  EXPECT_EQ(english.labels[6], "Greco");
  EXPECT_EQ(english.labels[7], "Czech");
  EXPECT_EQ(english.labels[14], "Finnish");
  const LanguageChooserTexts italian = LanguageChooserCaptions(TextContext(100));
  EXPECT_EQ(italian.labels[1], "Iinglese");  // as the Italian block spells it
  EXPECT_EQ(italian.labels[5], "Ungherese");
}

TEST(LanguageChange, closesEveryWindowButTheMainWindowAndTheChooser) {
  EXPECT_TRUE(KeepsOpenOnLanguageChange("Fmenu"));
  EXPECT_TRUE(KeepsOpenOnLanguageChange("Flingua"));
  for (const char* name : {"FDatiP", "Funmis", "FStampa", "FInfo", "fmenu"})
    EXPECT_FALSE(KeepsOpenOnLanguageChange(name)) << name;
}

}  // namespace
}  // namespace vestra
