#include "h695icecamctrl.h"

#include "apppaths.h"
#include "useropts.h"

#include <QDateTime>
#include <QDebug>
#include <QMutexLocker>

#include <cstring>

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
    qDebug() << "Percent: " << histLevelPercent;
}

// Owns nothing the program still uses at exit; the records live until the process ends.
H695ICECamCtrl::~H695ICECamCtrl() = default;

// ---------------------------------------------------------------------------------------------
// Connection

TUCAMRET H695ICECamCtrl::initApi()
{
    apiInit = TUCAM_INIT {0, nullptr};
    TUCAM_Api_Init(&apiInit, kApiTimeoutMs);
    if (apiInit.uiCamCount == 0) {
        qDebug() << "相机数量为0。";
        return TUCAMRET_NO_CAMERA;
    }
    return TUCAMRET_SUCCESS;
}

void H695ICECamCtrl::uninitApi()
{
    TUCAM_Api_Uninit();
}

TUCAMRET H695ICECamCtrl::openDevice(uint32_t index)
{
    if (index >= apiInit.uiCamCount)
        return TUCAMRET_OUT_OF_RANGE;
    camOpen.uiIdxOpen = index;
    return TUCAM_Dev_Open(&camOpen);
}

void H695ICECamCtrl::closeDevice()
{
    if (handle()) {
        TUCAM_Dev_Close(handle());
        camOpen.hIdxTUCam = nullptr;
    }
}

bool H695ICECamCtrl::openCamera(int authorityType)
{
    if (initApi() != TUCAMRET_SUCCESS) {
        qDebug() << "初始化Api失败。";
        // The driver was initialised all the same; leave it as closed as it was found.
        TUCAM_Api_Uninit();
        return false;
    }
    qDebug() << "初始化Api成功。";
    qDebug() << "time1:" << now();

    camOpen.uiIdxOpen = 0;
    camOpen.hIdxTUCam = nullptr;
    if (apiInit.uiCamCount == 0 || !ok(TUCAM_Dev_Open(&camOpen))) {
        qDebug() << "打开相机失败。";
        camOpen.hIdxTUCam = nullptr;
        TUCAM_Api_Uninit();
        return false;
    }
    qDebug() << "打开相机成功。";
    qDebug() << "time2:" << now();
    setAutoExposure(0);

    switch (authorityType) {
    case 0: case 2: case 3: case 5: case 6: case 9: case 10: case 13: case 14: case 18:
        if (!ok(TUCAM_Prop_SetValue(handle(), TUIDP_DPCLEVEL, 0, 0))) {
            qDebug() << "设置DPC失败。";
            return false;
        }
        qDebug() << "设置DPC成功。";
        if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_BLACKLEVEL, 12, 0)))
            qDebug() << "设置黑电平成功:12。";
        else
            qDebug() << "设置黑电平失败。";
        break;
    case 7: case 8: case 11: case 12: case 15: case 16: case 17:
        userOpts->loadUserOptsByName(UserOpts::OPT_AverageGrayThd);
        setExposureThreshold(userOpts->averageGrayThd());
        setAutoExposureTarget(253);
        if (!ok(TUCAM_Prop_SetValue(handle(), TUIDP_DPCLEVEL, 1, 0))) {
            qDebug() << "设置DPC失败。";
            return false;
        }
        qDebug() << "设置DPC成功。";
        if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_BLACKLEVEL, 2, 0)))
            qDebug() << "设置黑电平成功:2。";
        else
            qDebug() << "设置黑电平失败。";
        if (ok(TUCAM_Capa_SetValue(handle(), TUIDC_IMGMODESELECT, 2)))
            qDebug() << "设置图像模式成功。图像模式：" << 2;
        else
            qDebug() << "设置图像模式失败。";
        break;
    case 4: {
        qDebug() << "设置S20Mini";
        char text[kInfoTextSize] = {};
        TUCAM_VALUE_INFO info {kInfoItemIdentity, 0, text, kInfoTextSize};
        const QString identity = getInfo(info);
        if (identity.left(identity.length() / 2) == QLatin1String(kS20MiniBatch)) {
            userOpts->loadUserOptsByName(UserOpts::OPT_AverageGrayThd);
            setExposureThreshold(userOpts->averageGrayThd());
        }
        if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_EXPOSUREMAX, 400, 0)))
            qDebug() << "设置TUIDP_EXPOSUREMAX成功。" << "TUIDP_EXPOSUREMAX:" << 400;
        else
            qDebug() << "设置TUIDP_EXPOSUREMAX失败。";
        if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_GAINMAX, 240, 0)))
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
    if (handle()) {
        TUCAM_Dev_Close(handle());
        camOpen.hIdxTUCam = nullptr;
        qDebug() << "关闭相机成功。";
    }
    if (ok(TUCAM_Api_Uninit()))
        qDebug() << "反初始化Api成功。";
    else
        qDebug() << "反初始化Api失败。";
}

// ---------------------------------------------------------------------------------------------
// Frame acquisition

bool H695ICECamCtrl::m_StartWaitFrame(TUCAM_FRAME* frame)
{
    if (!ok(TUCAM_Buf_Alloc(handle(), frame))) {
        qDebug() << "TUCAM_Buf_Alloc failed.";
        return false;
    }
    if (!ok(TUCAM_Cap_Start(handle(), 0))) {
        qDebug() << "TUCAM_Cap_Start failed.";
        TUCAM_Buf_Release(handle());
        return false;
    }
    return true;
}

TUCAMRET H695ICECamCtrl::m_WaitForFrame(TUCAM_FRAME* frame)
{
    return TUCAM_Buf_WaitForFrame(handle(), frame, kFrameWaitMs);
}

TUCAMRET H695ICECamCtrl::m_WaitForFrame(TUCAM_FRAME* frame, int32_t timeoutMs)
{
    return TUCAM_Buf_WaitForFrame(handle(), frame, timeoutMs);
}

void H695ICECamCtrl::abortWait()
{
    if (ok(TUCAM_Buf_AbortWait(handle())))
        qDebug() << "中断等待成功。";
    else
        qDebug() << "中断等待失败。";
}

void H695ICECamCtrl::stopCapture()
{
    if (ok(TUCAM_Cap_Stop(handle())))
        qDebug() << "采集停止成功。";
    else
        qDebug() << "采集停止失败。";
}

void H695ICECamCtrl::releaseBuffer()
{
    if (ok(TUCAM_Buf_Release(handle())))
        qDebug() << "释放缓存成功。";
    else
        qDebug() << "释放缓存失败。";
}

void H695ICECamCtrl::stopAll()
{
    TUCAM_Buf_AbortWait(handle());
    TUCAM_Cap_Stop(handle());
    TUCAM_Buf_Release(handle());
}

void H695ICECamCtrl::allocBuffer(TUCAM_FRAME* frame)
{
    if (ok(TUCAM_Buf_Alloc(handle(), frame)))
        qDebug() << "申请内存空间成功。";
    else
        qDebug() << "申请内存空间失败。";
}

void H695ICECamCtrl::startCapture()
{
    TUCAM_Cap_Start(handle(), 4);
}

void H695ICECamCtrl::softwareTrigger()
{
    TUCAM_Cap_DoSoftwareTrigger(handle(), 0);
}

TUCAM_TRIGGER_ATTR H695ICECamCtrl::getTrigger()
{
    TUCAM_TRIGGER_ATTR trigger {};
    if (ok(TUCAM_Cap_GetTrigger(handle(), &trigger)))
        qDebug() << "获取触发方式成功。";
    else
        qDebug() << "获取触发方式失败。";
    return trigger;
}

void H695ICECamCtrl::setTrigger(TUCAM_TRIGGER_ATTR trigger)
{
    if (ok(TUCAM_Cap_SetTrigger(handle(), trigger)))
        qDebug() << "设置触发方式成功。";
    else
        qDebug() << "设置触发方式失败。";
}

// ---------------------------------------------------------------------------------------------
// Capabilities

void H695ICECamCtrl::setResolution(int value)
{
    if (ok(TUCAM_Capa_SetValue(handle(), TUIDC_RESOLUTION, value)))
        qDebug() << "设置分辨率成功。分辨率：" << value;
    else
        qDebug() << "设置分辨率失败。";
}

int H695ICECamCtrl::getResolution()
{
    int32_t value = 0;
    if (ok(TUCAM_Capa_GetValue(handle(), TUIDC_RESOLUTION, &value))) {
        qDebug() << "获取分辨率成功。分辨率：" << value;
        return value;
    }
    qDebug() << "获取分辨率失败。";
    return 0;
}

void H695ICECamCtrl::setBitDepth(int value)
{
    if (ok(TUCAM_Capa_SetValue(handle(), TUIDC_BITOFDEPTH, value)))
        qDebug() << "设置位深成功。位深：" << value;
    else
        qDebug() << "设置位深失败。";
}

void H695ICECamCtrl::setAutoExposure(int value)
{
    if (!ok(TUCAM_Capa_SetValue(handle(), TUIDC_ATEXPOSURE, value))) {
        qDebug() << "自动曝光设置失败。";
        return;
    }
    if (value == 0)
        qDebug() << "自动曝光关闭成功。";
    else if (value == 1)
        qDebug() << "自动曝光打开成功。";
}

int H695ICECamCtrl::getAutoExposure()
{
    int32_t value = 0;
    if (ok(TUCAM_Capa_GetValue(handle(), TUIDC_ATEXPOSURE, &value))) {
        qDebug() << "获取自动曝光成功。自动曝光：" << value;
        return value;
    }
    qDebug() << "获取自动曝光失败。";
    return 0;
}

void H695ICECamCtrl::setHorizontalMirror(int value)
{
    if (ok(TUCAM_Capa_SetValue(handle(), TUIDC_HORIZONTAL, value)))
        qDebug() << "设置水平镜像成功。";
    else
        qDebug() << "设置水平镜像失败。";
}

void H695ICECamCtrl::setVerticalMirror(int value)
{
    if (ok(TUCAM_Capa_SetValue(handle(), TUIDC_VERTICAL, value)))
        qDebug() << "设置垂直镜像成功。";
    else
        qDebug() << "设置垂直镜像失败。";
}

void H695ICECamCtrl::setAutoLevels(int value)
{
    TUCAM_Capa_SetValue(handle(), TUIDC_ATLEVELS, value);
}

int H695ICECamCtrl::getAutoLevels()
{
    int32_t value = 0;
    if (ok(TUCAM_Capa_GetValue(handle(), TUIDC_ATLEVELS, &value))) {
        qDebug() << "获取自动色阶状态成功。";
        qDebug() << "左色阶状态：" << (value & 1);
        qDebug() << "右色阶状态:" << (value & 2);
        return value;
    }
    qDebug() << "获取自动色阶状态失败。";
    return 0;
}

TUCAM_CAPA_ATTR H695ICECamCtrl::getAutoLevelsAttr()
{
    TUCAM_CAPA_ATTR attr {};
    attr.idCapa = TUIDC_ATLEVELS;
    if (ok(TUCAM_Capa_GetAttr(handle(), &attr)))
        qDebug() << "获取自动色阶成功。";
    else
        qDebug() << "获取自动色阶失败。";
    return attr;
}

void H695ICECamCtrl::setHistogramEnabled(int value)
{
    if (ok(TUCAM_Capa_SetValue(handle(), TUIDC_HISTC, value)))
        qDebug() << "设置直方图使能/失能成功。";
    else
        qDebug() << "设置直方图使能/失能失败。";
}

int H695ICECamCtrl::getExposureMode()
{
    int32_t value = 0;
    const TUCAMRET first = TUCAM_Capa_GetValue(handle(), TUIDC_ATEXPOSURE_MODE, &value);
    qDebug() << "ret111: " << first;
    if (ok(TUCAM_Capa_GetValue(handle(), TUIDC_ATEXPOSURE_MODE, &value))) {
        qDebug() << "获取模式曝光成功。模式：" << value;
        return value;
    }
    qDebug() << "获取曝光模式失败。";
    return 0;
}

void H695ICECamCtrl::setExposureMode(int value)
{
    const TUCAMRET first = TUCAM_Capa_SetValue(handle(), TUIDC_ATEXPOSURE_MODE, value);
    qDebug() << "ret: " << first;
    if (ok(TUCAM_Capa_SetValue(handle(), TUIDC_ATEXPOSURE_MODE, value)))
        qDebug() << "设置模式曝光成功。模式：" << value;
    else
        qDebug() << "设置曝光模式失败。";
}

void H695ICECamCtrl::setBinning(int value)
{
    if (ok(TUCAM_Capa_SetValue(handle(), TUIDC_BINNING_SUM, value)))
        qDebug() << "设置Binning成功。Binning：" << value;
    else
        qDebug() << "设置Binning失败。";
}

int H695ICECamCtrl::getBinning()
{
    int32_t value = 0;
    if (ok(TUCAM_Capa_GetValue(handle(), TUIDC_BINNING_SUM, &value))) {
        qDebug() << "获取Binning成功。Binning：" << value;
        return value;
    }
    qDebug() << "获取Binning失败。";
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Properties

namespace {

TUCAM_PROP_ATTR propAttr(HDTUCAM handle, int id, bool& success)
{
    TUCAM_PROP_ATTR attr {};
    attr.idProp = id;
    attr.nIdxChn = 0;
    success = ok(TUCAM_Prop_GetAttr(handle, &attr));
    return attr;
}

} // namespace

void H695ICECamCtrl::setGain(double value)
{
    if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_GLOBALGAIN, value, 0)))
        qDebug() << "设置增益成功。增益：" << value;
    else
        qDebug() << "设置增益失败。";
}

double H695ICECamCtrl::getGain()
{
    double value = 0;
    if (ok(TUCAM_Prop_GetValue(handle(), TUIDP_GLOBALGAIN, &value, 0))) {
        qDebug() << "获取增益成功。增益：" << value;
        return value;
    }
    qDebug() << "获取增益失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getGainAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(handle(), TUIDP_GLOBALGAIN, success);
    if (!success)
        qDebug() << "获取增益属性失败。";
    return attr;
}

void H695ICECamCtrl::setExposureTime(double value)
{
    if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_EXPOSURETM, value, 0)))
        qDebug() << "设置曝光时间成功。曝光时间：" << value;
    else
        qDebug() << "设置曝光时间失败。";
}

double H695ICECamCtrl::getExposureTime()
{
    double value = 0;
    if (ok(TUCAM_Prop_GetValue(handle(), TUIDP_EXPOSURETM, &value, 0))) {
        qDebug() << "获取曝光时间成功。曝光时间：" << now() << value;
        return value;
    }
    qDebug() << "获取曝光时间失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getExposureAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(handle(), TUIDP_EXPOSURETM, success);
    if (success) {
        qDebug() << "获取曝光时间属性成功。";
        qDebug() << "最小曝光时间：" << attr.dbValMin;
        qDebug() << "最大曝光时间：" << attr.dbValMax;
    } else {
        qDebug() << "获取曝光时间属性失败。";
    }
    return attr;
}

void H695ICECamCtrl::setAutoExposureTarget(int value)
{
    const TUCAMRET first = TUCAM_Prop_SetValue(handle(), TUIDP_BRIGHTNESS, value, 0);
    qDebug() << "rets: " << first;
    if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_BRIGHTNESS, value, 0)))
        qDebug() << "设置目标曝光成功。模式：" << value;
    else
        qDebug() << "设置目标曝光失败。";
}

void H695ICECamCtrl::setBlackLevel(int value)
{
    if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_BLACKLEVEL, value, 0)))
        qDebug() << "设置黑电平成功。";
    else
        qDebug() << "设置黑电平失败。";
}

void H695ICECamCtrl::setTemperature(int value)
{
    if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_TEMPERATURE, value, 0)))
        qDebug() << "设置温度成功。";
    else
        qDebug() << "设置温度失败。";
}

double H695ICECamCtrl::getTemperature()
{
    double value = 0;
    if (ok(TUCAM_Prop_GetValue(handle(), TUIDP_TEMPERATURE, &value, 0)))
        return value;
    qDebug() << "获取温度失败。";
    return 0;
}

void H695ICECamCtrl::setGamma(double value)
{
    if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_GAMMA, value, 0)))
        qDebug() << "设置Gamma成功。Gamma：" << value;
    else
        qDebug() << "设置Gamma失败。";
}

double H695ICECamCtrl::getGamma()
{
    double value = 0;
    if (ok(TUCAM_Prop_GetValue(handle(), TUIDP_GAMMA, &value, 0))) {
        qDebug() << "获取Gamma成功。Gamma：" << value;
        return value;
    }
    qDebug() << "获取Gamma失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getGammaAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(handle(), TUIDP_GAMMA, success);
    if (success) {
        qDebug() << "获取Gamma属性成功。";
        qDebug() << "最小Gamma：" << attr.dbValMin;
        qDebug() << "最大Gamma：" << attr.dbValMax;
    } else {
        qDebug() << "获取Gamma属性失败。";
    }
    return attr;
}

void H695ICECamCtrl::setContrast(double value)
{
    if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_CONTRAST, value, 0)))
        qDebug() << "设置对比度成功。对比度：" << value;
    else
        qDebug() << "设置对比度失败。";
}

double H695ICECamCtrl::getContrast()
{
    double value = 0;
    if (ok(TUCAM_Prop_GetValue(handle(), TUIDP_CONTRAST, &value, 0))) {
        qDebug() << "获取对比度成功。对比度：" << value;
        return value;
    }
    qDebug() << "获取对比度失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getContrastAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(handle(), TUIDP_CONTRAST, success);
    if (success) {
        qDebug() << "获取对比度属性成功。";
        qDebug() << "最小对比度：" << attr.dbValMin;
        qDebug() << "最大对比度：" << attr.dbValMax;
    } else {
        qDebug() << "获取对比度属性失败。";
    }
    return attr;
}

void H695ICECamCtrl::setLeftLevel(double value)
{
    if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_LFTLEVELS, value, 0)))
        qDebug() << "设置左色阶值成功。" << "左色阶值：" << value;
    else
        qDebug() << "设置左色阶值失败。";
}

double H695ICECamCtrl::getLeftLevel()
{
    double value = 0;
    if (ok(TUCAM_Prop_GetValue(handle(), TUIDP_LFTLEVELS, &value, 0))) {
        qDebug() << "获取左色阶值成功。" << "左色阶值:" << value;
        return value;
    }
    qDebug() << "获取左色阶值失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getLeftLevelAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(handle(), TUIDP_LFTLEVELS, success);
    if (success) {
        qDebug() << "获取左色阶属性成功。";
        qDebug() << "最小值：" << attr.dbValMin;
        qDebug() << "最大值：" << attr.dbValMax;
    } else {
        qDebug() << "获取左色阶属性失败。";
    }
    return attr;
}

void H695ICECamCtrl::setRightLevel(double value)
{
    if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_RGTLEVELS, value, 0)))
        qDebug() << "设置右色阶值成功。" << "右色阶值：" << value;
    else
        qDebug() << "设置右色阶值失败。";
}

double H695ICECamCtrl::getRightLevel()
{
    double value = 0;
    if (ok(TUCAM_Prop_GetValue(handle(), TUIDP_RGTLEVELS, &value, 0))) {
        qDebug() << "获取右色阶值成功。" << "右色阶值:" << value;
        return value;
    }
    qDebug() << "获取右色阶值失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getRightLevelAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(handle(), TUIDP_RGTLEVELS, success);
    if (success) {
        qDebug() << "获取右色阶属性成功。";
        qDebug() << "最小值：" << attr.dbValMin;
        qDebug() << "最大值：" << attr.dbValMax;
    } else {
        qDebug() << "获取右色阶属性失败。";
    }
    return attr;
}

void H695ICECamCtrl::setExposureThreshold(double value)
{
    if (ok(TUCAM_Prop_SetValue(handle(), TUIDP_ATEXPOSURE_THRESHOLD, value, 0)))
        qDebug() << "设置曝光阈值成功。" << "曝光阈值:" << value;
    else
        qDebug() << "设置曝光阈值失败。";
}

double H695ICECamCtrl::getExposureThreshold()
{
    double value = 0;
    if (ok(TUCAM_Prop_GetValue(handle(), TUIDP_ATEXPOSURE_THRESHOLD, &value, 0))) {
        qDebug() << "获取曝光阈值成功。" << "曝光阈值:" << value;
        return value;
    }
    qDebug() << "获取曝光阈值失败。";
    return 0;
}

void H695ICECamCtrl::setROI(TUCAM_ROI_ATTR roi)
{
    if (ok(TUCAM_Cap_SetROI(handle(), roi)))
        qDebug() << "设置ROI成功。";
    else
        qDebug() << "设置ROI失败。";
}

QString H695ICECamCtrl::getInfo(TUCAM_VALUE_INFO& info)
{
    info.nID = kInfoItemIdentity;
    const bool success = info.pText && info.nTextSize > 0 && ok(TUCAM_Dev_GetInfo(handle(), &info));
    const QString text = (info.pText && info.nTextSize > 0)
        ? QString::fromLatin1(info.pText, int(qstrnlen(info.pText, uint(info.nTextSize))))
        : QString();
    if (success)
        qDebug() << "获取Info成功。" << text;
    else
        qDebug() << "获取Info失败。" << text;
    return success ? text : QString();
}
