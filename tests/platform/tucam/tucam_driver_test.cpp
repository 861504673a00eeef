// The virtual camera driver: frame sizes per model, the frame clock and its abort, the
// refusals of its interface, and the camera's own auto-exposure, cooling and defect pixels.

#include <gtest/gtest.h>

#include "tucam.h"
#include "tucam_test.h"

#include "cabinetstate.h"
#include "testappdir.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>

using tucamtest::Model;

namespace {

struct Camera {
    HDTUCAM handle = nullptr;
    TUCAM_FRAME frame {};

    explicit Camera(Model model, int cameraCount = 1)
    {
        tucamtest::Config config;
        config.model = model;
        config.cameraCount = cameraCount;
        tucamtest::reset(config);
        vcab::CabinetState::instance().reset();
        TUCAM_INIT init {0, nullptr};
        TUCAM_Api_Init(&init, 1000);
        TUCAM_OPEN open {0, nullptr};
        if (TUCAM_Dev_Open(&open) == TUCAMRET_SUCCESS)
            handle = open.hIdxTUCam;
        frame.ucFormatGet = TUFRM_FMT_RAW;
        frame.uiRsdSize = 1;
    }
    ~Camera() { TUCAM_Api_Uninit(); }

    uint32_t start()
    {
        const uint32_t s = TUCAM_Buf_Alloc(handle, &frame);
        return s == TUCAMRET_SUCCESS ? TUCAM_Cap_Start(handle, 0) : s;
    }
    const uint16_t* pixels() const { return reinterpret_cast<const uint16_t*>(frame.pBuffer + frame.usHeader); }
    double mean() const
    {
        double sum = 0;
        const size_t n = size_t(frame.usWidth) * frame.usHeight;
        for (size_t i = 0; i < n; ++i)
            sum += pixels()[i];
        return n ? sum / double(n) : 0.0;
    }
};

struct SizeCase {
    const char* name;
    Model model;
    int capability;   // resolution or binning-table capability
    int index;
    TUCAM_ROI_ATTR roi;
    int width, height;
};

class FrameSizes : public ::testing::TestWithParam<SizeCase> {};

} // namespace

// The regions the acquisition threads set must fit the sensor of their camera.
TEST_P(FrameSizes, RegionsOfTheAcquisitionThreadsFitTheSensor)
{
    const SizeCase& c = GetParam();
    Camera cam(c.model);
    ASSERT_EQ(TUCAM_Capa_SetValue(cam.handle, c.capability, c.index), TUCAMRET_SUCCESS);
    ASSERT_EQ(TUCAM_Cap_SetROI(cam.handle, c.roi), TUCAMRET_SUCCESS);
    ASSERT_EQ(TUCAM_Prop_SetValue(cam.handle, TUIDP_EXPOSURETM, 1.0, 0), TUCAMRET_SUCCESS);
    ASSERT_EQ(cam.start(), TUCAMRET_SUCCESS);
    ASSERT_EQ(TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 5000), TUCAMRET_SUCCESS);
    EXPECT_EQ(cam.frame.usWidth, c.width);
    EXPECT_EQ(cam.frame.usHeight, c.height);
    EXPECT_EQ(cam.frame.uiImgSize, uint32_t(c.width * c.height * 2));
    EXPECT_EQ(cam.frame.usHeader, 64);
    EXPECT_EQ(cam.frame.ucFormatGet, TUFRM_FMT_RAW) << "the requested format is the caller's";
    EXPECT_EQ(cam.frame.uiRsdSize, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Models, FrameSizes,
    ::testing::Values(
        SizeCase {"Cam695Full", Model::Cam695, TUIDC_RESOLUTION, 0, {1, 60, 10, 2658, 2200}, 2658, 2200},
        SizeCase {"Cam695Bin4", Model::Cam695, TUIDC_RESOLUTION, 2, {1, 15, 2, 664, 550}, 664, 550},
        SizeCase {"Cam695Bin24", Model::Cam695, TUIDC_RESOLUTION, 7, {1, 2, 0, 110, 91}, 110, 91},
        SizeCase {"Cam695NoRegion", Model::Cam695, TUIDC_RESOLUTION, 4, {0, 0, 0, 0, 0}, 340, 277},
        SizeCase {"FL9BWFull", Model::FL9BW, TUIDC_BINNING_SUM, 0, {1, 0, 312, 3000, 2688}, 3000, 2688},
        SizeCase {"FL9BWMini", Model::FL9BW, TUIDC_BINNING_SUM, 0, {1, 0, 0, 3000, 3000}, 3000, 3000},
        SizeCase {"FL9BWBin3", Model::FL9BW, TUIDC_BINNING_SUM, 2, {1, 0, 104, 1000, 896}, 1000, 896},
        SizeCase {"FL9BWBin8Fixed", Model::FL9BW, TUIDC_BINNING_SUM, 5, {1, 0, 36, 372, 336}, 372, 336},
        SizeCase {"S20MiniFull", Model::S20Mini, TUIDC_RESOLUTION, 0, {1, 920, 510, 3694, 2620}, 3694, 2620},
        SizeCase {"S20MiniSum2", Model::S20Mini, TUIDC_RESOLUTION, 7, {1, 460, 255, 1847, 1310}, 1847, 1310},
        // A region reaching past the sensor is clipped to it.
        SizeCase {"Cam695Clipped", Model::Cam695, TUIDC_RESOLUTION, 1, {1, 1300, 1100, 500, 500}, 60, 10}),
    [](const ::testing::TestParamInfo<SizeCase>& info) { return std::string(info.param.name); });

TEST(TucamDriver, WaitBlocksForTheExposureAndAnAbortFromAnotherThreadEndsItAtOnce)
{
    Camera cam(Model::Cam695);
    ASSERT_EQ(TUCAM_Capa_SetValue(cam.handle, TUIDC_RESOLUTION, 7), TUCAMRET_SUCCESS);
    // One hour of exposure: only the abort can end this wait within the test.
    ASSERT_EQ(TUCAM_Prop_SetValue(cam.handle, TUIDP_EXPOSURETM, 3600000.0, 0), TUCAMRET_SUCCESS);
    ASSERT_EQ(cam.start(), TUCAMRET_SUCCESS);
    auto waiter = std::async(std::launch::async, [&] { return TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 3600000); });
    ASSERT_TRUE(waitFor([] { return tucamtest::state().pendingWaits == 1; }, 5000));
    EXPECT_EQ(waiter.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    const auto aborted = std::chrono::steady_clock::now();
    EXPECT_EQ(TUCAM_Buf_AbortWait(cam.handle), TUCAMRET_SUCCESS);
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(waiter.get(), uint32_t(0x80000207));
    EXPECT_LT(std::chrono::steady_clock::now() - aborted, std::chrono::milliseconds(500));
    EXPECT_EQ(tucamtest::state().framesDelivered, 0u);
}

TEST(TucamDriver, FramesFollowTheExposureClock)
{
    Camera cam(Model::Cam695);
    TUCAM_Capa_SetValue(cam.handle, TUIDC_RESOLUTION, 7);
    // 2500 ms at the tests' time scale of 0.02: 50 ms per frame.
    TUCAM_Prop_SetValue(cam.handle, TUIDP_EXPOSURETM, 2500.0, 0);
    ASSERT_EQ(cam.start(), TUCAMRET_SUCCESS);
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 5000), TUCAMRET_SUCCESS);
    EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(140));
    EXPECT_EQ(cam.frame.uiIndex, 3u);
}

// A program left previewing waits for frames for hours: the call log keeps a run of good frame
// waits as one entry, while a failed wait and the calls between runs stay in order.
TEST(TucamDriver, TheCallLogDoesNotGrowWithEveryFrame)
{
    Camera cam(Model::Cam695);
    ASSERT_EQ(TUCAM_Capa_SetValue(cam.handle, TUIDC_RESOLUTION, 7), TUCAMRET_SUCCESS);
    ASSERT_EQ(TUCAM_Prop_SetValue(cam.handle, TUIDP_EXPOSURETM, 1.0, 0), TUCAMRET_SUCCESS);
    ASSERT_EQ(cam.start(), TUCAMRET_SUCCESS);
    tucamtest::clearCallLog();
    auto waitFrames = [&](int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 5000), TUCAMRET_SUCCESS);
    };
    waitFrames(200);
    ASSERT_EQ(TUCAM_Prop_SetValue(cam.handle, TUIDP_EXPOSURETM, 1.0, 0), TUCAMRET_SUCCESS);
    tucamtest::scriptResults("TUCAM_Buf_WaitForFrame", {0x80000000u});
    EXPECT_EQ(TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 5000), 0x80000000u);
    waitFrames(200);
    std::vector<std::string> functions;
    for (const tucamtest::CallRecord& call : tucamtest::callLog())
        functions.push_back(call.function + (call.status == TUCAMRET_SUCCESS ? "" : " failed"));
    EXPECT_EQ(functions, (std::vector<std::string> {"TUCAM_Buf_WaitForFrame", "TUCAM_Prop_SetValue",
                                                    "TUCAM_Buf_WaitForFrame failed", "TUCAM_Buf_WaitForFrame"}));
}

TEST(TucamDriver, AnAbortWithNoWaitPendingEndsTheNextWaitOfThatCaptureOnly)
{
    Camera cam(Model::Cam695);
    TUCAM_Capa_SetValue(cam.handle, TUIDC_RESOLUTION, 7);
    TUCAM_Prop_SetValue(cam.handle, TUIDP_EXPOSURETM, 1.0, 0);
    ASSERT_EQ(cam.start(), TUCAMRET_SUCCESS);
    EXPECT_EQ(TUCAM_Buf_AbortWait(cam.handle), TUCAMRET_SUCCESS);
    EXPECT_EQ(TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 5000), uint32_t(TUCAMRET_ABORT));
    EXPECT_EQ(TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 5000), uint32_t(TUCAMRET_SUCCESS));

    // A stop clears an abort nobody consumed.
    EXPECT_EQ(TUCAM_Buf_AbortWait(cam.handle), TUCAMRET_SUCCESS);
    EXPECT_EQ(TUCAM_Cap_Stop(cam.handle), TUCAMRET_SUCCESS);
    ASSERT_EQ(TUCAM_Cap_Start(cam.handle, 0), TUCAMRET_SUCCESS);
    EXPECT_EQ(TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 5000), uint32_t(TUCAMRET_SUCCESS));
}

TEST(TucamDriver, StopAndReleaseTwiceAreHarmlessAndAStoppedCaptureRefusesWaits)
{
    Camera cam(Model::Cam695);
    TUCAM_Capa_SetValue(cam.handle, TUIDC_RESOLUTION, 7);
    ASSERT_EQ(cam.start(), TUCAMRET_SUCCESS);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(TUCAM_Buf_AbortWait(cam.handle), TUCAMRET_SUCCESS);
        EXPECT_EQ(TUCAM_Cap_Stop(cam.handle), TUCAMRET_SUCCESS);
        EXPECT_EQ(TUCAM_Buf_Release(cam.handle), TUCAMRET_SUCCESS);
    }
    EXPECT_FALSE(tucamtest::state().bufferAllocated);
    EXPECT_EQ(TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 100), uint32_t(TUCAMRET_NOT_READY));
}

TEST(TucamDriver, ClosingTheCameraWakesAPendingWait)
{
    Camera cam(Model::Cam695);
    TUCAM_Capa_SetValue(cam.handle, TUIDC_RESOLUTION, 7);
    TUCAM_Prop_SetValue(cam.handle, TUIDP_EXPOSURETM, 3600000.0, 0);
    ASSERT_EQ(cam.start(), TUCAMRET_SUCCESS);
    auto waiter = std::async(std::launch::async, [&] { return TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 3600000); });
    ASSERT_TRUE(waitFor([] { return tucamtest::state().pendingWaits == 1; }, 5000));
    EXPECT_EQ(TUCAM_Dev_Close(cam.handle), TUCAMRET_SUCCESS);
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(waiter.get(), uint32_t(TUCAMRET_ABORT));
    EXPECT_EQ(TUCAM_Cap_Stop(cam.handle), uint32_t(TUCAMRET_INVALID_HANDLE));
}

TEST(TucamDriver, RefusalsNameTheirReason)
{
    Camera cam(Model::Cam695);
    TUCAM_ROI_ATTR outside {1, 2720, 0, 10, 10};
    TUCAM_ROI_ATTR empty {1, 0, 0, 0, 10};
    int32_t value = 0;
    struct Case {
        const char* what;
        uint32_t status, expected;
    } cases[] = {
        {"start without a buffer", TUCAM_Cap_Start(cam.handle, 0), TUCAMRET_NOT_READY},
        {"wait without a capture", TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 10), TUCAMRET_NOT_READY},
        {"binning table on a resolution camera", TUCAM_Capa_SetValue(cam.handle, TUIDC_BINNING_SUM, 1),
         TUCAMRET_NOT_SUPPORTED},
        {"resolution beyond the modes", TUCAM_Capa_SetValue(cam.handle, TUIDC_RESOLUTION, 8), TUCAMRET_INVALID_PARAM},
        {"bit depth 12", TUCAM_Capa_SetValue(cam.handle, TUIDC_BITOFDEPTH, 12), TUCAMRET_INVALID_PARAM},
        {"region outside the sensor", TUCAM_Cap_SetROI(cam.handle, outside), TUCAMRET_INVALID_PARAM},
        {"empty region", TUCAM_Cap_SetROI(cam.handle, empty), TUCAMRET_INVALID_PARAM},
        {"unknown property", TUCAM_Prop_SetValue(cam.handle, 99, 1, 0), TUCAMRET_NOT_SUPPORTED},
        {"other channel", TUCAM_Prop_SetValue(cam.handle, TUIDP_GLOBALGAIN, 1, 1), TUCAMRET_INVALID_PARAM},
        {"exposure of 0", TUCAM_Prop_SetValue(cam.handle, TUIDP_EXPOSURETM, 0, 0), TUCAMRET_INVALID_PARAM},
        {"null value", TUCAM_Capa_GetValue(cam.handle, TUIDC_RESOLUTION, nullptr), TUCAMRET_INVALID_PARAM},
        {"null handle", TUCAM_Capa_GetValue(nullptr, TUIDC_RESOLUTION, &value), TUCAMRET_INVALID_HANDLE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.status, c.expected) << c.what;

    ASSERT_EQ(cam.start(), TUCAMRET_SUCCESS);
    EXPECT_EQ(TUCAM_Cap_Start(cam.handle, 0), uint32_t(TUCAMRET_BUSY)) << "start twice";
    EXPECT_EQ(TUCAM_Buf_Alloc(cam.handle, &cam.frame), uint32_t(TUCAMRET_BUSY)) << "allocate while capturing";
    EXPECT_EQ(TUCAM_Capa_SetValue(cam.handle, TUIDC_RESOLUTION, 1), uint32_t(TUCAMRET_BUSY));
}

TEST(TucamDriver, OpeningNeedsTheApiAndACameraAtTheIndex)
{
    tucamtest::Config none;
    none.cameraCount = 0;
    tucamtest::reset(none);
    TUCAM_INIT init {7, nullptr};
    EXPECT_EQ(TUCAM_Api_Init(&init, 1000), uint32_t(TUCAMRET_NO_CAMERA));
    EXPECT_EQ(init.uiCamCount, 0u);
    TUCAM_OPEN open {0, nullptr};
    EXPECT_EQ(TUCAM_Dev_Open(&open), uint32_t(TUCAMRET_NO_CAMERA));
    EXPECT_EQ(open.hIdxTUCam, nullptr);

    tucamtest::reset();
    EXPECT_EQ(TUCAM_Dev_Open(&open), uint32_t(TUCAMRET_NO_CAMERA)) << "before the API is initialised";
    ASSERT_EQ(TUCAM_Api_Init(&init, 1000), TUCAMRET_SUCCESS);
    EXPECT_EQ(init.uiCamCount, 1u);
    open.uiIdxOpen = 1;
    EXPECT_EQ(TUCAM_Dev_Open(&open), uint32_t(TUCAMRET_OUT_OF_RANGE));
    open.uiIdxOpen = 0;
    ASSERT_EQ(TUCAM_Dev_Open(&open), TUCAMRET_SUCCESS);
    EXPECT_EQ(TUCAM_Dev_Open(&open), uint32_t(TUCAMRET_BUSY)) << "already open";
    TUCAM_Api_Uninit();
}

TEST(TucamDriver, ScriptedResultsFailOnlyTheMatchingCallsAndChangeNothing)
{
    Camera cam(Model::Cam695);
    tucamtest::scriptResults("TUCAM_Prop_SetValue#16", {0x80000000, TUCAMRET_SUCCESS, 0x80000104});
    EXPECT_EQ(TUCAM_Prop_SetValue(cam.handle, TUIDP_GLOBALGAIN, 30, 0), TUCAMRET_SUCCESS) << "other ids pass";
    EXPECT_EQ(TUCAM_Prop_SetValue(cam.handle, TUIDP_DPCLEVEL, 1, 0), 0x80000000u);
    double dpc = -1;
    TUCAM_Prop_GetValue(cam.handle, TUIDP_DPCLEVEL, &dpc, 0);
    EXPECT_EQ(dpc, 0.0) << "a scripted failure writes nothing";
    EXPECT_EQ(TUCAM_Prop_SetValue(cam.handle, TUIDP_DPCLEVEL, 1, 0), TUCAMRET_SUCCESS);
    EXPECT_EQ(TUCAM_Prop_SetValue(cam.handle, TUIDP_DPCLEVEL, 1, 0), 0x80000104u);
    EXPECT_EQ(TUCAM_Prop_SetValue(cam.handle, TUIDP_DPCLEVEL, 1, 0), TUCAMRET_SUCCESS) << "script used up";

    const auto logged = tucamtest::calls("TUCAM_Prop_SetValue", TUIDP_DPCLEVEL);
    ASSERT_EQ(logged.size(), 4u);
    EXPECT_EQ(logged[0].status, 0x80000000u);
    EXPECT_EQ(logged[0].args, (std::vector<double> {16, 1, 0}));
}

// The camera's auto-exposure reaches its mean target within a few frames, changing the
// exposure only after a frame; where bright bands on a dark field would saturate first (the
// faint glow with every lamp off), it holds the brightest 0.1 % of the pixels below full scale.
TEST(TucamDriver, TheCamerasAutoExposureSettlesOnItsTargetWithinAFewFrames)
{
    struct Case { const char* name; uint32_t lamps; double startMs; bool meanReached; };
    for (const Case& c : {Case{"white light", vcab::LampWhiteLight, 0.1, true}, Case{"lamps off", 0u, 1.0, false}}) {
        SCOPED_TRACE(c.name);
        Camera cam(Model::Cam695);
        vcab::CabinetState::instance().update([&](vcab::CabinetSnapshot& s) { s.lamps = c.lamps; });
        TUCAM_Capa_SetValue(cam.handle, TUIDC_RESOLUTION, 4);
        TUCAM_Prop_SetValue(cam.handle, TUIDP_EXPOSURETM, c.startMs, 0);
        TUCAM_Prop_SetValue(cam.handle, TUIDP_BRIGHTNESS, 100, 0);
        TUCAM_Prop_SetValue(cam.handle, TUIDP_ATEXPOSURE_THRESHOLD, 5, 0);
        ASSERT_EQ(TUCAM_Capa_SetValue(cam.handle, TUIDC_ATEXPOSURE, 1), TUCAMRET_SUCCESS);
        ASSERT_EQ(cam.start(), TUCAMRET_SUCCESS);
        int frames = 0;
        double mean8 = 0, exposure = 0, previous = -1;
        for (; frames < 12; ++frames) {
            ASSERT_EQ(TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 60000), TUCAMRET_SUCCESS);
            mean8 = cam.mean() / 257.0;
            TUCAM_Prop_GetValue(cam.handle, TUIDP_EXPOSURETM, &exposure, 0);
            // Read twice between two frames: the same.
            double again = 0;
            TUCAM_Prop_GetValue(cam.handle, TUIDP_EXPOSURETM, &again, 0);
            EXPECT_EQ(again, exposure);
            if (exposure == previous)
                break;
            previous = exposure;
        }
        EXPECT_LT(frames, 10) << "mean on an 8-bit scale " << mean8;
        EXPECT_GT(frames, 0) << "the first frame is far from the target";
        EXPECT_GT(exposure, c.startMs);
        std::vector<uint16_t> sorted(cam.pixels(), cam.pixels() + size_t(cam.frame.usWidth) * cam.frame.usHeight);
        std::sort(sorted.begin(), sorted.end());
        const double top = sorted[sorted.size() - 1 - sorted.size() / 1000];
        if (c.meanReached) {
            EXPECT_NEAR(mean8, 100, 5);
        } else {
            EXPECT_LT(mean8, 95);
            EXPECT_GT(top, 0.85 * 65535) << "held by its brightest pixels";
        }
        EXPECT_LT(top, 65535.0) << "under 0.1 % saturated";
    }
}

// The set value is the cooler's set-point above its coldest: 0 (what the program sets) cools the
// sensor as far as it goes, steadily, never past the coldest, and past the -6.7 degrees the
// Western-blot page waits for (-30 on its scale) within about a minute of cabinet time.
TEST(TucamDriver, TheSensorCoolsTowardsItsSetPoint)
{
    tucamtest::Config config;
    config.ambientTemperature = 25.0;
    tucamtest::reset(config);
    TUCAM_INIT init {0, nullptr};
    TUCAM_Api_Init(&init, 1000);
    TUCAM_OPEN open {0, nullptr};
    ASSERT_EQ(TUCAM_Dev_Open(&open), TUCAMRET_SUCCESS);
    double t = 0;
    TUCAM_Prop_GetValue(open.hIdxTUCam, TUIDP_TEMPERATURE, &t, 0);
    EXPECT_NEAR(t, 25.0, 0.5);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(TUCAM_Prop_SetValue(open.hIdxTUCam, TUIDP_TEMPERATURE, 0, 0), TUCAMRET_SUCCESS);
    double previous = t;
    bool monotonic = true;
    double pastWaitMs = -1;
    EXPECT_TRUE(waitFor([&] {
        TUCAM_Prop_GetValue(open.hIdxTUCam, TUIDP_TEMPERATURE, &t, 0);
        monotonic = monotonic && t <= previous;
        previous = t;
        if (pastWaitMs < 0 && t < -20.0 / 3)
            pastWaitMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        return t < tucamtest::kColdestCelsius + 0.5;
    }, 20000));
    EXPECT_TRUE(monotonic);
    EXPECT_GE(t, tucamtest::kColdestCelsius) << "never below the coldest";
    ASSERT_GE(pastWaitMs, 0);
    EXPECT_LT(pastWaitMs / vcab::timeScale(), 60000.0) << "cabinet milliseconds to the page's -30";
    EXPECT_GT(pastWaitMs / vcab::timeScale(), 10000.0) << "a sensor takes a while to cool";
    // A warmer set-point: the sensor warms back towards it.
    ASSERT_EQ(TUCAM_Prop_SetValue(open.hIdxTUCam, TUIDP_TEMPERATURE, 30, 0), TUCAMRET_SUCCESS);
    EXPECT_TRUE(waitFor([&] {
        TUCAM_Prop_GetValue(open.hIdxTUCam, TUIDP_TEMPERATURE, &t, 0);
        return t > tucamtest::kColdestCelsius + 29.0;
    }, 20000));
    EXPECT_LE(t, tucamtest::kColdestCelsius + 30.0);
    TUCAM_Api_Uninit();
}

TEST(TucamDriver, DefectPixelsShowOnlyWithoutCorrection)
{
    Camera cam(Model::Cam695);
    TUCAM_Prop_SetValue(cam.handle, TUIDP_EXPOSURETM, 1.0, 0);
    auto hotPixels = [&](double dpc) {
        TUCAM_Prop_SetValue(cam.handle, TUIDP_DPCLEVEL, dpc, 0);
        EXPECT_EQ(cam.start(), TUCAMRET_SUCCESS);
        EXPECT_EQ(TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 60000), TUCAMRET_SUCCESS);
        int hot = 0;
        for (size_t i = 0; i < size_t(cam.frame.usWidth) * cam.frame.usHeight; ++i)
            hot += cam.pixels()[i] == 65535;
        TUCAM_Cap_Stop(cam.handle);
        TUCAM_Buf_Release(cam.handle);
        return hot;
    };
    EXPECT_GT(hotPixels(0), 0);
    EXPECT_EQ(hotPixels(1), 0);
}

TEST(TucamDriver, SharpnessFollowsTheLensOfTheModel)
{
    Camera cam(Model::S20Mini);
    TUCAM_Capa_SetValue(cam.handle, TUIDC_RESOLUTION, 7);
    TUCAM_Prop_SetValue(cam.handle, TUIDP_EXPOSURETM, 100.0, 0);
    TUCAM_Prop_SetValue(cam.handle, TUIDP_DPCLEVEL, 1, 0);
    auto sharpness = [&](int lens) {
        vcab::CabinetState::instance().update([&](vcab::CabinetSnapshot& s) {
            s.bestFocus = 3000;
            s.smbusFocus = lens;
            s.serialFocus = 3000;
            s.lamps = vcab::LampWhiteLight;
        });
        EXPECT_EQ(cam.start(), TUCAMRET_SUCCESS);
        EXPECT_EQ(TUCAM_Buf_WaitForFrame(cam.handle, &cam.frame, 60000), TUCAMRET_SUCCESS);
        double sum = 0;
        const int w = cam.frame.usWidth, h = cam.frame.usHeight;
        for (int y = 0; y < h; ++y)
            for (int x = 1; x < w; ++x)
                sum += std::abs(int(cam.pixels()[y * w + x]) - int(cam.pixels()[y * w + x - 1]));
        TUCAM_Cap_Stop(cam.handle);
        TUCAM_Buf_Release(cam.handle);
        return sum;
    };
    EXPECT_GT(sharpness(3000), 1.2 * sharpness(6000));
}
