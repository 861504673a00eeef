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

void H695ICECamCtrl::getStandardImage() { references.copyFromCurrent(FlatFieldReferences::Light, currentFrame); }
void H695ICECamCtrl::getDarkImage() { references.copyFromCurrent(FlatFieldReferences::Dark, currentFrame); }
void H695ICECamCtrl::getStandardImageFor535() { references.copyFromCurrent(FlatFieldReferences::Light535, currentFrame); }
void H695ICECamCtrl::getDarkImageFor535() { references.copyFromCurrent(FlatFieldReferences::Dark535, currentFrame); }
void H695ICECamCtrl::getStandardImageFor605() { references.copyFromCurrent(FlatFieldReferences::Light605, currentFrame); }
void H695ICECamCtrl::getDarkImageFor605() { references.copyFromCurrent(FlatFieldReferences::Dark605, currentFrame); }
void H695ICECamCtrl::getStandardImageFor715() { references.copyFromCurrent(FlatFieldReferences::Light715, currentFrame); }
void H695ICECamCtrl::getDarkImageFor715() { references.copyFromCurrent(FlatFieldReferences::Dark715, currentFrame); }
void H695ICECamCtrl::getStandardImageFor590() { references.copyFromCurrent(FlatFieldReferences::Light590, currentFrame); }
void H695ICECamCtrl::getDarkImageFor590() { references.copyFromCurrent(FlatFieldReferences::Dark590, currentFrame); }

bool H695ICECamCtrl::saveCorrectionData(int type) { return references.saveCorrectionData(type); }
bool H695ICECamCtrl::loadCorrectionData(int type) { return references.loadCorrectionData(type); }

bool H695ICECamCtrl::calculateBySizeForColorMarker(TUCAM_FRAME* frame, int filter, cv::Mat& light, cv::Mat& dark)
{
    return references.calculateBySizeForColorMarker(viewOf(frame), filter, light, dark);
}

bool H695ICECamCtrl::applyFFC(TUCAM_FRAME* frame) { return references.applyFFC(viewOf(frame)); }
bool H695ICECamCtrl::applyFFCSecond(TUCAM_FRAME* frame) { return references.applyFFCSecond(viewOf(frame)); }

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

QString H695ICECamCtrl::saveWBImages(TUCAM_FRAME* frame, bool autoLevel, int kind)
{
    userOpts->loadUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
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
    opts.overExposureSum = &overExposureSum;
    opts.overExposureThreshold = overExposureThreshold;
    WBSaveResult result = ::saveWBImages(viewOf(frame), saveContext(userOpts, expName), opts);
    if (result.rectsChanged) {
        detectedRects.clear();
        for (const cv::Rect& r : result.rects)
            detectedRects.append(QRect(r.x, r.y, r.width, r.height));
    }
    if (!result.path.isEmpty()) {
        QMutexLocker lock(&frameListMutex);
        histogramCache.push_back(new HistogramInfo(std::move(result.histogram)));
    }
    return result.path;
}

QString H695ICECamCtrl::saveCaptureImage(TUCAM_FRAME* frame, bool addHistogram, int lightType)
{
    CaptureSaveResult result = ::saveCaptureImage(viewOf(frame), addHistogram, lightType, roi(),
                                                  saveContext(userOpts, expName));
    if (result.path.isEmpty())
        return result.path;
    if (result.hasHistogram) {
        QMutexLocker lock(&frameListMutex);
        histogramCache.push_back(new HistogramInfo(std::move(result.histogram)));
    }
    roiList.push_back({result.roiEntry.left, result.roiEntry.top, result.roiEntry.right, result.roiEntry.bottom});
    return result.path;
}

QString H695ICECamCtrl::saveImages(cv::Mat& image, int kind)
{
    return ::saveImages(image, kind, roi(), saveContext(userOpts, expName));
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

void H695ICECamCtrl::computeLogHistogram(TUCAM_FRAME* frame, HistogramInfo& info) { ::computeLogHistogram(viewOf(frame), info); }
void H695ICECamCtrl::computeDisplayLevels(TUCAM_FRAME* frame, HistogramInfo& info) { ::computeDisplayLevels(viewOf(frame), histLevelPercent, info); }
void H695ICECamCtrl::computeDisplayLevelsPlain(TUCAM_FRAME* frame, HistogramInfo& info) { ::computeDisplayLevelsPlain(viewOf(frame), histLevelPercent, info); }
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

void H695ICECamCtrl::setRoiEnabled(bool enabled) { isRoiEnabled = enabled; }

void H695ICECamCtrl::setCropRect(int x, int y, int width, int height)
{
    RegionOfInterest r;
    r.setCropRect(x, y, width, height);
    roiLeft = r.left;
    roiTop = r.top;
    roiRight = r.right;
    roiBottom = r.bottom;
}

RegionOfInterest H695ICECamCtrl::roi() const
{
    RegionOfInterest r;
    r.enabled = isRoiEnabled;
    r.left = roiLeft;
    r.top = roiTop;
    r.right = roiRight;
    r.bottom = roiBottom;
    return r;
}

cv::Mat H695ICECamCtrl::highByteImage(TUCAM_FRAME* frame) { return ::highByteImage(viewOf(frame)); }

void H695ICECamCtrl::autoCrop(TUCAM_FRAME* frame)
{
    userOpts->loadUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    const auto rects = ::autoCrop(viewOf(frame), int(userOpts->sampleImageBkColor()), binningIndex);
    detectedRects.clear();
    for (const cv::Rect& r : rects)
        detectedRects.append(QRect(r.x, r.y, r.width, r.height));
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

// ---------------------------------------------------------------------------------------------
// Image list

int H695ICECamCtrl::frameCount()
{
    QMutexLocker lock(&frameListMutex);
    return int(frameList.size());
}

bool H695ICECamCtrl::updateStretchFrame(int low, int high)
{
    stretchLow = low;
    stretchHigh = high;
    QMutexLocker lock(&frameListMutex);
    const int index = currentImageIndex;
    if (index < 0 || size_t(index) >= frameList.size()) {
        qWarning() << "image index out of range" << index << "of" << frameList.size();
        return false;
    }
    TUCAM_FRAME* copy = copyFrame(frameList[size_t(index)]);
    if (!copy)
        return false;
    ::stretchLevels(viewOf(copy), low, high);
    freeFrame(&stretchFrame);
    stretchFrame = copy;
    return true;
}

void H695ICECamCtrl::clearFrameList(bool logHistograms)
{
    QMutexLocker lock(&frameListMutex);
    if (!frameList.empty()) {
        qDebug() << "删除上次采集图像缓存." << frameList.size();
        for (TUCAM_FRAME*& frame : frameList)
            freeFrame(&frame);
        frameList.clear();
    }
    if (!histogramCache.empty()) {
        if (logHistograms)
            qDebug() << "删除上次直方图信息缓存.";
        for (HistogramInfo* info : histogramCache)
            delete info;
        histogramCache.clear();
    }
    currentImageIndex = -1;
    if (stretchFrame) {
        qDebug() << "删除上次直方图拉伸缓存.";
        freeFrame(&stretchFrame);
    }
}

void H695ICECamCtrl::clearOverExposure()
{
    QMutexLocker lock(&frameListMutex);
    if (overExposureMarks.empty() && overExposureSum.empty())
        return;
    qDebug() << "删除过曝标记缓存";
    overExposureMarks.clear();
    overExposureMarks.shrink_to_fit();
    overExposureSum.clear();
    overExposureSum.shrink_to_fit();
}

void H695ICECamCtrl::clearFrameCaches()
{
    clearFrameList();
    clearOverExposure();
}
