#pragma once
// Window geometry is kept in twips, 15 to a screen pixel, as the layout was
// designed; Qt wants pixels.

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

}  // namespace ui
