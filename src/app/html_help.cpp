#include "app/html_help.h"

#include <cstdint>
#include <exception>
#include <system_error>

#include "engine/errors.h"
#include "engine/numeric.h"

namespace vestra {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTopicMark = "::/";

// Blanks only, as the help file's name is written: a tab is part of the name.
std::string TrimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return std::string(s.substr(first, last - first + 1));
}

// The integer division of the position rule: towards zero, a zero divisor an error.
std::int32_t DivideTowardsZero(std::int32_t a, std::int32_t b) {
  if (b == 0) Raise(kDivisionByZero);
  if (a == INT32_MIN && b == -1) Raise(kOverflow);
  return a / b;
}

// The value of a call that swallows its errors: the viewer's answer, or 0.
template <typename Call>
std::int32_t ZeroOnError(Call call) {
  try {
    return call();
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace

std::int32_t PopUpX(const WindowTwips& window, float twipsPerPixelX) {
  const float twips = window.left + 360.0f;
  return DivideTowardsZero(CLng(twips), CLng(twipsPerPixelX));
}

std::int32_t PopUpY(const WindowTwips& window, float twipsPerPixelY) {
  const double twips =
      static_cast<double>(window.top) + DivideTowardsZero(CLng(window.height), 2) + 240.0;
  return DivideTowardsZero(CLng(twips), CLng(twipsPerPixelY));
}

cHtmlHelp::cHtmlHelp(HelpViewer& viewer, HelpApplication& application)
    : viewer_(viewer), application_(application) {}

std::string cHtmlHelp::HelpFilePath() const {
  const auto mark = HelpFile.find(kTopicMark);
  if (mark == std::string::npos) return HelpFile;
  return TrimBlanks(std::string_view(HelpFile).substr(0, mark));
}

std::int32_t cHtmlHelp::DisplayContext(std::int32_t TopicNum) {
  return viewer_.Call(hWnd, HelpFilePath(), HelpCommand::kHelpContext, TopicNum);
}

std::int32_t cHtmlHelp::DisplayTopic(const std::string& TopicName) {
  const HelpData data = TopicName.empty() ? HelpData{} : HelpData{TopicName};
  return viewer_.Call(hWnd, HelpFilePath(), HelpCommand::kDisplayTopic, data);
}

std::int32_t cHtmlHelp::PopUp(const std::string& Text) {
  HelpPopupRecord record;
  record.text = Text;
  // A coordinate that cannot be worked out (no active window, a screen of under half a
  // twip per pixel) stays 0: the text is still shown, at the screen's edge.
  std::optional<WindowTwips> window;
  try {
    window = application_.ActiveWindow();
  } catch (const std::exception&) {
    // No window to place it by: ignored, as every error of a pop-up.
  }
  if (window) {
    record.x = ZeroOnError([&] { return PopUpX(*window, application_.TwipsPerPixelX()); });
    record.y = ZeroOnError([&] { return PopUpY(*window, application_.TwipsPerPixelY()); });
  }
  return ZeroOnError(
      [&] { return viewer_.Call(hWnd, HelpFile, HelpCommand::kDisplayTextPopup, record); });
}

std::int32_t cHtmlHelp::DisplaySearch() {
  return viewer_.Call(hWnd, HelpFilePath(), HelpCommand::kDisplaySearch, HelpSearchRecord{});
}

std::int32_t cHtmlHelp::DisplayTOC() {
  return viewer_.Call(hWnd, HelpFilePath(), HelpCommand::kDisplayToc, HelpData{});
}

std::int32_t cHtmlHelp::DisplayIndex(const std::string& sKeyWord) {
  const HelpData data = sKeyWord.empty() ? HelpData{} : HelpData{sKeyWord};
  return viewer_.Call(hWnd, HelpFilePath(), HelpCommand::kDisplayIndex, data);
}

std::optional<HelpControl> cHtmlHelp::ControlOrActive(const HelpControl* elControl) const {
  if (elControl != nullptr) return *elControl;
  try {
    return application_.ActiveControl();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::int32_t cHtmlHelp::HelpContextPop(const HelpControl* elControl) {
  const std::optional<HelpControl> control = ControlOrActive(elControl);
  if (!control) return 0;
  // Each value is written as it is read; one that cannot be read leaves the pair as it
  // was, and the viewer is not asked.
  bool readBoth = true;
  if (control->dialogId) {
    controlHelpTable_[0].controlId = *control->dialogId;
  } else {
    readBoth = false;
  }
  if (control->HelpContextID) {
    controlHelpTable_[0].helpContext = *control->HelpContextID;
  } else {
    readBoth = false;
  }
  controlHelpTable_[1] = ControlHelpPair{0, 0};
  if (!readBoth) return 0;
  return ZeroOnError([&] {
    return viewer_.Call(control->hWnd, HelpFile, HelpCommand::kTpHelpWmHelp, controlHelpTable_);
  });
}

std::int32_t cHtmlHelp::HelpContext(const HelpControl* elControl, const std::string& laVentana) {
  const std::optional<HelpControl> control = ControlOrActive(elControl);
  if (!control || !control->HelpContextID) return 0;
  std::string file = HelpFilePath();
  if (!laVentana.empty()) file += " >" + laVentana;
  const std::int32_t context = *control->HelpContextID;
  return ZeroOnError([&] { return viewer_.Call(hWnd, file, HelpCommand::kHelpContext, context); });
}

// ---- the help pages of this desktop ----------------------------------------------------

HelpPage HelpPageFor(std::string_view fileArgument, HelpCommand command, const HelpData& data) {
  std::string_view argument = fileArgument;
  if (const auto window = argument.find('>'); window != std::string_view::npos)
    argument = argument.substr(0, window);

  std::string file;
  std::string topic;
  if (const auto mark = argument.find(kTopicMark); mark != std::string_view::npos) {
    file = TrimBlanks(argument.substr(0, mark));
    topic = std::string(argument.substr(mark + kTopicMark.size()));
  } else {
    file = TrimBlanks(argument);
  }
  if (command == HelpCommand::kDisplayTopic)
    if (const auto* name = std::get_if<std::string>(&data)) topic = *name;

  if (file.empty())
    throw RuntimeError(kFileNotFound, "No help file is named (the help file name is empty)");

  std::error_code ec;
  const fs::path helpFile(file);
  const fs::file_status status = fs::status(helpFile, ec);
  if (!fs::exists(status)) throw RuntimeError(kFileNotFound, "Help file not found: " + file);
  if (!fs::is_directory(status)) return HelpPage{helpFile, {}};

  HelpPage page;
  if (const auto hash = topic.find('#'); hash != std::string::npos) {
    page.fragment = topic.substr(hash + 1);
    topic.erase(hash);
  }
  while (!topic.empty() && topic.front() == '/') topic.erase(0, 1);
  if (!topic.empty()) {
    page.file = helpFile / topic;
    if (!fs::is_regular_file(page.file, ec))
      throw RuntimeError(kFileNotFound,
                         "Help topic not found: " + topic + " in the help folder " + file);
    return page;
  }
  for (const char* start : {"index.html", "index.htm"}) {
    page.file = helpFile / start;
    if (fs::is_regular_file(page.file, ec)) return page;
  }
  throw RuntimeError(kFileNotFound,
                     "The help folder " + file + " has no start page (index.html or index.htm)");
}

}  // namespace vestra
