#pragma once

// The help viewer of this desktop and the running program as the help wrapper sees it.
// A help file's page is opened with the desktop's application for it (a web browser for
// an HTML help folder, whatever is associated with a compiled help file); a pop-up text
// is shown as a tool tip at the wrapper's position.

#include <optional>

#include "app/html_help.h"
#include "screens/ui/desktop.h"

namespace vestra::ui {

class DesktopHelpViewer : public HelpViewer {
 public:
  explicit DesktopHelpViewer(Desktop desktop);

  // 1 when the page was handed to the desktop or the pop-up shown (there is no help
  // window of our own to name), 0 for an empty pop-up text. File not found (53) when the
  // page does not exist or no application of the desktop opens it.
  std::int32_t Call(WindowHandle owner, const std::string& file, HelpCommand command,
                    const HelpData& data) override;

 private:
  Desktop desktop_;
};

// The active window and the focused control of the program. Qt widgets carry neither a
// dialog identifier nor a help context number: a window that wants context help for a
// control sets them as the control's properties "DialogId" and "HelpContextID".
class ProgramHelpApplication : public HelpApplication {
 public:
  std::optional<WindowTwips> ActiveWindow() const override;
  float TwipsPerPixelX() const override;
  float TwipsPerPixelY() const override;
  std::optional<HelpControl> ActiveControl() const override;
};

}  // namespace vestra::ui
