#pragma once

#include <QThread>

class UserOpts;

// One pass per program start over the old experiment images; deleted after it finishes.
class RegularRemoveThread : public QThread {
    Q_OBJECT
public:
    explicit RegularRemoveThread(UserOpts* userOpt, QObject* parent = nullptr);
    ~RegularRemoveThread() override;

protected:
    void run() override;

private:
    UserOpts* userOpt;
};
