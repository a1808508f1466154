#include "ui/win32/Symbols.h"

#include <algorithm>
#include <vector>

namespace ui::win32 {

namespace {

enum class Symbol { None, Play, Stop, Pause, Back, Next, Resume };

Symbol SymbolOf(char c) {
    switch (c) {
        case '4':
            return Symbol::Play;
        case '=':
            return Symbol::Stop;
        case ';':
            return Symbol::Pause;
        case '7':
            return Symbol::Back;
        case '8':
            return Symbol::Next;
        case 'q':
            return Symbol::Resume;
        default:
            return Symbol::None;
    }
}

// Each symbol stands in a box `size` pixels high; these are the widths.
int PauseBar(int size) {
    return std::max(1, (size - 1) / 3);
}
int SkipTriangle(int size) {
    return std::max(1, (size - 1) / 2);
}
int WidthOf(Symbol symbol, int size) {
    switch (symbol) {
        case Symbol::Play:
            return (size + 1) / 2 + 1;
        case Symbol::Stop:
            return size - 1;
        case Symbol::Pause:
            return 3 * PauseBar(size);
        case Symbol::Back:
        case Symbol::Next:
            return 1 + 2 * SkipTriangle(size);
        case Symbol::Resume:
            return size;
        case Symbol::None:
            break;
    }
    return 0;
}

void Fill(HDC dc, int left, int top, int width, int height, HBRUSH brush) {
    const RECT rect{left, top, left + width, top + height};
    FillRect(dc, &rect, brush);
}

// A triangle with its flat side upright at `baseX` and its tip at `tipX`,
// `size` pixels high: pointing right when the tip is right of the base.
void Triangle(HDC dc, int baseX, int tipX, int top, int size) {
    const POINT corners[] = {{baseX, top}, {tipX, top + (size - 1) / 2}, {baseX, top + size - 1}};
    Polygon(dc, corners, 3);
}

void Draw(HDC dc, Symbol symbol, int x, int top, int size, HBRUSH brush) {
    const int width = WidthOf(symbol, size);
    switch (symbol) {
        case Symbol::Play:
            Triangle(dc, x, x + width - 1, top, size);
            break;
        case Symbol::Stop:
            Fill(dc, x, top, width, width, brush);
            break;
        case Symbol::Pause: {
            const int bar = PauseBar(size);
            Fill(dc, x, top, bar, size, brush);
            Fill(dc, x + 2 * bar, top, bar, size, brush);
            break;
        }
        case Symbol::Back: {
            // A bar, then two triangles pointing back to it.
            const int t = SkipTriangle(size);
            Fill(dc, x, top, 1, size, brush);
            Triangle(dc, x + t, x + 1, top, size);
            Triangle(dc, x + 2 * t, x + 1 + t, top, size);
            break;
        }
        case Symbol::Next: {
            const int t = SkipTriangle(size);
            const int right = x + width - 1;
            Triangle(dc, x, x + t - 1, top, size);
            Triangle(dc, x + t, x + 2 * t - 1, top, size);
            Fill(dc, right, top, 1, size, brush);
            break;
        }
        case Symbol::Resume: {
            // A ring open at the upper right, its arrow at the top heading
            // round to the right.
            const int left = x;
            const int ringTop = top + 2;
            const int right = x + size;
            const int bottom = ringTop + size - 1;
            const int middleX = (left + right) / 2;
            const int middleY = (ringTop + bottom) / 2;
            Arc(dc, left, ringTop, right, bottom, middleX, ringTop, right,
                middleY - (bottom - ringTop) / 4);
            const POINT arrow[] = {
                {middleX, ringTop - 2}, {middleX + 2, ringTop}, {middleX, ringTop + 2}};
            Polygon(dc, arrow, 3);
            break;
        }
        case Symbol::None:
            break;
    }
}

}  // namespace

bool FaceDrawsAll(HDC dc, const std::string& face, const std::string& ansiText) {
    char chosen[LF_FACESIZE] = {};
    if (!GetTextFaceA(dc, LF_FACESIZE, chosen) || lstrcmpiA(chosen, face.c_str()) != 0) {
        return false;
    }
    if (ansiText.empty()) return true;
    std::vector<WORD> glyphs(ansiText.size());
    const DWORD done = GetGlyphIndicesA(dc, ansiText.data(), static_cast<int>(ansiText.size()),
                                        glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    if (done == GDI_ERROR || done != ansiText.size()) return false;
    return std::none_of(glyphs.begin(), glyphs.end(), [](WORD g) { return g == 0xFFFF; });
}

bool KnowsSymbols(const std::string& ansiText) {
    return !ansiText.empty() && std::all_of(ansiText.begin(), ansiText.end(),
                                            [](char c) { return SymbolOf(c) != Symbol::None; });
}

int SymbolSize(int em) {
    // The glyphs of the face fill about two thirds of its character height.
    return std::max(3, (2 * em + 1) / 3);
}

void DrawSymbols(HDC dc, const RECT& rect, const std::string& ansiText, int em, UINT alignment,
                 COLORREF color) {
    const int size = SymbolSize(em);
    constexpr int kGap = 1;
    int total = 0;
    for (char c : ansiText) total += WidthOf(SymbolOf(c), size) + kGap;
    total = std::max(0, total - kGap);
    int x = rect.left;
    if (alignment & DT_CENTER) {
        x = rect.left + (rect.right - rect.left - total) / 2;
    } else if (alignment & DT_RIGHT) {
        x = rect.right - total;
    }
    // Where the face's glyphs stand in a line of its text.
    const int top = rect.top + (em - size + 1) / 2 + 1;

    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HBRUSH brush = CreateSolidBrush(color);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    for (char c : ansiText) {
        const Symbol symbol = SymbolOf(c);
        Draw(dc, symbol, x, top, size, brush);
        x += WidthOf(symbol, size) + kGap;
    }
    RestoreDC(dc, saved);
    DeleteObject(pen);
    DeleteObject(brush);
}

}  // namespace ui::win32
