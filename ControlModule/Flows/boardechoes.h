#pragma once
// Light, filter-wheel, lens and door commands on their way to the controller board. The board
// echoes a command it carries out, in the order it received them: what it echoed last (or
// reported since) is what the cabinet has, and what the pages show again when it lets a command
// pass unanswered. A command is missed when the link reports its reply window silent, when the
// board echoes one sent after it, or when no echo came in time. A miss is told to the pages, never
// raised as a device error: the board still answers, and a device error would keep the
// experiments closed at every later login.
//
// The wheel reports the end of a turn without naming the turn, and a report sent just before a
// newer command reached the board arrives after that command was sent: only the turn of the
// latest filter command counts, once the board has echoed it, and once. GUI thread only.

#include "enumobj.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QTimer>

class ASyncSerialPortThread;

class BoardEchoes : public QObject {
    Q_OBJECT
public:
    explicit BoardEchoes(ASyncSerialPortThread* link, QObject* parent = nullptr);

    // A request frame handed to the link. Nothing is awaited from a link that does not run: it
    // answers nothing and reports nothing.
    void sent(const QByteArray& frame);

    // A kept command not echoed this long after it was sent is missed, however many frames were
    // queued ahead of it.
    static int longestAnswerMs();

    // The light (EnumOBJ::LightType) the board has confirmed on by echoing a light command;
    // Unknow_LightType when it confirmed the lights off, or none yet.
    int litLight() const { return m_litLight; }
    // The board put its lamps out by itself (its timed shut-down): none is lit any more.
    void lampsShutDown();
    // A light command is on its way: neither echoed nor let pass by the board yet.
    bool lightCommandPending() const;

    // The wheel position (EnumOBJ::FilterType) of the filter command the board echoed last; the
    // reset ends at NoFilter, the 715/840 nm slot is F_840nm. -1 before the first.
    int filterPosition() const { return m_filterPosition; }
    // The lens position the board echoed a move to or reported last; -1 before the first.
    int lensPosition() const { return m_lensPosition; }
    // Whether the door is open as the board last confirmed it (an echoed release or its report).
    bool doorOpen() const { return m_doorOpen; }

    // A door report of the board.
    void doorReported(bool open) { m_doorOpen = open; }
    // A lens position report of the board.
    void lensReported(int position) { m_lensPosition = position; }
    // A filter-finished report: true when it ends the turn of the latest filter command, which
    // the board has echoed; that turn is then over. False for a report of an earlier turn, a
    // second report, or one with no filter command of ours under way.
    bool filterTurnFinished();

signals:
    // The board echoed a light command; litLight is up to date.
    void lightCommandAnswered();
    // The board let a light command pass unanswered (the last light it switches, and how);
    // litLight is what it last confirmed.
    void lightCommandUnanswered(int lightType, bool on);
    // The board let a command of that unit pass unanswered; the argument is what it last
    // confirmed (as filterPosition, lensPosition, doorOpen). withLight: the same frame switched a
    // light, whose miss is told too (one message is enough for the operator).
    void filterCommandUnanswered(int position, bool withLight);
    void lensCommandUnanswered(int position);
    void doorCommandUnanswered(bool open);
    // The board echoed a command after it was told missed: the light or the wheel is as the
    // command asked after all, and no longer as the pages were told.
    void confirmedLate();

private:
    struct Awaited {
        QByteArray frame;
        quint64 id = 0;
        bool unanswered = false;  // reported, still taken by an echo that comes late
        bool kept = false;        // switches a light, turns the wheel, moves the lens or opens the door
        bool light = false;       // switches a light
        QDeadlineTimer deadline;  // missed when not echoed by then (kept frames)
    };
    void replyArrived(const QByteArray& reply);
    void frameUnanswered(const QByteArray& frame);
    // Marks the awaited frames before end missed; returns those not marked before.
    QList<QByteArray> markMissed(int end);
    // Logs each missed frame and tells the pages of its units.
    void reportMissed(const QList<QByteArray>& frames);
    // Kept frames past their deadline, and all before them, are missed.
    void deadlinePassed();
    void armDeadline();

    ASyncSerialPortThread* m_link;
    QList<Awaited> m_awaited;
    QTimer m_deadlineTimer;
    quint64 m_lastId = 0;
    // The latest filter command, and whether the board has echoed it and its turn not yet ended.
    quint64 m_filterTurn = 0;
    bool m_filterTurnEchoed = false;
    int m_filterPosition = -1;
    int m_lensPosition = -1;
    bool m_doorOpen = false;
    int m_litLight = EnumOBJ::Unknow_LightType;
};
