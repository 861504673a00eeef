#pragma once

#include <QThread>

class H695ICECamCtrl;

// Opens and configures the Tucsen camera for the instrument configuration off the GUI thread.
class InitH695ICECameraThread : public QThread {
    Q_OBJECT
public:
    explicit InitH695ICECameraThread(int authorityType, QObject* parent = nullptr);
    ~InitH695ICECameraThread() override;

signals:
    void sig_CamErrorOccur();

protected:
    void run() override;

private:
    H695ICECamCtrl* h695ICECamCtrl;
    int authorityType;
};
