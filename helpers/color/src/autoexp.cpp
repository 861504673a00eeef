#include "autoexp.h"

#include "formattraits.h"

#include "kh/exception.h"
#include "kh/log.h"

#include "kestrix64.h"

#include <chrono>
#include <cmath>
#include <algorithm>
#include <cstring>
#include <limits>
#include <thread>

namespace khc {

namespace {

constexpr uint32_t kFeatureParams[2] = {0x0B0300A8u, 0x0B0300AAu};
constexpr uint32_t kExposureResolution = 0x09030002u;
constexpr int kMaxIterations = 25;
constexpr int kMaxStreak = 10;

// What the SDK says about its last failure on this thread. The text buffer keeps its last byte
// NUL whatever the SDK writes into it.
kh::ExceptionKestrix kestrixError(const std::string& leading)
{
    const int16_t code = kx_error_code();
    char text[KX_ERROR_MSG_LEN + 1] = {};
    const bool ok = kx_error_message(code, text) == KX_SUCCESS;
    text[sizeof text - 1] = '\0';
    return kh::ExceptionKestrix(leading, code, ok ? text : nullptr);
}

constexpr const char* kCallError = "KESTRIX call error.";

// Feature parameters switched off for the run and set back on every way out.
class FeatureGuard {
public:
    FeatureGuard(ContextPrivate& priv, int16_t hcam) : m_priv(priv), m_hcam(hcam)
    {
        for (uint32_t id : kFeatureParams) {
            uint16_t avail = 0, current = 0;
            if (kx_get_param(hcam, id, KX_ATTR_AVAIL, &avail) != KX_SUCCESS || !avail)
                continue;
            if (kx_get_param(hcam, id, KX_ATTR_CURRENT, &current) != KX_SUCCESS || current == 0)
                continue;
            const uint16_t off = 0;
            if (kx_set_param(hcam, id, &off) == KX_SUCCESS)
                m_switched[m_count++] = {id, current};
        }
    }
    ~FeatureGuard()
    {
        for (int i = 0; i < m_count; ++i)
            kx_set_param(m_hcam, m_switched[i].id, &m_switched[i].value);
        m_priv.runningCamera.store(-1);
    }
    FeatureGuard(const FeatureGuard&) = delete;
    FeatureGuard& operator=(const FeatureGuard&) = delete;

private:
    struct Switched {
        uint32_t id;
        uint16_t value;
    };
    ContextPrivate& m_priv;
    int16_t m_hcam;
    Switched m_switched[2] = {};
    int m_count = 0;
};

void acquireSingleFrame(ContextPrivate& priv, int16_t hcam, const rgn_type& region, uint32_t exposure, uint16_t* raw)
{
    uint32_t bytes = 0;
    if (kx_exp_setup_seq(hcam, 1, 1, &region, 0, exposure, &bytes) != KX_SUCCESS)
        throw kestrixError(kCallError);
    if (kx_exp_start_seq(hcam, raw) != KX_SUCCESS)
        throw kestrixError(kCallError);
    int16_t status = KX_STATUS_EXPOSING;
    uint32_t count = 0;
    bool queryFailed = false;
    kh::ExceptionKestrix queryError(kCallError, 0, "");
    for (;;) {
        if (kx_exp_check_status(hcam, &status, &count) != KX_SUCCESS) {
            // Read before abort and finish, which may overwrite the SDK's last error.
            queryError = kestrixError(kCallError);
            queryFailed = true;
            break;
        }
        // A failed readout ends the acquisition too; waiting on would never see a frame.
        if (status == KX_STATUS_COMPLETE || status == KX_STATUS_IDLE || status == KX_STATUS_FAILED
            || priv.abortFlag.load())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kx_exp_abort(hcam, KX_ABORT_HALT);
    kx_exp_finish_seq(hcam, raw, 0);
    if (priv.abortFlag.load())
        throw kh::ExceptionOpAborted("Operation aborted.");
    // A status that could not be read is no frame.
    if (queryFailed)
        throw queryError;
    if (status == KX_STATUS_FAILED)
        throw kh::ExceptionOpFailed("Failed to get image from camera.");
}

template <class Fn>
void forChannels(int format, const void* color, std::size_t pixels, Fn&& fn)
{
    withFormat(format, [&](auto f) {
        constexpr int F = decltype(f)::value;
        using Fm = Format<F>;
        const auto* base = static_cast<const typename Fm::T*>(color);
        for (int c = 0; c < 3; ++c)
            fn(c, Fm::at(base, pixels, 0, c), Fm::step);
    });
}

// Channel means, summed in 64 bits.
void channelMeans(int format, const void* color, std::size_t pixels, uint64_t means[3])
{
    forChannels(format, color, pixels, [&](int c, const auto* p, std::size_t step) {
        uint64_t sum = 0;
        for (std::size_t i = 0; i < pixels; ++i)
            sum += p[i * step];
        means[c] = sum / pixels;
    });
}

} // namespace

void autoExposure(ContextPrivate& priv, int16_t hcam, const rgn_type& region, FrameSize size, uint16_t* raw,
                  uint16_t* color, uint32_t* foundExposureTime)
{
    const kh_color_context& a = *priv.applied;
    if (a.bitDepth <= 8)
        throw kh::ExceptionNotSupported(
            "Auto-exposure is supported only with 2-byte based buffers, bit depth from 9 to 16.");
    priv.abortFlag.exchange(0);
    priv.runningCamera.store(hcam);
    FeatureGuard guard(priv, hcam);

    const bool histogram = a.autoExpAlgorithm == 1;
    const char* name = histogram ? "AutoExposureHistogram" : "AutoExposureAverage";
    if (a.autoExpAlgorithm > 1) {
        KH_ASSERT_LOG("auto_exp_white_balance", "Unsupported auto-exposure algorithm");
        return;
    }
    const std::size_t pixels = std::size_t(size.width) * size.height;

    uint32_t frameBytes = 0;
    if (kx_exp_setup_seq(hcam, 1, 1, &region, 0, 0, &frameBytes) != KX_SUCCESS)
        throw kestrixError(kCallError);
    if (uint64_t(frameBytes) != uint64_t(pixels) * 2)
        throw kh::ExceptionNotSupported(histogram ? "Auto-exposure not supported with KESTRIX metadata enabled"
                                                  : "Auto-exposure not supported with KESTRIX metadata enabled.");

    int32_t resolution = 0;
    if (kx_get_param(hcam, kExposureResolution, KX_ATTR_CURRENT, &resolution) != KX_SUCCESS)
        resolution = 0;
    const char* unit;
    double x;
    switch (resolution) {
    case 0: unit = "ms"; x = 10; break;
    case 1: unit = "us"; x = 10000; break;
    case 2: unit = "s"; x = 1; break;
    default:
        throw kestrixError("The exp. time resolution " + std::to_string(resolution) + " is invalid.");
    }

    const uint32_t bins = 1u << a.bitDepth;
    const double target = double(float(bins) * (histogram ? 0.97f : 0.5f));
    const double low = 0.98 * target, high = 1.02 * target;
    double f = 2.0;
    int iteration = 1, bright = 0, dark = 0;
    uint32_t exposure = 0;
    AutoExpWorker& w = *priv.worker;
    while (!priv.abortFlag.load()) {
        const double e = std::floor(x + 0.5);
        exposure = e >= double(std::numeric_limits<uint32_t>::max()) ? std::numeric_limits<uint32_t>::max()
                                                                      : uint32_t(e);
        acquireSingleFrame(priv, hcam, region, exposure, raw);
        debayerFrame(priv, raw, region, size, color, false);
        double level;
        if (histogram) {
            // Samples above the depth's range land in the top bin.
            forChannels(int(a.rgbFormat), color, pixels, [&](int c, const auto* p, std::size_t step) {
                if constexpr (sizeof(*p) == 2)
                    w.level[c] = fillHistogram(p, step, pixels, a.bitDepth, w.histogram[c]);
            });
            level = double(std::max({w.level[0], w.level[1], w.level[2]}));
        } else {
            uint64_t means[3];
            channelMeans(int(a.rgbFormat), color, pixels, means);
            level = double(means[0] + means[1] + means[2]) / 3.0;
        }
        if (level > low && level < high) {
            tq::Log::Instance()->PrintMessage("%s: Target %u ADU found in %u steps at %u%s with %u ADU", name,
                                              unsigned(target), unsigned(iteration), exposure, unit, unsigned(level));
            if (!histogram) {
                *foundExposureTime = exposure;
                return;
            }
            int best = 0;
            for (int c = 1; c < 3; ++c)
                if (w.level[c] >= w.level[best])
                    best = c;
            *foundExposureTime = exposureFromHistogram(w.histogram[best], pixels, exposure, a.bitDepth);
            return;
        }
        if (level > target) {
            if (dark)
                f = std::sqrt(f);
            if (++bright > kMaxStreak)
                throw kh::ExceptionOpFailed("Switch to lower resolution or decrease light source intensity.");
            dark = 0;
            x /= f;
        } else {
            if (bright) {
                f = std::sqrt(f);
                bright = 0;
            }
            if (++dark > kMaxStreak)
                throw kh::ExceptionOpFailed("Switch to higher resolution or increase light source intensity.");
            x *= f;
        }
        if (++iteration > kMaxIterations)
            break;
    }
    if (priv.abortFlag.load())
        throw kh::ExceptionOpAborted("Operation aborted.");
    throw kh::ExceptionOpFailed("Reached max. number of iterations.");
}

uint32_t fillHistogram(const uint16_t* samples, std::size_t step, std::size_t pixels, unsigned bitDepth,
                       std::vector<uint32_t>& histogram)
{
    const uint32_t bins = 1u << bitDepth;
    histogram.assign(bins, 0);
    uint32_t level = 0;
    for (std::size_t i = 0; i < pixels; ++i) {
        const uint32_t v = std::min<uint32_t>(samples[i * step], bins - 1);
        ++histogram[v];
        level = std::max(level, v);
    }
    return level;
}

uint32_t exposureFromHistogram(const std::vector<uint32_t>& histogram, std::size_t pixels, uint32_t exposure,
                               unsigned bitDepth)
{
    uint64_t cumulative = 0;
    uint64_t edge = 0;
    for (std::size_t bin = histogram.size(); bin-- > 0;) {
        cumulative += histogram[bin];
        if (cumulative * 100 > pixels) {
            edge = bin;
            break;
        }
    }
    const uint64_t result = edge ? (uint64_t(exposure) << bitDepth) / edge : 0;
    if (edge == 0 || result > std::numeric_limits<uint32_t>::max())
        throw kh::ExceptionOpFailed("Unable to compute the exposure time from the histogram.");
    return uint32_t(result);
}

void autoWhiteBalance(const ContextPrivate& priv, FrameSize size, const void* color, float scales[3])
{
    const std::size_t pixels = std::size_t(size.width) * size.height;
    uint64_t m[3] = {0, 0, 0};
    channelMeans(int(priv.applied->rgbFormat), color, pixels, m);
    const float R = float(m[0]), G = float(m[1]), B = float(m[2]);
    const float g = float(m[1] + m[2] + m[0]) / 3.0f;
    scales[0] = g / R * (1.0f / (g / G));
    scales[1] = 1.0f;
    scales[2] = g / B * (1.0f / (g / G));
    tq::Log::Instance()->PrintMessage("%s: AutoWhiteBalance found optimal scales: red=%f, green=%f, blue=%f",
                                      "AutoWhiteBalance", double(scales[0]), double(scales[1]), double(scales[2]));
}

} // namespace khc
