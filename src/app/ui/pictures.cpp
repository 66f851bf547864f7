#include "app/ui/pictures.h"

#include <QString>

#include "app/language.h"

namespace vestra::ui {

namespace {

QIcon FromResource(const QString& path) {
  // QIcon adds the "@2x" file of a high-density screen by itself.
  return QIcon(QStringLiteral(":/pictures/") + path + QStringLiteral(".png"));
}

}  // namespace

QIcon ToolbarIcon(std::string_view name) {
  return FromResource(QStringLiteral("toolbar/") +
                      QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
}

QIcon FlagIcon(std::int16_t langIndex) {
  for (const Language& language : kLanguages)
    if (language.index == langIndex)
      return FromResource(
          QStringLiteral("flags/%1-%2")
              .arg(langIndex, 2, 10, QLatin1Char('0'))
              .arg(QString::fromLatin1(language.code.data(),
                                       static_cast<qsizetype>(language.code.size()))));
  return {};
}

QIcon LogoIcon() {
  return FromResource(QStringLiteral("logo"));
}

QIcon ProgramIcon() {
  QIcon icon = FromResource(QStringLiteral("vestra"));
  icon.addFile(QStringLiteral(":/pictures/vestra-256.png"));
  return icon;
}

}  // namespace vestra::ui
