// Device model of the virtual SMBus bridges and the lens controller behind them.

#include "device.h"

#include "cabinetstate.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace smbussim {

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

} // namespace smbussim
