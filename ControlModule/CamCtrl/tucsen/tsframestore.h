#pragma once
// The frames of the Tucsen camera that the program keeps: the current experiment's frames with
// what goes with each of them (histogram record, rectangle list, crop region, file name), the
// over-exposure masks of a Western-blot capture, and the frames the views paint (live, capture
// in progress, shown). The camera controller owns one and hands it to the threads, flows and
// items; it does not touch the camera.
//
// What crosses threads, and how:
// - The shown index, the capture step and the display range are atomics: one writer sets them,
//   the other side reads them whenever it looks.
// - Everything else sits behind one lock, taken for a few pointer or value copies only, never
//   while logging or calling out. Frames and masks are handed out as shared, immutable objects,
//   so no pixel is copied under the lock; whatever leaves a list is freed after the lock.
// - The pools of stored frames and masks lock only to move an idle buffer in or out.

#include <QList>
#include <QRect>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "histograminfo.h"
#include "recyclepool.h"
#include "tsframe.h"
#include "tucam.h"

// Region a saved picture was cut to; (0, 0, -1, -1) is the whole frame.
struct RoiRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;
};

// An over-exposure mask: one byte per pixel, row after row, 1 marking an over-exposed pixel.
using OverExposureMask = std::shared_ptr<const std::vector<uint8_t>>;

class TsFrameStore {
public:
    TsFrameStore() = default;
    TsFrameStore(const TsFrameStore&) = delete;
    TsFrameStore& operator=(const TsFrameStore&) = delete;

    // ---- The current experiment's frames (frameList) and what goes with each of them. An
    // index outside the list is refused: null, false or an empty value.
    // Appends a frame (the capture threads); returns its index.
    int appendFrame(TsFramePtr frame);
    int frameCount() const;
    TsFramePtr frameAt(int index) const;
    // All frames in capture order (exports, merges).
    std::vector<TsFramePtr> frames() const;
    // Drops a frame with its histogram, rectangle list and crop region (deletes by index, and a
    // capture whose pictures could not be written).
    bool removeFrame(int index);
    // The file name (without folder) each listed frame was saved under, in step with frameList;
    // empty until the saver names it. Deletes and renames go by it, never by a folder listing.
    void setFrameFileName(int index, const QString& name);
    QString frameFileName(int index) const;
    // Renames the listed entry oldName (false when no frame has it).
    bool renameFrameFile(const QString& oldName, const QString& newName);
    // histogramCache: one record per saved picture, in step with frameList.
    int histogramCount() const;
    std::shared_ptr<const HistogramInfo> histogramAt(int index) const;
    void appendHistogram(HistogramInfo info);
    // The record of a saved frame, put at that frame's place in the list (at the end when the
    // frame is not listed: the list may already hold a newer frame, the merge, that the pages
    // must not take for this one). rects, when given, are the rectangles found in the picture.
    void recordSaved(const TUCAM_FRAME* saved, HistogramInfo histogram, const QList<QRect>* rects = nullptr);
    // The rectangles autoCrop found in each saved Western-blot picture, in step with frameList.
    QList<QRect> detectedRectsAt(int index) const;
    // roiList: the crop region of each saved gel or fluorescence picture.
    std::vector<RoiRect> roiList() const;
    void appendRoi(const RoiRect& roi);
    void clearRoiList();

    // ---- Memory of the capture path, reused from frame to frame: a stored frame or a mask goes
    // back to its pool once nothing (list, view, saver) holds it any more.
    // A copy of record to store; null when the record holds no frame.
    std::shared_ptr<TsFrame> storedFrameOf(const TUCAM_FRAME* record);
    // Room for a mask of count bytes, holding what an earlier mask left: the caller writes all.
    std::shared_ptr<std::vector<uint8_t>> maskBuffer(size_t count);

    // ---- Over-exposure masks of a Western-blot capture.
    // overExposureSum: the mask of the latest frame, as the saver and the views read it.
    void setOverExposureSum(OverExposureMask mask);
    OverExposureMask overExposureSum() const;
    // overExposureMarks: the masks kept for the image views, one per over-exposed frame.
    void appendOverExposureMark(OverExposureMask mask);
    int overExposureMarkCount() const;
    OverExposureMask overExposureMarkAt(int index) const;
    // Frees both (logged when there was anything).
    void clearOverExposure();

    // ---- Frames the views paint.
    // currentFrame: the latest live frame. setCurrentFrame copies the record outside the lock
    // (reusing a buffer no reader holds any more), so the preview may refill its own record at once.
    void setCurrentFrame(const TUCAM_FRAME* record);
    void clearCurrentFrame();
    TsFramePtr currentFrame() const;
    // The frame of the capture in progress.
    void setCaptureFrame(TsFramePtr frame);
    TsFramePtr captureFrame() const;
    // stretchFrame: the shown frame, at currentImageIndex, stretched to low..high. The shown
    // frames of two moves take turns in two buffers; one a reader still holds is not refilled.
    bool updateStretchFrame(int low, int high);
    // stretchFrame := the frame at currentImageIndex as captured (shared, not copied).
    bool showFrameAsCaptured();
    TsFramePtr stretchFrame() const;
    // The shown frame when it was made from source (a frame of the list), else null: a stretch
    // that failed for a newer selection never shows an older frame's picture.
    TsFramePtr stretchFrameOf(const TsFramePtr& source) const;

    // Frees the frame list, its histograms, rectangle lists and crop regions, the capture and
    // shown frames, and resets currentImageIndex to -1; each non-empty cache is logged (the
    // histogram line only when logHistograms).
    void clearFrameList(bool logHistograms = true);
    // Both of the above clean-ups.
    void clearFrameCaches();

    // The shown frame's place in the list.
    std::atomic<int32_t> currentImageIndex {0};
    // The step of the capture in progress (the index its frame will have), -1 between captures.
    std::atomic<int32_t> captureIndex {-1};
    // The display range of the shown frame.
    std::atomic<int32_t> stretchLow {0};
    std::atomic<int32_t> stretchHigh {65535};

private:
    mutable std::mutex m_lock;
    std::vector<TsFramePtr> m_frameList;
    std::vector<std::shared_ptr<const HistogramInfo>> m_histogramCache;
    std::vector<QList<QRect>> m_detectedRectLists;
    std::vector<RoiRect> m_roiList;
    std::vector<QString> m_frameFileNames;
    OverExposureMask m_overExposureSum;
    std::vector<OverExposureMask> m_overExposureMarks;
    // Live frames are kept writable here so that one no reader holds any more can be refilled;
    // readers only ever get them as TsFramePtr.
    std::shared_ptr<TsFrame> m_currentFrame;
    std::shared_ptr<TsFrame> m_spareFrame;
    TsFramePtr m_captureFrame;
    TsFramePtr m_stretchFrame;
    TsFramePtr m_stretchSource; // the list frame m_stretchFrame was made from
    // The last two stretched frames, writable here for the same reason as the live ones.
    std::shared_ptr<TsFrame> m_stretched;
    std::shared_ptr<TsFrame> m_spareStretched;
    // A capture keeps a marker, a sample and a merge; more frames than that come fresh.
    RecyclePool<TsFrame> m_storedFrames {4};
    RecyclePool<std::vector<uint8_t>> m_masks {4};
};
