// The transport symbols drawn where the symbol face is missing (Wine has no
// Webdings): which captions get them, each symbol's shape and place, and the
// main window's buttons showing them rather than plain characters.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// World.h first: windows.h must come after the project's headers.
#include "tests/win32ui/World.h"
// After it.
#include "tests/win32ui/Capture.h"
#include "ui/win32/Symbols.h"

using ui::win32::DrawSymbols;
using ui::win32::FaceDrawsAll;
using ui::win32::KnowsSymbols;
using win32uitest::Capture;
using win32uitest::PlaceInTopLevel;
using win32uitest::World;

namespace {

constexpr int kEm = 11;  // Tahoma's and Webdings' 8.25 points
constexpr int kWidth = 24;
constexpr int kHeight = 17;

// The symbols of `caption` drawn into a white `kWidth` x `kHeight` image
// through `rect`, as dark or not, top row first.
struct Drawn {
    std::vector<bool> dark;
    bool At(int x, int y) const { return dark[static_cast<std::size_t>(y * kWidth + x)]; }
    int InColumn(int x) const {
        int n = 0;
        for (int y = 0; y < kHeight; ++y) n += At(x, y) ? 1 : 0;
        return n;
    }
    int Count() const {
        int n = 0;
        for (bool d : dark) n += d ? 1 : 0;
        return n;
    }
    RECT Bounds() const {
        RECT box{kWidth, kHeight, -1, -1};
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (!At(x, y)) continue;
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
        return box;
    }
};

Drawn Draw(const std::string& caption, UINT alignment = DT_LEFT,
           RECT rect = RECT{0, 0, kWidth, kHeight}) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawSymbols(dc, rect, caption, kEm, alignment, RGB(0, 0, 0));
    GdiFlush();
    Drawn drawn;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < kWidth * kHeight; ++i) drawn.dark.push_back((pixels[i] & 0xFFFFFF) == 0);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return drawn;
}

HFONT MakeFont(const char* face) {
    return CreateFontA(-kEm, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

// Whether the system draws the main window's glyph buttons in the face
// itself (Windows), or the program draws its symbols (Wine).
bool SystemHasTheSymbolFace() {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = MakeFont(ui::win32::kSymbolFace);
    HGDIOBJ old = SelectObject(dc, font);
    const bool has = FaceDrawsAll(dc, ui::win32::kSymbolFace, "4=;78q");
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return has;
}

}  // namespace

TEST(Symbols, OnlyTheFaceItselfCountsAsDrawingACaption) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT missing = MakeFont("No Such Face Anywhere");
    HGDIOBJ old = SelectObject(dc, missing);
    char chosen[LF_FACESIZE] = {};
    ASSERT_TRUE(GetTextFaceA(dc, LF_FACESIZE, chosen));
    ASSERT_STRNE(chosen, "No Such Face Anywhere") << "the mapper picked a stand-in";
    EXPECT_FALSE(FaceDrawsAll(dc, "No Such Face Anywhere", "abc"))
        << "the stand-in has the letters, but it is not the face";

    HFONT real = MakeFont(chosen);
    SelectObject(dc, real);
    EXPECT_TRUE(FaceDrawsAll(dc, chosen, "abc"));
    EXPECT_TRUE(FaceDrawsAll(dc, chosen, ""));
    SelectObject(dc, old);
    DeleteObject(real);
    DeleteObject(missing);
    DeleteDC(dc);
}

TEST(Symbols, OnlyTheButtonsCaptionsAreSymbols) {
    for (const char* caption : {"4", "=", ";", "7", "8", "q", "4=;78q"}) {
        EXPECT_TRUE(KnowsSymbols(caption)) << caption;
    }
    for (const char* caption : {"", "a", "4a", " ", "<"})
        EXPECT_FALSE(KnowsSymbols(caption)) << caption;
}

TEST(Symbols, EachSymbolHasItsShape) {
    const int size = ui::win32::SymbolSize(kEm);
    ASSERT_EQ(size, 7);
    const int top = 3;  // where an 11-pixel face's glyphs stand under a label's top

    // Stop: a filled square.
    const Drawn stop = Draw("=");
    const RECT square = stop.Bounds();
    const RECT expected{0, top, size - 1, top + size - 1};
    EXPECT_TRUE(EqualRect(&square, &expected));
    EXPECT_EQ(stop.Count(), (size - 1) * (size - 1));

    // Play: a triangle pointing right, upright at the left.
    const Drawn play = Draw("4");
    const RECT playBox = play.Bounds();
    EXPECT_EQ(playBox.left, 0);
    EXPECT_EQ(playBox.top, top);
    EXPECT_EQ(playBox.bottom, top + size);
    EXPECT_EQ(play.InColumn(0), size);
    for (int x = 1; x < playBox.right; ++x) EXPECT_LE(play.InColumn(x), play.InColumn(x - 1)) << x;
    EXPECT_LE(play.InColumn(playBox.right - 1), 3) << "a point, not a block";

    // Pause: two bars with a gap as wide as a bar.
    const Drawn pause = Draw(";");
    EXPECT_EQ(pause.InColumn(0), size);
    EXPECT_EQ(pause.InColumn(1), size);
    EXPECT_EQ(pause.InColumn(2), 0);
    EXPECT_EQ(pause.InColumn(3), 0);
    EXPECT_EQ(pause.InColumn(4), size);
    EXPECT_EQ(pause.InColumn(5), size);
    EXPECT_EQ(pause.Bounds().right, 6);

    // Back and next: a bar at the end they point to, two triangles.
    const Drawn back = Draw("7");
    const Drawn next = Draw("8");
    EXPECT_EQ(back.Bounds().right, size);
    EXPECT_EQ(next.Bounds().right, size);
    EXPECT_EQ(back.InColumn(0), size) << "the bar";
    EXPECT_LE(back.InColumn(1), 3) << "the first triangle's point, next to the bar";
    EXPECT_EQ(next.InColumn(size - 1), size) << "the bar";
    EXPECT_LE(next.InColumn(size - 2), 3);
    EXPECT_EQ(back.Count(), next.Count());

    // Resume: a ring, hollow inside, with its arrow on top.
    const Drawn resume = Draw("q");
    const RECT ring = resume.Bounds();
    EXPECT_EQ(ring.left, 0);
    EXPECT_GE(ring.right - ring.left, size - 1);
    EXPECT_GE(ring.bottom - ring.top, size);
    EXPECT_FALSE(resume.At((ring.left + ring.right) / 2, (ring.top + 2 + ring.bottom) / 2))
        << "hollow";
    EXPECT_GT(resume.InColumn(ring.left), 1) << "the ring's left side";
}

TEST(Symbols, PlacedAsTheCaptionAndClippedToTheLabel) {
    // Play is 5 pixels wide; a label of 9 centres it, as the buttons are.
    const RECT label{0, 0, 9, kHeight};
    EXPECT_EQ(Draw("4", DT_CENTER, label).Bounds().left, 2);
    EXPECT_EQ(Draw("4", DT_RIGHT, label).Bounds().right, 9);
    EXPECT_EQ(Draw("4", DT_LEFT, RECT{3, 0, 12, kHeight}).Bounds().left, 3);
    // Side by side, a pixel apart.
    const Drawn two = Draw("4=");
    EXPECT_EQ(two.InColumn(5), 0);
    EXPECT_EQ(two.InColumn(6), 6);
    EXPECT_EQ(two.Bounds().right, 12);
    // Nothing outside the label.
    const Drawn cut = Draw("=", DT_LEFT, RECT{0, 0, 3, kHeight});
    EXPECT_EQ(cut.Bounds().right, 3);
    EXPECT_EQ(cut.Count(), 3 * 6);
}

TEST(Symbols, TheButtonsShowTheSymbolsWhereTheFaceIsMissing) {
    if (SystemHasTheSymbolFace()) GTEST_SKIP() << "the system draws the symbol face itself";
    World world;
    forms::Form1& form = world.Start();
    form.SetForm1Width(engine::kWideWidth);
    const win32uitest::Image image = Capture(world.Window());
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const std::uint32_t ink =
        (GetRValue(shadow) << 16) | (GetGValue(shadow) << 8) | GetBValue(shadow);

    // The stop button (9 x 17 pixels at 304, 104): its square, centred, in
    // the labels' colour, where an "=" would leave two thin strokes.
    const RECT stop = PlaceInTopLevel(world.Control("Label20"));
    ASSERT_EQ(stop.right - stop.left, 9);
    for (int y = 3; y < 9; ++y) {
        for (int x = 1; x < 7; ++x) {
            EXPECT_EQ(image.At(stop.left + x, stop.top + y), ink) << x << ", " << y;
        }
    }
    EXPECT_NE(image.At(stop.left, stop.top + 5), ink) << "the gradient beside it";
    EXPECT_NE(image.At(stop.left + 7, stop.top + 5), ink);
}
