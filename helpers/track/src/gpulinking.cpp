#include "gpulinking.h"

#include "trajectorylinking.h"

#include "kh/cudacheck.h"
#include "kh/exception.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace kh {

namespace {

constexpr const char* kSetupFailed = "\nError during particle linking setup.";
constexpr const char* kProcessingFailed = "\nError during particle linking processing.";

// Re-raises with the step's suffix: the library's own exceptions keep their code.
template <typename Step>
void runStep(Step&& step, const char* suffix)
{
    try {
        step();
    } catch (const Exception& e) {
        throw withSuffix(e, suffix);
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string(e.what()) + suffix);
    }
}

enum Block {
    HistoryX, HistoryY, HistoryM0, HistoryM2, HistoryId, HistoryState, HistoryLength,
    EventX, EventY, EventM0, EventM2,
    Costs, Associations,
    Partner, RowTaken, Linked, ColumnTaken,
    BlockCount
};

std::size_t bytesOf(int64_t count, std::size_t element)
{
    if (count < 0 || static_cast<uint64_t>(count) > SIZE_MAX / element)
        throw ExceptionOutOfMemory("Insufficient system resources");
    return static_cast<std::size_t>(count) * element;
}

}  // namespace

#define KH_CHECK(call, function) check((call), (function), __LINE__)

GpuLinking::GpuLinking(LinkDevice& device, int32_t capacity, int32_t gaps, int64_t radius)
    : m_device(device),
      m_capacity(capacity),
      m_gaps(gaps),
      m_radius(radius),
      m_entries(static_cast<int64_t>(capacity) + 1),
      m_tableEntries(m_entries * m_entries)
{
    static_assert(kBlocks == BlockCount, "one pointer per device block");
    if (capacity < 0 || gaps < 1 || gaps >= linkdev::kMaxSlots)
        throw ExceptionArgumentOutOfRange("Unsupported linking history.");
    const std::size_t staging = static_cast<std::size_t>(m_entries);
    m_eventX.allocate(staging);
    m_eventY.allocate(staging);
    m_eventM0.allocate(staging);
    m_eventM2.allocate(staging);
    m_id.allocate(staging);
    m_state.allocate(staging);
    m_length.allocate(staging);
    m_eventX.zero();
    m_eventY.zero();
    m_eventM0.zero();
    m_eventM2.zero();

    const int64_t history = (static_cast<int64_t>(gaps) + 1) * m_entries;
    const int64_t tables = static_cast<int64_t>(gaps) * m_tableEntries;
    const std::size_t sizes[BlockCount] = {
        bytesOf(history, 4), bytesOf(history, 4), bytesOf(history, 4), bytesOf(history, 4),
        bytesOf(history, 4), bytesOf(history, 2), bytesOf(history, 4),
        bytesOf(m_entries, 4), bytesOf(m_entries, 4), bytesOf(m_entries, 4), bytesOf(m_entries, 4),
        bytesOf(tables, 4), bytesOf(tables, 4),
        bytesOf(m_entries, 4), bytesOf(m_entries, 1), bytesOf(m_entries, 1), bytesOf(m_entries, 1)};
    // the destructor does not run for a throwing constructor
    try {
        for (int b = 0; b < BlockCount; ++b)
            allocate(&m_blocks[b], sizes[b]);
    } catch (...) {
        for (void*& p : m_blocks)
            if (p)
                m_device.release(std::exchange(p, nullptr));
        throw;
    }

    linkdev::View& v = m_view;
    v.x = static_cast<int32_t*>(m_blocks[HistoryX]);
    v.y = static_cast<int32_t*>(m_blocks[HistoryY]);
    v.m0 = static_cast<float*>(m_blocks[HistoryM0]);
    v.m2 = static_cast<float*>(m_blocks[HistoryM2]);
    v.id = static_cast<int32_t*>(m_blocks[HistoryId]);
    v.state = static_cast<int16_t*>(m_blocks[HistoryState]);
    v.length = static_cast<int32_t*>(m_blocks[HistoryLength]);
    v.eventX = static_cast<const int32_t*>(m_blocks[EventX]);
    v.eventY = static_cast<const int32_t*>(m_blocks[EventY]);
    v.eventM0 = static_cast<const float*>(m_blocks[EventM0]);
    v.eventM2 = static_cast<const float*>(m_blocks[EventM2]);
    v.cost = static_cast<float*>(m_blocks[Costs]);
    v.association = static_cast<int32_t*>(m_blocks[Associations]);
    v.partner = static_cast<int32_t*>(m_blocks[Partner]);
    v.rowTaken = static_cast<uint8_t*>(m_blocks[RowTaken]);
    v.linked = static_cast<uint8_t*>(m_blocks[Linked]);
    v.columnTaken = static_cast<uint8_t*>(m_blocks[ColumnTaken]);
    v.entries = m_entries;
    v.tableEntries = m_tableEntries;
    v.radius = radius;
    v.gaps = gaps;

    try {
        reset();
    } catch (...) {
        for (void*& p : m_blocks)
            if (p)
                m_device.release(std::exchange(p, nullptr));
        throw;
    }
}

GpuLinking::~GpuLinking()
{
    for (void* p : m_blocks)
        if (p)
            m_device.release(p);
}

void GpuLinking::check(int result, const char* function, unsigned line)
{
    if (result != 0)
        throwCudaError(cudaErrorText(result, m_device.errorText(result), function, line));
}

void GpuLinking::allocate(void** p, std::size_t bytes)
{
    KH_CHECK(m_device.allocate(p, bytes), "kh::TrajectoryLinking::Initialize_GPU");
}

linkdev::View GpuLinking::view() const
{
    linkdev::View v = m_view;
    std::copy(std::begin(m_counts), std::end(m_counts), v.counts);
    return v;
}

int64_t GpuLinking::widestSlot(int32_t from) const
{
    int64_t widest = 0;
    for (int32_t s = from; s <= m_gaps; ++s)
        widest = std::max<int64_t>(widest, m_counts[s]);
    return widest;
}

void GpuLinking::reset()
{
    const char* where = "kh::TrackingAlgorithm::Reset_GPU";
    std::fill(std::begin(m_counts), std::end(m_counts), 0);
    m_frames = 0;
    if (!m_blocks[0])
        throw ExceptionNotSupported("The device memory of the context was released.");
    const int64_t history = (static_cast<int64_t>(m_gaps) + 1) * m_entries;
    const std::size_t sizes[] = {4, 4, 4, 4, 4, 2, 4};
    for (int b = HistoryX; b <= HistoryLength; ++b)
        KH_CHECK(m_device.zero(m_blocks[b], bytesOf(history, sizes[b])), where);
}

void GpuLinking::release()
{
    const char* where = "kh::TrackingAlgorithm::Release_GPU";
    for (void*& p : m_blocks)
        if (p)
            KH_CHECK(m_device.release(std::exchange(p, nullptr)), where);
}

int32_t GpuLinking::linkParticles(const kh_track_event* events, int32_t count, kh_track_particle* out)
{
    TrajectoryLinking::validate(events, count, m_capacity);
    TrajectoryLinking::checkIdentifierRoom(m_lastIdentifier, count);
    if (!m_blocks[0])
        throw ExceptionNotSupported("The device memory of the context was released.");
    try {
        runStep([&] { setupFrame(events, count); }, kSetupFailed);
        runStep([&] { processFrame(events, count, out); }, kProcessingFailed);
    } catch (...) {
        // the device history may hold a half-linked frame: forget it rather than continue
        // trajectories from it (nothing is read beyond the slot counts)
        std::fill(std::begin(m_counts), std::end(m_counts), 0);
        throw;
    }
    ++m_frames;
    return count;
}

void GpuLinking::setupFrame(const kh_track_event* events, int32_t count)
{
    // every slot is copied up to the widest one, so slots stay zero beyond their count
    KH_CHECK(m_device.shiftBuffer(view(), widestSlot(0) + 1), "kh::TrackingAlgorithm::ShiftBuffer_GPU");
    for (int32_t s = m_gaps; s >= 1; --s)
        m_counts[s] = m_counts[s - 1];

    for (int32_t i = 0; i < count; ++i) {
        const kh_track_event& e = events[i];
        m_eventX[i + 1] = static_cast<int32_t>(e.x);
        m_eventY[i + 1] = static_cast<int32_t>(e.y);
        m_eventM0[i + 1] = static_cast<float>(e.m0);
        m_eventM2[i + 1] = static_cast<float>(e.m2);
    }
    const std::size_t used = static_cast<std::size_t>(count) + 1;
    const char* upload = "kh::HostVector<T>::ToDevice";
    KH_CHECK(m_device.upload(m_blocks[EventX], m_eventX.data(), used * 4), upload);
    KH_CHECK(m_device.upload(m_blocks[EventY], m_eventY.data(), used * 4), upload);
    KH_CHECK(m_device.upload(m_blocks[EventM0], m_eventM0.data(), used * 4), upload);
    KH_CHECK(m_device.upload(m_blocks[EventM2], m_eventM2.data(), used * 4), upload);

    const int32_t previous = m_counts[0];
    m_counts[0] = count;
    KH_CHECK(m_device.addToBuffer(view(), std::max(count, previous) + int64_t(1)),
             "kh::TrackingAlgorithm::AddToBuffer_GPU");
}

void GpuLinking::zeroTables(int32_t count)
{
    const char* where = "kh::TrajectoryLinking::ClearTables_GPU";
    const int64_t rows = static_cast<int64_t>(count) + 1;
    int32_t* associations = static_cast<int32_t*>(m_blocks[Associations]);
    for (int32_t g = 1; g <= m_gaps; ++g)
        KH_CHECK(m_device.zero(associations + (g - 1) * m_tableEntries, bytesOf(rows * (m_counts[g] + 1), 4)),
                 where);
    KH_CHECK(m_device.zero(m_blocks[Linked], bytesOf(rows, 1)), where);
}

void GpuLinking::processFrame(const kh_track_event* events, int32_t count, kh_track_particle* out)
{
    const linkdev::View v = view();
    const int64_t rows = static_cast<int64_t>(count) + 1;
    zeroTables(count);
    KH_CHECK(m_device.calcDistances(v, widestSlot(1) + 1, rows), "kh::TrajectoryLinking::CalcDistances_GPU");

    for (int32_t g = 1; g <= m_gaps; ++g) {
        const int64_t columns = static_cast<int64_t>(m_counts[g]) + 1;
        const char* initialize = "kh::TrajectoryLinking::InitializeG_GPU";
        KH_CHECK(m_device.zero(m_blocks[RowTaken], bytesOf(rows, 1)), initialize);
        KH_CHECK(m_device.zero(m_blocks[ColumnTaken], bytesOf(columns, 1)), initialize);
        KH_CHECK(m_device.zero(m_blocks[Partner], bytesOf(rows, 4)), initialize);
        // nothing can link without particles on both sides
        if (count > 0 && m_counts[g] > 0)
            KH_CHECK(m_device.initializeG(v, g), initialize);
        KH_CHECK(m_device.checkG(v, g, std::max(rows, columns)), "kh::TrajectoryLinking::CheckG_GPU");
        KH_CHECK(m_device.sortLinks(v, g, rows), "kh::TrajectoryLinking::SortLinks_GPU");
        if (m_gaps > 1) {
            const char* reset = "kh::TrajectoryLinking::ResetSortedLinkedDistances_GPU";
            KH_CHECK(m_device.resetCurrentFrame(v, widestSlot(1) + 1, rows), reset);
            KH_CHECK(m_device.resetDistCols(v, g, columns, rows), reset);
            if (g < m_gaps)
                KH_CHECK(m_device.resetRowsFutureFrames(v, g, widestSlot(g + 1) + 1, m_gaps - g), reset);
        }
    }
    KH_CHECK(m_device.setNewParticles(v, m_lastIdentifier), "kh::TrajectoryLinking::SetNewParticles_GPU");

    const std::size_t used = static_cast<std::size_t>(rows);
    const char* download = "kh::DeviceMatrix<T>::ToHost";
    KH_CHECK(m_device.download(m_id.data(), m_blocks[HistoryId], used * 4), download);
    KH_CHECK(m_device.download(m_state.data(), m_blocks[HistoryState], used * 2), download);
    KH_CHECK(m_device.download(m_length.data(), m_blocks[HistoryLength], used * 4), download);

    int32_t started = 0;
    for (int32_t i = 1; i <= count; ++i)
        started += m_state[i] == link::StateNew;
    m_lastIdentifier += started;
    for (int32_t i = 1; i <= count; ++i)
        if (link::outputState(m_state[i]) < 0)
            throw Exception("Unknown particle state.", CodeUnspecified);

    for (int32_t i = 0; i < count; ++i) {
        kh_track_particle p{};
        p.index = events[i].index;
        p.x = m_eventX[i + 1];
        p.y = m_eventY[i + 1];
        p.m0 = m_eventM0[i + 1];
        p.m2 = m_eventM2[i + 1];
        p.id = m_id[i + 1];
        p.state = link::outputState(m_state[i + 1]);
        p.length = m_length[i + 1];
        out[i] = p;
    }
}

}  // namespace kh
