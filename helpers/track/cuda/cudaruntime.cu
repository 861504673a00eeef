// The CUDA runtime behind the detection seam.
#include "gpudetect.h"

#include <cuda_runtime.h>

namespace kh {

namespace {
int deviceCount(int* count) { return static_cast<int>(cudaGetDeviceCount(count)); }
int runtimeVersion(int* version) { return static_cast<int>(cudaRuntimeGetVersion(version)); }
int setDevice(int device) { return static_cast<int>(cudaSetDevice(device)); }
int deviceProperties(int device, std::string* name, int* major, int* minor)
{
    cudaDeviceProp prop;
    const cudaError_t result = cudaGetDeviceProperties(&prop, device);
    if (result == cudaSuccess) {
        *name = prop.name;
        *major = prop.major;
        *minor = prop.minor;
    }
    return static_cast<int>(result);
}
const char* errorString(int code) { return cudaGetErrorString(static_cast<cudaError_t>(code)); }
}  // namespace

const CudaRuntimeCalls& cudaRuntimeCalls()
{
    static_assert(cudaErrorInsufficientDriver == kCudaErrorInsufficientDriver, "runtime numbering");
    static_assert(cudaErrorNoDevice == kCudaErrorNoDevice, "runtime numbering");
    static const CudaRuntimeCalls calls{deviceCount, runtimeVersion, setDevice, deviceProperties, errorString};
    return calls;
}

}  // namespace kh
