#include "pacing.h"

#include <atomic>
#include <cmath>

namespace pacing {

namespace {
// Constant-initialised: a scale handed in before main() is never overwritten.
std::atomic<double> current{1.0};
} // namespace

void setScale(double scale)
{
    current.store(std::isfinite(scale) && scale >= 0.0 ? scale : 1.0);
}

double scale()
{
    return current.load();
}

int scaledMs(double ms)
{
    const double scaled = ms * scale();
    if (!(scaled > 0.0))
        return 0;
    return scaled > 2.0e9 ? 2000000000 : static_cast<int>(std::lround(scaled));
}

} // namespace pacing
