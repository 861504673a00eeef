#include "housekeepingflow.h"

#include "apppaths.h"
#include "flowcontext.h"
#include "h695icecamctrl.h"
#include "useropts.h"

#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <atomic>
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
    , m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); })
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

void HousekeepingFlow::getReferenceImage(int type)
{
    if (type < 0 || type >= int(std::size(kReferenceMethods))) {
        qWarning() << "reference type refused:" << type;
        return;
    }
    qDebug() << kReferenceMethods[type];
    H695ICECamCtrl* cam = m_ctx.tucsen();
    switch (type) {
    case 0: cam->getStandardImage(); break;
    case 1: cam->getDarkImage(); break;
    case 2: cam->getStandardImageFor535(); break;
    case 3: cam->getDarkImageFor535(); break;
    case 4: cam->getStandardImageFor605(); break;
    case 5: cam->getDarkImageFor605(); break;
    case 6: cam->getStandardImageFor715(); break;
    case 7: cam->getDarkImageFor715(); break;
    case 8: cam->getStandardImageFor590(); break;
    case 9: cam->getDarkImageFor590(); break;
    }
}

bool HousekeepingFlow::isFFC()
{
    return m_ctx.tucsen()->isFFC;
}

void HousekeepingFlow::setFFC(bool state)
{
    m_ctx.tucsen()->isFFC = state;
}

bool HousekeepingFlow::isInFFC()
{
    return m_ctx.tucsen()->isInFFC;
}

void HousekeepingFlow::setisInFFC(bool state)
{
    m_ctx.tucsen()->isInFFC = state;
}

void HousekeepingFlow::calculateFFC()
{
    m_ctx.tucsen()->calculateFFC();
}

void HousekeepingFlow::resetFFC()
{
    m_ctx.tucsen()->resetFFC();
}

void HousekeepingFlow::setPercent(int percent)
{
    const double value = percent / 10000.0;
    m_ctx.tucsen()->histLevelPercent = value;
    qDebug() << "percent: " << value;
}

bool HousekeepingFlow::isAlreadyFFC()
{
    return m_ctx.tucsen()->isAlreadyFFC();
}

void HousekeepingFlow::reloadFFC()
{
    m_ctx.tucsen()->references.reloadStored();
}

void HousekeepingFlow::switchOffFFC()
{
    H695ICECamCtrl* cam = m_ctx.tucsen();
    if (!cam->isFFC)
        return;
    qWarning() << "flat-field references do not cover the live frame: correction switched off";
    cam->isFFC = false;
    if (UserOpts* opts = m_ctx.userOpts()) {
        opts->setIsFFCOpen(false);
        opts->saveUserOptsByName(UserOpts::OPT_IsFFCOpen);
    }
    emit ffcSwitchedOff();
}

void HousekeepingFlow::removeCorrectionData()
{
    const QString folder = AppPaths::appDir() + QStringLiteral("/CorrectionData");
    qDebug() << "removeCorrectionData:" << folder;
    removeDirFiles(folder);
}

void HousekeepingFlow::setRoi(int x, int y, int width, int height)
{
    qDebug() << "执行到此处，预备设置ROI";
    m_ctx.tucsen()->setRoiEnabled(true);
    m_ctx.tucsen()->setCropRect(x, y, width, height);
}

void HousekeepingFlow::removeSetRoi()
{
    qDebug() << "去除裁切";
    m_ctx.tucsen()->setRoiEnabled(false);
    m_ctx.tucsen()->setCropRect(0, 0, 0, 0);
}

void HousekeepingFlow::clearRoiList()
{
    m_ctx.tucsenFrames()->clearRoiList();
}

QString HousekeepingFlow::userManualName(int authorityType, int language)
{
    QString model;
    if (authorityType == EnumOBJ::GelTS20BW)
        model = QStringLiteral("S20M");
    else if (authorityType == 0 || authorityType == 2 || authorityType == 3)
        model = QStringLiteral("S60");
    else if (authorityType >= 5 && authorityType <= 18)
        model = QStringLiteral("OV");
    if (model.isEmpty() || (language != UserOpts::Chinese && language != UserOpts::English))
        return QString();
    return QStringLiteral("/document/user_manual_") + model
           + (language == UserOpts::English ? QStringLiteral("_en.pdf") : QStringLiteral(".pdf"));
}

void HousekeepingFlow::openUserManual()
{
    UserOpts* opts = m_ctx.userOpts();
    int language = -1;
    if (opts) {
        opts->loadUserOptsByName(UserOpts::OPT_Language);
        language = int(opts->language());
    }
    const QString name = userManualName(int(m_ctx.authorityType()), language);
    const QString path = AppPaths::appDir() + name;
    if (name.isEmpty() || !QFileInfo(path).isFile()) {
        qWarning() << "user manual not available:" << (name.isEmpty() ? QStringLiteral("none for this configuration") : path);
        emit userManualOpenFailed();
        return;
    }
    if (!m_openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()))) {
        qWarning() << "user manual not opened:" << path;
        emit userManualOpenFailed();
    }
}

void HousekeepingFlow::showScreenKeyboard(bool show)
{
    UserOpts* opts = m_ctx.userOpts();
    if (!opts)
        return;
    opts->loadUserOptsByName(UserOpts::OPT_IsAutoKeyboard);
    if (!opts->isAutoKeyboard())
        return;
    // Every field asks on every press: said once per run, not once per key.
    static std::atomic<bool> told{false};
    if (!told.exchange(true))
        qWarning() << "on-screen keyboard not available on this platform; requests to show or hide it are ignored"
                   << (show ? "(show)" : "(hide)");
}
