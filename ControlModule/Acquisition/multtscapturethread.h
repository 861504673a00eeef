#pragma once
// One multi-fluorescence channel on the Tucsen camera: a single frame at the channel's
// exposure under the light and filter the page chose, saved as a TIFF named after the light,
// its parameters appended to the experiment's row, reported with singleImageCaped.

#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

#include "tucam.h"

class ASyncSerialPortThread;
class CamOpts;
class H695ICECamCtrl;
class TsFrameStore;
class MultExperimentDB;
class MultExperimentRecord;
class QMutex;
class UserOpts;

class MultTSCaptureThread : public QThread {
    Q_OBJECT
public:
    MultTSCaptureThread(double expCap, int lightType, QObject* parent = nullptr);
    ~MultTSCaptureThread() override;

    // false while run() runs, true once it has ended (on every way out); the cancel stops at it.
    std::atomic<bool> isCaptureFinished {false};
    // Set before start(): the controller's capture mutex, held around the camera start.
    QMutex* captureMutex = nullptr;
    // Set before start(): the FL9BW camera (its binning table, its gain counted from 1).
    bool isFL9BW = false;

    // For tests: runs once the picture is on disk, before the row and the report.
    std::function<void()> afterSave;

signals:
    void sig_CamErrorOccur();
    // A picture could not be written (path: its folder-A path); the capture ends, the camera
    // stays usable.
    void sig_SaveFailed(QString path);
    void singleImageCaped(QString imageName, int bin, double expCap, int gain);

protected:
    void run() override;

private:
    // The row's four texts and the report of the saved picture.
    void recordAndReport(const QString& imageName, int factor);

    const double expCap;
    const int lightType;
    ASyncSerialPortThread* serialPortThread;
    H695ICECamCtrl* h695ICECamCtrl;
    // The camera's kept frames.
    TsFrameStore* frameStore;
    MultExperimentDB* multExpDB;
    std::unique_ptr<MultExperimentRecord> expRecord;
    UserOpts* userOpt;
    CamOpts* camOpt;
    TUCAM_FRAME frame {};
};
