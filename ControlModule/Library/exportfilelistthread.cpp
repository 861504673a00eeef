#include "exportfilelistthread.h"

#include "atomicfile.h"
#include "experimentstore.h"
#include "picturefiles.h"
#include "useropts.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

ExportFileListThread::ExportFileListThread(QVariantList selectedImageNameList, QString imageSaveFolder,
                                           ExportShared& shared, ExperimentStore* store, bool wbBinning,
                                           UserOpts* userOpts, QObject* parent)
    : QThread(parent)
    , m_list(std::move(selectedImageNameList))
    , m_folder(localPath(imageSaveFolder))
    , m_shared(shared)
    , m_store(store)
    , m_wbBinning(wbBinning)
    , m_opts(userOpts)
{
}

ExportFileListThread::~ExportFileListThread()
{
    wait();
}

WatermarkLines ExportFileListThread::lastOverlay() const
{
    QMutexLocker locker(&m_overlayMutex);
    return m_lastOverlay;
}

void ExportFileListThread::run()
{
    const int n = m_list.size();
    qDebug() << "导出线程开始, 导出" << n << "个文件";
    // The controller cleared the cancel when it made this thread: a cancel that came since
    // (the progress dialog is up before the thread runs) stands.
    if (m_shared.exportBreak.load()) {
        emit sig_exportBreak();
        qDebug() << "导出结束";
        return;
    }
    const bool watermark = m_opts && m_opts->isExportWatermark() && m_store;
    // Folders this export made; those left empty by failed writes go again.
    QStringList made;
    for (int i = 0; i < n; ++i) {
        const QString source = m_list.at(i).toString();
        const QFileInfo info(source);
        // <folder>/<experiment>/<file>: the experiment folder's own name keeps the pictures of
        // one experiment together.
        const QString experiment = info.dir().dirName();
        const QString subFolder = QDir(m_folder).filePath(experiment);
        const QString target = QDir(subFolder).filePath(info.fileName());
        const QString folder = source.left(source.lastIndexOf(QLatin1Char('/')) + 1);

        bool locked = false;
        // An experiment without pictures is listed by its folder: nothing to export.
        if (!info.isFile()) {
            qWarning() << "export skips what is no picture file" << source;
        } else {
            if (!QDir(subFolder).exists()) {
                if (QDir().mkpath(subFolder))
                    made << subFolder;
                else
                    qWarning() << "export folder cannot be created" << subFolder;
            }
            if ((!QFileInfo::exists(target) || mayOverwrite(info.fileName(), locked))
                && !exportOne(source, target, watermark, folder, info.fileName())) {
                qWarning() << "export not written" << target;
                emit sig_exportFailed(target);
            }
        }
        if (locked)
            m_shared.mutex.unlock();

        emit sig_exportCount(i, n);
        if (m_shared.exportBreak.load()) {
            emit sig_exportBreak();
            break;
        }
    }
    for (const QString& subFolder : made)
        QDir().rmdir(subFolder);
    qDebug() << "导出结束";
}

bool ExportFileListThread::mayOverwrite(const QString& fileName, bool& locked)
{
    if (m_yesToAll)
        return true;
    emit requestOverwriteCheck(fileName);
    m_shared.mutex.lock();
    while (!m_shared.answered) {
        // Bounded slices: an owner that goes away ends the wait.
        m_shared.condition.wait(&m_shared.mutex, 100);
        if (m_shared.closing.load()) {
            m_shared.mutex.unlock();
            return false;
        }
    }
    m_yesToAll = m_shared.yesToAll;
    m_shared.answered = false;
    if (m_shared.overwrite || m_yesToAll) {
        locked = true;
        return true;
    }
    m_shared.mutex.unlock();
    return false;
}

bool ExportFileListThread::overlayFor(const QString& folder, const QString& fileName, WatermarkLines& lines) const
{
    const QVariantList row = m_store->selectByImageSavePath(folder);
    if (row.size() < 5)
        return false;
    const QStringList names = row.at(4).toString().split(QLatin1Char(','));
    const int k = names.indexOf(fileName);
    if (k < 0)
        return false;
    const QStringList binning = row.at(1).toString().split(QLatin1Char(','));
    const QStringList exposure = row.at(2).toString().split(QLatin1Char(','));
    const QStringList gain = row.at(3).toString().split(QLatin1Char(','));
    // A row with fewer entries than names still exports; the missing value stays empty.
    const QString bin = m_wbBinning ? binning.value(0) : binning.value(k);
    lines.first = QCoreApplication::translate("ExportFileListThread", "Resolution/Sensitivity: ") + bin;
    lines.second = QCoreApplication::translate("ExportFileListThread", "Exposure: ") + exposure.value(k);
    lines.third = QCoreApplication::translate("ExportFileListThread", "Gain: ") + gain.value(k);
    return true;
}

bool ExportFileListThread::exportOne(const QString& source, const QString& target, bool watermark,
                                     const QString& folder, const QString& fileName)
{
    WatermarkLines lines;
    const bool overlay = watermark && overlayFor(folder, fileName, lines);
    // A stored picture that is already what the export writes (uncompressed, 600 dpi) is copied
    // byte for byte instead of decoded and encoded again.
    if (!overlay && isPlainTiffAt(source, 600))
        return copyFileAtomically(source, target);
    cv::Mat picture = readPicture(source);
    if (picture.empty())
        return false;
    if (overlay) {
        if (picture.channels() == 1)
            drawWatermarkGrey(picture, lines);
        else
            drawWatermarkColour(picture, lines);
        QMutexLocker locker(&m_overlayMutex);
        m_lastOverlay = lines;
    }
    return writeByExtension(target, picture, 600);
}
