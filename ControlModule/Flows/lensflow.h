#pragma once
// Lens moves and autofocus runs: the SMBus lens moved to a position, the serial lens (behind
// the controller board) moved to a position, the serial-lens autofocus of the Tucsen modes and
// the SMBus-lens autofocus of the S20Mini gel cabinet, each taking turns with the mode's running
// preview. One thread per role. GUI thread only.

#include "devicecmd.h"
#include "enumobj.h"

#include <QList>
#include <QObject>

#include <initializer_list>

class FlowContext;
class QThread;

// The preview of a mode flow, as an autofocus run sees it.
class FocusPreview {
public:
    // Whether the mode's preview thread exists.
    virtual bool hasPreview() const = 0;
    // Empties the preview's window of focus values before the next run (when it still exists).
    virtual void clearFocusValues() = 0;

protected:
    ~FocusPreview() = default;
};

class LensFlow : public QObject {
    Q_OBJECT
public:
    explicit LensFlow(FlowContext& ctx, QObject* parent = nullptr);
    ~LensFlow() override;

    // Focus range and start-position option of a serial-lens autofocus.
    struct AtFocusPlan {
        int focusMin = 0;
        int focusMax = 0;
        int startOption = 0;  // UserOpts::UserOptType of the start position
    };
    static AtFocusPlan atFocusPlan(EnumOBJ::ExpMode mode, int authorityType, int focusPosition);
    // Data bytes of a lens position for command 0xB2, high byte first, always two.
    static QList<Data_Bits> lensPositionBytes(int value);

    // The serial lens to value (0xB2).
    void lensCtrl(int value);
    // A move of the running serial-lens search (its sig_FocusMove): lensCtrl, and its report
    // awaited.
    void searchMove(int value);
    // A position report of the serial lens: true when it is the arrival a running search waits
    // for (its latest move), which is then no longer awaited. Reports of other moves (a page's
    // own move, the read at bring-up) arrive late and must not pace the search.
    bool searchLensArrived(int position);
    // The SMBus lens to value; focusMoved at the end. A second move while one runs is refused.
    void focusChanged(int value);
    // Serial-lens autofocus of mode with that mode's preview; setAFFinished at the end. Refused
    // without the preview and while a run is under way.
    void spacecomAtFocus(EnumOBJ::ExpMode mode, FocusPreview& preview);
    // Asks the running autofocus to end after its step, when one of the previews exists; both
    // semaphores get a permit so that a side waiting for its turn sees the stop at once.
    void stopAutoFocus(std::initializer_list<const FocusPreview*> previews);

    // SMBus-lens autofocus with preview as its partner, over the focus limits the lens reported
    // at its bring-up. role holds the thread from its start to its end (a start while it holds
    // one is refused, as is one without the preview); owner receives the thread's signals. At
    // the end the position the lens reached is kept as focusCurrentAddr (at least 10; nothing
    // when no move reached its position or the final one failed), aFFinished is emitted, the
    // thread goes and the preview's window of focus values is emptied. A failed final move is
    // the lens error.
    static void startSmbusAtFocus(FlowContext& ctx, FocusPreview& preview, QObject* owner, QThread*& role);

    // One thread per role: a second start while one runs is refused.
    QThread* atFocusThread = nullptr;
    QThread* focusMoveThread = nullptr;

private:
    FlowContext& m_ctx;
    // The position whose report the search waits for; -1 when none.
    int m_awaitedReport = -1;
};
