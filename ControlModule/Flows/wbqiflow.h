#pragma once
// The Western-blot flow of the kestrix64 camera: the preview, its binning, exposure and gain
// changes, the hand-over to the exposure estimation or straight to the capture, the experiment
// record, cancel, rename, leaving, and the image-list refresh of its page. Each role holds at
// most one thread; a flow counts as running while its member is set. GUI thread only.

#include "tucsenpreview.h"
#include "wbqipreviewthread.h"

#include <QObject>
#include <QString>
#include <QVariantList>

#include <cstdint>
#include <memory>
#include <optional>

class FlowContext;
class WBQICaptureThread;
class WBQIEstimateThread;
class WesternBlotExperimentRecord;

class WBQIFlow : public QObject {
    Q_OBJECT
public:
    explicit WBQIFlow(FlowContext& ctx, QObject* parent = nullptr);
    ~WBQIFlow() override;

    // The first number of a binning text such as "2*2"; 1 for a text without one.
    static int binningOf(const QString& text);

    void previewStart();
    void binChanged(int bin, int preExpTime, int gainIndex);
    void preExpChanged(int value);
    void gainChanged(int gainIndex);
    // Stops the preview; then the estimation (autoCapture) or the capture runs.
    void captureStart(bool autoCapture);
    void cancelCapture();
    void exitExperiment();
    // Starts the preview thread again when it has ended with nothing pending (the restart after
    // a binning change does this itself).
    void finishHandle();
    double getTem();
    void closeCamAndUnInit();
    void updateExpName(const QString& newName, const QString& newImageSavePath);
    void updateImageShow(int minInten, int maxInten);
    void imageListClicked(int index);
    void updateHisShowAndImageShow();
    // What the experiment leaves in memory: frames, histograms, the shown frame, record, markers.
    void clearCache();

    PreviewRole<WBQIPreviewThread> preview;
    WBQIEstimateThread* estimateThread = nullptr;
    WBQICaptureThread* captureThread = nullptr;
    // The experiment was left while its estimation or capture ran: the running thread ends the
    // experiment instead of going on.
    bool exitPending = false;
    std::unique_ptr<WesternBlotExperimentRecord> experiment;
    QVariantList markerList;

private:
    // Binning, exposure and gain of a binning change: the camera takes them once the preview has
    // stopped, never under a running thread.
    struct PreviewSettings {
        int binning = 1;
        int exposure = 0;
        int gainIndex = 1;
    };
    void applySettings(const PreviewSettings& settings);
    void applyPendingSettings();
    void stopPreview(bool autoCapture, bool startNext);
    void previewEnded(bool autoCapture, bool startNext);
    void previewThreadEnded();
    void startEstimate();
    void startCapture();
    bool createExperiment();
    void imageCaped(const QString& imageName, int bin, double expCap, int gain);

    FlowContext& m_ctx;
    std::optional<PreviewSettings> m_pendingSettings;
};
