#pragma once
// The Tucsen camera controller: the driver connection, one wrapper per camera setting, the
// blocking frame wait, and the state the acquisition threads share with the main controller.
// Flags and parameters that cross threads are atomic; frameList and histogramCache are guarded
// together by frameListMutex.

#include <QList>
#include <QMutex>
#include <QObject>
#include <QRect>
#include <QSemaphore>
#include <QString>

#include <atomic>
#include <cstdint>
#include <vector>

#include <opencv2/core.hpp>

#include "flatfieldreferences.h"
#include "frameview.h"
#include "histograminfo.h"
#include "regionofinterest.h"
#include "tucam.h"

class UserOpts;

// Region a saved picture was cut to; (0, 0, -1, -1) is the whole frame.
struct RoiRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = -1;
    int32_t bottom = -1;
};

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

    // Frame records the controller owns: a deep copy (record and its own buffer) and its release.
    static TUCAM_FRAME* copyFrame(const TUCAM_FRAME* frame);
    static FrameView viewOf(const TUCAM_FRAME* frame) { return framerecord::view(frame); }

    // Flat-field and dark references (types 0 to 9) and their files under CorrectionData.
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
    bool calculateBySizeForColorMarker(TUCAM_FRAME* frame, int filter, cv::Mat& light, cv::Mat& dark);
    bool isAlreadyFFC() const { return references.isAlreadyFFC(); }

    // Flat-field correction: the binned pair lives in `references`.
    bool applyFFC(TUCAM_FRAME* frame);
    bool applyFFCSecond(TUCAM_FRAME* frame);
    void resetFFC();
    void calculateFFC();
    static void freeFrame(TUCAM_FRAME** frame);

    // Saving of captured and processed pictures into <appDir>/Images and imageSavePath.
    QString saveWBImages(TUCAM_FRAME* frame, bool autoLevel, int kind);
    QString saveCaptureImage(TUCAM_FRAME* frame, bool addHistogram, int lightType);
    QString saveImages(cv::Mat& image, int kind);
    bool writeDataFile(const QString& path, const cv::Mat& image, int stretchLow, int stretchHigh);
    cv::Mat readParamFile(const QString& path);

    // Histogram, display levels and pixel blends.
    static void computeLogHistogram(TUCAM_FRAME* frame, HistogramInfo& info);
    void computeDisplayLevels(TUCAM_FRAME* frame, HistogramInfo& info);
    void computeDisplayLevelsPlain(TUCAM_FRAME* frame, HistogramInfo& info);
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
    static cv::Mat highByteImage(TUCAM_FRAME* frame);
    void autoCrop(TUCAM_FRAME* frame);

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

    // The image list of the current experiment. Indexes are checked against frameList; a bad one
    // is refused with a log line.
    int frameCount();
    // stretchFrame := the frame at currentImageIndex stretched to low..high.
    bool updateStretchFrame(int low, int high);
    // Frees frameList, histogramCache and stretchFrame and resets currentImageIndex to -1; each
    // non-empty cache is logged (the histogram line only when logHistograms).
    void clearFrameList(bool logHistograms = true);
    // Frees the over-exposure masks of the experiment.
    void clearOverExposure();
    // Both of the above.
    void clearFrameCaches();

    // Shared state, in the order the acquisition threads and the main controller know it.
    std::atomic<bool> isRunning {false};
    std::atomic<int32_t> binningIndex {0};
    std::atomic<double> exposureTime {0.0};
    std::atomic<int32_t> gain {0};
    std::atomic<bool> isExposureChanged {false};
    std::atomic<bool> isGainChanged {false};
    std::atomic<TUCAM_FRAME*> currentFrame {nullptr};
    QString expName;
    std::atomic<bool> isAbort {false};
    std::atomic<bool> singleCaptureVisible {true};
    std::vector<TUCAM_FRAME*> frameList;
    std::vector<RoiRect> roiList;
    std::atomic<int32_t> currentImageIndex {0};
    std::atomic<int32_t> stretchLow {0};
    std::atomic<int32_t> stretchHigh {65535};
    QList<QRect> detectedRects;
    UserOpts* userOpts = nullptr;
    std::vector<HistogramInfo*> histogramCache;
    // Guards frameList and histogramCache together: the capture threads append while the
    // views and exports read.
    QMutex frameListMutex;
    TUCAM_FRAME* stretchFrame = nullptr;
    // The latest frame's mask, as the saver reads it (1 = over-exposed); one frame's worth.
    std::vector<int32_t> overExposureSum;
    // Per-frame masks kept for the image views: one byte per pixel, so that a long multiple
    // capture stays within a few bytes per pixel and frame.
    std::vector<std::vector<uint8_t>> overExposureMarks;
    QSemaphore semCap {0};
    QSemaphore sem1 {0};
    QSemaphore sem2 {0};
    std::atomic<bool> isFocusStop {true};
    std::atomic<bool> isFocusDone {false};
    std::atomic<bool> focusDirection {false};
    std::atomic<bool> isFocusMeasuring {false};
    std::atomic<int32_t> sum2BinIndex {0};
    std::atomic<bool> isWhiteBoard {false};
    // The ten references and the binned pair; the reference members of the camera record
    // live here as ReferenceFrame (record bytes and buffer), loaded and saved in place.
    FlatFieldReferences references;
    // White level of corrected pixels; mirrors references.ffcScale().
    uint16_t ffcScale = 65535;
    std::atomic<bool> isFFC {false};
    std::atomic<bool> isInFFC {false};
    double histLevelPercent = 0.001;
    int32_t overExposureThreshold = 300;
    // Crop region of saved pictures, right and bottom inclusive
    std::atomic<bool> isRoiEnabled {false};
    int32_t roiLeft = 0;
    int32_t roiTop = 0;
    int32_t roiRight = -1;
    int32_t roiBottom = -1;
    std::atomic<bool> isEstimateRoi {false};
    double estimateRoiX = 0;
    double estimateRoiY = 0;
    double estimateRoiWidth = 0;
    double estimateRoiHeight = 0;
    std::atomic<int32_t> reversalCount {0};
    TUCAM_INIT apiInit {0, nullptr};
    TUCAM_OPEN camOpen {0, nullptr};

private:
    HDTUCAM handle() const { return camOpen.hIdxTUCam; }
};
