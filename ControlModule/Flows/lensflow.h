#pragma once
// Lens moves and autofocus runs: the SMBus lens moved to a position, the serial lens (behind
// the controller board) moved to a position, and the serial-lens autofocus of the Tucsen modes,
// which takes turns with the mode's running preview. One thread per role. GUI thread only.

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
    // The SMBus lens to value; focusMoved at the end. A second move while one runs is refused.
    void focusChanged(int value);
    // Serial-lens autofocus of mode with that mode's preview; setAFFinished at the end. Refused
    // without the preview and while a run is under way.
    void spacecomAtFocus(EnumOBJ::ExpMode mode, FocusPreview& preview);
    // Asks the running autofocus to end after its step, when one of the previews exists.
    void stopAutoFocus(std::initializer_list<const FocusPreview*> previews);

    // One thread per role: a second start while one runs is refused.
    QThread* atFocusThread = nullptr;
    QThread* focusMoveThread = nullptr;

private:
    FlowContext& m_ctx;
};
