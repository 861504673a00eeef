#pragma once
// The lens side of an autofocus search on the board-driven lens (Western blot, gel and
// multi-fluorescence): it asks for each lens position through sig_FocusMove while the running
// preview rates one frame per step; the board's position report gives the preview its turn
// (sem2), the preview's rating gives this thread its next one (sem1). At the peak the lens goes
// back to the sharpest position, which is kept as the autofocus position.

#include <QThread>

class CamOpts;
class H695ICECamCtrl;
class UserOpts;

class SpacecomAtFocusThread : public QThread {
    Q_OBJECT
public:
    // focusMin/focusMax: the lens's range (0 and 0 on a cabinet without the motorised lens).
    // Starts from the last reported lens position (curFocusValue) unless told otherwise.
    SpacecomAtFocusThread(int focusMin, int focusMax, QObject* parent = nullptr);
    ~SpacecomAtFocusThread() override;

    // The position the sweep starts from, before its offset.
    void setCurFocusValue(int value);
    // The longest wait for one step; 0 (the default) follows the preview's exposure.
    void setStepBoundMs(int ms) { stepBoundMs = ms; }

signals:
    void sig_FocusMove(int mValue);

protected:
    void run() override;

private:
    H695ICECamCtrl* h695ICECamCtrl;
    UserOpts* userOpt;
    CamOpts* camOpt;
    int focusMin;
    int focusMax;
    int curFocusValue = 0;
    int afOffset = 0;
    int stepBoundMs = 0;
};
