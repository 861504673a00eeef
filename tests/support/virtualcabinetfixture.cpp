// Every test process runs on the virtual cabinet at the time scale its test gives it
// (TAVRILL_TIME_SCALE), handed in before main() as the program's start-up hands it in.
#include "virtualcabinet.h"

namespace {
[[maybe_unused]] const bool chosen = [] {
    useVirtualCabinet(parseTimeScale(qgetenv("TAVRILL_TIME_SCALE")));
    return true;
}();
} // namespace
