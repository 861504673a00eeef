#pragma once

#include <QThread>

// Moves the SMBus lens focus to one position in the background.
class FocusMoveThread : public QThread {
    Q_OBJECT
public:
    explicit FocusMoveThread(int target, QObject* parent = nullptr);
    ~FocusMoveThread() override;

signals:
    void sig_LensErrorOccur();

protected:
    void run() override;

private:
    int target;
};
