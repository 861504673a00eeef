#include "flowcontext.h"

#include "apppaths.h"
#include "asyncserialportthread.h"
#include "boardechoes.h"
#include "experimentfolder.h"
#include "experimentrecord.h"
#include "gelexperimentdb.h"
#include "h695icecamctrl.h"
#include "kestrixctrl.h"
#include "lightctrl.h"
#include "machinemodel.h"
#include "folderfault.h"
#include "modbusmaster.h"
#include "multexperimentdb.h"
#include "useropts.h"
#include "westernblotexperimentdb.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <memory>

namespace {
// Less free room than one capture's pictures takes counts as a full disk.
constexpr qint64 kCaptureRoom = 64 * 1024 * 1024;
} // namespace

FlowContext::FlowContext(const Devices& devices, QObject* parent)
    : QObject(parent)
    , m_devices(devices)
    , m_echoes(new BoardEchoes(devices.link, this))
{
    connect(m_echoes, &BoardEchoes::lightCommandAnswered, this, &FlowContext::lightCommandAnswered);
    connect(m_echoes, &BoardEchoes::lightCommandUnanswered, this, &FlowContext::lightCommandUnanswered);
}

FlowContext::~FlowContext() = default;

void FlowContext::setSingleCaptureVisible(bool visible)
{
    m_singleCaptureVisible = visible;
    if (MachineModel::isKestrix(m_authorityType))
        m_devices.kestrix->singleCaptureVisible = visible;
    else if (MachineModel::isTucsen(m_authorityType))
        m_devices.tucsen->singleCaptureVisible = visible;
}

TsFrameStore* FlowContext::tucsenFrames() const
{
    return m_devices.tucsen ? &m_devices.tucsen->frameStore() : nullptr;
}

void FlowContext::reportError(EnumOBJ::ErrorCode errorCode, const QString& detail)
{
    if (detail.isEmpty())
        qWarning() << "errorCode:" << errorCode;
    else
        qWarning() << "errorCode:" << errorCode << detail;
    m_errorCode = errorCode;
    m_errorDetail = detail;
    emit errorCodeChanged();
}

void FlowContext::saveFailed(const QString& path)
{
    // The folder that failed is folder A's or the chosen image folder's: the first with a cause
    // is named, else folder A.
    const QString folderA = QFileInfo(path).absolutePath();
    QStringList folders{folderA};
    const QString chosen = m_devices.userOpts ? m_devices.userOpts->imageSavePath() : QString();
    const ExperimentPath experiment = parseExperimentPath(path);
    QString folderB = experiment.isValid() ? experimentFolder(chosen, experiment.day, experiment.name) : QString();
    folderB.chop(1);
    if (!folderB.isEmpty())
        folders << folderB;
    for (const QString& folder : folders) {
        const FolderFault fault = folderFault(folder, kCaptureRoom);
        if (fault != FolderFault::None) {
            reportError(EnumOBJ::SaveErr, folderFaultText(folder, fault));
            return;
        }
    }
    reportError(EnumOBJ::SaveErr, folderFaultText(folderA, FolderFault::None));
}

void FlowContext::cameraError()
{
    reportError(EnumOBJ::CameraErr);
    if (MachineModel::isKestrix(m_authorityType))
        m_devices.kestrix->closeCamera();
    else if (MachineModel::isTucsen(m_authorityType))
        m_devices.tucsen->closeCamera();
}

void FlowContext::sendFrame(Ctrl_Bits command, const QList<Data_Bits>& data)
{
    const QByteArray frame = ModbusMaster::packFrame(command, static_cast<char>(data.size()), data);
    m_devices.link->setCurCmd(frame);
    m_echoes->sent(frame);
    m_devices.link->writeData(frame);
}

void FlowContext::sendLightCmd(Ctrl_Bits command, const QList<Data_Bits>& data)
{
    const QByteArray frame = m_devices.lightCtrl->sendCmd(command, data);
    m_devices.link->setCurCmd(frame);
    m_echoes->sent(frame);
}

int FlowContext::litLight() const
{
    return m_echoes->litLight();
}

void FlowContext::lampsShutDown()
{
    m_echoes->lampsShutDown();
}

bool FlowContext::lightCommandPending() const
{
    return m_echoes->lightCommandPending();
}

void FlowContext::lightChange(bool on)
{
    QList<Data_Bits> data;
    if (MachineModel::isMiniCabinet(m_authorityType))
        data << (on ? WhiteLightOn : WhiteLightOff);
    else if (on)
        data << PowerOn << SourceOn;
    else
        data << PowerOff;
    sendLightCmd(CmdMainLight, data);
    emit lightStatusChange(on);
}

void FlowContext::lightCmd(int lightType, bool on)
{
    if (MachineModel::tracksWhiteBoard(m_authorityType))
        m_devices.tucsen->isWhiteBoard = MachineModel::isGelTS20BW(m_authorityType) && lightType == EnumOBJ::White;
    m_curLightType = lightType;
    Data_Bits byte;
    switch (lightType) {
    case EnumOBJ::White: byte = on ? MiniWhiteOn : MiniWhiteOff; break;
    case EnumOBJ::UV254: byte = on ? UV254On : UV254Off; break;
    case EnumOBJ::UV365: byte = on ? UV365On : UV365Off; break;
    case EnumOBJ::UV302: byte = on ? MiniUVOn : MiniUVOff; break;
    case EnumOBJ::Blue: byte = on ? MiniBlueOn : MiniBlueOff; break;
    default: return;
    }
    sendLightCmd(CmdGelLight, {byte});
}

void FlowContext::runWhenFinished(QThread* thread, QObject* receiver, std::function<void()> continuation)
{
    // finished may have been emitted before this connection existed; the flag keeps the
    // continuation to one run when the signal also arrives.
    auto done = std::make_shared<bool>(false);
    auto once = [done, continuation] {
        if (*done)
            return;
        *done = true;
        continuation();
    };
    connect(thread, &QThread::finished, receiver, once);
    if (thread->isFinished())
        once();
}

void FlowContext::renameTucsenExperiment(ExperimentRecord* record, const QString& name, const QString& imageSavePath)
{
    if (!record)
        return;
    qDebug() << "更新实验名称：" << name << "实验路径：" << imageSavePath;
    record->name = name;
    record->imageSavePath = imageSavePath;
    tucsen()->setExpName(name);
    setCurExpName(name);
}

namespace {

// A row of that name in the table. A failed read counts as free: the insert then tells the
// operator what is wrong with the store.
template <class Record>
bool holdsName(ExperimentTable<Record>* table, const QString& name)
{
    if (!table)
        return false;
    const std::unique_ptr<Record> row(table->selectExperimentByName(name));
    return row != nullptr;
}

// An hour of taken seconds is the most a clock set back (the end of summer time) leaves.
constexpr int kMaxExperimentSecondsAhead = 3600;

} // namespace

QString FlowContext::experimentName(const QString& prefix, const QDateTime& moment)
{
    return prefix + moment.toString(QStringLiteral("yyyyMMdd-hhmmss"));
}

QDateTime FlowContext::experimentMoment(const QString& prefix, const QDateTime& now) const
{
    QString copyRoot;
    if (m_devices.userOpts) {
        m_devices.userOpts->loadUserOptsByName(UserOpts::OPT_ImageSavePath);
        copyRoot = m_devices.userOpts->imageSavePath();
    }
    const QString ownRoot = imagesRoot(AppPaths::appDir());
    // Names are compared as the rename dialog does: across all three kinds, whatever the day.
    auto taken = [&](const QDateTime& moment) {
        const QString name = experimentName(prefix, moment);
        if (holdsName(m_devices.wbExpDB, name) || holdsName(m_devices.gelExpDB, name)
            || holdsName(m_devices.multExpDB, name))
            return true;
        for (const QString& root : {ownRoot, copyRoot}) {
            const QString folder = experimentFolder(root, moment.date(), name);
            if (!folder.isEmpty() && QFileInfo::exists(folder))
                return true;
        }
        return false;
    };
    for (int ahead = 0; ahead <= kMaxExperimentSecondsAhead; ++ahead) {
        const QDateTime moment = now.addSecs(ahead);
        if (!taken(moment)) {
            if (ahead > 0)
                qDebug() << "experiment name taken, named" << ahead << "s on:" << experimentName(prefix, moment);
            return moment;
        }
    }
    return now;
}
