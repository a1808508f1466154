#include "forms/Gradient.h"

#include <cmath>

namespace forms {

std::vector<GradientBand> GradientBands(int height) {
    std::vector<GradientBand> bands;
    if (height <= 0) return bands;
    bands.reserve(kGradientBands);
    for (int band = 1; band <= kGradientBands; ++band) {
        const float top = static_cast<float>(band - 1) * static_cast<float>(height) /
                          static_cast<float>(kGradientBands);
        const float bottom = static_cast<float>(band) * static_cast<float>(height) /
                             static_cast<float>(kGradientBands);
        // std::nearbyint rounds halves to even in the default rounding mode.
        const int y0 = static_cast<int>(std::nearbyint(top));
        const int y1 = static_cast<int>(std::nearbyint(bottom));
        if (y1 > y0) bands.push_back({y0, y1, GradientGrey(band)});
    }
    return bands;
}

}  // namespace forms
