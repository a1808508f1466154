#pragma once
// The picture surface both windows stand on: 64 horizontal grey bands, near
// white at the top and black at the bottom.

#include <vector>

namespace forms {

inline constexpr int kGradientBands = 64;

// Grey level of band `band` (1 to 64): 252 for the first, 0 for the last.
constexpr int GradientGrey(int band) {
    return 256 - 4 * band;
}

struct GradientBand {
    int top = 0;     // first row, in pixels
    int bottom = 0;  // one past the last row
    int grey = 0;    // red = green = blue
};

// The bands over a surface `height` pixels high. Band i runs from row
// (i - 1) * H / 64 to i * H / 64, computed in single precision and rounded
// to the nearest row (halves to even), so the bands tile the surface with no
// gap and no overlap whatever its height; bands that round to no row are left
// out.
std::vector<GradientBand> GradientBands(int height);

}  // namespace forms
