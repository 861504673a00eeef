// Selecting a frame of the image list: the histogram drawn from its record, the axis and slider
// values the page gets, the shown image and its stretch range; refused indexes.
#include "controllertest.h"

#include "h695icecamctrl.h"
#include "histograminfo.h"
#include "imagerefresh.h"
#include "kestrixctrl.h"
#include "testappdir.h"
#include "useropts.h"
#include "wbtscapturethread.h"
#include "wbtsflow.h"

#include <QSignalSpy>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <cmath>

namespace {
// A 2 x 2 frame with the given pixels.
TsFramePtr frameOf(const std::vector<uint16_t>& pixels)
{
    return TsFrame::fromPixels(2, 2, pixels.data());
}

std::vector<uint16_t> pixelsOf(const TsFramePtr& frame)
{
    if (!frame)
        return {};
    const FrameView v = frame->view();
    return std::vector<uint16_t>(v.pixels, v.pixels + v.count());
}

HistogramInfo recordOf(int low, int high, double maxLog)
{
    HistogramInfo info;
    info.low = low;
    info.high = high;
    info.maxLog = maxLog;
    info.logHist.assign(65536, std::log10(1.1));
    info.logHist[1000] = maxLog;
    return info;
}

const std::vector<uint16_t> kPixels = {1000, 2000, 3000, 60000};
} // namespace

class ImagesTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    std::unique_ptr<ControllerRig> rig;
    H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
    QtCharts::QLineSeries series;

    // Two frames: the first with the levels 1000..3000, the second 0..65535.
    void fillFrames()
    {
        cam->frameStore().appendFrame(frameOf(kPixels));
        cam->frameStore().appendHistogram(recordOf(1000, 3000, 4.5));
        cam->frameStore().appendFrame(frameOf(kPixels));
        cam->frameStore().appendHistogram(recordOf(0, 65535, 2.0));
    }

    void setAutoStretch(bool on)
    {
        UserOpts::getInstance()->setIsAutoStretch(on);
        UserOpts::getInstance()->saveUserOptsByName(UserOpts::OPT_IsAutoStretch);
    }

private slots:
    void init()
    {
        rig = std::make_unique<ControllerRig>();
        cam->frameStore().clearFrameCaches();
        cam->frameStore().currentImageIndex = -1;
        series.clear();
        rig->ctrl->setLineSeries(&series);
        rig->ctrl->setGelLineSeries(&series);
        rig->ctrl->setMultLineSeries(&series);
    }
    void cleanup()
    {
        rig->ctrl->wbTS()->captureThread = nullptr;
        cam->frameStore().clearFrameCaches();
        rig.reset();
    }

    // Every hundredth bin that holds a value is drawn at 0; empty bins do not count.
    void histogramPointsDropEveryHundredthBin()
    {
        const std::vector<double> full(65536, std::log10(1.1));
        const QVector<QPointF> points = imagerefresh::histogramPoints(full);
        QCOMPARE(points.size(), 65536);
        for (int x : {99, 199, 299, 65499})
            QCOMPARE(points[x].y(), 0.0);
        for (int x : {0, 98, 100, 198, 65535})
            QCOMPARE(points[x].y(), std::log10(1.1));
        QCOMPARE(points[65535].x(), 65535.0);

        std::vector<double> gaps(300, 1.0);
        gaps[50] = 0;   // not counted: the first drop moves one bin on
        const QVector<QPointF> shifted = imagerefresh::histogramPoints(gaps);
        QCOMPARE(shifted[99].y(), 1.0);
        QCOMPARE(shifted[100].y(), 0.0);
    }

    void binningTextFollowsTheCamerasTable_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::newRow("FL9BW index 2") << int(EnumOBJ::WBTSFL9BW_Manual) << 2 << "3*3";
        QTest::newRow("FL9BW mini index 5") << int(EnumOBJ::WBTSFL9BWMini) << 5 << "8*8";
        QTest::newRow("695 index 2") << int(EnumOBJ::WBTS695_Manual) << 2 << "4*4";
        QTest::newRow("695 index 7") << int(EnumOBJ::WBTS) << 7 << "24*24";
        QTest::newRow("FL9BW outside its table") << int(EnumOBJ::AllAuthorityTSFL9BW_Auto) << 6 << "1*1";
    }
    void binningTextFollowsTheCamerasTable()
    {
        QFETCH(int, authority);
        QFETCH(int, index);
        QFETCH(QString, text);
        QCOMPARE(WBTSFlow::binningText(authority, index), text);
    }

    // The click selects the frame, tells the page the record's values, draws the record and
    // shows the frame stretched to the record's range.
    void wbClickDrawsTheRecordAndShowsTheFrame()
    {
        fillFrames();
        setAutoStretch(true);
        QSignalSpy axis(rig->ctrl.get(), &IC_MainControl::changeAxisYMaxAndSliderValue);
        QSignalSpy shown(rig->ctrl.get(), &IC_MainControl::imageChanged);
        rig->ctrl->_WBTSImageListClicked(0);
        QCOMPARE(cam->frameStore().currentImageIndex.load(), 0);
        QCOMPARE(axis.size(), 1);
        QCOMPARE(axis[0], (QVariantList {true, 4.5, 1000, 3000}));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(series.count(), 65536);
        QCOMPARE(series.at(1000).y(), 4.5);
        QCOMPARE(series.at(99).y(), 0.0);
        QCOMPARE(series.pen().color(), QColor(Qt::black));
        QCOMPARE(series.pen().capStyle(), Qt::SquareCap);
        QCOMPARE(series.pen().joinStyle(), Qt::BevelJoin);
        // The stored record keeps its values.
        QCOMPARE(cam->frameStore().histogramAt(0)->logHist[99], std::log10(1.1));
        QCOMPARE(cam->frameStore().stretchLow.load(), 1000);
        QCOMPARE(cam->frameStore().stretchHigh.load(), 3000);
        const std::vector<uint16_t> stretched = pixelsOf(cam->frameStore().stretchFrame());
        QCOMPARE(stretched.front(), uint16_t(0));
        QCOMPARE(stretched.back(), uint16_t(65535));
        // The list keeps the frame as captured.
        QCOMPARE(pixelsOf(cam->frameStore().frameAt(0)), kPixels);
    }

    // Without automatic stretch a running capture shows its frames over the full range; after
    // it a click uses the record's range again.
    void wbStretchRangeFollowsTheCaptureAndTheOption()
    {
        fillFrames();
        setAutoStretch(false);
        WBTSCaptureThread notStarted;
        rig->ctrl->wbTS()->captureThread = &notStarted;
        rig->ctrl->_WBTSImageListClicked(0);
        QCOMPARE(cam->frameStore().stretchLow.load(), 0);
        QCOMPARE(cam->frameStore().stretchHigh.load(), 65535);
        QCOMPARE(pixelsOf(cam->frameStore().stretchFrame()), kPixels);

        rig->ctrl->wbTS()->captureThread = nullptr;
        rig->ctrl->_WBTSImageListClicked(0);
        QCOMPARE(cam->frameStore().stretchLow.load(), 1000);
        QCOMPARE(cam->frameStore().stretchHigh.load(), 3000);
    }

    // An index that addresses no frame (or no record) changes nothing and tells the page nothing.
    void indexesOutsideTheListAreRefused_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("negative") << -1;
        QTest::newRow("one past the end") << 2;
        QTest::newRow("far past the end") << 1000;
    }
    void indexesOutsideTheListAreRefused()
    {
        QFETCH(int, index);
        fillFrames();
        cam->frameStore().currentImageIndex = 1;
        QSignalSpy axis(rig->ctrl.get(), &IC_MainControl::changeAxisYMaxAndSliderValue);
        QSignalSpy shown(rig->ctrl.get(), &IC_MainControl::imageChanged);
        rig->ctrl->_WBTSImageListClicked(index);
        rig->ctrl->_GelTSImageListClicked(index);
        rig->ctrl->_MultTSImageListClicked(index);
        rig->ctrl->_WBQIImageListClicked(index);
        QCOMPARE(cam->frameStore().currentImageIndex.load(), 1);
        QCOMPARE(axis.size(), 0);
        QCOMPARE(shown.size(), 0);
        QCOMPARE(series.count(), 0);
    }

    // A frame whose record is not there yet (the saver adds it after the frame) is not drawn.
    void frameWithoutItsRecordIsNotDrawn()
    {
        fillFrames();
        cam->frameStore().appendFrame(frameOf(kPixels));
        QSignalSpy axis(rig->ctrl.get(), &IC_MainControl::changeAxisYMaxAndSliderValue);
        rig->ctrl->_WBTSImageListClicked(2);
        QCOMPARE(axis.size(), 0);
        QVERIFY(!cam->frameStore().stretchFrame());
    }

    // Gel: histogram first, then the frame shown as it is; index -1 shows nothing.
    void gelClickShowsTheFrameUnstretched()
    {
        fillFrames();
        QSignalSpy axis(rig->ctrl.get(), &IC_MainControl::changeAxisYMaxAndSliderValue);
        QSignalSpy shown(rig->ctrl.get(), &IC_MainControl::imageChanged);
        rig->ctrl->_GelTSImageListClicked(0);
        QCOMPARE(axis.size(), 1);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(pixelsOf(cam->frameStore().stretchFrame()), kPixels);

        cam->frameStore().currentImageIndex = -1;
        rig->ctrl->_GelTSUpdateImageShow();
        QCOMPARE(shown.size(), 1);
    }

    void multClickStretchesToTheRecord()
    {
        fillFrames();
        QSignalSpy axis(rig->ctrl.get(), &IC_MainControl::changeAxisYMaxAndSliderValue);
        rig->ctrl->_MultTSImageListClicked(1);
        QCOMPARE(axis[0], (QVariantList {true, 2.0, 0, 65535}));
        rig->ctrl->_MultTSImageListClicked(0);
        QCOMPARE(pixelsOf(cam->frameStore().stretchFrame()).back(), uint16_t(65535));
        QCOMPARE(cam->frameStore().stretchHigh.load(), 3000);
    }

    // Kestrix frames: the record the saver made is drawn and the display frame stretched to it.
    void kestrixClickUsesItsOwnLists()
    {
        KestrixCtrl* qi = KestrixCtrl::getInstance();
        qi->clearFrames();
        KestrixFrame frame;
        frame.region = rgn_type {0, 3, 1, 0, 1, 1};
        frame.pixels = {100, 200, 30000, 40000, 50000, 65000, 1000, 2000};
        qi->expName = QStringLiteral("WBS-qi");
        qi->appendFrame(frame);
        QVERIFY(!qi->processAndSaveImage(frame, false, KestrixCtrl::KindSignal).isEmpty());
        QCOMPARE(qi->histogramCount(), 1);
        const HistogramInfo record = qi->histogramAt(0);

        QSignalSpy axis(rig->ctrl.get(), &IC_MainControl::changeAxisYMaxAndSliderValue);
        QSignalSpy shown(rig->ctrl.get(), &IC_MainControl::imageChanged);
        rig->ctrl->_WBQIImageListClicked(0);
        QCOMPARE(axis.size(), 1);
        QCOMPARE(axis[0][2].toInt(), record.low);
        QCOMPARE(axis[0][3].toInt(), record.high);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(qi->stretchLow.load(), record.low);
        QCOMPARE(qi->displayFrame.pixels.size(), frame.pixels.size());
        qi->clearFrames();
    }
};

QTEST_MAIN(ImagesTest)
#include "wbflow_images_test.moc"
