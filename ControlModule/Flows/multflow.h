#pragma once
// The multi-fluorescence flow of the Tucsen camera: preview, parameter changes, auto-exposure,
// the experiment record, one capture per channel (the preview stops, one frame under the
// channel's light and filter, the page restarts the preview), cancel, rename and leaving, and
// the image-list refresh of its page. Each role holds at most one thread; a flow counts as
// running while its member is set. GUI thread only.

#include "capturerole.h"
#include "lensflow.h"
#include "multtspreviewthread.h"
#include "tucsenpreview.h"

#include <QObject>
#include <QString>

#include <memory>

class FlowContext;
class MultExperimentRecord;
class MultTSCaptureThread;
class TucsenAutoExposure;

class MultFlow : public QObject, public FocusPreview {
    Q_OBJECT
public:
    MultFlow(FlowContext& ctx, TucsenAutoExposure& autoExposure, QObject* parent = nullptr);
    ~MultFlow() override;

    void previewStart();
    void binChanged(int bin, int preExpTime, int gain);
    void preExpChanged(double value, bool needAdjust);
    void preExpAndGainChanged(double exp, int gain);
    void gainChanged(int value);
    void atExposure(int aeVal);
    double getExposure();
    double getGain();
    // Stops the preview; then the channel (expCap, lightType) is captured.
    void captureStart(double expCap, int lightType);
    void updateExpInfo();
    void updateExpName(const QString& newName, const QString& newImageSavePath);
    void cancelCapture();
    void updateCurImageName(const QString& imageName);
    void updateImageShow(int minInten, int maxInten);
    void exitExperiment();
    void imageListClicked(int index);
    void updateHisShowAndImageShow();

    // What the experiment leaves in memory: frames, histograms, the shown frame, the record.
    void clearCache();

    bool hasPreview() const override { return preview.thread() != nullptr; }
    void clearFocusValues() override;

    // One thread per role.
    TucsenPreview<MultTSPreviewThread> preview;
    // Kept here by the capture role from the thread's start to its end.
    MultTSCaptureThread* captureThread = nullptr;
    CaptureRole capture;
    // The experiment was left while its capture ran: the frames go when the capture has ended.
    bool exitPending = false;
    std::unique_ptr<MultExperimentRecord> experiment;
    // Set by the page, read by the exports.
    QString curMultImageName;

private:
    void previewEnded(bool startNext, double expCap, int lightType);
    void startCapture(double expCap, int lightType);
    void imageCaped(const QString& imageName, int bin, double expCap, int gain);
    void dropRecord();
    // The flags of the preview thread for the configuration.
    void configurePreview(MultTSPreviewThread* thread) const;

    FlowContext& m_ctx;
    TucsenAutoExposure& m_autoExposure;
};
