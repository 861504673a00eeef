#pragma once
// Capture of one gel picture on the Tucsen camera: one frame at the binning, exposure and gain
// the preview left, corrected against the flat-field references when correction is on, saved
// as a 16-bit picture named after the light, appended to the experiment's row and reported; then,
// when the user asked for it, the colour marker: three frames through the green, red and
// near-infrared filters under the main white lamp, tinted and blended into one colour picture.

#include <QMutex>
#include <QString>
#include <QThread>

#include <array>
#include <atomic>
#include <memory>

#include <opencv2/core.hpp>

#include "tsframe.h"
#include "tucam.h"

class ASyncSerialPortThread;
class GelExperimentDB;
class GelExperimentRecord;
class H695ICECamCtrl;
class TsFrameStore;
class LightCtrl;
class UserOpts;

namespace acq {
class CabinetLights;
class CameraRun;
}

class GelTSCaptureThread : public QThread {
    Q_OBJECT
public:
    // lightType: the LightType the page lit the sample with; it names the picture.
    explicit GelTSCaptureThread(int lightType, QObject* parent = nullptr);
    ~GelTSCaptureThread() override;

    // Set before start().
    // The controller's capture mutex, held around each camera start and its semCap permit, so
    // that a cancel never lands inside a start.
    QMutex* captureMutex = nullptr;
    bool isGelTS20BW = false;
    bool isFL9BW = false;
    bool isGelAndWBTS = false;
    // Without them the thread sends its lamp and filter commands through a LightCtrl of its own
    // on the serial-link singleton.
    LightCtrl* lightCtrl = nullptr;
    ASyncSerialPortThread* serialPortThread = nullptr;

    int lightType() const { return m_lightType; }

    // False while run() runs, true once it has ended (on every way out); a cancel waiting for
    // the next exposure gives up at it.
    std::atomic<bool> isCaptureFinished {false};
    // Frames taken whose picture, row and report are not done yet. A cancel takes one semCap
    // permit more than this: it gets through while an exposure runs, never while a frame that
    // has arrived is being stored. Read from the GUI thread.
    int frameCopyCount() const { return m_frameCopies.load(); }

    // A frame after its exposure: corrected when correction is on, appended to the camera's
    // frame list and saved. Returns the path; written tells whether the picture is on disk (a
    // frame that is not leaves the list again).
    QString storeFrame(const std::shared_ptr<TsFrame>& image, bool* written);

    // The colour marker (valid while run() runs): true when the blended picture is in
    // colorMarkerImage(). Any failed or cancelled step puts filter, lamp, gain and exposure back
    // and stops the camera.
    bool captureColorMarker();
    cv::Mat colorMarkerImage() const { return markerMats[0]; }

signals:
    void sig_CamErrorOccur();
    // A picture could not be written (path: its folder-A path); the capture ends, the camera
    // stays usable.
    void sig_SaveFailed(QString path);
    void singleImageCaped(QString imageName, int binning, double preExpTime, int gain);
    void colorMarkerCaped(QString imageName, int bin, double expCap, int gain);

protected:
    void run() override;

private:
    // The frame of run(): taken, stored, recorded and reported. False when no picture was stored.
    bool takeFrame(acq::CameraRun& run, GelExperimentRecord* expRecord);
    void recordFrame(const QString& path, GelExperimentRecord* expRecord);
    void saveColorMarker();
    // A cancel pending: the devices and camera are put back, true.
    bool checkMarkerAbort(acq::CameraRun& run);
    void lightOn();
    void lightOff();
    // One marker frame through filter (FilterType) into slot.
    bool captureFrame(acq::CameraRun& run, int slot, int filter);
    // Correction of a marker frame against the reference pair of its filter.
    void loadCalibration(TsFrame& frame, int filter);
    bool colorizeMarker();
    // The wheel position a marker returns to: 590 nm for UV302 and Blue light, else none.
    quint8 backFilter() const;
    void cameraError();
    ASyncSerialPortThread* link();

    H695ICECamCtrl* h695ICECamCtrl;
    // The camera's kept frames.
    TsFrameStore* frameStore;
    GelExperimentDB* gelExpDB;
    UserOpts* userOpt;
    const int m_lightType;
    std::atomic<int> m_frameCopies {0};
    std::unique_ptr<LightCtrl> ownLightCtrl;
    std::unique_ptr<acq::CabinetLights> lights;
    TUCAM_FRAME frame {};
    std::array<std::shared_ptr<TsFrame>, 3> markerFrames;
    std::array<cv::Mat, 3> markerMats;
    // The reference pair of the marker frame being corrected, at the frame's size.
    cv::Mat markerLight, markerDark;
};
