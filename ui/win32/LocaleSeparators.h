#pragma once
// The characters the user's locale writes between the fields of a date and
// of a time, as the regional settings give them.

#include <windows.h>

#include "forms/FrontEnd.h"

namespace ui::win32 {

forms::ClockSeparators SeparatorsOf(LCID locale = LOCALE_USER_DEFAULT);

}  // namespace ui::win32
