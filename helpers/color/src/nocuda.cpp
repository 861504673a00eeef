// Built without the CUDA toolkit: the runtime reports no device and the GPU debayer is never
// reached (contexts only take the GPU path with a usable device).
#include "gpu.h"

#include "kh/exception.h"

namespace khc {

namespace {

class NoCudaRuntime final : public CudaRuntime {
public:
    int getDeviceCount(int* count) override
    {
        *count = 0;
        return kNoDevice;
    }
    int runtimeVersion(int* version) override
    {
        *version = 0;
        return kNoDevice;
    }
    int setDevice(int) override { return kNoDevice; }
    int deviceProperties(int, GpuDeviceInfo*) override { return kNoDevice; }
    bool kernelsRunnable() override { return false; }
    const char* errorText(int) override { return "no CUDA device is available"; }
    int deviceAlloc(void**, std::size_t) override { return kNoDevice; }
    int deviceFree(void*) override { return kNoDevice; }
    int hostAllocPinned(void**, std::size_t) override { return kNoDevice; }
    int hostFreePinned(void*) override { return kNoDevice; }
    int streamCreate(void**) override { return kNoDevice; }
    int streamDestroy(void*) override { return kNoDevice; }
};

} // namespace

CudaRuntime& systemCudaRuntime()
{
    static NoCudaRuntime rt;
    return rt;
}

void debayerFastGpu(CudaContext&, const void*, void*, uint32_t, uint32_t, unsigned, int, unsigned, const float*,
                    uint32_t)
{
    throw kh::ExceptionNotSupported("Operation not supported.");
}

} // namespace khc
