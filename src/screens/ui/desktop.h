#pragma once

// What the windows ask of the desktop: a message box, opening an address with the
// desktop's application for it, and the clock. The program passes the real ones; a test
// passes recording fakes, so that no modal box stops it and the clock ticks when it says.

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <functional>

#include "screens/controls.h"

class QWidget;

namespace vestra::ui {

struct Desktop {
  // A message with one OK button, titled "Vestra", with the given icon.
  std::function<void(QWidget* parent, const QString& text, screens::Icon icon)> message;
  // True when the desktop found an application for the address.
  std::function<bool(const QUrl& address)> openUrl;
  std::function<QDateTime()> now;
};

// The message boxes, QDesktopServices and the system clock.
Desktop SystemDesktop();

// The message box of the program: title "Vestra", one OK button, the icon asked for (the
// normal pointer over it even while a calculation shows the busy one).
void ShowMessageBox(QWidget* parent, const QString& text, screens::Icon icon);

}  // namespace vestra::ui
