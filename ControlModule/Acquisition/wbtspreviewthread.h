#pragma once
// Live preview of the Western-blot page on the Tucsen camera; while an autofocus search runs it
// also rates each frame and decides when the search is done or reverses.

#include <QThread>

#include <vector>

#include "focussearch.h"
#include "tucam.h"

class H695ICECamCtrl;
class TsFrameStore;
class UserOpts;

class WBTSPreviewThread : public QThread {
    Q_OBJECT
public:
    explicit WBTSPreviewThread(QObject* parent = nullptr);
    ~WBTSPreviewThread() override;

    // Set before start().
    bool isFL9BW = false;
    bool isMini = false;

    void loadWbRoi();
    static int alignTo4(int v);
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
    H695ICECamCtrl* camCtrl;
    // The camera's kept frames.
    TsFrameStore* frameStore;
    UserOpts* userOpts;
    int wbX = 0, wbY = 0, wbW = 0, wbH = 0;
    TUCAM_FRAME frame {};
    acq::FocusSearch focus;
};
