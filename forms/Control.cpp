#include "forms/Control.h"

#include <algorithm>
#include <cmath>

namespace forms {

int ProgressBar::FillWidth(int widthPixels) const {
    if (barmax <= 0 || barvalue <= 0 || widthPixels <= 0) return 0;
    const double share = std::min(1.0, static_cast<double>(barvalue) / barmax);
    return static_cast<int>(std::nearbyint(share * widthPixels));
}

}  // namespace forms
