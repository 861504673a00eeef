#pragma once

#include "hostbuffer.h"
#include "kestrix_helper_track.h"
#include "linkdevice.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kh {

// The device as the GPU linker sees it: memory, synchronous copies and the kernel launches.
// Every call returns the runtime's error number (0 success), so a fake can stand in for CUDA.
// Extents are entry counts along x, y and z of the launch; the kernels cover exactly them.
class LinkDevice {
public:
    virtual ~LinkDevice() = default;
    virtual int allocate(void** device, std::size_t bytes) = 0;
    virtual int release(void* device) = 0;
    virtual int upload(void* device, const void* host, std::size_t bytes) = 0;
    virtual int download(void* host, const void* device, std::size_t bytes) = 0;
    virtual int zero(void* device, std::size_t bytes) = 0;
    virtual const char* errorText(int code) = 0;

    virtual int shiftBuffer(const linkdev::View& v, int64_t entries) = 0;
    virtual int addToBuffer(const linkdev::View& v, int64_t entries) = 0;
    // all gaps at once: z is the gap - 1
    virtual int calcDistances(const linkdev::View& v, int64_t columns, int64_t rows) = 0;
    // sequential over rows by rule, parallel within a row: one block
    virtual int initializeG(const linkdev::View& v, int32_t gap) = 0;
    virtual int checkG(const linkdev::View& v, int32_t gap, int64_t entries) = 0;
    virtual int sortLinks(const linkdev::View& v, int32_t gap, int64_t entries) = 0;
    // z is the table - 1 over all tables
    virtual int resetCurrentFrame(const linkdev::View& v, int64_t columns, int64_t rows) = 0;
    // z is the table - gap - 1 over the later tables
    virtual int resetRowsFutureFrames(const linkdev::View& v, int32_t gap, int64_t columns, int32_t tables) = 0;
    virtual int resetDistCols(const linkdev::View& v, int32_t gap, int64_t columns, int64_t rows) = 0;
    // one block: numbered in event order after lastIdentifier
    virtual int setNewParticles(const linkdev::View& v, int32_t lastIdentifier) = 0;
};

// The CUDA device; only in builds with the kernels.
std::unique_ptr<LinkDevice> createCudaLinkDevice();

// Trajectory linking on a device: the CPU linker's model (history of G + 1 frames, one cost
// and one association table per gap, greedy association gap by gap) run as kernels. Each
// frame touches only the used block of the tables: (events + 1) x (events of the slot + 1).
class GpuLinking {
public:
    GpuLinking(LinkDevice& device, int32_t capacity, int32_t gaps, int64_t radius);
    ~GpuLinking();
    GpuLinking(const GpuLinking&) = delete;
    GpuLinking& operator=(const GpuLinking&) = delete;

    // A refused frame (as on the CPU) leaves every state untouched. Device failures raise the
    // CUDA error text with the step's suffix, and the history is forgotten: the next frame
    // starts new trajectories, numbered on from the last one handed out.
    int32_t linkParticles(const kh_track_event* events, int32_t count, kh_track_particle* out);
    void reset();
    // Frees the device memory with checks; what a failure leaves is freed quietly later.
    void release();

    int64_t framesLinked() const { return m_frames; }
    void setLastIdentifier(int32_t id) { m_lastIdentifier = id; }

private:
    void check(int result, const char* function, unsigned line);
    void allocate(void** p, std::size_t bytes);
    void setupFrame(const kh_track_event* events, int32_t count);
    void processFrame(const kh_track_event* events, int32_t count, kh_track_particle* out);
    void zeroTables(int32_t count);
    int64_t widestSlot(int32_t from) const;
    linkdev::View view() const;

    LinkDevice& m_device;
    int32_t m_capacity;
    int32_t m_gaps;
    int64_t m_radius;
    int64_t m_entries;
    int64_t m_tableEntries;
    // device memory, in one list so that release and destruction cover all of it
    static constexpr int kBlocks = 17;
    void* m_blocks[kBlocks] = {};
    linkdev::View m_view{};
    int32_t m_counts[linkdev::kMaxSlots] = {};
    int32_t m_lastIdentifier = 0;
    int64_t m_frames = 0;
    // host staging of the events (from entry 1) and of the results
    HostBuffer<int32_t> m_eventX, m_eventY, m_id, m_length;
    HostBuffer<float> m_eventM0, m_eventM2;
    HostBuffer<int16_t> m_state;
};

}  // namespace kh
