#pragma once

// The help wrapper cHtmlHelp: the program's one way of asking a help viewer for a topic,
// the contents, the index, a search, a pop-up text or a control's context help. The
// viewer and the running application sit behind two small interfaces, so that a test
// records what the viewer is asked and this desktop supplies its own viewer (app/ui).

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vestra {

// A window handle as the viewer takes it: 32 bits.
using WindowHandle = std::int32_t;

// The viewer's commands, with the numbers the HTML help viewer gives them.
enum class HelpCommand : std::int32_t {
  kDisplayTopic = 0,       // HH_DISPLAY_TOPIC
  kDisplayToc = 1,         // HH_DISPLAY_TOC
  kDisplayIndex = 2,       // HH_DISPLAY_INDEX
  kDisplaySearch = 3,      // HH_DISPLAY_SEARCH
  kDisplayTextPopup = 14,  // HH_DISPLAY_TEXT_POPUP
  kHelpContext = 15,       // HH_HELP_CONTEXT
  kTpHelpWmHelp = 17,      // HH_TP_HELP_WM_HELP
};

// The pop-up record (HH_POPUP, 52 bytes), its fields in the viewer's order.
struct HelpPopupRecord {
  std::int32_t structSize = 52;
  std::int32_t instance = 0;        // no module holds the text ...
  std::int32_t stringResource = 0;  // ... so no string resource either: the text is given
  std::string text;
  std::int32_t x = 0;  // screen pixels
  std::int32_t y = 0;
  std::int32_t textColour = -1;  // -1: the viewer's default, here and below
  std::int32_t backgroundColour = -1;
  std::int32_t marginLeft = -1;
  std::int32_t marginTop = -1;
  std::int32_t marginRight = -1;
  std::int32_t marginBottom = -1;
  std::string font = "Verdana,8";

  bool operator==(const HelpPopupRecord&) const = default;
};

// The full-text-search record (HH_FTS_QUERY, 32 bytes).
struct HelpSearchRecord {
  std::int32_t structSize = 32;
  std::int32_t unicodeTexts = 0;  // 0: the texts are 8-bit
  std::string searchQuery;        // empty: the viewer opens its search page unfilled
  std::int32_t proximity = 0;
  std::int32_t stemmedSearch = 0;
  std::int32_t titlesOnly = 0;
  std::int32_t execute = 1;
  std::string windowName;

  bool operator==(const HelpSearchRecord&) const = default;
};

// One pair of the control-help table: a control's dialog identifier and its help context
// number. The table ends with a pair of zeros.
struct ControlHelpPair {
  std::int32_t controlId = 0;
  std::int32_t helpContext = 0;

  bool operator==(const ControlHelpPair&) const = default;
};
using ControlHelpTable = std::array<ControlHelpPair, 2>;

// The data argument of one viewer call: none (0), a context number, a topic or key word,
// or one of the records.
using HelpData = std::variant<std::monostate, std::int32_t, std::string, HelpPopupRecord,
                              HelpSearchRecord, ControlHelpTable>;

// The help viewer: one call per operation. It returns the handle of the help window it
// showed, 0 when it showed nothing, and raises a RuntimeError when it cannot be used (no
// viewer, no help file). Texts come as UTF-8, the system's 8-bit code page here.
class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  virtual std::int32_t Call(WindowHandle owner, const std::string& file, HelpCommand command,
                            const HelpData& data) = 0;
};

// The application's active window, in twips (single precision, as windows measure).
struct WindowTwips {
  float left = 0;
  float top = 0;
  float height = 0;
};

// A control as the context help reads it. A value it lacks is one that cannot be read: a
// control without a window of its own has no dialog identifier, one without the property
// no help context number.
struct HelpControl {
  WindowHandle hWnd = 0;
  std::optional<std::int32_t> dialogId;
  std::optional<std::int32_t> HelpContextID;
};

// What the wrapper asks of the running application.
class HelpApplication {
 public:
  virtual ~HelpApplication() = default;
  // The active window; none when no window of the program is active.
  virtual std::optional<WindowTwips> ActiveWindow() const = 0;
  virtual float TwipsPerPixelX() const = 0;
  virtual float TwipsPerPixelY() const = 0;
  // The control with the focus; none when no control has it.
  virtual std::optional<HelpControl> ActiveControl() const = 0;
};

// Where a pop-up text appears, in pixels: 360 twips right of the active window's left
// edge and 240 twips below its middle. Each conversion takes the nearest integer, halves
// to even, and the divisions are integer divisions (towards zero). Overflow (6) beyond 32
// bits; division by zero (11) on a screen of less than half a twip per pixel.
std::int32_t PopUpX(const WindowTwips& window, float twipsPerPixelX);
std::int32_t PopUpY(const WindowTwips& window, float twipsPerPixelY);

class cHtmlHelp {
 public:
  cHtmlHelp(HelpViewer& viewer, HelpApplication& application);

  WindowHandle hWnd = 0;  // owner of the viewer, except for HelpContextPop
  std::string HelpFile;   // the help file, optionally followed by "::/" and a topic

  // Each operation calls the viewer once and returns its result. DisplayContext,
  // DisplayTopic, DisplaySearch, DisplayTOC and DisplayIndex pass a viewer failure on;
  // PopUp, HelpContextPop and HelpContext ignore every error and give 0 for a call that
  // failed or was skipped.
  std::int32_t DisplayContext(std::int32_t TopicNum);
  std::int32_t DisplayTopic(const std::string& TopicName);  // empty: the file's default topic
  std::int32_t PopUp(const std::string& Text);
  std::int32_t DisplaySearch();
  std::int32_t DisplayTOC();
  std::int32_t DisplayIndex(const std::string& sKeyWord);  // empty: the index unfilled
  // elControl null: the active control.
  std::int32_t HelpContextPop(const HelpControl* elControl = nullptr);
  // laVentana: the help window to show the topic in; empty: the file's default window.
  std::int32_t HelpContext(const HelpControl* elControl = nullptr,
                           const std::string& laVentana = "");

  // The bare file: HelpFile before its first "::/", without surrounding blanks; HelpFile
  // unchanged when it names no topic.
  std::string HelpFilePath() const;

  const ControlHelpTable& controlHelpTable() const { return controlHelpTable_; }

 private:
  std::optional<HelpControl> ControlOrActive(const HelpControl* elControl) const;

  HelpViewer& viewer_;
  HelpApplication& application_;
  // Kept between calls: a control whose values cannot be read leaves what was there.
  ControlHelpTable controlHelpTable_{};
};

// ---- the help pages of this desktop ----------------------------------------------------

// A page of a help file, as the desktop opens it.
struct HelpPage {
  std::filesystem::path file;
  std::string fragment;  // the part of a topic after "#", without it
};

// The page one viewer call asks for. The file argument loses its help window (from ">"
// on: only a compiled-help viewer has named windows) and is split at "::/" into the help
// file and its topic; DisplayTopic's topic name takes the place of that topic. A help
// folder (HTML pages) opens at its topic, or without one at its start page index.html or
// index.htm; a help file opens whole, as no desktop application opens a page inside a
// compiled help file. File not found (53), naming what is missing, when there is no
// such help file, topic or start page.
HelpPage HelpPageFor(std::string_view fileArgument, HelpCommand command, const HelpData& data);

}  // namespace vestra
