// The controller's frame operations as the program reaches them: references taken from the
// preview and found again at the next start, the clean-up of the colour-marker cabinets, the
// file set of a capture saved through the controller, and the checked image index.

#include <gtest/gtest.h>

#include "apppaths.h"
#include "h695icecamctrl.h"
#include "useropts.h"

#include "testappdir.h"
#include "tucam_test.h"

#include <QDate>
#include <QDir>
#include <QFile>

namespace {

QString correctionFolder()
{
    return AppPaths::appDir() + "/CorrectionData";
}

void emptyCorrectionFolder()
{
    QDir(correctionFolder()).removeRecursively();
}

void setColorMarkerVisible(bool on)
{
    UserOpts* o = UserOpts::getInstance();
    o->setColorMarkerVisible(on);
    o->saveUserOptsByName(UserOpts::OPT_ColorMarkerVisible);
}

// One frame of the virtual camera at the given resolution index, held in the caller's record.
class OneFrame {
public:
    OneFrame(H695ICECamCtrl& ctrl, int resolution) : m_ctrl(ctrl)
    {
        ctrl.setResolution(resolution);
        ctrl.setExposureTime(10);
        record.ucFormatGet = TUFRM_FMT_RAW;
        record.uiRsdSize = 1;
        EXPECT_TRUE(ctrl.m_StartWaitFrame(&record));
        EXPECT_EQ(ctrl.m_WaitForFrame(&record), TUCAMRET_SUCCESS);
    }
    ~OneFrame() { m_ctrl.stopAll(); }
    TUCAM_FRAME record {};

private:
    H695ICECamCtrl& m_ctrl;
};

} // namespace

TEST(H695ICECamCtrlFrames, ReferencesTakenFromThePreviewAreLoadedAtTheNextStart)
{
    emptyCorrectionFolder();
    setColorMarkerVisible(false);
    tucamtest::reset();
    H695ICECamCtrl first;
    ASSERT_TRUE(first.openCamera(0));
    {
        OneFrame frame(first, 0);
        first.frameStore().setCurrentFrame(&frame.record);
        first.getStandardImage();
        first.getDarkImage();
        first.getStandardImageFor535();
        first.getDarkImageFor590();
        first.frameStore().clearCurrentFrame();
    }
    EXPECT_TRUE(first.isAlreadyFFC());
    EXPECT_FALSE(first.references.isPresent(FlatFieldReferences::Light535)) << "types 2 to 7 stay on disk only";
    EXPECT_TRUE(QFile::exists(correctionFolder() + "/LightFrameData535.data"));

    H695ICECamCtrl next;
    EXPECT_TRUE(next.isAlreadyFFC());
    EXPECT_TRUE(next.references.isPresent(FlatFieldReferences::Dark590));
    EXPECT_FALSE(next.references.isPresent(FlatFieldReferences::Light590));
    EXPECT_FALSE(next.references.isPresent(FlatFieldReferences::Light535));
    {
        // A binned frame gets a binned pair of its own size.
        OneFrame binned(first, 1);
        EXPECT_TRUE(next.applyFFC(&binned.record));
        EXPECT_EQ(next.references.ffcBinFactor(), 2);
        EXPECT_EQ(next.references.binnedLight()->width(), binned.record.usWidth);
    }
    next.resetFFC();
    EXPECT_FALSE(next.isAlreadyFFC());
    first.closeCamera();
}

TEST(H695ICECamCtrlFrames, ColourMarkerCabinetsDropReferencesWithoutTheirFilterPair)
{
    struct Case {
        bool with535;
        bool emptied;
    } cases[] = {{false, true}, {true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.with535);
        emptyCorrectionFolder();
        setColorMarkerVisible(false);
        tucamtest::reset();
        {
            H695ICECamCtrl taker;
            ASSERT_TRUE(taker.openCamera(0));
            OneFrame frame(taker, 2);
            taker.frameStore().setCurrentFrame(&frame.record);
            taker.getStandardImage();
            taker.getDarkImage();
            if (c.with535)
                taker.getStandardImageFor535();
            taker.frameStore().clearCurrentFrame();
            taker.closeCamera();
        }
        setColorMarkerVisible(true);
        H695ICECamCtrl ctrl;
        EXPECT_EQ(QDir(correctionFolder()).entryList(QDir::Files).isEmpty(), c.emptied);
        EXPECT_EQ(ctrl.isAlreadyFFC(), !c.emptied);
        EXPECT_FALSE(ctrl.isFFC);
    }
    setColorMarkerVisible(false);
}

TEST(H695ICECamCtrlFrames, ACaptureSavedThroughTheControllerWritesItsFileSet)
{
    tucamtest::reset();
    H695ICECamCtrl ctrl;
    ASSERT_TRUE(ctrl.openCamera(0));
    UserOpts* o = UserOpts::getInstance();
    o->setImageSavePath(AppPaths::appDir() + "/Saved");
    o->saveUserOptsByName(UserOpts::OPT_ImageSavePath);
    o->setIsExposure(true);
    o->saveUserOptsByName(UserOpts::OPT_IsExposure);
    ctrl.setExpName("WBS-files");
    const QString date = QDate::currentDate().toString("yyyy-MM-dd");
    const QString a = AppPaths::appDir() + "/Images/" + date + "/WBS-files/";
    const QString b = AppPaths::appDir() + "/Saved/" + date + "/WBS-files/";

    struct Case {
        int kind;
        int marked;          // over-exposed pixels in the mask
        QStringList inA;     // suffixes of the files written in folder A
        QStringList inB;
    } cases[] = {
        {1, 301, {".data", ".tif", "_OE.tif"}, {".tif"}},
        {1, 300, {".data", ".tif"}, {".tif"}},
        {0, 5000, {"_Marker.tif"}, {"_Marker.tif"}},
        {2, 0, {"_Merge.tif"}, {"_Merge.tif"}},
    };
    OneFrame frame(ctrl, 2);
    const size_t pixels = size_t(frame.record.usWidth) * frame.record.usHeight;
    size_t histograms = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        QDir(a).removeRecursively();
        QDir(b).removeRecursively();
        auto mask = std::make_shared<std::vector<uint8_t>>(pixels, 0);
        std::fill(mask->begin(), mask->begin() + c.marked, 1);
        ctrl.frameStore().setOverExposureSum(std::move(mask));
        const QString path = ctrl.saveWBImages(&frame.record, c.kind == 1, c.kind);
        ++histograms;
        EXPECT_EQ(size_t(ctrl.frameStore().histogramCount()), histograms);
        const QString stem = QFileInfo(path).fileName().section('_', 0, 0).section('.', 0, 0);
        auto suffixes = [&](const QString& dir) {
            QStringList out;
            for (const QString& f : QDir(dir).entryList(QDir::Files, QDir::Name))
                out << f.mid(stem.size());
            return out;
        };
        EXPECT_EQ(suffixes(a), c.inA);
        EXPECT_EQ(suffixes(b), c.inB);
        EXPECT_EQ(path.endsWith("_OE.tif"), c.inA.contains("_OE.tif"));
    }
    o->setIsExposure(false);
    o->saveUserOptsByName(UserOpts::OPT_IsExposure);
    ctrl.closeCamera();
}

TEST(H695ICECamCtrlFrames, TheShownImageIndexIsCheckedAgainstTheFrameList)
{
    tucamtest::reset();
    H695ICECamCtrl ctrl;
    ASSERT_TRUE(ctrl.openCamera(0));
    TsFrameStore& store = ctrl.frameStore();
    {
        OneFrame frame(ctrl, 2);
        store.appendFrame(TsFrame::copyOf(&frame.record));
    }
    struct Case { int index; bool ok; } cases[] = {{0, true}, {1, false}, {-1, false}};
    for (const Case& c : cases) {
        store.currentImageIndex = c.index;
        EXPECT_EQ(store.updateStretchFrame(100, 200), c.ok) << c.index;
    }
    ASSERT_NE(store.stretchFrame(), nullptr);
    store.clearFrameCaches();
    EXPECT_EQ(store.frameCount(), 0);
    EXPECT_EQ(store.stretchFrame(), nullptr);
    ctrl.closeCamera();
}

// The shown stretch takes turns in two buffers: a buffer is refilled once no reader holds it,
// and a frame a reader still holds keeps its pixels whatever the slider does.
TEST(H695ICECamCtrlFrames, TheShownStretchReusesOnlyBuffersNoReaderHolds)
{
    tucamtest::reset();
    H695ICECamCtrl ctrl;
    ASSERT_TRUE(ctrl.openCamera(0));
    TsFrameStore& store = ctrl.frameStore();
    TsFramePtr source;
    {
        OneFrame frame(ctrl, 2);
        source = TsFrame::copyOf(&frame.record);
    }
    ASSERT_NE(source, nullptr);
    store.appendFrame(source);
    store.currentImageIndex = 0;
    auto pixels = [](const TsFramePtr& f) {
        const FrameView v = f->view();
        return std::vector<uint16_t>(v.pixels, v.pixels + v.count());
    };
    auto expected = [&](int low, int high) {
        std::shared_ptr<TsFrame> copy = source->clone();
        stretchLevels(copy->view(), low, high);
        return pixels(copy);
    };

    ASSERT_TRUE(store.updateStretchFrame(100, 200));
    const uint16_t* first = store.stretchFrame()->view().pixels;
    ASSERT_TRUE(store.updateStretchFrame(300, 400));
    ASSERT_TRUE(store.updateStretchFrame(500, 900));
    EXPECT_EQ(store.stretchFrame()->view().pixels, first) << "the first buffer, no longer held, is refilled";
    EXPECT_EQ(pixels(store.stretchFrame()), expected(500, 900));

    const TsFramePtr held = store.stretchFrame();
    const std::vector<uint16_t> heldPixels = pixels(held);
    for (int low : {10, 20, 30, 40}) {
        ASSERT_TRUE(store.updateStretchFrame(low, 3000));
        EXPECT_NE(store.stretchFrame()->view().pixels, held->view().pixels);
        EXPECT_EQ(pixels(store.stretchFrame()), expected(low, 3000));
    }
    EXPECT_EQ(pixels(held), heldPixels) << "a frame a reader holds is never written";
    EXPECT_EQ(pixels(source), pixels(store.frameAt(0))) << "the captured frame is untouched";
    store.clearFrameCaches();
    EXPECT_EQ(store.stretchFrame(), nullptr);
    ctrl.closeCamera();
}
