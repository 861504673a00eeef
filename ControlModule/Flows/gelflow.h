#pragma once
// The gel flow of the Tucsen camera: preview, parameter changes, auto-exposure, the experiment
// record, capture under a chosen light, cancel, rename and leaving (still to be built: those
// answer "not available yet"), the S20Mini commands, and the image-list refresh of its page.
// GUI thread only.

#include "lensflow.h"

#include <QObject>
#include <QString>
#include <QVariantList>

#include <memory>

class FlowContext;
class GelExperimentRecord;
class GelTSCaptureThread;
class GelTSPreviewThread;

class GelFlow : public QObject, public FocusPreview {
    Q_OBJECT
public:
    explicit GelFlow(FlowContext& ctx, QObject* parent = nullptr);
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
    void captureStart(int lightType);
    void updateExpInfo();
    void updateExpName(const QString& newName, const QString& newImageSavePath);
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

    bool hasPreview() const override { return previewThread != nullptr; }
    // The gel preview keeps no window of focus values yet.
    void clearFocusValues() override {}

    // One thread per role.
    GelTSPreviewThread* previewThread = nullptr;
    GelTSCaptureThread* captureThread = nullptr;
    // The SMBus-lens autofocus (GelTS20BW), from its start to its end.
    QThread* atFocusThread = nullptr;
    std::unique_ptr<GelExperimentRecord> experiment;
    // Set by the page, read by the exports.
    QString curGelImageName;

private:
    FlowContext& m_ctx;
};
