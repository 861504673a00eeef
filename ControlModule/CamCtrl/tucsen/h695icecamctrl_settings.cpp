// The setting wrappers: one driver call each (two where the camera needs the value written
// or read twice), with the log lines the operators' logs have always had.

#include "h695icecamctrl.h"
#include "h695icecamctrl_drive.h"

#include <QDateTime>
#include <QDebug>

namespace {

bool ok(TUCAMRET status)
{
    return status == TUCAMRET_SUCCESS;
}

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

constexpr int32_t kInfoItemIdentity = 5;

} // namespace

// ---------------------------------------------------------------------------------------------
// Capabilities

void H695ICECamCtrl::setResolution(int value)
{
    if (ok(capaSet(TUIDC_RESOLUTION, value)))
        qDebug() << "设置分辨率成功。分辨率：" << value;
    else
        qDebug() << "设置分辨率失败。";
}

int H695ICECamCtrl::getResolution()
{
    int32_t value = 0;
    if (ok(capaGet(TUIDC_RESOLUTION, &value))) {
        qDebug() << "获取分辨率成功。分辨率：" << value;
        return value;
    }
    qDebug() << "获取分辨率失败。";
    return 0;
}

void H695ICECamCtrl::setBitDepth(int value)
{
    if (ok(capaSet(TUIDC_BITOFDEPTH, value)))
        qDebug() << "设置位深成功。位深：" << value;
    else
        qDebug() << "设置位深失败。";
}

void H695ICECamCtrl::setAutoExposure(int value)
{
    if (!ok(capaSet(TUIDC_ATEXPOSURE, value))) {
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
    if (ok(capaGet(TUIDC_ATEXPOSURE, &value))) {
        qDebug() << "获取自动曝光成功。自动曝光：" << value;
        return value;
    }
    qDebug() << "获取自动曝光失败。";
    return 0;
}

void H695ICECamCtrl::setHorizontalMirror(int value)
{
    if (ok(capaSet(TUIDC_HORIZONTAL, value)))
        qDebug() << "设置水平镜像成功。";
    else
        qDebug() << "设置水平镜像失败。";
}

void H695ICECamCtrl::setVerticalMirror(int value)
{
    if (ok(capaSet(TUIDC_VERTICAL, value)))
        qDebug() << "设置垂直镜像成功。";
    else
        qDebug() << "设置垂直镜像失败。";
}

// The one wrapper that logs nothing, not even a failure.
void H695ICECamCtrl::setAutoLevels(int value)
{
    capaSet(TUIDC_ATLEVELS, value, Logging::Quiet);
}

int H695ICECamCtrl::getAutoLevels()
{
    int32_t value = 0;
    if (ok(capaGet(TUIDC_ATLEVELS, &value))) {
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
    if (ok(drive("TUCAM_Capa_GetAttr", TUIDC_ATLEVELS, 0, [&](HDTUCAM h) { return TUCAM_Capa_GetAttr(h, &attr); })))
        qDebug() << "获取自动色阶成功。";
    else
        qDebug() << "获取自动色阶失败。";
    return attr;
}

void H695ICECamCtrl::setHistogramEnabled(int value)
{
    if (ok(capaSet(TUIDC_HISTC, value)))
        qDebug() << "设置直方图使能/失能成功。";
    else
        qDebug() << "设置直方图使能/失能失败。";
}

int H695ICECamCtrl::getExposureMode()
{
    int32_t value = 0;
    const TUCAMRET first = capaGet(TUIDC_ATEXPOSURE_MODE, &value);
    qDebug() << "ret111: " << first;
    if (ok(capaGet(TUIDC_ATEXPOSURE_MODE, &value))) {
        qDebug() << "获取模式曝光成功。模式：" << value;
        return value;
    }
    qDebug() << "获取曝光模式失败。";
    return 0;
}

void H695ICECamCtrl::setExposureMode(int value)
{
    const TUCAMRET first = capaSet(TUIDC_ATEXPOSURE_MODE, value);
    qDebug() << "ret: " << first;
    if (ok(capaSet(TUIDC_ATEXPOSURE_MODE, value)))
        qDebug() << "设置模式曝光成功。模式：" << value;
    else
        qDebug() << "设置曝光模式失败。";
}

void H695ICECamCtrl::setBinning(int value)
{
    if (ok(capaSet(TUIDC_BINNING_SUM, value)))
        qDebug() << "设置Binning成功。Binning：" << value;
    else
        qDebug() << "设置Binning失败。";
}

int H695ICECamCtrl::getBinning()
{
    int32_t value = 0;
    if (ok(capaGet(TUIDC_BINNING_SUM, &value))) {
        qDebug() << "获取Binning成功。Binning：" << value;
        return value;
    }
    qDebug() << "获取Binning失败。";
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Properties

void H695ICECamCtrl::setGain(double value)
{
    if (ok(propSet(TUIDP_GLOBALGAIN, value)))
        qDebug() << "设置增益成功。增益：" << value;
    else
        qDebug() << "设置增益失败。";
}

double H695ICECamCtrl::getGain()
{
    double value = 0;
    if (ok(propGet(TUIDP_GLOBALGAIN, &value))) {
        qDebug() << "获取增益成功。增益：" << value;
        return value;
    }
    qDebug() << "获取增益失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getGainAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(TUIDP_GLOBALGAIN, success);
    if (!success)
        qDebug() << "获取增益属性失败。";
    return attr;
}

void H695ICECamCtrl::setExposureTime(double value)
{
    if (ok(propSet(TUIDP_EXPOSURETM, value)))
        qDebug() << "设置曝光时间成功。曝光时间：" << value;
    else
        qDebug() << "设置曝光时间失败。";
}

double H695ICECamCtrl::getExposureTime()
{
    double value = 0;
    if (ok(propGet(TUIDP_EXPOSURETM, &value))) {
        qDebug() << "获取曝光时间成功。曝光时间：" << now() << value;
        return value;
    }
    qDebug() << "获取曝光时间失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getExposureAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(TUIDP_EXPOSURETM, success);
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
    const TUCAMRET first = propSet(TUIDP_BRIGHTNESS, value);
    qDebug() << "rets: " << first;
    if (ok(propSet(TUIDP_BRIGHTNESS, value)))
        qDebug() << "设置目标曝光成功。模式：" << value;
    else
        qDebug() << "设置目标曝光失败。";
}

void H695ICECamCtrl::setBlackLevel(int value)
{
    if (ok(propSet(TUIDP_BLACKLEVEL, value)))
        qDebug() << "设置黑电平成功。";
    else
        qDebug() << "设置黑电平失败。";
}

void H695ICECamCtrl::setTemperature(int value)
{
    if (ok(propSet(TUIDP_TEMPERATURE, value)))
        qDebug() << "设置温度成功。";
    else
        qDebug() << "设置温度失败。";
}

double H695ICECamCtrl::getTemperature()
{
    double value = 0;
    if (ok(propGet(TUIDP_TEMPERATURE, &value)))
        return value;
    qDebug() << "获取温度失败。";
    return 0;
}

void H695ICECamCtrl::setGamma(double value)
{
    if (ok(propSet(TUIDP_GAMMA, value)))
        qDebug() << "设置Gamma成功。Gamma：" << value;
    else
        qDebug() << "设置Gamma失败。";
}

double H695ICECamCtrl::getGamma()
{
    double value = 0;
    if (ok(propGet(TUIDP_GAMMA, &value))) {
        qDebug() << "获取Gamma成功。Gamma：" << value;
        return value;
    }
    qDebug() << "获取Gamma失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getGammaAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(TUIDP_GAMMA, success);
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
    if (ok(propSet(TUIDP_CONTRAST, value)))
        qDebug() << "设置对比度成功。对比度：" << value;
    else
        qDebug() << "设置对比度失败。";
}

double H695ICECamCtrl::getContrast()
{
    double value = 0;
    if (ok(propGet(TUIDP_CONTRAST, &value))) {
        qDebug() << "获取对比度成功。对比度：" << value;
        return value;
    }
    qDebug() << "获取对比度失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getContrastAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(TUIDP_CONTRAST, success);
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
    if (ok(propSet(TUIDP_LFTLEVELS, value)))
        qDebug() << "设置左色阶值成功。" << "左色阶值：" << value;
    else
        qDebug() << "设置左色阶值失败。";
}

double H695ICECamCtrl::getLeftLevel()
{
    double value = 0;
    if (ok(propGet(TUIDP_LFTLEVELS, &value))) {
        qDebug() << "获取左色阶值成功。" << "左色阶值:" << value;
        return value;
    }
    qDebug() << "获取左色阶值失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getLeftLevelAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(TUIDP_LFTLEVELS, success);
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
    if (ok(propSet(TUIDP_RGTLEVELS, value)))
        qDebug() << "设置右色阶值成功。" << "右色阶值：" << value;
    else
        qDebug() << "设置右色阶值失败。";
}

double H695ICECamCtrl::getRightLevel()
{
    double value = 0;
    if (ok(propGet(TUIDP_RGTLEVELS, &value))) {
        qDebug() << "获取右色阶值成功。" << "右色阶值:" << value;
        return value;
    }
    qDebug() << "获取右色阶值失败。";
    return 0;
}

TUCAM_PROP_ATTR H695ICECamCtrl::getRightLevelAttr()
{
    bool success = false;
    const TUCAM_PROP_ATTR attr = propAttr(TUIDP_RGTLEVELS, success);
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
    if (ok(propSet(TUIDP_ATEXPOSURE_THRESHOLD, value)))
        qDebug() << "设置曝光阈值成功。" << "曝光阈值:" << value;
    else
        qDebug() << "设置曝光阈值失败。";
}

double H695ICECamCtrl::getExposureThreshold()
{
    double value = 0;
    if (ok(propGet(TUIDP_ATEXPOSURE_THRESHOLD, &value))) {
        qDebug() << "获取曝光阈值成功。" << "曝光阈值:" << value;
        return value;
    }
    qDebug() << "获取曝光阈值失败。";
    return 0;
}

void H695ICECamCtrl::setROI(TUCAM_ROI_ATTR roi)
{
    if (ok(drive("TUCAM_Cap_SetROI", roi.bEnable, roi.nWidth, [&](HDTUCAM h) { return TUCAM_Cap_SetROI(h, roi); })))
        qDebug() << "设置ROI成功。";
    else
        qDebug() << "设置ROI失败。";
}

QString H695ICECamCtrl::getInfo(TUCAM_VALUE_INFO& info)
{
    info.nID = kInfoItemIdentity;
    const bool success = info.pText && info.nTextSize > 0 && ok(drive("TUCAM_Dev_GetInfo", kInfoItemIdentity, 0, [&](HDTUCAM h) { return TUCAM_Dev_GetInfo(h, &info); }));
    const QString text = (info.pText && info.nTextSize > 0)
        ? QString::fromLatin1(info.pText, int(qstrnlen(info.pText, uint(info.nTextSize))))
        : QString();
    if (success)
        qDebug() << "获取Info成功。" << text;
    else
        qDebug() << "获取Info失败。" << text;
    return success ? text : QString();
}
