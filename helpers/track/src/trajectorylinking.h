#pragma once

#include "hostbuffer.h"
#include "kestrix_helper_track.h"

#include <cstdint>
#include <vector>

namespace kh {

// CPU trajectory linker. Keeps the last G + 1 frames; associates the particles of the new
// frame greedily by smallest cost, gap by gap. Only pairs closer than the gap's radius can
// ever be associated, so candidates come from a grid of cells at least that wide: the work
// follows the particles in use, never the capacity, and the choice is the one a full cost
// table would give (smallest cost, then smallest index).
class TrajectoryLinking {
public:
    TrajectoryLinking(int32_t capacity, int32_t gaps, int64_t radius);

    // Host bytes the constructor allocates, roughly (saturating).
    static std::size_t hostBytes(int32_t capacity, int32_t gaps);

    // Checks the frame first and throws without touching any state when it is refused.
    int32_t linkParticles(const kh_track_event* events, int32_t count, kh_track_particle* out);
    void reset();

    int32_t capacity() const { return m_capacity; }
    int32_t gaps() const { return m_gaps; }
    int64_t framesLinked() const { return m_frames; }
    // Lets tests start near the end of the identifier range.
    void setLastIdentifier(int32_t id) { m_lastIdentifier = id; }

    // One frame of the history; index 0 is unused (the no-partner entry), events from 1.
    struct Slot {
        HostBuffer<int32_t> x, y, id, length;
        HostBuffer<float> m0, m2;
        HostBuffer<int16_t> state;
        int32_t count = 0;
    };

    // The checks of a frame before any state changes: count 0..capacity, finite coordinates
    // that truncate to 32-bit integers. Shared with the GPU path.
    static void validate(const kh_track_event* events, int32_t count, int32_t capacity);
    // Refuses a frame that could need identifiers beyond the 32-bit range.
    static void checkIdentifierRoom(int32_t lastIdentifier, int32_t count);

private:
    Slot& slot(int32_t s) { return m_slots[static_cast<std::size_t>((m_head + s) % (m_gaps + 1))]; }
    int32_t associate(int32_t gap);  // returns the links made

    // Cells over one frame's particles, rebuilt for every gap (counting sort by cell).
    struct Grid {
        int64_t minX = 0, minY = 0, cell = 1, cols = 1, rows = 1;
        // a copy of what the cost needs, so a search reads one cell's particles contiguously
        struct Item {
            int32_t x, y;
            float m0, m2;
            int32_t index;  // 1..n in the slot
        };
        std::vector<int32_t> start;  // per cell, into items
        std::vector<Item> items;     // grouped by cell
        void build(const Slot& s, double radius, std::vector<int32_t>& scratch);
        int64_t cellX(int64_t x) const { return (x - minX) / cell; }
        int64_t cellY(int64_t y) const { return (y - minY) / cell; }
    };

    int32_t m_capacity;
    int32_t m_gaps;
    int64_t m_radius;
    std::vector<Slot> m_slots;
    int32_t m_head = 0;
    int32_t m_lastIdentifier = 0;
    int64_t m_frames = 0;

    // per current particle (1..n)
    std::vector<uint8_t> m_linked;
    std::vector<uint8_t> m_rowTaken;
    // per particle of the gap's slot
    std::vector<uint8_t> m_columnTaken;
    std::vector<uint8_t> m_columnDead;
    std::vector<int32_t> m_partner;
    // trajectories continued in this frame, sorted: not to be continued again over a longer gap
    std::vector<int32_t> m_continued;
    Grid m_currentGrid;
    Grid m_slotGrid;
    std::vector<int32_t> m_scratch;
};

}  // namespace kh
