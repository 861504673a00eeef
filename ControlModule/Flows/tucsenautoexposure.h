#pragma once
// The Tucsen camera's own auto-exposure, switched off the GUI thread for every Tucsen mode. One
// setting runs at a time (two would set the camera against each other); a request made while
// one runs follows it, so every request reaches the camera in the order given and each is
// answered by setAEFinished. GUI thread only.
//
// Switched on while a light command is on its way, it would expose for a cabinet still dark and
// climb to its ceiling: it waits for the board's echo of the light and starts then. When the
// board lets the light pass (or never answers it), it is not started; the request is answered
// all the same, and the pages hear of the light as for any unanswered light command.

#include <QObject>
#include <QTimer>

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
    // The preview's exposure was set anew. A setting on its way may switch the camera's
    // auto-exposure on, which moves the exposure until a later one switches it off: the exposure
    // is set once more when the settings are done and have left auto-exposure off.
    void exposureChosen();

    // The setting running now, and the requests waiting for it.
    QThread* thread() const { return m_thread; }
    size_t waiting() const { return m_waiting.size(); }
    // The next request switches auto-exposure on and waits for the light.
    bool waitingForLight() const { return m_lightWait.isActive(); }

private:
    bool idle() const { return !m_thread && !waitingForLight() && m_waiting.empty(); }
    void startNext();
    void lightAnswered();
    void lightMissed();
    // Ends the wait for the light: the held request starts when the light was lit, else it is
    // answered without reaching the camera.
    void endLightWait(bool lit);
    // One setting is done or dropped: the pages hear it, and the next one starts.
    void settingEnded();

    FlowContext& m_ctx;
    QThread* m_thread = nullptr;
    std::deque<int> m_waiting;
    QTimer m_lightWait;         // runs while the front request waits for the light
    bool m_lightMissed = false;  // a light awaited in this wait went unanswered
    int m_cameraValue = 0;       // what the camera was set to last (opened with it off)
    bool m_exposureAgain = false;
};
