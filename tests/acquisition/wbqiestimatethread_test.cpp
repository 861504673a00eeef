// The estimation thread of the Kestrix camera on the stand-in: the estimate on the virtual scene
// and what a capture at it gives, reference frames that never came or came without an address,
// an abort, and failing library calls.
#include "wbqifixture.h"

#include "kestrixbuffer.h"
#include "testappdir.h"
#include "wbqiestimate.h"
#include "wbqiestimatethread.h"

#include <QDebug>
#include <QRegularExpression>

#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

void connectRecorder(WBQIEstimateThread& t, QiRecorder& r)
{
    QObject::connect(&t, &WBQIEstimateThread::sig_CamErrorOccur, &r, &QiRecorder::onError);
    QObject::connect(&t, &WBQIEstimateThread::updateEstimateTime, &r, &QiRecorder::onEstimate);
}

int estimateOf(const QiRecorder& r)
{
    const QStringList e = r.events.filter(QRegularExpression("^estimate "));
    return e.size() == 1 ? e[0].mid(9).toInt() : -1;
}

// One frame of the whole sensor at the context's binning and gain.
std::vector<uint16_t> grab(KestrixCameraContext* ctx, uint32_t exposureMs)
{
    const rgn_type r = ctx->region;
    uint32_t bytes = 0;
    std::vector<uint16_t> pixels;
    const int16_t gain = int16_t(ctx->gainIndex.load());
    if (kx_set_param(ctx->hcam, PARAM_GAIN_INDEX, &gain) != KX_SUCCESS
        || kx_cam_register_callback_ex3(ctx->hcam, KX_EVENT_EOF, kestrixSequenceFrameReady, ctx) != KX_SUCCESS
        || kx_exp_setup_seq(ctx->hcam, 1, 1, &r, KX_EXP_MODE_TIMED_OUT, exposureMs, &bytes) != KX_SUCCESS)
        return pixels;
    pixels.resize(bytes / 2);
    ctx->captureAbort = false;
    ctx->sequence.clear();
    if (kx_exp_start_seq(ctx->hcam, pixels.data()) != KX_SUCCESS
        || ctx->sequence.wait(ctx->captureAbort, 20000) != KestrixFrameSet::Frame)
        pixels.clear();
    kx_exp_finish_seq(ctx->hcam, pixels.data(), 0);
    return pixels;
}

} // namespace

class QiEstimate : public QiCabinet {
protected:
    void SetUp() override
    {
        QiCabinet::SetUp();
        ctx->estimateAbort = false;
    }
};

TEST_F(QiEstimate, TheEstimateOnTheVirtualSceneFollowsTheBinningAndKeepsTheBandsInRange)
{
    std::vector<int> estimates;
    for (int binning : {2, 4}) {
        SCOPED_TRACE(binning);
        setBinning(binning);
        QiRecorder rec;
        WBQIEstimateThread thread;
        thread.offsetSource = [] { return 0; };
        connectRecorder(thread, rec);
        thread.start();
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_FALSE(rec.events.contains("error"));
        const int estimate = estimateOf(rec);
        ASSERT_GT(estimate, 0);
        estimates.push_back(estimate);
        // The first reference decided: the scene's bands glow brightly enough at 100 ms.
        EXPECT_EQ(thread.curExpTime, 100);
        EXPECT_LT(estimate, qiestimate::maximumFor(binning, 0));
        EXPECT_TRUE(logged(QStringLiteral("预估线程开始运行。")));
        EXPECT_TRUE(logged(QStringLiteral("预估时间： %1").arg(estimate)));
        EXPECT_EQ(KestrixBuffer::live(), 0);
        // The reference was the whole sensor at 16 x 16, at gain 3.
        EXPECT_EQ(thread.referenceRegion.s2, 2687);
        EXPECT_EQ(thread.referenceRegion.p2, 2199);
        EXPECT_EQ(thread.referenceRegion.sbin, 16);
        EXPECT_EQ(thread.referenceRegion.pbin, 16);

        // A frame at the estimate shows the bands well above the background and none saturated.
        std::vector<uint16_t> frame = grab(ctx, uint32_t(estimate));
        ASSERT_FALSE(frame.empty());
        cv::Mat image(2200 / binning, 2688 / binning, CV_16UC1, frame.data());
        double lo = 0, hi = 0;
        cv::minMaxLoc(image, &lo, &hi);
        EXPECT_LT(hi, 65535.0);
        EXPECT_GT(hi, 65535.0 / 4);
    }
    // Signal grows with the binning's square: a quarter of the exposure at twice the binning.
    EXPECT_NEAR(double(estimates[0]) / estimates[1], 4.0, 0.05);
}

TEST_F(QiEstimate, AReferenceThatNeverCameIsAFailedAttemptNotAFrame)
{
    struct Case {
        const char* name;
        bool readoutFails;   // no callback: the wait times out
        bool noAddress;      // a callback whose frame address the library could not give
    };
    for (const Case& c : {Case {"time-out", true, false}, Case {"no frame address", false, true}}) {
        SCOPED_TRACE(c.name);
        log->clear();
        kxtest_clear_faults();
        if (c.readoutFails)
            kxtest_fail_frames(1);
        if (c.noAddress)
            kxtest_inject_fault("kx_exp_get_latest_frame", 0, KXTEST_ANY_ATTR, 77, 0, 1);
        QiRecorder rec;
        WBQIEstimateThread thread;
        thread.frameTimeoutMs = 300;
        thread.offsetSource = [] { return 0; };
        connectRecorder(thread, rec);
        thread.start();
        ASSERT_TRUE(runToEnd(thread));
        // The first attempt failed, the second (100 ms longer) decided.
        EXPECT_EQ(thread.curExpTime, 200);
        EXPECT_GT(estimateOf(rec), 0);
        EXPECT_FALSE(rec.events.contains("error"));
        EXPECT_EQ(KestrixBuffer::live(), 0);
        EXPECT_EQ(log->lines().filter("开始采集参考图像：").size(), 2);
        if (c.readoutFails) {
            EXPECT_TRUE(logged(QStringLiteral("Camera %d timed out waiting for a est frame %1").arg(ctx->hcam.load())));
        } else {
            EXPECT_TRUE(logged(QStringLiteral("kx_exp_get_latest_frame() error.")));
        }
    }
}

TEST_F(QiEstimate, AnAbortEndsWithoutAnEstimateOrAnError)
{
    kxtest_set_silent(1);
    QiRecorder rec;
    WBQIEstimateThread thread;
    connectRecorder(thread, rec);
    thread.start();
    ASSERT_TRUE(waitFor([&] { return callsOf("kx_exp_start_seq") == 1; }, 20000));
    kx->abortEstimate();
    ASSERT_TRUE(runToEnd(thread, 20000));
    kxtest_set_silent(0);
    EXPECT_TRUE(rec.events.isEmpty()) << rec.events.join(',').toStdString();
    EXPECT_TRUE(logged(QStringLiteral("Processing aborted on camera est  %1").arg(ctx->hcam.load())));
    EXPECT_FALSE(log->contains(QStringLiteral("预估时间：")));
    EXPECT_EQ(KestrixBuffer::live(), 0);
}

TEST_F(QiEstimate, FailingCallsAreReportedAndEndItOrAreReportedAndPassed)
{
    struct Case {
        const char* call;
        uint32_t param;
        const char* text;
        bool goesOn;   // after a frame, the run goes on to its estimate
    };
    const Case cases[] = {
        {"kx_cam_register_callback_ex3", 0, "kx_cam_register_callback() error.", false},
        {"kx_set_param", PARAM_GAIN_INDEX, "kx_set_param(PARAM_GAIN_INDEX) error.", false},
        {"kx_exp_setup_seq", 0, "kx_exp_setup_seq() error.", false},
        {"kx_exp_start_seq", 0, "kx_exp_start_seq() error.", false},
        {"kx_exp_finish_seq", 0, "kx_exp_finish_seq() error.", true},
        {"kx_exp_abort", 0, "kx_exp_abort() error.", true},
    };
    int16_t code = 500;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        log->clear();
        kxtest_clear_faults();
        kxtest_inject_fault(c.call, c.param, KXTEST_ANY_ATTR, ++code, 0, 1);
        ctx->estimateAbort = false;
        QiRecorder rec;
        WBQIEstimateThread thread;
        thread.offsetSource = [] { return 0; };
        connectRecorder(thread, rec);
        thread.start();
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_TRUE(logged(QStringLiteral("camera errorCode: %1 %2").arg(code).arg(c.text)))
            << log->lines().join('\n').toStdString();
        EXPECT_EQ(rec.events.count("error"), 1);
        EXPECT_EQ(estimateOf(rec) > 0, c.goesOn);
        EXPECT_EQ(KestrixBuffer::live(), 0);
    }
}
