#include "ic_maincontrol.h"

#include "apppaths.h"
#include "asyncserialportthread.h"
#include "camopts.h"
#include "experimentrecord.h"
#include "gelexperimentdb.h"
#include "h695icecamctrl.h"
#include "kestrix64.h"
#include "kestrixctrl.h"
#include "lightctrl.h"
#include "machinemodel.h"
#include "modbusmaster.h"
#include "multexperimentdb.h"
#include "regularremovethread.h"
#include "useropts.h"
#include "westernblotexperimentdb.h"

#include <QAtomicPointer>
#include <QDebug>
#include <QMetaType>
#include <QMutexLocker>
#include <QSettings>
#include <QThread>

#include <memory>

IC_MainControl* IC_MainControl::getInstance()
{
    static QAtomicPointer<IC_MainControl> instance;
    static QMutex mutex;
    IC_MainControl* current = instance.loadAcquire();
    if (!current) {
        QMutexLocker locker(&mutex);
        current = instance.loadAcquire();
        if (!current) {
            current = new IC_MainControl(nullptr);
            instance.storeRelease(current);
        }
    }
    return current;
}

IC_MainControl::IC_MainControl(QObject* parent, ASyncSerialPortThread* link)
    : QObject(parent)
    , camOpt(CamOpts::getInstance())
    , userOpt(UserOpts::getInstance())
    , kestrixCtrl(KestrixCtrl::getInstance())
    , serialPortThread(link ? link : ASyncSerialPortThread::getInstance())
    , modbusMaster(new ModbusMaster(this))
    , lightCtrl(new LightCtrl(serialPortThread, this))
    , wbExpDB(WesternBlotExperimentDB::getInstance())
    , h695ICECamCtrl(H695ICECamCtrl::getInstance())
    , gelExpDB(GelExperimentDB::getInstance())
    , multExpDB(MultExperimentDB::getInstance())
    , captureMutex(new QMutex)
{
    qRegisterMetaType<rgn_type>("rgn_type");
    connect(serialPortThread, &ASyncSerialPortThread::readData, this, &IC_MainControl::readDataHandle);
    connect(serialPortThread, &ASyncSerialPortThread::sig_SerialPortErrorOccur, this,
            &IC_MainControl::slot_SerialPortErrorOccur);
    // An acquisition error of the kestrix64 camera: the camera stays open for the next try.
    connect(kestrixCtrl, &KestrixCtrl::sig_CamErrorOccur, this, [this] { reportError(EnumOBJ::CameraErr); });
}

IC_MainControl::~IC_MainControl()
{
    delete captureMutex;
}

EnumOBJ::MachineName IC_MainControl::machineName() const
{
    return m_machineName;
}

EnumOBJ::ErrorCode IC_MainControl::errorCode() const
{
    return m_errorCode;
}

void IC_MainControl::setErrorCode(EnumOBJ::ErrorCode errorCode)
{
    m_errorCode = errorCode;
}

EnumOBJ::AuthorityType IC_MainControl::authorityType() const
{
    return m_authorityType;
}

void IC_MainControl::setAuthorityType(EnumOBJ::AuthorityType authorityType)
{
    if (m_authorityType == authorityType)
        return;
    m_authorityType = authorityType;
    emit authorityTypeChanged();
}

EnumOBJ::ExpMode IC_MainControl::expMode() const
{
    return m_expMode;
}

void IC_MainControl::setExpMode(EnumOBJ::ExpMode expMode)
{
    // Bindings on expMode must see the head bar's writes.
    if (m_expMode == expMode)
        return;
    m_expMode = expMode;
    emit expModeChanged();
}

bool IC_MainControl::singleCaptureVisible() const
{
    return m_singleCaptureVisible;
}

void IC_MainControl::setSingleCaptureVisible(bool visible)
{
    m_singleCaptureVisible = visible;
    if (m_authorityType == EnumOBJ::WBQI)
        kestrixCtrl->singleCaptureVisible = visible;
    else if (m_authorityType < EnumOBJ::Unknow_AuthorityType)
        h695ICECamCtrl->singleCaptureVisible = visible;
}

QString IC_MainControl::curExpName() const
{
    return m_curExpName;
}

void IC_MainControl::setCurExpName(const QString& name)
{
    m_curExpName = name;
}

int IC_MainControl::sum2BinIndex() const
{
    return m_sum2BinIndex;
}

void IC_MainControl::setSum2BinIndex(int index)
{
    if (m_sum2BinIndex == index)
        return;
    m_sum2BinIndex = index;
    emit sum2BinIndexChanged();
}

void IC_MainControl::reportError(EnumOBJ::ErrorCode errorCode)
{
    qWarning() << "errorCode:" << errorCode;
    m_errorCode = errorCode;
    emit errorCodeChanged();
}

EnumOBJ::MachineName IC_MainControl::readMachineName()
{
    QSettings settings(AppPaths::path(QStringLiteral("machine.ini")), QSettings::IniFormat);
    const QVariant stored = settings.value(QStringLiteral("Machine/MachineName"));
    // An unquoted value with a comma reads as a list; it is no model text either way.
    const QString text = stored.type() == QVariant::StringList ? stored.toStringList().join(QLatin1Char(','))
                                                               : stored.toString();
    qDebug() << "仪器名:" << text;
    return MachineModel::machineNameFromText(text);
}

void IC_MainControl::initMachine()
{
    const EnumOBJ::MachineName name = readMachineName();
    if (name != m_machineName) {
        m_machineName = name;
        emit machineNameChanged();
    }
    const MachineModel::Row* row = MachineModel::rowOf(m_machineName);
    if (!row)
        return;
    setAuthorityType(row->authorityType);
    MachineModel::applyDefaults(m_machineName, *userOpt, *camOpt);
}

void IC_MainControl::limitLightAutoShutDownTime()
{
    MachineModel::capLightAutoShutDownTime(*userOpt);
}

void IC_MainControl::startRegularRemove()
{
    auto* thread = new RegularRemoveThread(userOpt);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start(QThread::InheritPriority);
}

void IC_MainControl::runWhenFinished(QThread* thread, std::function<void()> continuation)
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
    connect(thread, &QThread::finished, this, once);
    if (thread->isFinished())
        once();
}

void IC_MainControl::slot_SerialPortErrorOccur()
{
    reportError(EnumOBJ::SerialPortErr);
}

void IC_MainControl::slot_CamErrorOccur()
{
    reportError(EnumOBJ::CameraErr);
    if (m_authorityType == EnumOBJ::WBQI)
        kestrixCtrl->closeCamera();
    else if (m_authorityType < EnumOBJ::Unknow_AuthorityType)
        h695ICECamCtrl->closeCamera();
}

void IC_MainControl::updateImageHandle()
{
    emit imageChanged();
}

void IC_MainControl::setLineSeries(QtCharts::QLineSeries* series)
{
    wbLineSeries = series;
}

void IC_MainControl::setMultLineSeries(QtCharts::QLineSeries* series)
{
    multLineSeries = series;
}

void IC_MainControl::setGelLineSeries(QtCharts::QLineSeries* series)
{
    gelLineSeries = series;
}

void IC_MainControl::notAvailable(const char* method)
{
    qWarning() << method << "not available yet";
}
