#pragma once
// Test control of the virtual SMBus bridges and the lens controller behind them. Not part of
// the bridge interface.

#include <cstdint>
#include <string>
#include <vector>

namespace smbustest {

struct Bridge {
    std::string serial = "LENS0001";
    bool serialFails = false;      // HidSmbus_GetString for this bridge answers READ_ERROR
};

struct Lens {
    uint16_t focusMin = 100;
    uint16_t focusMax = 9000;
    uint16_t focusSpeed = 1000;    // positions per second of travel (at time scale 1)
    uint16_t focusPosition = 5000; // before initialisation
    uint16_t zoomPosition = 0;
    uint16_t register0044 = 0x0001;
};

enum class Busy {
    Normal,        // rises with a move, falls after the travel time
    NeverRises,    // the status register never shows the busy bit
    NeverFalls,    // the busy bit rises and stays
    RisesLate,     // the busy bit shows only from the riseOnRead-th status read after the move started
};

// Closes every handle, clears scripts and the log; the lens sits at its given position and the
// cabinet's smbusFocus/smbusZoom follow it.
void reset(const std::vector<Bridge>& bridges = {Bridge()}, const Lens& lens = Lens());
void setBusy(Busy behaviour, int riseOnRead = 20);
// While set, forced read responses deliver no bytes (a bridge that never answers a read).
void dropReadResponses(bool drop);

// Statuses for the next calls of function `call` ("HidSmbus_WriteRequest"), in order; 0 runs the
// call normally. A scripted failure changes nothing.
void scriptResults(const std::string& call, const std::vector<int32_t>& statuses);
void failAlways(const std::string& call, int32_t status);
void clearScripts();

struct CallRecord {
    std::string function;
    std::vector<int64_t> args;    // numeric arguments in call order; written bytes follow
    int32_t status = 0;
};
std::vector<CallRecord> callLog();
std::vector<CallRecord> calls(const std::string& function);
void clearCallLog();

struct LensState {
    int openedBridge = -1;        // index of the open bridge, -1 when none
    uint16_t focusPosition = 0;   // where the focus is now (mid-travel: interpolated)
    uint16_t focusTarget = 0;
    bool focusBusy = false;
    int focusInitCount = 0;       // writes of 1 to the focus initialisation register
    std::vector<uint16_t> focusTargets;   // every value written to the focus position register
    uint16_t register2006 = 0xFFFF;
};
LensState lens();

} // namespace smbustest
