// Test control of the virtual SMBus bridges (hidsmbus_test.h): bridges and lens, busy-bit
// behaviour, scripted results and the call log. Not part of the bridge interface.

#include "device.h"

#include "cabinetstate.h"

#include <algorithm>

using namespace smbussim;

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
