// Device model of the virtual SMBus bridges and the lens controller at address 0x40 behind
// them: 16-bit big-endian registers, focus and zoom drives whose busy bits rise with a move
// and fall after the travel time (times the cabinet's time scale), and the scripts and call
// log of hidsmbus_test.h.

#include "hidsmbus.h"
#include "hidsmbus_test.h"

#include "cabinetstate.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint8_t kLensAddress = 0x40;
constexpr uint16_t kStatusRegister = 0x0042;
constexpr uint16_t kFocusBusy = 0x04;
constexpr uint16_t kZoomBusy = 0x08;
// Even a move to the current position runs the drive briefly, so the busy bit is seen.
constexpr double kMinTravelMs = 20.0;

struct Axis {
    double from = 0, target = 0;
    Clock::time_point start;
    double durationMs = 0;
    bool moving = false;
    int statusReads = 0;
};

struct BridgeState {
    smbustest::Bridge config;
    bool open = false;
};

struct Model {
    std::mutex mutex;
    std::vector<std::unique_ptr<BridgeState>> bridges;
    smbustest::Lens lens;
    smbustest::Busy busy = smbustest::Busy::Normal;
    int riseOnRead = 20;
    bool dropResponses = false;
    Axis focus, zoom;
    std::map<uint16_t, uint16_t> registers;
    uint16_t pointer = 0;
    std::deque<uint8_t> pending, available;
    std::map<std::string, std::deque<int32_t>> scripts;
    std::map<std::string, int32_t> always;
    std::vector<smbustest::CallRecord> log;
    int focusInitCount = 0;
    std::vector<uint16_t> focusTargets;

    size_t bridgeCount = 1;   // bridges present; the vector only grows so handles never dangle

    Model() { bridges.push_back(std::make_unique<BridgeState>()); }
};

Model& model()
{
    static Model m;
    return m;
}

double travelMs(double from, double to, uint16_t speed)
{
    const double distance = std::abs(to - from);
    const double ms = speed ? distance * 1000.0 / speed : 0.0;
    return std::max(kMinTravelMs, ms) * vcab::timeScale();
}

// Advances a drive to the present; returns its position.
double positionOf(Axis& axis, double resting)
{
    if (!axis.moving)
        return resting;
    const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - axis.start).count();
    if (axis.durationMs <= 0.0 || elapsed >= axis.durationMs)
        return axis.target;
    return axis.from + (axis.target - axis.from) * elapsed / axis.durationMs;
}

void advance(Model& m)
{
    const double focus = positionOf(m.focus, m.lens.focusPosition);
    const double zoom = positionOf(m.zoom, m.lens.zoomPosition);
    const bool stuck = m.busy == smbustest::Busy::NeverFalls || m.busy == smbustest::Busy::NeverRises;
    if (!stuck) {
        m.lens.focusPosition = uint16_t(focus);
        m.lens.zoomPosition = uint16_t(zoom);
        // A drive is busy for at least as long as it takes the program to see its bit: with a
        // scaled-down travel time a loaded machine would otherwise miss a short move entirely.
        const int readsBeforeFall = m.busy == smbustest::Busy::RisesLate ? m.riseOnRead : 1;
        for (Axis* axis : {&m.focus, &m.zoom}) {
            if (axis->moving && axis->statusReads >= readsBeforeFall
                && std::chrono::duration<double, std::milli>(Clock::now() - axis->start).count() >= axis->durationMs)
                axis->moving = false;
        }
    }
    const int f = m.lens.focusPosition, z = m.lens.zoomPosition;
    vcab::CabinetState::instance().update([&](vcab::CabinetSnapshot& s) {
        s.smbusFocus = f;
        s.smbusZoom = z;
    });
}

bool busyShown(Model& m, Axis& axis)
{
    ++axis.statusReads;
    switch (m.busy) {
    case smbustest::Busy::NeverRises: return false;
    case smbustest::Busy::NeverFalls: return axis.moving;
    case smbustest::Busy::RisesLate: return axis.moving && axis.statusReads >= m.riseOnRead;
    default: return axis.moving;
    }
}

uint16_t readRegister(Model& m, uint16_t reg)
{
    advance(m);
    switch (reg) {
    case kStatusRegister: {
        uint16_t v = 0;
        if (busyShown(m, m.focus))
            v |= kFocusBusy;
        if (busyShown(m, m.zoom))
            v |= kZoomBusy;
        return v;
    }
    case 0x0044: return m.lens.register0044;
    case 0x2000: return m.lens.focusPosition;
    case 0x2012: return m.lens.focusMin;
    case 0x2014: return m.lens.focusMax;
    case 0x201A: return m.lens.focusSpeed;
    case 0x3000: return m.lens.zoomPosition;
    default: return m.registers.count(reg) ? m.registers[reg] : 0;
    }
}

void startMove(Model& m, Axis& axis, double from, double to)
{
    axis.from = from;
    axis.target = to;
    axis.start = Clock::now();
    axis.durationMs = travelMs(from, to, m.lens.focusSpeed);
    axis.moving = true;
    axis.statusReads = 0;
}

void writeRegister(Model& m, uint16_t reg, uint16_t value)
{
    advance(m);
    m.registers[reg] = value;
    switch (reg) {
    case 0x2000:
        m.focusTargets.push_back(value);
        startMove(m, m.focus, m.lens.focusPosition, value);
        break;
    case 0x2008:
        if (value == 1) {
            ++m.focusInitCount;
            // Initialisation runs the drive over its whole range and parks it at the minimum.
            startMove(m, m.focus, m.lens.focusMax, m.lens.focusMin);
        }
        break;
    case 0x3000: startMove(m, m.zoom, m.lens.zoomPosition, value); break;
    case 0x3008:
        if (value == 1)
            startMove(m, m.zoom, m.lens.zoomPosition, 0);
        break;
    default: break;
    }
}

bool scripted(Model& m, const char* function, int32_t& status)
{
    auto it = m.scripts.find(function);
    if (it != m.scripts.end() && !it->second.empty()) {
        status = it->second.front();
        it->second.pop_front();
        return status != HID_SMBUS_SUCCESS;
    }
    auto a = m.always.find(function);
    if (a != m.always.end()) {
        status = a->second;
        return true;
    }
    return false;
}

int32_t record(Model& m, const char* function, std::vector<int64_t> args, int32_t status)
{
    m.log.push_back({function, std::move(args), status});
    return status;
}

BridgeState* bridgeOf(Model& m, HID_SMBUS_DEVICE device)
{
    for (auto& b : m.bridges) {
        if (b.get() == device)
            return b->open ? b.get() : nullptr;
    }
    return nullptr;
}

} // namespace

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

namespace smbustest {

void reset(const std::vector<Bridge>& bridges, const Lens& lens)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    while (m.bridges.size() < bridges.size())
        m.bridges.push_back(std::make_unique<BridgeState>());
    for (auto& b : m.bridges)
        *b = BridgeState();
    for (size_t i = 0; i < bridges.size(); ++i)
        m.bridges[i]->config = bridges[i];
    m.bridgeCount = bridges.size();
    m.lens = lens;
    m.busy = Busy::Normal;
    m.riseOnRead = 20;
    m.dropResponses = false;
    m.focus = Axis();
    m.zoom = Axis();
    m.registers.clear();
    m.pointer = 0;
    m.pending.clear();
    m.available.clear();
    m.scripts.clear();
    m.always.clear();
    m.log.clear();
    m.focusInitCount = 0;
    m.focusTargets.clear();
    const int f = lens.focusPosition, z = lens.zoomPosition;
    vcab::CabinetState::instance().update([&](vcab::CabinetSnapshot& s) {
        s.smbusFocus = f;
        s.smbusZoom = z;
    });
}

void setBusy(Busy behaviour, int riseOnRead)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.busy = behaviour;
    m.riseOnRead = riseOnRead;
}

void dropReadResponses(bool drop)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.dropResponses = drop;
}

void scriptResults(const std::string& call, const std::vector<int32_t>& statuses)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    auto& q = m.scripts[call];
    q.insert(q.end(), statuses.begin(), statuses.end());
}

void failAlways(const std::string& call, int32_t status)
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.always[call] = status;
}

void clearScripts()
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.scripts.clear();
    m.always.clear();
}

std::vector<CallRecord> callLog()
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    return m.log;
}

std::vector<CallRecord> calls(const std::string& function)
{
    std::vector<CallRecord> out;
    for (const CallRecord& r : callLog()) {
        if (r.function == function)
            out.push_back(r);
    }
    return out;
}

void clearCallLog()
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.log.clear();
}

LensState lens()
{
    Model& m = model();
    std::lock_guard<std::mutex> lock(m.mutex);
    advance(m);
    LensState s;
    for (size_t i = 0; i < m.bridges.size(); ++i) {
        if (m.bridges[i]->open)
            s.openedBridge = int(i);
    }
    s.focusPosition = m.lens.focusPosition;
    s.focusTarget = uint16_t(m.focus.target);
    s.focusBusy = m.focus.moving;
    s.focusInitCount = m.focusInitCount;
    s.focusTargets = m.focusTargets;
    s.register2006 = m.registers.count(0x2006) ? m.registers[0x2006] : 0xFFFF;
    return s;
}

} // namespace smbustest
