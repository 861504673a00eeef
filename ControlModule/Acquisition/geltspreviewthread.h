#pragma once
// Live preview of the gel page on the Tucsen camera: the camera set up for the configuration
// (binning or resolution, gain, exposure, region, mirroring), then frame by frame the newest frame
// for the views and, while an autofocus search runs, the rating of each frame.

#include <QThread>

#include <vector>

#include "cameraregion.h"
#include "focussearch.h"
#include "tucam.h"

class H695ICECamCtrl;
class TsFrameStore;
class UserOpts;

class GelTSPreviewThread : public QThread {
    Q_OBJECT
public:
    explicit GelTSPreviewThread(QObject* parent = nullptr);
    ~GelTSPreviewThread() override;

    // Set before start().
    // GelTS20BW: the region sits at the sensor's offset and is halved at the summed binning.
    bool isGelTS20BW = false;
    // A restart keeps the camera as the previous run left it (GelTS20BW).
    bool keepCameraSettings = false;
    bool isFL9BW = false;

    // The camera region of a GelTS20BW preview: the sample region moved by the sensor's offset,
    // halved at the summed binning, each value truncated.
    static acq::Region sensorOffsetRegion(const acq::Region& sample, bool halved);

    // The sample region of the last run (gelX..gelH, reloaded at each start).
    acq::Region sampleRegion() const { return {roiX, roiY, roiW, roiH}; }
    // The window of the latest sharpness values (this thread's own).
    const std::vector<double>& focusValues() const { return focus.values(); }
    // Empties the window before the next rating (the GUI thread, when an autofocus run ends).
    void clearFocusValues() { focus.clearValues(); }

signals:
    void sig_CamErrorOccur();
    void updatePreviewImage();

protected:
    void run() override;

private:
    void setUpCamera(int binningIndex);

    H695ICECamCtrl* camCtrl;
    // The camera's kept frames.
    TsFrameStore* frameStore;
    UserOpts* userOpts;
    int roiX = 0, roiY = 0, roiW = 0, roiH = 0;
    TUCAM_FRAME frame {};
    acq::FocusSearch focus;
};
