#include "boardtestcontrol.h"

#include "boardcore.h"
#include "virtualboard.h"

namespace vboard {

BoardTestControl::BoardTestControl(VirtualBoard& board)
    : m_board(board)
{
}

void BoardTestControl::setSilent(bool silent)
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    m_board.d->m_script.silent = silent;
}

void BoardTestControl::corruptNextReplies(int count)
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    m_board.d->m_script.corruptCount = count;
}

void BoardTestControl::splitNextReply(const std::vector<int>& cuts, int gapMs)
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    m_board.d->m_script.splitCuts = cuts;
    m_board.d->m_script.splitGapMs = gapMs;
}

void BoardTestControl::requestRepeats(int count)
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    m_board.d->m_script.repeatCount = count;
}

void BoardTestControl::ignoreRequests(quint8 code, int count)
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    m_board.d->m_script.ignoredCode = code;
    m_board.d->m_script.ignoreCount = count;
}

void BoardTestControl::delayRequests(quint8 code, int delayMs, int count)
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    m_board.d->m_script.slowCode = code;
    m_board.d->m_script.slowDelayMs = delayMs;
    m_board.d->m_script.slowCount = count;
}

void BoardTestControl::setHandshake(HandshakeMode mode)
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    m_board.d->m_script.handshake = mode;
}

void BoardTestControl::setFrameGapMs(int ms)
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    m_board.d->m_script.frameGapMs = ms;
}

void BoardTestControl::sendRaw(const QByteArray& bytes)
{
    BoardCore* core = m_board.d.get();
    core->post([core, bytes] { core->sendRaw(bytes); });
}

std::vector<QByteArray> BoardTestControl::receivedFrames() const
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    return m_board.d->m_script.received;
}

int BoardTestControl::badFrameCount() const
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    return m_board.d->m_script.badFrames;
}

std::vector<QByteArray> BoardTestControl::sentFrames() const
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    return m_board.d->m_script.sent;
}

void BoardTestControl::clearLogs()
{
    std::lock_guard<std::mutex> lock(m_board.d->m_mutex);
    m_board.d->m_script.received.clear();
    m_board.d->m_script.sent.clear();
    m_board.d->m_script.badFrames = 0;
}

bool BoardTestControl::waitForReceived(size_t count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_board.d->m_mutex);
    return m_board.d->m_receivedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                                 [&] { return m_board.d->m_script.received.size() >= count; });
}

} // namespace vboard
