#pragma once

#include <string>
#include <vector>

namespace kh {

// The few CUDA runtime calls detection makes, behind a seam so a fake runtime can stand in.
// Results are the runtime's own error numbers (0 success).
struct CudaRuntimeCalls {
    int (*getDeviceCount)(int* count);
    int (*runtimeGetVersion)(int* version);
    int (*setDevice)(int device);
    int (*getDeviceProperties)(int device, std::string* name, int* major, int* minor);
    const char* (*getErrorString)(int code);
};

constexpr int kCudaErrorInsufficientDriver = 35;
constexpr int kCudaErrorNoDevice = 100;

struct GpuDetection {
    bool usable = false;
    int device = -1;
    std::vector<std::string> lines;  // what detection found, in order
};

// Chooses the device of highest compute-capability major number (the first on a tie) and
// accepts it from 2.0 up. Never throws: any failure means the CPU.
GpuDetection detectGpu(const CudaRuntimeCalls& calls);

// The real runtime when the kernels were built, otherwise a runtime without devices.
const CudaRuntimeCalls& cudaRuntimeCalls();

// Detection run once, at load.
bool hasUsableGpu();

}  // namespace kh
