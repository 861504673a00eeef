#include "regularremovethread.h"

#include "apppaths.h"
#include "experimentfolder.h"
#include "gelexperimentdb.h"
#include "multexperimentdb.h"
#include "useropts.h"
#include "westernblotexperimentdb.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

RegularRemoveThread::RegularRemoveThread(UserOpts* userOpt, GelExperimentDB* gelExpDB, WesternBlotExperimentDB* wbExpDB,
                                         MultExperimentDB* multExpDB, QObject* parent)
    : QThread(parent)
    , userOpt(userOpt)
    , gelExpDB(gelExpDB)
    , wbExpDB(wbExpDB)
    , multExpDB(multExpDB)
{
}

RegularRemoveThread::~RegularRemoveThread()
{
    wait();
}

QDateTime RegularRemoveThread::limitFor(const QDate& today, int days)
{
    return QDateTime(today.addDays(-days), QTime(0, 0));
}

void RegularRemoveThread::run()
{
    if (!userOpt)
        return;
    userOpt->loadUserOptsByName(UserOpts::OPT_ImageClean);
    if (!userOpt->imageClean())
        return;
    const QString root = imagesRoot(AppPaths::appDir()) + QLatin1Char('/');
    QDir folder(root);
    if (!folder.exists()) {
        qDebug() << "定期删除的文件夹不存在。";
        return;
    }
    userOpt->loadUserOptsByName(UserOpts::OPT_ImageCleanTime);
    const int days = userOpt->imageCleanTime();
    if (days < kMinDays || days > kMaxDays) {
        qWarning() << "image clean-up skipped: imageCleanTime" << days << "outside" << kMinDays << "to" << kMaxDays;
        return;
    }
    const QDateTime limit = limitFor(QDate::currentDate(), days);

    const QFileInfoList entries =
        folder.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden, QDir::DirsFirst);
    for (const QFileInfo& entry : entries) {
        // A date folder is as old as its name says; anything else by its last change.
        const QDate named = dayOfFolder(entry.fileName());
        const bool old = entry.isDir() && named.isValid() ? named < limit.date() : entry.lastModified() < limit;
        if (!old)
            continue;
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(entry.absoluteFilePath());
    }
    if (gelExpDB)
        gelExpDB->selectUuidsBefore(limit);
    if (wbExpDB)
        wbExpDB->selectUuidsBefore(limit);
    if (multExpDB)
        multExpDB->selectUuidsBefore(limit);
    qDebug() << "Regular remove dir success.";
}
