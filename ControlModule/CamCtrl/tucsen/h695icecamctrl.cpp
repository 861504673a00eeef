// The controller object, the driver connection and the frame acquisition.

#include "h695icecamctrl.h"
#include "h695icecamctrl_drive.h"

#include "apppaths.h"
#include "imagesaver.h"
#include "machinemodel.h"
#include "useropts.h"

#include <QDateTime>
#include <QDebug>
#include <QMutex>
#include <QMutexLocker>

namespace {

constexpr int32_t kApiTimeoutMs = 1000;
constexpr int32_t kFrameWaitMs = 3600000;
constexpr int32_t kInfoItemIdentity = 5;
constexpr int kInfoTextSize = 256;
// The S20Mini cameras whose identity starts with this batch need the auto-exposure threshold.
const char* const kS20MiniBatch = "8504250816";

bool ok(TUCAMRET status)
{
    return status == TUCAMRET_SUCCESS;
}

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

} // namespace

H695ICECamCtrl* H695ICECamCtrl::getInstance()
{
    // Created once on first use and kept for the life of the process.
    static QMutex mutex;
    static H695ICECamCtrl* instance = nullptr;
    QMutexLocker locker(&mutex);
    if (!instance)
        instance = new H695ICECamCtrl();
    return instance;
}

H695ICECamCtrl::H695ICECamCtrl(QObject* parent)
    : QObject(parent)
    , userOpts(UserOpts::getInstance())
    , references(AppPaths::appDir() + QStringLiteral("/CorrectionData"))
{
    if (!references.loadAtStart(userOpts->colorMarkerVisible()))
        isFFC = false;
    userOpts->loadUserOptsByName(UserOpts::OPT_HISTLEVELPERCENT);
    histLevelPercent = userOpts->histLevelPercent();
    qDebug() << "Percent: " << histLevelPercent.load();
}

// Owns nothing the program still uses at exit; the records live until the process ends.
H695ICECamCtrl::~H695ICECamCtrl() = default;

void H695ICECamCtrl::logDriverFailure(const char* name, int id, double value, TUCAMRET status)
{
    qDebug() << "driver call failed:" << name << "id" << id << "value" << value << "status"
             << QStringLiteral("0x%1").arg(status, 8, 16, QLatin1Char('0'));
}

TUCAMRET H695ICECamCtrl::capaSet(int id, int32_t value, Logging logging)
{
    return drive("TUCAM_Capa_SetValue", id, value,
                 [&](HDTUCAM h) { return TUCAM_Capa_SetValue(h, id, value); }, logging);
}

TUCAMRET H695ICECamCtrl::capaGet(int id, int32_t* value)
{
    return drive("TUCAM_Capa_GetValue", id, 0, [&](HDTUCAM h) { return TUCAM_Capa_GetValue(h, id, value); });
}

TUCAMRET H695ICECamCtrl::propSet(int id, double value)
{
    return drive("TUCAM_Prop_SetValue", id, value, [&](HDTUCAM h) { return TUCAM_Prop_SetValue(h, id, value, 0); });
}

TUCAMRET H695ICECamCtrl::propGet(int id, double* value)
{
    return drive("TUCAM_Prop_GetValue", id, 0, [&](HDTUCAM h) { return TUCAM_Prop_GetValue(h, id, value, 0); });
}

TUCAM_PROP_ATTR H695ICECamCtrl::propAttr(int id, bool& success)
{
    TUCAM_PROP_ATTR attr {};
    attr.idProp = id;
    attr.nIdxChn = 0;
    success = ok(drive("TUCAM_Prop_GetAttr", id, 0, [&](HDTUCAM h) { return TUCAM_Prop_GetAttr(h, &attr); }));
    return attr;
}

// ---------------------------------------------------------------------------------------------
// Connection

TUCAMRET H695ICECamCtrl::initApi()
{
    apiInit = TUCAM_INIT {0, nullptr};
    drive("TUCAM_Api_Init", 0, kApiTimeoutMs, [&](HDTUCAM) { return TUCAM_Api_Init(&apiInit, kApiTimeoutMs); });
    if (apiInit.uiCamCount == 0) {
        qDebug() << "相机数量为0。";
        return TUCAMRET_NO_CAMERA;
    }
    return TUCAMRET_SUCCESS;
}

void H695ICECamCtrl::uninitApi()
{
    drive("TUCAM_Api_Uninit", 0, 0, [](HDTUCAM) { return TUCAM_Api_Uninit(); }, Logging::Quiet);
}

TUCAMRET H695ICECamCtrl::openDevice(uint32_t index)
{
    if (index >= apiInit.uiCamCount)
        return TUCAMRET_OUT_OF_RANGE;
    camOpen.uiIdxOpen = index;
    const TUCAMRET status =
        drive("TUCAM_Dev_Open", 0, index, [&](HDTUCAM) { return TUCAM_Dev_Open(&camOpen); }, Logging::Quiet);
    m_handle = ok(status) ? camOpen.hIdxTUCam : nullptr;
    return status;
}

void H695ICECamCtrl::closeDevice()
{
    if (!handle())
        return;
    drive("TUCAM_Dev_Close", 0, 0, [](HDTUCAM h) { return TUCAM_Dev_Close(h); }, Logging::Quiet);
    m_handle = nullptr;
    camOpen.hIdxTUCam = nullptr;
}

bool H695ICECamCtrl::openCamera(int authorityType)
{
    if (initApi() != TUCAMRET_SUCCESS) {
        qDebug() << "初始化Api失败。";
        // The driver was initialised all the same; leave it as closed as it was found.
        drive("TUCAM_Api_Uninit", 0, 0, [](HDTUCAM) { return TUCAM_Api_Uninit(); });
        return false;
    }
    qDebug() << "初始化Api成功。";
    qDebug() << "time1:" << now();

    camOpen.uiIdxOpen = 0;
    camOpen.hIdxTUCam = nullptr;
    m_handle = nullptr;
    if (apiInit.uiCamCount == 0
        || !ok(drive("TUCAM_Dev_Open", 0, 0, [&](HDTUCAM) { return TUCAM_Dev_Open(&camOpen); }))) {
        qDebug() << "打开相机失败。";
        camOpen.hIdxTUCam = nullptr;
        drive("TUCAM_Api_Uninit", 0, 0, [](HDTUCAM) { return TUCAM_Api_Uninit(); });
        return false;
    }
    m_handle = camOpen.hIdxTUCam;
    qDebug() << "打开相机成功。";
    qDebug() << "time2:" << now();
    setAutoExposure(0);

    switch (MachineModel::cameraOf(authorityType)) {
    case MachineModel::Camera::Tucsen695:
        if (!ok(propSet(TUIDP_DPCLEVEL, 0))) {
            qDebug() << "设置DPC失败。";
            return false;
        }
        qDebug() << "设置DPC成功。";
        if (ok(propSet(TUIDP_BLACKLEVEL, 12)))
            qDebug() << "设置黑电平成功:12。";
        else
            qDebug() << "设置黑电平失败。";
        break;
    case MachineModel::Camera::TucsenFL9BW:
        userOpts->loadUserOptsByName(UserOpts::OPT_AverageGrayThd);
        setExposureThreshold(userOpts->averageGrayThd());
        setAutoExposureTarget(253);
        if (!ok(propSet(TUIDP_DPCLEVEL, 1))) {
            qDebug() << "设置DPC失败。";
            return false;
        }
        qDebug() << "设置DPC成功。";
        if (ok(propSet(TUIDP_BLACKLEVEL, 2)))
            qDebug() << "设置黑电平成功:2。";
        else
            qDebug() << "设置黑电平失败。";
        if (ok(capaSet(TUIDC_IMGMODESELECT, 2)))
            qDebug() << "设置图像模式成功。图像模式：" << 2;
        else
            qDebug() << "设置图像模式失败。";
        break;
    case MachineModel::Camera::TucsenS20Mini: {
        qDebug() << "设置S20Mini";
        char text[kInfoTextSize] = {};
        TUCAM_VALUE_INFO info {kInfoItemIdentity, 0, text, kInfoTextSize};
        const QString identity = getInfo(info);
        if (identity.left(identity.length() / 2) == QLatin1String(kS20MiniBatch)) {
            userOpts->loadUserOptsByName(UserOpts::OPT_AverageGrayThd);
            setExposureThreshold(userOpts->averageGrayThd());
        }
        if (ok(propSet(TUIDP_EXPOSUREMAX, 400)))
            qDebug() << "设置TUIDP_EXPOSUREMAX成功。" << "TUIDP_EXPOSUREMAX:" << 400;
        else
            qDebug() << "设置TUIDP_EXPOSUREMAX失败。";
        if (ok(propSet(TUIDP_GAINMAX, 240)))
            qDebug() << "设置TUIDP_GAINMAX成功。" << "TUIDP_GAINMAX:" << 240;
        else
            qDebug() << "设置TUIDP_GAINMAX失败。";
        break;
    }
    default:
        break;
    }

    setBitDepth(16);
    setTemperature(0);
    return true;
}

void H695ICECamCtrl::closeCamera()
{
    // Wrappers called from other threads from now on meet a null handle, which the driver refuses.
    const HDTUCAM open = m_handle.exchange(nullptr);
    if (open) {
        drive("TUCAM_Dev_Close", 0, 0, [open](HDTUCAM) { return TUCAM_Dev_Close(open); });
        camOpen.hIdxTUCam = nullptr;
        qDebug() << "关闭相机成功。";
    }
    if (ok(drive("TUCAM_Api_Uninit", 0, 0, [](HDTUCAM) { return TUCAM_Api_Uninit(); })))
        qDebug() << "反初始化Api成功。";
    else
        qDebug() << "反初始化Api失败。";
}

// ---------------------------------------------------------------------------------------------
// Frame acquisition

bool H695ICECamCtrl::m_StartWaitFrame(TUCAM_FRAME* frame)
{
    if (!ok(drive("TUCAM_Buf_Alloc", 0, 0, [&](HDTUCAM h) { return TUCAM_Buf_Alloc(h, frame); }))) {
        qDebug() << "TUCAM_Buf_Alloc failed.";
        return false;
    }
    if (!ok(drive("TUCAM_Cap_Start", 0, 0, [](HDTUCAM h) { return TUCAM_Cap_Start(h, 0); }))) {
        qDebug() << "TUCAM_Cap_Start failed.";
        drive("TUCAM_Buf_Release", 0, 0, [](HDTUCAM h) { return TUCAM_Buf_Release(h); });
        return false;
    }
    return true;
}

TUCAMRET H695ICECamCtrl::m_WaitForFrame(TUCAM_FRAME* frame)
{
    return m_WaitForFrame(frame, kFrameWaitMs);
}

TUCAMRET H695ICECamCtrl::m_WaitForFrame(TUCAM_FRAME* frame, int32_t timeoutMs)
{
    // An aborted wait is how every stop ends a frame run: the waiters log it themselves.
    const TUCAMRET status = drive("TUCAM_Buf_WaitForFrame", 0, timeoutMs,
                                  [&](HDTUCAM h) { return TUCAM_Buf_WaitForFrame(h, frame, timeoutMs); },
                                  Logging::Quiet);
    if (status != TUCAMRET_SUCCESS && status != TUCAMRET_ABORT)
        logDriverFailure("TUCAM_Buf_WaitForFrame", 0, timeoutMs, status);
    return status;
}

void H695ICECamCtrl::abortWait()
{
    if (ok(drive("TUCAM_Buf_AbortWait", 0, 0, [](HDTUCAM h) { return TUCAM_Buf_AbortWait(h); })))
        qDebug() << "中断等待成功。";
    else
        qDebug() << "中断等待失败。";
}

void H695ICECamCtrl::stopCapture()
{
    if (ok(drive("TUCAM_Cap_Stop", 0, 0, [](HDTUCAM h) { return TUCAM_Cap_Stop(h); })))
        qDebug() << "采集停止成功。";
    else
        qDebug() << "采集停止失败。";
}

void H695ICECamCtrl::releaseBuffer()
{
    if (ok(drive("TUCAM_Buf_Release", 0, 0, [](HDTUCAM h) { return TUCAM_Buf_Release(h); })))
        qDebug() << "释放缓存成功。";
    else
        qDebug() << "释放缓存失败。";
}

// Every frame run ends here, often after the run has already been stopped: the statuses are
// not looked at and nothing is logged.
void H695ICECamCtrl::stopAll()
{
    drive("TUCAM_Buf_AbortWait", 0, 0, [](HDTUCAM h) { return TUCAM_Buf_AbortWait(h); }, Logging::Quiet);
    drive("TUCAM_Cap_Stop", 0, 0, [](HDTUCAM h) { return TUCAM_Cap_Stop(h); }, Logging::Quiet);
    drive("TUCAM_Buf_Release", 0, 0, [](HDTUCAM h) { return TUCAM_Buf_Release(h); }, Logging::Quiet);
}

void H695ICECamCtrl::allocBuffer(TUCAM_FRAME* frame)
{
    if (ok(drive("TUCAM_Buf_Alloc", 0, 0, [&](HDTUCAM h) { return TUCAM_Buf_Alloc(h, frame); })))
        qDebug() << "申请内存空间成功。";
    else
        qDebug() << "申请内存空间失败。";
}

void H695ICECamCtrl::startCapture()
{
    drive("TUCAM_Cap_Start", 0, 4, [](HDTUCAM h) { return TUCAM_Cap_Start(h, 4); });
}

void H695ICECamCtrl::softwareTrigger()
{
    drive("TUCAM_Cap_DoSoftwareTrigger", 0, 0, [](HDTUCAM h) { return TUCAM_Cap_DoSoftwareTrigger(h, 0); });
}

TUCAM_TRIGGER_ATTR H695ICECamCtrl::getTrigger()
{
    TUCAM_TRIGGER_ATTR trigger {};
    if (ok(drive("TUCAM_Cap_GetTrigger", 0, 0, [&](HDTUCAM h) { return TUCAM_Cap_GetTrigger(h, &trigger); })))
        qDebug() << "获取触发方式成功。";
    else
        qDebug() << "获取触发方式失败。";
    return trigger;
}

void H695ICECamCtrl::setTrigger(TUCAM_TRIGGER_ATTR trigger)
{
    if (ok(drive("TUCAM_Cap_SetTrigger", 0, trigger.nTgrMode,
                 [&](HDTUCAM h) { return TUCAM_Cap_SetTrigger(h, trigger); })))
        qDebug() << "设置触发方式成功。";
    else
        qDebug() << "设置触发方式失败。";
}
