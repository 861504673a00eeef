#pragma once
// The cabinet's sample light and filter wheel as the acquisition threads switch them: one 0xF2
// command each, stored as the serial link's current command (its echo is decoded against it),
// with the settle time the lamps need.

#include <QList>
#include <QtGlobal>

#include <functional>

#include "devicecmd.h"

class ASyncSerialPortThread;
class LightCtrl;

namespace acq {

class CabinetLights {
public:
    // isMini: the cabinet's white light is a lamp of its own (0x2C / 0x2D); otherwise the light
    // is power and source together (0x01 0x02 / 0xC1). changed (may be empty) hears every switch.
    CabinetLights(LightCtrl* light, ASyncSerialPortThread* link, bool isMini,
                  std::function<void(bool on)> changed = {});

    // The light on or off once the board has answered, then 300 ms for the lamp.
    void lightOn();
    void lightOff();
    // Whether the last switch left the light on.
    bool isOn() const { return m_on; }
    // One command with one data byte (a coloured lamp or a filter position), no pause.
    void send(quint8 data);

private:
    void switchLamp(const QList<Data_Bits>& data);

    LightCtrl* m_light;
    ASyncSerialPortThread* m_link;
    bool m_mini;
    std::function<void(bool)> m_changed;
    bool m_on = false;
};

} // namespace acq
