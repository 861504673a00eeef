#include "devicecmd.h"

QString dataBitsEchoText(quint8 byte)
{
    const char* text = nullptr;
    switch (byte) {
    case 0x01: text = "电源打开。"; break;
    case 0xC1: text = "电源关闭。"; break;
    case 0x02: text = "光源打开。"; break;
    case 0xC2: text = "光源关闭。"; break;
    case 0x03: text = "UV302_1打开。"; break;
    case 0xC3: text = "UV302_1关闭。"; break;
    case 0x04: text = "UV302_2打开。"; break;
    case 0xC4: text = "UV302_2关闭。"; break;
    case 0x05: text = "UV254打开。"; break;
    case 0xC5: text = "UV254关闭。"; break;
    case 0x06: text = "UV365打开。"; break;
    case 0xC6: text = "UV365关闭。"; break;
    case 0x07: text = "红灯开。"; break;
    case 0xC7: text = "红灯关。"; break;
    case 0x08: text = "绿灯开。"; break;
    case 0xC8: text = "绿灯关。"; break;
    case 0x09: text = "蓝灯开。"; break;
    case 0xC9: text = "蓝灯关。"; break;
    case 0x0A: text = "近红外740开。"; break;
    case 0xCA: text = "近红外740关。"; break;
    case 0x1B: text = "近红外660开。"; break;
    case 0xCB: text = "近红外660关。"; break;
    case 0x0B: text = "Iris加。"; break;
    case 0x0C: text = "Iris减。"; break;
    case 0x0D: text = "Zoom加。"; break;
    case 0x0E: text = "Zoom减。"; break;
    case 0x0F: text = "Focus加。"; break;
    case 0x10: text = "Focus减。"; break;
    case 0x11: text = "滤光片0。"; break;
    case 0x12: text = "滤光片535nm."; break;
    case 0x13: text = "滤光片590nm."; break;
    case 0x14: text = "滤光片605nm."; break;
    case 0x15: text = "滤光片700nm."; break;
    case 0x16: text = "滤光片715nm/840nm."; break;
    case 0x17: text = "滤光片810nm."; break;
    case 0x18: text = "滤光片重置."; break;
    case 0x1A: text = "门弹出。"; break;
    case 0x20: text = "S20Mini白光开。"; break;
    case 0x21: text = "S20Mini白光关。"; break;
    case 0x22: text = "S20Mini紫外开。"; break;
    case 0x23: text = "S20Mini紫外关。"; break;
    case 0x24: text = "S20Mini蓝光开。"; break;
    case 0x25: text = "S20Mini蓝光关。"; break;
    case 0x26: text = "红光开。"; break;
    case 0x28: text = "绿光开。"; break;
    case 0x2A: text = "蓝光开。"; break;
    case 0x2C: text = "白光开。"; break;
    // The colour lights share one off text: the board switches the light source off.
    case 0x27:
    case 0x29:
    case 0x2B:
    case 0x2D: text = "光源关闭。"; break;
    case 0xA1: text = "白光灯板。"; break;
    case 0xA2: text = "紫外灯板。"; break;
    case 0xA3: text = "蓝光灯板。"; break;
    case 0xA4: text = "黑色板。"; break;
    case 0xA5: text = "无板。"; break;
    default: text = "未知Data_Bits。"; break;
    }
    return QString::fromUtf8(text);
}
