// Particle location and linking on the CUDA device. The per-pixel rules are the CPU's
// (locaterules.h); maxima are collected with an atomic counter and put back in row-major order
// on the host, so the events equal the CPU's. Linking runs the linker's kernels (gpulinking).
#include "gputracker.h"

#include "gpulinking.h"
#include "locaterules.h"

#include "kh/cudacheck.h"
#include "kh/exception.h"

#include <cuda_runtime.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace kh {

namespace {

void check(cudaError_t result, const char* function, unsigned line)
{
    if (result != cudaSuccess)
        throwCudaError(cudaErrorText(static_cast<int>(result), cudaGetErrorString(result), function, line));
}
#define KH_CUDA_CHECK(call, function) check((call), (function), __LINE__)

// Device storage of n elements; freed quietly on destruction, with a check by release().
template <typename T>
class DeviceBuffer {
public:
    DeviceBuffer() = default;
    DeviceBuffer(const DeviceBuffer&) = delete;
    DeviceBuffer& operator=(const DeviceBuffer&) = delete;
    ~DeviceBuffer()
    {
        if (m_data)
            cudaFree(m_data);
    }
    void allocate(std::size_t n, const char* function)
    {
        KH_CUDA_CHECK(cudaMalloc(reinterpret_cast<void**>(&m_data), n * sizeof(T)), function);
        m_size = n;
    }
    void release(const char* function)
    {
        T* p = m_data;
        m_data = nullptr;
        if (p)
            KH_CUDA_CHECK(cudaFree(p), function);
    }
    T* data() { return m_data; }
    std::size_t size() const { return m_size; }

private:
    T* m_data = nullptr;
    std::size_t m_size = 0;
};

// Two-dimensional grid-stride loops: any frame height fits the grid limits.
#define KH_FOR_PIXELS(x, y, w, h)                                                                     \
    for (int64_t y = blockIdx.y * int64_t(blockDim.y) + threadIdx.y; y < (h); y += int64_t(gridDim.y) * blockDim.y) \
        for (int64_t x = blockIdx.x * int64_t(blockDim.x) + threadIdx.x; x < (w); x += int64_t(gridDim.x) * blockDim.x)

__global__ void kernelMinimum(const uint16_t* frame, uint16_t* minimum, int64_t w, int64_t h)
{
    KH_FOR_PIXELS(x, y, w, h)
    {
        const int64_t i = y * w + x;
        minimum[i] = min(minimum[i], frame[i]);
    }
}

__global__ void kernelBackground(uint16_t* minimum, uint16_t* background, float* threshold, int64_t w,
                                 int64_t h, int k, int z16, int64_t q16)
{
    KH_FOR_PIXELS(x, y, w, h)
    {
        const int64_t i = y * w + x;
        const uint32_t m = minimum[i];
        const int64_t d = locate::noiseLevel(m, k);
        background[i] = locate::backgroundFromMinimum(m, d, z16);
        threshold[i] = locate::thresholdFromNoise(d, q16);
        minimum[i] = 65535;
    }
}

__global__ void kernelSubtract(const uint16_t* frame, const uint16_t* background, uint16_t* work,
                               int64_t w, int64_t h)
{
    KH_FOR_PIXELS(x, y, w, h)
    {
        const int64_t i = y * w + x;
        work[i] = frame[i] > background[i] ? uint16_t(frame[i] - background[i]) : uint16_t(0);
    }
}

__global__ void kernelMaxima(const uint16_t* work, const float* threshold, int64_t w, int64_t h,
                             unsigned int* count, unsigned long long* pixels, float* m0, float* m2,
                             unsigned int capacity)
{
    KH_FOR_PIXELS(x, y, w, h)
    {
        if (y < locate::kMaxHalfRows || y >= h - locate::kMaxHalfRows || x < locate::kMaxHalfCols ||
            x >= w - locate::kMaxHalfCols)
            continue;
        const uint16_t* rows[5];
        for (int d = 0; d < 5; ++d)
            rows[d] = work + (y - 2 + d) * w;
        if (!(static_cast<float>(rows[2][x]) > threshold[y * w + x]) || !locate::winsWindow(rows, x))
            continue;
        const unsigned int slot = atomicAdd(count, 1u);
        if (slot >= capacity)
            continue;
        pixels[slot] = static_cast<unsigned long long>(y * w + x);
        locate::moments(rows, static_cast<int>(x), m0[slot], m2[slot]);
    }
}

class CudaTracker final : public GpuTracker {
public:
    explicit CudaTracker(const GpuSetup& setup)
        : m_setup(setup),
          m_device(createCudaLinkDevice()),
          m_linker(*m_device, setup.capacity, setup.gaps, setup.radius)
    {
        if (!setup.locating)
            return;
        const char* where = "kh::ImageAnalysis::Initialize_GPU";
        const int64_t w = setup.width, h = setup.height;
        const std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        m_frame.allocate(pixels, where);
        m_minimum.allocate(pixels, where);
        m_background.allocate(pixels, where);
        m_threshold.allocate(pixels, where);
        m_work.allocate(pixels, where);
        // no two maxima share a 4 x 3 block, so this many can never overflow
        m_listCapacity = static_cast<std::size_t>((w + 3) / 4) * static_cast<std::size_t>((h + 2) / 3);
        m_pixels.allocate(m_listCapacity, where);
        m_m0.allocate(m_listCapacity, where);
        m_m2.allocate(m_listCapacity, where);
        m_count.allocate(1, where);

        const dim3 block(32, 16);
        m_grid = dim3(static_cast<unsigned>(std::min<int64_t>((w - 1) / 32 + 1, 65535)),
                      static_cast<unsigned>(std::min<int64_t>((h - 1) / 16 + 1, 65535)));
        m_block = block;
        m_k = static_cast<int>(std::floor(std::pow(locate::kThresholdConstant, 0.06) * 1.125));
        m_z16 = locate::zFactor16(std::max(setup.backgroundFrames, 1));
        m_q16 = locate::qFactor16(setup.thresholdFactor);

        const char* configure = "kh::ImageAnalysis::Configure_GPU";
        KH_CUDA_CHECK(cudaMemset(m_background.data(), 0, pixels * sizeof(uint16_t)), configure);
        std::vector<uint16_t> full(pixels > 0 ? std::min<std::size_t>(pixels, 1 << 20) : 1, 65535);
        fillDevice(m_minimum.data(), pixels, full, configure);
        if (setup.backgroundFrames == 0) {
            // no background is ever estimated: a constant threshold from the first frame on
            const float constant = ((setup.thresholdFactor * 2.1f) + 5.0f) + 4.2f;
            std::vector<float> thresholds(std::min<std::size_t>(pixels, 1 << 20), constant);
            fillDevice(m_threshold.data(), pixels, thresholds, configure);
            m_ready = true;
        } else {
            std::vector<float> thresholds(std::min<std::size_t>(pixels, 1 << 20), 65535.0f);
            fillDevice(m_threshold.data(), pixels, thresholds, configure);
        }
    }

    int32_t findParticles(const uint16_t* frame, kh_track_event* events) override
    {
        const int64_t w = m_setup.width, h = m_setup.height;
        const std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        const char* where = "kh::TrackingAlgorithm::FindParticles_GPU";
        KH_CUDA_CHECK(cudaMemcpy(m_frame.data(), frame, pixels * sizeof(uint16_t), cudaMemcpyHostToDevice), where);
        if (m_setup.backgroundFrames > 0) {
            kernelMinimum<<<m_grid, m_block>>>(m_frame.data(), m_minimum.data(), w, h);
            KH_CUDA_CHECK(cudaGetLastError(), "kh::BackgroundEstimate_GPU");
            if (++m_minimumCount == m_setup.backgroundFrames) {
                kernelBackground<<<m_grid, m_block>>>(m_minimum.data(), m_background.data(),
                                                      m_threshold.data(), w, h, m_k, m_z16, m_q16);
                KH_CUDA_CHECK(cudaGetLastError(), "kh::ImageAnalysis::SetupImage_GPU");
                m_minimumCount = 0;
                m_ready = true;
            }
        }
        ++m_frames;
        if (!m_ready)
            return 0;
        kernelSubtract<<<m_grid, m_block>>>(m_frame.data(), m_background.data(), m_work.data(), w, h);
        KH_CUDA_CHECK(cudaGetLastError(), "kh::ImageAnalysis::SetupImage_GPU");
        KH_CUDA_CHECK(cudaMemset(m_count.data(), 0, sizeof(unsigned int)), where);
        kernelMaxima<<<m_grid, m_block>>>(m_work.data(), m_threshold.data(), w, h, m_count.data(),
                                          m_pixels.data(), m_m0.data(), m_m2.data(),
                                          static_cast<unsigned int>(m_listCapacity));
        KH_CUDA_CHECK(cudaGetLastError(), "kh::ImageAnalysis::FindLocalMaxima_GPU");

        unsigned int found = 0;
        KH_CUDA_CHECK(cudaMemcpy(&found, m_count.data(), sizeof found, cudaMemcpyDeviceToHost), where);
        const std::size_t n = std::min<std::size_t>(found, m_listCapacity);
        m_hostPixels.resize(n);
        m_hostM0.resize(n);
        m_hostM2.resize(n);
        if (n > 0) {
            KH_CUDA_CHECK(cudaMemcpy(m_hostPixels.data(), m_pixels.data(), n * sizeof(unsigned long long),
                                     cudaMemcpyDeviceToHost), where);
            KH_CUDA_CHECK(cudaMemcpy(m_hostM0.data(), m_m0.data(), n * sizeof(float), cudaMemcpyDeviceToHost), where);
            KH_CUDA_CHECK(cudaMemcpy(m_hostM2.data(), m_m2.data(), n * sizeof(float), cudaMemcpyDeviceToHost), where);
        }
        m_order.resize(n);
        std::iota(m_order.begin(), m_order.end(), std::size_t(0));
        std::sort(m_order.begin(), m_order.end(),
                  [&](std::size_t a, std::size_t b) { return m_hostPixels[a] < m_hostPixels[b]; });
        const int32_t count = static_cast<int32_t>(std::min<std::size_t>(n, static_cast<std::size_t>(m_setup.capacity)));
        for (int32_t i = 0; i < count; ++i) {
            const std::size_t s = m_order[static_cast<std::size_t>(i)];
            kh_track_event e{};
            e.index = static_cast<int16_t>(i);
            e.x = static_cast<double>(m_hostPixels[s] % static_cast<unsigned long long>(w));
            e.y = static_cast<double>(m_hostPixels[s] / static_cast<unsigned long long>(w));
            e.m0 = m_hostM0[s];
            e.m2 = m_hostM2[s];
            events[i] = e;
        }
        return count;
    }

    int32_t linkParticles(const kh_track_event* events, int32_t count, kh_track_particle* out) override
    {
        return m_linker.linkParticles(events, count, out);
    }

    void reset() override { m_linker.reset(); }

    void release() override
    {
        const char* where = "kh::TrackingAlgorithm::Release_GPU";
        m_linker.release();
        m_frame.release(where);
        m_minimum.release(where);
        m_background.release(where);
        m_threshold.release(where);
        m_work.release(where);
        m_pixels.release(where);
        m_m0.release(where);
        m_m2.release(where);
        m_count.release(where);
    }

private:
    template <typename T>
    static void fillDevice(T* device, std::size_t n, const std::vector<T>& pattern, const char* where)
    {
        for (std::size_t done = 0; done < n; done += pattern.size()) {
            const std::size_t chunk = std::min(pattern.size(), n - done);
            KH_CUDA_CHECK(cudaMemcpy(device + done, pattern.data(), chunk * sizeof(T), cudaMemcpyHostToDevice), where);
        }
    }

    GpuSetup m_setup;
    std::unique_ptr<LinkDevice> m_device;
    GpuLinking m_linker;
    DeviceBuffer<uint16_t> m_frame, m_minimum, m_background, m_work;
    DeviceBuffer<float> m_threshold, m_m0, m_m2;
    DeviceBuffer<unsigned long long> m_pixels;
    DeviceBuffer<unsigned int> m_count;
    std::size_t m_listCapacity = 0;
    dim3 m_grid, m_block;
    int m_k = 1, m_z16 = 36;
    int64_t m_q16 = 16;
    int32_t m_minimumCount = 0;
    bool m_ready = false;
    int64_t m_frames = 0;
    std::vector<unsigned long long> m_hostPixels;
    std::vector<float> m_hostM0, m_hostM2;
    std::vector<std::size_t> m_order;
};

}  // namespace

std::unique_ptr<GpuTracker> createGpuTracker(const GpuSetup& setup)
{
    return std::make_unique<CudaTracker>(setup);
}

}  // namespace kh
