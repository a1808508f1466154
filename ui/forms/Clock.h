#pragma once
// The clock display's texts: the time as "h:mm:ss am/pm" and the date as
// "mm/dd/yy", where "/" and ":" stand for the locale's date and time
// separators.

#include <QLocale>
#include <QString>
#include <ctime>

namespace ui {

struct ClockSeparators {
    QString date = QStringLiteral("/");
    QString time = QStringLiteral(":");
};

// The separators the locale writes between the fields of its short date and
// time formats; "/" and ":" where it has none.
ClockSeparators SeparatorsOf(const QLocale& locale);

// "3:07:09 pm": the hour on the 12-hour clock without a leading zero, minutes
// and seconds with two digits, a blank, "am" or "pm".
QString FormatClockTime(const std::tm& time, const ClockSeparators& separators);

// "01/15/03": month, day and year with two digits each.
QString FormatClockDate(const std::tm& time, const ClockSeparators& separators);

}  // namespace ui
