#pragma once
// The date and time separators of the user's locale, as Qt knows them, for
// the clock display of the main window.

#include <QLocale>

#include "forms/FrontEnd.h"

namespace ui {

// The separators the locale writes between the fields of its short date and
// time formats; "/" and ":" where it has none.
forms::ClockSeparators SeparatorsOf(const QLocale& locale);

}  // namespace ui
