#pragma once

#include "gpulinking.h"
#include "linkdevice.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

// The linker's device run on the host: each kernel as the loops of its launch (grid-stride
// loops flattened, the one-block kernels with `threads` virtual threads and the same tree
// reduction and scan) over the same bodies the CUDA kernels run. Memory comes from the heap,
// filled with garbage as device memory would be; copies outside a live allocation fail.
// A chosen call can fail, and the work of the kernels is counted.
class EmulatedLinkDevice : public kh::LinkDevice {
public:
    static constexpr int kFailure = 700;
    static constexpr int kOutOfMemory = 2;
    static constexpr int kInvalidValue = 1;

    explicit EmulatedLinkDevice(int threads = 512) : m_threads(threads) {}
    ~EmulatedLinkDevice() override
    {
        for (auto& a : live)
            std::free(a.first);
    }

    std::vector<std::string> calls;  // every call, in order
    int failAt = -1;                 // index in calls of the call that fails
    std::size_t allocationLimit = SIZE_MAX;
    std::vector<std::size_t> requested;  // every allocation asked for
    std::map<void*, std::size_t> live;
    int64_t entriesVisited = 0;  // kernel body calls and entries scanned
    int64_t bytesZeroed = 0;

    int allocate(void** device, std::size_t bytes) override
    {
        if (int r = enter("allocate"))
            return r;
        requested.push_back(bytes);
        void* p = bytes <= allocationLimit ? std::malloc(std::max<std::size_t>(bytes, 1)) : nullptr;
        if (!p)
            return kOutOfMemory;
        std::memset(p, 0xA5, bytes);
        live[p] = bytes;
        *device = p;
        return 0;
    }
    int release(void* device) override
    {
        if (int r = enter("release"))
            return r;
        auto it = live.find(device);
        if (it == live.end())
            return kInvalidValue;
        std::free(device);
        live.erase(it);
        return 0;
    }
    int upload(void* device, const void* host, std::size_t bytes) override
    {
        if (int r = enter("upload"))
            return r;
        if (!inside(device, bytes))
            return kInvalidValue;
        std::memcpy(device, host, bytes);
        return 0;
    }
    int download(void* host, const void* device, std::size_t bytes) override
    {
        if (int r = enter("download"))
            return r;
        if (!inside(device, bytes))
            return kInvalidValue;
        std::memcpy(host, device, bytes);
        return 0;
    }
    int zero(void* device, std::size_t bytes) override
    {
        if (int r = enter("zero"))
            return r;
        if (!inside(device, bytes))
            return kInvalidValue;
        std::memset(device, 0, bytes);
        bytesZeroed += static_cast<int64_t>(bytes);
        return 0;
    }
    const char* errorText(int code) override
    {
        return code == kOutOfMemory ? "out of memory" : code == kInvalidValue ? "invalid argument" : "emulated failure";
    }

    int shiftBuffer(const kh::linkdev::View& v, int64_t entries) override
    {
        if (int r = enter("shiftBuffer"))
            return r;
        for (int64_t j = 0; j < entries; ++j)
            visit(), kh::linkdev::shiftEntry(v, j);
        return 0;
    }
    int addToBuffer(const kh::linkdev::View& v, int64_t entries) override
    {
        if (int r = enter("addToBuffer"))
            return r;
        for (int64_t j = 0; j < entries; ++j)
            visit(), kh::linkdev::addEntry(v, j);
        return 0;
    }
    int calcDistances(const kh::linkdev::View& v, int64_t columns, int64_t rows) override
    {
        if (int r = enter("calcDistances"))
            return r;
        for (int32_t gap = 1; gap <= v.gaps; ++gap) {
            const int64_t used = std::min(columns, kh::linkdev::tableColumns(v, gap));
            for (int64_t i = 0; i < rows; ++i)
                for (int64_t j = 0; j < used; ++j)
                    visit(), kh::linkdev::distanceEntry(v, gap, i, j);
        }
        return 0;
    }
    int initializeG(const kh::linkdev::View& v, int32_t gap) override
    {
        if (int r = enter("initializeG"))
            return r;
        const float limit = kh::linkdev::gapLimit(v, gap);
        std::vector<kh::link::Candidate> best(static_cast<std::size_t>(m_threads));
        auto blockBest = [&](auto&& partial) {
            for (int t = 0; t < m_threads; ++t)
                best[static_cast<std::size_t>(t)] = partial(t);
            for (int half = m_threads / 2; half > 0; half /= 2)
                for (int t = 0; t < half; ++t)
                    kh::link::merge(best[static_cast<std::size_t>(t)], best[static_cast<std::size_t>(t + half)], limit);
            return best[0].index;
        };
        for (int64_t r = 1; r <= v.counts[0]; ++r) {
            if (!kh::linkdev::rowFree(v, r))
                continue;
            entriesVisited += v.counts[gap];
            const int32_t column =
                blockBest([&](int t) { return kh::linkdev::scanRow(v, gap, r, t + 1, m_threads); });
            if (column == 0)
                continue;
            entriesVisited += v.counts[0];
            const int32_t row =
                blockBest([&](int t) { return kh::linkdev::scanColumn(v, gap, column, t + 1, m_threads); });
            kh::linkdev::commitLink(v, gap, row, column);
        }
        return 0;
    }
    int checkG(const kh::linkdev::View& v, int32_t gap, int64_t entries) override
    {
        if (int r = enter("checkG"))
            return r;
        for (int64_t e = 0; e < entries; ++e)
            visit(), kh::linkdev::checkEntry(v, gap, e);
        return 0;
    }
    int sortLinks(const kh::linkdev::View& v, int32_t gap, int64_t entries) override
    {
        if (int r = enter("sortLinks"))
            return r;
        for (int64_t i = 0; i < entries; ++i)
            visit(), kh::linkdev::sortEntry(v, gap, i);
        return 0;
    }
    int resetCurrentFrame(const kh::linkdev::View& v, int64_t columns, int64_t rows) override
    {
        if (int r = enter("resetCurrentFrame"))
            return r;
        for (int32_t table = 1; table <= v.gaps; ++table) {
            const int64_t used = std::min(columns, kh::linkdev::tableColumns(v, table));
            for (int64_t i = 0; i < rows; ++i)
                for (int64_t j = 0; j < used; ++j)
                    visit(), kh::linkdev::maskRowEntry(v, table, i, j);
        }
        return 0;
    }
    int resetRowsFutureFrames(const kh::linkdev::View& v, int32_t gap, int64_t columns, int32_t tables) override
    {
        if (int r = enter("resetRowsFutureFrames"))
            return r;
        for (int32_t table = gap + 1; table < gap + 1 + tables; ++table) {
            const int64_t used = std::min(columns, kh::linkdev::tableColumns(v, table));
            for (int64_t k = 1; k < used; ++k) {
                entriesVisited += v.counts[0];
                kh::linkdev::maskContinuedColumn(v, table, k);
            }
        }
        return 0;
    }
    int resetDistCols(const kh::linkdev::View& v, int32_t gap, int64_t columns, int64_t rows) override
    {
        if (int r = enter("resetDistCols"))
            return r;
        for (int64_t i = 0; i < rows; ++i)
            for (int64_t j = 0; j < columns; ++j)
                visit(), kh::linkdev::maskColumnEntry(v, gap, i, j);
        return 0;
    }
    int setNewParticles(const kh::linkdev::View& v, int32_t lastIdentifier) override
    {
        if (int r = enter("setNewParticles"))
            return r;
        std::vector<int32_t> rank(static_cast<std::size_t>(m_threads));
        int32_t base = lastIdentifier;
        for (int64_t chunk = 1; chunk <= v.counts[0]; chunk += m_threads) {
            for (int t = 0; t < m_threads; ++t)
                rank[static_cast<std::size_t>(t)] = kh::linkdev::startsTrajectory(v, chunk + t) ? 1 : 0;
            for (std::size_t t = 1; t < rank.size(); ++t)
                rank[t] += rank[t - 1];
            for (int t = 0; t < m_threads; ++t)
                if (kh::linkdev::startsTrajectory(v, chunk + t))
                    visit(), kh::linkdev::newEntry(v, chunk + t, base + rank[static_cast<std::size_t>(t)]);
            base += rank.back();
        }
        return 0;
    }

private:
    int enter(const char* name)
    {
        calls.push_back(name);
        return static_cast<int>(calls.size()) - 1 == failAt ? kFailure : 0;
    }
    void visit() { ++entriesVisited; }
    bool inside(const void* p, std::size_t bytes) const
    {
        const char* c = static_cast<const char*>(p);
        auto it = live.upper_bound(const_cast<void*>(p));
        if (it == live.begin())
            return false;
        --it;
        const char* start = static_cast<const char*>(it->first);
        return c >= start && c + bytes <= start + it->second;
    }

    int m_threads;
};
