#pragma once
// The one rule for a time scale and for scaling milliseconds by it, shared by the program's
// pauses and the virtual cabinet's physical times.
#include <cmath>

namespace scaledtime {

// A negative or non-finite scale counts as 1.
inline double valid(double scale)
{
    return std::isfinite(scale) && scale >= 0.0 ? scale : 1.0;
}

// ms times scale, rounded; at least 0, at most 2e9.
inline int ms(double ms, double scale)
{
    const double scaled = ms * scale;
    if (!(scaled > 0.0))
        return 0;
    return scaled > 2.0e9 ? 2000000000 : static_cast<int>(std::lround(scaled));
}

} // namespace scaledtime
