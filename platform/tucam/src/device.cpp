// Device model of the virtual camera.

#include "device.h"

#include "cabinetstate.h"
#include "virtualscene.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tucamsim {

const ModelSpec& specOf(tucamtest::Model model)
{
    static const ModelSpec cam695 {2720, 2220, {1, 2, 4, 6, 8, 12, 16, 24}, {}, {}, "Cam695"};
    static const ModelSpec fl9bw {3000, 3000, {1}, {1, 2, 3, 4, 6, 8}, {1.0, 2.0, 4.0, 8.0}, "FL9BW"};
    // Resolution 7 of this sensor sums 2 x 2 pixels; the other modes read the full sensor.
    static const ModelSpec s20 {4656, 3136, {1, 1, 1, 1, 1, 1, 1, 2}, {}, {}, "S20Mini"};
    switch (model) {
    case tucamtest::Model::FL9BW: return fl9bw;
    case tucamtest::Model::S20Mini: return s20;
    default: return cam695;
    }
}

Driver& driver()
{
    static Driver d;
    return d;
}

const ModelSpec& spec()
{
    return specOf(driver().config.model);
}

// Lock held. Returns true with the scripted status when a script claims this call.
bool scripted(Driver& d, const char* function, int id, uint32_t& status)
{
    auto take = [&](const std::string& key) {
        auto it = d.scripts.find(key);
        if (it == d.scripts.end())
            return false;
        if (!it->second.queue.empty()) {
            status = it->second.queue.front();
            it->second.queue.pop_front();
            return status != TUCAMRET_SUCCESS;
        }
        if (it->second.always) {
            status = it->second.alwaysStatus;
            return true;
        }
        return false;
    };
    if (id >= 0 && take(std::string(function) + "#" + std::to_string(id)))
        return true;
    return take(function);
}

uint32_t record(Driver& d, const char* function, std::vector<double> args, uint32_t status,
                const std::string& text)
{
    // A preview waits for a frame many times a second: a run of successful waits is kept as its
    // last one, so that the log of a program left previewing does not grow with every frame.
    if (status == TUCAMRET_SUCCESS && !d.log.empty() && d.log.back().function == function
        && d.log.back().status == status && std::strcmp(function, "TUCAM_Buf_WaitForFrame") == 0) {
        d.log.back() = {function, std::move(args), text, status};
        return status;
    }
    d.log.push_back({function, std::move(args), text, status});
    return status;
}

Device* deviceOf(Driver& d, HDTUCAM handle)
{
    for (auto& dev : d.devices) {
        if (dev.get() == handle && dev->open)
            return dev.get();
    }
    return nullptr;
}

double scaled(double ms)
{
    return std::max(0.0, ms * vcab::timeScale());
}

Clock::duration msDuration(double ms)
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(ms));
}

void updateTemperature(Device& dev)
{
    const auto now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - dev.temperatureAt).count();
    dev.temperatureAt = now;
    const double tau = kCoolingTauSeconds * vcab::timeScale();
    const double target = coolingTarget(dev.prop[TUIDP_TEMPERATURE]);
    if (tau <= 0.0) {
        dev.temperature = target;
        return;
    }
    dev.temperature = target + (dev.temperature - target) * std::exp(-seconds / tau);
}

double coolingTarget(double setValue)
{
    return tucamtest::kColdestCelsius + std::max(0.0, setValue);
}

double setValueFor(double celsius)
{
    Range r;
    propRange(TUIDP_TEMPERATURE, r);
    return std::clamp(celsius - tucamtest::kColdestCelsius, r.min, r.max);
}

bool capaRange(const Device&, int id, Range& r)
{
    const ModelSpec& s = spec();
    switch (id) {
    case TUIDC_RESOLUTION: r = {0, double(s.resolutionBinning.size() - 1), 0, 1}; return true;
    case TUIDC_BITOFDEPTH: r = {8, 16, 16, 8}; return true;
    case TUIDC_ATEXPOSURE: r = {0, 2, 0, 1}; return true;
    case TUIDC_HORIZONTAL:
    case TUIDC_VERTICAL:
    case TUIDC_HISTC: r = {0, 1, 0, 1}; return true;
    case TUIDC_ATLEVELS: r = {0, 3, 0, 1}; return true;
    case TUIDC_IMGMODESELECT: r = {0, 5, 0, 1}; return true;
    case TUIDC_ATEXPOSURE_MODE: r = {0, 2, 0, 1}; return true;
    case TUIDC_BINNING_SUM:
        if (s.tableBinning.empty())
            return false;
        r = {0, double(s.tableBinning.size() - 1), 0, 1};
        return true;
    default: return false;
    }
}

bool propRange(int id, Range& r)
{
    const ModelSpec& s = spec();
    switch (id) {
    case TUIDP_GLOBALGAIN:
        r = s.gainTable.empty() ? Range {0, 500, 45, 1} : Range {0, double(s.gainTable.size() - 1), 0, 1};
        return true;
    case TUIDP_EXPOSURETM: r = {0.1, 3600000.0, 50.0, 0.1}; return true;
    case TUIDP_BRIGHTNESS: r = {20, 255, 128, 1}; return true;
    case TUIDP_BLACKLEVEL: r = {0, 255, 12, 1}; return true;
    case TUIDP_TEMPERATURE: r = {-50, 50, 25, 1}; return true;
    case TUIDP_GAMMA: r = {0, 255, 100, 1}; return true;
    case TUIDP_CONTRAST: r = {0, 255, 128, 1}; return true;
    case TUIDP_LFTLEVELS: r = {0, 65534, 0, 1}; return true;
    case TUIDP_RGTLEVELS: r = {1, 65535, 65535, 1}; return true;
    case TUIDP_DPCLEVEL: r = {0, 3, 0, 1}; return true;
    case TUIDP_ATEXPOSURE_THRESHOLD: r = {0, 255, 5, 1}; return true;
    case TUIDP_EXPOSUREMAX: r = {1, 3600000.0, 3600000.0, 1}; return true;
    case TUIDP_GAINMAX: r = {0, 500, 500, 1}; return true;
    default: return false;
    }
}

void resetDevice(Device& dev, double ambient)
{
    dev = Device();
    dev.temperature = ambient;
    Range r;
    for (int id : {TUIDC_RESOLUTION, TUIDC_BITOFDEPTH, TUIDC_ATEXPOSURE, TUIDC_HORIZONTAL, TUIDC_VERTICAL,
                   TUIDC_ATLEVELS, TUIDC_HISTC, TUIDC_IMGMODESELECT, TUIDC_ATEXPOSURE_MODE, TUIDC_BINNING_SUM}) {
        if (capaRange(dev, id, r))
            dev.capa[id] = int32_t(r.def);
    }
    for (int id : {TUIDP_GLOBALGAIN, TUIDP_EXPOSURETM, TUIDP_BRIGHTNESS, TUIDP_BLACKLEVEL, TUIDP_GAMMA,
                   TUIDP_CONTRAST, TUIDP_LFTLEVELS, TUIDP_RGTLEVELS, TUIDP_DPCLEVEL, TUIDP_ATEXPOSURE_THRESHOLD,
                   TUIDP_EXPOSUREMAX, TUIDP_GAINMAX}) {
        if (propRange(id, r))
            dev.prop[id] = r.def;
    }
    // The cooler idles at ambient until a set-point is given.
    dev.prop[TUIDP_TEMPERATURE] = setValueFor(ambient);
    dev.temperatureAt = Clock::now();
}

int binningOf(const Device& dev)
{
    const ModelSpec& s = spec();
    if (!s.tableBinning.empty())
        return s.tableBinning[size_t(dev.capa.at(TUIDC_BINNING_SUM))];
    return s.resolutionBinning[size_t(dev.capa.at(TUIDC_RESOLUTION))];
}

double gainFactor(const Device& dev)
{
    const ModelSpec& s = spec();
    const double g = dev.prop.at(TUIDP_GLOBALGAIN);
    if (!s.gainTable.empty())
        return s.gainTable[size_t(std::clamp(int(g), 0, int(s.gainTable.size()) - 1))];
    return std::pow(10.0, g / 200.0);
}

double framePeriodMs(const Device& dev)
{
    return scaled(std::max(dev.prop.at(TUIDP_EXPOSURETM), 0.1));
}

void stopCaptureLocked(Driver& d, Device& dev)
{
    if (dev.capturing) {
        dev.capturing = false;
        ++dev.captureGeneration;
        d.wake.notify_all();
    }
    dev.abortLatched = false;
}

void fillRecord(const Device& dev, TUCAM_FRAME* frame)
{
    std::memcpy(frame->szSignature, "TUFRAME", 8);
    frame->usHeader = kHeaderBytes;
    frame->usOffset = 0;
    frame->usWidth = uint16_t(dev.width);
    frame->usHeight = uint16_t(dev.height);
    frame->uiWidthStep = uint32_t(dev.width * dev.elemBytes);
    frame->ucDepth = uint8_t(dev.elemBytes * 8);
    frame->ucFormat = TUFRM_FMT_RAW;
    frame->ucChannels = 1;
    frame->ucElemBytes = uint8_t(dev.elemBytes);
    frame->uiIndex = dev.frameIndex;
    frame->uiImgSize = uint32_t(dev.width) * uint32_t(dev.height) * uint32_t(dev.elemBytes);
    frame->uiHstSize = 0;
    frame->pBuffer = const_cast<uint8_t*>(dev.buffer.data());
}

// The camera's auto-exposure, after each new frame.
void autoExposeStep(Device& dev, const std::vector<uint16_t>& pixels)
{
    const int mode = dev.capa[TUIDC_ATEXPOSURE];
    if (mode == 0 || pixels.empty())
        return;
    static thread_local std::vector<uint32_t> histogram;
    histogram.assign(65536, 0);
    double sum = 0;
    for (uint16_t v : pixels) {
        sum += v;
        ++histogram[v];
    }
    const double mean8 = sum / double(pixels.size()) / 257.0;
    // The level below which 99.9 % of the pixels lie.
    const size_t top = pixels.size() / 1000;
    size_t above = 0;
    int peak = 65535;
    while (peak > 0 && above + histogram[size_t(peak)] <= top)
        above += histogram[size_t(peak--)];
    // In image mode 2 (the FL9BW's wide-range mode) the target counts on half the full scale.
    const double share = dev.capa[TUIDC_IMGMODESELECT] == 2 ? 0.5 : 1.0;
    const double target = dev.prop[TUIDP_BRIGHTNESS] * share;
    const double meanFactor = target / std::max(mean8, 0.5);
    const double peakFactor = kPeakShare * 65535.0 / std::max(peak, 1);
    const bool meanOk = std::fabs(mean8 - target) <= dev.prop[TUIDP_ATEXPOSURE_THRESHOLD] * share;
    const bool peakHolds = peakFactor < meanFactor && std::fabs(peakFactor - 1.0) <= 0.04;
    if ((meanOk && peakFactor >= 1.0) || peakHolds) {
        if (mode == 2)
            dev.capa[TUIDC_ATEXPOSURE] = 0;
        return;
    }
    const double factor = std::clamp(std::min(meanFactor, peakFactor), 0.25, 4.0);
    Range r;
    propRange(TUIDP_EXPOSURETM, r);
    const double ceiling = std::min(r.max, dev.prop[TUIDP_EXPOSUREMAX]);
    dev.prop[TUIDP_EXPOSURETM] = std::clamp(dev.prop[TUIDP_EXPOSURETM] * factor, r.min, ceiling);
}

void applyDefects(const Device& dev, std::vector<uint16_t>& pixels)
{
    if (dev.prop.at(TUIDP_DPCLEVEL) > 0)
        return;
    const ModelSpec& s = spec();
    for (int i = 1; i <= kDefectPixels; ++i) {
        const int sx = (i * 997) % s.sensorWidth;
        const int sy = (i * 613) % s.sensorHeight;
        const int x = sx / dev.binning - dev.originX;
        const int y = sy / dev.binning - dev.originY;
        if (x >= 0 && y >= 0 && x < dev.width && y < dev.height)
            pixels[size_t(y) * size_t(dev.width) + size_t(x)] = 65535;
    }
}

void applyMirror(const Device& dev, std::vector<uint16_t>& pixels)
{
    const size_t w = size_t(dev.width), h = size_t(dev.height);
    if (dev.capa.at(TUIDC_HORIZONTAL)) {
        for (size_t y = 0; y < h; ++y)
            std::reverse(pixels.begin() + long(y * w), pixels.begin() + long((y + 1) * w));
    }
    if (dev.capa.at(TUIDC_VERTICAL)) {
        for (size_t y = 0; y < h / 2; ++y)
            std::swap_ranges(pixels.begin() + long(y * w), pixels.begin() + long((y + 1) * w),
                             pixels.begin() + long((h - 1 - y) * w));
    }
}

} // namespace tucamsim
