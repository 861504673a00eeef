#pragma once
// The lens side of an autofocus search on the SMBus lens (the S20Mini gel cabinet): it moves the
// lens itself, one step per frame the running preview rates, and takes turns with the preview
// through the camera controller's sem1 (the preview has rated a frame) and sem2 (the lens has
// reached its position). At the peak the lens goes back to the sharpest position, which is kept
// as the autofocus position.

#include <QThread>

#include <atomic>

class CamOpts;
class H695ICECamCtrl;
class UserOpts;

class AtFocusThread : public QThread {
    Q_OBJECT
public:
    // focusMin/focusMax: the focus limits the lens reported at its bring-up.
    AtFocusThread(int focusMin, int focusMax, QObject* parent = nullptr);
    ~AtFocusThread() override;

    // The longest wait for one step; 0 (the default) follows the preview's exposure.
    void setStepBoundMs(int ms) { stepBoundMs = ms; }

    // The sweep's next position; after the final approach, where the lens went.
    int position = 0;
    // Where the lens last arrived (-1 before the first move that succeeded): what a stopped
    // search leaves the lens at.
    std::atomic<int> reachedPosition {-1};
    // The final move failed: the search found no new focus and stored none.
    std::atomic<bool> lensFailed {false};

signals:
    void sig_LensErrorOccur();
    void sig_FocusMove(int mValue);

protected:
    void run() override;

private:
    bool moveLens(const char* failureText);

    H695ICECamCtrl* h695ICECamCtrl;
    UserOpts* userOpt;
    CamOpts* camOpt;
    int focusMin;
    int focusMax;
    int afOffset = 0;
    int stepBoundMs = 0;
};
