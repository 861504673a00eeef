#pragma once
// Capture of one Western-blot experiment on the Kestrix camera: an optional white-light marker
// frame, then one chemiluminescence exposure (single capture) or a series of them (multiple
// capture, optionally summed into an integral), each a one-frame sequence; every frame saved,
// listed and written into the experiment's row; marker and sample merged in a single capture.

#include <QString>
#include <QThread>

#include <memory>
#include <vector>

#include "kestrix64.h"
#include "kestrixframe.h"
#include "wbplan.h"

class ASyncSerialPortThread;
class KestrixCtrl;
class LightCtrl;
class UserOpts;
class WesternBlotExperimentDB;
class WesternBlotExperimentRecord;

namespace acq {
class CabinetLights;
}

class WBQICaptureThread : public QThread {
    Q_OBJECT
public:
    explicit WBQICaptureThread(QObject* parent = nullptr);
    ~WBQICaptureThread() override;

    // Set before start(). Without a LightCtrl the thread makes its own on serialPort (the
    // program's link when none is given).
    LightCtrl* lightCtrl = nullptr;
    ASyncSerialPortThread* serialPort = nullptr;
    // Longest wait for one frame (ms); 0: the rule of the Western blot (an hour at least, more
    // for an exposure near it).
    int frameTimeoutMs = 0;

    // Folder of the experiment, copied from its record when the run starts: valid after the
    // thread has ended.
    QString imageSavePath() const { return m_imageSavePath; }

    void lightOn();
    void lightOff();
    void buildExpTimeList();
    const std::vector<int>& expTimeList() const { return m_expTimeList; }

    struct StoreOptions {
        bool accumulate = false;   // integral accumulation: the reported exposure is the running sum
        bool blend = false;        // the frame takes in the one stored before it
        int backgroundColor = 1;   // sampleImageBkColor: a white background stores samples inverted
    };
    // Everything a captured frame goes through after its exposure: the copy out of the camera's
    // buffer taken with region, inversion, accumulation, the frame list, the capture view and the
    // saved pictures. Returns the path to list (empty when nothing was saved); written tells
    // whether every picture is on disk, and a frame whose pictures are not leaves the list.
    // exposure becomes the one to report.
    QString storeFrame(const void* buffer, const rgn_type& region, const wbplan::FramePlan& plan,
                       const StoreOptions& options, double* exposure, bool* written);

signals:
    void sig_CamErrorOccur();
    // A picture could not be written (path: its folder-A path); the capture ends, the camera
    // stays usable.
    void sig_SaveFailed(QString path);
    void lightStatusChange(bool on);
    void singleImageCaped(QString imageName, int bin, double expCap, int gain);

protected:
    void run() override;

private:
    // StoredLast: the frame is stored and recorded, but the camera failed after it.
    enum class FrameResult { Stored, StoredLast, Aborted, Failed };
    FrameResult captureFrame(int i, const wbplan::PlanInput& plan, int bk);
    void mergeImages(int firstIndex);
    // Logs "相机错误代码：", the library's code and text, emits sig_CamErrorOccur and switches the
    // light off. The record stays until the run ends: the frame's bookkeeping and the ending use it.
    void reportError(const char* text);
    ASyncSerialPortThread* link();

    KestrixCtrl* kx;
    WesternBlotExperimentDB* experimentDB;
    std::unique_ptr<WesternBlotExperimentRecord> record;
    UserOpts* userOpts;
    std::unique_ptr<LightCtrl> ownLightCtrl;
    std::unique_ptr<acq::CabinetLights> lights;
    bool isSampleFrame = false;
    double singleExposure = 0;
    std::vector<int> m_expTimeList;
    int16_t m_hcam = -1;
    rgn_type m_region {};
    uint16_t m_speedIndex = 0;
    int16_t m_gainIndex = 0;
    bool m_waitError = false;
    QString m_imageSavePath;
};
