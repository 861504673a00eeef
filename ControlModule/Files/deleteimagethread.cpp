#include "deleteimagethread.h"

#include "gelexperimentdb.h"
#include "imagefiles.h"
#include "multexperimentdb.h"
#include "storetransaction.h"
#include "westernblotexperimentdb.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

DeleteImageThread::DeleteImageThread(GelExperimentDB* gelExpDB, WesternBlotExperimentDB* wbExpDB,
                                     MultExperimentDB* multExpDB, QObject* parent)
    : QThread(parent)
    , gelExpDB(gelExpDB)
    , wbExpDB(wbExpDB)
    , multExpDB(multExpDB)
{
}

DeleteImageThread::~DeleteImageThread()
{
    wait();
}

void DeleteImageThread::setImageList(EnumOBJ::ExpMode expMode, const QStringList& list)
{
    mode = expMode;
    imageList = list;
}

void DeleteImageThread::setRoots(const QStringList& roots, const QString& userImageFolder)
{
    m_roots = roots;
    m_userImageFolder = userImageFolder;
}

ExperimentStore* DeleteImageThread::store() const
{
    switch (mode) {
    case EnumOBJ::Gel: return gelExpDB;
    case EnumOBJ::WB: return wbExpDB;
    case EnumOBJ::Mult: return multExpDB;
    default: return nullptr;
    }
}

void DeleteImageThread::run()
{
    ExperimentStore* table = store();
    if (!table) {
        qWarning() << "deleteFilesAndExps: no table for mode" << mode;
        m_outcome = Outcome();
        m_outcome.failed = imageList;
        return;
    }
    m_emptied.clear();
    m_outcome = Outcome();
    StoreTransaction transaction(table->database(), StoreTransaction::Write);
    for (const QString& path : qAsConst(imageList)) {
        const bool experiment = path.endsWith(QLatin1Char('/'));
        const bool done = experiment ? deleteEmptyExperiment(table, path) : deleteImage(table, path);
        if (!done)
            m_outcome.failed << path;
        else if (experiment)
            m_outcome.experiments << path;
        else
            m_outcome.deleted << path;
    }

    // Only the rows this deletion emptied go: an experiment just begun has no pictures yet and
    // must keep its row.
    for (auto it = m_emptied.constBegin(); it != m_emptied.constEnd(); ++it) {
        table->deleteExperimentByUuid(QUuid(it.key()));
        QDir().rmdir(it.value());
    }
    transaction.commit();
}

bool DeleteImageThread::deleteImage(ExperimentStore* table, const QString& path)
{
    if (!QFileInfo::exists(path)) {
        qDebug().noquote() << QStringLiteral("文件") + path + QStringLiteral("不存在");
        return false;
    }
    if (!imagefiles::isLibraryImage(path, m_roots)) {
        qWarning() << "delete refused, not a picture of the image library:" << path;
        return false;
    }
    if (!QFile::remove(path)) {
        qDebug().noquote() << QStringLiteral("文件") + path + QStringLiteral("删除失败。");
        return false;
    }
    qDebug().noquote() << QStringLiteral("文件") + path + QStringLiteral("删除成功。");

    const QFileInfo info(path);
    const QString fileName = info.fileName();
    const QString folder = info.path() + QLatin1Char('/');
    // The raw frame beside a plain picture belongs to it alone.
    const QString data = folder + imagefiles::frameFilesOf(fileName).data;
    if (!fileName.endsWith(QLatin1String("_OE.tif")) && QFileInfo(data).isFile())
        QFile::remove(data);
    // The copy in the user's image folder is the operator's own and stays.
    forgetInRow(table, folder, fileName);
    return true;
}

bool DeleteImageThread::deleteEmptyExperiment(ExperimentStore* table, const QString& folder)
{
    const QVariantList row = table->selectByImageSavePath(folder);
    if (row.size() < 5) {
        qDebug().noquote() << QStringLiteral("实验") + folder + QStringLiteral("不存在");
        return false;
    }
    // Only what the library showed as empty: pictures in the folder are deleted one by one.
    if (!QDir(folder).entryList({QStringLiteral("*.tif")}, QDir::Files).isEmpty()) {
        qWarning() << "experiment kept, its folder holds pictures:" << folder;
        return false;
    }
    if (!table->deleteExperimentByUuid(QUuid(row.at(0).toString()))) {
        qDebug().noquote() << QStringLiteral("实验") + folder + QStringLiteral("删除失败。");
        return false;
    }
    if (imagefiles::isLibraryFolder(folder, m_roots))
        QDir().rmdir(folder);
    qDebug().noquote() << QStringLiteral("实验") + folder + QStringLiteral("无图像，记录已删除。");
    return true;
}

void DeleteImageThread::forgetInRow(ExperimentStore* table, const QString& folder, const QString& fileName)
{
    const QVariantList row = table->selectByImageSavePath(folder);
    if (row.size() < 5)
        return;
    const QString uuid = row.at(0).toString();
    QString binning = row.at(1).toString();
    QString exposureTime = row.at(2).toString();
    QString gain = row.at(3).toString();
    QString imageNames = row.at(4).toString();
    const int k = imageNames.split(QLatin1Char(','), Qt::KeepEmptyParts).indexOf(fileName);
    qDebug() << "index:" << k;
    // A Western-blot row keeps one binning for the whole experiment.
    if (mode != EnumOBJ::WB)
        binning = imagefiles::removeEntry(binning, k);
    exposureTime = imagefiles::removeEntry(exposureTime, k);
    gain = imagefiles::removeEntry(gain, k);
    imageNames = imagefiles::removeEntry(imageNames, k);
    qDebug() << uuid << binning << exposureTime << gain << imageNames;
    table->updateBinningExposureGainImages(QUuid(uuid), binning, exposureTime, gain, imageNames);
    if (imageNames.isEmpty())
        m_emptied.insert(uuid, folder);
}
