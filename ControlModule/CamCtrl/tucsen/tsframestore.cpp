// The kept frames: everything here is read and written under m_lock, for pointer and value
// copies only. Frames and buffers that leave a list are freed after the lock is released, and
// the log lines are written then too.

#include "tsframestore.h"

#include <QDebug>

#include <algorithm>

using Lock = std::lock_guard<std::mutex>;

namespace {

bool inside(int index, size_t size)
{
    return index >= 0 && size_t(index) < size;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Frame list and what goes with each frame

int TsFrameStore::appendFrame(TsFramePtr frame)
{
    if (!frame)
        return -1;
    Lock lock(m_lock);
    m_frameList.push_back(std::move(frame));
    m_frameFileNames.resize(m_frameList.size());
    return int(m_frameList.size()) - 1;
}

int TsFrameStore::frameCount() const
{
    Lock lock(m_lock);
    return int(m_frameList.size());
}

TsFramePtr TsFrameStore::frameAt(int index) const
{
    Lock lock(m_lock);
    return inside(index, m_frameList.size()) ? m_frameList[size_t(index)] : nullptr;
}

std::vector<TsFramePtr> TsFrameStore::frames() const
{
    Lock lock(m_lock);
    return m_frameList;
}

bool TsFrameStore::removeFrame(int index)
{
    TsFramePtr frame;
    std::shared_ptr<const HistogramInfo> histogram;
    {
        Lock lock(m_lock);
        if (!inside(index, m_frameList.size()))
            return false;
        frame = std::move(m_frameList[size_t(index)]);
        m_frameList.erase(m_frameList.begin() + index);
        if (inside(index, m_histogramCache.size())) {
            histogram = std::move(m_histogramCache[size_t(index)]);
            m_histogramCache.erase(m_histogramCache.begin() + index);
        }
        if (inside(index, m_detectedRectLists.size()))
            m_detectedRectLists.erase(m_detectedRectLists.begin() + index);
        if (inside(index, m_roiList.size()))
            m_roiList.erase(m_roiList.begin() + index);
        if (inside(index, m_frameFileNames.size()))
            m_frameFileNames.erase(m_frameFileNames.begin() + index);
    }
    return true;
}

void TsFrameStore::setFrameFileName(int index, const QString& name)
{
    Lock lock(m_lock);
    if (inside(index, m_frameList.size())) {
        m_frameFileNames.resize(m_frameList.size());
        m_frameFileNames[size_t(index)] = name;
    }
}

QString TsFrameStore::frameFileName(int index) const
{
    Lock lock(m_lock);
    return inside(index, m_frameFileNames.size()) ? m_frameFileNames[size_t(index)] : QString();
}

bool TsFrameStore::renameFrameFile(const QString& oldName, const QString& newName)
{
    Lock lock(m_lock);
    for (QString& name : m_frameFileNames) {
        if (!name.isEmpty() && name == oldName) {
            name = newName;
            return true;
        }
    }
    return false;
}

int TsFrameStore::histogramCount() const
{
    Lock lock(m_lock);
    return int(m_histogramCache.size());
}

std::shared_ptr<const HistogramInfo> TsFrameStore::histogramAt(int index) const
{
    Lock lock(m_lock);
    return inside(index, m_histogramCache.size()) ? m_histogramCache[size_t(index)] : nullptr;
}

void TsFrameStore::appendHistogram(HistogramInfo info)
{
    auto record = std::make_shared<const HistogramInfo>(std::move(info));
    Lock lock(m_lock);
    m_histogramCache.push_back(std::move(record));
}

void TsFrameStore::recordSaved(const TUCAM_FRAME* saved, HistogramInfo histogram, const QList<QRect>* rects)
{
    auto record = std::make_shared<const HistogramInfo>(std::move(histogram));
    Lock lock(m_lock);
    size_t at = m_histogramCache.size();
    for (size_t i = 0; i < m_frameList.size(); ++i) {
        if (m_frameList[i] && m_frameList[i]->record() == saved) {
            at = i;
            break;
        }
    }
    if (at >= m_histogramCache.size())
        m_histogramCache.resize(at + 1);
    m_histogramCache[at] = std::move(record);
    if (rects) {
        // In step with its histogram.
        m_detectedRectLists.resize(std::max(m_detectedRectLists.size(), at + 1));
        m_detectedRectLists[at] = *rects;
    }
}

QList<QRect> TsFrameStore::detectedRectsAt(int index) const
{
    Lock lock(m_lock);
    return inside(index, m_detectedRectLists.size()) ? m_detectedRectLists[size_t(index)] : QList<QRect>();
}

std::vector<RoiRect> TsFrameStore::roiList() const
{
    Lock lock(m_lock);
    return m_roiList;
}

void TsFrameStore::appendRoi(const RoiRect& roi)
{
    Lock lock(m_lock);
    m_roiList.push_back(roi);
}

void TsFrameStore::clearRoiList()
{
    Lock lock(m_lock);
    m_roiList.clear();
}

// ---------------------------------------------------------------------------------------------
// Reused memory of the capture path

std::shared_ptr<TsFrame> TsFrameStore::storedFrameOf(const TUCAM_FRAME* record)
{
    std::shared_ptr<TsFrame> frame = m_storedFrames.take();
    if (!frame->assign(record))
        return nullptr;
    return frame;
}

std::shared_ptr<std::vector<uint8_t>> TsFrameStore::maskBuffer(size_t count)
{
    std::shared_ptr<std::vector<uint8_t>> mask = m_masks.take();
    mask->resize(count);
    return mask;
}

// ---------------------------------------------------------------------------------------------
// Over-exposure masks

void TsFrameStore::setOverExposureSum(OverExposureMask mask)
{
    Lock lock(m_lock);
    m_overExposureSum.swap(mask);
}

OverExposureMask TsFrameStore::overExposureSum() const
{
    Lock lock(m_lock);
    return m_overExposureSum;
}

void TsFrameStore::appendOverExposureMark(OverExposureMask mask)
{
    if (!mask)
        return;
    Lock lock(m_lock);
    m_overExposureMarks.push_back(std::move(mask));
}

int TsFrameStore::overExposureMarkCount() const
{
    Lock lock(m_lock);
    return int(m_overExposureMarks.size());
}

OverExposureMask TsFrameStore::overExposureMarkAt(int index) const
{
    Lock lock(m_lock);
    return inside(index, m_overExposureMarks.size()) ? m_overExposureMarks[size_t(index)] : nullptr;
}

void TsFrameStore::clearOverExposure()
{
    std::vector<OverExposureMask> marks;
    OverExposureMask sum;
    {
        Lock lock(m_lock);
        marks.swap(m_overExposureMarks);
        sum.swap(m_overExposureSum);
    }
    if (!marks.empty() || sum)
        qDebug() << "删除过曝标记缓存";
}

// ---------------------------------------------------------------------------------------------
// Frames the views paint

void TsFrameStore::setCurrentFrame(const TUCAM_FRAME* record)
{
    std::shared_ptr<TsFrame> frame;
    {
        Lock lock(m_lock);
        frame = std::move(m_spareFrame);
    }
    // Out of every list, so no reader can pick it up any more: when no reader still holds it,
    // its buffer takes the new frame.
    if (!frame || frame.use_count() != 1)
        frame = std::make_shared<TsFrame>();
    if (!frame->assign(record)) {
        qWarning() << "live frame not taken: the record holds no frame";
        return;
    }
    Lock lock(m_lock);
    m_spareFrame = std::move(m_currentFrame);
    m_currentFrame = std::move(frame);
}

void TsFrameStore::clearCurrentFrame()
{
    std::shared_ptr<TsFrame> current, spare;
    Lock lock(m_lock);
    current.swap(m_currentFrame);
    spare.swap(m_spareFrame);
    // Freed after the lock: the locals are destroyed after `lock`.
}

TsFramePtr TsFrameStore::currentFrame() const
{
    Lock lock(m_lock);
    return m_currentFrame;
}

void TsFrameStore::setCaptureFrame(TsFramePtr frame)
{
    Lock lock(m_lock);
    m_captureFrame.swap(frame);
}

TsFramePtr TsFrameStore::captureFrame() const
{
    Lock lock(m_lock);
    return m_captureFrame;
}

bool TsFrameStore::updateStretchFrame(int low, int high)
{
    stretchLow = low;
    stretchHigh = high;
    const int index = currentImageIndex;
    TsFramePtr source;
    std::shared_ptr<TsFrame> target;
    int frames = 0;
    {
        Lock lock(m_lock);
        frames = int(m_frameList.size());
        if (inside(index, m_frameList.size()))
            source = m_frameList[size_t(index)];
        target = std::move(m_spareStretched);
    }
    if (!source) {
        qWarning() << "image index out of range" << index << "of" << frames;
        Lock lock(m_lock);
        m_spareStretched = std::move(target);
        return false;
    }
    // Out of every list: when no reader still holds it, its buffer takes the new picture.
    if (!target || target.use_count() != 1)
        target = std::make_shared<TsFrame>();
    if (!target->assignLayout(*source))
        return false;
    ::stretchLevels(source->view(), target->view(), low, high);
    // What is replaced is freed after the lock: the locals are destroyed after `lock`.
    std::shared_ptr<TsFrame> spare = target;
    TsFramePtr shown = target;
    Lock lock(m_lock);
    spare.swap(m_stretched);
    spare.swap(m_spareStretched);
    shown.swap(m_stretchFrame);
    m_stretchSource = source;
    return true;
}

bool TsFrameStore::showFrameAsCaptured()
{
    const int index = currentImageIndex;
    TsFramePtr previous;
    Lock lock(m_lock);
    if (!inside(index, m_frameList.size()))
        return false;
    previous = std::move(m_stretchFrame);
    m_stretchFrame = m_frameList[size_t(index)];
    m_stretchSource = m_stretchFrame;
    return true;
}

TsFramePtr TsFrameStore::stretchFrame() const
{
    Lock lock(m_lock);
    return m_stretchFrame;
}

TsFramePtr TsFrameStore::stretchFrameOf(const TsFramePtr& source) const
{
    Lock lock(m_lock);
    return source && source == m_stretchSource ? m_stretchFrame : nullptr;
}

void TsFrameStore::clearFrameList(bool logHistograms)
{
    std::vector<TsFramePtr> frames;
    std::vector<std::shared_ptr<const HistogramInfo>> histograms;
    std::vector<QList<QRect>> rectLists;
    TsFramePtr capture, shown;
    std::shared_ptr<TsFrame> stretched, spareStretched;
    {
        Lock lock(m_lock);
        frames.swap(m_frameList);
        histograms.swap(m_histogramCache);
        rectLists.swap(m_detectedRectLists);
        m_frameFileNames.clear();
        capture.swap(m_captureFrame);
        shown.swap(m_stretchFrame);
        m_stretchSource.reset();
        stretched.swap(m_stretched);
        spareStretched.swap(m_spareStretched);
        currentImageIndex = -1;
    }
    if (!frames.empty())
        qDebug() << "删除上次采集图像缓存." << frames.size();
    if (!histograms.empty() && logHistograms)
        qDebug() << "删除上次直方图信息缓存.";
    if (shown)
        qDebug() << "删除上次直方图拉伸缓存.";
}

void TsFrameStore::clearFrameCaches()
{
    clearFrameList();
    clearOverExposure();
}
