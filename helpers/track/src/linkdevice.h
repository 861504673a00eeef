#pragma once

#include "hostdevice.h"
#include "linkrules.h"

#include <stdint.h>

// The linker's work on the device, one entry (or one partial scan) per call: the CUDA kernels
// and their host emulation run these same bodies, so both give the CPU linker's results.
namespace kh {
namespace linkdev {

constexpr int32_t kMaxSlots = 11;  // up to 10 gaps and the current frame

// Device pointers and the sizes of one frame's work; passed to kernels by value.
struct View {
    // frame history: slot s, entry j at s * entries + j; entry 0 is the no-partner entry
    int32_t* x;
    int32_t* y;
    float* m0;
    float* m2;
    int32_t* id;
    int16_t* state;
    int32_t* length;
    // the new frame's events as uploaded, from entry 1
    const int32_t* eventX;
    const int32_t* eventY;
    const float* eventM0;
    const float* eventM2;
    // table of gap g at (g - 1) * tableEntries; only its used block is addressed, packed with
    // a row length of (events of slot g) + 1, so it stays contiguous however small
    float* cost;
    int32_t* association;
    // per current particle
    int32_t* partner;  // column taken in the gap under association, 0 none
    uint8_t* rowTaken;
    uint8_t* linked;
    // per particle of the slot under association
    uint8_t* columnTaken;
    int64_t entries;       // capacity + 1
    int64_t tableEntries;  // (capacity + 1)^2
    int64_t radius;
    int32_t gaps;
    int32_t counts[kMaxSlots];  // events per slot, slot 0 the current frame
};

KH_HD int64_t tableIndex(const View& v, int32_t gap, int64_t row, int64_t column)
{
    return (gap - 1) * v.tableEntries + row * (v.counts[gap] + 1) + column;
}

// Columns of a table's used block: the slot's events and the no-partner column.
KH_HD int64_t tableColumns(const View& v, int32_t gap) { return static_cast<int64_t>(v.counts[gap]) + 1; }

KH_HD float gapLimit(const View& v, int32_t gap) { return link::gapLimit(gap, v.radius); }

// _Kernel_ShiftBuffer: slot s takes slot s - 1, oldest first so nothing is overwritten unread.
KH_HD void shiftEntry(const View& v, int64_t j)
{
    for (int32_t s = v.gaps; s >= 1; --s) {
        const int64_t to = s * v.entries + j;
        const int64_t from = to - v.entries;
        v.x[to] = v.x[from];
        v.y[to] = v.y[from];
        v.m0[to] = v.m0[from];
        v.m2[to] = v.m2[from];
        v.id[to] = v.id[from];
        v.state[to] = v.state[from];
        v.length[to] = v.length[from];
    }
}

// _Kernel_AddToBuffer: entries 1..n take the events; the rest of the extent is cleared so that
// every slot stays zero beyond its count.
KH_HD void addEntry(const View& v, int64_t j)
{
    const bool event = j >= 1 && j <= v.counts[0];
    v.x[j] = event ? v.eventX[j] : 0;
    v.y[j] = event ? v.eventY[j] : 0;
    v.m0[j] = event ? v.eventM0[j] : 0.0f;
    v.m2[j] = event ? v.eventM2[j] : 0.0f;
    v.id[j] = 0;
    v.state[j] = link::StateNone;
    v.length[j] = 0;
}

// _Kernel_CalcDistances: row 0 and column 0 hold the limit (no partner), the corner the
// largest float.
KH_HD void distanceEntry(const View& v, int32_t gap, int64_t i, int64_t j)
{
    const float limit = gapLimit(v, gap);
    float value;
    if (i == 0 && j == 0) {
        value = link::kNoLink;
    } else if (i == 0 || j == 0) {
        value = limit;
    } else {
        const int64_t o = gap * v.entries + j;
        value = link::linkCost(v.x[i], v.y[i], v.m0[i], v.m2[i], v.x[o], v.y[o], v.m0[o], v.m2[o], limit);
    }
    v.cost[tableIndex(v, gap, i, j)] = value;
}

KH_HD bool rowFree(const View& v, int64_t r) { return !v.linked[r] && !v.rowTaken[r]; }

// _Kernel_InitializeG, one thread's share of a row: the best free column among first, first +
// stride, ...
KH_HD link::Candidate scanRow(const View& v, int32_t gap, int64_t r, int64_t first, int64_t stride)
{
    const float limit = gapLimit(v, gap);
    link::Candidate best{link::kNoLink, 0};
    for (int64_t k = first; k <= v.counts[gap]; k += stride)
        if (!v.columnTaken[k])
            link::consider(best, v.cost[tableIndex(v, gap, r, k)], static_cast<int32_t>(k), limit);
    return best;
}

// Likewise the best free row of column k. Row 0 holds the limit itself and can never win.
KH_HD link::Candidate scanColumn(const View& v, int32_t gap, int64_t k, int64_t first, int64_t stride)
{
    const float limit = gapLimit(v, gap);
    link::Candidate best{link::kNoLink, 0};
    for (int64_t q = first; q <= v.counts[0]; q += stride)
        if (rowFree(v, q))
            link::consider(best, v.cost[tableIndex(v, gap, q, k)], static_cast<int32_t>(q), limit);
    return best;
}

KH_HD void commitLink(const View& v, int32_t gap, int32_t row, int32_t column)
{
    v.association[tableIndex(v, gap, row, column)] = 1;
    v.partner[row] = column;
    v.rowTaken[row] = 1;
    v.columnTaken[column] = 1;
}

// _Kernel_CheckG: rows and columns left without a link are linked to the no-partner entry.
KH_HD void checkEntry(const View& v, int32_t gap, int64_t e)
{
    if (e >= 1 && e <= v.counts[0] && !v.rowTaken[e])
        v.association[tableIndex(v, gap, e, 0)] = 1;
    if (e >= 1 && e <= v.counts[gap] && !v.columnTaken[e])
        v.association[tableIndex(v, gap, 0, e)] = 1;
}

// _Kernel_SortLinks: a linked particle continues its partner's trajectory.
KH_HD void sortEntry(const View& v, int32_t gap, int64_t i)
{
    const int32_t j = v.partner[i];
    if (i < 1 || j == 0)
        return;
    const int64_t o = gap * v.entries + j;
    v.id[i] = v.id[o];
    v.length[i] = v.length[o] + 1;
    v.state[i] = link::linkedState(gap);
    v.linked[i] = 1;
}

// _Kernel_ResetCurrentFrame: the row of a particle linked in this gap leaves every table.
KH_HD void maskRowEntry(const View& v, int32_t table, int64_t i, int64_t j)
{
    if (i >= 1 && v.partner[i] != 0)
        v.cost[tableIndex(v, table, i, j)] = link::kNoLink;
}

// _Kernel_ResetDistCols: the columns taken in this gap leave its table.
KH_HD void maskColumnEntry(const View& v, int32_t gap, int64_t i, int64_t j)
{
    if (j >= 1 && v.columnTaken[j])
        v.cost[tableIndex(v, gap, i, j)] = link::kNoLink;
}

// _Kernel_ResetRowsFutureFrames: in a later gap's table, the column of a trajectory continued
// in this gap leaves too, so that no trajectory is continued twice.
KH_HD void maskContinuedColumn(const View& v, int32_t table, int64_t k)
{
    const int32_t trajectory = v.id[table * v.entries + k];
    bool continued = false;
    for (int64_t i = 1; i <= v.counts[0] && !continued; ++i)
        continued = v.partner[i] != 0 && v.id[i] == trajectory;
    if (!continued)
        return;
    for (int64_t r = 0; r <= v.counts[0]; ++r)
        v.cost[tableIndex(v, table, r, k)] = link::kNoLink;
}

// _Kernel_SetNewParticles: unlinked particles start trajectories, numbered in event order.
KH_HD bool startsTrajectory(const View& v, int64_t i) { return i >= 1 && i <= v.counts[0] && !v.linked[i]; }

KH_HD void newEntry(const View& v, int64_t i, int32_t identifier)
{
    v.id[i] = identifier;
    v.state[i] = link::StateNew;
    v.length[i] = 1;
}

}  // namespace linkdev
}  // namespace kh
