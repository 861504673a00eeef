#include "context.h"

#include "pixelrules.h"

#include "kh/exception.h"
#include "kh/log.h"
#include "kh/registry.h"

#include <cinttypes>
#include <cmath>
#include <string>

namespace khc {

namespace {

kh_color_context defaults()
{
    kh_color_context c{};
    c.algorithm = 1;
    c.pattern = 2;
    c.bitDepth = 16;
    c.rgbFormat = 0;
    c.redScale = c.greenScale = c.blueScale = 1.0f;
    c.privateData = nullptr;
    c.autoExpAlgorithm = 0;
    c.forceCpu = 0;
    c.sensorWidth = 0;
    c.sensorHeight = 0;
    c.alphaValue = 0xFFFF;
    return c;
}

// Differs from every default, so that the first apply rebuilds everything.
kh_color_context appliedSeed()
{
    kh_color_context c{};
    c.algorithm = 0;
    c.pattern = 4;
    c.bitDepth = 15;
    c.rgbFormat = 1;
    c.redScale = c.greenScale = c.blueScale = 1.3f;
    c.autoExpAlgorithm = 1;
    c.forceCpu = 1;
    c.sensorWidth = 1;
    c.sensorHeight = 1;
    c.alphaValue = 255;
    return c;
}

kh::ContextRegistry& liveContexts()
{
    static kh::ContextRegistry registry;
    return registry;
}

} // namespace

kh_color_context* createContext(CudaRuntime* gpuRuntime)
{
    auto ctx = std::make_unique<kh_color_context>(defaults());
    auto priv = std::make_unique<ContextPrivate>();
    priv->applied = std::make_unique<kh_color_context>(appliedSeed());
    priv->luts = std::make_unique<LutBlock>();
    buildTable(*priv->luts, 0, 1.16f, 16);
    buildTable(*priv->luts, 1, 1.0f, 16);
    buildTable(*priv->luts, 2, 1.88f, 16);
    priv->worker = std::make_unique<AutoExpWorker>();
    priv->worker->applied = priv->applied.get();
    if (gpuRuntime) {
        priv->usableGpu = true;
        priv->gpu = std::make_unique<CudaContext>(*gpuRuntime, true);
    }
    ctx->privateData = priv.release();
    liveContexts().add(ctx.get(), ctx->privateData);
    try {
        applyChanges(ctx.get());
    } catch (...) {
        releaseContext(ctx.release());
        throw;
    }
    return ctx.release();
}

bool releaseContext(kh_color_context* ctx) noexcept
{
    const void* part = nullptr;
    if (!ctx || !liveContexts().remove(ctx, &part))
        return false;
    // The recorded part, not the field: a client may have overwritten it.
    delete static_cast<const ContextPrivate*>(part);
    delete ctx;
    return true;
}

ContextPrivate& validateContext(kh_color_context* ctx)
{
    const char* text = "Must provide a valid pointer to a location for new context. pContext or some nested "
                       "pointer is null.";
    // Only a live context's fields may be read; its private pointer must then be the one created
    // with it: a client may have overwritten it, and reading through it would crash.
    if (!ctx || !liveContexts().contains(ctx) || !ctx->privateData
        || !liveContexts().contains(ctx, ctx->privateData))
        throw kh::ExceptionArgumentNull(text);
    auto* priv = static_cast<ContextPrivate*>(ctx->privateData);
    if (priv->magic != ContextPrivate::kMagic || !priv->applied || !priv->luts || !priv->worker ||
        (priv->usableGpu && !priv->gpu))
        throw kh::ExceptionArgumentNull(text);
    return *priv;
}

bool onGpu(const ContextPrivate& priv) { return priv.usableGpu && priv.applied->forceCpu == 0; }

FrameSize validateRegion(const ContextPrivate& priv, const rgn_type* region)
{
    if (!region)
        throw kh::ExceptionArgumentNull("Must provide a valid pointer to region.");
    if (region->sbin != 1 || region->pbin != 1)
        throw kh::ExceptionArgument("The region binning must be 1 in both directions.");
    if (region->s2 < region->s1 || region->p2 < region->p1)
        throw kh::ExceptionArgument("The region is invalid.");
    const uint32_t width = uint32_t(region->s2) - region->s1 + 1;
    const uint32_t height = uint32_t(region->p2) - region->p1 + 1;
    if (width < 2 || height < 2)
        throw kh::ExceptionArgument("The region is smaller than 2x2.");
    if (onGpu(priv)) {
        if (width > priv.applied->sensorWidth)
            throw kh::ExceptionArgument("Given width is greater than sensor size.");
        if (height > priv.applied->sensorHeight)
            throw kh::ExceptionArgument("Given height is greater than sensor size.");
    }
    return FrameSize{width, height};
}

uint32_t outputTop(const kh_color_context& applied) { return topValue(applied.bitDepth, applied.alphaValue); }

void applyChanges(kh_color_context* ctx)
{
    ContextPrivate& priv = validateContext(ctx);
    if (priv.runningCamera.load() != -1)
        throw kh::ExceptionOpInProgress("Unable to change context during auto-exposure.");
    if (ctx->algorithm > 1)
        throw kh::ExceptionArgument("The debayer algorithm " + std::to_string(ctx->algorithm) + " is unknown.");
    if (ctx->pattern < 2 || ctx->pattern > 5)
        throw kh::ExceptionArgument("The bayer pattern " + std::to_string(ctx->pattern) + " is unknown.");
    checkFormat(ctx->rgbFormat, ctx->bitDepth);
    // NaN and infinity would make tables and GPU products meaningless: only finite scales.
    const float scales[3] = {ctx->redScale, ctx->greenScale, ctx->blueScale};
    for (float s : scales)
        if (!(s >= 0.0f) || !std::isfinite(s))
            throw kh::ExceptionArgument("The RGB scales must be zero or positive values.");
    if (ctx->autoExpAlgorithm > 1)
        throw kh::ExceptionArgument("The auto-exposure algorithm " + std::to_string(ctx->autoExpAlgorithm) +
                                    " is unknown.");
    tq::Log::Instance()->PrintMessage(
        "%s: Passed valid context (0x%" PRIxPTR "): algorithm=%u, pattern=%u, bitDepth=%u, rgbFormat=%u, redScale=%f, "
        "greenScale=%f, blueScale=%f, forceCpu=%u, sensorWidth=%u, sensorHeight=%u, alphaValue=%u",
        "kh_color_context_apply_changes", reinterpret_cast<uintptr_t>(ctx), ctx->algorithm, ctx->pattern,
        unsigned(ctx->bitDepth), ctx->rgbFormat, double(ctx->redScale), double(ctx->greenScale),
        double(ctx->blueScale), unsigned(ctx->forceCpu), unsigned(ctx->sensorWidth), unsigned(ctx->sensorHeight),
        unsigned(ctx->alphaValue));
    bool rebuild[3];
    const bool depthChanged = ctx->bitDepth != priv.applied->bitDepth;
    for (int c = 0; c < 3; ++c)
        rebuild[c] = depthChanged || !(scales[c] == priv.luts->scale[c]);
    if (priv.usableGpu && ctx->forceCpu == 0)
        priv.gpu->AllocateDevBuffers(ctx->sensorWidth, ctx->sensorHeight, 4);
    *priv.applied = *ctx;
    priv.applied->privateData = nullptr;
    static const char* const names[3] = {"red", "green", "blue"};
    for (int c = 0; c < 3; ++c) {
        if (!rebuild[c])
            continue;
        buildTable(*priv.luts, c, scales[c], priv.applied->bitDepth);
        tq::Log::Instance()->PrintMessage("%s: Updated lookup table for %s channel", "kh_color_context_apply_changes",
                                          names[c]);
    }
}

void debayerFrame(ContextPrivate& priv, const void* raw, const rgn_type& region, FrameSize size, void* color,
                  bool whiteBalance)
{
    const kh_color_context& a = *priv.applied;
    if (!validPattern(a.pattern)) {
        KH_ASSERT_LOG("kestrix_helper_color_private", "Unsupported bayer pattern");
        return;
    }
    const unsigned pattern = effectivePattern(a.pattern, region.s1 & 1, region.p1 & 1);
    const uint32_t top = outputTop(a);
    if (onGpu(priv) && a.algorithm == 0) {
        const float scales[3] = {a.redScale, a.greenScale, a.blueScale};
        debayerFastGpu(*priv.gpu, raw, color, size.width, size.height, pattern, int(a.rgbFormat), a.bitDepth,
                       whiteBalance ? scales : nullptr, top);
        return;
    }
    if (a.algorithm == 0)
        debayerFast(raw, color, size.width, size.height, pattern, int(a.rgbFormat), top);
    else if (a.algorithm == 1)
        debayerBilinear(raw, color, size.width, size.height, pattern, int(a.rgbFormat), top);
    else {
        KH_ASSERT_LOG("kestrix_helper_color_private", "Unsupported debayer algorithm");
        return;
    }
    if (whiteBalance)
        applyTables(*priv.luts, color, int(a.rgbFormat), size.width, size.height);
}

} // namespace khc
