#pragma once
// The Tucsen camera's own auto-exposure, switched off the GUI thread for every Tucsen mode. One
// setting runs at a time (two would set the camera against each other); a request made while
// one runs follows it, so every request reaches the camera in the order given and each is
// answered by setAEFinished. GUI thread only.

#include <QObject>

#include <deque>

class FlowContext;
class QThread;

class TucsenAutoExposure : public QObject {
    Q_OBJECT
public:
    explicit TucsenAutoExposure(FlowContext& ctx, QObject* parent = nullptr);
    ~TucsenAutoExposure() override;

    // Sets the camera's auto-exposure to aeVal (0 switches it off).
    void request(int aeVal);

    // The setting running now, and the requests waiting for it.
    QThread* thread() const { return m_thread; }
    size_t waiting() const { return m_waiting.size(); }

private:
    void startNext();

    FlowContext& m_ctx;
    QThread* m_thread = nullptr;
    std::deque<int> m_waiting;
};
