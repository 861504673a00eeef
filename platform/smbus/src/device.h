#pragma once
// Device model of the virtual SMBus bridges and the lens controller at address 0x40 behind
// them: 16-bit big-endian registers, focus and zoom drives whose busy bits rise with a move
// and fall after the travel time (times the cabinet's time scale), and the scripts and call
// log of hidsmbus_test.h. Shared by the bridge interface and the test control.

#include "hidsmbus.h"
#include "hidsmbus_test.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace smbussim {

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

Model& model();

double travelMs(double from, double to, uint16_t speed);

// Advances a drive to the present; returns its position.
double positionOf(Axis& axis, double resting);

void advance(Model& m);

bool busyShown(Model& m, Axis& axis);

uint16_t readRegister(Model& m, uint16_t reg);

void startMove(Model& m, Axis& axis, double from, double to);

void writeRegister(Model& m, uint16_t reg, uint16_t value);

bool scripted(Model& m, const char* function, int32_t& status);

int32_t record(Model& m, const char* function, std::vector<int64_t> args, int32_t status);

BridgeState* bridgeOf(Model& m, HID_SMBUS_DEVICE device);

} // namespace smbussim
