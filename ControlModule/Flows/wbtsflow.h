#pragma once
// The Western-blot flow of the Tucsen camera: the preview, its parameter changes, the hand-over
// to the exposure estimation or straight to the capture, the experiment record, cancel, rename,
// leaving, and the image-list refresh of its page. Each role holds at most one thread; a flow
// counts as running while its member is set. GUI thread only.

#include "capturerole.h"
#include "lensflow.h"
#include "tucsenpreview.h"
#include "wbtspreviewthread.h"

#include <QObject>
#include <QString>
#include <QVariantList>

#include <memory>

class FlowContext;
class TucsenAutoExposure;
class WBTSCaptureThread;
class WBTSEstimateThread;
class WesternBlotExperimentRecord;

class WBTSFlow : public QObject, public FocusPreview {
    Q_OBJECT
public:
    WBTSFlow(FlowContext& ctx, TucsenAutoExposure& autoExposure, QObject* parent = nullptr);
    ~WBTSFlow() override;

    // Binning text of the record ("2*2") for the camera's binningIndex.
    static QString binningText(int authorityType, int binningIndex);

    void previewStart();
    void binChanged(int bin, int preExpTime, int gain);
    void preExpChanged(double value, bool needAdjust);
    void preExpAndGainChanged(double exp, int gain);
    void gainChanged(int value);
    void atExposure(int aeVal);
    // Stops the preview; then the estimation (autoCapture) or the capture runs.
    void captureStart(bool autoCapture);
    void cancelCapture();
    void exitExperiment();
    void updateImageShow(int minInten, int maxInten);
    double getExposure();
    double getGain();
    double getTem();
    void updateExpName(const QString& newName, const QString& newImageSavePath);
    void setEstimateRoi(double x, double y, double width, double height);
    void removeEstimateRoi();
    void closeCamAndUnInit();
    void imageListClicked(int index);
    void updateHisShowAndImageShow();
    // What the experiment leaves in memory: frames, histograms, record, marker lists, masks.
    void clearCache();

    bool hasPreview() const override { return preview.thread() != nullptr; }
    void clearFocusValues() override;

    TucsenPreview<WBTSPreviewThread> preview;
    WBTSEstimateThread* estimateThread = nullptr;
    // Kept here by the capture role from the thread's start to its end.
    WBTSCaptureThread* captureThread = nullptr;
    CaptureRole capture;
    // The experiment was left while its estimation or capture ran: the running thread ends the
    // experiment instead of going on.
    bool exitPending = false;
    std::unique_ptr<WesternBlotExperimentRecord> experiment;
    // Marker lists of the experiment, emptied with the cache.
    QVariantList markerList;
    QVariantList colorMarkerList;

private:
    void stopPreview(bool autoCapture, bool startNext);
    void previewEnded(bool autoCapture, bool startNext);
    void startEstimate();
    void startCapture();
    bool createExperiment();
    void imageCaped(const QString& imageName, int bin, double expCap, int gain);

    FlowContext& m_ctx;
    TucsenAutoExposure& m_autoExposure;
};
