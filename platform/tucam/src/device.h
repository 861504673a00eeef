#pragma once
// Device model of the virtual camera, shared by the driver interface (api.cpp) and the test
// control (testcontrol.cpp): per-model capability and property tables, the frame clock (one
// frame per exposure, times the cabinet's time scale), the camera's own auto-exposure, sensor
// cooling, defect pixels, and the scripts and call log of tucam_test.h.

#include "tucam.h"
#include "tucam_test.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tucamsim {

using Clock = std::chrono::steady_clock;

constexpr uint16_t kHeaderBytes = 64;
constexpr int kDefectPixels = 16;
// Cooling follows an exponential approach with this time constant (seconds at time scale 1).
constexpr double kCoolingTauSeconds = 30.0;
// The camera's auto-exposure keeps the brightest 0.1 % of the pixels at about this share of
// full scale, below the mean target when the scene's bright parts are small.
constexpr double kPeakShare = 0.88;

struct Range {
    double min, max, def, step;
};

struct ModelSpec {
    int sensorWidth, sensorHeight;
    std::vector<int> resolutionBinning;   // capability 0: binning per resolution index
    std::vector<int> tableBinning;        // capability 37: binning per index, empty when absent
    std::vector<double> gainTable;        // gain modes as factors, empty: gain in 0.1 dB-like steps
    std::string modelName;
};

const ModelSpec& specOf(tucamtest::Model model);

struct Device {
    bool open = false;
    std::map<int, int32_t> capa;
    std::map<int, double> prop;
    TUCAM_ROI_ATTR roi {0, 0, 0, 0, 0};
    TUCAM_TRIGGER_ATTR trigger {0, 0, 0, 0, 1, 1};
    std::vector<uint8_t> buffer;
    int width = 0, height = 0, binning = 1, elemBytes = 2;
    int originX = 0, originY = 0;   // output pixels
    bool capturing = false;
    uint64_t captureGeneration = 0;
    Clock::time_point nextFrameAt;
    bool triggered = false;
    bool abortLatched = false;
    uint64_t abortSeq = 0;
    int pendingWaits = 0;
    uint32_t frameIndex = 0;
    uint32_t framesDelivered = 0;
    double longestExposureMs = 0;  // of the frames delivered since a test last cleared it
    double temperature = 25.0;
    Clock::time_point temperatureAt = Clock::now();
};

struct Script {
    std::deque<uint32_t> queue;
    bool always = false;
    uint32_t alwaysStatus = 0;
};

struct Driver {
    Driver() { devices.push_back(std::make_unique<Device>()); }
    std::mutex mutex;
    std::condition_variable wake;
    tucamtest::Config config;
    bool apiInitialised = false;
    std::vector<std::unique_ptr<Device>> devices;
    std::map<std::string, Script> scripts;
    std::vector<tucamtest::CallRecord> log;
    uint64_t seed = 1;
};

Driver& driver();

const ModelSpec& spec();

// Lock held. Returns true with the scripted status when a script claims this call.
bool scripted(Driver& d, const char* function, int id, uint32_t& status);

uint32_t record(Driver& d, const char* function, std::vector<double> args, uint32_t status,
                const std::string& text = std::string());

Device* deviceOf(Driver& d, HDTUCAM handle);

double scaled(double ms);

Clock::duration msDuration(double ms);

void updateTemperature(Device& dev);

bool capaRange(const Device&, int id, Range& r);

bool propRange(int id, Range& r);

void resetDevice(Device& dev, double ambient);

int binningOf(const Device& dev);

double gainFactor(const Device& dev);

double framePeriodMs(const Device& dev);

void stopCaptureLocked(Driver& d, Device& dev);

void fillRecord(const Device& dev, TUCAM_FRAME* frame);

// The sensor temperature the cooler aims at for the set value of the temperature property.
double coolingTarget(double setValue);
// The set value at which the cooler holds the sensor at the given temperature.
double setValueFor(double celsius);

// The camera's auto-exposure, after each new frame: one proportional step towards the mean
// target, bounded, held back so that the brightest pixels stay below saturation; settled
// within the threshold or when the brightest pixels hold it back.
void autoExposeStep(Device& dev, const std::vector<uint16_t>& pixels);

void applyDefects(const Device& dev, std::vector<uint16_t>& pixels);

void applyMirror(const Device& dev, std::vector<uint16_t>& pixels);

} // namespace tucamsim
