#pragma once
// The progress bar: its back colour everywhere, the fill colour from the
// left over the width the forms give for its value and full scale.

#include <windows.h>

#include "forms/Control.h"

namespace ui::win32 {

void DrawDogBar(HDC dc, const RECT& rect, const forms::ProgressBar& bar);

}  // namespace ui::win32
