#include "gpu.h"
#include "colorcore.h"

#include "kh/cudacheck.h"
#include "kh/log.h"

#include <atomic>

namespace khc {

namespace {
std::atomic<CudaRuntime*> g_runtime{nullptr};
}

CudaRuntime& cudaRuntime()
{
    CudaRuntime* rt = g_runtime.load();
    return rt ? *rt : systemCudaRuntime();
}

void setCudaRuntime(CudaRuntime* runtime) { g_runtime.store(runtime); }

void cudaCheck(CudaRuntime& rt, const char* function, unsigned line, int result)
{
    if (result == CudaRuntime::kSuccess)
        return;
    const std::string text = kh::cudaErrorText(result, rt.errorText(result), function, line);
    tq::Log::Instance()->PrintMessage("%s", text.c_str());
    kh::throwCudaError(text);
}

bool detectUsableGpu(CudaRuntime& rt, const char* fn)
{
    auto log = tq::Log::Instance();
    try {
        int count = 0;
        const int rc = rt.getDeviceCount(&count);
        if (rc == CudaRuntime::kInsufficientDriver) {
            log->PrintMessage("%s: GPU driver version is insufficient for CUDA", fn);
            return false;
        }
        if (rc == CudaRuntime::kNoDevice) {
            log->PrintMessage("%s: No usable and enabled GPU found", fn);
            return false;
        }
        if (rc != CudaRuntime::kSuccess) {
            log->PrintMessage("%s: cudaGetDeviceCount error code %d - %s", fn, rc, rt.errorText(rc));
            return false;
        }
        if (count == 0) {
            log->PrintMessage("%s: There are no available devices that support CUDA", fn);
            return false;
        }
        log->PrintMessage("%s: Detected %d CUDA capable device(s)", fn, count);
        int v = 0;
        cudaCheck(rt, fn, __LINE__, rt.runtimeVersion(&v));
        log->PrintMessage("%s: Using CUDA runtime version %d.%d (%d)", fn, v / 1000, (v % 1000) / 100, v);
        int best = -1;
        GpuDeviceInfo bestInfo;
        for (int d = 0; d < count; ++d) {
            GpuDeviceInfo info;
            cudaCheck(rt, fn, __LINE__, rt.setDevice(d));
            cudaCheck(rt, fn, __LINE__, rt.deviceProperties(d, &info));
            if (best < 0 || info.major > bestInfo.major) {
                best = d;
                bestInfo = info;
            }
        }
        cudaCheck(rt, fn, __LINE__, rt.setDevice(best));
        log->PrintMessage("%s: Using CUDA device: %s", fn, bestInfo.name.c_str());
        log->PrintMessage("%s: Device compute capability: %d.%d", fn, bestInfo.major, bestInfo.minor);
        // A device older than the kernels were compiled for cannot run them either.
        if (bestInfo.major >= 2 && rt.kernelsRunnable())
            return true;
        log->PrintMessage("%s: WARNING: Your CUDA device must support at least 2.0 compute capability, "
                          "falling back to processing on CPU",
                          fn);
        return false;
    } catch (...) {
        return false;
    }
}

bool hasUsableGpu()
{
    static const bool usable = detectUsableGpu(systemCudaRuntime(), "kh::DetectUsableGpu");
    return usable;
}

CudaContext::CudaContext(CudaRuntime& rt, bool usableGpu) : m_rt(rt)
{
    if (!usableGpu)
        tq::Log::Instance()->PrintMessage("ASSERT(m_hasUsableGpu) - %s:%u - %s", "CudaContext", unsigned(__LINE__),
                                          "CudaContext class can be used for GPU processing only");
    AllocateStreams();
}

CudaContext::~CudaContext() { release(); }

void CudaContext::release() noexcept
{
    if (m_devRaw)
        m_rt.deviceFree(m_devRaw);
    if (m_devColor)
        m_rt.deviceFree(m_devColor);
    m_devRaw = m_devColor = nullptr;
    for (void*& s : m_streams) {
        if (s)
            m_rt.streamDestroy(s);
        s = nullptr;
    }
}

void CudaContext::AllocateStreams()
{
    try {
        for (void*& s : m_streams)
            cudaCheck(m_rt, "CudaContext::AllocateStreams", __LINE__, m_rt.streamCreate(&s));
    } catch (...) {
        release();
        throw;
    }
}

void CudaContext::AllocateDevBuffers(uint32_t width, uint32_t height, uint8_t channels)
{
    const std::size_t pixels = checkedMul(width, height);
    if (m_capacity >= pixels && m_channels >= channels)
        return;
    if (m_devRaw)
        m_rt.deviceFree(m_devRaw);
    if (m_devColor)
        m_rt.deviceFree(m_devColor);
    m_devRaw = m_devColor = nullptr;
    m_capacity = 0;
    m_channels = 0;
    cudaCheck(m_rt, "CudaContext::AllocateDevBuffers", __LINE__, m_rt.deviceAlloc(&m_devRaw, checkedMul(pixels, 2)));
    cudaCheck(m_rt, "CudaContext::AllocateDevBuffers", __LINE__,
              m_rt.deviceAlloc(&m_devColor, checkedMul(checkedMul(pixels, channels), 2)));
    m_capacity = static_cast<uint32_t>(pixels);
    m_channels = channels;
}

} // namespace khc
