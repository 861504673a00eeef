#pragma once
// The gel flow of the Tucsen camera: the preview and its parameter changes, auto-exposure, the
// experiment record, the capture under the page's light with its hand-over from the preview,
// cancel, rename and leaving, the S20Mini commands, and the image refresh of its page. Each role
// holds at most one thread; a flow counts as running while its member is set. GUI thread only.

#include "capturerole.h"
#include "geltspreviewthread.h"
#include "lensflow.h"
#include "tucsenpreview.h"

#include <QObject>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

class FlowContext;
class GelExperimentRecord;
class GelTSCaptureThread;
class TucsenAutoExposure;

class GelFlow : public QObject, public FocusPreview {
    Q_OBJECT
public:
    GelFlow(FlowContext& ctx, TucsenAutoExposure& autoExposure, QObject* parent = nullptr);
    ~GelFlow() override;

    void previewStart();
    void previewReStart();
    void binChanged(int bin, int preExpTime, int gain);
    void preExpChanged(double value, bool needAdjust);
    void preExpAndGainChanged(double exp, int gain);
    void gainChanged(int value);
    void atExposure(int aeVal);
    double getExposure();
    double getGain();
    // Stops the preview; the capture under lightType starts when it has ended. Refused without
    // a running preview or an experiment record.
    void captureStart(int lightType);
    void updateExpInfo();
    void updateExpName(const QString& newName, const QString& newImageSavePath);
    // Waits until the running exposure has started, then aborts it.
    void cancelCapture();
    void updateCurImageName(const QString& imageName);
    void roiChanged();
    void exitExperiment();
    void exitExperiment20BW();
    void atFocus20BW();
    void updateImageShow();
    void imageListClicked(int index);
    void updateHisShowAndImageShow();

    // S20Mini board: blue-light brightness, plate type, door; the camera's exposure threshold.
    void openBlueLight20BW(int percent);
    void requestBoardType();
    void releaseDoor20BW();
    void setAverageGrayThd20BW(int value);

    // What the experiment leaves in memory: frames, the shown frame, the record.
    void clearCache();

    bool hasPreview() const override { return preview.thread() != nullptr; }
    void clearFocusValues() override;

    TucsenPreview<GelTSPreviewThread> preview;
    // The capture thread, kept here by its role from its start to its end.
    GelTSCaptureThread* captureThread = nullptr;
    CaptureRole capture;
    // The SMBus-lens autofocus (GelTS20BW), from its start to its end.
    QThread* atFocusThread = nullptr;
    // The experiment was left while its capture ran: the capture's end drops the experiment.
    bool exitPending = false;
    std::unique_ptr<GelExperimentRecord> experiment;
    // Set by the page, read by the exports.
    QString curGelImageName;

private:
    void startPreview(bool restart);
    // The thread's flags by configuration (keep: the camera keeps the previous run's settings).
    void configurePreview(GelTSPreviewThread* thread, bool keep);
    void stopPreview(int lightType, bool startNext);
    void startCapture(int lightType);
    void imageCaped(const QString& imageName, int bin, double expCap, int gain);
    void leave(const std::function<void()>& lightsOff);

    FlowContext& m_ctx;
    TucsenAutoExposure& m_autoExposure;
};
