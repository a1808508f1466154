#include "ui/win32/Label.h"

#include "ui/win32/Colors.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/Symbols.h"

namespace ui::win32 {

namespace {

UINT AlignmentOf(forms::Alignment alignment) {
    switch (alignment) {
        case forms::Alignment::Right:
            return DT_RIGHT;
        case forms::Alignment::Center:
            return DT_CENTER;
        case forms::Alignment::Left:
            break;
    }
    return DT_LEFT;
}

}  // namespace

void DrawLabelText(HDC dc, const RECT& rect, const forms::Control& label,
                   const std::string& ansiCaption, HFONT font) {
    if (ansiCaption.empty()) return;
    HGDIOBJ oldFont = SelectObject(dc, font);
    if (label.font.face == kSymbolFace && KnowsSymbols(ansiCaption) &&
        !FaceDrawsAll(dc, kSymbolFace, ansiCaption)) {
        SelectObject(dc, oldFont);
        DrawSymbols(dc, rect, ansiCaption, -FontHeight(label.font.points),
                    AlignmentOf(label.alignment), ColorOf(label.foreColor));
        return;
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, ColorOf(label.foreColor));
    RECT text = rect;
    // A caption is the characters it holds: "&" is no mnemonic.
    DrawTextA(dc, ansiCaption.data(), static_cast<int>(ansiCaption.size()), &text,
              AlignmentOf(label.alignment) | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void DrawLabel(HDC dc, const RECT& rect, const forms::Control& label,
               const std::string& ansiCaption, HFONT font, const PaintGround& ground) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP image = buffer ? CreateCompatibleBitmap(dc, width, height) : nullptr;
    if (!image) {
        if (buffer) DeleteDC(buffer);
        return;
    }
    HGDIOBJ oldImage = SelectObject(buffer, image);
    ground(buffer, width, height);
    DrawLabelText(buffer, RECT{0, 0, width, height}, label, ansiCaption, font);
    BitBlt(dc, rect.left, rect.top, width, height, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, oldImage);
    DeleteObject(image);
    DeleteDC(buffer);
}

}  // namespace ui::win32
