#include "smbuslensctrl.h"

#include "hidsmbus.h"

#include <QThread>

#include <algorithm>
#include <cstdlib>

namespace SmbusLensCtrl {

namespace {

constexpr uint16_t kVid = 0x10C4;
constexpr uint16_t kPid = 0x8D08;
constexpr uint8_t kLensAddress = 0x40;
constexpr uint32_t kBitRate = 100000;
constexpr uint16_t kStatusRegister = 0x0042;
constexpr uint16_t kFocusBusy = 0x04;
constexpr int kRiseReads = 20;
constexpr int kMinLimit = 2000;
constexpr int kFetchBuffer = 62;
// A bridge that keeps answering with no bytes would hold the read forever.
constexpr int kMaxFetches = 64;

HID_SMBUS_DEVICE g_device = nullptr;
std::vector<uint8_t> g_readBuffer;
uint16_t g_focusPosition = 0;
uint16_t g_focusMin = 0;
uint16_t g_focusMax = 0;
uint16_t g_focusSpeed = 0;
uint16_t g_register0044 = 0;

} // namespace

int getNumDevices(uint32_t& count)
{
    return HidSmbus_GetNumDevices(&count, kVid, kPid);
}

int getSerialString(uint32_t index, std::string& serial)
{
    char text[HID_SMBUS_DEVICE_STRLEN] = {};
    const int status = HidSmbus_GetString(index, kVid, kPid, text, HID_SMBUS_GET_SERIAL_STR);
    serial = status == HID_SMBUS_SUCCESS ? std::string(text) : std::string();
    return status;
}

int open(uint32_t index)
{
    return HidSmbus_Open(&g_device, index, kVid, kPid);
}

int close()
{
    const int status = HidSmbus_Close(g_device);
    if (status == HID_SMBUS_SUCCESS)
        g_device = nullptr;
    return status;
}

int configure()
{
    int status = HidSmbus_SetSmbusConfig(g_device, kBitRate, kLensAddress, 0, 1000, 1000, 0, 0);
    if (status != HID_SMBUS_SUCCESS)
        return status;
    status = HidSmbus_SetGpioConfig(g_device, 0xFF, 0x00, 0x00, 0xFF);
    if (status != HID_SMBUS_SUCCESS)
        return status;
    return HidSmbus_SetTimeouts(g_device, 0);
}

int readRegister(uint16_t reg, int count)
{
    if (count < 1 || count > HID_SMBUS_MAX_READ_REQUEST)
        return HID_SMBUS_INVALID_REQUEST_LENGTH;
    uint8_t address[2] = {uint8_t(reg >> 8), uint8_t(reg & 0xFF)};
    int status = HidSmbus_WriteRequest(g_device, kLensAddress, address, 2);
    if (status != HID_SMBUS_SUCCESS)
        return status;
    status = HidSmbus_ReadRequest(g_device, kLensAddress, uint16_t(count));
    if (status != HID_SMBUS_SUCCESS)
        return status;
    status = HidSmbus_ForceReadResponse(g_device, uint16_t(count));
    if (status != HID_SMBUS_SUCCESS)
        return status;
    std::vector<uint8_t> bytes;
    for (int fetch = 0; int(bytes.size()) < count; ++fetch) {
        if (fetch == kMaxFetches)
            return HID_SMBUS_READ_TIMED_OUT;
        uint8_t s0 = 0, got = 0;
        uint8_t chunk[kFetchBuffer];
        status = HidSmbus_GetReadResponse(g_device, &s0, chunk, kFetchBuffer, &got);
        if (status != HID_SMBUS_SUCCESS)
            return status;
        bytes.insert(bytes.end(), chunk, chunk + std::min<int>(got, kFetchBuffer));
    }
    g_readBuffer = std::move(bytes);
    return HID_SMBUS_SUCCESS;
}

int writeRegister(uint16_t reg, uint16_t value)
{
    uint8_t bytes[4] = {uint8_t(reg >> 8), uint8_t(reg & 0xFF), uint8_t(value >> 8), uint8_t(value & 0xFF)};
    return HidSmbus_WriteRequest(g_device, kLensAddress, bytes, 4);
}

uint16_t readValue()
{
    if (g_readBuffer.size() < 2)
        return 0;
    return uint16_t(g_readBuffer[0] * 256 + g_readBuffer[1]);
}

int readFocusLimits()
{
    uint16_t* targets[] = {&g_focusMin, &g_focusMax, &g_focusSpeed};
    const uint16_t regs[] = {0x2012, 0x2014, 0x201A};
    for (int i = 0; i < 3; ++i) {
        const int status = readRegister(regs[i], 2);
        if (status != HID_SMBUS_SUCCESS)
            return status;
        *targets[i] = readValue();
    }
    return HID_SMBUS_SUCCESS;
}

int setFocusParam(uint16_t value)
{
    return writeRegister(0x2006, value);
}

int moveLimit(int distance, uint16_t speed)
{
    if (speed == 0)
        return -1;
    return std::max(kMinLimit, distance * 1100 / int(speed));
}

int waitStatusBit(uint16_t reg, uint16_t mask, int limit)
{
    bool rose = false;
    for (int i = 0; i < kRiseReads && !rose; ++i) {
        const int status = readRegister(reg, 2);
        if (status != HID_SMBUS_SUCCESS)
            return status;
        // The 20th value only ends the rise phase.
        rose = i < kRiseReads - 1 && (readValue() & mask) == mask;
    }
    if (!rose)
        return kStatusBitHigh;
    for (int count = 0;;) {
        const int status = readRegister(reg, 2);
        if (status != HID_SMBUS_SUCCESS)
            return status;
        if (++count >= limit)
            return kStatusBitLow;
        // Polling interval of the lens controller, not a physical time: never scaled.
        QThread::msleep(1);
        if ((readValue() & mask) == 0)
            return HID_SMBUS_SUCCESS;
    }
}

int initFocus()
{
    const int limit = moveLimit(uint16_t(g_focusMax - g_focusMin), g_focusSpeed);
    if (limit < 0)
        return kInvalidParameter;
    int status = writeRegister(0x2008, 1);
    if (status != HID_SMBUS_SUCCESS)
        return status;
    status = waitStatusBit(kStatusRegister, kFocusBusy, limit);
    if (status != HID_SMBUS_SUCCESS)
        return status;
    status = readRegister(0x2000, 2);
    if (status != HID_SMBUS_SUCCESS)
        return status;
    g_focusPosition = readValue();
    if (readRegister(0x0044, 2) == HID_SMBUS_SUCCESS)
        g_register0044 = readValue();
    return HID_SMBUS_SUCCESS;
}

int moveFocus(uint16_t target)
{
    const int limit = moveLimit(std::abs(int(target) - int(g_focusPosition)), g_focusSpeed);
    if (limit < 0)
        return kInvalidParameter;
    int status = writeRegister(0x2000, target);
    if (status != HID_SMBUS_SUCCESS)
        return status;
    status = waitStatusBit(kStatusRegister, kFocusBusy, limit);
    if (status != HID_SMBUS_SUCCESS)
        return status;
    status = readRegister(0x2000, 2);
    if (status != HID_SMBUS_SUCCESS)
        return status;
    g_focusPosition = readValue();
    return HID_SMBUS_SUCCESS;
}

QString errorText(int code)
{
    switch (code) {
    case 1: return QStringLiteral("Device not found.\n");
    case 2: return QStringLiteral("Invalid handle.\n");
    case 3: return QStringLiteral("Invalid device object.\n");
    case 4: return QStringLiteral("Invalid parameter.\n");
    case 5: return QStringLiteral("Invalid request length.\n");
    case 16: return QStringLiteral("Read error.\n");
    case 17: return QStringLiteral("Write error.\n");
    case 18: return QStringLiteral("Read time out.\n");
    case 19: return QStringLiteral("Write time out.\n");
    case 20: return QStringLiteral("Device IO failed.\n");
    case 21: return QStringLiteral("Device access error.\r\nThe device may already be running.\n");
    case 22: return QStringLiteral("Device not supported.\n");
    case 80: return QStringLiteral("Status bit hi error.\n");
    case 81: return QStringLiteral("Status bit low error.\n");
    default: return QString();
    }
}

uint16_t focusPosition() { return g_focusPosition; }
uint16_t focusMin() { return g_focusMin; }
uint16_t focusMax() { return g_focusMax; }
uint16_t focusSpeed() { return g_focusSpeed; }
uint16_t register0044() { return g_register0044; }
const std::vector<uint8_t>& readBuffer() { return g_readBuffer; }

} // namespace SmbusLensCtrl
