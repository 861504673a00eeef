#include "cabinetstate.h"

#include "scaledtime.h"

#include <atomic>
#include <cmath>

namespace vcab {

CabinetState& CabinetState::instance()
{
    static CabinetState state;
    return state;
}

CabinetSnapshot CabinetState::snapshot() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state;
}

static bool sameState(const CabinetSnapshot& a, const CabinetSnapshot& b)
{
    return a.doorOpen == b.doorOpen && a.coverPlaced == b.coverPlaced && a.lamps == b.lamps
        && a.bluePercent == b.bluePercent && a.filterPos == b.filterPos && a.filterTurning == b.filterTurning
        && a.serialFocus == b.serialFocus && a.serialZoom == b.serialZoom && a.smbusFocus == b.smbusFocus
        && a.smbusZoom == b.smbusZoom && a.bestFocus == b.bestFocus && a.fixedLens == b.fixedLens
        && a.plateType == b.plateType && a.tempAlarm == b.tempAlarm;
}

void CabinetState::update(const std::function<void(CabinetSnapshot&)>& change)
{
    CabinetSnapshot before, after;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        before = m_state;
        change(m_state);
        after = m_state;
    }
    if (sameState(before, after))
        return;
    // Called under the listener lock so that removeListener() returns only when no call is
    // in flight; the lock is recursive because a listener may change the state again.
    std::lock_guard<std::recursive_mutex> lock(m_listenerMutex);
    for (auto& entry : m_listeners)
        entry.second(before, after);
}

void CabinetState::reset(const CabinetSnapshot& to)
{
    update([&](CabinetSnapshot& s) { s = to; });
}

int CabinetState::addListener(Listener listener)
{
    std::lock_guard<std::recursive_mutex> lock(m_listenerMutex);
    const int id = m_nextListenerId++;
    m_listeners.emplace_back(id, std::move(listener));
    return id;
}

void CabinetState::removeListener(int id)
{
    std::lock_guard<std::recursive_mutex> lock(m_listenerMutex);
    for (auto it = m_listeners.begin(); it != m_listeners.end(); ++it) {
        if (it->first == id) {
            m_listeners.erase(it);
            return;
        }
    }
}

int boardLensPosition(const CabinetSnapshot& cabinet)
{
    return cabinet.fixedLens ? cabinet.bestFocus : cabinet.serialFocus;
}

namespace {
// Constant-initialised: a scale handed in before main() is never overwritten.
std::atomic<double> handedInScale{1.0};
} // namespace

void setTimeScale(double scale)
{
    handedInScale.store(scaledtime::valid(scale));
}

double timeScale()
{
    return handedInScale.load();
}

int scaledMs(double ms)
{
    return scaledtime::ms(ms, timeScale());
}

} // namespace vcab
