#pragma once
// The Tucsen camera controller: the driver connection, one wrapper per camera setting, the
// blocking frame wait, and the state the acquisition threads share with the main controller and
// the image views.
//
// What crosses threads, and how:
// - Flags, parameters, the shown index and display range, and the driver handle are atomics:
//   one writer sets them, the other side reads them whenever it looks.
// - Everything else that one thread writes and another reads sits behind one lock (m_state):
//   the frame list with its histograms, rectangle lists and crop regions, the over-exposure
//   masks, the live, capture and shown frames, the experiment name, the crop region, the
//   detected rectangles and the estimation region. The methods below take the lock for a few
//   pointer or value copies only and never log or call out under it. Frames and masks are
//   handed out as shared, immutable objects, so no pixel is copied under the lock.
// - The flat-field references keep their own lock (FlatFieldReferences); the semaphores are
//   QSemaphores. The savers' working memory has its own lock, held for one save (a second
//   save at the same time works in memory of its own). The pools of stored frames and masks
//   lock only to move an idle buffer in or out. No method holds two of these locks at once.

#include <QList>
#include <QObject>
#include <QRect>
#include <QSemaphore>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <opencv2/core.hpp>

#include "flatfieldreferences.h"
#include "frameview.h"
#include "histograminfo.h"
#include "recyclepool.h"
#include "regionofinterest.h"
#include "tsframe.h"
#include "tucam.h"

class UserOpts;
struct SaveScratch;

// Region a saved picture was cut to; (0, 0, -1, -1) is the whole frame.
struct RoiRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;
};

// The region of the frame the exposure estimation looks at, in fractions of the frame.
struct EstimateRoi {
    bool enabled = false;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// An over-exposure mask: one byte per pixel, row after row, 1 marking an over-exposed pixel.
using OverExposureMask = std::shared_ptr<const std::vector<uint8_t>>;

class H695ICECamCtrl : public QObject {
    Q_OBJECT
public:
    static H695ICECamCtrl* getInstance();
    // The program uses getInstance(); tests build their own controllers.
    explicit H695ICECamCtrl(QObject* parent = nullptr);
    ~H695ICECamCtrl() override;

    // Connection
    bool openCamera(int authorityType);
    void closeCamera();
    TUCAMRET initApi();
    void uninitApi();
    TUCAMRET openDevice(uint32_t index);
    void closeDevice();
    // The open camera's handle; null while no camera is open.
    HDTUCAM handle() const { return m_handle.load(); }

    // Frame acquisition; the calling thread owns the frame record.
    bool m_StartWaitFrame(TUCAM_FRAME* frame);
    TUCAMRET m_WaitForFrame(TUCAM_FRAME* frame);
    // The same with the caller's time-out, for exposures that may run past the fixed hour.
    TUCAMRET m_WaitForFrame(TUCAM_FRAME* frame, int32_t timeoutMs);
    void abortWait();
    void stopCapture();
    void releaseBuffer();
    void stopAll();
    void allocBuffer(TUCAM_FRAME* frame);
    void startCapture();
    void softwareTrigger();
    TUCAM_TRIGGER_ATTR getTrigger();
    void setTrigger(TUCAM_TRIGGER_ATTR trigger);

    // Setting wrappers: setters log and return nothing, getters return 0 when the driver fails.
    void setResolution(int value);
    int getResolution();
    void setBitDepth(int value);
    void setAutoExposure(int value);
    int getAutoExposure();
    void setHorizontalMirror(int value);
    void setVerticalMirror(int value);
    void setAutoLevels(int value);
    int getAutoLevels();
    TUCAM_CAPA_ATTR getAutoLevelsAttr();
    void setHistogramEnabled(int value);
    int getExposureMode();
    void setExposureMode(int value);
    void setBinning(int value);
    int getBinning();
    void setGain(double value);
    double getGain();
    TUCAM_PROP_ATTR getGainAttr();
    void setExposureTime(double value);
    double getExposureTime();
    TUCAM_PROP_ATTR getExposureAttr();
    void setAutoExposureTarget(int value);
    void setBlackLevel(int value);
    void setTemperature(int value);
    double getTemperature();
    void setGamma(double value);
    double getGamma();
    TUCAM_PROP_ATTR getGammaAttr();
    void setContrast(double value);
    double getContrast();
    TUCAM_PROP_ATTR getContrastAttr();
    void setLeftLevel(double value);
    double getLeftLevel();
    TUCAM_PROP_ATTR getLeftLevelAttr();
    void setRightLevel(double value);
    double getRightLevel();
    TUCAM_PROP_ATTR getRightLevelAttr();
    void setExposureThreshold(double value);
    double getExposureThreshold();
    void setROI(TUCAM_ROI_ATTR roi);
    // Reads information item 5 into info (whose text buffer the caller provides) and returns the text.
    QString getInfo(TUCAM_VALUE_INFO& info);

    // Raw frame records the caller owns: a deep copy (record and its own buffer) and its release.
    static TUCAM_FRAME* copyFrame(const TUCAM_FRAME* frame);
    static void freeFrame(TUCAM_FRAME** frame);
    static FrameView viewOf(const TUCAM_FRAME* frame) { return framerecord::view(frame); }

    // Flat-field and dark references (types 0 to 9) and their files under CorrectionData. The
    // copies take the current live frame.
    void getStandardImage();
    void getDarkImage();
    void getStandardImageFor535();
    void getDarkImageFor535();
    void getStandardImageFor605();
    void getDarkImageFor605();
    void getStandardImageFor715();
    void getDarkImageFor715();
    void getStandardImageFor590();
    void getDarkImageFor590();
    bool saveCorrectionData(int type);
    bool loadCorrectionData(int type);
    bool calculateBySizeForColorMarker(const TUCAM_FRAME* frame, int filter, cv::Mat& light, cv::Mat& dark);
    bool isAlreadyFFC() const { return references.isAlreadyFFC(); }

    // Flat-field correction: the binned pair lives in `references`.
    bool applyFFC(const TUCAM_FRAME* frame);
    bool applyFFCSecond(const TUCAM_FRAME* frame);
    void resetFFC();
    void calculateFFC();

    // Saving of captured and processed pictures into <appDir>/Images and imageSavePath. Each
    // returns the path to list; `written` (when given) tells whether every file of the call is
    // in place, so that a caller never records a picture that is not on disk.
    QString saveWBImages(const TUCAM_FRAME* frame, bool autoLevel, int kind, bool* written = nullptr);
    QString saveCaptureImage(const TUCAM_FRAME* frame, bool addHistogram, int lightType, bool* written = nullptr);
    QString saveImages(cv::Mat& image, int kind, bool* written = nullptr);
    bool writeDataFile(const QString& path, const cv::Mat& image, int stretchLow, int stretchHigh);
    cv::Mat readParamFile(const QString& path);

    // Histogram, display levels and pixel blends.
    static void computeLogHistogram(const TUCAM_FRAME* frame, HistogramInfo& info);
    void computeDisplayLevels(const TUCAM_FRAME* frame, HistogramInfo& info);
    void computeDisplayLevelsPlain(const TUCAM_FRAME* frame, HistogramInfo& info);
    void autoLevelFrame(TUCAM_FRAME* frame, HistogramInfo& info);
    void autoLevelFramePlain(TUCAM_FRAME* frame, HistogramInfo& info);
    static void stretchLevels(TUCAM_FRAME* frame, int low, int high);
    static void invertImage(TUCAM_FRAME* frame);
    bool multiplyImage(TUCAM_FRAME* a, TUCAM_FRAME* b);
    static void mergeImages(int width, int height, uint8_t* dst, const uint8_t* src);
    static bool isFocusPeak(const std::vector<double>& values);

    // Focus measure of preview frames.
    static void cropRoi(const cv::Mat& image, cv::Mat& out);
    static double focusMeasure(const cv::Mat& image);

    // Region of interest and object rectangles.
    void setRoiEnabled(bool enabled);
    void setCropRect(int x, int y, int width, int height);
    RegionOfInterest roi() const;
    static cv::Mat highByteImage(const TUCAM_FRAME* frame);
    void autoCrop(const TUCAM_FRAME* frame);
    // The rectangles of the last autoCrop.
    QList<QRect> detectedRects() const;

    // Filters, switched and weighted by the user options.
    static void applyGamma(TUCAM_FRAME* frame);
    static void medianFrame(TUCAM_FRAME* frame);
    static void gaussianFrame(TUCAM_FRAME* frame, double sigma);
    void sharpen16U(TUCAM_FRAME* frame, bool flag);
    void beautifyIfEnabled(TUCAM_FRAME* frame);
    void detailSharpen(cv::Mat& image);
    static void subtractScalar(TUCAM_FRAME* frame, int value);
    static cv::Mat adjust16UToTargetMean(const cv::Mat& img, double targetMean);
    bool toColorImage(TUCAM_FRAME* frame, const cv::Mat& tint, cv::Mat& out);

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
    // The rectangles autoCrop found in each saved Western-blot picture, in step with frameList.
    QList<QRect> detectedRectsAt(int index) const;
    // roiList: the crop region of each saved gel or fluorescence picture.
    std::vector<RoiRect> roiList() const;
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

    // ---- The experiment and the estimation.
    QString expName() const;
    void setExpName(const QString& name);
    // The four fractions are stored before the region counts as set.
    void setEstimateRoi(double x, double y, double width, double height);
    void removeEstimateRoi();
    EstimateRoi estimateRoi() const;

    // ---- Atomic flags and parameters, in the order the acquisition threads and the main
    // controller know them.
    std::atomic<bool> isRunning {false};
    std::atomic<int32_t> binningIndex {0};
    std::atomic<double> exposureTime {0.0};
    std::atomic<int32_t> gain {0};
    std::atomic<bool> isExposureChanged {false};
    std::atomic<bool> isGainChanged {false};
    std::atomic<bool> isAbort {false};
    std::atomic<bool> singleCaptureVisible {true};
    std::atomic<int32_t> currentImageIndex {0};
    // The step of the capture in progress (the index its frame will have), -1 between captures.
    std::atomic<int32_t> captureIndex {-1};
    std::atomic<int32_t> stretchLow {0};
    std::atomic<int32_t> stretchHigh {65535};
    UserOpts* const userOpts;
    QSemaphore semCap {0};
    QSemaphore sem1 {0};
    QSemaphore sem2 {0};
    std::atomic<bool> isFocusStop {true};
    std::atomic<bool> isFocusDone {false};
    std::atomic<bool> focusDirection {false};
    std::atomic<bool> isFocusMeasuring {false};
    std::atomic<int32_t> sum2BinIndex {0};
    std::atomic<bool> isWhiteBoard {false};
    // The ten references and the binned pair, under their own lock.
    FlatFieldReferences references;
    // White level of corrected pixels; mirrors references.ffcScale().
    std::atomic<uint16_t> ffcScale {65535};
    std::atomic<bool> isFFC {false};
    std::atomic<bool> isInFFC {false};
    std::atomic<double> histLevelPercent {0.001};
    std::atomic<int32_t> overExposureThreshold {300};
    std::atomic<int32_t> reversalCount {0};

private:
    enum class Logging { Failures, Quiet };
    // Every driver call goes through here: the call runs with the open handle, and a status
    // other than success is logged with the call's name, its id, its value and the status.
    template <class Call>
    TUCAMRET drive(const char* name, int id, double value, Call&& call, Logging logging = Logging::Failures) const;
    static void logDriverFailure(const char* name, int id, double value, TUCAMRET status);
    TUCAMRET capaSet(int id, int32_t value, Logging logging = Logging::Failures);
    TUCAMRET capaGet(int id, int32_t* value);
    TUCAMRET propSet(int id, double value);
    TUCAMRET propGet(int id, double* value);
    TUCAM_PROP_ATTR propAttr(int id, bool& success);
    void copyReference(int type);
    void setDetectedRects(const std::vector<cv::Rect>& rects);

    TUCAM_INIT apiInit {0, nullptr};
    TUCAM_OPEN camOpen {0, nullptr};
    std::atomic<HDTUCAM> m_handle {nullptr};

    mutable std::mutex m_state;
    // Puts the record of a saved frame at that frame's place in the list (at the end when the
    // frame is not listed); returns the place. Called with m_state held.
    size_t recordHistogramLocked(const TUCAM_FRAME* saved, std::shared_ptr<const HistogramInfo> histogram);
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
    // Working memory of saveWBImages, kept from one frame to the next.
    std::mutex m_saveScratchLock;
    std::unique_ptr<SaveScratch> m_saveScratch;
    QString m_expName;
    QList<QRect> m_detectedRects;
    RegionOfInterest m_roi;
    EstimateRoi m_estimateRoi;
};
