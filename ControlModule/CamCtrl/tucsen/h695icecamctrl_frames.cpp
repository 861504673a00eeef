// The controller's frame operations: thin calls into the frame library with the controller's
// options, references and lists.

#include "h695icecamctrl.h"

#include "apppaths.h"
#include "focusmeasure.h"
#include "imagefilters.h"
#include "imagesaver.h"
#include "paramimagefile.h"
#include "useropts.h"

#include <QDateTime>
#include <QDebug>
#include <QMutexLocker>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

SaveContext saveContext(UserOpts* opts, const QString& expName)
{
    opts->loadUserOptsByName(UserOpts::OPT_ImageSavePath);
    return {AppPaths::appDir(), expName, opts->imageSavePath(), QDateTime::currentDateTime()};
}

} // namespace

TUCAM_FRAME* H695ICECamCtrl::copyFrame(const TUCAM_FRAME* frame)
{
    if (!frame || !frame->pBuffer)
        return nullptr;
    const size_t bytes = size_t(frame->usHeader) + frame->uiImgSize;
    auto* copy = new TUCAM_FRAME(*frame);
    copy->pBuffer = new uint8_t[bytes];
    std::memcpy(copy->pBuffer, frame->pBuffer, bytes);
    return copy;
}

void H695ICECamCtrl::freeFrame(TUCAM_FRAME** frame)
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    if (!frame || !*frame)
        return;
    delete[] (*frame)->pBuffer;
    delete *frame;
    *frame = nullptr;
}

// ---------------------------------------------------------------------------------------------
// References

void H695ICECamCtrl::copyReference(int type)
{
    const TsFramePtr frame = m_frameStore.currentFrame();
    references.copyFromCurrent(type, frame ? frame->record() : nullptr);
}

void H695ICECamCtrl::getStandardImage() { copyReference(FlatFieldReferences::Light); }
void H695ICECamCtrl::getDarkImage() { copyReference(FlatFieldReferences::Dark); }
void H695ICECamCtrl::getStandardImageFor535() { copyReference(FlatFieldReferences::Light535); }
void H695ICECamCtrl::getDarkImageFor535() { copyReference(FlatFieldReferences::Dark535); }
void H695ICECamCtrl::getStandardImageFor605() { copyReference(FlatFieldReferences::Light605); }
void H695ICECamCtrl::getDarkImageFor605() { copyReference(FlatFieldReferences::Dark605); }
void H695ICECamCtrl::getStandardImageFor715() { copyReference(FlatFieldReferences::Light715); }
void H695ICECamCtrl::getDarkImageFor715() { copyReference(FlatFieldReferences::Dark715); }
void H695ICECamCtrl::getStandardImageFor590() { copyReference(FlatFieldReferences::Light590); }
void H695ICECamCtrl::getDarkImageFor590() { copyReference(FlatFieldReferences::Dark590); }

bool H695ICECamCtrl::saveCorrectionData(int type) { return references.saveCorrectionData(type); }
bool H695ICECamCtrl::loadCorrectionData(int type) { return references.loadCorrectionData(type); }

bool H695ICECamCtrl::calculateBySizeForColorMarker(const TUCAM_FRAME* frame, int filter, cv::Mat& light, cv::Mat& dark)
{
    return references.calculateBySizeForColorMarker(viewOf(frame), filter, light, dark);
}

bool H695ICECamCtrl::applyFFC(const TUCAM_FRAME* frame) { return references.applyFFC(viewOf(frame)); }
bool H695ICECamCtrl::applyFFCSecond(const TUCAM_FRAME* frame) { return references.applyFFCSecond(viewOf(frame)); }

void H695ICECamCtrl::resetFFC()
{
    references.resetFFC();
}

void H695ICECamCtrl::calculateFFC()
{
    references.calculateFFC();
    ffcScale = references.ffcScale();
}

// ---------------------------------------------------------------------------------------------
// Saving

QString H695ICECamCtrl::saveWBImages(const TUCAM_FRAME* frame, bool autoLevel, int kind, bool* written)
{
    userOpts->loadUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
    const OverExposureMask mask = m_frameStore.overExposureSum();
    WBSaveOptions opts;
    opts.autoLevel = autoLevel;
    opts.kind = kind;
    opts.intelligentAnalysis = int(userOpts->intelligentAnalysis());
    opts.isAutoStretch = userOpts->isAutoStretch();
    opts.isExposure = userOpts->isExposure();
    opts.sampleImageBkColor = int(userOpts->sampleImageBkColor());
    opts.isBeautifyPictures = userOpts->isBeautifyPictures();
    opts.sharpenLevel = userOpts->sharpenLevel();
    opts.histLevelPercent = histLevelPercent;
    opts.binningIndex = binningIndex;
    opts.overExposureSum = mask.get();
    opts.overExposureThreshold = overExposureThreshold;
    const SaveContext context = saveContext(userOpts, expName());
    WBSaveResult result;
    {
        std::unique_lock<std::mutex> lock(m_saveScratchLock, std::try_to_lock);
        if (lock && !m_saveScratch)
            m_saveScratch = std::make_unique<SaveScratch>();
        result = ::saveWBImages(viewOf(frame), context, opts, lock ? m_saveScratch.get() : nullptr);
    }
    if (written)
        *written = result.ok;
    if (result.rectsChanged)
        setDetectedRects(result.rects);
    if (!result.path.isEmpty()) {
        QList<QRect> rects;
        for (const cv::Rect& r : result.rects)
            rects.append(QRect(r.x, r.y, r.width, r.height));
        m_frameStore.recordSaved(frame, std::move(result.histogram), &rects);
    }
    return result.path;
}

QString H695ICECamCtrl::saveCaptureImage(const TUCAM_FRAME* frame, bool addHistogram, int lightType, bool* written)
{
    CaptureSaveResult result = ::saveCaptureImage(viewOf(frame), addHistogram, lightType, roi(),
                                                  saveContext(userOpts, expName()));
    if (written)
        *written = result.ok;
    if (result.path.isEmpty())
        return result.path;
    if (result.hasHistogram)
        m_frameStore.recordSaved(frame, std::move(result.histogram));
    m_frameStore.appendRoi({result.roiEntry.left, result.roiEntry.top, result.roiEntry.right, result.roiEntry.bottom});
    return result.path;
}

QString H695ICECamCtrl::saveImages(cv::Mat& image, int kind, bool* written)
{
    bool ok = false;
    const QString path = ::saveImages(image, kind, roi(), saveContext(userOpts, expName()), &ok);
    if (written)
        *written = ok;
    return path;
}

bool H695ICECamCtrl::writeDataFile(const QString& path, const cv::Mat& image, int stretchLow, int stretchHigh)
{
    return ::writeDataFile(path, image, userOpts->sharpenLevel(), userOpts->isBeautifyPictures(),
                           userOpts->isAutoStretch(), stretchLow, stretchHigh);
}

cv::Mat H695ICECamCtrl::readParamFile(const QString& path)
{
    ParamImage file = ::readParamFile(path);
    if (file.image.empty())
        return file.image;
    userOpts->setCurDetailSharpenLevel(file.sharpLevel);
    userOpts->setIsDetailSharpend(file.sharpen);
    userOpts->setCurDetailMinInten(file.stretchLow);
    userOpts->setCurDetailMaxInten(file.stretchHigh);
    userOpts->setIsDetailStretch(file.stretch);
    return file.image;
}

// ---------------------------------------------------------------------------------------------
// Histogram and levels

void H695ICECamCtrl::computeLogHistogram(const TUCAM_FRAME* frame, HistogramInfo& info) { ::computeLogHistogram(viewOf(frame), info); }
void H695ICECamCtrl::computeDisplayLevels(const TUCAM_FRAME* frame, HistogramInfo& info) { ::computeDisplayLevels(viewOf(frame), histLevelPercent, info); }
void H695ICECamCtrl::computeDisplayLevelsPlain(const TUCAM_FRAME* frame, HistogramInfo& info) { ::computeDisplayLevelsPlain(viewOf(frame), histLevelPercent, info); }
void H695ICECamCtrl::autoLevelFrame(TUCAM_FRAME* frame, HistogramInfo& info) { ::autoLevelFrame(viewOf(frame), histLevelPercent, info); }
void H695ICECamCtrl::autoLevelFramePlain(TUCAM_FRAME* frame, HistogramInfo& info) { ::autoLevelFramePlain(viewOf(frame), histLevelPercent, info); }
void H695ICECamCtrl::stretchLevels(TUCAM_FRAME* frame, int low, int high) { ::stretchLevels(viewOf(frame), low, high); }
void H695ICECamCtrl::invertImage(TUCAM_FRAME* frame) { ::invertImage(viewOf(frame)); }

bool H695ICECamCtrl::multiplyImage(TUCAM_FRAME* a, TUCAM_FRAME* b)
{
    userOpts->loadUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    return ::multiplyImage(viewOf(a), viewOf(b), int(userOpts->sampleImageBkColor()));
}

void H695ICECamCtrl::mergeImages(int width, int height, uint8_t* dst, const uint8_t* src) { ::mergeImages(width, height, dst, src); }
bool H695ICECamCtrl::isFocusPeak(const std::vector<double>& values) { return ::isFocusPeak(values); }
void H695ICECamCtrl::cropRoi(const cv::Mat& image, cv::Mat& out) { ::cropRoi(image, out); }
double H695ICECamCtrl::focusMeasure(const cv::Mat& image) { return ::focusMeasure(image); }

// ---------------------------------------------------------------------------------------------
// Region of interest

cv::Mat H695ICECamCtrl::highByteImage(const TUCAM_FRAME* frame) { return ::highByteImage(viewOf(frame)); }

void H695ICECamCtrl::autoCrop(const TUCAM_FRAME* frame)
{
    userOpts->loadUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    setDetectedRects(::autoCrop(viewOf(frame), int(userOpts->sampleImageBkColor()), binningIndex));
}

// ---------------------------------------------------------------------------------------------
// Filters

void H695ICECamCtrl::applyGamma(TUCAM_FRAME* frame) { ::applyGamma(viewOf(frame)); }
void H695ICECamCtrl::medianFrame(TUCAM_FRAME* frame) { ::medianFrame(viewOf(frame)); }
void H695ICECamCtrl::gaussianFrame(TUCAM_FRAME* frame, double sigma) { ::gaussianFrame(viewOf(frame), sigma); }

void H695ICECamCtrl::sharpen16U(TUCAM_FRAME* frame, bool)
{
    ::sharpen16U(viewOf(frame), userOpts->isBeautifyPictures(), userOpts->sharpenLevel());
}

void H695ICECamCtrl::beautifyIfEnabled(TUCAM_FRAME* frame)
{
    ::beautifyIfEnabled(viewOf(frame), userOpts->isBeautifyPictures());
}

void H695ICECamCtrl::detailSharpen(cv::Mat& image)
{
    ::detailSharpen(image, userOpts->isDetailSharpend(), userOpts->curDetailSharpenLevel());
}

void H695ICECamCtrl::subtractScalar(TUCAM_FRAME* frame, int value) { ::subtractScalar(viewOf(frame), value); }

cv::Mat H695ICECamCtrl::adjust16UToTargetMean(const cv::Mat& img, double targetMean)
{
    return ::adjust16UToTargetMean(img, targetMean);
}

bool H695ICECamCtrl::toColorImage(TUCAM_FRAME* frame, const cv::Mat& tint, cv::Mat& out)
{
    userOpts->loadUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    return ::toColorImage(viewOf(frame), tint, out, int(userOpts->sampleImageBkColor()));
}
