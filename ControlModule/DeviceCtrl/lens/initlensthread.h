#pragma once

#include <QThread>

class UserOpts;

// Brings up the SMBus lens: finds the bridge, configures it, reads the focus limits,
// initialises the focus drive and moves it to the stored position, then stores the limits.
class InitLensThread : public QThread {
    Q_OBJECT
public:
    explicit InitLensThread(QObject* parent = nullptr);
    ~InitLensThread() override;

signals:
    void sig_LensErrorOccur();

protected:
    void run() override;

private:
    UserOpts* userOpts;
};
