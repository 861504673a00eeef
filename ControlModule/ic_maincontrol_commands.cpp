#include "ic_maincontrol.h"

#include "asyncserialportthread.h"
#include "focusmovethread.h"
#include "h695icecamctrl.h"
#include "lightctrl.h"
#include "modbusmaster.h"
#include "spacecomatfocusthread.h"
#include "wbtspreviewthread.h"
#include "useropts.h"

#include <QDebug>
#include <QThread>

#include <algorithm>

namespace {
// Range of the board-driven lens in its own units.
constexpr int kSerialFocusMin = 1000;
constexpr int kSerialFocusMax = 3500;
// The blue light's brightness is a percentage.
constexpr int kMaxBluePercent = 100;
} // namespace

void IC_MainControl::sendFrame(Ctrl_Bits command, const QList<Data_Bits>& data)
{
    const QByteArray frame = ModbusMaster::packFrame(command, static_cast<char>(data.size()), data);
    serialPortThread->setCurCmd(frame);
    serialPortThread->writeData(frame);
}

void IC_MainControl::sendLightCmd(Ctrl_Bits command, const QList<Data_Bits>& data)
{
    serialPortThread->setCurCmd(lightCtrl->sendCmd(command, data));
}

Data_Bits IC_MainControl::filterByte(int pos)
{
    switch (pos) {
    case EnumOBJ::NoFilter: return Filter0;
    case EnumOBJ::F_535nm: return Filter535;
    case EnumOBJ::F_590nm: return Filter590;
    case EnumOBJ::F_605nm: return Filter605;
    case EnumOBJ::F_700nm: return Filter700;
    // One wheel slot carries both the 840 nm and the 715 nm filter.
    case EnumOBJ::F_840nm: return Filter715_840;
    case EnumOBJ::F_715nm: return Filter715_840;
    case EnumOBJ::F_810nm: return Filter810;
    case EnumOBJ::F_Reset: return FilterReset;
    default:
        qDebug() << "Unknow FilterType.";
        return FilterUnknown;
    }
}

QList<Data_Bits> IC_MainControl::lensPositionBytes(int value)
{
    // The board reads exactly two bytes: a larger or negative value would leave a frame of
    // another length or a wrapped position.
    const int position = std::clamp(value, 0, 0xFFFF);
    return {static_cast<Data_Bits>(position >> 8), static_cast<Data_Bits>(position & 0xFF)};
}

void IC_MainControl::lightChange(bool on)
{
    QList<Data_Bits> data;
    if (m_authorityType == EnumOBJ::WBTSFL9BWMini || m_authorityType == EnumOBJ::WBTS695Mini)
        data << (on ? WhiteLightOn : WhiteLightOff);
    else if (on)
        data << PowerOn << SourceOn;
    else
        data << PowerOff;
    sendLightCmd(CmdMainLight, data);
    emit lightStatusChange(on);
}

void IC_MainControl::lightCmd(int lightType, bool on)
{
    if (m_authorityType >= EnumOBJ::GelTS20BW && m_authorityType <= EnumOBJ::WBTS695Mini)
        h695ICECamCtrl->isWhiteBoard = m_authorityType == EnumOBJ::GelTS20BW && lightType == EnumOBJ::White;
    curLightType = lightType;
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

void IC_MainControl::_GelTSLightChanged(int lightType, bool autoMatchFilter, int pos)
{
    QList<Data_Bits> data;
    switch (lightType) {
    case EnumOBJ::White: data << UV302_1Off << UV302_2Off << UV254Off << UV365Off << SourceOn; break;
    case EnumOBJ::UV302C: data << SourceOff << UV302_2Off << UV254Off << UV365Off << UV302_1On; break;
    case EnumOBJ::UV254: data << SourceOff << UV302_1Off << UV302_2Off << UV365Off << UV254On; break;
    case EnumOBJ::UV365: data << SourceOff << UV302_1Off << UV302_2Off << UV254Off << UV365On; break;
    default: break;
    }
    if (autoMatchFilter)
        data << filterByte(pos);
    sendLightCmd(CmdGelLight, data);
}

void IC_MainControl::_MultTSLightChanged(int lightType, bool autoMatchFilter, int pos)
{
    QList<Data_Bits> data;
    switch (lightType) {
    case EnumOBJ::White:
        data << RedLampOff << GreenLampOff << BlueLampOff << NIR660Off << NIR740Off << SourceOn;
        break;
    case EnumOBJ::R625nm:
        data << GreenLampOff << BlueLampOff << NIR660Off << NIR740Off << SourceOff << RedLampOn;
        break;
    case EnumOBJ::G520nm:
        data << RedLampOff << BlueLampOff << NIR660Off << NIR740Off << SourceOff << GreenLampOn;
        break;
    case EnumOBJ::B470nm:
        data << RedLampOff << GreenLampOff << NIR660Off << NIR740Off << SourceOff << BlueLampOn;
        break;
    case EnumOBJ::IR660nm:
        data << RedLampOff << GreenLampOff << BlueLampOff << SourceOff << NIR740Off << NIR660On;
        break;
    case EnumOBJ::IR740nm:
        data << RedLampOff << GreenLampOff << BlueLampOff << SourceOff << NIR660Off << NIR740On;
        break;
    default:
        break;
    }
    if (autoMatchFilter)
        data << filterByte(pos);
    sendLightCmd(CmdMultLight, data);
}

void IC_MainControl::_MultiLightCmd(int lightType, bool on)
{
    qDebug() << "执行到此处";
    QList<Data_Bits> data;
    if (m_authorityType == EnumOBJ::AllAuthorityTS) {
        switch (lightType) {
        case EnumOBJ::White: data << (on ? SourceOn : SourceOff); break;
        case EnumOBJ::R625nm: data << (on ? RedLampOn : RedLampOff); break;
        case EnumOBJ::G520nm: data << (on ? GreenLampOn : GreenLampOff); break;
        case EnumOBJ::B470nm: data << (on ? BlueLampOn : BlueLampOff); break;
        case EnumOBJ::IR660nm: data << (on ? NIR660On : NIR660Off); break;
        case EnumOBJ::IR740nm: data << (on ? NIR740On : NIR740Off); break;
        default: return;
        }
    }
    sendLightCmd(CmdMultLight, data);
}

void IC_MainControl::_GelTSFilterChanged(int pos)
{
    sendLightCmd(CmdGelLight, {filterByte(pos)});
}

void IC_MainControl::_MultTSFilterChanged(int pos)
{
    _GelTSFilterChanged(pos);
}

void IC_MainControl::lensCmd(Ctrl_Bits ctrl_bit, QList<Data_Bits> bitsList)
{
    sendFrame(ctrl_bit, bitsList);
}

void IC_MainControl::lensCtrl(int value)
{
    lensCmd(CmdSetZoom, lensPositionBytes(value));
}

void IC_MainControl::_FocusChanged(int value)
{
    if (focusMoveThread) {
        qDebug() << "lens move already running, ignored:" << value;
        return;
    }
    auto* thread = new FocusMoveThread(value, nullptr);
    focusMoveThread = thread;
    connect(thread, &FocusMoveThread::sig_LensErrorOccur, this, [this] { reportError(EnumOBJ::LensErr); });
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->deleteLater();
        focusMoveThread = nullptr;
        emit focusMoved();
    });
    thread->start(QThread::InheritPriority);
}

void IC_MainControl::stopAutoFocus()
{
    if (gelTSPreviewThread || wbTSPreviewThread || multTSPreviewThread)
        h695ICECamCtrl->isFocusStop = true;
}

IC_MainControl::AtFocusPlan IC_MainControl::atFocusPlan(EnumOBJ::ExpMode mode, int authorityType, int focusPosition)
{
    AtFocusPlan plan;
    bool ranged = false;
    switch (mode) {
    case EnumOBJ::WB:
        ranged = hasSerialLens(authorityType);
        plan.startOption = focusPosition != 0 ? UserOpts::OPT_LastFocusUpWb : UserOpts::OPT_LastFocusDownWb;
        break;
    case EnumOBJ::Gel:
        ranged = hasSerialLens(authorityType) && authorityType >= EnumOBJ::GelAndWBTS695_Auto;
        plan.startOption = UserOpts::OPT_LastFocusGel;
        break;
    case EnumOBJ::Mult:
        ranged = hasSerialLens(authorityType) && authorityType >= EnumOBJ::AllAuthorityTS695_Auto;
        plan.startOption = UserOpts::OPT_LastFocusFul;
        break;
    default:
        break;
    }
    if (ranged) {
        plan.focusMin = kSerialFocusMin;
        plan.focusMax = kSerialFocusMax;
    }
    return plan;
}

void IC_MainControl::startAtFocus(EnumOBJ::ExpMode mode, bool previewRunning)
{
    if (!previewRunning) {
        qDebug() << "autofocus needs a running preview, ignored; mode:" << mode;
        return;
    }
    if (atFocusThread) {
        qDebug() << "autofocus already running, ignored; mode:" << mode;
        return;
    }
    const AtFocusPlan plan = atFocusPlan(mode, m_authorityType, userOpt->focusPosition());
    // The preview takes turns with the lens side: this first permit lets the lens move first.
    h695ICECamCtrl->sem1.release(1);
    h695ICECamCtrl->isFocusStop = false;
    userOpt->loadUserOptsByName(static_cast<UserOpts::UserOptType>(plan.startOption));
    int start = 0;
    switch (plan.startOption) {
    case UserOpts::OPT_LastFocusUpWb: start = userOpt->lastFocusUpWb(); break;
    case UserOpts::OPT_LastFocusDownWb: start = userOpt->lastFocusDownWb(); break;
    case UserOpts::OPT_LastFocusGel: start = userOpt->lastFocusGel(); break;
    case UserOpts::OPT_LastFocusFul: start = userOpt->lastFocusFul(); break;
    default: break;
    }
    qDebug() << "autofocus range:" << plan.focusMin << plan.focusMax << "start:" << start;
    auto* thread = new SpacecomAtFocusThread(plan.focusMin, plan.focusMax, start, nullptr);
    atFocusThread = thread;
    connect(thread, &SpacecomAtFocusThread::sig_FocusMove, this, &IC_MainControl::lensCtrl);
    connect(thread, &QThread::finished, this, [this, thread, mode] {
        emit setAFFinished();
        thread->deleteLater();
        atFocusThread = nullptr;
        // The next run starts with an empty window of focus values.
        if (mode == EnumOBJ::WB && wbTSPreviewThread)
            wbTSPreviewThread->clearFocusValues();
    });
    thread->start(QThread::InheritPriority);
}

void IC_MainControl::_WBTSSpacecomAtFocus()
{
    startAtFocus(EnumOBJ::WB, wbTSPreviewThread != nullptr);
}

void IC_MainControl::_GelTSSpacecomAtFocus()
{
    startAtFocus(EnumOBJ::Gel, gelTSPreviewThread != nullptr);
}

void IC_MainControl::_MultTSSpacecomAtFocus()
{
    startAtFocus(EnumOBJ::Mult, multTSPreviewThread != nullptr);
}

void IC_MainControl::_GelTS20BWOpenBlueLight(int percent)
{
    sendLightCmd(CmdBluePercent, {static_cast<Data_Bits>(std::clamp(percent, 0, kMaxBluePercent))});
}

void IC_MainControl::requestBoardType()
{
    sendFrame(CmdGelLight, {BoardTypeQuery});
}

void IC_MainControl::_GelTS20BWReleaseDoor()
{
    sendFrame(CmdGelLight, {DoorEject});
}

void IC_MainControl::_GelTS20BWSetAverageGrayThd(int value)
{
    h695ICECamCtrl->setExposureThreshold(value);
}
