#pragma once
// The board's I/O thread: reads requests from the pseudo-terminal, hands them to the model,
// paces and writes the frames, runs the motors' timers, and applies the scripted faults.

#include "boardmodel.h"
#include "boardprotocol.h"
#include "boardtestcontrol.h"

#include <QByteArray>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vboard {

class BoardCore : public BoardOutput {
public:
    using Clock = std::chrono::steady_clock;

    BoardCore();
    ~BoardCore() override;

    bool start();
    void stop();
    bool isRunning() const { return m_thread.joinable(); }
    std::string slavePath() const { return m_slavePath; }

    // BoardOutput, board thread only.
    void send(const QByteArray& frame) override;
    void after(int delayMs, std::function<void()> action) override;

    // Runs action on the board thread (any thread may call).
    void post(std::function<void()> action);

    // Scripted faults and logs, guarded by m_mutex.
    struct Script {
        bool silent = false;
        int corruptCount = 0;
        std::vector<int> splitCuts;
        int splitGapMs = 0;
        int repeatCount = 0;
        quint8 ignoredCode = 0;
        int ignoreCount = 0;
        quint8 slowCode = 0;
        int slowCount = 0;
        int slowDelayMs = 0;
        HandshakeMode handshake = HandshakeMode::Normal;
        int frameGapMs = 120;
        std::vector<QByteArray> received;
        std::vector<QByteArray> sent;
        int badFrames = 0;
    };
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_receivedChanged;
    Script m_script;

    // Writes bytes as they are, after the frames already queued (board thread).
    void sendRaw(const QByteArray& bytes);

private:
    void loop();
    void handleInput();
    void handleRequest(const Request& request);
    void runDue();
    void writeNow(const QByteArray& bytes);
    void wake();
    void closeAll();

    int m_master = -1;
    int m_heldSlave = -1;  // keeps the line up while the program has the port closed
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::string m_slavePath;
    std::thread m_thread;
    bool m_stopRequested = false;  // under m_mutex

    std::vector<std::function<void()>> m_posted;  // under m_mutex
    int m_listenerId = 0;

    // Board thread only.
    BoardModel m_model;
    RequestParser m_parser;
    Clock::time_point m_lastInput;
    std::multimap<Clock::time_point, std::function<void()>> m_timers;
    Clock::time_point m_lineFreeAt;
    QByteArray m_lastReply;
};

} // namespace vboard
