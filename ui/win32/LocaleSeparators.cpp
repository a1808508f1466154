#include "ui/win32/LocaleSeparators.h"

#include <string>

#include "platform/AnsiText.h"

namespace ui::win32 {

namespace {

// `fallback` when the locale has no such setting or an empty one.
std::string Setting(LCID locale, LCTYPE type, const std::string& fallback) {
    char buffer[16] = {};
    const int length = GetLocaleInfoA(locale, type, buffer, static_cast<int>(sizeof buffer));
    if (length <= 1) return fallback;
    return platform::FromAnsi(std::string(buffer, static_cast<std::size_t>(length - 1)));
}

}  // namespace

forms::ClockSeparators SeparatorsOf(LCID locale) {
    forms::ClockSeparators separators;
    separators.date = Setting(locale, LOCALE_SDATE, separators.date);
    separators.time = Setting(locale, LOCALE_STIME, separators.time);
    return separators;
}

}  // namespace ui::win32
