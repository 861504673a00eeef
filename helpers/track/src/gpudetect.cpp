#include "gpudetect.h"

#include "kh/cudacheck.h"

#include <cstdio>
#include <exception>

namespace kh {

namespace {

constexpr const char* kFunction = "DetectUsableGpu";

template <typename... Args>
std::string format(const char* pattern, Args... args)
{
    char text[512];
    std::snprintf(text, sizeof text, pattern, kFunction, args...);
    return text;
}

void check(const CudaRuntimeCalls& calls, int result, unsigned line)
{
    if (result != 0)
        throwCudaError(cudaErrorText(result, calls.getErrorString(result), kFunction, line));
}

}  // namespace

GpuDetection detectGpu(const CudaRuntimeCalls& calls)
{
    GpuDetection found;
    try {
        int count = 0;
        const int result = calls.getDeviceCount(&count);
        if (result == kCudaErrorInsufficientDriver) {
            found.lines.push_back(format("%s: GPU driver version is insufficient for CUDA"));
            return found;
        }
        if (result == kCudaErrorNoDevice) {
            found.lines.push_back(format("%s: No usable and enabled GPU found"));
            return found;
        }
        if (result != 0) {
            found.lines.push_back(format("%s: cudaGetDeviceCount error code %d - %s", result,
                                         calls.getErrorString(result)));
            return found;
        }
        if (count == 0) {
            found.lines.push_back(format("%s: There are no available devices that support CUDA"));
            return found;
        }
        found.lines.push_back(format("%s: Detected %d CUDA capable device(s)", count));
        int version = 0;
        check(calls, calls.runtimeGetVersion(&version), __LINE__);
        found.lines.push_back(format("%s: Using CUDA runtime version %d.%d (%d)", version / 1000,
                                     (version % 1000) / 100, version));
        int bestDevice = -1, bestMajor = -1, bestMinor = 0;
        std::string bestName;
        for (int d = 0; d < count; ++d) {
            check(calls, calls.setDevice(d), __LINE__);
            std::string name;
            int major = 0, minor = 0;
            check(calls, calls.getDeviceProperties(d, &name, &major, &minor), __LINE__);
            if (major > bestMajor) {
                bestDevice = d;
                bestMajor = major;
                bestMinor = minor;
                bestName = name;
            }
        }
        check(calls, calls.setDevice(bestDevice), __LINE__);
        found.lines.push_back(format("%s: Using CUDA device: %s", bestName.c_str()));
        found.lines.push_back(format("%s: Device compute capability: %d.%d", bestMajor, bestMinor));
        if (bestMajor < 2) {
            found.lines.push_back(format("%s: WARNING: Your CUDA device must support at least 2.0 "
                                         "compute capability, falling back to processing on CPU"));
            return found;
        }
        found.usable = true;
        found.device = bestDevice;
    } catch (const std::exception& e) {
        found.lines.push_back(e.what());
        found.usable = false;
    }
    return found;
}

bool hasUsableGpu()
{
    static const bool usable = detectGpu(cudaRuntimeCalls()).usable;
    return usable;
}

}  // namespace kh
