#include "libraryflow.h"

#include "apppaths.h"
#include "enumobj.h"
#include "flowcontext.h"
#include "gelexperimentdb.h"
#include "libraryfiles.h"
#include "multexperimentdb.h"
#include "updateimagebyispthread.h"
#include "westernblotexperimentdb.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

namespace {

int askWithMessageBox(const QString& fileName)
{
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Warning"));
    box.setIcon(QMessageBox::Warning);
    QPushButton* all = box.addButton(QCoreApplication::translate("IC_MainControl", "Yes To All"), QMessageBox::YesRole);
    QPushButton* yes = box.addButton(QCoreApplication::translate("IC_MainControl", "Yes"), QMessageBox::YesRole);
    box.addButton(QCoreApplication::translate("IC_MainControl", "No"), QMessageBox::NoRole);
    box.setText(QCoreApplication::translate("IC_MainControl", "The file \"") + fileName
                + QCoreApplication::translate("IC_MainControl", "\" already exists. Do you want to overwrite it?"));
    box.exec();
    if (box.clickedButton() == all)
        return LibraryFlow::YesToAll;
    if (box.clickedButton() == yes)
        return LibraryFlow::Yes;
    return LibraryFlow::No;
}

} // namespace

LibraryFlow::LibraryFlow(FlowContext& ctx, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_question(askWithMessageBox)
{
}

LibraryFlow::~LibraryFlow()
{
    if (m_exportThread) {
        m_export.exportBreak = true;
        m_export.closing = true;
        m_export.condition.wakeAll();
        m_exportThread->wait();
        delete m_exportThread.data();
    }
}

ExperimentStore* LibraryFlow::storeOf(int expMode) const
{
    switch (expMode) {
    case EnumOBJ::Gel:
        return m_ctx.gelExpDB();
    case EnumOBJ::WB:
        return m_ctx.wbExpDB();
    case EnumOBJ::Mult:
        return m_ctx.multExpDB();
    default:
        return nullptr;
    }
}

QVariantList LibraryFlow::loadAllDate(int expMode, const QString& userName, const QString& name,
                                      const QString& startDate, const QString& endDate)
{
    ExperimentStore* store = storeOf(expMode);
    return store ? store->selectDates(userName, name, startDate, endDate) : QVariantList();
}

QVariantList LibraryFlow::loadByDate(int expMode, const QString& date, const QString& userName, const QString& name)
{
    ExperimentStore* store = storeOf(expMode);
    return store ? store->selectExperimentsByDate(date, userName, name) : QVariantList();
}

QVariantList LibraryFlow::loadExpParamByImageSavePath(int expMode, const QString& imageSavePath)
{
    ExperimentStore* store = storeOf(expMode);
    return store ? store->selectByImageSavePath(imageSavePath) : QVariantList();
}

QStringList LibraryFlow::getDirFilesName(const QString& dirPath)
{
    return tifFileNames(dirPath);
}

QVariantList LibraryFlow::loadAllImageSavePath()
{
    QVariantList all;
    for (int mode : {int(EnumOBJ::Gel), int(EnumOBJ::WB), int(EnumOBJ::Mult)}) {
        if (ExperimentStore* store = storeOf(mode))
            all += store->selectAllImageSavePaths();
    }
    return all;
}

void LibraryFlow::updateImageByISP(int index, const QVariantList& imageSavePathList)
{
    auto* thread = new UpdateImageByISPThread;
    thread->index = index;
    thread->imageSavePathList = imageSavePathList;
    connect(thread, &UpdateImageByISPThread::updateListView, this, &LibraryFlow::updateListView);
    connect(thread, &QThread::finished, this, [this, thread, index] {
        emit closeLoadingDialog(index);
        thread->deleteLater();
    });
    thread->start(QThread::InheritPriority);
}

void LibraryFlow::updateExportInfo(const QString& curBinning, const QString& curExposure, const QString& curGain)
{
    m_exportInfo = {curBinning, curExposure, curGain};
}

void LibraryFlow::setExportFlag(bool flag)
{
    m_export.exportBreak = flag;
}

void LibraryFlow::exportImage(const QVariantList& selectedImageNameList, const QString& imageSaveFolder, int expMode)
{
    qDebug() << "exportImage start.";
    if (m_exportThread) {
        qWarning() << "exportImage refused: a batch export is still running";
        return;
    }
    // Cleared here rather than in the thread: a cancel given before the thread runs stands.
    m_export.exportBreak = false;
    {
        QMutexLocker locker(&m_export.mutex);
        m_export.answered = false;
        m_export.yesToAll = false;
    }
    auto* thread = new ExportFileListThread(selectedImageNameList, imageSaveFolder, m_export, storeOf(expMode),
                                            expMode == EnumOBJ::WB, m_ctx.userOpts());
    m_exportThread = thread;
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &ExportFileListThread::sig_exportCount, this, &LibraryFlow::sig_exportCount);
    connect(thread, &ExportFileListThread::sig_exportBreak, this, &LibraryFlow::sig_exportBreak);
    connect(thread, &ExportFileListThread::sig_exportFailed, this, &LibraryFlow::sig_exportFailed);
    connect(thread, &ExportFileListThread::requestOverwriteCheck, this, &LibraryFlow::askOverwrite);
    thread->start(QThread::InheritPriority);
    qDebug() << "exportImage end.";
}

void LibraryFlow::setOverwriteQuestion(std::function<int(const QString&)> question)
{
    m_question = question ? std::move(question) : std::function<int(const QString&)>(askWithMessageBox);
}

void LibraryFlow::askOverwrite(const QString& fileName)
{
    const int answer = m_question(fileName);
    QMutexLocker locker(&m_export.mutex);
    m_export.overwrite = answer == Yes || answer == YesToAll;
    if (answer == YesToAll)
        m_export.yesToAll = true;
    m_export.answered = true;
    m_export.condition.wakeOne();
}

QString LibraryFlow::analysisProgram()
{
    return AppPaths::appDir() + QStringLiteral("/Veldrin_boxed");
}

int LibraryFlow::analysisKind(int expMode) const
{
    const int type = m_ctx.authorityType();
    if (type == EnumOBJ::WBQI)
        return expMode == EnumOBJ::WB ? 1 : 0;
    if (type >= EnumOBJ::WBTS && type < EnumOBJ::Unknow_AuthorityType)
        return (expMode == EnumOBJ::WB || expMode == EnumOBJ::Mult) ? 1 : 0;
    return 0;
}

bool LibraryFlow::startAnalysis(const QString& path, int kind)
{
    const QString program = analysisProgram();
    const QStringList arguments{path, QString::number(kind), QStringLiteral("1")};
    if (!QFileInfo(program).isExecutable()) {
        qWarning() << "image-analysis program not found:" << program;
        return false;
    }
    if (!QProcess::startDetached(program, arguments, AppPaths::appDir())) {
        qWarning() << "image-analysis program did not start:" << program << arguments;
        return false;
    }
    qDebug() << "image-analysis program started:" << program << arguments;
    return true;
}
