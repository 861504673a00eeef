// Auto-exposure against the kestrix64 stand-in imaging the virtual cabinet, and auto white
// balance on frames built by hand.
#include "colortestutil.h"

#include "cabinetstate.h"
#include "kestrix64_test.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace {

// An open stand-in camera and a lit cabinet; everything reset afterwards.
class KhColorAutoExposure : public ::testing::Test {
protected:
    void SetUp() override
    {
        kxtest_reset();
        vcab::CabinetState::instance().reset();
        lamps(vcab::LampPower | vcab::LampSource | vcab::LampWhiteLight);
        ASSERT_EQ(kx_kestrix_init(), KX_SUCCESS);
        char name[KX_NAME_LEN] = {};
        ASSERT_EQ(kx_cam_get_name(0, name), KX_SUCCESS);
        ASSERT_EQ(kx_cam_open(name, &hcam, KX_OPEN_EXCLUSIVE), KX_SUCCESS);
        ctx->forceCpu = 1;
        ctx->algorithm = 0;
        ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    }
    void TearDown() override
    {
        kx_cam_close(hcam);
        kx_kestrix_uninit();
        kxtest_reset();
        vcab::CabinetState::instance().reset();
    }
    static void lamps(uint32_t bits)
    {
        vcab::CabinetState::instance().update([bits](vcab::CabinetSnapshot& s) { s.lamps = bits; });
    }
    uint16_t param(uint32_t id)
    {
        uint16_t v = 0xFFFF;
        kx_get_param(hcam, id, KX_ATTR_CURRENT, &v);
        return v;
    }
    std::string callLog()
    {
        std::string text(size_t(kxtest_call_log(nullptr, 0)) + 1, '\0');
        kxtest_call_log(text.data(), int32_t(text.size()));
        text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
        return text;
    }
    static std::size_t count(const std::string& text, const std::string& what)
    {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }
    double meanLevel() const
    {
        double sum = 0;
        for (uint16_t v : color)
            sum += v;
        return sum / double(color.size());
    }

    ContextHolder ctx;
    int16_t hcam = -1;
    rgn_type r = region(1000, 800, 64, 48);
    std::vector<uint16_t> raw = std::vector<uint16_t>(64 * 48);
    std::vector<uint16_t> color = std::vector<uint16_t>(64 * 48 * 3);
};

TEST_F(KhColorAutoExposure, AverageConvergesOnALitScene)
{
    uint32_t exposure = 0;
    ASSERT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure), 0) << lastError();
    // The colour buffer holds the last frame, taken at the exposure found: inside the window.
    const double target = 65536 * 0.5;
    EXPECT_GT(meanLevel(), 0.98 * target - 1);
    EXPECT_LT(meanLevel(), 1.02 * target + 1);
    EXPECT_GT(exposure, 10u) << "brighter than the start exposure needs";
    EXPECT_LT(exposure, 1000u);
    EXPECT_EQ(kh_color_context_apply_changes(ctx), 0) << "idle again";
}

TEST_F(KhColorAutoExposure, ExposureInTheCameraResolution)
{
    uint32_t inMs = 0, inUs = 0;
    ASSERT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &inMs), 0) << lastError();
    const int32_t us = KX_EXP_RES_US;
    ASSERT_EQ(kx_set_param(hcam, PARAM_EXP_RES, &us), KX_SUCCESS);
    ASSERT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &inUs), 0) << lastError();
    // The same scene: about a thousand times the number in microseconds.
    EXPECT_GT(inUs, inMs * 900);
    EXPECT_LT(inUs, inMs * 1100);
}

// In whole seconds the lit scene is either saturated (1 s) or black (0 s): never in the window,
// and the alternation keeps both streaks short, so the iteration limit ends the search.
TEST_F(KhColorAutoExposure, IterationLimit)
{
    const int32_t seconds = KX_EXP_RES_S;
    ASSERT_EQ(kx_set_param(hcam, PARAM_EXP_RES, &seconds), KX_SUCCESS);
    kxtest_clear_call_log();
    uint32_t exposure = 0;
    EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure), 101);
    EXPECT_EQ(lastError(), "Reached max. number of iterations.");
    EXPECT_EQ(count(callLog(), "kx_exp_start_seq"), 25u);
}

TEST_F(KhColorAutoExposure, HistogramConvergesOnALitScene)
{
    ctx->autoExpAlgorithm = 1;
    ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    uint32_t exposure = 0;
    ASSERT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure), 0) << lastError();
    uint16_t top = 0;
    for (uint16_t v : color)
        top = std::max(top, v);
    EXPECT_GT(top, 0.98 * 65536 * 0.97);
    // The scaled result puts the brightest percent at the top of the range: a little longer.
    EXPECT_GT(exposure, 10u);
    EXPECT_LT(exposure, 1000u);
}

TEST_F(KhColorAutoExposure, ExposureAndWhiteBalanceTogether)
{
    uint32_t exposure = 0;
    float red = 0, green = 0, blue = 0;
    ASSERT_EQ(kh_color_auto_exposure_and_white_balance(ctx, hcam, &r, &exposure, &red, &green, &blue), 0)
        << lastError();
    EXPECT_GT(exposure, 10u);
    EXPECT_EQ(green, 1.0f);
    // A grey scene: the scales stay near 1.
    EXPECT_NEAR(red, 1.0f, 0.1f);
    EXPECT_NEAR(blue, 1.0f, 0.1f);
    // Every output is optional.
    EXPECT_EQ(kh_color_auto_exposure_and_white_balance(ctx, hcam, &r, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST_F(KhColorAutoExposure, DarkSceneStopsAfterElevenDarkFrames)
{
    lamps(0);
    kxtest_clear_call_log();
    uint32_t exposure = 77;
    EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure), 101);
    EXPECT_EQ(lastError(), "Switch to higher resolution or increase light source intensity.");
    EXPECT_EQ(exposure, 77u) << "no output on failure";
    EXPECT_EQ(count(callLog(), "kx_exp_start_seq"), 11u);
}

TEST_F(KhColorAutoExposure, FeatureParametersSwitchedOffAndRestored)
{
    const uint16_t on = 1;
    ASSERT_EQ(kx_set_param(hcam, PARAM_HOT_PIXEL_FIX, &on), KX_SUCCESS);
    ASSERT_EQ(kx_set_param(hcam, PARAM_FRAME_AVERAGE, &on), KX_SUCCESS);
    for (bool fail : {false, true}) {
        if (fail)
            lamps(0);
        kxtest_clear_call_log();
        uint32_t exposure = 0;
        EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure), fail ? 101 : 0);
        const std::string log = callLog();
        EXPECT_EQ(count(log, "kx_set_param 0x0B0300A8"), 2u) << log;
        EXPECT_EQ(count(log, "kx_set_param 0x0B0300AA"), 2u) << log;
        EXPECT_EQ(param(PARAM_HOT_PIXEL_FIX), 1);
        EXPECT_EQ(param(PARAM_FRAME_AVERAGE), 1);
    }
    // A parameter that is already off is left alone.
    lamps(vcab::LampPower | vcab::LampSource | vcab::LampWhiteLight);
    const uint16_t off = 0;
    ASSERT_EQ(kx_set_param(hcam, PARAM_FRAME_AVERAGE, &off), KX_SUCCESS);
    kxtest_clear_call_log();
    uint32_t exposure = 0;
    EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure), 0);
    EXPECT_EQ(count(callLog(), "kx_set_param 0x0B0300AA"), 0u);
}

TEST_F(KhColorAutoExposure, AbortFromAnotherThread)
{
    kxtest_set_silent(1); // frames never finish: only the abort ends the wait
    const uint16_t on = 1;
    ASSERT_EQ(kx_set_param(hcam, PARAM_HOT_PIXEL_FIX, &on), KX_SUCCESS);
    std::atomic<int32_t> result{-1};
    std::string text;
    std::thread worker([&] {
        uint32_t exposure = 0;
        result = kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure);
        text = lastError();
    });
    // Running: the context refuses changes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (kh_color_context_apply_changes(ctx) != 102 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_EQ(lastError(), "Unable to change context during auto-exposure.");
    const auto aborted = std::chrono::steady_clock::now();
    ASSERT_EQ(kh_color_auto_exposure_abort(ctx), 0);
    worker.join();
    EXPECT_LT(std::chrono::steady_clock::now() - aborted, std::chrono::seconds(2));
    EXPECT_EQ(result.load(), 103);
    EXPECT_EQ(text, "Operation aborted.");
    EXPECT_EQ(param(PARAM_HOT_PIXEL_FIX), 1);
    EXPECT_EQ(kh_color_context_apply_changes(ctx), 0) << "idle again";
}

TEST_F(KhColorAutoExposure, FailedReadoutEndsTheWait)
{
    // The camera stops the sequence with a failed status and no frame: an error, never a hang.
    kxtest_fail_frames(1000);
    uint32_t exposure = 0;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure), 101);
    EXPECT_EQ(lastError(), "Failed to get image from camera.");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    kxtest_fail_frames(0);
}

TEST_F(KhColorAutoExposure, CameraFailures)
{
    const struct {
        const char* name;
        const char* call;
        int32_t skip;
        int32_t code;
    } cases[] = {
        {"size query", "kx_exp_setup_seq", 0, 0x7F0000 + KX_ERR_CAMERA_FAILED},
        {"frame setup", "kx_exp_setup_seq", 1, 0x7F0000 + KX_ERR_CAMERA_FAILED},
        {"start", "kx_exp_start_seq", 0, 0x7F0000 + KX_ERR_CAMERA_FAILED},
        // A status that cannot be read is an error, never a frame.
        {"status query", "kx_exp_check_status", 0, 0x7F0000 + KX_ERR_CAMERA_FAILED},
    };
    const uint16_t on = 1;
    ASSERT_EQ(kx_set_param(hcam, PARAM_HOT_PIXEL_FIX, &on), KX_SUCCESS);
    for (const auto& c : cases) {
        kxtest_clear_faults();
        kxtest_inject_fault(c.call, KXTEST_ANY_PARAM, KXTEST_ANY_ATTR, KX_ERR_CAMERA_FAILED, c.skip, -1);
        uint32_t exposure = 0;
        EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure), c.code) << c.name;
        const std::string text = lastError();
        EXPECT_EQ(text.rfind("KESTRIX call error. (", 0), 0u) << c.name << ": " << text;
        EXPECT_EQ(text.back(), ')') << text;
        EXPECT_GT(text.size(), std::string("KESTRIX call error. ()").size()) << "the SDK's own text";
        EXPECT_EQ(param(PARAM_HOT_PIXEL_FIX), 1) << c.name;
        kxtest_clear_faults();
        EXPECT_EQ(kh_color_context_apply_changes(ctx), 0) << c.name;
    }
    EXPECT_STREQ(kh_color_get_error_message(uint32_t(0x7F0000 + KX_ERR_CAMERA_FAILED)), "KESTRIX call failed.");
}

TEST_F(KhColorAutoExposure, RefusalsBeforeTheCamera)
{
    uint32_t exposure = 0;
    EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, nullptr, color.data(), &exposure), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to raw buffer.");
    EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), nullptr, &exposure), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to color buffer.");
    EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), nullptr), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to found exposure time.");

    ctx->rgbFormat = 2;
    ctx->bitDepth = 8;
    ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    kxtest_clear_call_log();
    EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure), 11);
    EXPECT_EQ(lastError(), "Auto-exposure is supported only with 2-byte based buffers, bit depth from 9 to 16.");
    EXPECT_EQ(kxtest_call_count(), 0) << "no SDK call";
}

TEST_F(KhColorAutoExposure, MetadataIsNotSupported)
{
    kxtest_set_frame_metadata(64);
    uint32_t exposure = 0;
    EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure), 11);
    EXPECT_EQ(lastError(), "Auto-exposure not supported with KESTRIX metadata enabled.");
    ctx->autoExpAlgorithm = 1;
    ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    EXPECT_EQ(kh_color_auto_exposure(ctx, hcam, &r, raw.data(), color.data(), &exposure), 11);
    EXPECT_EQ(lastError(), "Auto-exposure not supported with KESTRIX metadata enabled");
}

// ---- auto white balance ------------------------------------------------------------------------

TEST(KhColorAutoWhiteBalance, ScalesFromChannelMeans)
{
    const rgn_type r = region(0, 0, 2, 2);
    const struct {
        const char* name;
        int format;
        uint16_t depth;
        std::vector<uint16_t> wide;
        std::vector<uint8_t> narrow;
    } cases[] = {
        {"interleaved 16-bit", 0, 16, {100, 200, 400, 100, 200, 400, 100, 200, 400, 100, 200, 400}, {}},
        {"planar 16-bit", 1, 12, {100, 100, 100, 100, 200, 200, 200, 200, 400, 400, 400, 400}, {}},
        {"BGRA", 6, 8, {}, {40, 20, 10, 255, 40, 20, 10, 255, 40, 20, 10, 255, 40, 20, 10, 255}},
    };
    for (const auto& c : cases) {
        ContextHolder ctx;
        ctx->rgbFormat = uint32_t(c.format);
        ctx->bitDepth = c.depth;
        ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
        float red = 0, green = 0, blue = 0;
        const void* frame = c.wide.empty() ? static_cast<const void*>(c.narrow.data()) : c.wide.data();
        ASSERT_EQ(kh_color_auto_white_balance(ctx, &r, frame, &red, &green, &blue), 0) << c.name;
        EXPECT_FLOAT_EQ(red, 2.0f) << c.name;
        EXPECT_EQ(green, 1.0f) << c.name;
        EXPECT_FLOAT_EQ(blue, 0.5f) << c.name;
    }
}

TEST(KhColorAutoWhiteBalance, ZeroChannelGivesInfiniteScaleAndRefusals)
{
    ContextHolder ctx;
    const rgn_type r = region(0, 0, 2, 2);
    const uint16_t frame[12] = {0, 200, 400, 0, 200, 400, 0, 200, 400, 0, 200, 400};
    float red = 0, green = 0, blue = 0;
    ASSERT_EQ(kh_color_auto_white_balance(ctx, &r, frame, &red, &green, &blue), 0);
    EXPECT_TRUE(std::isinf(red));
    EXPECT_FLOAT_EQ(blue, 0.5f);
    EXPECT_EQ(kh_color_auto_white_balance(ctx, &r, nullptr, &red, &green, &blue), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to color buffer.");
    EXPECT_EQ(kh_color_auto_white_balance(ctx, &r, frame, &red, nullptr, &blue), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to RGB scale results.");
}

} // namespace
