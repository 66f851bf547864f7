#pragma once

// The main window's clock: today in the locale's long date, two blanks, the time in the
// locale's long time.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace vestra::ui {

QString ClockText(const QDateTime& now, const QLocale& locale);

// The locale's long time format without its time zone, which the clock does not show.
QString LongTimeFormat(const QLocale& locale);

}  // namespace vestra::ui
