#pragma once
// The Western-blot flow of the kestrix64 camera: preview, estimation and capture with their
// parameter changes, cancel and leaving (still to be built: those answer "not available yet"),
// and the image-list refresh of its page. GUI thread only.

#include <QObject>
#include <QVariantList>

#include <memory>

class FlowContext;
class WBQICaptureThread;
class WBQIEstimateThread;
class WBQIPreviewThread;
class WesternBlotExperimentRecord;

class WBQIFlow : public QObject {
    Q_OBJECT
public:
    explicit WBQIFlow(FlowContext& ctx, QObject* parent = nullptr);
    ~WBQIFlow() override;

    void previewStart();
    void binChanged(int bin, int preExpTime, int gainIndex);
    void preExpChanged(int value);
    void gainChanged(int gainIndex);
    void captureStart(bool autoCapture);
    void cancelCapture();
    void exitExperiment();
    // Restarts the preview after a binning change.
    void finishHandle();
    double getTem();
    void closeCamAndUnInit();
    void updateImageShow(int minInten, int maxInten);
    void imageListClicked(int index);
    void updateHisShowAndImageShow();
    // What the experiment leaves in memory: frames, histograms, the shown frame, record, markers.
    void clearCache();

    // One thread per role.
    WBQIPreviewThread* previewThread = nullptr;
    WBQIEstimateThread* estimateThread = nullptr;
    WBQICaptureThread* captureThread = nullptr;
    std::unique_ptr<WesternBlotExperimentRecord> experiment;
    QVariantList markerList;

private:
    FlowContext& m_ctx;
};
