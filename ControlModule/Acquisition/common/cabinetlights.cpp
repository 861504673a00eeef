#include "cabinetlights.h"

#include "asyncserialportthread.h"
#include "camerarun.h"
#include "lightctrl.h"
#include "modbusmaster.h"

#include <QDebug>

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

// The board switches as it answers: the lamp's settle time counts from its answer, not from
// the command being queued (the line may be busy longer than the lamp needs).
void CabinetLights::switchLamp(const QList<Data_Bits>& data)
{
    const QByteArray frame = ModbusMaster::packFrame(CmdMainLight, char(data.size()), data);
    m_link->setCurCmd(frame);
    if (!m_link->isRunning()) {
        m_link->writeData(frame);
        return;
    }
    const QByteArray reply = m_link->exchange(frame);
    if (reply.isEmpty())
        qWarning() << "lamp command unanswered:" << frame.toHex();
}

void CabinetLights::lightOn()
{
    if (m_mini)
        switchLamp({WhiteLightOn});
    else
        switchLamp({PowerOn, SourceOn});
    m_on = true;
    if (m_changed)
        m_changed(true);
    pauseMs(kLampSettleMs);
}

void CabinetLights::lightOff()
{
    if (m_mini)
        switchLamp({WhiteLightOff});
    else
        switchLamp({PowerOff});
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
