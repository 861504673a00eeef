#pragma once
// Capture of one Western-blot experiment on the Tucsen camera: an optional white-light marker
// frame, then one or more chemiluminescence frames (optionally summed into an integral), an
// optional colour marker and, for a single capture, the merge of marker and sample.

#include <QColor>
#include <QMutex>
#include <QString>
#include <QThread>

#include <array>
#include <atomic>
#include <memory>
#include <vector>

#include <opencv2/core.hpp>

#include "tsframe.h"
#include "tucam.h"
#include "wbplan.h"

class ASyncSerialPortThread;
class H695ICECamCtrl;
class TsFrameStore;
class LightCtrl;
class UserOpts;
class WesternBlotExperimentDB;
class WesternBlotExperimentRecord;

namespace acq {
class CabinetLights;
class CameraRun;
}

class WBTSCaptureThread : public QThread {
    Q_OBJECT
public:
    explicit WBTSCaptureThread(QObject* parent = nullptr);
    ~WBTSCaptureThread() override;

    // Set before start(). Without a LightCtrl the thread makes its own on serialPort.
    bool isFL9BW = false;
    bool isMini = false;
    LightCtrl* lightCtrl = nullptr;
    ASyncSerialPortThread* serialPort = nullptr;
    // The main controller's capture mutex, held around each camera start (a gel cancel takes it
    // so that its abort never lands inside a start).
    QMutex* captureMutex = nullptr;

    // Set when the frames, colour marker and merge are done, and on every other way out; the
    // cancel loop of the main controller stops at it.
    std::atomic<bool> captureEnded {false};

    // Folder of the experiment, copied from its record when the run starts: valid after the
    // thread has ended.
    QString imageSavePath() const { return m_imageSavePath; }

    void loadWbRoi();
    // The sample light, through the run's lights (valid while run() runs).
    void lightOn();
    void lightOff();
    void buildExpTimeList();

    // Integral accumulation of frame index (not stored yet) from the frame stored before it.
    void addOverExposureInfo(int index, TsFrame& frame);
    // A colour frame into slot 0..2 of colorFrameRecords and colorPlanes.
    bool grabFrame(acq::CameraRun& run, int slot);
    static void staining(cv::Mat& image, const QColor& colour);
    bool composeColorMarker();
    bool captureColorMarker();
    bool captureColorMarkerWithLight();
    // A cancel during the colour marker: true after the devices were put back.
    bool checkAbort(acq::CameraRun& run);

    // Everything a captured frame goes through after its exposure: correction in the camera
    // buffer, the stored copy in frameList, accumulation, the over-exposure mask and the saved
    // pictures. Returns the path to list; empty when the frame could not be stored. written
    // tells whether every picture is on disk; a frame whose pictures are not leaves the list.
    QString processFrame(TUCAM_FRAME* camera, const wbplan::FramePlan& plan, int index, bool accumulate, int bk,
                         bool* written = nullptr);

    // The composed colour marker (empty until one was taken).
    cv::Mat colorMarkerImage() const { return colorPlanes[0]; }

signals:
    void sig_CamErrorOccur();
    // A picture could not be written (path: its folder-A path); the capture ends, the camera
    // stays usable.
    void sig_SaveFailed(QString path);
    void lightStatusChange(bool on);
    void singleImageCaped(QString imageName, int bin, double expCap, int gain);
    void colorMarkerCaped(QString imageName, int bin, double expCap, int gain);

protected:
    void run() override;

private:
    enum class FrameResult { Stored, Aborted, Failed };
    FrameResult captureFrame(int i, const wbplan::PlanInput& plan, int bk);
    void finish(bool stopped, int completed, const wbplan::PlanInput& plan, int bk);
    void mergeImages(int bk);
    void saveColorMarker();
    // A picture that did not reach the disk: logged, and the page hears of the failure.
    void reportUnsaved(const QString& path);
    int gainEntry(bool sample) const;
    void cameraError();

    ASyncSerialPortThread* link();
    H695ICECamCtrl* camCtrl;
    // The camera's kept frames.
    TsFrameStore* frameStore;
    WesternBlotExperimentDB* experimentDB;
    WesternBlotExperimentRecord* record = nullptr;
    UserOpts* userOpts;
    std::unique_ptr<LightCtrl> ownLightCtrl;
    std::unique_ptr<acq::CabinetLights> lights;
    bool isSampleFrame = false;
    double singleExposure = 0;
    std::vector<int> expTimeList;
    TUCAM_FRAME frame {};
    std::array<std::shared_ptr<TsFrame>, 3> colorFrameRecords;
    std::array<cv::Mat, 3> colorPlanes;
    int wbX = 0, wbY = 0, wbW = 0, wbH = 0;
    QString m_imageSavePath;
};
