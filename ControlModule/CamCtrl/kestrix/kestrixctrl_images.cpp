// Frame operations, the frame list and the processing and saving pipeline of KestrixCtrl.
#include <QDebug>
#include <QDir>

#include <opencv2/imgcodecs.hpp>

#include "apppaths.h"
#include "experimentfolder.h"
#include "imagesaver.h"
#include "kestrixctrl.h"
#include "kestrixprocessing.h"
#include "useropts.h"

namespace {

bool makeFolder(const QString& folder)
{
    if (QDir().mkpath(folder))
        return true;
    qWarning() << "cannot create folder" << folder;
    return false;
}

} // namespace

int KestrixCtrl::backgroundColor()
{
    m_userOpts->loadUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    return static_cast<int>(m_userOpts->sampleImageBkColor());
}

void KestrixCtrl::invertImage(KestrixFrame& frame)
{
    kestrix::invertImage(frame.view());
}

bool KestrixCtrl::multiplyImage(KestrixFrame& a, KestrixFrame& b)
{
    const bool black = backgroundColor() == UserOpts::Black;
    if (!kestrix::multiplyImage(a.view(), b.view(), black)) {
        qWarning() << "multiplyImage: frames of different sizes" << a.width() << a.height() << b.width() << b.height();
        return false;
    }
    return true;
}

void KestrixCtrl::stretchLevels(KestrixFrame& frame, int low, int high)
{
    kestrix::stretchLevels(frame.view(), low, high);
}

void KestrixCtrl::autoLevels(KestrixFrame& frame, HistogramInfo& levels)
{
    kestrix::autoLevels(frame.view(), levels);
}

void KestrixCtrl::percentileLevels(KestrixFrame& frame, HistogramInfo& levels)
{
    kestrix::percentileLevels(frame.view(), backgroundColor(), levels);
}

void KestrixCtrl::percentileStretch(KestrixFrame& frame, HistogramInfo& levels)
{
    kestrix::percentileStretch(frame.view(), backgroundColor(), levels);
}

cv::Mat KestrixCtrl::frameToMat8(KestrixFrame& frame)
{
    return kestrix::frameToMat8(frame.view());
}

void KestrixCtrl::detectBands(KestrixFrame& frame)
{
    const std::vector<QRect> found = kestrix::detectBands(frame.view(), frame.region.pbin, backgroundColor());
    std::lock_guard<std::mutex> lock(m_frameMutex);
    m_bandRects = QVector<QRect>(found.begin(), found.end());
}

QString KestrixCtrl::processAndSaveImage(const KestrixFrame& frame, bool process, int kind, bool* written)
{
    if (written)
        *written = false;
    // Only processing changes pixels: an unprocessed frame is read and written as it is. The
    // working copy of a processed one is kept per thread, so that a capture's frames reuse its
    // memory instead of asking the system for fresh pages each time.
    thread_local KestrixFrame copy;
    const KestrixFrame& picture = process ? copy : frame;
    HistogramInfo levels;
    m_userOpts->loadUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
    const bool analyse = m_userOpts->intelligentAnalysis() == UserOpts::OpenSensitivity;
    if (!process) {
        if (analyse) {
            std::lock_guard<std::mutex> lock(m_frameMutex);
            m_bandRects.clear();
        }
        KestrixFrame& unchanged = const_cast<KestrixFrame&>(frame);
        kestrix::autoLevels(unchanged.view(), levels);
    } else {
        copy.region = frame.region;
        copy.pixels.assign(frame.pixels.begin(), frame.pixels.end());
        if (analyse)
            detectBands(copy);
        percentileStretch(copy, levels);
    }
    appendLevels(std::move(levels));

    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    const QString time = now.toString("hh-mm-ss-zzz");
    const QString suffix = kind == KindMarker ? "_Marker" : (kind == KindMerge ? "_Merge" : "");
    const QString fileName = time + suffix + ".tif";
    const QString folderA = experimentFolder(imagesRoot(AppPaths::appDir()), now.date(), expName);

    cv::Mat image;
    // The matrix only reads the pixels (the encoder takes a const picture).
    if (!picture.empty())
        image = cv::Mat(picture.height(), picture.width(), CV_16UC1, const_cast<uint16_t*>(picture.pixels.data()));
    if (image.empty()) {
        qWarning() << "processAndSaveImage: empty frame, nothing written" << folderA + fileName;
        return folderA + fileName;
    }
    bool allWritten = makeFolder(folderA) && writeTiff(folderA + fileName, image);

    m_userOpts->loadUserOptsByName(UserOpts::OPT_ImageSavePath);
    const QString folderB = experimentFolder(m_userOpts->imageSavePath(), now.date(), expName);
    if (folderB.isEmpty()) {
        qWarning() << "imageSavePath empty, second copy not written" << fileName;
    } else {
        // Encoded again rather than copied: the encoder writes straight into the file, while a
        // copy reads the whole first file back into fresh memory first.
        allWritten = makeFolder(folderB) && writeTiff(folderB + fileName, image) && allWritten;
    }
    if (written)
        *written = allWritten;
    return folderA + fileName;
}

void KestrixCtrl::appendLevels(HistogramInfo levels)
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    m_histogramList.push_back(std::move(levels));
}

int KestrixCtrl::appendFrame(KestrixFrame frame)
{
    return appendFrame(std::make_shared<const KestrixFrame>(std::move(frame)));
}

int KestrixCtrl::appendFrame(std::shared_ptr<const KestrixFrame> frame)
{
    if (!frame)
        frame = std::make_shared<const KestrixFrame>();
    std::lock_guard<std::mutex> lock(m_frameMutex);
    m_frameList.push_back(std::move(frame));
    m_frameFileNames.resize(m_frameList.size());
    return static_cast<int>(m_frameList.size()) - 1;
}

int KestrixCtrl::frameCount() const
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    return static_cast<int>(m_frameList.size());
}

KestrixFrame KestrixCtrl::frameAt(int index) const
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    if (index < 0 || index >= static_cast<int>(m_frameList.size()))
        return {};
    return *m_frameList[static_cast<size_t>(index)];
}

bool KestrixCtrl::replaceFrame(int index, KestrixFrame frame)
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    if (index < 0 || index >= static_cast<int>(m_frameList.size()))
        return false;
    m_frameList[static_cast<size_t>(index)] = std::make_shared<const KestrixFrame>(std::move(frame));
    return true;
}

bool KestrixCtrl::removeFrame(int index)
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    if (index < 0 || index >= static_cast<int>(m_frameList.size()))
        return false;
    m_frameList.erase(m_frameList.begin() + index);
    if (index < static_cast<int>(m_histogramList.size()))
        m_histogramList.erase(m_histogramList.begin() + index);
    if (index < static_cast<int>(m_frameFileNames.size()))
        m_frameFileNames.erase(m_frameFileNames.begin() + index);
    return true;
}

void KestrixCtrl::setFrameFileName(int index, const QString& name)
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    if (index < 0 || index >= static_cast<int>(m_frameList.size()))
        return;
    m_frameFileNames.resize(m_frameList.size());
    m_frameFileNames[static_cast<size_t>(index)] = name;
}

QString KestrixCtrl::frameFileName(int index) const
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    if (index < 0 || index >= static_cast<int>(m_frameFileNames.size()))
        return QString();
    return m_frameFileNames[static_cast<size_t>(index)];
}

bool KestrixCtrl::renameFrameFile(const QString& oldName, const QString& newName)
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    for (QString& name : m_frameFileNames) {
        if (!name.isEmpty() && name == oldName) {
            name = newName;
            return true;
        }
    }
    return false;
}

void KestrixCtrl::clearFrames()
{
    std::shared_ptr<const KestrixFrame> capture;
    std::lock_guard<std::mutex> lock(m_frameMutex);
    capture.swap(m_captureFrame);
    m_frameList.clear();
    m_histogramList.clear();
    m_frameFileNames.clear();
    displayFrame = KestrixFrame();
    displayIndex = -1;
    curImageIndex = -1;
}

int KestrixCtrl::histogramCount() const
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    return static_cast<int>(m_histogramList.size());
}

HistogramInfo KestrixCtrl::histogramAt(int index) const
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    if (index < 0 || index >= static_cast<int>(m_histogramList.size()))
        return {};
    return m_histogramList[static_cast<size_t>(index)];
}

void KestrixCtrl::appendHistogram(HistogramInfo levels)
{
    appendLevels(std::move(levels));
}

bool KestrixCtrl::lastLevels(int* low, int* high) const
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    if (m_histogramList.empty())
        return false;
    *low = m_histogramList.back().low;
    *high = m_histogramList.back().high;
    return true;
}

QVector<QRect> KestrixCtrl::bandRects() const
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    return m_bandRects;
}

void KestrixCtrl::setLiveFrame(std::shared_ptr<const KestrixFrame> frame)
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    m_liveFrame.swap(frame);
}

std::shared_ptr<const KestrixFrame> KestrixCtrl::liveFrame() const
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    return m_liveFrame;
}

void KestrixCtrl::setCaptureFrame(std::shared_ptr<const KestrixFrame> frame)
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    m_captureFrame.swap(frame);
}

std::shared_ptr<const KestrixFrame> KestrixCtrl::captureFrame() const
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    return m_captureFrame;
}

void KestrixCtrl::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}
