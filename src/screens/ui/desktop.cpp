#include "screens/ui/desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>

namespace vestra::ui {

void ShowMessageBox(QWidget* parent, const QString& text, screens::Icon icon) {
  QMessageBox box(parent);
  box.setWindowTitle(QStringLiteral("Vestra"));
  box.setText(text);
  box.setStandardButtons(QMessageBox::Ok);
  switch (icon) {
    case screens::Icon::kError:
      box.setIcon(QMessageBox::Critical);
      break;
    case screens::Icon::kWarning:
      box.setIcon(QMessageBox::Warning);
      break;
    case screens::Icon::kNone:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  QApplication::restoreOverrideCursor();
}

Desktop SystemDesktop() {
  Desktop d;
  d.message = ShowMessageBox;
  d.openUrl = [](const QUrl& address) { return QDesktopServices::openUrl(address); };
  d.now = [] { return QDateTime::currentDateTime(); };
  return d;
}

}  // namespace vestra::ui
