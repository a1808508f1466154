#include "ui/win32/Surface.h"

#include "forms/Gradient.h"
#include "ui/win32/Colors.h"

namespace ui::win32 {

namespace {

void PaintLines(HDC dc, const forms::Control& picture) {
    if (picture.lines.empty()) return;
    const COLORREF color = ColorOf(picture.lineColor);
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(dc, pen);
    for (const forms::Line& line : picture.lines) {
        const int x2 = forms::Pixels(line.x2);
        const int y2 = forms::Pixels(line.y2);
        MoveToEx(dc, forms::Pixels(line.x1), forms::Pixels(line.y1), nullptr);
        LineTo(dc, x2, y2);
        // GDI leaves a line's last point out; the layout's lines have both ends.
        SetPixelV(dc, x2, y2, color);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

}  // namespace

void PaintGradient(HDC dc, int width, int height) {
    if (width <= 0) return;
    for (const forms::GradientBand& band : forms::GradientBands(height)) {
        HBRUSH brush = CreateSolidBrush(RGB(band.grey, band.grey, band.grey));
        const RECT rect{0, band.top, width, band.bottom};
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
}

SurfaceImage::~SurfaceImage() {
    if (bitmap_) DeleteObject(bitmap_);
}

void SurfaceImage::Render(const forms::Control& picture, int width, int height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    if (width_ == 0 || height_ == 0) return;

    HDC screen = GetDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(screen, width_, height_);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!bitmap_ || !dc) {
        if (dc) DeleteDC(dc);
        return;
    }
    HGDIOBJ old = SelectObject(dc, bitmap_);
    if (picture.gradient) {
        PaintGradient(dc, width_, height_);
    } else {
        const RECT all{0, 0, width_, height_};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    }
    PaintLines(dc, picture);
    SelectObject(dc, old);
    DeleteDC(dc);
}

void SurfaceImage::CopyTo(HDC dc, POINT to, POINT from, int width, int height) const {
    const RECT all{to.x, to.y, to.x + width, to.y + height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    if (!bitmap_) return;
    HDC source = CreateCompatibleDC(dc);
    if (!source) return;
    HGDIOBJ old = SelectObject(source, bitmap_);
    // Only the part that lies on the image.
    const LONG left = from.x < 0 ? 0 : from.x;
    const LONG top = from.y < 0 ? 0 : from.y;
    const LONG right = from.x + width > width_ ? width_ : from.x + width;
    const LONG bottom = from.y + height > height_ ? height_ : from.y + height;
    if (right > left && bottom > top) {
        BitBlt(dc, to.x + (left - from.x), to.y + (top - from.y), right - left, bottom - top,
               source, left, top, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

}  // namespace ui::win32
