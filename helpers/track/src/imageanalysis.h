#pragma once

#include "hostbuffer.h"
#include "kestrix_helper_track.h"

#include <cstddef>
#include <cstdint>

namespace kh {

// CPU particle locator: background from the minimum of many frames, local maxima above a
// noise threshold, two intensity moments per maximum. Everything is allocated here, once.
class ImageAnalysis {
public:
    ImageAnalysis(int32_t width, int32_t height, int32_t maxEvents,
                  int32_t backgroundFrames, double thresholdFactor);

    // Host bytes the constructor allocates (saturating): checked against what can be had
    // before anything is allocated.
    static std::size_t hostBytes(int32_t width, int32_t height);

    // Locates one frame of width x height samples; writes at most maxEvents events.
    int32_t findParticles(const uint16_t* frame, kh_track_event* events);

    bool backgroundReady() const { return m_ready; }
    int64_t framesProcessed() const { return m_frames; }

private:
    void updateMinimum(const uint16_t* frame, int64_t row);
    void computeBackground();
    int32_t locateRows(const uint16_t* frame, bool updateMinimum, kh_track_event* events);

    int64_t m_width;
    int64_t m_height;
    int32_t m_maxEvents;
    int32_t m_backgroundFrames;

    HostBuffer<uint16_t> m_runningMinimum;
    HostBuffer<uint16_t> m_background;
    HostBuffer<uint16_t> m_threshold;
    // background and threshold depend only on the minimum: one entry per sample value
    HostBuffer<uint16_t> m_backgroundTable;
    HostBuffer<uint16_t> m_thresholdTable;
    // five-row rings: the working image and its 7-column maxima around the row in work
    HostBuffer<uint16_t> m_workRing;
    HostBuffer<uint16_t> m_rowMaxRing;
    HostBuffer<uint8_t> m_candidates;

    int32_t m_minimumCount = 0;
    bool m_ready = false;
    int64_t m_frames = 0;
};

}  // namespace kh
