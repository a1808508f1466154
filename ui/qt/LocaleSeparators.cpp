#include "ui/qt/LocaleSeparators.h"

#include <QString>

namespace ui {

namespace {

// The characters between the first and the second field of a Qt date or time
// format ("M/d/yy" gives "/", "H.mm" gives "."), blanks trimmed; `fallback`
// when the format has no such characters.
std::string FirstSeparator(const QString& format, const std::string& fallback) {
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
    return separator.toStdString();
}

}  // namespace

forms::ClockSeparators SeparatorsOf(const QLocale& locale) {
    forms::ClockSeparators separators;
    separators.date = FirstSeparator(locale.dateFormat(QLocale::ShortFormat), separators.date);
    separators.time = FirstSeparator(locale.timeFormat(QLocale::ShortFormat), separators.time);
    return separators;
}

}  // namespace ui
