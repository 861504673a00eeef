// Every frame the capture thread lists has its histogram record at its own place, whatever the
// capture kind, and the record is already there when the thread announces the frame's picture
// (the page then selects that frame and draws its histogram, while the thread may have listed
// the next frame already).

#include "wbfixture.h"

#include "histograminfo.h"
#include "wbtscapturethread.h"

namespace {

struct KindCase {
    const char* name;
    bool single;
    int singleCapExpTime;
    bool markerCapture;
    const char* exposures;   // multiple capture: the explicit list
    bool integral;
    bool colorMarker;
    bool autoStretch;
    int frames;              // listed at the end
};

// A record describes frame index when its histogram is that frame's.
bool describes(const H695ICECamCtrl& ctrl, int index, std::string* why)
{
    const TsFramePtr frame = ctrl.frameStore().frameAt(index);
    const std::shared_ptr<const HistogramInfo> record = ctrl.frameStore().histogramAt(index);
    if (!frame || !record) {
        *why = "frame " + std::to_string(index) + (frame ? " has no record" : " missing");
        return false;
    }
    HistogramInfo own;
    H695ICECamCtrl::computeLogHistogram(frame->record(), own);
    if (own.logHist != record->logHist) {
        *why = "record " + std::to_string(index) + " describes another frame";
        return false;
    }
    return true;
}

} // namespace

class WbCaptureRecords : public WbCabinet {};

TEST_F(WbCaptureRecords, EveryListedFrameHasItsOwnHistogramRecordAfterEachCaptureKind)
{
    const KindCase cases[] = {
        {"marker only", true, 0, false, nullptr, false, false, false, 1},
        {"sample only", true, 700, true, nullptr, false, false, false, 1},
        {"marker, sample and merge", true, 700, false, nullptr, false, false, false, 3},
        {"marker, sample and merge, stretched", true, 700, false, nullptr, false, false, true, 3},
        {"multiple", false, 0, false, "300,600,900", false, false, false, 4},
        {"multiple accumulated", false, 0, false, "300,600,900", true, false, true, 4},
        {"colour marker and coloured merge", true, 700, false, nullptr, false, true, false, 2},
        {"colour marker after a marker", true, 0, false, nullptr, false, true, false, 1},
    };
    int n = 0;
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (n++ > 0) {
            TearDown();
            SetUp();
        }
        ctrl->singleCaptureVisible = c.single;
        setOption(UserOpts::OPT_SingleCapExpTime, [&](UserOpts* o) { o->setSingleCapExpTime(c.singleCapExpTime); });
        setOption(UserOpts::OPT_MarkerCapture, [&](UserOpts* o) { o->setMarkerCapture(c.markerCapture); });
        setOption(UserOpts::OPT_IntegralAccumulate, [&](UserOpts* o) { o->setIntegralAccumulate(c.integral); });
        setOption(UserOpts::OPT_MultiCapCount, [](UserOpts* o) { o->setMultiCapCount(3); });
        setOption(UserOpts::OPT_MultiCapExpTimesChanged, [&](UserOpts* o) { o->setMultiCapExpTimesChanged(c.exposures); });
        setOption(UserOpts::OPT_MultiCapExpTimes, [&](UserOpts* o) { o->setMultiCapExpTimes(c.exposures ? c.exposures : ""); });
        setOption(UserOpts::OPT_ColorMarker, [&](UserOpts* o) { o->setColorMarker(c.colorMarker); });
        setOption(UserOpts::OPT_IsAutoStretch, [&](UserOpts* o) { o->setIsAutoStretch(c.autoStretch); });
        insertExperiment(QStringLiteral("WBS-records-%1").arg(n));

        WBTSCaptureThread thread;
        thread.lightCtrl = light.get();
        thread.serialPort = link.get();
        // What the page finds when a picture is announced: the frame saved under that name, with
        // its own record, even when a newer frame is listed already.
        int announced = 0;
        QStringList faults;
        QObject::connect(&thread, &WBTSCaptureThread::singleImageCaped, &thread,
                         [&](const QString& path, int, double, int) {
                             ++announced;
                             const QString file = path.section('/', -1);
                             int index = -1;
                             for (int i = 0; i < ctrl->frameStore().frameCount() && index < 0; ++i)
                                 if (ctrl->frameStore().frameFileName(i) == file)
                                     index = i;
                             std::string why = "no frame listed as " + file.toStdString();
                             if (index < 0 || !describes(*ctrl, index, &why))
                                 faults << QString::fromStdString(why);
                         },
                         Qt::DirectConnection);
        thread.start();
        ASSERT_TRUE(runToEnd(thread, 90000));

        EXPECT_TRUE(faults.isEmpty()) << faults.join("; ").toStdString();
        EXPECT_EQ(announced, c.frames);
        ASSERT_EQ(ctrl->frameStore().frameCount(), c.frames);
        EXPECT_EQ(ctrl->frameStore().histogramCount(), c.frames);
        for (int i = 0; i < ctrl->frameStore().frameCount(); ++i) {
            std::string why;
            EXPECT_TRUE(describes(*ctrl, i, &why)) << why;
            EXPECT_FALSE(ctrl->frameStore().frameFileName(i).isEmpty()) << i;
        }
    }
}
