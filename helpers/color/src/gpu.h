#pragma once
// The GPU side of the colour library: the seam in front of the CUDA runtime, detection of a
// usable device, the per-context streams and device buffers, and the GPU debayer.

#include <cstddef>
#include <cstdint>
#include <string>

namespace khc {

struct GpuDeviceInfo {
    std::string name;
    int major = 0;
    int minor = 0;
};

// Runtime calls the library makes; results are CUDA result codes (0 success).
class CudaRuntime {
public:
    static constexpr int kSuccess = 0;
    static constexpr int kInsufficientDriver = 35;
    static constexpr int kNoDevice = 100; // the runtime's value since CUDA 10.1

    virtual ~CudaRuntime() = default;
    virtual int getDeviceCount(int* count) = 0;
    virtual int runtimeVersion(int* version) = 0;
    virtual int setDevice(int device) = 0;
    virtual int deviceProperties(int device, GpuDeviceInfo* info) = 0;
    // Whether the library's compiled kernels have code the current device can run.
    virtual bool kernelsRunnable() = 0;
    virtual const char* errorText(int code) = 0;
    virtual int deviceAlloc(void** p, std::size_t bytes) = 0;
    virtual int deviceFree(void* p) = 0;
    virtual int hostAllocPinned(void** p, std::size_t bytes) = 0;
    virtual int hostFreePinned(void* p) = 0;
    virtual int streamCreate(void** stream) = 0;
    virtual int streamDestroy(void* stream) = 0;
};

// The real runtime when built with CUDA, else one that reports no device.
CudaRuntime& systemCudaRuntime();
// The runtime the library uses (the system one unless a test put another in).
CudaRuntime& cudaRuntime();
void setCudaRuntime(CudaRuntime* runtime); // null restores the system runtime

// Decides whether a usable GPU exists, logging each finding under functionName.
bool detectUsableGpu(CudaRuntime& rt, const char* functionName);
// The process-wide flag: detection with the system runtime, once.
bool hasUsableGpu();

// Logs and raises the CUDA error text when result is not success.
void cudaCheck(CudaRuntime& rt, const char* function, unsigned line, int result);

class CudaContext {
public:
    static constexpr int kStreams = 4;

    CudaContext(CudaRuntime& rt, bool usableGpu);
    ~CudaContext();
    CudaContext(const CudaContext&) = delete;
    CudaContext& operator=(const CudaContext&) = delete;

    void AllocateStreams();
    // Grows the device buffers to width x height pixels of `channels` 16-bit samples; never shrinks.
    void AllocateDevBuffers(uint32_t width, uint32_t height, uint8_t channels);

    void* stream(int i) const { return m_streams[i]; }
    void* devRaw() const { return m_devRaw; }
    void* devColor() const { return m_devColor; }
    uint32_t capacity() const { return m_capacity; }
    uint8_t channels() const { return m_channels; }

private:
    void release() noexcept;

    CudaRuntime& m_rt;
    void* m_streams[kStreams] = {};
    void* m_devRaw = nullptr;
    void* m_devColor = nullptr;
    uint32_t m_capacity = 0;
    uint8_t m_channels = 0;
};

// GPU fast debayer (with white balance when scales is non-null) of a width x height frame;
// pattern is the effective one.
void debayerFastGpu(CudaContext& gpu, const void* raw, void* color, uint32_t width, uint32_t height,
                    unsigned pattern, int format, unsigned bitDepth, const float* scales, uint32_t alpha);

} // namespace khc
