#pragma once
// The help lists and the file list as LISTBOX controls: their lines (UTF-8,
// shown in the ANSI code page, tabs at the list box's own stops) and the
// selection.

#include <windows.h>

#include <string>
#include <vector>

namespace ui::win32 {

// The window style of a list: tab stops, a scroll bar when the lines do not
// fit, and the height the layout gives (not rounded to whole lines).
// `notify` asks for LBN_SELCHANGE when the user selects a line.
DWORD ListBoxStyle(bool notify);

void ShowListItems(HWND list, const std::vector<std::string>& items);
// -1 selects nothing.
void ShowListIndex(HWND list, int index);
// The selected line, or -1.
int ListIndexOf(HWND list);

}  // namespace ui::win32
