// The bridge interface of the virtual SMBus bridges: every call takes the model's lock, may be
// claimed by a test script, and is written to the call log with its status.

#include "device.h"

#include "cabinetstate.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace smbussim;

#define SMBUS_ENTER(name, ...)                              \
    Model& m = model();                                     \
    std::lock_guard<std::mutex> lock(m.mutex);              \
    const char* fn = name;                                  \
    std::vector<int64_t> args {__VA_ARGS__};                \
    {                                                       \
        int32_t s = 0;                                      \
        if (scripted(m, fn, s))                             \
            return record(m, fn, args, s);                  \
    }

#define SMBUS_BRIDGE()                                      \
    BridgeState* bridge = bridgeOf(m, device);              \
    if (!bridge)                                            \
        return record(m, fn, args, HID_SMBUS_INVALID_DEVICE_OBJECT);

extern "C" {

HID_SMBUS_STATUS HidSmbus_GetNumDevices(uint32_t* numDevices, uint16_t vid, uint16_t pid)
{
    SMBUS_ENTER("HidSmbus_GetNumDevices", vid, pid)
    if (!numDevices)
        return record(m, fn, args, HID_SMBUS_INVALID_PARAMETER);
    *numDevices = (vid == 0x10C4 && pid == 0x8D08) ? uint32_t(m.bridgeCount) : 0;
    return record(m, fn, args, HID_SMBUS_SUCCESS);
}

HID_SMBUS_STATUS HidSmbus_GetString(uint32_t deviceNum, uint16_t vid, uint16_t pid, char* deviceString,
                                    int32_t options)
{
    SMBUS_ENTER("HidSmbus_GetString", deviceNum, vid, pid, options)
    if (!deviceString || options < HID_SMBUS_GET_VID_STR || options > HID_SMBUS_GET_PRODUCT_STR)
        return record(m, fn, args, HID_SMBUS_INVALID_PARAMETER);
    if (vid != 0x10C4 || pid != 0x8D08 || deviceNum >= m.bridgeCount)
        return record(m, fn, args, HID_SMBUS_DEVICE_NOT_FOUND);
    const BridgeState& b = *m.bridges[deviceNum];
    if (b.config.serialFails)
        return record(m, fn, args, HID_SMBUS_READ_ERROR);
    const char* text = "";
    char ids[8];
    switch (options) {
    case HID_SMBUS_GET_SERIAL_STR: text = b.config.serial.c_str(); break;
    case HID_SMBUS_GET_VID_STR: std::snprintf(ids, sizeof ids, "%04X", vid); text = ids; break;
    case HID_SMBUS_GET_PID_STR: std::snprintf(ids, sizeof ids, "%04X", pid); text = ids; break;
    case HID_SMBUS_GET_PRODUCT_STR: text = "USB SMBus bridge"; break;
    case HID_SMBUS_GET_MANUFACTURER_STR: text = "Virtual cabinet"; break;
    default: text = "virtual"; break;
    }
    std::snprintf(deviceString, HID_SMBUS_DEVICE_STRLEN, "%s", text);
    return record(m, fn, args, HID_SMBUS_SUCCESS);
}

HID_SMBUS_STATUS HidSmbus_Open(HID_SMBUS_DEVICE* device, uint32_t deviceNum, uint16_t vid, uint16_t pid)
{
    SMBUS_ENTER("HidSmbus_Open", deviceNum, vid, pid)
    if (!device)
        return record(m, fn, args, HID_SMBUS_INVALID_PARAMETER);
    if (vid != 0x10C4 || pid != 0x8D08 || deviceNum >= m.bridgeCount)
        return record(m, fn, args, HID_SMBUS_DEVICE_NOT_FOUND);
    BridgeState& b = *m.bridges[deviceNum];
    if (b.open)
        return record(m, fn, args, HID_SMBUS_DEVICE_ACCESS_ERROR);
    b.open = true;
    *device = &b;
    return record(m, fn, args, HID_SMBUS_SUCCESS);
}

HID_SMBUS_STATUS HidSmbus_Close(HID_SMBUS_DEVICE device)
{
    SMBUS_ENTER("HidSmbus_Close")
    SMBUS_BRIDGE()
    bridge->open = false;
    m.pending.clear();
    m.available.clear();
    return record(m, fn, args, HID_SMBUS_SUCCESS);
}

HID_SMBUS_STATUS HidSmbus_SetSmbusConfig(HID_SMBUS_DEVICE device, uint32_t bitRate, uint8_t address,
                                         int32_t autoReadRespond, uint16_t writeTimeout, uint16_t readTimeout,
                                         int32_t sclLowTimeout, uint16_t transferRetries)
{
    SMBUS_ENTER("HidSmbus_SetSmbusConfig", bitRate, address, autoReadRespond, writeTimeout, readTimeout,
                sclLowTimeout, transferRetries)
    SMBUS_BRIDGE()
    if (bitRate == 0 || (address & 1) || writeTimeout > 1000 || readTimeout > 1000 || transferRetries > 1000)
        return record(m, fn, args, HID_SMBUS_INVALID_PARAMETER);
    return record(m, fn, args, HID_SMBUS_SUCCESS);
}

HID_SMBUS_STATUS HidSmbus_SetGpioConfig(HID_SMBUS_DEVICE device, uint8_t direction, uint8_t mode, uint8_t special,
                                        uint8_t clkDiv)
{
    SMBUS_ENTER("HidSmbus_SetGpioConfig", direction, mode, special, clkDiv)
    SMBUS_BRIDGE()
    return record(m, fn, args, HID_SMBUS_SUCCESS);
}

HID_SMBUS_STATUS HidSmbus_SetTimeouts(HID_SMBUS_DEVICE device, uint32_t responseTimeout)
{
    SMBUS_ENTER("HidSmbus_SetTimeouts", responseTimeout)
    SMBUS_BRIDGE()
    return record(m, fn, args, HID_SMBUS_SUCCESS);
}

HID_SMBUS_STATUS HidSmbus_WriteRequest(HID_SMBUS_DEVICE device, uint8_t slaveAddress, uint8_t* buffer,
                                       uint8_t numBytesToWrite)
{
    std::vector<int64_t> written {slaveAddress, numBytesToWrite};
    if (buffer) {
        for (int i = 0; i < numBytesToWrite; ++i)
            written.push_back(buffer[i]);
    }
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    const char* fn = "HidSmbus_WriteRequest";
    std::vector<int64_t>& args = written;
    int32_t s = 0;
    if (scripted(m, fn, s))
        return record(m, fn, args, s);
    SMBUS_BRIDGE()
    if (!buffer)
        return record(m, fn, args, HID_SMBUS_INVALID_PARAMETER);
    if (numBytesToWrite < 1 || numBytesToWrite > 61)
        return record(m, fn, args, HID_SMBUS_INVALID_REQUEST_LENGTH);
    if (slaveAddress != kLensAddress)
        return record(m, fn, args, HID_SMBUS_WRITE_ERROR);
    if (numBytesToWrite >= 2)
        m.pointer = uint16_t(buffer[0] << 8 | buffer[1]);
    if (numBytesToWrite >= 4)
        writeRegister(m, m.pointer, uint16_t(buffer[2] << 8 | buffer[3]));
    return record(m, fn, args, HID_SMBUS_SUCCESS);
}

HID_SMBUS_STATUS HidSmbus_ReadRequest(HID_SMBUS_DEVICE device, uint8_t slaveAddress, uint16_t numBytesToRead)
{
    SMBUS_ENTER("HidSmbus_ReadRequest", slaveAddress, numBytesToRead)
    SMBUS_BRIDGE()
    if (numBytesToRead < 1 || numBytesToRead > HID_SMBUS_MAX_READ_REQUEST)
        return record(m, fn, args, HID_SMBUS_INVALID_REQUEST_LENGTH);
    if (slaveAddress != kLensAddress)
        return record(m, fn, args, HID_SMBUS_READ_ERROR);
    m.pending.clear();
    m.available.clear();
    for (int i = 0; i < numBytesToRead; i += 2) {
        const uint16_t v = readRegister(m, uint16_t(m.pointer + i));
        m.pending.push_back(uint8_t(v >> 8));
        if (i + 1 < numBytesToRead)
            m.pending.push_back(uint8_t(v & 0xFF));
    }
    return record(m, fn, args, HID_SMBUS_SUCCESS);
}

HID_SMBUS_STATUS HidSmbus_ForceReadResponse(HID_SMBUS_DEVICE device, uint16_t numBytesToRead)
{
    SMBUS_ENTER("HidSmbus_ForceReadResponse", numBytesToRead)
    SMBUS_BRIDGE()
    if (numBytesToRead < 1 || numBytesToRead > HID_SMBUS_MAX_READ_REQUEST)
        return record(m, fn, args, HID_SMBUS_INVALID_REQUEST_LENGTH);
    for (int i = 0; i < numBytesToRead && !m.pending.empty() && !m.dropResponses; ++i) {
        m.available.push_back(m.pending.front());
        m.pending.pop_front();
    }
    return record(m, fn, args, HID_SMBUS_SUCCESS);
}

HID_SMBUS_STATUS HidSmbus_GetReadResponse(HID_SMBUS_DEVICE device, uint8_t* status, uint8_t* buffer,
                                          uint8_t bufferSize, uint8_t* numBytesRead)
{
    SMBUS_ENTER("HidSmbus_GetReadResponse", bufferSize)
    SMBUS_BRIDGE()
    if (!status || !buffer || !numBytesRead)
        return record(m, fn, args, HID_SMBUS_INVALID_PARAMETER);
    const size_t n = std::min<size_t>({m.available.size(), size_t(bufferSize), size_t(HID_SMBUS_MAX_READ_RESPONSE)});
    for (size_t i = 0; i < n; ++i) {
        buffer[i] = m.available.front();
        m.available.pop_front();
    }
    *numBytesRead = uint8_t(n);
    *status = m.available.empty() && m.pending.empty() ? HID_SMBUS_S0_COMPLETE : HID_SMBUS_S0_BUSY;
    return record(m, fn, args, HID_SMBUS_SUCCESS);
}

} // extern "C"
