// The driver stand-in through its C interface only, as the program and the colour library see it.
#include "kestrix64.h"
#include "kestrix64_test.h"

#include <gtest/gtest.h>

#include "cabinetstate.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const rgn_type kFull{0, 2687, 1, 0, 2199, 1};

std::string callLog()
{
    std::string log(static_cast<size_t>(kxtest_call_log(nullptr, 0)) + 1, '\0');
    kxtest_call_log(&log[0], static_cast<int32_t>(log.size()));
    log.resize(log.size() - 1);
    return log;
}

// Counts end-of-frame callbacks and remembers the last frame information.
struct Eof {
    std::mutex mutex;
    std::condition_variable cond;
    int frames = 0;
    kx_frame_info last{};
    void* latest = nullptr;

    static void callback(const kx_frame_info* info, void* context)
    {
        auto* self = static_cast<Eof*>(context);
        void* frame = nullptr;
        kx_exp_get_latest_frame(info->hcam, &frame);
        std::lock_guard<std::mutex> lock(self->mutex);
        ++self->frames;
        self->last = *info;
        self->latest = frame;
        self->cond.notify_all();
    }
    bool waitFrames(int n, int timeoutMs = 5000)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return frames >= n; });
    }
};

class Kestrix64 : public ::testing::Test {
protected:
    void SetUp() override
    {
        kxtest_reset();
        vcab::CabinetState::instance().reset();
    }
    void TearDown() override { kxtest_reset(); }

    int16_t openCamera()
    {
        EXPECT_EQ(kx_kestrix_init(), KX_SUCCESS);
        char name[KX_NAME_LEN];
        EXPECT_EQ(kx_cam_get_name(0, name), KX_SUCCESS);
        int16_t h = -1;
        EXPECT_EQ(kx_cam_open(name, &h, 0), KX_SUCCESS);
        return h;
    }
};

} // namespace

TEST_F(Kestrix64, LifecycleRefusesCallsOutOfOrder)
{
    int16_t total = -1;
    EXPECT_EQ(kx_cam_get_total(&total), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_NOT_INIT);
    EXPECT_EQ(kx_kestrix_uninit(), KX_FAILURE);

    ASSERT_EQ(kx_kestrix_init(), KX_SUCCESS);
    EXPECT_EQ(kx_kestrix_init(), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_ALREADY_INIT);
    ASSERT_EQ(kx_cam_get_total(&total), KX_SUCCESS);
    EXPECT_EQ(total, 1);

    char name[KX_NAME_LEN] = {};
    EXPECT_EQ(kx_cam_get_name(1, name), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_BAD_INDEX);
    ASSERT_EQ(kx_cam_get_name(0, name), KX_SUCCESS);
    int16_t h = -1;
    EXPECT_EQ(kx_cam_open("no such camera", &h, 0), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_NO_CAMERA);
    EXPECT_EQ(kx_cam_open(name, &h, 1), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_BAD_MODE);
    ASSERT_EQ(kx_cam_open(name, &h, 0), KX_SUCCESS);
    int16_t again = -1;
    EXPECT_EQ(kx_cam_open(name, &again, 0), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_CAM_OPEN);
    EXPECT_EQ(kx_cam_close(h), KX_SUCCESS);
    EXPECT_EQ(kx_cam_close(h), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_BAD_HANDLE);
    EXPECT_EQ(kx_kestrix_uninit(), KX_SUCCESS);
    EXPECT_EQ(kx_kestrix_init(), KX_SUCCESS);
}

TEST_F(Kestrix64, NoCameraAttached)
{
    kxtest_set_camera_count(0);
    ASSERT_EQ(kx_kestrix_init(), KX_SUCCESS);
    int16_t total = -1;
    ASSERT_EQ(kx_cam_get_total(&total), KX_SUCCESS);
    EXPECT_EQ(total, 0);
    char name[KX_NAME_LEN];
    EXPECT_EQ(kx_cam_get_name(0, name), KX_FAILURE);
}

TEST_F(Kestrix64, ErrorTextsExistForEveryCodeAndUnknownCodesAreRefused)
{
    char msg[KX_ERROR_MSG_LEN];
    for (int16_t code : {KX_ERR_NOT_INIT, KX_ERR_BAD_PARAM, KX_ERR_BUSY, KX_ERR_CAMERA_FAILED}) {
        EXPECT_EQ(kx_error_message(code, msg), KX_SUCCESS) << code;
        EXPECT_GT(std::strlen(msg), 0u);
    }
    EXPECT_EQ(kx_error_message(9999, msg), KX_FAILURE);
    EXPECT_STREQ(msg, "");
    EXPECT_EQ(kx_error_message(KX_ERR_NONE, nullptr), KX_FAILURE);
}

TEST_F(Kestrix64, ParametersKeepTheirRangesAndTypes)
{
    const int16_t h = openCamera();
    struct Case {
        uint32_t id;
        int64_t min, max, def;
    };
    for (const Case& c : {Case{PARAM_GAIN_INDEX, 1, 3, 1}, Case{PARAM_SPDTAB_INDEX, 0, 2, 0},
                          Case{PARAM_TEMP_SETPOINT, -2500, 2500, 0}}) {
        int16_t v = 0;
        ASSERT_EQ(kx_get_param(h, c.id, KX_ATTR_MIN, &v), KX_SUCCESS);
        EXPECT_EQ(v, c.min);
        ASSERT_EQ(kx_get_param(h, c.id, KX_ATTR_MAX, &v), KX_SUCCESS);
        EXPECT_EQ(v, c.max);
        ASSERT_EQ(kx_get_param(h, c.id, KX_ATTR_DEFAULT, &v), KX_SUCCESS);
        EXPECT_EQ(v, c.def);
        int16_t above = static_cast<int16_t>(c.max + 1);
        EXPECT_EQ(kx_set_param(h, c.id, &above), KX_FAILURE);
        EXPECT_EQ(kx_error_code(), KX_ERR_OUT_OF_RANGE);
        int16_t top = static_cast<int16_t>(c.max);
        ASSERT_EQ(kx_set_param(h, c.id, &top), KX_SUCCESS);
        ASSERT_EQ(kx_get_param(h, c.id, KX_ATTR_CURRENT, &v), KX_SUCCESS);
        EXPECT_EQ(v, c.max);
    }
    int16_t t = 0;
    EXPECT_EQ(kx_set_param(h, PARAM_TEMP, &t), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_READ_ONLY);
    uint32_t value = 0;
    EXPECT_EQ(kx_get_param(h, 0x01999999u, KX_ATTR_CURRENT, &value), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_BAD_PARAM);
    uint16_t avail = 1;
    ASSERT_EQ(kx_get_param(h, 0x01999999u, KX_ATTR_AVAIL, &avail), KX_SUCCESS);
    EXPECT_EQ(avail, 0);
    ASSERT_EQ(kx_get_param(h, PARAM_HOT_PIXEL_FIX, KX_ATTR_AVAIL, &avail), KX_SUCCESS);
    EXPECT_EQ(avail, 1);
    uint16_t type = 0;
    ASSERT_EQ(kx_get_param(h, PARAM_PP_PARAM, KX_ATTR_TYPE, &type), KX_SUCCESS);
    EXPECT_EQ(type, KX_TYPE_UNS32_B);
    EXPECT_EQ(kx_get_param(h, PARAM_GAIN_INDEX, 7, &value), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_BAD_ATTR);
    EXPECT_EQ(kx_get_param(h, PARAM_GAIN_INDEX, KX_ATTR_CURRENT, nullptr), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_NULL_POINTER);
    EXPECT_EQ(kx_get_param(static_cast<int16_t>(h + 7), PARAM_GAIN_INDEX, KX_ATTR_CURRENT, &value), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_BAD_HANDLE);
}

TEST_F(Kestrix64, PostProcessingTableIsWalkedBySelectingIndexes)
{
    kxtest_pp_clear();
    kxtest_pp_add_feature("First", 7);
    kxtest_pp_add_param("A", 70, 0, 10, 3);
    kxtest_pp_add_feature("Second", 8);
    kxtest_pp_add_param("B", 80, 5, 9, 6);
    kxtest_pp_add_param("C", 100, 0, 1, 0);
    const int16_t h = openCamera();

    uint32_t count = 0;
    ASSERT_EQ(kx_get_param(h, PARAM_PP_INDEX, KX_ATTR_COUNT, &count), KX_SUCCESS);
    EXPECT_EQ(count, 2u);
    int16_t feature = 1;
    ASSERT_EQ(kx_set_param(h, PARAM_PP_INDEX, &feature), KX_SUCCESS);
    char name[KX_NAME_LEN];
    ASSERT_EQ(kx_get_param(h, PARAM_PP_FEAT_NAME, KX_ATTR_CURRENT, name), KX_SUCCESS);
    EXPECT_STREQ(name, "Second");
    uint32_t id = 0;
    ASSERT_EQ(kx_get_param(h, PARAM_PP_FEAT_ID, KX_ATTR_CURRENT, &id), KX_SUCCESS);
    EXPECT_EQ(id, 8u);
    ASSERT_EQ(kx_get_param(h, PARAM_PP_PARAM_INDEX, KX_ATTR_COUNT, &count), KX_SUCCESS);
    EXPECT_EQ(count, 2u);
    int16_t param = 1;
    ASSERT_EQ(kx_set_param(h, PARAM_PP_PARAM_INDEX, &param), KX_SUCCESS);
    ASSERT_EQ(kx_get_param(h, PARAM_PP_PARAM_ID, KX_ATTR_CURRENT, &id), KX_SUCCESS);
    EXPECT_EQ(id, 100u);
    uint32_t one = 1, two = 2;
    EXPECT_EQ(kx_set_param(h, PARAM_PP_PARAM, &two), KX_FAILURE);
    ASSERT_EQ(kx_set_param(h, PARAM_PP_PARAM, &one), KX_SUCCESS);
    EXPECT_EQ(kxtest_pp_value(1, 1), 1u);
    EXPECT_EQ(kxtest_pp_value(0, 0), 3u);
    feature = 2;
    EXPECT_EQ(kx_set_param(h, PARAM_PP_INDEX, &feature), KX_FAILURE);
}

TEST_F(Kestrix64, TemperatureCoolsTowardsTheSetPointAndScriptsOverrideIt)
{
    const int16_t h = openCamera();
    int16_t t = 0;
    ASSERT_EQ(kx_get_param(h, PARAM_TEMP, KX_ATTR_CURRENT, &t), KX_SUCCESS);
    EXPECT_NEAR(t, 2500, 100);
    const int16_t setpoint = -2000;
    ASSERT_EQ(kx_set_param(h, PARAM_TEMP_SETPOINT, &setpoint), KX_SUCCESS);
    // The cooling time constant is 20 s scaled by the test time scale.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int16_t previous = t;
    bool monotonic = true;
    do {
        ASSERT_EQ(kx_get_param(h, PARAM_TEMP, KX_ATTR_CURRENT, &t), KX_SUCCESS);
        monotonic = monotonic && t <= previous;
        previous = t;
    } while (t > -1900 && std::chrono::steady_clock::now() < deadline);
    EXPECT_LE(t, -1900);
    EXPECT_GE(t, -2000);
    EXPECT_TRUE(monotonic);

    const int16_t script[] = {1234, -5};
    kxtest_script_temperatures(script, 2);
    for (int16_t expected : {int16_t(1234), int16_t(-5)}) {
        ASSERT_EQ(kx_get_param(h, PARAM_TEMP, KX_ATTR_CURRENT, &t), KX_SUCCESS);
        EXPECT_EQ(t, expected);
    }
    ASSERT_EQ(kx_get_param(h, PARAM_TEMP, KX_ATTR_CURRENT, &t), KX_SUCCESS);
    EXPECT_LE(t, -1900);
}

TEST_F(Kestrix64, SequenceDeliversOneFrameOfTheRegionSize)
{
    vcab::CabinetState::instance().update([](vcab::CabinetSnapshot& s) { s.lamps = vcab::LampUV302_1; });
    const int16_t h = openCamera();
    Eof eof;
    ASSERT_EQ(kx_cam_register_callback_ex3(h, KX_EVENT_EOF, &Eof::callback, &eof), KX_SUCCESS);
    const rgn_type region{100, 899, 4, 200, 999, 4};
    uint32_t bytes = 0;
    ASSERT_EQ(kx_exp_setup_seq(h, 1, 1, &region, KX_EXP_MODE_TIMED_OUT, 5, &bytes), KX_SUCCESS);
    EXPECT_EQ(bytes, 200u * 200u * 2u);
    std::vector<uint16_t> buffer(bytes / 2, 0);
    ASSERT_EQ(kx_exp_start_seq(h, buffer.data()), KX_SUCCESS);
    ASSERT_TRUE(eof.waitFrames(1));
    int16_t status = -1;
    uint32_t done = 0;
    ASSERT_EQ(kx_exp_check_status(h, &status, &done), KX_SUCCESS);
    EXPECT_EQ(status, KX_STATUS_COMPLETE);
    EXPECT_EQ(done, bytes);
    EXPECT_EQ(eof.last.frame_nr, 1u);
    EXPECT_EQ(eof.last.hcam, h);
    EXPECT_EQ(eof.last.width, 200);
    EXPECT_EQ(eof.last.height, 200);
    EXPECT_EQ(eof.last.frame_bytes, bytes);
    EXPECT_EQ(eof.latest, buffer.data());
    uint16_t top = 0;
    for (uint16_t v : buffer)
        top = std::max(top, v);
    EXPECT_GT(top, 1000);
    ASSERT_EQ(kx_exp_finish_seq(h, buffer.data(), 0), KX_SUCCESS);
    ASSERT_EQ(kx_exp_check_status(h, &status, &done), KX_SUCCESS);
    EXPECT_EQ(status, KX_STATUS_IDLE);
    // Finished: a new start needs a new setup.
    EXPECT_EQ(kx_exp_start_seq(h, buffer.data()), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_NOT_SETUP);
}

TEST_F(Kestrix64, SetupRefusesBadRegionsAndModes)
{
    const int16_t h = openCamera();
    uint32_t bytes = 0;
    struct Case {
        const char* name;
        rgn_type region;
        int16_t mode;
        int16_t code;
    };
    for (const Case& c : {Case{"binning 0", {0, 2687, 0, 0, 2199, 0}, 0, KX_ERR_BAD_REGION},
                          Case{"past the sensor", {0, 2688, 1, 0, 2199, 1}, 0, KX_ERR_BAD_REGION},
                          Case{"reversed", {10, 5, 1, 0, 2199, 1}, 0, KX_ERR_BAD_REGION},
                          Case{"smaller than a bin", {0, 2, 4, 0, 2199, 4}, 0, KX_ERR_BAD_REGION},
                          Case{"unequal binning", {0, 2687, 2, 0, 2199, 4}, 0, KX_ERR_BAD_REGION},
                          Case{"exposure mode", kFull, 3, KX_ERR_BAD_MODE}}) {
        EXPECT_EQ(kx_exp_setup_seq(h, 1, 1, &c.region, c.mode, 10, &bytes), KX_FAILURE) << c.name;
        EXPECT_EQ(kx_error_code(), c.code) << c.name;
    }
    EXPECT_EQ(kx_exp_setup_cont(h, 1, &kFull, 0, 10, &bytes, 0), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_BAD_MODE);
    EXPECT_EQ(kx_exp_setup_seq(h, 1, 2, &kFull, 0, 10, &bytes), KX_FAILURE);
    kxtest_set_frame_metadata(64);
    ASSERT_EQ(kx_exp_setup_seq(h, 1, 1, &kFull, 0, 0, &bytes), KX_SUCCESS);
    EXPECT_EQ(bytes, 2688u * 2200u * 2u + 64u);
}

TEST_F(Kestrix64, ContinuousFillsTheRingInTurnUntilAborted)
{
    const int16_t h = openCamera();
    Eof eof;
    ASSERT_EQ(kx_cam_register_callback_ex3(h, KX_EVENT_EOF, &Eof::callback, &eof), KX_SUCCESS);
    const rgn_type region{0, 2687, 8, 0, 2199, 8};
    uint32_t bytes = 0;
    ASSERT_EQ(kx_exp_setup_cont(h, 1, &region, KX_EXP_MODE_TIMED_OUT, 1, &bytes, KX_BUFFER_CIRCULAR), KX_SUCCESS);
    ASSERT_EQ(bytes, 336u * 275u * 2u);
    std::vector<uint8_t> ring(bytes * 3);
    EXPECT_EQ(kx_exp_start_cont(h, ring.data(), bytes - 1), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_BUFFER_SMALL);
    ASSERT_EQ(kx_exp_start_cont(h, ring.data(), static_cast<uint32_t>(ring.size())), KX_SUCCESS);
    EXPECT_EQ(kx_exp_setup_cont(h, 1, &region, 0, 1, &bytes, KX_BUFFER_CIRCULAR), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_BUSY);
    ASSERT_TRUE(eof.waitFrames(5));
    {
        std::lock_guard<std::mutex> lock(eof.mutex);
        // Frame n sits in slot (n - 1) mod 3.
        EXPECT_EQ(eof.latest, ring.data() + ((eof.last.frame_nr - 1) % 3) * bytes);
    }
    ASSERT_EQ(kx_exp_abort(h, KX_ABORT_HALT), KX_SUCCESS);
    int after;
    {
        std::lock_guard<std::mutex> lock(eof.mutex);
        after = eof.frames;
    }
    // No callback runs once the abort has returned.
    EXPECT_FALSE(eof.waitFrames(after + 1, 100));
    EXPECT_EQ(kx_exp_abort(h, 0), KX_FAILURE);
}

TEST_F(Kestrix64, SilentCameraNeverFinishesAFrameAndCloseStopsIt)
{
    kxtest_set_silent(1);
    const int16_t h = openCamera();
    Eof eof;
    ASSERT_EQ(kx_cam_register_callback_ex3(h, KX_EVENT_EOF, &Eof::callback, &eof), KX_SUCCESS);
    uint32_t bytes = 0;
    ASSERT_EQ(kx_exp_setup_seq(h, 1, 1, &kFull, 0, 0, &bytes), KX_SUCCESS);
    std::vector<uint8_t> buffer(bytes);
    ASSERT_EQ(kx_exp_start_seq(h, buffer.data()), KX_SUCCESS);
    EXPECT_FALSE(eof.waitFrames(1, 200));
    int16_t status = -1;
    uint32_t done = 1;
    ASSERT_EQ(kx_exp_check_status(h, &status, &done), KX_SUCCESS);
    EXPECT_EQ(status, KX_STATUS_EXPOSING);
    EXPECT_EQ(done, 0u);
    void* frame = nullptr;
    EXPECT_EQ(kx_exp_get_latest_frame(h, &frame), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_NO_FRAME);
    EXPECT_EQ(kx_cam_close(h), KX_SUCCESS);
    EXPECT_EQ(kx_kestrix_uninit(), KX_SUCCESS);
}

TEST_F(Kestrix64, InjectedFaultsHitTheMatchingCallsOnlyAndAreLogged)
{
    const int16_t h = openCamera();
    kxtest_clear_call_log();
    kxtest_inject_fault("kx_set_param", PARAM_GAIN_INDEX, KXTEST_ANY_ATTR, KX_ERR_CAMERA_FAILED, 1, 1);
    const int16_t gain = 2;
    EXPECT_EQ(kx_set_param(h, PARAM_GAIN_INDEX, &gain), KX_SUCCESS);  // skipped once
    EXPECT_EQ(kx_set_param(h, PARAM_SPDTAB_INDEX, &gain), KX_SUCCESS);  // other parameter
    EXPECT_EQ(kx_set_param(h, PARAM_GAIN_INDEX, &gain), KX_FAILURE);
    EXPECT_EQ(kx_error_code(), KX_ERR_CAMERA_FAILED);
    EXPECT_EQ(kx_set_param(h, PARAM_GAIN_INDEX, &gain), KX_SUCCESS);  // used up
    EXPECT_EQ(callLog(), "kx_set_param 0x01020200\n"
                         "kx_set_param 0x01020201\n"
                         "kx_set_param 0x01020200 fail 119\n"
                         "kx_error_code\n"
                         "kx_set_param 0x01020200\n");

    kxtest_inject_fault("kx_get_param", PARAM_PP_PARAM, KX_ATTR_MAX, 42, 0, -1);
    uint32_t v = 0;
    EXPECT_EQ(kx_get_param(h, PARAM_PP_PARAM, KX_ATTR_MIN, &v), KX_SUCCESS);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(kx_get_param(h, PARAM_PP_PARAM, KX_ATTR_MAX, &v), KX_FAILURE);
        EXPECT_EQ(kx_error_code(), 42);
    }
    kxtest_clear_faults();
    EXPECT_EQ(kx_get_param(h, PARAM_PP_PARAM, KX_ATTR_MAX, &v), KX_SUCCESS);
}

TEST_F(Kestrix64, ErrorCodesArePerThread)
{
    ASSERT_EQ(kx_kestrix_init(), KX_SUCCESS);
    EXPECT_EQ(kx_kestrix_init(), KX_FAILURE);
    int16_t other = -1;
    std::thread([&] { other = kx_error_code(); }).join();
    EXPECT_EQ(other, KX_ERR_NONE);
    EXPECT_EQ(kx_error_code(), KX_ERR_ALREADY_INIT);
}

TEST_F(Kestrix64, ExposureResolutionScalesTheExposure)
{
    vcab::CabinetState::instance().update([](vcab::CabinetSnapshot& s) { s.lamps = vcab::LampUV302_1; });
    const int16_t h = openCamera();
    const rgn_type region{0, 2687, 16, 0, 2199, 16};
    auto meanOf = [&](int32_t resolution, uint32_t exposure) {
        EXPECT_EQ(kx_set_param(h, PARAM_EXP_RES, &resolution), KX_SUCCESS);
        uint32_t bytes = 0;
        EXPECT_EQ(kx_exp_setup_seq(h, 1, 1, &region, 0, exposure, &bytes), KX_SUCCESS);
        std::vector<uint16_t> frame(bytes / 2);
        EXPECT_EQ(kx_exp_start_seq(h, frame.data()), KX_SUCCESS);
        int16_t status = 0;
        uint32_t done = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        do {
            std::this_thread::yield();
            EXPECT_EQ(kx_exp_check_status(h, &status, &done), KX_SUCCESS);
        } while (status != KX_STATUS_COMPLETE && std::chrono::steady_clock::now() < deadline);
        EXPECT_EQ(kx_exp_finish_seq(h, frame.data(), 0), KX_SUCCESS);
        double sum = 0;
        for (uint16_t v : frame)
            sum += v;
        return sum / frame.size();
    };
    const double ms = meanOf(KX_EXP_RES_MS, 1);
    const double us = meanOf(KX_EXP_RES_US, 1000);
    EXPECT_NEAR(us / ms, 1.0, 0.01);
    const double halfMs = meanOf(KX_EXP_RES_US, 500);
    EXPECT_LT(halfMs, 0.6 * ms);
}

TEST_F(Kestrix64, FailedReadoutEndsTheSequenceWithoutAFrame)
{
    const int16_t h = openCamera();
    Eof eof;
    ASSERT_EQ(kx_cam_register_callback_ex3(h, KX_EVENT_EOF, &Eof::callback, &eof), KX_SUCCESS);
    const rgn_type region{0, 2687, 16, 0, 2199, 16};
    uint32_t bytes = 0;
    ASSERT_EQ(kx_exp_setup_seq(h, 1, 1, &region, 0, 0, &bytes), KX_SUCCESS);
    std::vector<uint8_t> buffer(bytes);
    kxtest_fail_frames(1);
    ASSERT_EQ(kx_exp_start_seq(h, buffer.data()), KX_SUCCESS);
    int16_t status = KX_STATUS_EXPOSING;
    uint32_t done = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (status == KX_STATUS_EXPOSING && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
        ASSERT_EQ(kx_exp_check_status(h, &status, &done), KX_SUCCESS);
    }
    EXPECT_EQ(status, KX_STATUS_FAILED);
    EXPECT_EQ(done, 0u);
    EXPECT_FALSE(eof.waitFrames(1, 50));
    // The failure is used up: the next sequence delivers.
    ASSERT_EQ(kx_exp_finish_seq(h, buffer.data(), 0), KX_SUCCESS);
    ASSERT_EQ(kx_exp_setup_seq(h, 1, 1, &region, 0, 0, &bytes), KX_SUCCESS);
    ASSERT_EQ(kx_exp_start_seq(h, buffer.data()), KX_SUCCESS);
    EXPECT_TRUE(eof.waitFrames(1));
}

namespace {

// A callback that tries what a callback must not do, and what it may.
struct Meddler {
    std::atomic<int> calls{0};
    std::atomic<int> closeResult{-1};
    std::atomic<int> closeError{-1};
    std::atomic<int> abortResult{-1};
    static void callback(const kx_frame_info* info, void* context)
    {
        auto* self = static_cast<Meddler*>(context);
        if (self->calls++ == 0) {
            self->closeResult = kx_cam_close(info->hcam);
            self->closeError = kx_error_code();
            self->abortResult = kx_exp_abort(info->hcam, KX_ABORT_HALT);
        }
    }
};

} // namespace

TEST_F(Kestrix64, CallbackMayAbortButNotClose)
{
    const int16_t h = openCamera();
    Meddler meddler;
    ASSERT_EQ(kx_cam_register_callback_ex3(h, KX_EVENT_EOF, &Meddler::callback, &meddler), KX_SUCCESS);
    const rgn_type region{0, 2687, 16, 0, 2199, 16};
    uint32_t bytes = 0;
    ASSERT_EQ(kx_exp_setup_cont(h, 1, &region, 0, 0, &bytes, KX_BUFFER_CIRCULAR), KX_SUCCESS);
    std::vector<uint8_t> ring(bytes * 2);
    ASSERT_EQ(kx_exp_start_cont(h, ring.data(), static_cast<uint32_t>(ring.size())), KX_SUCCESS);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (meddler.abortResult == -1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_EQ(meddler.closeResult, KX_FAILURE);
    EXPECT_EQ(meddler.closeError, KX_ERR_BUSY);
    EXPECT_EQ(meddler.abortResult, KX_SUCCESS);
    // The abort from inside stopped the acquisition: a new setup is accepted.
    uint32_t again = 0;
    EXPECT_EQ(kx_exp_setup_cont(h, 1, &region, 0, 0, &again, KX_BUFFER_CIRCULAR), KX_SUCCESS);
    EXPECT_EQ(meddler.calls, 1);
    EXPECT_EQ(kx_cam_close(h), KX_SUCCESS);
}
