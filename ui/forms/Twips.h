#pragma once
// Window geometry is kept in twips, 15 to a screen pixel, as the layout was
// designed; Qt wants pixels.

#include <cstdint>

namespace ui {

inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels, to the nearest pixel (every place in the layout is a whole
// number of pixels, so this only matters for values set at run time).
constexpr int Twips(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

// Pixels to twips.
constexpr int PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

// A window's position in twips, kept exactly as set: the pixel position the
// window system holds is only its rounding.
struct TwipsPosition {
    std::int32_t left = 0;
    std::int32_t top = 0;

    // Follows a move made by someone else (the platform's first placement, a
    // window manager). Our own moves land on the rounded pixel and keep their
    // exact twips.
    void Follow(int pixelX, int pixelY) {
        if (pixelX != Twips(left)) left = PixelsToTwips(pixelX);
        if (pixelY != Twips(top)) top = PixelsToTwips(pixelY);
    }
};

}  // namespace ui
