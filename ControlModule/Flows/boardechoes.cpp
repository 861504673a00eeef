#include "boardechoes.h"

#include "asyncserialportthread.h"
#include "devicecmd.h"
#include "enumobj.h"

#include <QDebug>

#include <algorithm>

namespace {
// Frames kept for their echo; a board that stops answering must not make the list grow.
constexpr int kMaxAwaited = 16;
// A request frame: 68 A0 <code> <length> <data...> <checksum>.
constexpr int kRequestHead = 4;
// An echo not in by then means a missed frame (as the link's synchronous exchange waits).
constexpr int kDeadlineMs = ASyncSerialPortThread::kSyncTimeoutMs + 1000;
constexpr int kDeadlinePerFrameAheadMs = ASyncSerialPortThread::kSyncTimeoutMs / 4;

quint8 codeOf(const QByteArray& frame)
{
    return frame.size() > 2 ? static_cast<quint8>(frame.at(2)) : 0;
}

QByteArray dataOf(const QByteArray& frame)
{
    if (frame.size() <= kRequestHead)
        return QByteArray();
    return frame.mid(kRequestHead, static_cast<quint8>(frame.at(kRequestHead - 1)));
}

// The codes whose data bytes each switch one unit: lights, the wheel, the door.
bool switchesUnits(const QByteArray& frame)
{
    const quint8 code = codeOf(frame);
    return code == CmdGelLight || code == CmdMainLight || code == CmdMultLight;
}

// The wheel position a frame turns to (its last filter byte); -1 when it turns none.
int filterTarget(const QByteArray& frame)
{
    if (!switchesUnits(frame))
        return -1;
    int target = -1;
    for (const char byte : dataOf(frame)) {
        switch (static_cast<quint8>(byte)) {
        // The reset turns the wheel to its first slot.
        case Filter0:
        case FilterReset: target = EnumOBJ::NoFilter; break;
        case Filter535: target = EnumOBJ::F_535nm; break;
        case Filter590: target = EnumOBJ::F_590nm; break;
        case Filter605: target = EnumOBJ::F_605nm; break;
        case Filter700: target = EnumOBJ::F_700nm; break;
        // One slot carries both filters; the pages' buttons name it 840 nm.
        case Filter715_840: target = EnumOBJ::F_840nm; break;
        case Filter810: target = EnumOBJ::F_810nm; break;
        default: break;
        }
    }
    return target;
}

// The lens position a move frame (0xB2) asks for; -1 for any other frame.
int lensTarget(const QByteArray& frame)
{
    const QByteArray data = dataOf(frame);
    if (codeOf(frame) != CmdSetZoom || data.size() != 2)
        return -1;
    return (static_cast<quint8>(data.at(0)) << 8) | static_cast<quint8>(data.at(1));
}

bool releasesDoor(const QByteArray& frame)
{
    return switchesUnits(frame) && dataOf(frame).contains(static_cast<char>(DoorEject));
}

struct LightSwitch {
    quint8 byte;
    int lightType;
    bool on;
};

// The data bytes of the light commands that switch one light, and power off, which switches all.
constexpr LightSwitch kLightSwitches[] = {
    {SourceOn, EnumOBJ::White, true},         {SourceOff, EnumOBJ::White, false},
    {MiniWhiteOn, EnumOBJ::White, true},      {MiniWhiteOff, EnumOBJ::White, false},
    {WhiteLightOn, EnumOBJ::White, true},     {WhiteLightOff, EnumOBJ::White, false},
    {UV302_1On, EnumOBJ::UV302C, true},       {UV302_1Off, EnumOBJ::UV302C, false},
    {UV254On, EnumOBJ::UV254, true},          {UV254Off, EnumOBJ::UV254, false},
    {UV365On, EnumOBJ::UV365, true},          {UV365Off, EnumOBJ::UV365, false},
    {MiniUVOn, EnumOBJ::UV302, true},         {MiniUVOff, EnumOBJ::UV302, false},
    {MiniBlueOn, EnumOBJ::Blue, true},        {MiniBlueOff, EnumOBJ::Blue, false},
    {RedLampOn, EnumOBJ::R625nm, true},       {RedLampOff, EnumOBJ::R625nm, false},
    {GreenLampOn, EnumOBJ::G520nm, true},     {GreenLampOff, EnumOBJ::G520nm, false},
    {BlueLampOn, EnumOBJ::B470nm, true},      {BlueLampOff, EnumOBJ::B470nm, false},
    {NIR660On, EnumOBJ::IR660nm, true},       {NIR660Off, EnumOBJ::IR660nm, false},
    {NIR740On, EnumOBJ::IR740nm, true},       {NIR740Off, EnumOBJ::IR740nm, false},
    {PowerOff, EnumOBJ::Unknow_LightType, false},
};

// The light switches of a frame, in the order the board carries them out.
QList<LightSwitch> lightSwitches(const QByteArray& frame)
{
    QList<LightSwitch> out;
    if (!switchesUnits(frame))
        return out;
    for (const char byte : dataOf(frame)) {
        for (const LightSwitch& s : kLightSwitches) {
            if (s.byte == static_cast<quint8>(byte))
                out << s;
        }
    }
    return out;
}

bool keptFrame(const QByteArray& frame)
{
    return filterTarget(frame) >= 0 || lensTarget(frame) >= 0 || releasesDoor(frame);
}
} // namespace

BoardEchoes::BoardEchoes(ASyncSerialPortThread* link, QObject* parent)
    : QObject(parent)
    , m_link(link)
{
    m_deadlineTimer.setSingleShot(true);
    connect(&m_deadlineTimer, &QTimer::timeout, this, &BoardEchoes::deadlinePassed);
    if (link) {
        connect(link, &ASyncSerialPortThread::readData, this, &BoardEchoes::replyArrived);
        connect(link, &ASyncSerialPortThread::frameUnanswered, this, &BoardEchoes::frameUnanswered);
    }
}

void BoardEchoes::sent(const QByteArray& frame)
{
    if (!m_link || !m_link->isRunning())
        return;
    // Every frame is kept, those of other units too: the board answers in order, so an echo
    // tells that what was sent before it and is still awaited was missed.
    if (m_awaited.size() >= kMaxAwaited)
        m_awaited.removeFirst();
    Awaited awaited;
    awaited.frame = frame;
    awaited.id = ++m_lastId;
    awaited.light = !lightSwitches(frame).isEmpty();
    awaited.kept = awaited.light || keptFrame(frame);
    if (awaited.kept) {
        // The link tells a frame missed only when the line stays silent through its reply
        // window, which a report of the board's own (a timer, the door, the cover) breaks. The
        // deadline is the link's own for an exchange behind the frames queued ahead.
        int ahead = 0;
        for (const Awaited& a : qAsConst(m_awaited))
            ahead += a.unanswered ? 0 : 1;
        awaited.deadline.setRemainingTime(kDeadlineMs + ahead * kDeadlinePerFrameAheadMs);
    }
    m_awaited.append(awaited);
    if (filterTarget(frame) >= 0) {
        m_filterTurn = awaited.id;
        m_filterTurnEchoed = false;
    }
    armDeadline();
}

int BoardEchoes::longestAnswerMs()
{
    return kDeadlineMs + kMaxAwaited * kDeadlinePerFrameAheadMs;
}

void BoardEchoes::lampsShutDown()
{
    m_litLight = EnumOBJ::Unknow_LightType;
}

bool BoardEchoes::lightCommandPending() const
{
    for (const Awaited& a : m_awaited) {
        if (!a.unanswered && a.light)
            return true;
    }
    return false;
}

bool BoardEchoes::filterTurnFinished()
{
    if (m_filterTurn == 0 || !m_filterTurnEchoed)
        return false;
    m_filterTurn = 0;
    m_filterTurnEchoed = false;
    return true;
}

void BoardEchoes::replyArrived(const QByteArray& reply)
{
    // The echo contains the request frame; other replies contain none. A frame still awaited
    // goes before one reported missed, so that the same command sent again after a missed one
    // takes its own echo.
    int at = -1;
    for (int i = 0; i < m_awaited.size(); ++i) {
        if (!reply.contains(m_awaited.at(i).frame))
            continue;
        if (!m_awaited.at(i).unanswered) {
            at = i;
            break;
        }
        if (at < 0)
            at = i;
    }
    if (at < 0)
        return;
    // The link's reply window of a frame ends when the next one is written: a frame the board
    // skipped is told by the echo of a later one.
    const QList<QByteArray> missed = markMissed(at);
    m_awaited.erase(m_awaited.begin(), m_awaited.begin() + at);
    const Awaited echoed = m_awaited.takeFirst();
    const int filter = filterTarget(echoed.frame);
    if (filter >= 0) {
        m_filterPosition = filter;
        if (echoed.id == m_filterTurn)
            m_filterTurnEchoed = true;
    }
    const int lens = lensTarget(echoed.frame);
    if (lens >= 0)
        m_lensPosition = lens;
    if (releasesDoor(echoed.frame))
        m_doorOpen = true;
    const QList<LightSwitch> switches = lightSwitches(echoed.frame);
    for (const LightSwitch& s : switches) {
        if (s.on)
            m_litLight = s.lightType;
        else if (s.lightType == EnumOBJ::Unknow_LightType || s.lightType == m_litLight)
            m_litLight = EnumOBJ::Unknow_LightType;
    }
    armDeadline();
    // Told last: what the pages hear may send the next command.
    reportMissed(missed);
    if (!switches.isEmpty())
        emit lightCommandAnswered();
    if (echoed.unanswered && (!switches.isEmpty() || filter >= 0))
        emit confirmedLate();
}

void BoardEchoes::frameUnanswered(const QByteArray& frame)
{
    // The line stayed silent for the frame written last: it was missed, and so was whatever
    // went before it and is still awaited.
    for (int i = 0; i < m_awaited.size(); ++i) {
        if (m_awaited.at(i).frame == frame && !m_awaited.at(i).unanswered) {
            const QList<QByteArray> missed = markMissed(i + 1);
            armDeadline();
            reportMissed(missed);
            return;
        }
    }
}

QList<QByteArray> BoardEchoes::markMissed(int end)
{
    QList<QByteArray> missed;
    for (int i = 0; i < end; ++i) {
        if (m_awaited.at(i).unanswered)
            continue;
        m_awaited[i].unanswered = true;
        missed << m_awaited.at(i).frame;
    }
    return missed;
}

void BoardEchoes::reportMissed(const QList<QByteArray>& frames)
{
    for (const QByteArray& frame : frames) {
        const QList<LightSwitch> switches = lightSwitches(frame);
        if (!switches.isEmpty()) {
            qWarning() << "灯光指令无应答，灯光保持原状态:" << frame.toHex() << "lit:" << m_litLight;
            emit lightCommandUnanswered(switches.constLast().lightType, switches.constLast().on);
        }
        if (filterTarget(frame) >= 0) {
            qWarning() << "滤光轮指令无应答，滤光轮保持原位置:" << frame.toHex() << "position:" << m_filterPosition;
            emit filterCommandUnanswered(m_filterPosition, !switches.isEmpty());
        }
        if (lensTarget(frame) >= 0) {
            qWarning() << "镜头指令无应答，镜头保持原位置:" << frame.toHex() << "position:" << m_lensPosition;
            emit lensCommandUnanswered(m_lensPosition);
        }
        if (releasesDoor(frame)) {
            qWarning() << "门指令无应答，门保持原状态:" << frame.toHex() << "open:" << m_doorOpen;
            emit doorCommandUnanswered(m_doorOpen);
        }
    }
}

void BoardEchoes::deadlinePassed()
{
    int end = 0;
    for (int i = 0; i < m_awaited.size(); ++i) {
        const Awaited& a = m_awaited.at(i);
        if (a.kept && !a.unanswered && a.deadline.hasExpired())
            end = i + 1;
    }
    const QList<QByteArray> missed = markMissed(end);
    armDeadline();
    reportMissed(missed);
}

void BoardEchoes::armDeadline()
{
    qint64 next = -1;
    for (const Awaited& a : qAsConst(m_awaited)) {
        if (!a.kept || a.unanswered)
            continue;
        const qint64 left = a.deadline.remainingTime();
        next = next < 0 ? left : std::min(next, left);
    }
    if (next < 0)
        m_deadlineTimer.stop();
    else
        m_deadlineTimer.start(int(next));
}
