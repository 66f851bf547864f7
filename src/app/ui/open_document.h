#pragma once

// OpenDocument on the desktop: hands a document of the documents folders, a web address
// or a "mailto:" address to the desktop's application for it, and tells the user when
// that fails.

#include <string>
#include <string_view>

#include "app/settings.h"
#include "screens/ui/desktop.h"

class QWidget;

namespace vestra::ui {

// What the desktop answers for a path, numbered as the failure messages are: a file that
// is missing (2) or whose folder is missing (3), a file that cannot be read (5), an
// address no application takes (31); above 32 when it was opened.
int OpenOnDesktop(const std::string& path, const Desktop& desktop);

// The whole routine (the rules are those of vestra::OpenDocument); false only for an
// empty name.
bool OpenDocumentOnDesktop(std::string_view name, std::string_view kind, const Settings& settings,
                           const Desktop& desktop, QWidget* parent);

}  // namespace vestra::ui
