#include "virtualboard.h"

#include "boardcore.h"
#include "cabinetstate.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace vboard {

namespace {
// A request cut off in mid-frame is dropped after this much silence, as the board's UART does.
constexpr auto kPartialTimeout = std::chrono::milliseconds(500);
constexpr int kIdlePollMs = 100;
} // namespace

BoardCore::BoardCore()
    : m_model(*this)
{
}

BoardCore::~BoardCore()
{
    stop();
}

bool BoardCore::start()
{
    if (m_thread.joinable())
        return true;
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return false;
    char name[128] = {};
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0 || ptsname_r(m_master, name, sizeof(name)) != 0) {
        closeAll();
        return false;
    }
    m_slavePath = name;
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    fcntl(m_master, F_SETFD, FD_CLOEXEC);
    m_heldSlave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_heldSlave < 0) {
        closeAll();
        return false;
    }
    // Raw from the start: no echo or line editing by the terminal layer.
    termios tio{};
    if (tcgetattr(m_heldSlave, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetispeed(&tio, B1200);
        cfsetospeed(&tio, B1200);
        tcsetattr(m_heldSlave, TCSANOW, &tio);
    }
    int pipeFds[2];
    if (pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) {
        closeAll();
        return false;
    }
    m_wakeRead = pipeFds[0];
    m_wakeWrite = pipeFds[1];
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopRequested = false;
    }
    m_lineFreeAt = Clock::now();
    m_listenerId = vcab::CabinetState::instance().addListener(
        [this](const vcab::CabinetSnapshot& before, const vcab::CabinetSnapshot& after) {
            post([this, before, after] {
                bool silent;
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    silent = m_script.silent;
                }
                if (!silent)
                    m_model.cabinetChanged(before, after);
            });
        });
    m_thread = std::thread([this] { loop(); });
    return true;
}

void BoardCore::stop()
{
    if (m_listenerId) {
        vcab::CabinetState::instance().removeListener(m_listenerId);
        m_listenerId = 0;
    }
    if (m_thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopRequested = true;
        }
        wake();
        m_thread.join();
    }
    closeAll();
    m_timers.clear();
    m_parser.reset();
    m_slavePath.clear();
}

void BoardCore::closeAll()
{
    for (int* fd : {&m_master, &m_heldSlave, &m_wakeRead, &m_wakeWrite}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void BoardCore::wake()
{
    if (m_wakeWrite >= 0) {
        const char byte = 1;
        // A full pipe already holds a wake-up.
        [[maybe_unused]] ssize_t written = ::write(m_wakeWrite, &byte, 1);
    }
}

void BoardCore::post(std::function<void()> action)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_posted.push_back(std::move(action));
    }
    wake();
}

void BoardCore::after(int delayMs, std::function<void()> action)
{
    m_timers.emplace(Clock::now() + std::chrono::milliseconds(delayMs), std::move(action));
}

void BoardCore::send(const QByteArray& frame)
{
    QByteArray bytes = frame;
    std::vector<int> cuts;
    int splitGap = 0;
    int frameGap;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_script.silent)
            return;
        if (frame.size() >= 3 && m_script.corruptCount > 0) {
            --m_script.corruptCount;
            bytes[bytes.size() - 3] = static_cast<char>(bytes.at(bytes.size() - 3) ^ 0x01);
        }
        cuts.swap(m_script.splitCuts);
        splitGap = m_script.splitGapMs;
        frameGap = m_script.frameGapMs;
    }
    // Kept as it was meant, so that a repeat request can be answered with the good frame.
    if (frame.size() != 8 || static_cast<quint8>(frame.at(3)) != ReportRepeatRequest)
        m_lastReply = frame;

    Clock::time_point due = std::max(Clock::now(), m_lineFreeAt);
    Clock::time_point last = due;
    int begin = 0;
    cuts.push_back(bytes.size());
    for (int cut : cuts) {
        if (cut <= begin || cut > bytes.size())
            continue;
        const QByteArray piece = bytes.mid(begin, cut - begin);
        m_timers.emplace(due, [this, piece] { writeNow(piece); });
        begin = cut;
        last = due;
        due += std::chrono::milliseconds(splitGap);
    }
    m_lineFreeAt = last + std::chrono::milliseconds(frameGap);
}

void BoardCore::sendRaw(const QByteArray& bytes)
{
    const Clock::time_point due = std::max(Clock::now(), m_lineFreeAt);
    m_timers.emplace(due, [this, bytes] { writeNow(bytes); });
    int frameGap;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        frameGap = m_script.frameGapMs;
    }
    m_lineFreeAt = due + std::chrono::milliseconds(frameGap);
}

void BoardCore::writeNow(const QByteArray& bytes)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_script.sent.push_back(bytes);
    }
    int offset = 0;
    while (offset < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + offset, size_t(bytes.size() - offset));
        if (n > 0) {
            offset += int(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            // Nobody drains the line: the bytes are lost, as on a real wire.
            std::fprintf(stderr, "virtual board: write failed (%d)\n", errno);
            return;
        }
    }
}

void BoardCore::loop()
{
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopRequested)
                return;
        }
        int timeoutMs = kIdlePollMs;
        if (!m_timers.empty()) {
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(m_timers.begin()->first - Clock::now());
            timeoutMs = std::max<int>(0, std::min<int>(timeoutMs, int(wait.count()) + 1));
        }
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0 && errno != EINTR)
            return;
        if (ready > 0 && (fds[1].revents & POLLIN)) {
            char drain[64];
            while (::read(m_wakeRead, drain, sizeof(drain)) > 0) {
            }
        }
        std::vector<std::function<void()>> posted;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            posted.swap(m_posted);
        }
        for (auto& action : posted)
            action();
        if (ready > 0 && (fds[0].revents & POLLIN))
            handleInput();
        if (m_parser.hasPartial() && Clock::now() - m_lastInput > kPartialTimeout)
            m_parser.reset();
        runDue();
    }
}

void BoardCore::runDue()
{
    while (!m_timers.empty() && m_timers.begin()->first <= Clock::now()) {
        auto action = std::move(m_timers.begin()->second);
        m_timers.erase(m_timers.begin());
        action();
    }
}

void BoardCore::handleInput()
{
    char buffer[4096];
    const ssize_t n = ::read(m_master, buffer, sizeof(buffer));
    if (n <= 0)
        return;
    m_lastInput = Clock::now();
    const RequestParser::Result result = m_parser.feed(QByteArray(buffer, int(n)));
    bool silent;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_script.badFrames += result.badFrames;
        silent = m_script.silent;
    }
    // A garbled request is answered with a repeat request, as the board does.
    for (int i = 0; i < result.badFrames && !silent; ++i)
        send(reportFrame(ReportRepeatRequest, 0x00));
    for (const Request& request : result.requests)
        handleRequest(request);
}

void BoardCore::handleRequest(const Request& request)
{
    bool silent;
    bool repeat = false;
    int delayMs = 0;
    HandshakeMode handshake;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_script.received.push_back(request.frame);
        silent = m_script.silent;
        if (!silent && m_script.ignoreCount > 0 && request.code == m_script.ignoredCode) {
            --m_script.ignoreCount;
            silent = true;
        }
        if (!silent && m_script.repeatCount > 0) {
            --m_script.repeatCount;
            repeat = true;
        }
        handshake = m_script.handshake;
        if (!silent && !repeat && m_script.slowCount > 0 && request.code == m_script.slowCode) {
            --m_script.slowCount;
            delayMs = m_script.slowDelayMs;
        }
    }
    m_receivedChanged.notify_all();
    if (silent)
        return;
    if (repeat) {
        send(reportFrame(ReportRepeatRequest, 0x00));
        return;
    }
    if (request.code == 0xEE) {
        if (!m_lastReply.isEmpty())
            send(m_lastReply);
        return;
    }
    if (request.code == 0xA1 && handshake != HandshakeMode::Normal) {
        // A status byte no handshake carries: the frame is well formed but means something else.
        if (handshake == HandshakeMode::Wrong)
            send(reportFrame(0xA1, 0x03));
        return;
    }
    if (delayMs > 0) {
        after(delayMs, [this, request] { m_model.execute(request); });
        return;
    }
    m_model.execute(request);
}

VirtualBoard::VirtualBoard()
    : d(std::make_unique<BoardCore>())
{
    // The cabinet must outlive the process board, which is a static too.
    vcab::CabinetState::instance();
}

VirtualBoard::~VirtualBoard() = default;

bool VirtualBoard::start()
{
    return d->start();
}

void VirtualBoard::stop()
{
    d->stop();
}

bool VirtualBoard::isRunning() const
{
    return d->isRunning();
}

std::string VirtualBoard::slavePath() const
{
    return d->slavePath();
}

VirtualBoard& VirtualBoard::processBoard()
{
    // The cabinet state is created before the board, hence destroyed after it.
    vcab::CabinetState::instance();
    static VirtualBoard board;
    return board;
}

} // namespace vboard
