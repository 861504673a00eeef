#include "trajectorylinking.h"

#include "hostmemory.h"
#include "linkrules.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kh {

namespace {

int64_t floorDiv(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

bool truncatesToInt32(double v)
{
    return std::isfinite(v) && v > -2147483649.0 && v < 2147483648.0;
}

}  // namespace

std::size_t TrajectoryLinking::hostBytes(int32_t capacity, int32_t gaps)
{
    const std::size_t entries = static_cast<std::size_t>(capacity < 0 ? 0 : capacity) + 1;
    const std::size_t slots = static_cast<std::size_t>(gaps < 0 ? 0 : gaps) + 1;
    // per slot: x, y, id, length, m0, m2 (4 bytes) and state (2); work vectors and scratch
    const std::size_t perSlot = saturatingMul(entries, 6 * 4 + 2);
    return saturatingAdd(saturatingMul(slots, perSlot), saturatingMul(entries, 4 + 4 + 4 * 8 + 8 * 4 + 64));
}

TrajectoryLinking::TrajectoryLinking(int32_t capacity, int32_t gaps, int64_t radius)
    : m_capacity(capacity), m_gaps(gaps), m_radius(radius), m_slots(static_cast<std::size_t>(gaps) + 1)
{
    const std::size_t entries = static_cast<std::size_t>(capacity) + 1;
    for (Slot& s : m_slots) {
        s.x.allocate(entries);
        s.y.allocate(entries);
        s.id.allocate(entries);
        s.length.allocate(entries);
        s.m0.allocate(entries);
        s.m2.allocate(entries);
        s.state.allocate(entries);
    }
    reset();
    try {
        m_linked.reserve(entries);
        m_rowTaken.reserve(entries);
        m_columnTaken.reserve(entries);
        m_columnDead.reserve(entries);
        m_partner.reserve(entries);
        m_continued.reserve(entries);
        m_scratch.reserve(8 * entries + 17);
    } catch (const std::bad_alloc&) {
        throw ExceptionOutOfMemory("Insufficient system resources");
    }
}

void TrajectoryLinking::reset()
{
    for (Slot& s : m_slots) {
        s.x.zero();
        s.y.zero();
        s.id.zero();
        s.length.zero();
        s.m0.zero();
        s.m2.zero();
        s.state.zero();
        s.count = 0;
    }
    m_frames = 0;
}

void TrajectoryLinking::validate(const kh_track_event* events, int32_t count, int32_t capacity)
{
    if (count < 0)
        throw ExceptionArgumentOutOfRange("count must not be negative.");
    if (count > capacity)
        throw ExceptionArgumentOutOfRange("count exceeds the particle capacity of the context.");
    for (int32_t i = 0; i < count; ++i)
        if (!truncatesToInt32(events[i].x) || !truncatesToInt32(events[i].y))
            throw ExceptionArgumentOutOfRange(
                "Event coordinates must be finite and within the 32-bit integer range.");
}

void TrajectoryLinking::checkIdentifierRoom(int32_t lastIdentifier, int32_t count)
{
    // every particle may start a trajectory; identifiers must not wrap into old ones
    if (lastIdentifier > INT32_MAX - count)
        throw ExceptionNotSupported("Trajectory identifiers are exhausted: create a new context.");
}

int32_t TrajectoryLinking::linkParticles(const kh_track_event* events, int32_t count,
                                         kh_track_particle* out)
{
    validate(events, count, m_capacity);
    checkIdentifierRoom(m_lastIdentifier, count);

    // the oldest slot becomes the new current frame
    m_head = (m_head + m_gaps) % (m_gaps + 1);
    Slot& current = slot(0);
    current.count = count;
    for (int32_t i = 0; i < count; ++i) {
        const kh_track_event& e = events[i];
        current.x[i + 1] = static_cast<int32_t>(e.x);
        current.y[i + 1] = static_cast<int32_t>(e.y);
        current.m0[i + 1] = static_cast<float>(e.m0);
        current.m2[i + 1] = static_cast<float>(e.m2);
        current.id[i + 1] = 0;
        current.state[i + 1] = link::StateNone;
        current.length[i + 1] = 0;
    }

    m_linked.assign(static_cast<std::size_t>(count) + 1, 0);
    m_continued.clear();
    int32_t linkedCount = 0;
    for (int32_t gap = 1; gap <= m_gaps && linkedCount < count; ++gap) {
        linkedCount += associate(gap);
    }

    for (int32_t i = 1; i <= count; ++i) {
        if (m_linked[i])
            continue;
        current.id[i] = ++m_lastIdentifier;
        current.state[i] = link::StateNew;
        current.length[i] = 1;
    }
    for (int32_t i = 1; i <= count; ++i)
        if (link::outputState(current.state[i]) < 0)
            throw Exception("Unknown particle state.", CodeUnspecified);

    for (int32_t i = 0; i < count; ++i) {
        kh_track_particle p{};
        p.index = events[i].index;
        p.x = current.x[i + 1];
        p.y = current.y[i + 1];
        p.m0 = current.m0[i + 1];
        p.m2 = current.m2[i + 1];
        p.id = current.id[i + 1];
        p.state = link::outputState(current.state[i + 1]);
        p.length = current.length[i + 1];
        out[i] = p;
    }
    ++m_frames;
    return count;
}

void TrajectoryLinking::Grid::build(const Slot& s, double radius, std::vector<int32_t>& scratch)
{
    const int32_t n = s.count;
    int64_t maxX = s.x[1], maxY = s.y[1];
    minX = s.x[1];
    minY = s.y[1];
    for (int32_t j = 2; j <= n; ++j) {
        minX = std::min<int64_t>(minX, s.x[j]);
        maxX = std::max<int64_t>(maxX, s.x[j]);
        minY = std::min<int64_t>(minY, s.y[j]);
        maxY = std::max<int64_t>(maxY, s.y[j]);
    }
    // wider than the radius so that every pair closer than it lies in neighbouring cells;
    // widened further until the cell count stays proportional to the particles
    cell = static_cast<int64_t>(std::min(radius, 4.0e9)) + 2;
    const double budget = 8.0 * n + 16.0;
    for (;;) {
        cols = (maxX - minX) / cell + 1;
        rows = (maxY - minY) / cell + 1;
        if (static_cast<double>(cols) * static_cast<double>(rows) <= budget)
            break;
        cell *= 2;
    }
    const std::size_t cells = static_cast<std::size_t>(cols * rows);
    start.assign(cells + 1, 0);
    for (int32_t j = 1; j <= n; ++j)
        ++start[static_cast<std::size_t>(cellY(s.y[j]) * cols + cellX(s.x[j])) + 1];
    for (std::size_t c = 0; c < cells; ++c)
        start[c + 1] += start[c];
    scratch.assign(start.begin(), start.end() - 1);
    items.resize(static_cast<std::size_t>(n));
    for (int32_t j = 1; j <= n; ++j)
        items[static_cast<std::size_t>(scratch[static_cast<std::size_t>(cellY(s.y[j]) * cols + cellX(s.x[j]))]++)] =
            Item{s.x[j], s.y[j], s.m0[j], s.m2[j], j};
}

int32_t TrajectoryLinking::associate(int32_t gap)
{
    Slot& current = slot(0);
    const Slot& old = slot(gap);
    const int32_t n = current.count;
    const int32_t columns = old.count;
    const float limit = link::gapLimit(gap, m_radius);
    if (columns == 0 || n == 0 || !(limit > 0.0f))
        return 0;

    m_rowTaken.assign(static_cast<std::size_t>(n) + 1, 0);
    m_partner.assign(static_cast<std::size_t>(n) + 1, 0);
    m_columnTaken.assign(static_cast<std::size_t>(columns) + 1, 0);
    m_columnDead.assign(static_cast<std::size_t>(columns) + 1, 0);
    if (!m_continued.empty())
        for (int32_t k = 1; k <= columns; ++k)
            m_columnDead[k] = std::binary_search(m_continued.begin(), m_continued.end(), old.id[k]);

    const double radius = std::sqrt(static_cast<double>(limit));
    m_slotGrid.build(old, radius, m_scratch);
    m_currentGrid.build(current, radius, m_scratch);

    // Smallest cost below the limit among the free particles of `grid` around (x, y); ties go
    // to the smaller index, as a scan of a full cost table would give.
    auto best = [&](const Grid& grid, int64_t x, int64_t y, auto&& isFree, auto&& costOf) {
        const int64_t cx = floorDiv(x - grid.minX, grid.cell);
        const int64_t cy = floorDiv(y - grid.minY, grid.cell);
        link::Candidate chosen{link::kNoLink, 0};
        for (int64_t gy = std::max<int64_t>(cy - 1, 0); gy <= std::min(cy + 1, grid.rows - 1); ++gy) {
            for (int64_t gx = std::max<int64_t>(cx - 1, 0); gx <= std::min(cx + 1, grid.cols - 1); ++gx) {
                const std::size_t c = static_cast<std::size_t>(gy * grid.cols + gx);
                for (int32_t it = grid.start[c]; it < grid.start[c + 1]; ++it) {
                    const Grid::Item& item = grid.items[static_cast<std::size_t>(it)];
                    const int32_t j = item.index;
                    if (!isFree(j))
                        continue;
                    link::consider(chosen, costOf(item), j, limit);
                }
            }
        }
        return chosen.index;
    };

    for (int32_t r = 1; r <= n; ++r) {
        if (m_linked[r] || m_rowTaken[r])
            continue;
        const int32_t k = best(
            m_slotGrid, current.x[r], current.y[r],
            [&](int32_t j) { return !m_columnTaken[j] && !m_columnDead[j]; },
            [&](const Grid::Item& j) {
                return link::linkCost(current.x[r], current.y[r], current.m0[r], current.m2[r], j.x, j.y,
                                      j.m0, j.m2, limit);
            });
        if (k == 0)
            continue;
        // the column then picks its own best row, which need not be r
        const int32_t chosenRow = best(
            m_currentGrid, old.x[k], old.y[k],
            [&](int32_t i) { return !m_linked[i] && !m_rowTaken[i]; },
            [&](const Grid::Item& i) {
                return link::linkCost(i.x, i.y, i.m0, i.m2, old.x[k], old.y[k], old.m0[k], old.m2[k], limit);
            });
        m_partner[chosenRow] = k;
        m_rowTaken[chosenRow] = 1;
        m_columnTaken[k] = 1;
    }

    const link::State linkedState = link::linkedState(gap);
    const std::size_t continuedBefore = m_continued.size();
    int32_t links = 0;
    for (int32_t i = 1; i <= n; ++i) {
        const int32_t j = m_partner[i];
        if (j == 0)
            continue;
        ++links;
        current.id[i] = old.id[j];
        current.length[i] = old.length[j] + 1;
        current.state[i] = linkedState;
        m_linked[i] = 1;
        if (m_gaps > 1)
            m_continued.push_back(old.id[j]);
    }
    if (m_continued.size() != continuedBefore)
        std::sort(m_continued.begin(), m_continued.end());
    return links;
}

}  // namespace kh
