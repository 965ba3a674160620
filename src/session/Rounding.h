#pragma once

#include <cfenv>
#include <climits>
#include <cmath>

// The nearest integer with exact halves going to the even neighbour (2.5
// gives 2, 3.5 gives 4), as the laser's values are rounded everywhere.
// Saturates at the int range; NaN gives 0.
inline int RoundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    // nearbyint rounds in the current mode, which is to-nearest-even unless
    // somebody changed it.
    const int saved = std::fegetround();
    if (saved != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    if (saved != FE_TONEAREST)
        std::fesetround(saved);
    if (rounded >= double(INT_MAX))
        return INT_MAX;
    if (rounded <= double(INT_MIN))
        return INT_MIN;
    return int(rounded);
}
