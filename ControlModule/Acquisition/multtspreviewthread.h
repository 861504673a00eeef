#pragma once
// Live preview of the multi-fluorescence page on the Tucsen camera; while an autofocus search
// runs it also rates each frame and decides when the search is done or reverses.

#include <QThread>

#include <vector>

#include "focussearch.h"
#include "tucam.h"

class H695ICECamCtrl;
class TsFrameStore;
class UserOpts;

class MultTSPreviewThread : public QThread {
    Q_OBJECT
public:
    explicit MultTSPreviewThread(QObject* parent = nullptr);
    ~MultTSPreviewThread() override;

    // Set before start(): the FL9BW camera's binning table and aligned region.
    bool isFL9BW = false;

    // The window of the latest sharpness values (this thread's own).
    const std::vector<double>& focusValues() const { return focus.values(); }
    // Empties the window before the next focus step (called from the GUI thread when an
    // autofocus run ends).
    void clearFocusValues() { focus.clearValues(); }

signals:
    void sig_CamErrorOccur();
    void updatePreviewImage();

protected:
    void run() override;

private:
    H695ICECamCtrl* h695ICECamCtrl;
    // The camera's kept frames.
    TsFrameStore* frameStore;
    UserOpts* userOpt;
    TUCAM_FRAME frame {};
    int roiX = 0, roiY = 0, roiW = 0, roiH = 0;
    acq::FocusSearch focus;
};
