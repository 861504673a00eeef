#pragma once

#include <QThread>

class H695ICECamCtrl;

// Switches the Tucsen camera's own auto-exposure off the GUI thread.
class SetH695ICEAEThread : public QThread {
    Q_OBJECT
public:
    explicit SetH695ICEAEThread(QObject* parent = nullptr);
    ~SetH695ICEAEThread() override;

    // Auto-exposure value; the creator sets it before start().
    int aeVal = 0;

protected:
    void run() override;

private:
    H695ICECamCtrl* h695ICECamCtrl;
};
