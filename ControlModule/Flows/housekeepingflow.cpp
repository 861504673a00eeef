#include "housekeepingflow.h"

#include "flowcontext.h"
#include "regularremovethread.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <iterator>

namespace {
// The invokables of the ten references, by type.
const char* const kReferenceMethods[] = {
    "getStandardImage",       "getDarkImage",       "getStandardImageFor535", "getDarkImageFor535",
    "getStandardImageFor605", "getDarkImageFor605", "getStandardImageFor715", "getDarkImageFor715",
    "getStandardImageFor590", "getDarkImageFor590",
};
} // namespace

HousekeepingFlow::HousekeepingFlow(FlowContext& ctx, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
{
}

HousekeepingFlow::~HousekeepingFlow() = default;

void HousekeepingFlow::removeDirFiles(const QString& dir)
{
    QDir folder(dir);
    if (!folder.exists())
        return;
    const QFileInfoList files = folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        if (!QFile::remove(file.absoluteFilePath())) {
            qDebug() << "Failed to remove file:" << file.absoluteFilePath();
            return;
        }
    }
}

void HousekeepingFlow::startRegularRemove()
{
    auto* thread = new RegularRemoveThread(m_ctx.userOpts());
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start(QThread::InheritPriority);
}

QVariantList HousekeepingFlow::loadAllDate(int, const QString&, const QString&, const QString&, const QString&)
{
    FlowContext::notAvailable("loadAllDate");
    return QVariantList();
}

QVariantList HousekeepingFlow::loadByDate(int, const QString&, const QString&, const QString&)
{
    FlowContext::notAvailable("loadByDate");
    return QVariantList();
}

QVariantList HousekeepingFlow::deleteExps(int, const QStringList&)
{
    FlowContext::notAvailable("deleteExps");
    return QVariantList();
}

void HousekeepingFlow::updateNameAndImgSavePathByUuid(int, const QString&, const QString&, const QString&,
                                                      const QString&)
{
    FlowContext::notAvailable("updateNameAndImgSavePathByUuid");
}

QVariantList HousekeepingFlow::loadExpParamByImageSavePath(int, const QString&)
{
    FlowContext::notAvailable("loadExpParamByImageSavePath");
    return QVariantList();
}

QStringList HousekeepingFlow::getDirFilesName(const QString&)
{
    FlowContext::notAvailable("getDirFilesName");
    return QStringList{QString()};
}

void HousekeepingFlow::getReferenceImage(int type)
{
    if (type < 0 || type >= int(std::size(kReferenceMethods)))
        return;
    FlowContext::notAvailable(kReferenceMethods[type]);
}

bool HousekeepingFlow::isFFC()
{
    FlowContext::notAvailable("isFFC");
    return false;
}

void HousekeepingFlow::setFFC(bool)
{
    FlowContext::notAvailable("setFFC");
}

bool HousekeepingFlow::isInFFC()
{
    FlowContext::notAvailable("isInFFC");
    return false;
}

void HousekeepingFlow::setisInFFC(bool)
{
    FlowContext::notAvailable("setisInFFC");
}

void HousekeepingFlow::calculateFFC()
{
    FlowContext::notAvailable("calculateFFC");
}

void HousekeepingFlow::resetFFC()
{
    FlowContext::notAvailable("resetFFC");
}

void HousekeepingFlow::setPercent(int)
{
    FlowContext::notAvailable("setPercent");
}

bool HousekeepingFlow::isAlreadyFFC()
{
    FlowContext::notAvailable("isAlreadyFFC");
    return false;
}

void HousekeepingFlow::removeCorrectionData()
{
    FlowContext::notAvailable("removeCorrectionData");
}

void HousekeepingFlow::setRoi(int, int, int, int)
{
    FlowContext::notAvailable("setRoi");
}

void HousekeepingFlow::removeSetRoi()
{
    FlowContext::notAvailable("removeSetRoi");
}

void HousekeepingFlow::clearRoiList()
{
    FlowContext::notAvailable("clearRoiList");
}

void HousekeepingFlow::openUserManual()
{
    FlowContext::notAvailable("openUserManual");
}

void HousekeepingFlow::showScreenKeyboard(bool)
{
    FlowContext::notAvailable("showScreenKeyboard");
}

void HousekeepingFlow::updateExportInfo(const QString&, const QString&, const QString&)
{
    FlowContext::notAvailable("updateExportInfo");
}

void HousekeepingFlow::setExportFlag(bool)
{
    FlowContext::notAvailable("setExportFlag");
}
