// Trajectory linking kernels. Each kernel covers exactly the extents the host gives, with
// grid-stride loops so that no extent is limited by the grid; the bodies are linkdevice.h's.
#include "gpulinking.h"

#include <cuda_runtime.h>

#include <algorithm>

namespace kh {

namespace {

constexpr int kThreads = 512;     // per-entry kernels and the one-block kernels
constexpr int kTileColumns = 32;  // two-dimensional kernels
constexpr int kTileRows = 16;
constexpr int64_t kMaxGrid = 65535;

__device__ int64_t firstX() { return blockIdx.x * int64_t(blockDim.x) + threadIdx.x; }
__device__ int64_t firstY() { return blockIdx.y * int64_t(blockDim.y) + threadIdx.y; }
__device__ int64_t strideX() { return int64_t(gridDim.x) * blockDim.x; }
__device__ int64_t strideY() { return int64_t(gridDim.y) * blockDim.y; }

__global__ void _Kernel_ShiftBuffer(linkdev::View v, int64_t entries)
{
    for (int64_t j = firstX(); j < entries; j += strideX())
        linkdev::shiftEntry(v, j);
}

__global__ void _Kernel_AddToBuffer(linkdev::View v, int64_t entries)
{
    for (int64_t j = firstX(); j < entries; j += strideX())
        linkdev::addEntry(v, j);
}

__global__ void _Kernel_CalcDistances(linkdev::View v, int64_t columns, int64_t rows)
{
    const int32_t gap = static_cast<int32_t>(blockIdx.z) + 1;
    const int64_t used = min(columns, linkdev::tableColumns(v, gap));
    for (int64_t i = firstY(); i < rows; i += strideY())
        for (int64_t j = firstX(); j < used; j += strideX())
            linkdev::distanceEntry(v, gap, i, j);
}

// The smallest candidate of the block, left in best[0]; every thread reads it after the call.
__device__ void blockBest(link::Candidate* best, link::Candidate mine, float limit)
{
    best[threadIdx.x] = mine;
    __syncthreads();
    for (unsigned half = blockDim.x / 2; half > 0; half /= 2) {
        if (threadIdx.x < half)
            link::merge(best[threadIdx.x], best[threadIdx.x + half], limit);
        __syncthreads();
    }
}

// The association is a sequence of row decisions, each seeing the ones before: one block walks
// the rows in order, its threads share each row's and then the chosen column's search.
__global__ void _Kernel_InitializeG(linkdev::View v, int32_t gap)
{
    __shared__ link::Candidate best[kThreads];
    const float limit = linkdev::gapLimit(v, gap);
    for (int64_t r = 1; r <= v.counts[0]; ++r) {
        // written by thread 0 before the last barrier: the same answer in every thread
        if (!linkdev::rowFree(v, r))
            continue;
        blockBest(best, linkdev::scanRow(v, gap, r, threadIdx.x + 1, blockDim.x), limit);
        const int32_t column = best[0].index;
        __syncthreads();
        if (column == 0)
            continue;
        blockBest(best, linkdev::scanColumn(v, gap, column, threadIdx.x + 1, blockDim.x), limit);
        if (threadIdx.x == 0)
            linkdev::commitLink(v, gap, best[0].index, column);
        __syncthreads();
    }
}

__global__ void _Kernel_CheckG(linkdev::View v, int32_t gap, int64_t entries)
{
    for (int64_t e = firstX(); e < entries; e += strideX())
        linkdev::checkEntry(v, gap, e);
}

__global__ void _Kernel_SortLinks(linkdev::View v, int32_t gap, int64_t entries)
{
    for (int64_t i = firstX(); i < entries; i += strideX())
        linkdev::sortEntry(v, gap, i);
}

__global__ void _Kernel_ResetCurrentFrame(linkdev::View v, int64_t columns, int64_t rows)
{
    const int32_t table = static_cast<int32_t>(blockIdx.z) + 1;
    const int64_t used = min(columns, linkdev::tableColumns(v, table));
    for (int64_t i = firstY(); i < rows; i += strideY())
        for (int64_t j = firstX(); j < used; j += strideX())
            linkdev::maskRowEntry(v, table, i, j);
}

__global__ void _Kernel_ResetDistCols(linkdev::View v, int32_t gap, int64_t columns, int64_t rows)
{
    for (int64_t i = firstY(); i < rows; i += strideY())
        for (int64_t j = firstX(); j < columns; j += strideX())
            linkdev::maskColumnEntry(v, gap, i, j);
}

__global__ void _Kernel_ResetRowsFutureFrames(linkdev::View v, int32_t gap, int64_t columns)
{
    const int32_t table = gap + 1 + static_cast<int32_t>(blockIdx.z);
    const int64_t used = min(columns, linkdev::tableColumns(v, table));
    for (int64_t k = firstX() + 1; k < used; k += strideX())
        linkdev::maskContinuedColumn(v, table, k);
}

// One block numbers the new trajectories in event order: a block-wide inclusive count per
// chunk of rows, carried from chunk to chunk.
__global__ void _Kernel_SetNewParticles(linkdev::View v, int32_t lastIdentifier)
{
    __shared__ int32_t rank[kThreads];
    int32_t base = lastIdentifier;
    for (int64_t chunk = 1; chunk <= v.counts[0]; chunk += blockDim.x) {
        const int64_t i = chunk + threadIdx.x;
        const bool starts = linkdev::startsTrajectory(v, i);
        rank[threadIdx.x] = starts ? 1 : 0;
        __syncthreads();
        for (unsigned offset = 1; offset < blockDim.x; offset *= 2) {
            const int32_t before = threadIdx.x >= offset ? rank[threadIdx.x - offset] : 0;
            __syncthreads();
            rank[threadIdx.x] += before;
            __syncthreads();
        }
        if (starts)
            linkdev::newEntry(v, i, base + rank[threadIdx.x]);
        base += rank[blockDim.x - 1];
        __syncthreads();
    }
}

unsigned blocksFor(int64_t entries, int64_t perBlock)
{
    return static_cast<unsigned>(std::min<int64_t>((entries - 1) / perBlock + 1, kMaxGrid));
}

int launched() { return static_cast<int>(cudaGetLastError()); }

class CudaLinkDevice final : public LinkDevice {
public:
    int allocate(void** device, std::size_t bytes) override { return static_cast<int>(cudaMalloc(device, bytes)); }
    int release(void* device) override { return static_cast<int>(cudaFree(device)); }
    int upload(void* device, const void* host, std::size_t bytes) override
    {
        return static_cast<int>(cudaMemcpy(device, host, bytes, cudaMemcpyHostToDevice));
    }
    int download(void* host, const void* device, std::size_t bytes) override
    {
        return static_cast<int>(cudaMemcpy(host, device, bytes, cudaMemcpyDeviceToHost));
    }
    int zero(void* device, std::size_t bytes) override { return static_cast<int>(cudaMemset(device, 0, bytes)); }
    const char* errorText(int code) override { return cudaGetErrorString(static_cast<cudaError_t>(code)); }

    int shiftBuffer(const linkdev::View& v, int64_t entries) override
    {
        if (entries <= 0)
            return 0;
        _Kernel_ShiftBuffer<<<blocksFor(entries, kThreads), kThreads>>>(v, entries);
        return launched();
    }
    int addToBuffer(const linkdev::View& v, int64_t entries) override
    {
        if (entries <= 0)
            return 0;
        _Kernel_AddToBuffer<<<blocksFor(entries, kThreads), kThreads>>>(v, entries);
        return launched();
    }
    int calcDistances(const linkdev::View& v, int64_t columns, int64_t rows) override
    {
        return launch2d(columns, rows, v.gaps,
                        [&](dim3 g, dim3 b) { _Kernel_CalcDistances<<<g, b>>>(v, columns, rows); });
    }
    int initializeG(const linkdev::View& v, int32_t gap) override
    {
        _Kernel_InitializeG<<<1, kThreads>>>(v, gap);
        return launched();
    }
    int checkG(const linkdev::View& v, int32_t gap, int64_t entries) override
    {
        if (entries <= 0)
            return 0;
        _Kernel_CheckG<<<blocksFor(entries, kThreads), kThreads>>>(v, gap, entries);
        return launched();
    }
    int sortLinks(const linkdev::View& v, int32_t gap, int64_t entries) override
    {
        if (entries <= 0)
            return 0;
        _Kernel_SortLinks<<<blocksFor(entries, kThreads), kThreads>>>(v, gap, entries);
        return launched();
    }
    int resetCurrentFrame(const linkdev::View& v, int64_t columns, int64_t rows) override
    {
        return launch2d(columns, rows, v.gaps,
                        [&](dim3 g, dim3 b) { _Kernel_ResetCurrentFrame<<<g, b>>>(v, columns, rows); });
    }
    int resetRowsFutureFrames(const linkdev::View& v, int32_t gap, int64_t columns, int32_t tables) override
    {
        if (columns <= 1 || tables <= 0)
            return 0;
        const dim3 grid(blocksFor(columns, kThreads), 1, static_cast<unsigned>(tables));
        _Kernel_ResetRowsFutureFrames<<<grid, kThreads>>>(v, gap, columns);
        return launched();
    }
    int resetDistCols(const linkdev::View& v, int32_t gap, int64_t columns, int64_t rows) override
    {
        return launch2d(columns, rows, 1,
                        [&](dim3 g, dim3 b) { _Kernel_ResetDistCols<<<g, b>>>(v, gap, columns, rows); });
    }
    int setNewParticles(const linkdev::View& v, int32_t lastIdentifier) override
    {
        _Kernel_SetNewParticles<<<1, kThreads>>>(v, lastIdentifier);
        return launched();
    }

private:
    template <typename Launch>
    static int launch2d(int64_t columns, int64_t rows, int32_t depth, Launch&& launch)
    {
        if (columns <= 0 || rows <= 0 || depth <= 0)
            return 0;
        launch(dim3(blocksFor(columns, kTileColumns), blocksFor(rows, kTileRows), static_cast<unsigned>(depth)),
               dim3(kTileColumns, kTileRows));
        return launched();
    }
};

}  // namespace

std::unique_ptr<LinkDevice> createCudaLinkDevice() { return std::make_unique<CudaLinkDevice>(); }

}  // namespace kh
