#pragma once
// The preview role of a Tucsen-camera flow (Western blot, gel, multi-fluorescence): at most one
// preview thread, and its stops. A stop clears the camera's running flag, drops its live frame
// and breaks its frame wait; when the thread has finished, what the stop asked for runs. The
// last request wins: a stop or restart asked while another is under way takes over its
// continuation, so nothing runs for a request that was overtaken. GUI thread only.

#include <QMetaObject>

#include <functional>

class H695ICECamCtrl;
class QObject;
class QThread;

class TucsenPreviewRole {
public:
    // The camera side of the role, for a camera other than the Tucsen one: run before each start
    // of the thread, stop to end its frame loop (and break its frame wait).
    struct CameraSwitch {
        std::function<void()> run;
        std::function<void()> stop;
    };

    // owner receives the thread's finished and the thread's signals to it are cut by a stop.
    TucsenPreviewRole(QObject* owner, H695ICECamCtrl* camera);
    TucsenPreviewRole(QObject* owner, CameraSwitch camera);
    TucsenPreviewRole(const TucsenPreviewRole&) = delete;
    TucsenPreviewRole& operator=(const TucsenPreviewRole&) = delete;

    // The flow counts a preview as running while the role holds a thread, stopping included.
    QThread* thread() const { return m_thread; }
    bool stopping() const { return m_stopping; }

    // Sets the camera running and starts thread as the role's (the role must be empty).
    void start(QThread* thread);
    // Stops the thread and starts the same thread again once it has finished; configure runs
    // just before, with the camera stopped. Refused (logged with caller) while a stop is under way.
    void restart(const char* caller, std::function<void()> configure);
    // Stops the thread; once it has finished it is deleted, the role is empty and ended runs.
    // The thread's frame and error signals to the owner are cut at once. Nothing without a thread.
    void stop(std::function<void()> ended);

private:
    // Runs continuation once the thread has finished, unless a later request took over.
    void whenFinished(std::function<void()> continuation);
    void stopCamera();

    QObject* m_owner;
    CameraSwitch m_camera;
    QThread* m_thread = nullptr;
    bool m_stopping = false;
    QMetaObject::Connection m_end;
    // Counts requests: a continuation queued for an earlier one is stale.
    quint64 m_requestId = 0;
};

// The role with the flow's own thread type.
template <class Thread>
class TucsenPreview : public TucsenPreviewRole {
public:
    using TucsenPreviewRole::TucsenPreviewRole;
    Thread* thread() const { return static_cast<Thread*>(TucsenPreviewRole::thread()); }
};

// The same role for the preview of any camera.
template <class Thread>
using PreviewRole = TucsenPreview<Thread>;
