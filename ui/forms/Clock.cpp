#include "ui/forms/Clock.h"

namespace ui {

namespace {

// The characters between the first and the second field of a Qt date or time
// format ("M/d/yy" gives "/", "H.mm" gives "."), blanks trimmed; `fallback`
// when the format has no such characters.
QString FirstSeparator(const QString& format, const QString& fallback) {
    int i = 0;
    while (i < format.size() && !format[i].isLetter()) ++i;  // leading text
    while (i < format.size() && format[i].isLetter()) ++i;   // the first field
    QString separator;
    while (i < format.size() && !format[i].isLetter()) {
        if (format[i] != QLatin1Char('\'')) separator += format[i];
        ++i;
    }
    separator = separator.trimmed();
    if (separator.isEmpty() || i >= format.size()) return fallback;
    return separator;
}

QString TwoDigits(int value) {
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

}  // namespace

ClockSeparators SeparatorsOf(const QLocale& locale) {
    ClockSeparators separators;
    separators.date = FirstSeparator(locale.dateFormat(QLocale::ShortFormat), separators.date);
    separators.time = FirstSeparator(locale.timeFormat(QLocale::ShortFormat), separators.time);
    return separators;
}

QString FormatClockTime(const std::tm& time, const ClockSeparators& separators) {
    const int hour = ((time.tm_hour % 12) + 12) % 12;
    QString text = QString::number(hour == 0 ? 12 : hour);
    text += separators.time;
    text += TwoDigits(time.tm_min);
    text += separators.time;
    text += TwoDigits(time.tm_sec);
    text += time.tm_hour < 12 ? QStringLiteral(" am") : QStringLiteral(" pm");
    return text;
}

QString FormatClockDate(const std::tm& time, const ClockSeparators& separators) {
    QString text = TwoDigits(time.tm_mon + 1);
    text += separators.date;
    text += TwoDigits(time.tm_mday);
    text += separators.date;
    text += TwoDigits(((time.tm_year % 100) + 100) % 100);
    return text;
}

}  // namespace ui
