#include "imageanalysis.h"

#include "hostmemory.h"
#include "locaterules.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kh {

namespace {

// Row kernels: contiguous, branch-free, so that the compiler vectorises them.
#define KH_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))

KH_VECTOR_CLONES void minimumRow(uint16_t* __restrict minimum, const uint16_t* __restrict frame, int64_t n)
{
    for (int64_t i = 0; i < n; ++i)
        minimum[i] = std::min(minimum[i], frame[i]);
}

KH_VECTOR_CLONES void subtractRow(uint16_t* __restrict out, const uint16_t* __restrict frame,
                                  const uint16_t* __restrict background, int64_t n)
{
    for (int64_t i = 0; i < n; ++i)
        out[i] = frame[i] > background[i] ? static_cast<uint16_t>(frame[i] - background[i]) : 0;
}

// out[c] = max(in[c - 3 .. c + 3]) for c in [3, n - 3)
KH_VECTOR_CLONES void rowMaximum7(uint16_t* __restrict out, const uint16_t* __restrict in, int64_t n)
{
    for (int64_t c = 3; c < n - 3; ++c) {
        const uint16_t a = std::max(std::max(in[c - 3], in[c - 2]), std::max(in[c - 1], in[c]));
        const uint16_t b = std::max(std::max(in[c + 1], in[c + 2]), in[c + 3]);
        out[c] = std::max(a, b);
    }
}

// A pixel is a candidate when it passes its threshold and nothing in its window exceeds it.
KH_VECTOR_CLONES void candidateRow(uint8_t* __restrict candidate, const uint16_t* __restrict work,
                                   const uint16_t* __restrict threshold, const uint16_t* __restrict m0,
                                   const uint16_t* __restrict m1, const uint16_t* __restrict m2,
                                   const uint16_t* __restrict m3, const uint16_t* __restrict m4,
                                   int64_t from, int64_t to)
{
    for (int64_t c = from; c < to; ++c) {
        const uint16_t window = std::max(std::max(std::max(m0[c], m1[c]), std::max(m2[c], m3[c])), m4[c]);
        candidate[c] = static_cast<uint8_t>((work[c] > threshold[c]) & (work[c] >= window));
    }
}

// Of equal values the first in row-major order wins: a candidate must exceed every
// neighbour before it (rows above, same row to the left).
bool winsTies(const uint16_t* const rows[5], int64_t c)
{
    const uint16_t v = rows[2][c];
    for (int r = 0; r < 2; ++r)
        for (int64_t dc = -locate::kMaxHalfCols; dc <= locate::kMaxHalfCols; ++dc)
            if (rows[r][c + dc] == v)
                return false;
    for (int64_t dc = -locate::kMaxHalfCols; dc < 0; ++dc)
        if (rows[2][c + dc] == v)
            return false;
    return true;
}

}  // namespace

std::size_t ImageAnalysis::hostBytes(int32_t width, int32_t height)
{
    const std::size_t w = static_cast<std::size_t>(width < 0 ? 0 : width);
    const std::size_t h = static_cast<std::size_t>(height < 0 ? 0 : height);
    const std::size_t pixels = saturatingMul(w, h);
    // running minimum, background, threshold; two five-row rings; candidates; two tables
    std::size_t bytes = saturatingMul(pixels, 3 * sizeof(uint16_t));
    bytes = saturatingAdd(bytes, saturatingMul(w, 2 * 5 * sizeof(uint16_t)));
    bytes = saturatingAdd(bytes, saturatingAdd(w, 8));
    return saturatingAdd(bytes, 2 * 65536 * sizeof(uint16_t));
}

ImageAnalysis::ImageAnalysis(int32_t width, int32_t height, int32_t maxEvents,
                             int32_t backgroundFrames, double thresholdFactor)
    : m_width(width), m_height(height), m_maxEvents(maxEvents),
      m_backgroundFrames(std::max(backgroundFrames, 1))
{
    const std::size_t pixels = static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height);
    m_runningMinimum.allocate(pixels);
    m_runningMinimum.fill(65535);
    m_background.allocate(pixels);
    m_background.zero();
    m_threshold.allocate(pixels);
    m_threshold.fill(locate::kNoThreshold);
    m_workRing.allocate(5 * static_cast<std::size_t>(m_width));
    m_workRing.zero();
    m_rowMaxRing.allocate(5 * static_cast<std::size_t>(m_width));
    m_rowMaxRing.zero();
    m_candidates.allocate(static_cast<std::size_t>(m_width) + 8);
    m_candidates.zero();

    const int k = static_cast<int>(std::floor(std::pow(locate::kThresholdConstant, 0.06) * 1.125));
    const int z16 = locate::zFactor16(m_backgroundFrames);
    const int64_t q16 = locate::qFactor16(thresholdFactor);
    m_backgroundTable.allocate(65536);
    m_thresholdTable.allocate(65536);
    for (uint32_t m = 0; m < 65536; ++m) {
        const int64_t d = locate::noiseLevel(m, k);
        m_backgroundTable[m] = locate::backgroundFromMinimum(m, d, z16);
        m_thresholdTable[m] = locate::thresholdFromNoise(d, q16);
    }
}

void ImageAnalysis::computeBackground()
{
    const std::size_t pixels = m_runningMinimum.size();
    const uint16_t* minimum = m_runningMinimum.data();
    uint16_t* background = m_background.data();
    uint16_t* threshold = m_threshold.data();
    for (std::size_t i = 0; i < pixels; ++i) {
        background[i] = m_backgroundTable[minimum[i]];
        threshold[i] = m_thresholdTable[minimum[i]];
    }
    m_runningMinimum.fill(65535);
}

int32_t ImageAnalysis::findParticles(const uint16_t* frame, kh_track_event* events)
{
    int32_t count = 0;
    const bool backgroundDue = m_minimumCount + 1 == m_backgroundFrames;
    if (m_ready && !backgroundDue) {
        count = locateRows(frame, true, events);
    } else {
        for (int64_t r = 0; r < m_height; ++r)
            minimumRow(m_runningMinimum.data() + r * m_width, frame + r * m_width, m_width);
        if (backgroundDue) {
            computeBackground();
            m_ready = true;
            count = locateRows(frame, false, events);
        }
    }
    m_minimumCount = backgroundDue ? 0 : m_minimumCount + 1;
    ++m_frames;
    return count;
}

// One pass over the rows: running minimum, background subtraction into a five-row ring,
// and the maxima of the row two behind, while its window is still in cache.
int32_t ImageAnalysis::locateRows(const uint16_t* frame, bool updateMinimum, kh_track_event* events)
{
    const int64_t w = m_width;
    const int64_t h = m_height;
    const bool maximaPossible = w >= 2 * locate::kMaxHalfCols + 1 && h >= 2 * locate::kMaxHalfRows + 1;
    int32_t count = 0;
    bool full = m_maxEvents <= 0;
    for (int64_t r = 0; r < h; ++r) {
        const uint16_t* in = frame + r * w;
        if (updateMinimum)
            minimumRow(m_runningMinimum.data() + r * w, in, w);
        if (full || !maximaPossible)
            continue;
        subtractRow(m_workRing.data() + (r % 5) * w, in, m_background.data() + r * w, w);
        rowMaximum7(m_rowMaxRing.data() + (r % 5) * w, m_workRing.data() + (r % 5) * w, w);

        const int64_t rc = r - locate::kMaxHalfRows;
        if (rc < locate::kMaxHalfRows || rc >= h - locate::kMaxHalfRows)
            continue;
        const uint16_t* rows[5];
        const uint16_t* maxRows[5];
        for (int d = 0; d < 5; ++d) {
            rows[d] = m_workRing.data() + ((rc - 2 + d) % 5) * w;
            maxRows[d] = m_rowMaxRing.data() + ((rc - 2 + d) % 5) * w;
        }
        const int64_t from = locate::kMaxHalfCols;
        const int64_t to = w - locate::kMaxHalfCols;
        uint8_t* candidate = m_candidates.data();
        candidateRow(candidate, rows[2], m_threshold.data() + rc * w, maxRows[0], maxRows[1], maxRows[2],
                     maxRows[3], maxRows[4], from, to);
        for (int64_t c = from; c < to; ++c) {
            // skip eight quiet pixels at a time: candidates are rare
            if (c + 8 <= to) {
                uint64_t block;
                std::memcpy(&block, candidate + c, 8);
                if (block == 0) {
                    c += 7;
                    continue;
                }
            }
            if (!candidate[c] || !winsTies(rows, c))
                continue;
            float m0 = 0.0f;
            float m2 = 0.0f;
            locate::moments(rows, static_cast<int>(c), m0, m2);
            kh_track_event& e = events[count];
            e = kh_track_event{};
            e.index = static_cast<int16_t>(count);
            e.x = static_cast<double>(c);
            e.y = static_cast<double>(rc);
            e.m0 = m0;
            e.m2 = m2;
            if (++count == m_maxEvents) {
                full = true;
                break;
            }
        }
    }
    return count;
}

}  // namespace kh
