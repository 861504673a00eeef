// The preview thread of the Kestrix camera on the stand-in: frames handed to the view, exposure
// and gain changes between frames, a stop that is no error, the same object started again with
// a new binning, and every failing step reported with its text, the camera stopped and the ring
// released.
#include "wbqifixture.h"

#include "kestrixbuffer.h"
#include "testappdir.h"
#include "wbqipreviewthread.h"

#include <QRegularExpression>

#include <opencv2/core.hpp>


namespace {

void connectRecorder(WBQIPreviewThread& t, QiRecorder& r)
{
    QObject::connect(&t, &WBQIPreviewThread::sig_CamErrorOccur, &r, &QiRecorder::onError);
    QObject::connect(&t, &WBQIPreviewThread::updatePreviewImage, &r, &QiRecorder::onPreview);
}

} // namespace

class QiPreview : public QiCabinet {
protected:
    // Waits for count more frames announced and handed to the view.
    bool waitForFrames(QiRecorder& r, int count)
    {
        const int target = r.previews + count;
        return waitFor([&] { return r.previews >= target; }, 20000);
    }
    int liveWidth() const
    {
        const auto live = kx->liveFrame();
        return live ? live->width() : 0;
    }
};

TEST_F(QiPreview, FramesReachTheViewUntilAStopWhichIsNoError)
{
    QiRecorder rec;
    WBQIPreviewThread thread;
    connectRecorder(thread, rec);
    thread.start();
    ASSERT_TRUE(waitForFrames(rec, 3));
    EXPECT_EQ(liveWidth(), 672);
    EXPECT_EQ(kx->liveFrame()->height(), 550);
    EXPECT_EQ(KestrixBuffer::live(), 1);   // the ring

    kx->abortPreview();
    ASSERT_TRUE(runToEnd(thread));
    EXPECT_FALSE(rec.events.contains("error"));
    EXPECT_TRUE(logged(QStringLiteral("Processing aborted on camera preview  %1").arg(ctx->hcam.load())));
    EXPECT_EQ(KestrixBuffer::live(), 0);
    EXPECT_FALSE(kx->liveFrame());
    // The camera was set up as the context says, then stopped.
    const std::string calls = callLog();
    EXPECT_EQ(calls.find("kx_cam_register_callback_ex3\nkx_set_param 0x01020201\nkx_exp_setup_cont\n"
                         "kx_set_param 0x01020200\nkx_exp_start_cont\n"),
              0u)
        << calls;
    EXPECT_EQ(callsOf("kx_exp_abort"), 1);
    int16_t gain = 0;
    ASSERT_EQ(kx_get_param(ctx->hcam, PARAM_GAIN_INDEX, KX_ATTR_CURRENT, &gain), KX_SUCCESS);
    EXPECT_EQ(gain, 3);
}

TEST_F(QiPreview, ExposureAndGainChangesApplyBetweenFrames)
{
    QiRecorder rec;
    WBQIPreviewThread thread;
    connectRecorder(thread, rec);
    thread.start();
    ASSERT_TRUE(waitForFrames(rec, 2));
    const double before = cv::mean(cv::Mat(550, 672, CV_16UC1, const_cast<uint16_t*>(kx->liveFrame()->pixels.data())))[0];

    ctx->exposureTime = 400;
    ctx->gainIndex = 1;
    ctx->previewSettingsChanged = true;
    ASSERT_TRUE(waitFor([&] { return !ctx->previewSettingsChanged; }, 20000));
    ASSERT_TRUE(waitForFrames(rec, 3));
    int16_t gain = 0;
    ASSERT_EQ(kx_get_param(ctx->hcam, PARAM_GAIN_INDEX, KX_ATTR_CURRENT, &gain), KX_SUCCESS);
    EXPECT_EQ(gain, 1);
    EXPECT_EQ(callsOf("kx_exp_setup_cont"), 2);
    EXPECT_EQ(callsOf("kx_exp_start_cont"), 2);
    // Ten times the exposure at a quarter of the gain: brighter frames.
    const double after = cv::mean(cv::Mat(550, 672, CV_16UC1, const_cast<uint16_t*>(kx->liveFrame()->pixels.data())))[0];
    EXPECT_GT(after, before * 1.5);

    kx->abortPreview();
    ASSERT_TRUE(runToEnd(thread));
    EXPECT_FALSE(rec.events.contains("error"));
    EXPECT_EQ(KestrixBuffer::live(), 0);
}

TEST_F(QiPreview, TheSameThreadStartsAgainWithANewBinning)
{
    QiRecorder rec;
    WBQIPreviewThread thread;
    connectRecorder(thread, rec);
    thread.start();
    ASSERT_TRUE(waitForFrames(rec, 2));
    kx->abortPreview();
    ASSERT_TRUE(runToEnd(thread));

    // The stop's wake is still in the frame set when the same object starts again.
    kx->abortPreview();
    setBinning(8);
    ctx->previewAbort = false;
    kxtest_clear_call_log();
    thread.start();
    ASSERT_TRUE(waitForFrames(rec, 2));
    EXPECT_EQ(liveWidth(), 336);
    EXPECT_FALSE(rec.events.contains("error"));
    kx->abortPreview();
    ASSERT_TRUE(runToEnd(thread));
    EXPECT_EQ(KestrixBuffer::live(), 0);
}

TEST_F(QiPreview, EveryFailingStepIsReportedWithItsText)
{
    struct Case {
        const char* name;
        const char* call;
        uint32_t param;
        int32_t skip;
        const char* text;
        bool silent;
    };
    const Case cases[] = {
        {"callback", "kx_cam_register_callback_ex3", 0, 0, "kx_cam_register_callback()  error.", false},
        {"speed", "kx_set_param", PARAM_SPDTAB_INDEX, 0, "kx_set_param(PARAM_SPDTAB_INDEX) error.", false},
        {"setup", "kx_exp_setup_cont", 0, 0, "kx_exp_setup_cont() error.", false},
        {"gain", "kx_set_param", PARAM_GAIN_INDEX, 0, "kx_set_param(PARAM_GAIN_INDEX) error.", false},
        {"start", "kx_exp_start_cont", 0, 0, "kx_exp_start_cont() error.", false},
        // A frame whose address the library could not give is an error of the wait.
        {"missing frame", "kx_exp_get_latest_frame", 0, 1, "waitForEofEvent errorOccured.", false},
        // A camera silent for the wait's time-out.
        {"silence", nullptr, 0, 0, "waitForEofEvent errorOccured.", true},
        // The restart after a gain change: its abort, its setup and its start.
        {"restart abort", "kx_exp_abort", 0, 0, "kx_exp_abort() error.", false},
        {"restart gain", "kx_set_param", PARAM_GAIN_INDEX, 1, "kx_set_param(PARAM_GAIN_INDEX) error.", false},
        {"restart setup", "kx_exp_setup_cont", 0, 1, "kx_exp_setup_cont() error.", false},
        {"restart start", "kx_exp_start_cont", 0, 1, "kx_exp_start_cont() error.", false},
    };
    int16_t code = 300;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kxtest_clear_faults();
        kxtest_set_silent(c.silent ? 1 : 0);
        log->clear();
        ++code;
        // A missing frame fails for good: the preview reads only the newest frame, and a single
        // failure is overwritten by the next frame when the thread wakes late.
        const bool missing = c.call && QString(c.call) == "kx_exp_get_latest_frame";
        if (c.call)
            kxtest_inject_fault(c.call, c.param, KXTEST_ANY_ATTR, code, c.skip, missing ? -1 : 1);
        const bool restart = QString(c.name).startsWith("restart");
        ctx->previewAbort = false;
        ctx->preview.clear();
        QiRecorder rec;
        WBQIPreviewThread thread;
        thread.frameTimeoutMs = 300;
        connectRecorder(thread, rec);
        thread.start();
        if (restart) {
            ASSERT_TRUE(waitForFrames(rec, 1));
            ctx->gainIndex = 2;
            ctx->previewSettingsChanged = true;
        }
        ASSERT_TRUE(runToEnd(thread, 20000));
        EXPECT_EQ(rec.events.count("error"), 1);
        // A failed wait carries no failing call of this thread: its code is whatever came last.
        const bool waitFailed = QString(c.text).startsWith("waitForEofEvent");
        if (!waitFailed) {
            EXPECT_TRUE(logged(QStringLiteral("相机错误代码: %1 %2").arg(code).arg(c.text)))
                << log->lines().join('\n').toStdString();
        } else {
            EXPECT_EQ(log->lines().filter(QRegularExpression(QStringLiteral("^相机错误代码: -?\\d+ %1$").arg(c.text))).size(), 1)
                << log->lines().join('\n').toStdString();
        }
        if (c.silent) {
            EXPECT_TRUE(logged(QStringLiteral("Camera %d timed out waiting for a preview frame %1").arg(ctx->hcam.load())));
        }
        if (missing) {
            EXPECT_TRUE(logged(QStringLiteral("kx_exp_get_latest_frame() error.")));
        }
        // Whatever the way out, the camera is stopped and no ring is left behind.
        EXPECT_EQ(KestrixBuffer::live(), 0);
        int16_t status = -1;
        uint32_t bytes = 0;
        ASSERT_EQ(kx_exp_check_status(ctx->hcam, &status, &bytes), KX_SUCCESS);
        EXPECT_NE(status, KX_STATUS_EXPOSING);
        EXPECT_FALSE(kx->liveFrame());
    }
    kxtest_set_silent(0);
}
