// Built when the CUDA toolkit is missing: a runtime without devices, and no GPU tracker.
#include "gpudetect.h"
#include "gputracker.h"

#include "kh/exception.h"

namespace kh {

namespace {
int noDevices(int*) { return kCudaErrorNoDevice; }
int noVersion(int*) { return kCudaErrorNoDevice; }
int noDevice(int) { return kCudaErrorNoDevice; }
int noProperties(int, std::string*, int*, int*) { return kCudaErrorNoDevice; }
const char* noText(int) { return "no CUDA device"; }
}  // namespace

const CudaRuntimeCalls& cudaRuntimeCalls()
{
    static const CudaRuntimeCalls calls{noDevices, noVersion, noDevice, noProperties, noText};
    return calls;
}

std::unique_ptr<GpuTracker> createGpuTracker(const GpuSetup&)
{
    throw ExceptionNotSupported("Built without CUDA.", CodeNotSupported);
}

}  // namespace kh
