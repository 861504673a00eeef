#include "cabinetlights.h"

#include "asyncserialportthread.h"
#include "camerarun.h"
#include "lightctrl.h"

namespace acq {

namespace {
constexpr int kLampSettleMs = 300;
}

CabinetLights::CabinetLights(LightCtrl* light, ASyncSerialPortThread* link, bool isMini,
                             std::function<void(bool)> changed)
    : m_light(light)
    , m_link(link)
    , m_mini(isMini)
    , m_changed(std::move(changed))
{
}

void CabinetLights::lightOn()
{
    if (m_mini)
        m_link->setCurCmd(m_light->sendCmd(CmdMainLight, WhiteLightOn));
    else
        m_link->setCurCmd(m_light->sendCmd(CmdMainLight, QList<Data_Bits> {PowerOn, SourceOn}));
    m_on = true;
    if (m_changed)
        m_changed(true);
    pauseMs(kLampSettleMs);
}

void CabinetLights::lightOff()
{
    if (m_mini)
        m_link->setCurCmd(m_light->sendCmd(CmdMainLight, WhiteLightOff));
    else
        m_link->setCurCmd(m_light->sendCmd(CmdMainLight, QList<Data_Bits> {PowerOff}));
    m_on = false;
    if (m_changed)
        m_changed(false);
    pauseMs(kLampSettleMs);
}

void CabinetLights::send(quint8 data)
{
    m_link->setCurCmd(m_light->sendCmd(CmdMainLight, Data_Bits(data)));
}

} // namespace acq
