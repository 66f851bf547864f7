#include "app/ui/language_chooser.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>

#include "app/language.h"
#include "app/ui/pictures.h"

namespace vestra::ui {

QString WithoutMnemonic(const QString& caption) {
  QString out;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    const bool mark = caption[i] == QLatin1Char('&') && i + 1 < caption.size() &&
                      caption[i + 1] != QLatin1Char(' ');
    if (!mark) {
      out += caption[i];
    } else if (caption[i + 1] == QLatin1Char('&')) {
      out += QLatin1Char('&');  // "&&" is one ampersand
      ++i;
    }
  }
  return out;
}

LanguageChooser::LanguageChooser(const Settings& settings,
                                 std::function<void(std::int16_t)> onChosen, QWidget* parent)
    : QWidget(parent, Qt::Dialog) {
  setObjectName(QString::fromLatin1(kName));
  setProperty("vestraWindow", true);
  setAttribute(Qt::WA_DeleteOnClose);
  const LanguageChooserTexts texts = LanguageChooserCaptions(TextContext(settings.LangBase));
  setWindowTitle(WithoutMnemonic(QString::fromStdString(texts.caption)));

  auto* grid = new QGridLayout(this);
  grid->setSpacing(6);
  const QSize flagSize(72, 48);
  for (const Language& language : kLanguages) {
    const auto i = static_cast<std::size_t>(language.index);
    auto* flag = new QToolButton;
    flag->setObjectName(QStringLiteral("Image1(%1)").arg(language.index));
    flag->setIcon(FlagIcon(language.index));
    flag->setIconSize(flagSize);
    flag->setText(QString::fromStdString(texts.labels[i]));
    flag->setToolTip(flag->text());
    flag->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    flag->setAutoRaise(true);
    flag->setCheckable(true);
    flag->setChecked(language.index == settings.LangIndex);
    flag->setMinimumWidth(flagSize.width() + 3 * fontMetrics().averageCharWidth());
    flag->setCursor(Qt::PointingHandCursor);
    const std::int16_t index = language.index;
    connect(flag, &QToolButton::clicked, this, [this, index, onChosen] {
      flags_[static_cast<std::size_t>(index)]->setChecked(true);
      onChosen(index);
      close();
    });
    flags_[i] = flag;
    grid->addWidget(flag, language.index / 5, language.index % 5);
  }
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  CentreForm();
}

QToolButton* LanguageChooser::Flag(std::int16_t langIndex) const {
  if (langIndex < 0 || langIndex >= static_cast<std::int16_t>(flags_.size())) return nullptr;
  return flags_[static_cast<std::size_t>(langIndex)];
}

void LanguageChooser::CentreForm() {
  // Centred on the screen, raised by 800 twips.
  const QScreen* screen =
      parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const int raise = 800 * logicalDpiY() / 1440;
  const QSize size = sizeHint();
  move(area.left() + (area.width() - size.width()) / 2,
       std::max(area.top(), area.top() + (area.height() - size.height()) / 2 - raise));
}

}  // namespace vestra::ui
