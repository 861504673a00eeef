#pragma once
// Capture of one Western-blot experiment on the Tucsen camera: an optional white-light marker
// frame, then one or more chemiluminescence frames (optionally summed into an integral), an
// optional colour marker and, for a single capture, the merge of marker and sample.

#include <QString>
#include <QMutex>
#include <QThread>

#include <array>
#include <atomic>
#include <vector>

#include <opencv2/core.hpp>

#include "tsframe.h"
#include "tucam.h"
#include "wbplan.h"

class ASyncSerialPortThread;
class H695ICECamCtrl;
class LightCtrl;
class UserOpts;
class WesternBlotExperimentDB;
class WesternBlotExperimentRecord;

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
    void lightOn();
    void lightOff();
    void buildExpTimeList();

    // Integral accumulation of frame index (not stored yet) from the frame stored before it.
    void addOverExposureInfo(int index, TsFrame& frame);
    void autoExposureWait();
    bool grabFrame(int slot);
    static void staining(cv::Mat& image, const cv::Scalar& colour);
    void composeColorMarker();
    bool captureColorMarker();
    bool captureColorMarkerWithLight();
    bool checkAbort();

    // Everything a captured frame goes through after its exposure: correction in the camera
    // buffer, the stored copy in frameList, accumulation, the over-exposure mask and the saved
    // pictures. Returns the path to list; empty when the frame could not be stored.
    QString processFrame(TUCAM_FRAME* camera, const wbplan::FramePlan& plan, int index, bool accumulate, int bk);

    // The composed colour marker (empty until one was taken).
    cv::Mat colorMarkerImage() const { return colorPlanes[0]; }

signals:
    void sig_CamErrorOccur();
    void lightStatusChange(bool on);
    void singleImageCaped(QString imageName, int bin, double expCap, int gain);
    void colorMarkerCaped(QString imageName, int bin, double expCap, int gain);

protected:
    void run() override;

private:
    enum class FrameResult { Stored, Aborted, Failed };
    FrameResult captureFrame(int i, const wbplan::PlanInput& plan, int bk);
    void sendLight(quint8 data);
    bool startCamera();
    void sleepMs(int ms);
    void finish(bool stopped, int completed, const wbplan::PlanInput& plan, int bk);
    void mergeImages(int bk);
    int gainEntry(bool sample) const;
    void freeColorRecords();

    ASyncSerialPortThread* link();
    H695ICECamCtrl* camCtrl;
    WesternBlotExperimentDB* experimentDB;
    WesternBlotExperimentRecord* record = nullptr;
    UserOpts* userOpts;
    LightCtrl* ownLightCtrl = nullptr;
    bool isSampleFrame = false;
    bool lightIsOn = false;
    double singleExposure = 0;
    std::vector<int> expTimeList;
    TUCAM_FRAME frame {};
    std::array<TUCAM_FRAME*, 3> colorFrameRecords {};
    std::array<cv::Mat, 3> colorPlanes;
    int wbX = 0, wbY = 0, wbW = 0, wbH = 0;
    QString m_imageSavePath;
};
