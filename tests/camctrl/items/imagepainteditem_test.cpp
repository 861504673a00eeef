// The capture pages' picture item painted into an image: which picture each mode and index
// shows, the fitting, the overlays, and that corrections and overlays never reach the camera's
// frames or the reference files.
#include "imagepainteditem.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>

#include "apppaths.h"
#include "displayimage.h"
#include "asyncserialportthread.h"
#include "h695icecamctrl.h"
#include "ic_maincontrol.h"
#include "kestrixctrl.h"
#include "logcapture.h"
#include "testappdir.h"
#include "useropts.h"

namespace {

constexpr QRgb kBackground = 0xff010203;

// A w x h frame of one value, with the pixels given as (x, y, value) set.
TsFramePtr frameOf(int w, int h, uint16_t value, std::initializer_list<std::array<int, 3>> set = {})
{
    std::vector<uint16_t> pixels(size_t(w) * size_t(h), value);
    for (const auto& p : set)
        pixels[size_t(p[1]) * size_t(w) + size_t(p[0])] = uint16_t(p[2]);
    return TsFrame::fromPixels(w, h, pixels.data());
}

std::vector<uint16_t> pixelsOf(const TsFramePtr& frame)
{
    const FrameView v = frame->view();
    return std::vector<uint16_t>(v.pixels, v.pixels + v.count());
}

int grey(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y));
}

} // namespace

class ImagePaintedItemTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    ASyncSerialPortThread link;
    std::unique_ptr<IC_MainControl> ctrl;
    H695ICECamCtrl* cam = nullptr;
    TsFrameStore* frames = nullptr;
    KestrixCtrl* qi = nullptr;
    std::unique_ptr<ImagePaintedItem> item;

    // Paints the item into a fresh image of the box's size.
    QImage paint(int w = 60, int h = 40)
    {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(kBackground);
        QPainter painter(&image);
        item->paint(&painter);
        return image;
    }
    bool untouched(const QImage& image)
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != kBackground)
                    return false;
        return true;
    }
    // A 40 x 20 picture shown 1:1 in the 60 x 40 box, at (10, 10).
    void showAtOrigin(int index)
    {
        item->setImageIndex(index);
        item->setMWidth(60);
        item->setMHeight(40);
        item->setMOrigin(true);
    }
    void setMode(EnumOBJ::AuthorityType authority, EnumOBJ::ExpMode mode)
    {
        ctrl->setAuthorityType(authority);
        ctrl->setExpMode(mode);
    }

private slots:
    void init()
    {
        ctrl = std::make_unique<IC_MainControl>(nullptr, &link);
        cam = ctrl->h695ICECamCtrl;
        frames = &cam->frameStore();
        qi = ctrl->kestrixCtrl;
        frames->clearFrameCaches();
        frames->clearCurrentFrame();
        frames->setCaptureFrame(nullptr);
        frames->captureIndex = -1;
        cam->isFocusMeasuring = false;
        cam->isFFC = false;
        cam->isInFFC = false;
        cam->binningIndex = 0;
        cam->resetFFC();
        qi->clearFrames();
        qi->setLiveFrame(nullptr);
        item = std::make_unique<ImagePaintedItem>(ctrl.get());
        setMode(EnumOBJ::GelAndWBTS, EnumOBJ::Gel);
    }
    void cleanup()
    {
        item.reset();
        ctrl.reset();
    }

    void eachModeShowsItsPictures_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("shown"); // grey level at (10, 10), -1 for nothing drawn
        // Live 128, capture 64, list entry 0 at 32.
        QTest::newRow("gel live") << int(EnumOBJ::GelAndWBTS) << int(EnumOBJ::Gel) << -1 << 128;
        QTest::newRow("gel capture") << int(EnumOBJ::GelAndWBTS) << int(EnumOBJ::Gel) << -2 << 64;
        QTest::newRow("gel stored frame") << int(EnumOBJ::GelAndWBTS) << int(EnumOBJ::Gel) << 0 << 32;
        QTest::newRow("western blot live") << int(EnumOBJ::AllAuthorityTS) << int(EnumOBJ::WB) << -1 << 128;
        QTest::newRow("western blot stored frame") << int(EnumOBJ::AllAuthorityTS) << int(EnumOBJ::WB) << 0 << 32;
        QTest::newRow("fluorescence live") << int(EnumOBJ::AllAuthorityTS) << int(EnumOBJ::Mult) << -1 << 128;
        QTest::newRow("fluorescence capture") << int(EnumOBJ::AllAuthorityTS) << int(EnumOBJ::Mult) << -2 << 64;
        QTest::newRow("fluorescence stored frame") << int(EnumOBJ::AllAuthorityTS) << int(EnumOBJ::Mult) << 0 << 32;
        QTest::newRow("index -3: nothing") << int(EnumOBJ::GelAndWBTS) << int(EnumOBJ::Gel) << -3 << -1;
        QTest::newRow("index past the list: nothing") << int(EnumOBJ::GelAndWBTS) << int(EnumOBJ::Gel) << 3 << -1;
        QTest::newRow("unknown index: nothing") << int(EnumOBJ::GelAndWBTS) << int(EnumOBJ::Gel) << -7 << -1;
        QTest::newRow("Kestrix configuration in gel mode: nothing") << int(EnumOBJ::WBQI) << int(EnumOBJ::Gel) << -1 << -1;
        QTest::newRow("unknown configuration: nothing") << int(EnumOBJ::Unknow_AuthorityType) << int(EnumOBJ::WB) << -1 << -1;
        QTest::newRow("unknown mode: nothing") << int(EnumOBJ::GelAndWBTS) << int(EnumOBJ::Unknow_ExpMode) << -1 << -1;
    }
    void eachModeShowsItsPictures()
    {
        QFETCH(int, authority);
        QFETCH(int, mode);
        QFETCH(int, index);
        QFETCH(int, shown);
        frames->setCurrentFrame(frameOf(40, 20, 128 * 257)->record());
        frames->setCaptureFrame(frameOf(40, 20, 64 * 257));
        frames->appendFrame(frameOf(40, 20, 32 * 257));
        setMode(EnumOBJ::AuthorityType(authority), EnumOBJ::ExpMode(mode));
        showAtOrigin(index);
        const QImage image = paint();
        if (shown < 0) {
            QVERIFY(untouched(image));
            return;
        }
        QCOMPARE(grey(image, 10, 10), shown);
        QCOMPARE(grey(image, 49, 29), shown);
        QCOMPARE(image.pixel(9, 10), kBackground);
        QCOMPARE(image.pixel(50, 29), kBackground);
        QCOMPARE(item->mScale(), 1.0);
        QCOMPARE(item->width(), 60.0);
    }

    // The selected frame shows as the controller last stretched it; other entries as captured.
    void storedFramesShowTheirDisplayStretch()
    {
        setMode(EnumOBJ::AllAuthorityTS, EnumOBJ::WB);
        frames->appendFrame(frameOf(40, 20, 1500));
        frames->appendFrame(frameOf(40, 20, 1500));
        frames->currentImageIndex = 1;
        QVERIFY(frames->updateStretchFrame(1000, 2000));
        showAtOrigin(1);
        QCOMPARE(grey(paint(), 20, 20), 128);
        showAtOrigin(0);
        QCOMPARE(grey(paint(), 20, 20), displayLevel(1500));
        // A selected frame whose stretch failed (no histogram) shows as captured, never the
        // picture stretched for the entry chosen before.
        frames->appendFrame(frameOf(40, 20, 1500));
        frames->currentImageIndex = 2;
        showAtOrigin(2);
        QCOMPARE(grey(paint(), 20, 20), displayLevel(1500));
    }

    // Once the capture is over its frame shows the levels chosen for it, in every mode; a
    // stretch of another entry leaves the capture frame as captured.
    void finishedCaptureShowsItsDisplayStretch_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("gel") << int(EnumOBJ::Gel);
        QTest::newRow("western blot") << int(EnumOBJ::WB);
        QTest::newRow("fluorescence") << int(EnumOBJ::Mult);
    }
    void finishedCaptureShowsItsDisplayStretch()
    {
        QFETCH(int, mode);
        setMode(EnumOBJ::AllAuthorityTS, EnumOBJ::ExpMode(mode));
        frames->appendFrame(frameOf(40, 20, 1500));
        const TsFramePtr capture = frameOf(40, 20, 1500);
        frames->appendFrame(capture);
        frames->setCaptureFrame(capture);
        frames->currentImageIndex = 1;
        QVERIFY(frames->updateStretchFrame(1000, 2000));
        showAtOrigin(-2);
        QCOMPARE(grey(paint(), 20, 20), 128);
        showAtOrigin(1);
        QCOMPARE(grey(paint(), 20, 20), 128);
        frames->currentImageIndex = 0;
        QVERIFY(frames->updateStretchFrame(1000, 2000));
        showAtOrigin(-2);
        QCOMPARE(grey(paint(), 20, 20), displayLevel(1500));
    }

    void fittingFollowsTheOneShotRequests()
    {
        frames->setCurrentFrame(frameOf(640, 480, 65535)->record());
        item->setImageIndex(-1);
        item->setMWidth(1000);
        item->setMHeight(800);
        item->setMOrigin(true);
        paint(1000, 800);
        QCOMPARE(item->mScale(), 1.0);
        QCOMPARE(item->getTempRect(), QRect(180, 160, 640, 480));
        QVERIFY(!item->mOrigin());

        item->setMWidth(600);
        item->setMOrigin(true);
        paint(600, 800);
        QCOMPARE(item->mScale(), 0.9375);
        // The scale stays for later paints; a zoom beyond the box resizes the item.
        item->setMScale(2.0);
        const QImage zoomed = paint(1280, 960);
        QCOMPARE(item->width(), 1280.0);
        QCOMPARE(item->height(), 960.0);
        QCOMPARE(item->getTempRect(), QRect(0, 0, 1280, 960));
        QCOMPARE(grey(zoomed, 1279, 959), 255);
    }

    void aFileIsShownFitted()
    {
        const QString path = appDir.filePath("Images/2024-01-02/Gel1/10-00-00-000_color.tif");
        QDir().mkpath(QFileInfo(path).path());
        cv::imwrite(path.toStdString(), cv::Mat(20, 40, CV_8UC3, cv::Scalar(30, 20, 10)));
        item->setImageName("file://" + path);
        showAtOrigin(-4);
        const QImage image = paint();
        QCOMPARE(image.pixel(10, 10), qRgb(10, 20, 30));
        QCOMPARE(item->getTempRect(), QRect()); // files leave the frame rectangle
        item->setImageName(appDir.filePath("missing.tif"));
        item->setMOrigin(true);
        QVERIFY(untouched(paint()));
    }

    void kestrixViewShowsItsFrames()
    {
        setMode(EnumOBJ::WBQI, EnumOBJ::WB);
        auto live = std::make_shared<KestrixFrame>();
        live->region = rgn_type{0, 39, 1, 0, 19, 1};
        live->pixels.assign(800, 200 * 257);
        qi->setLiveFrame(live);
        item->setImageIndex(-1);
        item->setMWidth(60);
        item->setMHeight(40);
        QImage image = paint();
        QCOMPARE(grey(image, 0, 0), 200);
        QCOMPARE(item->width(), 40.0); // unscaled in a larger box, item at the picture's size
        QCOMPARE(image.pixel(40, 0), kBackground);

        // A box smaller than the frame fits it, keeping the aspect ratio.
        item->setMWidth(20);
        item->setMHeight(20);
        image = paint();
        QCOMPARE(item->width(), 20.0);
        QCOMPARE(item->height(), 10.0);

        KestrixFrame stored = *live;
        stored.pixels.assign(800, 50 * 257);
        qi->appendFrame(stored);
        // Captured frames fit and zoom like the Tucsen ones: centred in the box at the view's scale.
        item->setImageIndex(0);
        item->setMWidth(60);
        QCOMPARE(grey(paint(), 20, 5), 50);
        QCOMPARE(item->getTempRect(), QRect(10, 0, 40, 20));
        // The selected entry shows its display stretch.
        qi->curImageIndex = 0;
        qi->displayFrame = stored;
        qi->displayFrame.pixels.assign(800, 90 * 257);
        QCOMPARE(grey(paint(), 20, 5), 50); // stretched from another entry: not shown
        qi->displayIndex = 0;
        QCOMPARE(grey(paint(), 20, 5), 90);
        item->setMHeight(40);
        item->setMAdapt(true);
        paint();
        QCOMPARE(item->mScale(), 1.5);
        QCOMPARE(item->getTempRect(), QRect(0, 5, 60, 30));
        item->setMScale(3.0);
        paint(120, 60);
        QCOMPARE(item->width(), 120.0);
        QCOMPARE(item->getTempRect(), QRect(0, 0, 120, 60));
        item->setMScale(1.0);
        item->setMHeight(20);

        const QString path = appDir.filePath("qi.tif");
        cv::imwrite(path.toStdString(), cv::Mat(50, 80, CV_16UC1, cv::Scalar(255 * 257)));
        item->setImageName(path);
        item->setImageIndex(-4);
        paint(100, 100);
        QCOMPARE(item->width(), 80.0); // -4: the file at its own size
        item->setImageIndex(-5);
        item->setMWidth(20);
        item->setMHeight(20);
        paint(100, 100);
        QCOMPARE(item->width(), 20.0); // -5: fitted into the box
    }

    // The capture in progress on the Kestrix camera: unscaled, with the bands found in it.
    void kestrixCaptureShowsItsBands()
    {
        setMode(EnumOBJ::WBQI, EnumOBJ::WB);
        UserOpts* opts = ctrl->userOpt;
        opts->setIntelligentAnalysis(UserOpts::OpenSensitivity);
        opts->saveUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
        opts->setSampleImageBkColor(UserOpts::Black);
        opts->saveUserOptsByName(UserOpts::OPT_SampleImageBkColor);
        auto capture = std::make_shared<KestrixFrame>();
        capture->region = rgn_type{0, 199, 1, 0, 99, 1};
        capture->pixels.assign(200 * 100, 0);
        for (int y = 40; y < 55; ++y)
            std::fill_n(capture->pixels.begin() + y * 200 + 50, 60, uint16_t(65535));
        KestrixFrame found = *capture;
        qi->detectBands(found);
        const QVector<QRect> bands = qi->bandRects();
        QVERIFY(!bands.isEmpty());
        qi->setCaptureFrame(capture);
        item->setImageIndex(-2);
        item->setMWidth(50);
        item->setMHeight(50);
        const QImage image = paint(220, 120);
        QCOMPARE(item->width(), 200.0); // unscaled whatever the box
        const QRect band = bands.first();
        QCOMPARE(image.pixel(band.left(), band.center().y()), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(band.center()), qRgb(255, 255, 255));
        QCOMPARE(qi->captureFrame()->pixels, capture->pixels);
        opts->setIntelligentAnalysis(UserOpts::CloseSensitivity);
        opts->saveUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
        opts->setSampleImageBkColor(UserOpts::White);
        opts->saveUserOptsByName(UserOpts::OPT_SampleImageBkColor);
        qi->setCaptureFrame(nullptr);
    }

    // Flat-field correction of the live gel frame happens on a display copy: the camera's frame
    // keeps its pixels and a second paint shows the same picture.
    void liveGelFrameIsCorrectedOnACopy()
    {
        FlatFieldReferences& refs = cam->references;
        QVERIFY(refs.copyFromCurrent(FlatFieldReferences::Light, frameOf(40, 20, 40000)->record()));
        QVERIFY(refs.copyFromCurrent(FlatFieldReferences::Dark, frameOf(40, 20, 0)->record()));
        cam->calculateFFC();
        cam->isFFC = true;
        frames->setCurrentFrame(frameOf(40, 20, 20000)->record());
        const TsFramePtr live = frames->currentFrame();
        showAtOrigin(-1);
        const int corrected = displayLevel(uint16_t(20000.0 / 40000 * 65535));
        QCOMPARE(grey(paint(), 20, 20), corrected);
        QCOMPARE(grey(paint(), 20, 20), corrected);
        QCOMPARE(pixelsOf(live), std::vector<uint16_t>(800, 20000));
        // During a calibration the frame is shown as it is.
        cam->isInFFC = true;
        QCOMPARE(grey(paint(), 20, 20), displayLevel(20000));
        cam->isInFFC = false;
    }

    // References that do not cover the live frame (taken at another binning, or the pair of
    // the filter in place missing): the frame is shown uncorrected, the correction is switched
    // off once, also in the stored option, and the operator is told; the calibration and its
    // files stay, and switched on again at the calibration's size the frame is corrected.
    void uncoveredFrameSwitchesTheCorrectionOff_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("filter");
        QTest::newRow("references smaller than the frame") << 48 << 24 << -1;
        QTest::newRow("590 nm pair missing") << 24 << 12 << int(EnumOBJ::F_590nm);
    }
    void uncoveredFrameSwitchesTheCorrectionOff()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, filter);
        UserOpts* opts = UserOpts::getInstance();
        FlatFieldReferences& refs = cam->references;
        QVERIFY(refs.copyFromCurrent(FlatFieldReferences::Light, frameOf(24, 12, 40000)->record()));
        QVERIFY(refs.copyFromCurrent(FlatFieldReferences::Dark, frameOf(24, 12, 0)->record()));
        const QString folder = AppPaths::appDir() + "/CorrectionData";
        const QStringList files = QDir(folder).entryList(QDir::Files);
        QVERIFY(!files.isEmpty());
        opts->setIsFFCOpen(true);
        opts->saveUserOptsByName(UserOpts::OPT_IsFFCOpen);
        cam->isFFC = true;
        item->setCurFilterPosition(filter);
        frames->setCurrentFrame(frameOf(width, height, 20000)->record());
        showAtOrigin(-1);
        QSignalSpy off(ctrl.get(), &IC_MainControl::ffcSwitchedOff);
        LogCapture log;
        QCOMPARE(grey(paint(), 25, 17), displayLevel(20000));
        QCOMPARE(grey(paint(), 25, 17), displayLevel(20000));
        QTRY_COMPARE(off.count(), 1);
        QCOMPARE(log.lines().filter("shown uncorrected").size(), 1);
        QVERIFY(!cam->isFFC);
        QVERIFY(!opts->isFFCOpen());
        opts->loadUserOptsByName(UserOpts::OPT_IsFFCOpen);
        QVERIFY(!opts->isFFCOpen());
        QVERIFY(refs.isPresent(FlatFieldReferences::Light));
        QVERIFY(refs.isPresent(FlatFieldReferences::Dark));
        QCOMPARE(QDir(folder).entryList(QDir::Files), files);
        QCOMPARE(grey(paint(), 25, 17), displayLevel(20000));
        QCOMPARE(off.count(), 1);
        // On again, at the calibration's size and without a filter.
        cam->isFFC = true;
        item->setCurFilterPosition(-1);
        frames->setCurrentFrame(frameOf(24, 12, 20000)->record());
        showAtOrigin(-1);
        QCOMPARE(grey(paint(), 25, 17), displayLevel(uint16_t(20000.0 / 40000 * 65535)));
        QTest::qWait(20);
        QCOMPARE(off.count(), 1);
        QVERIFY(cam->isFFC);
    }

    void focusMarksAreDrawnOnTheShownPictureOnly()
    {
        cam->isFocusMeasuring = true;
        cam->binningIndex = 3; // pen 15 / 4 = 3
        frames->setCurrentFrame(frameOf(40, 20, 65535)->record());
        const TsFramePtr live = frames->currentFrame();
        showAtOrigin(-1);
        const QImage image = paint();
        // X = 8, Y = 4, arm 4: the corner (8, 4) at (18, 14) in the item.
        QCOMPARE(grey(image, 18, 14), 0);
        QCOMPARE(grey(image, 30, 20), 255);
        QCOMPARE(pixelsOf(live), std::vector<uint16_t>(800, 65535));
        // Not on files.
        const QString path = appDir.filePath("white.tif");
        cv::imwrite(path.toStdString(), cv::Mat(20, 40, CV_16UC1, cv::Scalar(65535)));
        item->setImageName(path);
        showAtOrigin(-4);
        QCOMPARE(grey(paint(), 18, 14), 255);
    }

    void westernBlotCaptureShowsItsStepsMarks_data()
    {
        QTest::addColumn<int>("marked");
        QTest::addColumn<bool>("red");
        QTest::newRow("300 over-exposed pixels: none coloured") << 300 << false;
        QTest::newRow("301: coloured") << 301 << true;
    }
    void westernBlotCaptureShowsItsStepsMarks()
    {
        QFETCH(int, marked);
        QFETCH(bool, red);
        setMode(EnumOBJ::AllAuthorityTS, EnumOBJ::WB);
        UserOpts* opts = ctrl->userOpt;
        opts->setIsExposure(true);
        opts->setMarkerCapture(true);
        opts->setIsBeautifyPictures(false);
        opts->setIntelligentAnalysis(UserOpts::CloseSensitivity);
        opts->saveUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
        cam->singleCaptureVisible = true;
        frames->appendFrame(frameOf(40, 20, 0));
        const TsFramePtr capture = frameOf(40, 20, 32 * 257);
        frames->appendFrame(capture);
        frames->setCaptureFrame(capture);
        auto mask = std::make_shared<std::vector<uint8_t>>(800, 0);
        std::fill(mask->end() - marked, mask->end(), uint8_t(1));
        frames->appendOverExposureMark(std::make_shared<const std::vector<uint8_t>>(800, 0));
        frames->appendOverExposureMark(mask);
        frames->setOverExposureSum(mask);
        showAtOrigin(-2);
        const QImage image = paint();
        QCOMPARE(image.pixel(49, 29), red ? qRgb(255, 0, 0) : qRgb(32, 32, 32));
        QCOMPARE(image.pixel(10, 10), qRgb(32, 32, 32));
        QCOMPARE(pixelsOf(frames->captureFrame()), std::vector<uint16_t>(800, 32 * 257));
        opts->setIsExposure(false);
    }

    // A bright band on a black background: the save of step 0 finds it, and the capture view
    // outlines it on the shown picture.
    void westernBlotCaptureDrawsTheAnalysisRectangles()
    {
        setMode(EnumOBJ::AllAuthorityTS, EnumOBJ::WB);
        UserOpts* opts = ctrl->userOpt;
        opts->setIsExposure(false);
        opts->setIntelligentAnalysis(UserOpts::OpenSensitivity);
        opts->saveUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
        opts->setSampleImageBkColor(UserOpts::Black);
        opts->saveUserOptsByName(UserOpts::OPT_SampleImageBkColor);
        std::vector<uint16_t> pixels(200 * 100, 0);
        for (int y = 40; y < 55; ++y)
            std::fill_n(pixels.begin() + y * 200 + 50, 60, uint16_t(65535));
        const TsFramePtr capture = TsFrame::fromPixels(200, 100, pixels.data());
        frames->appendFrame(capture);
        frames->setCaptureFrame(capture);
        frames->captureIndex = 0;
        cam->setExpName("WBS1");
        QVERIFY(!cam->saveWBImages(capture->record(), true, 1).isEmpty());
        const QList<QRect> rects = frames->detectedRectsAt(0);
        QVERIFY(!rects.isEmpty());
        item->setImageIndex(-2);
        item->setMWidth(220);
        item->setMHeight(120);
        item->setMOrigin(true);
        const QImage image = paint(220, 120);
        const QRect r = rects.first();
        QCOMPARE(image.pixel(10 + r.left(), 10 + r.center().y()), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(10 + r.center().x(), 10 + r.center().y()), qRgb(255, 255, 255));
        QCOMPARE(pixelsOf(frames->captureFrame()), pixels);
        opts->setIntelligentAnalysis(UserOpts::CloseSensitivity);
        opts->saveUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
        opts->setSampleImageBkColor(UserOpts::White);
        opts->saveUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    }

    void cutRegionIsDrawnOnTheWesternBlotLiveFrame()
    {
        frames->setCurrentFrame(frameOf(40, 20, 65535)->record());
        cam->binningIndex = 1; // pen 6 / 2 = 3
        item->setCutRect(10, 5, 20, 10);
        item->setIsCut(true);
        showAtOrigin(-1);
        QCOMPARE(paint().pixel(20, 20), qRgb(255, 255, 255)); // gel: no cut region
        setMode(EnumOBJ::AllAuthorityTS, EnumOBJ::WB);
        showAtOrigin(-1);
        const QImage cut = paint();
        QCOMPARE(cut.pixel(10 + 10, 10 + 10), qRgb(255, 0, 0));
        QCOMPARE(cut.pixel(10 + 20, 10 + 10), qRgb(255, 255, 255));
        item->setIsCut(false);
        showAtOrigin(-1);
        QCOMPARE(paint().pixel(20, 20), qRgb(255, 255, 255));
    }
};

QTEST_MAIN(ImagePaintedItemTest)
#include "imagepainteditem_test.moc"
