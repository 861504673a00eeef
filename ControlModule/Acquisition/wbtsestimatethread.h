#pragma once
// Exposure estimation of an automatic Western-blot capture on the Tucsen camera: short, heavily
// binned reference frames, bright regions found by threshold and contours, their grey scaled to
// the target grey and the user's binning. The result leaves as updateEstimateTime (ms).

#include <QThread>

#include <opencv2/core.hpp>

#include <functional>
#include <memory>

#include "tucam.h"

class H695ICECamCtrl;
namespace acq {
class CameraRun;
}
class UserOpts;

class WBTSEstimateThread : public QThread {
    Q_OBJECT
public:
    explicit WBTSEstimateThread(QObject* parent = nullptr);
    ~WBTSEstimateThread() override;

    // Set before start().
    bool isFL9BW = false;

    // Reference exposure (ms); changed between attempts.
    int curExpTime = 100;
    // Where the offset that lowers the ceiling comes from (tests fix it); randomOffset by default.
    std::function<int()> offsetSource;

    // Returns false when no frame arrived (the image is then empty).
    bool captureReferenceImage();
    cv::Mat frameTo8Bit();
    int calcExposureTime(int curExp, double grey);
    static int randomOffset();

signals:
    void sig_CamErrorOccur();
    void updateEstimateTime(int estimateTime);

protected:
    void run() override;

private:
    H695ICECamCtrl* camCtrl;
    UserOpts* userOpts;
    TUCAM_FRAME frame {};
    std::unique_ptr<acq::CameraRun> referenceRun;
    bool frameValid = false;
    double grayTarget = 150.0;
};
