#include "app/ui/clock.h"

namespace vestra::ui {

QString LongTimeFormat(const QLocale& locale) {
  const QString format = locale.timeFormat(QLocale::LongFormat);
  QString out;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (!quoted && c == QLatin1Char('t')) continue;  // the zone
    out += c;
  }
  return out.simplified();
}

QString ClockText(const QDateTime& now, const QLocale& locale) {
  return locale.toString(now.date(), QLocale::LongFormat) + QStringLiteral("  ") +
         locale.toString(now.time(), LongTimeFormat(locale));
}

}  // namespace vestra::ui
