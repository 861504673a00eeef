#pragma once
// The capture role of a Tucsen-camera flow (Western blot, gel, multi-fluorescence): at most one
// capture thread, started with the camera's abort flag down and no cancel permit left over, its
// camera and save failures passed to the context, and its end (the thread deleted, the role
// empty, the page told the folder) before the flow's own continuation. A cancel waits for the
// permits that mean "an exposure runs", so its abort never lands on a frame that has arrived,
// and gives up once the thread says it has ended. GUI thread only.

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

class FlowContext;
class QThread;

class CaptureRole {
public:
    // What the cancel of one kind of capture needs to know.
    struct CancelRule {
        // The semCap permits that exist only while an exposure runs (read when the cancel tries).
        std::function<int()> permits;
        // The thread's flag that means its run has ended.
        const std::atomic<bool>* ended = nullptr;
        // The abort is given under the capture mutex, so that it never falls inside a camera start.
        bool underCaptureMutex = false;
    };

    // slot: the flow's member the role keeps its thread in (the flow counts a capture as running
    // while it is set); owner receives the thread's signals.
    template <class Thread>
    CaptureRole(QObject* owner, FlowContext& ctx, Thread*& slot)
        : m_owner(owner)
        , m_ctx(ctx)
        , m_current([&slot] { return static_cast<QThread*>(slot); })
        , m_keep([&slot](QThread* thread) { slot = static_cast<Thread*>(thread); })
    {
    }
    CaptureRole(const CaptureRole&) = delete;
    CaptureRole& operator=(const CaptureRole&) = delete;

    // Starts thread (the role must be empty; the flow has set its parameters). folder is the
    // experiment's, copied now since the record may go before the thread ends; ended runs after
    // the role has let the thread go and captureFinished(folder) was emitted.
    template <class Thread>
    void start(Thread* thread, const QString& folder, CancelRule rule, std::function<void()> ended)
    {
        QObject::connect(thread, &Thread::sig_CamErrorOccur, m_owner, [this] { cameraError(); });
        QObject::connect(thread, &Thread::sig_SaveFailed, m_owner, [this](const QString& path) { saveFailed(path); });
        launch(thread, folder, std::move(rule), std::move(ended));
    }

    // Waits until the running exposure has started, then aborts it. Nothing without a thread.
    void cancel();

private:
    void launch(QThread* thread, const QString& folder, CancelRule rule, std::function<void()> ended);
    void cameraError();
    void saveFailed(const QString& path);

    QObject* m_owner;
    FlowContext& m_ctx;
    std::function<QThread*()> m_current;
    std::function<void(QThread*)> m_keep;
    CancelRule m_rule;
};
