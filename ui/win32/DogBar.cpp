#include "ui/win32/DogBar.h"

#include "ui/win32/Colors.h"

namespace ui::win32 {

void DrawDogBar(HDC dc, const RECT& rect, const forms::ProgressBar& bar) {
    const int width = rect.right - rect.left;
    const int fill = bar.FillWidth(width);
    if (fill < width) {
        HBRUSH back = CreateSolidBrush(RgbOf(bar.backcolor));
        const RECT rest{rect.left + fill, rect.top, rect.right, rect.bottom};
        FillRect(dc, &rest, back);
        DeleteObject(back);
    }
    if (fill > 0) {
        HBRUSH front = CreateSolidBrush(RgbOf(bar.barcolor1));
        const RECT filled{rect.left, rect.top, rect.left + fill, rect.bottom};
        FillRect(dc, &filled, front);
        DeleteObject(front);
    }
}

}  // namespace ui::win32
