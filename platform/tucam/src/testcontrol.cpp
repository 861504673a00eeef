// Test control of the virtual camera (tucam_test.h): configuration, scripted results, call log
// and a view of the device state. Not part of the driver interface.

#include "device.h"

#include <algorithm>

using namespace tucamsim;

// ---------------------------------------------------------------------------------------------
namespace tucamtest {

void reset(const Config& config)
{
    Driver& d = driver();
    std::lock_guard<std::mutex> lock(d.mutex);
    for (auto& dev : d.devices) {
        stopCaptureLocked(d, *dev);
        dev->open = false;
    }
    d.wake.notify_all();
    d.config = config;
    d.apiInitialised = false;
    d.scripts.clear();
    d.log.clear();
    d.seed = config.seed;
    // Devices are only ever added, so a handle held by a stuck thread never dangles.
    while (d.devices.size() < size_t(std::max(1, config.cameraCount)))
        d.devices.push_back(std::make_unique<Device>());
    for (auto& dev : d.devices) {
        if (dev->pendingWaits == 0)
            resetDevice(*dev, config.ambientTemperature);
    }
}

bool setModel(Model model)
{
    Driver& d = driver();
    std::lock_guard<std::mutex> lock(d.mutex);
    for (auto& dev : d.devices) {
        if (dev->open)
            return false;
    }
    d.config.model = model;
    return true;
}

void setSensorTemperature(double celsius)
{
    Driver& d = driver();
    std::lock_guard<std::mutex> lock(d.mutex);
    for (auto& dev : d.devices) {
        dev->temperature = celsius;
        dev->temperatureAt = Clock::now();
    }
}

void scriptResults(const std::string& call, const std::vector<uint32_t>& statuses)
{
    Driver& d = driver();
    std::lock_guard<std::mutex> lock(d.mutex);
    Script& s = d.scripts[call];
    s.queue.insert(s.queue.end(), statuses.begin(), statuses.end());
}

void failAlways(const std::string& call, uint32_t status)
{
    Driver& d = driver();
    std::lock_guard<std::mutex> lock(d.mutex);
    Script& s = d.scripts[call];
    s.always = true;
    s.alwaysStatus = status;
}

void clearScripts()
{
    Driver& d = driver();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.scripts.clear();
}

std::vector<CallRecord> callLog()
{
    Driver& d = driver();
    std::lock_guard<std::mutex> lock(d.mutex);
    return d.log;
}

std::vector<CallRecord> calls(const std::string& function, int id)
{
    std::vector<CallRecord> out;
    for (const CallRecord& r : callLog()) {
        if (r.function == function && (id < 0 || (!r.args.empty() && int(r.args[0]) == id)))
            out.push_back(r);
    }
    return out;
}

void clearCallLog()
{
    Driver& d = driver();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.log.clear();
}

DeviceState state()
{
    Driver& d = driver();
    std::lock_guard<std::mutex> lock(d.mutex);
    DeviceState s;
    s.apiInitialised = d.apiInitialised;
    if (d.devices.empty())
        return s;
    Device& dev = *d.devices.front();
    s.open = dev.open;
    s.bufferAllocated = !dev.buffer.empty();
    s.capturing = dev.capturing;
    s.pendingWaits = dev.pendingWaits;
    s.width = dev.width;
    s.height = dev.height;
    s.binning = dev.binning;
    s.exposureMs = dev.prop.count(TUIDP_EXPOSURETM) ? dev.prop[TUIDP_EXPOSURETM] : 0.0;
    s.gain = dev.prop.count(TUIDP_GLOBALGAIN) ? dev.prop[TUIDP_GLOBALGAIN] : 0.0;
    updateTemperature(dev);
    s.temperature = dev.temperature;
    s.framesDelivered = dev.framesDelivered;
    s.longestExposureMs = dev.longestExposureMs;
    return s;
}

void clearLongestExposure()
{
    Driver& d = driver();
    std::lock_guard<std::mutex> lock(d.mutex);
    for (auto& dev : d.devices)
        dev->longestExposureMs = 0;
}

void sensorSize(Model model, int& width, int& height)
{
    const ModelSpec& s = specOf(model);
    width = s.sensorWidth;
    height = s.sensorHeight;
}

} // namespace tucamtest
