#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QThread>

class GelExperimentDB;
class MultExperimentDB;
class UserOpts;
class WesternBlotExperimentDB;

// One pass per program start over the old experiment images and rows; deleted after it finishes.
//
// Age is counted in whole days, the same way for folders and rows: with n days kept, the limit is
// the start of the day n days before today; the date folders of <appDir>/Images named for an
// earlier day go with everything in them, and so do the rows made before the limit. Other
// entries of Images/ go when they were last changed before the limit. The user's image folder is
// never touched. n outside 7..60 cleans nothing (a value of 0 would otherwise take today's
// images too).
class RegularRemoveThread : public QThread {
    Q_OBJECT
public:
    static constexpr int kMinDays = 7;
    static constexpr int kMaxDays = 60;

    RegularRemoveThread(UserOpts* userOpt, GelExperimentDB* gelExpDB, WesternBlotExperimentDB* wbExpDB,
                        MultExperimentDB* multExpDB, QObject* parent = nullptr);
    ~RegularRemoveThread() override;

    // The start of the first day kept with n days kept, counted from today.
    static QDateTime limitFor(const QDate& today, int days);

protected:
    void run() override;

private:
    UserOpts* userOpt;
    GelExperimentDB* gelExpDB;
    WesternBlotExperimentDB* wbExpDB;
    MultExperimentDB* multExpDB;
};
