#include "pacing.h"

#include "scaledtime.h"

#include <atomic>

namespace pacing {

namespace {
// Constant-initialised: a scale handed in before main() is never overwritten.
std::atomic<double> current{1.0};
} // namespace

void setScale(double scale)
{
    current.store(scaledtime::valid(scale));
}

double scale()
{
    return current.load();
}

int scaledMs(double ms)
{
    return scaledtime::ms(ms, scale());
}

} // namespace pacing
