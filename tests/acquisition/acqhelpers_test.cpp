// The shared pieces of the acquisition threads: a frame run that never outlives its way out and
// tells its waits apart, the one ending of a capture, and the colour marker's tinting and
// composition.

#include <gtest/gtest.h>

#include "camerarun.h"
#include "colormarker.h"
#include "h695icecamctrl.h"

#include "logcapture.h"
#include "tucam_test.h"

#include <QMutex>

namespace {

class Camera : public ::testing::Test {
protected:
    void SetUp() override
    {
        tucamtest::reset();
        ASSERT_TRUE(cam.openCamera(0));
        cam.setResolution(7);
        cam.setExposureTime(1);
        while (cam.semCap.tryAcquire(1)) {
        }
    }
    void TearDown() override
    {
        tucamtest::clearScripts();
        cam.closeCamera();
    }
    H695ICECamCtrl cam;
    TUCAM_FRAME frame = acq::freshFrameRecord();
};

} // namespace

TEST_F(Camera, EveryWayOutOfARunStopsWhatWasStarted)
{
    struct Case {
        const char* name;
        std::function<void(acq::CameraRun&)> leave;
    } cases[] = {
        {"scope left after a frame", [](acq::CameraRun& run) { EXPECT_EQ(run.waitForFrame("x", {}), acq::CameraRun::Wait::Frame); }},
        {"scope left at once", [](acq::CameraRun&) {}},
        {"stopped twice", [](acq::CameraRun& run) { run.stop(); run.stop(); }},
    };
    for (const Case& c : cases) {
        {
            acq::CameraRun run(&cam, &frame);
            ASSERT_TRUE(run.start()) << c.name;
            EXPECT_TRUE(tucamtest::state().capturing) << c.name;
            c.leave(run);
        }
        EXPECT_FALSE(tucamtest::state().capturing) << c.name;
        EXPECT_FALSE(tucamtest::state().bufferAllocated) << c.name;
    }
    // A refused start leaves nothing to stop and announces nothing.
    tucamtest::scriptResults("TUCAM_Cap_Start", {0x80000000});
    tucamtest::clearCallLog();
    {
        acq::CameraRun run(&cam, &frame);
        EXPECT_FALSE(run.start(nullptr, true));
        EXPECT_FALSE(run.running());
    }
    EXPECT_EQ(cam.semCap.available(), 0);
    EXPECT_TRUE(tucamtest::calls("TUCAM_Cap_Stop").empty());
}

TEST_F(Camera, AnAnnouncedStartReleasesOnePermitUnderTheCaptureMutex)
{
    QMutex captureMutex;
    acq::CameraRun run(&cam, &frame);
    ASSERT_TRUE(run.start(&captureMutex, true));
    EXPECT_EQ(cam.semCap.available(), 1);
    EXPECT_TRUE(captureMutex.tryLock()) << "the mutex is held only around the start";
    captureMutex.unlock();
    acq::CameraRun quiet(&cam, &frame);
    run.stop();
    ASSERT_TRUE(quiet.start());
    EXPECT_EQ(cam.semCap.available(), 1);
}

TEST_F(Camera, WaitsAreToldApart)
{
    struct Case {
        uint32_t status;
        TUCAMRET alsoAbort;
        acq::CameraRun::Wait wait;
        bool errorReported;
        QString line;
    } cases[] = {
        {TUCAMRET_SUCCESS, TUCAMRET_ABORT, acq::CameraRun::Wait::Frame, false, QString()},
        {TUCAMRET_ABORT, TUCAMRET_ABORT, acq::CameraRun::Wait::Aborted, false, "采集线程abort。"},
        {0x80000209, 0x80000209, acq::CameraRun::Wait::Aborted, false, "采集线程abort。"},
        {0x80000209, TUCAMRET_ABORT, acq::CameraRun::Wait::Failed, true, "m_WaitForFrame failed."},
        {TUCAMRET_TIMEOUT, TUCAMRET_ABORT, acq::CameraRun::Wait::Failed, true, "m_WaitForFrame failed."},
    };
    for (const Case& c : cases) {
        tucamtest::scriptResults("TUCAM_Buf_WaitForFrame", {c.status});
        acq::CameraRun run(&cam, &frame);
        ASSERT_TRUE(run.start());
        int errors = 0;
        LogCapture log;
        EXPECT_EQ(run.waitForFrame("采集线程abort。", [&] { ++errors; }, 0, c.alsoAbort), c.wait) << c.status;
        EXPECT_EQ(errors, c.errorReported ? 1 : 0) << c.status;
        if (!c.line.isEmpty()) {
            EXPECT_TRUE(log.contains(c.line)) << c.status;
        }
        // An aborted wait stops the run with the logged calls; the others leave it to the owner.
        EXPECT_EQ(log.contains("采集停止成功。"), c.wait == acq::CameraRun::Wait::Aborted) << c.status;
        EXPECT_EQ(run.running(), c.wait != acq::CameraRun::Wait::Aborted) << c.status;
    }
}

TEST(CaptureEnding, EveryWayOutMarksTheEndAndEmptiesTheCancelPermits)
{
    std::atomic<bool> ended {true};
    QSemaphore semCap;
    {
        acq::CaptureEnding ending(ended, semCap);
        EXPECT_FALSE(ended) << "a run under way";
        semCap.release(3);
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(semCap.available(), 0);
}

TEST(ColourMarker, TintingLogsTheColourAndScalesTheGrey)
{
    struct Case {
        uint16_t grey;
        QColor colour;
        cv::Vec3b bgr;
    } cases[] = {
        {65535, Qt::green, {0, 255, 0}},
        {65535, Qt::red, {0, 0, 255}},
        {128, Qt::green, {0, 0, 0}},   // 128 / 257 rounds to 0
        {65535, QColor(128, 64, 32), {32, 64, 128}},
        {257 * 100, Qt::blue, {100, 0, 0}},
    };
    for (const Case& c : cases) {
        cv::Mat image(2, 3, CV_16UC1, cv::Scalar(c.grey));
        acq::stainImage(image, c.colour);
        ASSERT_EQ(image.type(), CV_8UC3);
        EXPECT_EQ(image.at<cv::Vec3b>(1, 2), c.bgr) << c.grey;
    }
    LogCapture log;
    cv::Mat image(1, 1, CV_16UC1, cv::Scalar(1));
    acq::stainImage(image, Qt::green);
    // The colour as the debug stream prints one, not its channel numbers.
    EXPECT_TRUE(log.contains("染色结束： QColor(ARGB 1, 0, 1, 0)")) << log.lines().join(" | ").toStdString();
}

TEST(ColourMarker, ThePlanesAreEvenedTintedAndBlended)
{
    struct Case {
        const char* name;
        int green, red, blue;
        cv::Vec3b pixel;
    } cases[] = {
        // Evened to the green frame's mean 1000: each tints to 4 (1000 / 257 rounded) in its
        // channel, and the blend of a channel with zeros keeps it.
        {"evened", 1000, 2000, 4000, {4, 4, 4}},
        // A black green frame scales nothing: red 65535 and blue 25700 keep their levels.
        {"green frame black", 0, 65535, 25700, {100, 0, 255}},
    };
    for (const Case& c : cases) {
        std::array<cv::Mat, 3> planes = {cv::Mat(4, 5, CV_16UC1, cv::Scalar(c.green)),
                                         cv::Mat(4, 5, CV_16UC1, cv::Scalar(c.red)),
                                         cv::Mat(4, 5, CV_16UC1, cv::Scalar(c.blue))};
        ASSERT_TRUE(acq::composeColorMarker(planes)) << c.name;
        ASSERT_EQ(planes[0].type(), CV_8UC3);
        EXPECT_EQ(planes[0].at<cv::Vec3b>(3, 4), c.pixel) << c.name;
    }
    // On frames of every level the picture is the one the steps make one by one: each frame
    // evened, tinted as a whole BGR picture, and the three screen-blended byte by byte.
    cv::RNG rng(5);
    for (double greenMean : {0.0, 3000.0}) {
        std::array<cv::Mat, 3> planes;
        for (cv::Mat& p : planes) {
            p.create(101, 37, CV_16UC1);
            rng.fill(p, cv::RNG::UNIFORM, 0, 65536);
        }
        if (greenMean == 0)
            planes[0].setTo(0);
        std::array<cv::Mat, 3> steps;
        const double m = cv::mean(planes[0])[0];
        const QColor tints[3] = {Qt::green, Qt::red, Qt::blue};
        for (int i = 0; i < 3; ++i) {
            steps[size_t(i)] = m != 0 ? H695ICECamCtrl::adjust16UToTargetMean(planes[size_t(i)], m)
                                      : planes[size_t(i)].clone();
            acq::stainImage(steps[size_t(i)], tints[i]);
        }
        const int bytes = int(steps[0].total()) * 3;
        H695ICECamCtrl::mergeImages(bytes, 1, steps[0].ptr<uint8_t>(), steps[1].ptr<uint8_t>());
        H695ICECamCtrl::mergeImages(bytes, 1, steps[0].ptr<uint8_t>(), steps[2].ptr<uint8_t>());
        ASSERT_TRUE(acq::composeColorMarker(planes));
        EXPECT_EQ(cv::norm(planes[0], steps[0], cv::NORM_INF), 0.0) << greenMean;
    }

    std::array<cv::Mat, 3> uneven = {cv::Mat(4, 5, CV_16UC1, cv::Scalar(1)), cv::Mat(4, 4, CV_16UC1, cv::Scalar(1)),
                                     cv::Mat(4, 5, CV_16UC1, cv::Scalar(1))};
    EXPECT_FALSE(acq::composeColorMarker(uneven));
    EXPECT_TRUE(uneven[0].empty() && uneven[1].empty() && uneven[2].empty());
    std::array<cv::Mat, 3> missing = {cv::Mat(4, 5, CV_16UC1, cv::Scalar(1)), cv::Mat(), cv::Mat(4, 5, CV_16UC1)};
    EXPECT_FALSE(acq::composeColorMarker(missing));
}
