#pragma once
// The Tucsen camera controller: the driver connection, one wrapper per camera setting, the
// blocking frame wait, the savers' front, and the flags the acquisition threads share with the
// main controller. The frames it keeps are in its frame store (frameStore()).
//
// What crosses threads, and how:
// - Flags, parameters and the driver handle are atomics: one writer sets them, the other side
//   reads them whenever it looks.
// - The experiment name, the crop region, the detected rectangles and the estimation region sit
//   behind one lock (m_state), taken for value copies only.
// - The frame store, the flat-field references (FlatFieldReferences) and the savers' working
//   memory keep locks of their own; the last is held for one save (a second save at the same
//   time works in memory of its own). The semaphores are QSemaphores. No method holds two of
//   these locks at once.

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
#include "regionofinterest.h"
#include "tsframe.h"
#include "tsframestore.h"
#include "tucam.h"

class UserOpts;
struct SaveScratch;

// The region of the frame the exposure estimation looks at, in fractions of the frame.
struct EstimateRoi {
    bool enabled = false;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

class H695ICECamCtrl : public QObject {
    Q_OBJECT
    TsFrameStore m_frameStore;

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

    // ---- The kept frames, their records, masks and the shown frames.
    TsFrameStore& frameStore() { return m_frameStore; }
    const TsFrameStore& frameStore() const { return m_frameStore; }

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
    // Working memory of saveWBImages, kept from one frame to the next.
    std::mutex m_saveScratchLock;
    std::unique_ptr<SaveScratch> m_saveScratch;
    QString m_expName;
    QList<QRect> m_detectedRects;
    RegionOfInterest m_roi;
    EstimateRoi m_estimateRoi;
};
