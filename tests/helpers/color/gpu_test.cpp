// GPU detection and the GPU context's buffers, driven by a scripted runtime (no device here).
#include "context.h"
#include "gpu.h"

#include "kh/exception.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using khc::CudaRuntime;
using khc::GpuDeviceInfo;

class FakeRuntime : public CudaRuntime {
public:
    int countResult = kSuccess;
    std::vector<GpuDeviceInfo> devices;
    bool runnable = true;
    int failAlloc = kSuccess;
    int selected = -1;
    std::map<void*, std::size_t> allocations;
    int streams = 0;
    std::uintptr_t tokens = 0;
    std::vector<std::size_t> allocSizes;

    int getDeviceCount(int* count) override
    {
        *count = int(devices.size());
        return countResult;
    }
    int runtimeVersion(int* v) override
    {
        *v = 13000;
        return kSuccess;
    }
    int setDevice(int d) override
    {
        selected = d;
        return kSuccess;
    }
    int deviceProperties(int d, GpuDeviceInfo* info) override
    {
        *info = devices[std::size_t(d)];
        return kSuccess;
    }
    bool kernelsRunnable() override { return runnable; }
    const char* errorText(int) override { return "out of memory"; }
    int deviceAlloc(void** p, std::size_t bytes) override
    {
        if (failAlloc != kSuccess)
            return failAlloc;
        // Tokens, not memory: sizes up to the largest sensor are recorded, never allocated.
        *p = reinterpret_cast<void*>(std::uintptr_t(0x1000) * ++tokens);
        allocations[*p] = bytes;
        allocSizes.push_back(bytes);
        return kSuccess;
    }
    int deviceFree(void* p) override
    {
        allocations.erase(p);
        return kSuccess;
    }
    int hostAllocPinned(void**, std::size_t) override { return 2; }
    int hostFreePinned(void*) override { return kSuccess; }
    int streamCreate(void** s) override
    {
        *s = reinterpret_cast<void*>(std::uintptr_t(++streams));
        return kSuccess;
    }
    int streamDestroy(void*) override
    {
        --streams;
        return kSuccess;
    }
};

TEST(KhColorGpu, DetectionOutcomes)
{
    const struct {
        const char* name;
        int countResult;
        std::vector<GpuDeviceInfo> devices;
        bool runnable;
        bool usable;
        int selected;
    } cases[] = {
        {"insufficient driver", CudaRuntime::kInsufficientDriver, {}, true, false, -1},
        {"no device", CudaRuntime::kNoDevice, {}, true, false, -1},
        {"other error", 999, {}, true, false, -1},
        {"zero devices", CudaRuntime::kSuccess, {}, true, false, -1},
        {"compute 1.x", CudaRuntime::kSuccess, {{"old", 1, 3}}, true, false, 0},
        {"device the kernels cannot run on", CudaRuntime::kSuccess, {{"mid", 6, 1}}, false, false, 0},
        {"one good device", CudaRuntime::kSuccess, {{"good", 8, 6}}, true, true, 0},
        {"highest major wins, first on a tie", CudaRuntime::kSuccess, {{"a", 7, 5}, {"b", 8, 6}, {"c", 8, 9}}, true,
         true, 1},
    };
    for (const auto& c : cases) {
        FakeRuntime rt;
        rt.countResult = c.countResult;
        rt.devices = c.devices;
        rt.runnable = c.runnable;
        EXPECT_EQ(khc::detectUsableGpu(rt, "test"), c.usable) << c.name;
        EXPECT_EQ(rt.selected, c.selected) << c.name;
    }
}

TEST(KhColorGpu, NoDeviceOnThisMachine)
{
    EXPECT_FALSE(khc::hasUsableGpu());
}

TEST(KhColorGpu, DeviceBuffersOnlyGrow)
{
    FakeRuntime rt;
    {
        khc::CudaContext gpu(rt, true);
        EXPECT_EQ(rt.streams, khc::CudaContext::kStreams);
        gpu.AllocateDevBuffers(2048, 2048, 4);
        EXPECT_EQ(gpu.capacity(), 2048u * 2048u);
        EXPECT_EQ(gpu.channels(), 4);
        ASSERT_EQ(rt.allocSizes.size(), 2u);
        EXPECT_EQ(rt.allocSizes[0], 2048u * 2048u * 2);
        EXPECT_EQ(rt.allocSizes[1], 2048u * 2048u * 4 * 2);
        gpu.AllocateDevBuffers(1024, 1024, 4);
        EXPECT_EQ(gpu.capacity(), 2048u * 2048u);
        EXPECT_EQ(rt.allocSizes.size(), 2u) << "smaller frames reuse the buffers";
        gpu.AllocateDevBuffers(4096, 4096, 4);
        EXPECT_EQ(gpu.capacity(), 4096u * 4096u);
        EXPECT_EQ(rt.allocations.size(), 2u) << "old buffers freed on growth";
        // The largest sensor: sizes computed in 64 bits.
        gpu.AllocateDevBuffers(65535, 65535, 4);
        EXPECT_EQ(rt.allocSizes.back(), std::size_t(65535) * 65535 * 4 * 2);
    }
    EXPECT_TRUE(rt.allocations.empty());
    EXPECT_EQ(rt.streams, 0);
}

TEST(KhColorGpu, FailedAllocationRaisesTheCudaErrorText)
{
    FakeRuntime rt;
    khc::CudaContext gpu(rt, true);
    rt.failAlloc = 2;
    try {
        gpu.AllocateDevBuffers(16, 16, 4);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("CUDA error 2: out of memory, in CudaContext::AllocateDevBuffers:", 0), 0u) << text;
    }
}

// A context on a GPU bounds regions by its sensor size unless forceCpu is set.
TEST(KhColorGpu, RegionsBoundBySensorSize)
{
    FakeRuntime rt;
    kh_color_context* ctx = khc::createContext(&rt);
    khc::ContextPrivate& priv = khc::validateContext(ctx);
    const rgn_type r{0, 15, 1, 0, 7, 1};
    try {
        khc::validateRegion(priv, &r);
        FAIL();
    } catch (const kh::ExceptionArgument& e) {
        EXPECT_STREQ(e.what(), "Given width is greater than sensor size.");
    }
    ctx->sensorWidth = 16;
    ctx->sensorHeight = 4;
    khc::applyChanges(ctx);
    EXPECT_GE(priv.gpu->capacity(), 64u);
    try {
        khc::validateRegion(priv, &r);
        FAIL();
    } catch (const kh::ExceptionArgument& e) {
        EXPECT_STREQ(e.what(), "Given height is greater than sensor size.");
    }
    ctx->forceCpu = 1;
    khc::applyChanges(ctx);
    EXPECT_EQ(khc::validateRegion(priv, &r).width, 16u);
    khc::releaseContext(ctx);
    EXPECT_TRUE(rt.allocations.empty());
}

} // namespace
