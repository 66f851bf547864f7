#include "app/ui/open_document.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/shell.h"

namespace vestra::ui {

namespace {

bool IsAddress(const QString& path) {
  return path.contains(QStringLiteral("://")) ||
         path.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive);
}

}  // namespace

int OpenOnDesktop(const std::string& path, const Desktop& desktop) {
  const QString text = QString::fromStdString(path);
  QUrl url;
  if (IsAddress(text)) {
    url = QUrl(text);
  } else {
    const QFileInfo file(text);
    if (!file.exists())
      return file.absoluteDir().exists() ? kShellFileNotFound : kShellPathNotFound;
    if (!file.isReadable()) return kShellAccessDenied;
    url = QUrl::fromLocalFile(file.absoluteFilePath());
  }
  if (!url.isValid()) return kShellFileNotFound;
  return desktop.openUrl && desktop.openUrl(url) ? kShellOpened : kShellNoAssociation;
}

bool OpenDocumentOnDesktop(std::string_view name, std::string_view kind, const Settings& settings,
                           const Desktop& desktop, QWidget* parent) {
  return OpenDocument(
      name, kind, settings,
      [&desktop](const std::string& path) { return OpenOnDesktop(path, desktop); },
      [&desktop, parent](const std::string& message) {
        if (desktop.message)
          desktop.message(parent, QString::fromStdString(message), screens::Icon::kNone);
      });
}

}  // namespace vestra::ui
