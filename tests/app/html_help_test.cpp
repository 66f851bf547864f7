#include "app/html_help.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "test_folder.h"

namespace vestra {
namespace {

struct ViewerCall {
  WindowHandle owner;
  std::string file;
  HelpCommand command;
  HelpData data;
};

// Records each call; answers 77, or raises what failWith says.
class RecordingViewer : public HelpViewer {
 public:
  std::vector<ViewerCall> calls;
  std::optional<RuntimeError> failWith;

  std::int32_t Call(WindowHandle owner, const std::string& file, HelpCommand command,
                    const HelpData& data) override {
    calls.push_back({owner, file, command, data});
    if (failWith) throw *failWith;
    return 77;
  }
};

class FakeApplication : public HelpApplication {
 public:
  std::optional<WindowTwips> window;
  float twipsX = 15.0f;
  float twipsY = 15.0f;
  std::optional<HelpControl> control;

  std::optional<WindowTwips> ActiveWindow() const override { return window; }
  float TwipsPerPixelX() const override { return twipsX; }
  float TwipsPerPixelY() const override { return twipsY; }
  std::optional<HelpControl> ActiveControl() const override { return control; }
};

class HtmlHelpTest : public ::testing::Test {
 protected:
  HtmlHelpTest() : help(viewer, application) {
    help.hWnd = 42;
    help.HelpFile = " help.chm ::/intro.htm";
  }

  const ViewerCall& OnlyCall() const {
    EXPECT_EQ(viewer.calls.size(), 1u);
    return viewer.calls.back();
  }

  RecordingViewer viewer;
  FakeApplication application;
  cHtmlHelp help;
};

TEST(HelpFilePath, isTheFileBeforeTheFirstTopicMarkWithoutBlanks) {
  struct Case {
    const char* helpFile;
    const char* bare;
  };
  const Case cases[] = {
      {"help.chm::/intro.htm", "help.chm"},
      {" help.chm ::/intro.htm", "help.chm"},
      {"help.chm", "help.chm"},
      {" help.chm ", " help.chm "},  // no topic: no trimming either
      {"a.chm::/b.htm::/c.htm", "a.chm"},
      {"::/intro.htm", ""},
      {"\thelp.chm::/intro.htm", "\thelp.chm"},  // blanks only, not tabs
  };
  RecordingViewer viewer;
  FakeApplication application;
  cHtmlHelp help(viewer, application);
  for (const Case& c : cases) {
    help.HelpFile = c.helpFile;
    EXPECT_EQ(help.HelpFilePath(), c.bare) << c.helpFile;
  }
}

TEST_F(HtmlHelpTest, eachOperationAsksTheViewerWithItsCommandFileOwnerAndData) {
  struct Case {
    const char* name;
    std::function<std::int32_t(cHtmlHelp&)> run;
    int command;  // the viewer's number
    std::string file;
    HelpData data;
  };
  const Case cases[] = {
      {"DisplayContext", [](cHtmlHelp& h) { return h.DisplayContext(1234); }, 15, "help.chm",
       std::int32_t{1234}},
      {"DisplayTopic", [](cHtmlHelp& h) { return h.DisplayTopic("fans.htm"); }, 0, "help.chm",
       std::string("fans.htm")},
      {"DisplayTopic empty", [](cHtmlHelp& h) { return h.DisplayTopic(""); }, 0, "help.chm",
       HelpData{}},
      {"DisplayTOC", [](cHtmlHelp& h) { return h.DisplayTOC(); }, 1, "help.chm", HelpData{}},
      {"DisplayIndex", [](cHtmlHelp& h) { return h.DisplayIndex("coil"); }, 2, "help.chm",
       std::string("coil")},
      {"DisplayIndex empty", [](cHtmlHelp& h) { return h.DisplayIndex(""); }, 2, "help.chm",
       HelpData{}},
  };
  for (const Case& c : cases) {
    viewer.calls.clear();
    EXPECT_EQ(c.run(help), 77) << c.name;
    ASSERT_EQ(viewer.calls.size(), 1u) << c.name;
    const ViewerCall& call = viewer.calls[0];
    EXPECT_EQ(static_cast<int>(call.command), c.command) << c.name;
    EXPECT_EQ(call.file, c.file) << c.name;
    EXPECT_EQ(call.owner, 42) << c.name;
    EXPECT_TRUE(call.data == c.data) << c.name;
  }
}

TEST_F(HtmlHelpTest, searchAsksForTheSearchPageWithAnEmptyQueryExecuted) {
  EXPECT_EQ(help.DisplaySearch(), 77);
  const ViewerCall& call = OnlyCall();
  EXPECT_EQ(static_cast<int>(call.command), 3);
  EXPECT_EQ(call.file, "help.chm");
  const auto* query = std::get_if<HelpSearchRecord>(&call.data);
  ASSERT_NE(query, nullptr);
  EXPECT_EQ(query->structSize, 32);
  EXPECT_EQ(query->unicodeTexts, 0);
  EXPECT_EQ(query->searchQuery, "");
  EXPECT_EQ(query->proximity, 0);
  EXPECT_EQ(query->stemmedSearch, 0);
  EXPECT_EQ(query->titlesOnly, 0);
  EXPECT_EQ(query->execute, 1);
  EXPECT_EQ(query->windowName, "");
}

TEST_F(HtmlHelpTest, popUpGoesToTheStoredFileWithItsRecordBelowTheActiveWindowsMiddle) {
  application.window = WindowTwips{1500.0f, 3000.0f, 4500.0f};
  EXPECT_EQ(help.PopUp("Air flow at the chosen speed"), 77);
  const ViewerCall& call = OnlyCall();
  EXPECT_EQ(static_cast<int>(call.command), 14);
  EXPECT_EQ(call.file, " help.chm ::/intro.htm");  // as stored, topic and blanks kept
  EXPECT_EQ(call.owner, 42);
  const auto* popup = std::get_if<HelpPopupRecord>(&call.data);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->structSize, 52);
  EXPECT_EQ(popup->instance, 0);
  EXPECT_EQ(popup->stringResource, 0);
  EXPECT_EQ(popup->text, "Air flow at the chosen speed");
  EXPECT_EQ(popup->x, (1500 + 360) / 15);
  EXPECT_EQ(popup->y, (3000 + 4500 / 2 + 240) / 15);
  EXPECT_EQ(popup->textColour, -1);
  EXPECT_EQ(popup->backgroundColour, -1);
  EXPECT_EQ(popup->marginLeft, -1);
  EXPECT_EQ(popup->marginTop, -1);
  EXPECT_EQ(popup->marginRight, -1);
  EXPECT_EQ(popup->marginBottom, -1);
  EXPECT_EQ(popup->font, "Verdana,8");
}

TEST(PopUpPosition, roundsToNearestHalvesToEvenAndDividesTowardsZero) {
  struct Case {
    const char* what;
    WindowTwips window;
    float twipsX, twipsY;
    std::int32_t x, y;
  };
  const Case cases[] = {
      {"plain", {1500, 3000, 4500}, 15, 15, 124, 366},
      // 1499.5 twips is 1500, a whole 100 pixels: truncating would give 99.
      {"half twip rounds to even, upwards", {1139.5f, 0, 0}, 15, 15, 100, 16},
      // 1514.5 twips is 1514 (even): rounding the half away from zero would give 101.
      {"half twip rounds to even, downwards", {1154.5f, 0, 0}, 15, 15, 100, 16},
      // 12.5 twips per pixel is 12: the half away from zero would make it 13.
      {"half twips per pixel", {1140, 1260, 0}, 12.5f, 12.5f, 125, 125},
      // 3001 \ 2 is 1500: dividing the height as a number would give 1769.5 -> 118.
      {"odd height halves by integer division", {0, 29, 3001}, 15, 15, 24, 117},
      // -140 \ 15 is -9 (towards zero), not -10.
      {"window left of the screen", {-500, -1000, 0}, 15, 15, -9, -50},
      {"high density screen", {1500, 3000, 4500}, 7.5f, 7.5f, 232, 686},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PopUpX(c.window, c.twipsX), c.x) << c.what;
    EXPECT_EQ(PopUpY(c.window, c.twipsY), c.y) << c.what;
  }
}

TEST(PopUpPosition, raisesDivisionByZeroAndOverflow) {
  struct Case {
    const char* what;
    WindowTwips window;
    float twipsPerPixel;
    int error;
  };
  const Case cases[] = {
      {"under half a twip per pixel", {1500, 3000, 4500}, 0.4f, kDivisionByZero},
      {"beyond 32 bits", {3.0e9f, 3.0e9f, 0}, 15, kOverflow},
      {"height beyond 32 bits", {0, 0, 5.0e9f}, 15, kOverflow},
  };
  for (const Case& c : cases) {
    try {
      (void)PopUpY(c.window, c.twipsPerPixel);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), c.error) << c.what;
    }
  }
  EXPECT_THROW((void)PopUpX({0, 0, 0}, 0.4f), RuntimeError);
}

TEST_F(HtmlHelpTest, popUpStillShowsItsTextWhenThePositionCannotBeWorkedOut) {
  // No active window: both coordinates stay 0.
  EXPECT_EQ(help.PopUp("No window"), 77);
  const auto* popup = std::get_if<HelpPopupRecord>(&OnlyCall().data);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->x, 0);
  EXPECT_EQ(popup->y, 0);
  EXPECT_EQ(popup->text, "No window");

  // A horizontal division by zero leaves x at 0 and y still worked out.
  viewer.calls.clear();
  application.window = WindowTwips{1500.0f, 3000.0f, 4500.0f};
  application.twipsX = 0.25f;
  EXPECT_EQ(help.PopUp("Narrow"), 77);
  popup = std::get_if<HelpPopupRecord>(&OnlyCall().data);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->x, 0);
  EXPECT_EQ(popup->y, 366);
}

TEST_F(HtmlHelpTest, helpContextAddsTheWindowNameAfterABlankAndAnArrow) {
  const HelpControl field{7, 1001, 250};
  struct Case {
    const char* helpFile;
    const char* window;
    const char* file;
  };
  const Case cases[] = {
      {"help.chm", "main", "help.chm >main"},
      {"help.chm", "", "help.chm"},
      {" help.chm ::/intro.htm", "main", "help.chm >main"},
  };
  for (const Case& c : cases) {
    viewer.calls.clear();
    help.HelpFile = c.helpFile;
    EXPECT_EQ(help.HelpContext(&field, c.window), 77) << c.window;
    const ViewerCall& call = OnlyCall();
    EXPECT_EQ(call.file, c.file);
    EXPECT_EQ(static_cast<int>(call.command), 15);
    EXPECT_EQ(call.owner, 42);  // the wrapper's owner, not the control's window
    EXPECT_TRUE(call.data == HelpData{std::int32_t{250}});
  }
}

TEST_F(HtmlHelpTest, helpContextTakesTheActiveControlAndSkipsAControlWithoutContextNumber) {
  application.control = HelpControl{8, 1002, 310};
  EXPECT_EQ(help.HelpContext(), 77);
  EXPECT_TRUE(OnlyCall().data == HelpData{std::int32_t{310}});

  viewer.calls.clear();
  const HelpControl label{9, std::nullopt, std::nullopt};
  EXPECT_EQ(help.HelpContext(&label, "main"), 0);
  application.control.reset();
  EXPECT_EQ(help.HelpContext(nullptr, "main"), 0);
  EXPECT_TRUE(viewer.calls.empty());
}

TEST_F(HtmlHelpTest, helpContextPopPassesTheTableToTheControlsOwnWindow) {
  const HelpControl field{7, 1001, 250};
  EXPECT_EQ(help.HelpContextPop(&field), 77);
  const ViewerCall& call = OnlyCall();
  EXPECT_EQ(call.owner, 7);
  EXPECT_EQ(call.file, " help.chm ::/intro.htm");  // as stored
  EXPECT_EQ(static_cast<int>(call.command), 17);
  const auto* table = std::get_if<ControlHelpTable>(&call.data);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ((*table)[0].controlId, 1001);
  EXPECT_EQ((*table)[0].helpContext, 250);
  EXPECT_EQ((*table)[1].controlId, 0);
  EXPECT_EQ((*table)[1].helpContext, 0);
}

TEST_F(HtmlHelpTest, helpContextPopSkipsTheViewerWhenAValueCannotBeRead) {
  const HelpControl first{7, 1001, 250};
  help.HelpContextPop(&first);
  viewer.calls.clear();

  // The context number is read and written; the missing identifier leaves the old one.
  const HelpControl windowless{0, std::nullopt, 300};
  EXPECT_EQ(help.HelpContextPop(&windowless), 0);
  EXPECT_TRUE(viewer.calls.empty());
  EXPECT_EQ(help.controlHelpTable()[0].controlId, 1001);
  EXPECT_EQ(help.controlHelpTable()[0].helpContext, 300);

  EXPECT_EQ(help.HelpContextPop(), 0);  // no active control
  EXPECT_TRUE(viewer.calls.empty());
}

TEST_F(HtmlHelpTest, onlyPopUpAndTheContextHelpIgnoreAViewerFailure) {
  viewer.failWith = RuntimeError(kFileNotFound, "No help viewer");
  application.window = WindowTwips{1500.0f, 3000.0f, 4500.0f};
  const HelpControl field{7, 1001, 250};
  EXPECT_EQ(help.PopUp("x"), 0);
  EXPECT_EQ(help.HelpContextPop(&field), 0);
  EXPECT_EQ(help.HelpContext(&field, "main"), 0);
  EXPECT_EQ(viewer.calls.size(), 3u);  // each did ask

  const std::function<void()> passing[] = {
      [&] { help.DisplayContext(1); },    [&] { help.DisplayTopic("a.htm"); },
      [&] { help.DisplaySearch(); },      [&] { help.DisplayTOC(); },
      [&] { help.DisplayIndex("coil"); },
  };
  for (const auto& run : passing) {
    try {
      run();
      ADD_FAILURE() << "the viewer failure was swallowed";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), kFileNotFound);
      EXPECT_STREQ(e.what(), "No help viewer");
    }
  }
}

// ---- the help pages of this desktop ----------------------------------------------------

class HelpPageTest : public ::testing::Test {
 protected:
  HelpPageTest() {
    std::filesystem::create_directory(folder / "help");
    testing::WriteFile(folder / "help" / "index.html", "<html></html>");
    testing::WriteFile(folder / "help" / "intro.htm", "<html></html>");
    testing::WriteFile(folder / "help.chm", "ITSF");
  }
  std::string Named(const std::string& name) const { return (folder / name).string(); }

  testing::TestFolder folder;
};

TEST_F(HelpPageTest, folderOpensAtItsTopicOrStartPageAndAFileWhole) {
  struct Case {
    std::string argument;
    HelpCommand command;
    HelpData data;
    std::filesystem::path page;
    std::string fragment;
  };
  const std::string help = Named("help");
  const Case cases[] = {
      {help, HelpCommand::kDisplayToc, {}, folder / "help" / "index.html", ""},
      {help + "::/intro.htm",
       HelpCommand::kDisplayTextPopup,
       {},
       folder / "help" / "intro.htm",
       ""},
      {help + " >main", HelpCommand::kHelpContext, std::int32_t{4}, folder / "help" / "index.html",
       ""},
      {" " + help + " ::/intro.htm#fans>main",
       HelpCommand::kTpHelpWmHelp,
       {},
       folder / "help" / "intro.htm",
       "fans"},
      {help, HelpCommand::kDisplayTopic, std::string("/intro.htm"), folder / "help" / "intro.htm",
       ""},
      // A key word is no topic.
      {help, HelpCommand::kDisplayIndex, std::string("intro.htm"), folder / "help" / "index.html",
       ""},
      {Named("help.chm") + "::/intro.htm", HelpCommand::kTpHelpWmHelp, {}, folder / "help.chm", ""},
  };
  for (const Case& c : cases) {
    const HelpPage page = HelpPageFor(c.argument, c.command, c.data);
    EXPECT_EQ(page.file, c.page) << c.argument;
    EXPECT_EQ(page.fragment, c.fragment) << c.argument;
  }
}

TEST_F(HelpPageTest, missingFileTopicOrStartPageIsFileNotFoundNamingIt) {
  std::filesystem::create_directory(folder / "empty");
  struct Case {
    std::string argument;
    std::string named;
  };
  const Case cases[] = {
      {Named("manual"), Named("manual")},
      {Named("help") + "::/coils.htm", "coils.htm"},
      {Named("empty"), "index.html"},
      {"  ", "help file name is empty"},
  };
  for (const Case& c : cases) {
    try {
      (void)HelpPageFor(c.argument, HelpCommand::kDisplayToc, {});
      ADD_FAILURE() << c.argument << ": no error";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), kFileNotFound);
      EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace vestra
