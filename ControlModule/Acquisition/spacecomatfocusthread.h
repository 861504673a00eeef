#pragma once
// The lens side of an autofocus search on the board-driven lens: it steps the focus while the
// running preview rates each frame; the two take turns through the controller's sem1 and sem2.

#include <QThread>

class H695ICECamCtrl;
class UserOpts;

class SpacecomAtFocusThread : public QThread {
    Q_OBJECT
public:
    // minFocus/maxFocus: the lens travel (0 and 0: no limits known); start: the last position.
    SpacecomAtFocusThread(int minFocus, int maxFocus, int start, QObject* parent = nullptr);
    ~SpacecomAtFocusThread() override;

    static constexpr int kStartOffset = 75;
    static constexpr int kStep = 15;

signals:
    void sig_FocusMove(int position);

protected:
    void run() override;

private:
    void finishStopped();

    H695ICECamCtrl* camCtrl;
    UserOpts* userOpts;
    int minFocus;
    int maxFocus;
    int startPosition;
};
