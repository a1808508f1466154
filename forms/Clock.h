#pragma once
// The clock display's texts: the time as "h:mm:ss am/pm" and the date as
// "mm/dd/yy", where "/" and ":" stand for the locale's date and time
// separators.

#include <ctime>
#include <string>

#include "forms/FrontEnd.h"

namespace forms {

// "3:07:09 pm": the hour on the 12-hour clock without a leading zero, minutes
// and seconds with two digits, a blank, "am" or "pm".
std::string FormatClockTime(const std::tm& time, const ClockSeparators& separators);

// "01/15/03": month, day and year with two digits each.
std::string FormatClockDate(const std::tm& time, const ClockSeparators& separators);

}  // namespace forms
