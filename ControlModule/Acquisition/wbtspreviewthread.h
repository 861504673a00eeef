#pragma once
// Live preview of the Western-blot page on the Tucsen camera; while an autofocus search runs it
// also rates each frame and decides when the search is done or reverses.

#include <QThread>

#include <atomic>
#include <vector>

#include "tucam.h"

class H695ICECamCtrl;
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
    // Empties the window of focus values before the next focus step (called from the GUI thread
    // when an autofocus run ends; the window itself belongs to this thread).
    void clearFocusValues() { focusValuesStale = true; }

signals:
    void sig_CamErrorOccur();
    void updatePreviewImage();

protected:
    void run() override;

private:
    void runPreview();
    // Hands the frame just received to the views.
    void publishFrame();
    // Waits for the lens side's turn; false when the preview or the search stopped meanwhile.
    bool waitForLens();
    // One focus decision for the frame just received; gives the lens side its next turn.
    void rateFrame();

    H695ICECamCtrl* camCtrl;
    UserOpts* userOpts;
    int wbX = 0, wbY = 0, wbW = 0, wbH = 0;
    TUCAM_FRAME frame {};
    std::vector<double> focusValues;
    std::atomic<bool> focusValuesStale {false};
};
