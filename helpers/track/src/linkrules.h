#pragma once

#include "hostdevice.h"

#include <float.h>
#include <stdint.h>

// Per-particle rules of trajectory linking, shared by the CPU linker and the GPU kernels.
namespace kh {
namespace link {

constexpr float kNoLink = FLT_MAX;
constexpr float kIntensityScale = 4294836224.0f;  // the float nearest to 65535^2

// Internal particle states.
enum State : int16_t { StateNone = 0, StateNew = 1, StateGap = 2, StateLinked = 3 };

// Radius limit of gap g, g * R^2: also the association threshold, so that a move of exactly
// the radius is a candidate but never linked. Computed in 64 bits: R^2 overflows 32 bits.
KH_HD float gapLimit(int gap, int64_t radius)
{
    return static_cast<float>(static_cast<double>(gap) * static_cast<double>(radius * radius));
}

KH_HD float linkCost(int32_t xi, int32_t yi, float m0i, float m2i,
                     int32_t xj, int32_t yj, float m0j, float m2j, float limit)
{
    const float dx = static_cast<float>(static_cast<int64_t>(xi) - xj);
    const float dy = static_cast<float>(static_cast<int64_t>(yi) - yj);
    const float d2 = dx * dx + dy * dy;
    if (d2 > limit)
        return kNoLink;
    const float dm0 = m0i - m0j;
    const float dm2 = m2i - m2j;
    return dm0 * dm0 / kIntensityScale + dm2 * dm2 + d2;
}

KH_HD State linkedState(int gap) { return gap == 1 ? StateLinked : StateGap; }

// A candidate partner during association; index 0 is no partner.
struct Candidate {
    float cost;
    int32_t index;
};

// The association's choice: only costs strictly below the limit, then the smallest cost, then
// the smallest index. A total order, so partial choices may be merged in any order.
KH_HD void consider(Candidate& best, float cost, int32_t index, float limit)
{
    if (cost < limit && (best.index == 0 || cost < best.cost || (cost == best.cost && index < best.index)))
        best = Candidate{cost, index};
}

KH_HD void merge(Candidate& best, const Candidate& other, float limit)
{
    if (other.index != 0)
        consider(best, other.cost, other.index, limit);
}

// Output state of a record from the internal state; -1 for a state the linker never sets.
KH_HD int32_t outputState(int16_t state)
{
    return state == StateNew ? 0 : state == StateGap ? 1 : state == StateLinked ? 2 : -1;
}

}  // namespace link
}  // namespace kh
