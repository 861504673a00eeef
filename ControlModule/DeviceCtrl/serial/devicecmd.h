#pragma once
// Command codes and data bytes of the cabinet's controller board. Both travel as one byte;
// the fixed underlying type makes every byte value a valid enumerator value, so percentages and
// lens positions travel in the same type.

#include <QMetaType>
#include <QString>

enum Ctrl_Bits : quint8 {
    CmdHandShake = 0xA1,
    CmdInitStatus = 0xAA,     // the board answers with its state report
    CmdTimedShutDown = 0xCC,  // one byte: the light auto-shut-down time
    CmdResend = 0xEE,         // ask the board to send its last reply again
    CmdGelLight = 0xF1,       // gel and single-board cabinets: lights, UV, filter, door, board type
    CmdMainLight = 0xF2,      // Western-blot and colour-marker lights
    CmdMultLight = 0xF3,      // multi-fluorescence lights
    CmdBluePercent = 0xF4,    // one byte: blue-light brightness in percent
    CmdSetFocus = 0xB0,
    CmdReadFocus = 0xB1,
    CmdSetZoom = 0xB2,        // two bytes, high first: the lens position
    CmdReadZoom = 0xB3,
    CmdFocusTimes = 0xB4,
    CmdZoomTimes = 0xB5,
    CmdIrisTimes = 0xB6,
};

enum Data_Bits : quint8 {
    BoardTypeQuery = 0x00,
    PowerOn = 0x01,
    SourceOn = 0x02,
    UV302_1On = 0x03,
    UV302_2On = 0x04,
    UV254On = 0x05,
    UV365On = 0x06,
    RedLampOn = 0x07,
    GreenLampOn = 0x08,
    BlueLampOn = 0x09,
    NIR740On = 0x0A,
    IrisUp = 0x0B,
    IrisDown = 0x0C,
    ZoomUp = 0x0D,
    ZoomDown = 0x0E,
    FocusUp = 0x0F,
    FocusDown = 0x10,
    Filter0 = 0x11,
    Filter535 = 0x12,
    Filter590 = 0x13,
    Filter605 = 0x14,
    Filter700 = 0x15,
    Filter715_840 = 0x16,
    Filter810 = 0x17,
    FilterReset = 0x18,
    DoorEject = 0x1A,
    NIR660On = 0x1B,
    MiniWhiteOn = 0x20,
    MiniWhiteOff = 0x21,
    MiniUVOn = 0x22,
    MiniUVOff = 0x23,
    MiniBlueOn = 0x24,
    MiniBlueOff = 0x25,
    RedLightOn = 0x26,
    RedLightOff = 0x27,
    GreenLightOn = 0x28,
    GreenLightOff = 0x29,
    BlueLightOn = 0x2A,
    BlueLightOff = 0x2B,
    WhiteLightOn = 0x2C,
    WhiteLightOff = 0x2D,
    FilterUnknown = 0x2E,     // sent for a filter position without a byte of its own
    PlateReportWhite = 0xA1,  // plate reports come from the board only
    PlateReportUV = 0xA2,
    PlateReportBlue = 0xA3,
    PlateReportBlack = 0xA4,
    PlateReportNone = 0xA5,
    PowerOff = 0xC1,
    SourceOff = 0xC2,
    UV302_1Off = 0xC3,
    UV302_2Off = 0xC4,
    UV254Off = 0xC5,
    UV365Off = 0xC6,
    RedLampOff = 0xC7,
    GreenLampOff = 0xC8,
    BlueLampOff = 0xC9,
    NIR740Off = 0xCA,
    NIR660Off = 0xCB,
};

// The log text of one data byte of an echoed command; "未知Data_Bits。" for bytes without one.
QString dataBitsEchoText(quint8 byte);

Q_DECLARE_METATYPE(Ctrl_Bits)
Q_DECLARE_METATYPE(Data_Bits)
