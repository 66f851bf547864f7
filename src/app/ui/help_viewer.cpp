#include "app/ui/help_viewer.h"

#include <QApplication>
#include <QScreen>
#include <QToolTip>
#include <QVariant>
#include <QWidget>

#include "engine/errors.h"

namespace vestra::ui {
namespace {

constexpr float kTwipsPerInch = 1440.0f;

// The pop-up's font record, "Family,points", as a style for the tool tip's text.
QString StyledText(const HelpPopupRecord& record) {
  const QString font = QString::fromStdString(record.font);
  const QString family = font.section(QLatin1Char(','), 0, 0).trimmed();
  bool sized = false;
  const int points = font.section(QLatin1Char(','), 1, 1).trimmed().toInt(&sized);
  QString style = QStringLiteral("font-family:'%1';").arg(family.toHtmlEscaped());
  if (sized && points > 0) style += QStringLiteral(" font-size:%1pt;").arg(points);
  return QStringLiteral("<span style=\"%1\">%2</span>")
      .arg(style, QString::fromStdString(record.text).toHtmlEscaped());
}

std::int32_t ShowPopUp(const HelpData& data) {
  const auto* record = std::get_if<HelpPopupRecord>(&data);
  if (record == nullptr)
    throw RuntimeError(kInvalidArgument, "A help pop-up was asked for without its text record");
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
    throw RuntimeError(kFileNotFound, "No help viewer: a pop-up text needs the program's windows");
  if (record->text.empty()) return 0;
  QToolTip::showText(QPoint(record->x, record->y), StyledText(*record));
  return 1;
}

float TwipsPerPixel(bool horizontal) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 0.0f;  // no screen: the pop-up's position cannot be worked out
  const qreal dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
  return dpi > 0 ? kTwipsPerInch / static_cast<float>(dpi) : 0.0f;
}

std::optional<std::int32_t> IntegerProperty(const QWidget& widget, const char* name) {
  const QVariant value = widget.property(name);
  bool ok = false;
  const int number = value.toInt(&ok);
  if (!value.isValid() || !ok) return std::nullopt;
  return number;
}

}  // namespace

DesktopHelpViewer::DesktopHelpViewer(Desktop desktop) : desktop_(std::move(desktop)) {}

// The owner window is not used: the desktop's application places its own window.
std::int32_t DesktopHelpViewer::Call(WindowHandle, const std::string& file, HelpCommand command,
                                     const HelpData& data) {
  if (command == HelpCommand::kDisplayTextPopup) return ShowPopUp(data);
  const HelpPage page = HelpPageFor(file, command, data);
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(page.file.string()));
  if (!page.fragment.empty()) url.setFragment(QString::fromStdString(page.fragment));
  if (!desktop_.openUrl || !desktop_.openUrl(url))
    throw RuntimeError(kFileNotFound,
                       "No help viewer: no application of the desktop opens " + page.file.string());
  return 1;
}

std::optional<WindowTwips> ProgramHelpApplication::ActiveWindow() const {
  const QWidget* window = QApplication::activeWindow();
  if (window == nullptr) return std::nullopt;
  // A window's left, top and height take in its frame, as the window is placed.
  const QRect frame = window->frameGeometry();
  const float x = TwipsPerPixelX();
  const float y = TwipsPerPixelY();
  return WindowTwips{static_cast<float>(frame.x()) * x, static_cast<float>(frame.y()) * y,
                     static_cast<float>(frame.height()) * y};
}

float ProgramHelpApplication::TwipsPerPixelX() const {
  return TwipsPerPixel(true);
}

float ProgramHelpApplication::TwipsPerPixelY() const {
  return TwipsPerPixel(false);
}

std::optional<HelpControl> ProgramHelpApplication::ActiveControl() const {
  const QWidget* widget = QApplication::focusWidget();
  if (widget == nullptr) return std::nullopt;
  HelpControl control;
  // The native window the control is drawn in, cut to the 32 bits the viewer takes.
  control.hWnd = static_cast<WindowHandle>(widget->effectiveWinId());
  control.dialogId = IntegerProperty(*widget, "DialogId");
  control.HelpContextID = IntegerProperty(*widget, "HelpContextID");
  return control;
}

}  // namespace vestra::ui
