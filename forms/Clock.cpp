#include "forms/Clock.h"

namespace forms {

namespace {

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    if (text.size() < 2) text.insert(0, 2 - text.size(), '0');
    return text;
}

}  // namespace

std::string FormatClockTime(const std::tm& time, const ClockSeparators& separators) {
    const int hour = ((time.tm_hour % 12) + 12) % 12;
    std::string text = std::to_string(hour == 0 ? 12 : hour);
    text += separators.time;
    text += TwoDigits(time.tm_min);
    text += separators.time;
    text += TwoDigits(time.tm_sec);
    text += time.tm_hour < 12 ? " am" : " pm";
    return text;
}

std::string FormatClockDate(const std::tm& time, const ClockSeparators& separators) {
    std::string text = TwoDigits(time.tm_mon + 1);
    text += separators.date;
    text += TwoDigits(time.tm_mday);
    text += separators.date;
    text += TwoDigits(((time.tm_year % 100) + 100) % 100);
    return text;
}

}  // namespace forms
