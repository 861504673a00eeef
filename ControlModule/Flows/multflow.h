#pragma once
// The multi-fluorescence flow of the Tucsen camera: preview, parameter changes, auto-exposure,
// the experiment record, one capture per channel, cancel, rename and leaving (still to be
// built: those answer "not available yet"), and the image-list refresh of its page. GUI thread
// only.

#include "lensflow.h"

#include <QObject>
#include <QString>

#include <memory>

class FlowContext;
class MultExperimentRecord;
class MultTSCaptureThread;
class MultTSPreviewThread;

class MultFlow : public QObject, public FocusPreview {
    Q_OBJECT
public:
    explicit MultFlow(FlowContext& ctx, QObject* parent = nullptr);
    ~MultFlow() override;

    void previewStart();
    void binChanged(int bin, int preExpTime, int gain);
    void preExpChanged(double value, bool needAdjust);
    void preExpAndGainChanged(double exp, int gain);
    void gainChanged(int value);
    void atExposure(int aeVal);
    double getExposure();
    double getGain();
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

    bool hasPreview() const override { return previewThread != nullptr; }
    // The multi-fluorescence preview keeps no window of focus values yet.
    void clearFocusValues() override {}

    // One thread per role.
    MultTSPreviewThread* previewThread = nullptr;
    MultTSCaptureThread* captureThread = nullptr;
    std::unique_ptr<MultExperimentRecord> experiment;
    // Set by the page, read by the exports.
    QString curMultImageName;

private:
    FlowContext& m_ctx;
};
