// The exported C interface: argument checks in the documented order, then the core; every
// exception becomes a result code and this thread's last-error text.
#include "kestrix_helper_color.h"

#include "autoexp.h"
#include "context.h"
#include "gpu.h"

#include "kh/exception.h"
#include "kh/lasterror.h"

#include <cstdlib>
#include <new>
#include <vector>

namespace {

// What a thread that was running before the library was loaded reads.
constexpr const char* kNoError = "No error.";

// Detection runs while the library loads, before any export can.
const bool g_usableGpu = khc::hasUsableGpu();

khc::CudaRuntime* contextGpuRuntime() { return g_usableGpu ? &khc::cudaRuntime() : nullptr; }

} // namespace

using namespace khc;

extern "C" {

// Read by the NVIDIA driver of hybrid-graphics machines: run this process on the CUDA GPU.
int32_t NvOptimusEnablementCuda = 1;

int32_t kh_color_get_lib_version(uint16_t* major, uint16_t* minor, uint16_t* build)
{
    return kh::writeVersion(major, minor, build, 2, 1, 86);
}

const char* kh_color_get_error_message(uint32_t code) { return kh::colorErrorMessage(code); }

int32_t kh_color_get_last_error_message(char* buffer, uint32_t* inOutLength)
{
    return kh::copyLastError(buffer, inOutLength, kNoError, kh::CodeColorBufferTooSmall);
}

int32_t kh_color_context_create(kh_color_context** pContext)
{
    return kh::exportFrame([&] {
        if (!pContext)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer to a location for new context.");
        *pContext = createContext(contextGpuRuntime());
    });
}

void kh_color_context_release(kh_color_context** pContext)
{
    if (!pContext || !*pContext)
        return;
    // A pointer that is not a live context (released already, or never ours) is left alone.
    if (releaseContext(*pContext))
        *pContext = nullptr;
}

int32_t kh_color_context_apply_changes(kh_color_context* ctx)
{
    return kh::exportFrame([&] { applyChanges(ctx); });
}

int32_t kh_color_white_balance(kh_color_context* ctx, void* color, const rgn_type* region)
{
    return kh::exportFrame([&] {
        ContextPrivate& priv = validateContext(ctx);
        if (!color)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer to color buffer.");
        const FrameSize size = validateRegion(priv, region);
        applyTables(*priv.luts, color, int(priv.applied->rgbFormat), size.width, size.height);
    });
}

static int32_t debayerExport(kh_color_context* ctx, const void* raw, const rgn_type* region, void* color, bool wb)
{
    return kh::exportFrame([&] {
        ContextPrivate& priv = validateContext(ctx);
        if (!raw)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer to input raw buffer.");
        if (!color)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer to output color buffer.");
        const FrameSize size = validateRegion(priv, region);
        debayerFrame(priv, raw, *region, size, color, wb);
    });
}

int32_t kh_color_debayer(kh_color_context* ctx, const void* raw, const rgn_type* region, void* color)
{
    return debayerExport(ctx, raw, region, color, false);
}

int32_t kh_color_debayer_and_white_balance(kh_color_context* ctx, const void* raw, const rgn_type* region,
                                           void* color)
{
    return debayerExport(ctx, raw, region, color, true);
}

int32_t kh_color_auto_exposure(kh_color_context* ctx, int16_t hcam, const rgn_type* region, void* rawBuffer,
                               uint16_t* colorBuffer, uint32_t* foundExposureTime)
{
    return kh::exportFrame([&] {
        ContextPrivate& priv = validateContext(ctx);
        if (!rawBuffer)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer to raw buffer.");
        if (!colorBuffer)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer to color buffer.");
        if (!foundExposureTime)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer to found exposure time.");
        const FrameSize size = validateRegion(priv, region);
        uint32_t found = 0;
        autoExposure(priv, hcam, *region, size, static_cast<uint16_t*>(rawBuffer), colorBuffer, &found);
        *foundExposureTime = found;
    });
}

int32_t kh_color_auto_exposure_abort(kh_color_context* ctx)
{
    return kh::exportFrame([&] { validateContext(ctx).abortFlag.exchange(1); });
}

int32_t kh_color_auto_white_balance(kh_color_context* ctx, const rgn_type* region, const void* color, float* red,
                                    float* green, float* blue)
{
    return kh::exportFrame([&] {
        ContextPrivate& priv = validateContext(ctx);
        if (!color)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer to color buffer.");
        if (!red || !green || !blue)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer to RGB scale results.");
        const FrameSize size = validateRegion(priv, region);
        float scales[3];
        autoWhiteBalance(priv, size, color, scales);
        *red = scales[0];
        *green = scales[1];
        *blue = scales[2];
    });
}

int32_t kh_color_auto_exposure_and_white_balance(kh_color_context* ctx, int16_t hcam, const rgn_type* region,
                                                 uint32_t* exposureTime, float* red, float* green, float* blue)
{
    return kh::exportFrame([&] {
        ContextPrivate& priv = validateContext(ctx);
        const FrameSize size = validateRegion(priv, region);
        const std::size_t pixels = checkedMul(size.width, size.height);
        std::vector<uint16_t> raw(pixels);
        std::vector<uint16_t> color(checkedMul(pixels, 3));
        uint32_t found = 0;
        autoExposure(priv, hcam, *region, size, raw.data(), color.data(), &found);
        float scales[3];
        autoWhiteBalance(priv, size, color.data(), scales);
        if (exposureTime)
            *exposureTime = found;
        if (red)
            *red = scales[0];
        if (green)
            *green = scales[1];
        if (blue)
            *blue = scales[2];
    });
}

int32_t kh_color_convert_format(kh_color_context* ctx, const rgn_type* region, const void* src, int32_t srcFormat,
                                uint16_t srcBitDepth, void* dst, int32_t dstFormat, uint16_t dstBitDepth)
{
    return kh::exportFrame([&] {
        ContextPrivate& priv = validateContext(ctx);
        const FrameSize size = validateRegion(priv, region);
        if (!src)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer for input buffer.");
        if (!dst)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer for output buffer.");
        checkFormat(srcFormat, srcBitDepth);
        checkFormat(dstFormat, dstBitDepth);
        convertFormat(src, srcFormat, srcBitDepth, dst, dstFormat, dstBitDepth, size.width, size.height,
                      priv.applied->alphaValue);
    });
}

int32_t kh_color_buffer_alloc(void** pBuffer, uint32_t size)
{
    return kh::exportFrame([&] {
        if (!pBuffer)
            throw kh::ExceptionArgumentNull("Must provide a valid pointer to a location for new buffer.");
        if (size == 0)
            throw kh::ExceptionArgument("Must provide a non-zero size of buffer.");
        void* p = nullptr;
        if (g_usableGpu) {
            CudaRuntime& rt = cudaRuntime();
            cudaCheck(rt, "kh_color_buffer_alloc", __LINE__, rt.hostAllocPinned(&p, size));
        } else {
            p = std::malloc(size);
            if (!p)
                throw std::bad_alloc();
        }
        *pBuffer = p;
    });
}

void kh_color_buffer_free(void** pBuffer)
{
    if (!pBuffer || !*pBuffer)
        return;
    if (g_usableGpu)
        cudaRuntime().hostFreePinned(*pBuffer);
    else
        std::free(*pBuffer);
    *pBuffer = nullptr;
}

} // extern "C"
