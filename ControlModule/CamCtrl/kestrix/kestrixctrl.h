#pragma once
// Controller of the camera family driven through kestrix64: opens and closes the library and the
// camera, owns the camera context through which the acquisition threads receive frames, keeps the
// frames of the current experiment and processes and saves them.

#include <QDateTime>
#include <QObject>
#include <QRect>
#include <QString>
#include <QVector>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "histograminfo.h"
#include "kestrix64.h"
#include "kestrixframe.h"
#include "kestrixframeset.h"

class UserOpts;

// One post-processing feature of the camera and its parameters, as the camera lists them.
struct KestrixPpParam {
    uint16_t index = 0;
    uint32_t id = 0;
    QString name;
    uint32_t min = 0;
    uint32_t max = 0;
    uint32_t def = 0;
};
struct KestrixPpFeature {
    uint16_t index = 0;
    uint32_t id = 0;
    QString name;
    QVector<KestrixPpParam> params;
};

class KestrixCtrl : public QObject {
    Q_OBJECT
public:
    enum SaveKind { KindMarker = 0, KindSignal = 1, KindMerge = 2 };

    static KestrixCtrl* getInstance();
    ~KestrixCtrl() override;

    // Camera and library.
    bool initCamera();
    void closeCamera();
    int16_t getTemperature();
    bool SetPpParamValue(uint16_t featureIndex, uint16_t paramIndex, uint32_t value);
    // Logs "相机错误代码：", the library's error code and text, then emits sig_CamErrorOccur.
    void reportError(const char* text);
    bool isLibraryInitialised() const { return m_libInit; }
    KestrixCameraContext* context() const { return m_ctx.get(); }

    // Stops one acquisition thread: sets its abort flag and wakes its wait.
    void abortPreview();
    void abortEstimate();
    void abortCapture();

    // Frame operations (in place on the frame's own pixels).
    void invertImage(KestrixFrame& frame);
    // Reloads sampleImageBkColor; on Black b is inverted first. False when the sizes differ.
    bool multiplyImage(KestrixFrame& a, KestrixFrame& b);
    void stretchLevels(KestrixFrame& frame, int low, int high);
    void autoLevels(KestrixFrame& frame, HistogramInfo& levels);
    void percentileLevels(KestrixFrame& frame, HistogramInfo& levels);
    void percentileStretch(KestrixFrame& frame, HistogramInfo& levels);
    cv::Mat frameToMat8(KestrixFrame& frame);
    // Replaces bandRects with the bands found in the frame.
    void detectBands(KestrixFrame& frame);
    // Processes a copy of the frame, records its display levels and writes it as TIFF below the
    // application directory and below imageSavePath; returns the path below the application
    // directory (also when a write failed: the failure is logged). written (may be null) tells
    // whether every file that was asked for is in place.
    QString processAndSaveImage(const KestrixFrame& frame, bool process, int kind, bool* written = nullptr);

    // Frames of the current experiment and their display levels, in order of capture; one lock
    // guards both, readers get copies.
    int appendFrame(KestrixFrame frame);
    // The same frame the capture view shows: listed without a copy of its pixels.
    int appendFrame(std::shared_ptr<const KestrixFrame> frame);
    int frameCount() const;
    KestrixFrame frameAt(int index) const;
    bool replaceFrame(int index, KestrixFrame frame);
    bool removeFrame(int index);   // the frame, its display levels and its file name
    // The file name (without folder) each listed frame was saved under, in step with the frames;
    // empty until the saver names it.
    void setFrameFileName(int index, const QString& name);
    QString frameFileName(int index) const;
    bool renameFrameFile(const QString& oldName, const QString& newName);
    void clearFrames();            // frames, display levels and the display frame
    int histogramCount() const;
    HistogramInfo histogramAt(int index) const;
    // A record for a frame appended by the image operations (generated and merged images).
    void appendHistogram(HistogramInfo levels);
    bool lastLevels(int* low, int* high) const;
    QVector<QRect> bandRects() const;

    // The frames the live view paints: the latest preview frame and the frame of the capture in
    // progress. Handed over as shared, immutable frames, so a reader never sees one half written.
    void setLiveFrame(std::shared_ptr<const KestrixFrame> frame);
    std::shared_ptr<const KestrixFrame> liveFrame() const;
    void setCaptureFrame(std::shared_ptr<const KestrixFrame> frame);
    std::shared_ptr<const KestrixFrame> captureFrame() const;

    // Time source of saved file names (tests set a fixed one).
    void setClock(std::function<QDateTime()> clock);

    // State shared with the main controller and the acquisition threads.
    QString expName;
    std::atomic<bool> singleCaptureVisible{true};
    std::atomic<int> frameSize{0};
    std::atomic<int> curImageIndex{-1};
    std::atomic<int> stretchLow{0};
    std::atomic<int> stretchHigh{65535};
    KestrixFrame displayFrame;   // GUI thread only
    int displayIndex = -1;       // the list frame displayFrame was stretched from; GUI thread only
    int fontId = -1;

signals:
    void sig_CamErrorOccur();

private:
    KestrixCtrl();
    bool readPpTable(QVector<KestrixPpFeature>& table);
    void releaseLibrary();
    int backgroundColor();
    void appendLevels(HistogramInfo levels);

    std::unique_ptr<KestrixCameraContext> m_ctx;
    UserOpts* m_userOpts = nullptr;
    bool m_libInit = false;

    mutable std::mutex m_frameMutex;
    // Listed frames are never written: a change replaces the entry.
    std::vector<std::shared_ptr<const KestrixFrame>> m_frameList;
    std::vector<HistogramInfo> m_histogramList;
    std::vector<QString> m_frameFileNames;
    QVector<QRect> m_bandRects;
    std::shared_ptr<const KestrixFrame> m_liveFrame;
    std::shared_ptr<const KestrixFrame> m_captureFrame;
    std::function<QDateTime()> m_clock;
};
