// The CUDA runtime behind the seam and the GPU fast debayer. One file keeps compile time short.
#include "gpu.h"
#include "pixelrules.h"

#include <cuda_runtime.h>

#include <algorithm>

namespace khc {

namespace {

constexpr int kBlockCells = 64;

struct Out {
    int off[4]; // r, g, b, a (a < 0: none); planar: plane indices
    int step;
    bool planar;
    std::size_t plane;
};

template <typename T>
__device__ void putPixel(T* out, const Out& o, std::size_t p, uint32_t r, uint32_t g, uint32_t b, uint32_t alpha)
{
    const uint32_t v[4] = {r, g, b, alpha};
    for (int c = 0; c < 4; ++c) {
        if (o.off[c] < 0)
            continue;
        const std::size_t i = o.planar ? std::size_t(o.off[c]) * o.plane + p : p * o.step + o.off[c];
        out[i] = static_cast<T>(v[c]);
    }
}

// One thread per 2x2 cell of the band starting at row `first`; the block's raw tile goes through
// shared memory. At an odd right or bottom edge the missing column or row is read two back.
template <typename T>
__device__ void debayerCells(const T* raw, T* out, Out o, uint32_t w, uint32_t h, uint32_t first, uint32_t last,
                             unsigned pattern, bool wb, float sr, float sg, float sb, float top, uint32_t alpha)
{
    __shared__ T tile[2][2 * kBlockCells];
    const uint32_t cx = blockIdx.x * kBlockCells + threadIdx.x;
    const uint32_t x0 = 2 * cx;
    const uint32_t y0 = first + 2 * blockIdx.y;
    const bool inside = x0 + 1 < w && y0 + 1 < h && y0 < last;
    if (inside) {
        tile[0][2 * threadIdx.x] = raw[std::size_t(y0) * w + x0];
        tile[0][2 * threadIdx.x + 1] = raw[std::size_t(y0) * w + x0 + 1];
        tile[1][2 * threadIdx.x] = raw[std::size_t(y0 + 1) * w + x0];
        tile[1][2 * threadIdx.x + 1] = raw[std::size_t(y0 + 1) * w + x0 + 1];
    }
    __syncthreads();
    if (x0 >= w || y0 >= last)
        return;
    Rgb c;
    const uint32_t bx = x0 + 1 < w ? x0 : w - 2;
    const uint32_t by = y0 + 1 < h ? y0 : h - 2;
    if (inside) {
        c = fastCell(pattern, tile[0][2 * threadIdx.x], tile[0][2 * threadIdx.x + 1], tile[1][2 * threadIdx.x],
                     tile[1][2 * threadIdx.x + 1]);
    } else {
        const T* a = raw + std::size_t(by) * w + bx;
        c = fastCell(effectivePattern(pattern, bx & 1, by & 1), a[0], a[1], a[w], a[w + 1]);
    }
    if (wb) {
        c.r = scaleRounded(c.r, sr, top);
        c.g = scaleRounded(c.g, sg, top);
        c.b = scaleRounded(c.b, sb, top);
    }
    // Edge blocks borrow a column or row, but write only the pixels of their own cell.
    for (uint32_t y = y0; y < y0 + 2 && y < last; ++y)
        for (uint32_t x = x0; x < x0 + 2 && x < w; ++x)
            putPixel(out, o, std::size_t(y) * w + x, c.r, c.g, c.b, alpha);
}

} // namespace

// Greens on the rising diagonal of the cell (patterns 2 and 5) or the falling one (3 and 4);
// interleaved or planar output. The rule itself is the same fast rule.
template <typename T>
__global__ void _DebayerSlash_GPU(const T* raw, T* out, Out o, uint32_t w, uint32_t h, uint32_t first, uint32_t last,
                                  unsigned pattern, bool wb, float sr, float sg, float sb, float top, uint32_t alpha)
{
    debayerCells(raw, out, o, w, h, first, last, pattern, wb, sr, sg, sb, top, alpha);
}
template <typename T>
__global__ void _DebayerBackslash_GPU(const T* raw, T* out, Out o, uint32_t w, uint32_t h, uint32_t first,
                                      uint32_t last, unsigned pattern, bool wb, float sr, float sg, float sb,
                                      float top, uint32_t alpha)
{
    debayerCells(raw, out, o, w, h, first, last, pattern, wb, sr, sg, sb, top, alpha);
}
template <typename T>
__global__ void _DebayerSlashPlanar_GPU(const T* raw, T* out, Out o, uint32_t w, uint32_t h, uint32_t first,
                                        uint32_t last, unsigned pattern, bool wb, float sr, float sg, float sb,
                                        float top, uint32_t alpha)
{
    debayerCells(raw, out, o, w, h, first, last, pattern, wb, sr, sg, sb, top, alpha);
}
template <typename T>
__global__ void _DebayerBackslashPlanar_GPU(const T* raw, T* out, Out o, uint32_t w, uint32_t h, uint32_t first,
                                            uint32_t last, unsigned pattern, bool wb, float sr, float sg, float sb,
                                            float top, uint32_t alpha)
{
    debayerCells(raw, out, o, w, h, first, last, pattern, wb, sr, sg, sb, top, alpha);
}

namespace {

class SystemCudaRuntime final : public CudaRuntime {
public:
    int getDeviceCount(int* count) override { return cudaGetDeviceCount(count); }
    int runtimeVersion(int* version) override { return cudaRuntimeGetVersion(version); }
    int setDevice(int device) override { return cudaSetDevice(device); }
    int deviceProperties(int device, GpuDeviceInfo* info) override
    {
        cudaDeviceProp prop{};
        const cudaError_t rc = cudaGetDeviceProperties(&prop, device);
        if (rc == cudaSuccess) {
            info->name = prop.name;
            info->major = prop.major;
            info->minor = prop.minor;
        }
        return rc;
    }
    bool kernelsRunnable() override
    {
        cudaFuncAttributes attr{};
        return cudaFuncGetAttributes(&attr, _DebayerSlash_GPU<uint16_t>) == cudaSuccess;
    }
    const char* errorText(int code) override { return cudaGetErrorString(static_cast<cudaError_t>(code)); }
    int deviceAlloc(void** p, std::size_t bytes) override { return cudaMalloc(p, bytes); }
    int deviceFree(void* p) override { return cudaFree(p); }
    int hostAllocPinned(void** p, std::size_t bytes) override { return cudaMallocHost(p, bytes); }
    int hostFreePinned(void* p) override { return cudaFreeHost(p); }
    int streamCreate(void** stream) override
    {
        cudaStream_t s = nullptr;
        const cudaError_t rc = cudaStreamCreate(&s);
        *stream = s;
        return rc;
    }
    int streamDestroy(void* stream) override { return cudaStreamDestroy(static_cast<cudaStream_t>(stream)); }
};

template <typename T>
void runBandsGpu(CudaContext& gpu, const T* raw, T* color, uint32_t w, uint32_t h, unsigned pattern, int format,
                 unsigned bitDepth, const float* scales, uint32_t alpha)
{
    CudaRuntime& rt = cudaRuntime();
    const char* fn = "_DebayerFastAndWb_GPU";
    const Layout l = formatLayout(format);
    Out o{{l.r, l.g, l.b, l.a}, l.step, l.planar, std::size_t(w) * h};
    const std::size_t pixels = std::size_t(w) * h;
    uint32_t bandRows = h > 7 ? ((h / 2 + 3) / 4) * 2 : 2;
    if (h < 2)
        bandRows = h;
    uint32_t bands = (std::max<uint32_t>(h - 1, 1) + bandRows - 1) / bandRows;
    if (pixels <= 4095) {
        bands = 1;
        bandRows = h;
    }
    T* devRaw = static_cast<T*>(gpu.devRaw());
    T* devColor = static_cast<T*>(gpu.devColor());
    const float top = float((1u << bitDepth) - 1u);
    const bool wb = scales != nullptr;
    const float sr = wb ? scales[0] : 1.0f, sg = wb ? scales[1] : 1.0f, sb = wb ? scales[2] : 1.0f;
    const bool slash = pattern == 2 || pattern == 5;
    for (uint32_t i = 0; i < bands; ++i) {
        const uint32_t first = i * bandRows;
        const uint32_t last = i + 1 == bands ? h : first + bandRows;
        cudaStream_t s = static_cast<cudaStream_t>(gpu.stream(int(i % CudaContext::kStreams)));
        const std::size_t r0 = std::size_t(first) * w, rows = std::size_t(last - first) * w;
        cudaCheck(rt, fn, __LINE__,
                  cudaMemcpyAsync(devRaw + r0, raw + r0, rows * sizeof(T), cudaMemcpyHostToDevice, s));
        const dim3 block(kBlockCells, 1);
        const dim3 grid(((w + 1) / 2 + kBlockCells - 1) / kBlockCells, (last - first + 1) / 2);
        if (l.planar && slash)
            _DebayerSlashPlanar_GPU<T><<<grid, block, 0, s>>>(devRaw, devColor, o, w, h, first, last, pattern, wb, sr,
                                                              sg, sb, top, alpha);
        else if (l.planar)
            _DebayerBackslashPlanar_GPU<T><<<grid, block, 0, s>>>(devRaw, devColor, o, w, h, first, last, pattern,
                                                                  wb, sr, sg, sb, top, alpha);
        else if (slash)
            _DebayerSlash_GPU<T><<<grid, block, 0, s>>>(devRaw, devColor, o, w, h, first, last, pattern, wb, sr, sg,
                                                        sb, top, alpha);
        else
            _DebayerBackslash_GPU<T><<<grid, block, 0, s>>>(devRaw, devColor, o, w, h, first, last, pattern, wb, sr,
                                                            sg, sb, top, alpha);
        cudaCheck(rt, fn, __LINE__, cudaGetLastError());
        if (l.planar) {
            for (int c = 0; c < 3; ++c) {
                const std::size_t at = std::size_t(c) * pixels + r0;
                cudaCheck(rt, fn, __LINE__,
                          cudaMemcpyAsync(color + at, devColor + at, rows * sizeof(T), cudaMemcpyDeviceToHost, s));
            }
        } else {
            const std::size_t at = r0 * l.step;
            cudaCheck(rt, fn, __LINE__,
                      cudaMemcpyAsync(color + at, devColor + at, rows * l.step * sizeof(T), cudaMemcpyDeviceToHost,
                                      s));
        }
    }
    cudaCheck(rt, fn, __LINE__, cudaDeviceSynchronize());
}

} // namespace

CudaRuntime& systemCudaRuntime()
{
    static SystemCudaRuntime rt;
    return rt;
}

void debayerFastGpu(CudaContext& gpu, const void* raw, void* color, uint32_t width, uint32_t height,
                    unsigned pattern, int format, unsigned bitDepth, const float* scales, uint32_t alpha)
{
    if (formatLayout(format).wide)
        runBandsGpu(gpu, static_cast<const uint16_t*>(raw), static_cast<uint16_t*>(color), width, height, pattern,
                    format, bitDepth, scales, alpha);
    else
        runBandsGpu(gpu, static_cast<const uint8_t*>(raw), static_cast<uint8_t*>(color), width, height, pattern,
                    format, bitDepth, scales, alpha);
}

} // namespace khc
