#include "filesflow.h"

#include "apppaths.h"
#include "deleteimagethread.h"
#include "experimentrecord.h"
#include "exportwps.h"
#include "exportwpsthread.h"
#include "flowcontext.h"
#include "gelexperimentdb.h"
#include "h695icecamctrl.h"
#include "imagefiles.h"
#include "kestrixctrl.h"
#include "multexperimentdb.h"
#include "regularremovethread.h"
#include "useropts.h"
#include "westernblotexperimentdb.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

using namespace imagefiles;

namespace {

void logRename(const QString& what, const QString& from, const QString& to, bool ok)
{
    qDebug().noquote() << what + from + QStringLiteral("重命名为") + to
                              + (ok ? QStringLiteral("成功。") : QStringLiteral("失败。"));
}

QString fileNameOf(const QString& path)
{
    return path.section(QLatin1Char('/'), -1);
}

QString folderOf(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Both camera controllers keep each listed frame's picture name beside the frame: drops frame j
// and hands back that name, false when there is no such frame or it had no picture on disk.
template <class Camera>
bool takeFrame(Camera* cam, int j, QString* name)
{
    if (!cam || j < 0 || j >= cam->frameCount())
        return false;
    *name = cam->frameFileName(j);
    cam->removeFrame(j);
    if (name->isEmpty()) {
        qWarning() << "frame" << j << "had no picture on disk";
        return false;
    }
    return true;
}

} // namespace

FilesFlow::FilesFlow(FlowContext& ctx, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
{
}

FilesFlow::~FilesFlow()
{
    // Both delete themselves on finished; the queued deleteLater cannot run any more.
    if (m_deleteThread) {
        m_deleteThread->wait();
        delete m_deleteThread.data();
    }
    if (m_reportThread) {
        m_reportThread->wait();
        delete m_reportThread.data();
    }
}

void FilesFlow::startRegularRemove()
{
    auto* thread = new RegularRemoveThread(m_ctx.userOpts(), m_ctx.gelExpDB(), m_ctx.wbExpDB(), m_ctx.multExpDB());
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start(QThread::InheritPriority);
}

ExperimentStore* FilesFlow::storeOf(int expMode) const
{
    switch (expMode) {
    case EnumOBJ::Gel: return m_ctx.gelExpDB();
    case EnumOBJ::WB: return m_ctx.wbExpDB();
    case EnumOBJ::Mult: return m_ctx.multExpDB();
    default: return nullptr;
    }
}

QString FilesFlow::userImageFolder() const
{
    UserOpts* opts = m_ctx.userOpts();
    if (!opts)
        return QString();
    opts->loadUserOptsByName(UserOpts::OPT_ImageSavePath);
    return opts->imageSavePath();
}

QStringList FilesFlow::imageRoots() const
{
    return imagefiles::imageRoots(AppPaths::appDir(), userImageFolder());
}

// ---------------------------------------------------------------------------------------------
// Capture pages

void FilesFlow::removeFrameFiles(const ExperimentRecord& record, const QString& fileName, bool withMirror)
{
    const QStringList roots = imageRoots();
    const QString copyRoot = userImageFolder();
    const FrameFiles files = frameFilesOf(fileName);
    const QString folder = record.imageSavePath;
    for (const QString& name : {files.plain, files.marked, files.data}) {
        const QString path = folder + name;
        const bool picture = name != files.data;
        if (!QFileInfo(path).isFile())
            continue;
        if (picture && !isLibraryImage(path, roots)) {
            qWarning() << "delete refused, not a picture of the image library:" << path;
            continue;
        }
        removeLogged(path);
    }
    if (!withMirror)
        return;
    // Only the plain picture has a mirror.
    const QString mirror = mirrorOf(copyRoot, folder + files.plain);
    if (!mirror.isEmpty() && QFileInfo(mirror).isFile() && isLibraryImage(mirror, roots))
        removeLogged(mirror);
}

void FilesFlow::deleteTucsenFrame(const ExperimentRecord* record, int j)
{
    QString name;
    if (record && takeFrame(m_ctx.tucsenFrames(), j, &name))
        removeFrameFiles(*record, name);
}

void FilesFlow::deleteKestrixFrame(const ExperimentRecord* record, int j)
{
    QString name;
    if (record && takeFrame(m_ctx.kestrix(), j, &name))
        removeFrameFiles(*record, name);
}

void FilesFlow::deleteDerivedImage(const ExperimentRecord* record, const QString& imageName)
{
    const QStringList roots = imageRoots();
    if (!isLibraryImage(imageName, roots)) {
        qWarning() << "delete refused, not a picture of the image library:" << imageName;
        return;
    }
    removeLogged(imageName);
    if (!record)
        return;
    const QString mirror = mirrorOf(userImageFolder(), record->imageSavePath + fileNameOf(imageName));
    if (!mirror.isEmpty() && QFileInfo(mirror).isFile() && isLibraryImage(mirror, roots))
        removeLogged(mirror);
}

void FilesFlow::deleteGelFrames(const QVariantList& indexList, const ExperimentRecord* experiment)
{
    H695ICECamCtrl* cam = m_ctx.tucsen();
    TsFrameStore* frames = m_ctx.tucsenFrames();
    GelExperimentDB* table = m_ctx.gelExpDB();
    if (!cam || !table)
        return;
    std::unique_ptr<GelExperimentRecord> record(table->selectExperimentByName(cam->expName()));
    if (!record)
        return;
    for (const QVariant& entry : indexList) {
        // A file entry is named, never counted: list positions are not frame numbers.
        if (entry.type() == QVariant::String) {
            deleteDerivedImage(experiment, entry.toString());
            continue;
        }
        bool ok = false;
        const int index = entry.toInt(&ok);
        if (!ok || index < 0 || index >= frames->frameCount())
            continue;
        const QString name = frames->frameFileName(index);
        frames->removeFrame(index);
        if (name.isEmpty())
            continue;
        removeFrameFiles(*record, name, false);
        // The row's lists follow the picture's entry, wherever the frame stood in the list.
        const int k = record->imageNames.split(QLatin1Char(','), Qt::KeepEmptyParts).indexOf(name);
        if (k < 0)
            continue;
        record->binning = removeEntry(record->binning, k);
        record->exposureTime = removeEntry(record->exposureTime, k);
        record->gain = removeEntry(record->gain, k);
        record->imageNames = removeEntry(record->imageNames, k);
    }
    table->updateExperimentParams(record.get());
}

// ---------------------------------------------------------------------------------------------
// Image library

void FilesFlow::deleteFilesAndExps(EnumOBJ::ExpMode expMode, const QStringList& imageSavePathList)
{
    auto* thread = new DeleteImageThread(m_ctx.gelExpDB(), m_ctx.wbExpDB(), m_ctx.multExpDB());
    thread->setImageList(expMode, imageSavePathList);
    thread->setRoots(imageRoots(), userImageFolder());
    connect(thread, &QThread::finished, this, [this, thread]() {
        const DeleteImageThread::Outcome outcome = thread->outcome();
        m_lastDeletion = {{QStringLiteral("deleted"), outcome.deleted},
                          {QStringLiteral("experiments"), outcome.experiments},
                          {QStringLiteral("failed"), outcome.failed}};
        thread->deleteLater();
        emit deleteFinished();
    });
    m_deleteThread = thread;
    thread->start(QThread::InheritPriority);
}

QVariantList FilesFlow::deleteExps(int expMode, const QStringList& expNameList)
{
    ExperimentStore* table = storeOf(expMode);
    return table ? table->deleteByName(expNameList) : QVariantList();
}

bool FilesFlow::updateImageName(int expMode, const QString& ori, const QString& renamed)
{
    const QString oldName = fileNameOf(ori);
    const QString newName = fileNameOf(renamed);
    const bool sameFolder = folderOf(ori) == folderOf(renamed);
    if (!sameFolder || newName.isEmpty() || newName.contains(QLatin1Char(','))
        || !newName.endsWith(QLatin1String(".tif"), Qt::CaseInsensitive) || !isLibraryImage(ori, imageRoots())
        || QFileInfo::exists(renamed)) {
        logRename(QStringLiteral("图像"), ori, renamed, false);
        return false;
    }
    if (!QFile::rename(ori, renamed)) {
        logRename(QStringLiteral("图像"), ori, renamed, false);
        return false;
    }
    ExperimentStore* table = storeOf(expMode);
    if (table && !table->updateImageNames(ori, renamed)) {
        // The row still names the old file: the file goes back.
        QFile::rename(renamed, ori);
        logRename(QStringLiteral("图像"), ori, renamed, false);
        return false;
    }
    logRename(QStringLiteral("图像"), ori, renamed, true);

    QString oldData = ori, newData = renamed;
    oldData.replace(QLatin1String(".tif"), QLatin1String(".data"));
    newData.replace(QLatin1String(".tif"), QLatin1String(".data"));
    if (QFileInfo(oldData).isFile() && !QFileInfo::exists(newData))
        QFile::rename(oldData, newData);

    // A frame of the experiment in progress keeps its picture's name.
    if (TsFrameStore* frames = m_ctx.tucsenFrames())
        frames->renameFrameFile(oldName, newName);
    if (KestrixCtrl* cam = m_ctx.kestrix())
        cam->renameFrameFile(oldName, newName);

    const QString copyRoot = userImageFolder();
    const QString copyOld = mirrorOf(copyRoot, ori);
    const QString copyNew = mirrorOf(copyRoot, renamed);
    if (!copyOld.isEmpty() && QFileInfo(copyOld).isFile())
        logRename(QStringLiteral("图像"), copyOld, copyNew, !QFileInfo::exists(copyNew) && QFile::rename(copyOld, copyNew));
    return true;
}

bool FilesFlow::updateNameAndImgSavePathByUuid(int expMode, const QString& uuid, const QString& newName,
                                               const QString& oriImageSavePath, const QString& newImageSavePath)
{
    ExperimentStore* table = storeOf(expMode);
    if (!table || newName.trimmed().isEmpty() || newName.contains(QLatin1Char('/'))) {
        qWarning() << "experiment rename refused:" << expMode << newName;
        return false;
    }
    const QString folderName = QStringLiteral("文件夹");
    QDir dir;
    const bool exists = QFileInfo(oriImageSavePath).isDir();
    // Only the experiment folder's own name changes, and only below the library.
    const bool sameParent =
        QFileInfo(QDir::cleanPath(oriImageSavePath)).path() == QFileInfo(QDir::cleanPath(newImageSavePath)).path();
    if (exists && (!sameParent || !isLibraryFolder(oriImageSavePath, imageRoots()))) {
        logRename(folderName, oriImageSavePath, newImageSavePath, false);
        return false;
    }
    if (exists) {
        const bool renamed = !QFileInfo::exists(newImageSavePath) && dir.rename(oriImageSavePath, newImageSavePath);
        logRename(folderName, oriImageSavePath, newImageSavePath, renamed);
        if (!renamed)
            return false;
    } else {
        qDebug().noquote() << folderName + oriImageSavePath + QStringLiteral("不存在。");
    }
    if (!table->updateNameAndImageSavePath(uuid, newName, newImageSavePath)) {
        if (exists)
            dir.rename(newImageSavePath, oriImageSavePath);
        qWarning() << "experiment rename undone: its row could not be written" << uuid;
        return false;
    }

    const QString copyRoot = userImageFolder();
    const QString copyOld = mirrorOf(copyRoot, oriImageSavePath);
    const QString copyNew = mirrorOf(copyRoot, newImageSavePath);
    if (copyOld.isEmpty() || copyNew.isEmpty())
        return true;
    if (!QFileInfo(copyOld).isDir()) {
        qDebug().noquote() << folderName + copyOld + QStringLiteral("不存在。");
        return true;
    }
    logRename(folderName, copyOld, copyNew, !QFileInfo::exists(copyNew) && dir.rename(copyOld, copyNew));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Report document

QString FilesFlow::reportPicturePath()
{
    // Two reports within one second must not share a picture.
    static QAtomicInt counter;
    return AppPaths::appDir() + QLatin1Char('/') + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"))
           + QLatin1Char('-') + QString::number(counter.fetchAndAddRelaxed(1) + 1) + QStringLiteral("_ForWPS.tif");
}

void FilesFlow::exportReport(const QString& imageSaveFileName, const QString& curUserName, const QString& picturePath)
{
    auto* thread = new ExportWPSThread(m_ctx.userOpts());
    thread->setExportInfo(imageSaveFileName, curUserName, picturePath);
    if (!m_reportTemplate.isEmpty())
        thread->setTemplateFile(m_reportTemplate);
    const QString document = ExportWps::documentPath(imageSaveFileName);
    auto failure = std::make_shared<QString>();
    connect(thread, &ExportWPSThread::reportFailed, this, [failure](const QString& reason) {
        qWarning().noquote() << "report failed:" << reason;
        *failure = reason;
    });
    connect(thread, &QThread::finished, this, [this, thread, picturePath, document, failure]() {
        thread->deleteLater();
        QFile::remove(picturePath);
        emit exportFinished(failure->isEmpty(), document, *failure);
    });
    m_reportThread = thread;
    thread->start(QThread::InheritPriority);
}
