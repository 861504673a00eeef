// The multi-fluorescence capture thread on the virtual cabinet: one frame per channel under the
// lamp and filter the page chose, its TIFF named after the light, its parameters appended to the
// row, its report; cancels before, during and after the frame; a missing row; refusals and
// failures, each leaving the camera stopped.

#include "multfixture.h"

#include "apppaths.h"
#include "cabinetstate.h"
#include "experimentrecord.h"
#include "fluorchannels.h"
#include "logcapture.h"
#include "multtscapturethread.h"
#include "testappdir.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QMutex>

#include <memory>

namespace {

void connectRecorder(MultTSCaptureThread& t, MultRecorder& r)
{
    QObject::connect(&t, &MultTSCaptureThread::sig_CamErrorOccur, &r, &MultRecorder::onError);
    QObject::connect(&t, &MultTSCaptureThread::sig_SaveFailed, &r, [&r](const QString&) { r.events << "save failed"; });
    QObject::connect(&t, &MultTSCaptureThread::singleImageCaped, &r, &MultRecorder::onImage);
}

// The cabinet's lamp and filter of a channel, and the page's light type for it.
struct Channel {
    const char* name;
    int lightType;
    uint32_t lamp;
    int filterPos;
    int dye;
    const char* suffix;
};
const Channel kRed {"R625nm", 4, vcab::LampRed, 4, vcab::ChannelR625, "_Red"};
const Channel kGreen {"G520nm", 5, vcab::LampGreen, 2, vcab::ChannelG520, "_Green"};
const Channel kBlue {"B470nm", 6, vcab::LampBlue, 1, vcab::ChannelB470, "_Blue"};

} // namespace

class MultCapture : public MultCabinet {
protected:
    void SetUp() override
    {
        MultCabinet::SetUp();
        prepareCamera(1);
        insertExperiment(QStringLiteral("Mult-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }

    void start(MultTSCaptureThread& t, MultRecorder& r, bool fl9bw = false)
    {
        t.captureMutex = &captureMutex;
        t.isFL9BW = fl9bw;
        connectRecorder(t, r);
        t.start();
    }

    std::unique_ptr<MultExperimentRecord> row() { return std::unique_ptr<MultExperimentRecord>(db->selectExperimentByName(expName)); }

    // Mean of a 5 x 5 patch of a stored frame at a spot of a dye (binning 2, no mirror).
    double spotMean(const TsFramePtr& frame, int dye)
    {
        double u = 0, v = 0;
        EXPECT_TRUE(vcab::spotCentre(dye, 3, u, v));
        int sw = 0, sh = 0;
        tucamtest::sensorSize(tucamtest::Model::Cam695, sw, sh);
        const int cx = int(u * sw / 2) - 30, cy = int(v * sh / 2) - 5;
        const FrameView view = frame->view();
        double sum = 0;
        for (int y = cy - 2; y <= cy + 2; ++y)
            for (int x = cx - 2; x <= cx + 2; ++x)
                sum += view.pixels[size_t(y) * view.width + x];
        return sum / 25;
    }

    QMutex captureMutex;
};

// Three channels, one after the other as the page takes them: each file is named after its
// light and shows only its own dye; the row gets one entry per file; the reports carry the
// channel's exposure.
TEST_F(MultCapture, ThreeChannelsGiveOneFileEachAndTheirRowEntries)
{
    struct Shot { Channel channel; double exposure; };
    const Shot shots[] = {{kRed, 50}, {kGreen, 20}, {kBlue, 35}};
    MultRecorder rec;
    for (const Shot& s : shots) {
        SCOPED_TRACE(s.channel.name);
        light(s.channel.lamp, s.channel.filterPos);
        MultTSCaptureThread thread(s.exposure, s.channel.lightType);
        start(thread, rec);
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_TRUE(thread.isCaptureFinished);
        EXPECT_DOUBLE_EQ(tucamtest::state().exposureMs, s.exposure);
        EXPECT_FALSE(tucamtest::state().capturing);
        EXPECT_EQ(ctrl->semCap.available(), 0);
    }
    EXPECT_EQ(rec.events, QStringList({"image 2 50 45", "image 2 20 45", "image 2 35 45"}));

    const QStringList tifs = tifsIn(folder);
    ASSERT_EQ(tifs.size(), 3) << tifs.join(' ').toStdString();
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        const QString name = rec.paths[i].section('/', -1);
        EXPECT_EQ(rec.paths[i], folder + name);
        EXPECT_TRUE(name.endsWith(QString(shots[i].channel.suffix) + ".tif")) << name.toStdString();
        EXPECT_TRUE(QRegExp("\\d\\d-\\d\\d-\\d\\d-\\d\\d\\d_[A-Za-z]+\\.tif").exactMatch(name)) << name.toStdString();
        EXPECT_TRUE(tifs.contains(name));
        // The user's copy beside it.
        const QString date = QDate::currentDate().toString("yyyy-MM-dd");
        EXPECT_TRUE(QFile::exists(AppPaths::appDir() + "/B/" + date + "/" + expName + "/" + name));
        names << name;
    }
    const auto r = row();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->binning, "2*2,2*2,2*2,");
    EXPECT_EQ(r->exposureTime, "50,20,35,");
    EXPECT_EQ(r->gain, "45,45,45,");
    EXPECT_EQ(r->imageNames, names.join(',') + ",");

    // Each frame shows its own dye and none of the two others (whose spots show only the
    // membrane's glow in that channel).
    ASSERT_EQ(ctrl->frameStore().frameCount(), 3);
    ASSERT_EQ(ctrl->frameStore().histogramCount(), 3);
    // The capture view's frame is the last one taken, shared with the list.
    EXPECT_EQ(ctrl->frameStore().captureFrame(), ctrl->frameStore().frameAt(2));
    for (int i = 0; i < 3; ++i) {
        const TsFramePtr frame = ctrl->frameStore().frameAt(i);
        for (int j = 0; j < 3; ++j) {
            const double own = spotMean(frame, shots[i].channel.dye);
            if (i != j) {
                EXPECT_GT(own, 2 * spotMean(frame, shots[j].channel.dye)) << i << " against " << j;
            }
        }
    }
}

// The binning and gain entries follow the camera: the FL9BW camera's table and its gain modes
// counted from 1; the exposure entry is the channel's, with up to six digits.
TEST_F(MultCapture, RowEntriesFollowTheCameraAndTheExposure)
{
    struct Case {
        const char* name;
        tucamtest::Model model;
        int authority;
        bool fl9bw;
        int binningIndex;
        int gain;
        double exposure;
        QString binning, gainText, exposureText, event;
    } cases[] = {
        {"FL9BW index 4", tucamtest::Model::FL9BW, EnumOBJ::AllAuthorityTSFL9BW_Auto, true, 4, 2, 1500, "6*6,", "3,",
         "1500,", "image 6 1500 3"},
        {"695 index 4", tucamtest::Model::Cam695, EnumOBJ::AllAuthorityTS695_Auto, false, 4, 30, 0.25, "8*8,", "30,",
         "0.25,", "image 8 0.25 30"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openCamera(c.model, c.authority);
        ctrl->gain = c.gain;
        prepareCamera(c.binningIndex, c.fl9bw);
        insertExperiment(QStringLiteral("Mult-entries-%1").arg(++n));
        light(vcab::LampBlue, 1);
        MultRecorder rec;
        MultTSCaptureThread thread(c.exposure, kBlue.lightType);
        start(thread, rec, c.fl9bw);
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_EQ(rec.events, QStringList({c.event}));
        const auto r = row();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->binning, c.binning);
        EXPECT_EQ(r->gain, c.gainText);
        EXPECT_EQ(r->exposureTime, c.exposureText);
    }
}

// A cancel before the exposure or during it: no file, no row entry, no report; the camera is
// stopped. A cancel after the picture was written: that frame is finished (row entry and
// report), the camera is stopped all the same.
TEST_F(MultCapture, CancelBeforeDuringAndAfterTheFrame)
{
    enum class When { Before, During, AfterSave };
    struct Case { const char* name; When when; double exposure; int files; } cases[] = {
        {"before", When::Before, 50, 0},
        {"during", When::During, 100000, 0},
        {"after the picture was written", When::AfterSave, 50, 1},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        insertExperiment(QStringLiteral("Mult-cancel-%1").arg(++n));
        ctrl->frameStore().clearFrameCaches();
        light(kBlue.lamp, kBlue.filterPos);
        tucamtest::clearCallLog();
        MultRecorder rec;
        MultTSCaptureThread thread(c.exposure, kBlue.lightType);
        if (c.when == When::Before)
            ctrl->isAbort = true;
        if (c.when == When::AfterSave) {
            // As the controller's cancel would: the permit of the exposure, the abort, the wait broken.
            thread.afterSave = [this] {
                ASSERT_TRUE(ctrl->semCap.tryAcquire(1));
                ctrl->isAbort = true;
                ctrl->abortWait();
            };
        }
        start(thread, rec);
        if (c.when == When::During) {
            ASSERT_EQ(cancelCapture(thread.isCaptureFinished), Cancel::Aborted);
        }
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_TRUE(thread.isCaptureFinished);
        EXPECT_FALSE(tucamtest::state().capturing) << "the camera is stopped";
        EXPECT_FALSE(tucamtest::state().bufferAllocated);
        EXPECT_EQ(ctrl->semCap.available(), 0);
        EXPECT_EQ(tifsIn(folder).size(), c.files);
        EXPECT_EQ(ctrl->frameStore().frameCount(), c.files);
        EXPECT_FALSE(rec.events.contains("error"));
        EXPECT_EQ(rec.events.size(), c.files);
        const auto r = row();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->imageNames.count(','), c.files);
        EXPECT_EQ(r->exposureTime, c.files ? QString("50,") : QString());
        ctrl->isAbort = false;
    }
}

// Without a row of that name the picture is still written and reported; nothing is written into
// another row, and no row is made up.
TEST_F(MultCapture, WithoutARowThePictureIsKeptAndReported)
{
    ctrl->setExpName(QStringLiteral("Mult-no-row"));
    folder = AppPaths::appDir() + "/Images/" + QDate::currentDate().toString("yyyy-MM-dd") + "/Mult-no-row/";
    light(kRed.lamp, kRed.filterPos);
    LogCapture log;
    MultRecorder rec;
    MultTSCaptureThread thread(30, kRed.lightType);
    start(thread, rec);
    ASSERT_TRUE(runToEnd(thread));
    EXPECT_EQ(rec.events, QStringList({"image 2 30 45"}));
    EXPECT_EQ(tifsIn(folder).size(), 1);
    EXPECT_TRUE(log.contains("no multi-fluorescence experiment row named"));
    std::unique_ptr<MultExperimentRecord> none(db->selectExperimentByName("Mult-no-row"));
    EXPECT_FALSE(none);
    EXPECT_EQ(row()->imageNames, QString()) << "the other experiment's row is untouched";
    EXPECT_FALSE(tucamtest::state().capturing);
}

// Refusals and failures: a binning index outside the camera's table starts nothing; a camera
// that refuses to start, a failed frame wait and a picture that cannot be written each report
// the camera error and leave the camera stopped, the row and the list as they were.
TEST_F(MultCapture, RefusalsAndFailuresReportTheCameraErrorAndLeaveTheCameraStopped)
{
    struct Case {
        const char* name;
        bool fl9bw;
        int binningIndex;
        std::function<void(const QString& folder)> fault;
        int cameraStarts;
        // A picture that cannot be written is no camera fault: the camera stays usable.
        const char* event = "error";
    } cases[] = {
        {"FL9BW index 6", true, 6, [](const QString&) {}, 0},
        {"index 8", false, 8, [](const QString&) {}, 0},
        {"camera start refused", false, 1, [](const QString&) { tucamtest::failAlways("TUCAM_Cap_Start", 0x80000000); }, 1},
        {"frame wait failed", false, 1,
         [](const QString&) { tucamtest::failAlways("TUCAM_Buf_WaitForFrame", 0x80000000); }, 1},
        {"picture not written", false, 1,
         [](const QString& folder) {
             // A file where the experiment's folder belongs.
             QDir().mkpath(QFileInfo(folder.chopped(1)).path());
             QFile blocker(folder.chopped(1));
             ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
         },
         1, "save failed"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        insertExperiment(QStringLiteral("Mult-fault-%1").arg(++n));
        ctrl->frameStore().clearFrameCaches();
        tucamtest::clearScripts();
        c.fault(folder);
        ctrl->binningIndex = c.binningIndex;
        tucamtest::clearCallLog();
        LogCapture log;
        MultRecorder rec;
        MultTSCaptureThread thread(30, kBlue.lightType);
        start(thread, rec, c.fl9bw);
        ASSERT_TRUE(runToEnd(thread));
        EXPECT_EQ(rec.events, QStringList({QString::fromLatin1(c.event)}));
        EXPECT_TRUE(thread.isCaptureFinished);
        EXPECT_EQ(int(tucamtest::calls("TUCAM_Cap_Start").size()), c.cameraStarts);
        EXPECT_FALSE(tucamtest::state().capturing);
        EXPECT_EQ(ctrl->frameStore().frameCount(), 0);
        EXPECT_EQ(ctrl->frameStore().histogramCount(), 0);
        EXPECT_EQ(ctrl->semCap.available(), 0);
        EXPECT_TRUE(captureMutex.tryLock()) << "the capture mutex is free again";
        captureMutex.unlock();
        EXPECT_EQ(row()->imageNames, QString());
        if (c.cameraStarts == 0) {
            EXPECT_TRUE(log.contains("outside the table"));
        }
    }
}
