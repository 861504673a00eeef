// Device model of the virtual camera: per-model capability and property tables, the frame
// clock (one frame per exposure, times the cabinet's time scale), the camera's own
// auto-exposure, sensor cooling, defect pixels, and the scripts and call log of tucam_test.h.

#include "tucam.h"
#include "tucam_test.h"

#include "cabinetstate.h"
#include "virtualscene.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint16_t kHeaderBytes = 64;
constexpr int kDefectPixels = 16;
// Cooling follows an exponential approach with this time constant (seconds at time scale 1).
constexpr double kCoolingTauSeconds = 20.0;

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
                const std::string& text = std::string())
{
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
    const double target = dev.prop[TUIDP_TEMPERATURE];
    if (tau <= 0.0) {
        dev.temperature = target;
        return;
    }
    dev.temperature = target + (dev.temperature - target) * std::exp(-seconds / tau);
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
    dev.prop[TUIDP_TEMPERATURE] = ambient;
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

// The camera's auto-exposure: one proportional step per frame, bounded, settling within the threshold.
void autoExposeStep(Device& dev, const std::vector<uint16_t>& pixels)
{
    const int mode = dev.capa[TUIDC_ATEXPOSURE];
    if (mode == 0 || pixels.empty())
        return;
    double sum = 0;
    for (uint16_t v : pixels)
        sum += v;
    const double mean8 = sum / double(pixels.size()) / 257.0;
    const double target = dev.prop[TUIDP_BRIGHTNESS];
    if (std::fabs(mean8 - target) <= dev.prop[TUIDP_ATEXPOSURE_THRESHOLD]) {
        if (mode == 2)
            dev.capa[TUIDC_ATEXPOSURE] = 0;
        return;
    }
    const double factor = std::clamp(target / std::max(mean8, 0.5), 0.25, 4.0);
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

} // namespace

// ---------------------------------------------------------------------------------------------
// Driver interface

#define TUCAM_ENTER(name, id, ...)                                    \
    Driver& d = driver();                                             \
    std::unique_lock<std::mutex> lock(d.mutex);                       \
    const char* fn = name;                                            \
    std::vector<double> args {__VA_ARGS__};                           \
    {                                                                 \
        uint32_t s = 0;                                               \
        if (scripted(d, fn, id, s))                                   \
            return record(d, fn, args, s);                            \
    }

#define TUCAM_DEVICE()                                                \
    Device* dev = deviceOf(d, handle);                                \
    if (!dev)                                                         \
        return record(d, fn, args, TUCAMRET_INVALID_HANDLE);

extern "C" {

TUCAMRET TUCAM_Api_Init(TUCAM_INIT* init, int32_t timeoutMs)
{
    TUCAM_ENTER("TUCAM_Api_Init", -1, double(timeoutMs))
    if (!init)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    d.apiInitialised = true;
    init->uiCamCount = uint32_t(std::max(0, d.config.cameraCount));
    return record(d, fn, args, init->uiCamCount ? TUCAMRET_SUCCESS : TUCAMRET_NO_CAMERA);
}

TUCAMRET TUCAM_Api_Uninit(void)
{
    TUCAM_ENTER("TUCAM_Api_Uninit", -1)
    for (auto& dev : d.devices) {
        stopCaptureLocked(d, *dev);
        dev->buffer.clear();
        dev->open = false;
    }
    d.apiInitialised = false;
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Dev_Open(TUCAM_OPEN* open)
{
    TUCAM_ENTER("TUCAM_Dev_Open", -1, open ? double(open->uiIdxOpen) : -1.0)
    if (!open)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    open->hIdxTUCam = nullptr;
    if (!d.apiInitialised || d.config.cameraCount <= 0)
        return record(d, fn, args, TUCAMRET_NO_CAMERA);
    if (open->uiIdxOpen >= uint32_t(d.config.cameraCount) || open->uiIdxOpen >= d.devices.size())
        return record(d, fn, args, TUCAMRET_OUT_OF_RANGE);
    Device& dev = *d.devices[open->uiIdxOpen];
    if (dev.open)
        return record(d, fn, args, TUCAMRET_BUSY);
    resetDevice(dev, d.config.ambientTemperature);
    dev.open = true;
    open->hIdxTUCam = &dev;
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Dev_Close(HDTUCAM handle)
{
    TUCAM_ENTER("TUCAM_Dev_Close", -1)
    TUCAM_DEVICE()
    stopCaptureLocked(d, *dev);
    dev->buffer.clear();
    dev->open = false;
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Dev_GetInfo(HDTUCAM handle, TUCAM_VALUE_INFO* info)
{
    TUCAM_ENTER("TUCAM_Dev_GetInfo", info ? info->nID : -1, info ? double(info->nID) : -1.0)
    TUCAM_DEVICE()
    if (!info || !info->pText || info->nTextSize <= 0)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    std::string text;
    if (info->nID == TUIDI_CAMERA_SN)
        text = d.config.identity;
    else if (info->nID == TUIDI_CAMERA_MODEL)
        text = spec().modelName;
    else
        return record(d, fn, args, TUCAMRET_NOT_SUPPORTED);
    std::snprintf(info->pText, size_t(info->nTextSize), "%s", text.c_str());
    info->nValue = int32_t(std::min<size_t>(text.size(), size_t(info->nTextSize - 1)));
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Capa_SetValue(HDTUCAM handle, int32_t id, int32_t value)
{
    TUCAM_ENTER("TUCAM_Capa_SetValue", id, double(id), double(value))
    TUCAM_DEVICE()
    Range r;
    if (!capaRange(*dev, id, r))
        return record(d, fn, args, TUCAMRET_NOT_SUPPORTED);
    if (value < r.min || value > r.max || (id == TUIDC_BITOFDEPTH && value != 8 && value != 16))
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    if ((id == TUIDC_RESOLUTION || id == TUIDC_BINNING_SUM || id == TUIDC_BITOFDEPTH) && dev->capturing)
        return record(d, fn, args, TUCAMRET_BUSY);
    dev->capa[id] = value;
    // A new readout size invalidates the region, as on the real sensor.
    if (id == TUIDC_RESOLUTION || id == TUIDC_BINNING_SUM)
        dev->roi = TUCAM_ROI_ATTR {0, 0, 0, 0, 0};
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Capa_GetValue(HDTUCAM handle, int32_t id, int32_t* value)
{
    TUCAM_ENTER("TUCAM_Capa_GetValue", id, double(id))
    TUCAM_DEVICE()
    Range r;
    if (!value)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    if (!capaRange(*dev, id, r))
        return record(d, fn, args, TUCAMRET_NOT_SUPPORTED);
    *value = dev->capa[id];
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Capa_GetAttr(HDTUCAM handle, TUCAM_CAPA_ATTR* attr)
{
    TUCAM_ENTER("TUCAM_Capa_GetAttr", attr ? attr->idCapa : -1, attr ? double(attr->idCapa) : -1.0)
    TUCAM_DEVICE()
    Range r;
    if (!attr)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    if (!capaRange(*dev, attr->idCapa, r))
        return record(d, fn, args, TUCAMRET_NOT_SUPPORTED);
    attr->nValMin = int32_t(r.min);
    attr->nValMax = int32_t(r.max);
    attr->nValDft = int32_t(r.def);
    attr->nValStep = int32_t(r.step);
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Capa_GetValueText(HDTUCAM handle, TUCAM_VALUE_INFO* info)
{
    TUCAM_ENTER("TUCAM_Capa_GetValueText", info ? info->nID : -1, info ? double(info->nID) : -1.0,
                info ? double(info->nValue) : -1.0)
    TUCAM_DEVICE()
    Range r;
    if (!info || !info->pText || info->nTextSize <= 0)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    if (!capaRange(*dev, info->nID, r))
        return record(d, fn, args, TUCAMRET_NOT_SUPPORTED);
    if (info->nValue < r.min || info->nValue > r.max)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    const ModelSpec& s = spec();
    char text[64];
    if (info->nID == TUIDC_RESOLUTION || info->nID == TUIDC_BINNING_SUM) {
        const int b = info->nID == TUIDC_RESOLUTION ? s.resolutionBinning[size_t(info->nValue)]
                                                    : s.tableBinning[size_t(info->nValue)];
        std::snprintf(text, sizeof text, "%dx%d (Bin%d)", s.sensorWidth / b, s.sensorHeight / b, b);
    } else {
        std::snprintf(text, sizeof text, "%d", info->nValue);
    }
    std::snprintf(info->pText, size_t(info->nTextSize), "%s", text);
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Prop_SetValue(HDTUCAM handle, int32_t id, double value, int32_t channel)
{
    TUCAM_ENTER("TUCAM_Prop_SetValue", id, double(id), value, double(channel))
    TUCAM_DEVICE()
    Range r;
    if (!propRange(id, r))
        return record(d, fn, args, TUCAMRET_NOT_SUPPORTED);
    if (channel != 0 || !std::isfinite(value) || value < r.min || value > r.max)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    if (id == TUIDP_TEMPERATURE)
        updateTemperature(*dev);
    dev->prop[id] = value;
    // A new exposure restarts the integration of the frame in progress.
    if (id == TUIDP_EXPOSURETM && dev->capturing)
        dev->nextFrameAt = Clock::now() + msDuration(framePeriodMs(*dev));
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Prop_GetValue(HDTUCAM handle, int32_t id, double* value, int32_t channel)
{
    TUCAM_ENTER("TUCAM_Prop_GetValue", id, double(id), double(channel))
    TUCAM_DEVICE()
    Range r;
    if (!value || channel != 0)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    if (!propRange(id, r))
        return record(d, fn, args, TUCAMRET_NOT_SUPPORTED);
    if (id == TUIDP_TEMPERATURE) {
        updateTemperature(*dev);
        *value = dev->temperature;
    } else {
        *value = dev->prop[id];
    }
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Prop_GetAttr(HDTUCAM handle, TUCAM_PROP_ATTR* attr)
{
    TUCAM_ENTER("TUCAM_Prop_GetAttr", attr ? attr->idProp : -1, attr ? double(attr->idProp) : -1.0)
    TUCAM_DEVICE()
    Range r;
    if (!attr)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    if (!propRange(attr->idProp, r))
        return record(d, fn, args, TUCAMRET_NOT_SUPPORTED);
    attr->dbValMin = r.min;
    attr->dbValMax = r.max;
    attr->dbValDft = r.def;
    attr->dbValStep = r.step;
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Buf_Alloc(HDTUCAM handle, TUCAM_FRAME* frame)
{
    TUCAM_ENTER("TUCAM_Buf_Alloc", -1, frame ? double(frame->ucFormatGet) : -1.0,
                frame ? double(frame->uiRsdSize) : -1.0)
    TUCAM_DEVICE()
    if (!frame)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    if (dev->capturing)
        return record(d, fn, args, TUCAMRET_BUSY);
    const ModelSpec& s = spec();
    dev->binning = binningOf(*dev);
    const int fullW = s.sensorWidth / dev->binning, fullH = s.sensorHeight / dev->binning;
    if (dev->roi.bEnable) {
        dev->originX = dev->roi.nHOffset;
        dev->originY = dev->roi.nVOffset;
        dev->width = std::min(dev->roi.nWidth, fullW - dev->originX);
        dev->height = std::min(dev->roi.nHeight, fullH - dev->originY);
    } else {
        dev->originX = dev->originY = 0;
        dev->width = fullW;
        dev->height = fullH;
    }
    dev->elemBytes = dev->capa[TUIDC_BITOFDEPTH] == 8 ? 1 : 2;
    try {
        dev->buffer.assign(kHeaderBytes + size_t(dev->width) * size_t(dev->height) * size_t(dev->elemBytes), 0);
    } catch (const std::bad_alloc&) {
        return record(d, fn, args, TUCAMRET_NO_MEMORY);
    }
    dev->frameIndex = 0;
    fillRecord(*dev, frame);
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Buf_Release(HDTUCAM handle)
{
    TUCAM_ENTER("TUCAM_Buf_Release", -1)
    TUCAM_DEVICE()
    stopCaptureLocked(d, *dev);
    dev->buffer.clear();
    dev->buffer.shrink_to_fit();
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Buf_AbortWait(HDTUCAM handle)
{
    TUCAM_ENTER("TUCAM_Buf_AbortWait", -1)
    TUCAM_DEVICE()
    if (dev->pendingWaits > 0) {
        ++dev->abortSeq;
        d.wake.notify_all();
    } else if (dev->capturing) {
        // Latched so that an abort racing the caller's next wait is not lost.
        dev->abortLatched = true;
    }
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Buf_WaitForFrame(HDTUCAM handle, TUCAM_FRAME* frame, int32_t timeoutMs)
{
    TUCAM_ENTER("TUCAM_Buf_WaitForFrame", -1, double(timeoutMs))
    TUCAM_DEVICE()
    if (!frame)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    if (!dev->capturing || dev->buffer.empty())
        return record(d, fn, args, TUCAMRET_NOT_READY);
    if (dev->abortLatched) {
        dev->abortLatched = false;
        return record(d, fn, args, TUCAMRET_ABORT);
    }
    const uint64_t generation = dev->captureGeneration;
    const uint64_t abortSeq = dev->abortSeq;
    const auto timeoutAt = Clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs));
    ++dev->pendingWaits;
    uint32_t status = TUCAMRET_SUCCESS;
    for (;;) {
        if (dev->abortSeq != abortSeq || !dev->capturing || dev->captureGeneration != generation || !dev->open) {
            status = TUCAMRET_ABORT;
            break;
        }
        const bool ready = dev->trigger.nTgrMode == 0 || dev->triggered;
        const auto now = Clock::now();
        if (ready && now >= dev->nextFrameAt)
            break;
        if (now >= timeoutAt) {
            status = TUCAMRET_TIMEOUT;
            break;
        }
        d.wake.wait_until(lock, ready ? std::min(dev->nextFrameAt, timeoutAt) : timeoutAt);
    }
    --dev->pendingWaits;
    if (status != TUCAMRET_SUCCESS)
        return record(d, fn, args, status);
    dev->triggered = false;

    vcab::SceneRequest req;
    const ModelSpec& s = spec();
    req.sensorWidth = s.sensorWidth;
    req.sensorHeight = s.sensorHeight;
    req.originX = dev->originX * dev->binning;
    req.originY = dev->originY * dev->binning;
    req.width = dev->width;
    req.height = dev->height;
    req.binning = dev->binning;
    req.exposureMs = dev->prop[TUIDP_EXPOSURETM];
    req.gain = gainFactor(*dev);
    req.blackLevel = int(dev->prop[TUIDP_BLACKLEVEL]);
    req.seed = d.seed++;
    const vcab::CabinetSnapshot cabinet = vcab::CabinetState::instance().snapshot();
    req.lensPosition = d.config.model == tucamtest::Model::S20Mini ? cabinet.smbusFocus : cabinet.serialFocus;
    const int bytesPerPixel = dev->elemBytes;

    // Rendering takes a while on full frames: done unlocked so that an abort is never held up.
    lock.unlock();
    std::vector<uint16_t> pixels(size_t(req.width) * size_t(req.height));
    const bool rendered = vcab::renderScene(req, cabinet, pixels.data());
    lock.lock();
    dev = deviceOf(d, handle);
    if (!dev || !dev->capturing || dev->captureGeneration != generation || dev->buffer.empty())
        return record(d, fn, args, TUCAMRET_ABORT);
    if (!rendered)
        return record(d, fn, args, TUCAMRET_FAILURE);
    applyDefects(*dev, pixels);
    applyMirror(*dev, pixels);
    uint8_t* out = dev->buffer.data() + kHeaderBytes;
    if (bytesPerPixel == 1) {
        for (size_t i = 0; i < pixels.size(); ++i)
            out[i] = uint8_t(pixels[i] >> 8);
    } else {
        std::memcpy(out, pixels.data(), pixels.size() * 2);
    }
    ++dev->frameIndex;
    ++dev->framesDelivered;
    fillRecord(*dev, frame);
    std::memcpy(dev->buffer.data(), frame, sizeof(TUCAM_FRAME));
    autoExposeStep(*dev, pixels);
    dev->nextFrameAt = Clock::now() + msDuration(framePeriodMs(*dev));
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Cap_Start(HDTUCAM handle, uint32_t mode)
{
    TUCAM_ENTER("TUCAM_Cap_Start", -1, double(mode))
    TUCAM_DEVICE()
    if (mode > 4)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    if (dev->buffer.empty())
        return record(d, fn, args, TUCAMRET_NOT_READY);
    if (dev->capturing)
        return record(d, fn, args, TUCAMRET_BUSY);
    dev->capturing = true;
    dev->abortLatched = false;
    dev->triggered = false;
    ++dev->captureGeneration;
    dev->nextFrameAt = Clock::now() + msDuration(framePeriodMs(*dev));
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Cap_Stop(HDTUCAM handle)
{
    TUCAM_ENTER("TUCAM_Cap_Stop", -1)
    TUCAM_DEVICE()
    stopCaptureLocked(d, *dev);
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Cap_SetROI(HDTUCAM handle, TUCAM_ROI_ATTR roi)
{
    TUCAM_ENTER("TUCAM_Cap_SetROI", -1, double(roi.bEnable), double(roi.nHOffset), double(roi.nVOffset),
                double(roi.nWidth), double(roi.nHeight))
    TUCAM_DEVICE()
    if (dev->capturing)
        return record(d, fn, args, TUCAMRET_BUSY);
    if (roi.bEnable) {
        const ModelSpec& s = spec();
        const int b = binningOf(*dev);
        if (roi.nHOffset < 0 || roi.nVOffset < 0 || roi.nWidth <= 0 || roi.nHeight <= 0
            || roi.nHOffset >= s.sensorWidth / b || roi.nVOffset >= s.sensorHeight / b)
            return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    }
    dev->roi = roi;
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Cap_SetTrigger(HDTUCAM handle, TUCAM_TRIGGER_ATTR trigger)
{
    TUCAM_ENTER("TUCAM_Cap_SetTrigger", -1, double(trigger.nTgrMode), double(trigger.nFrames))
    TUCAM_DEVICE()
    if (dev->capturing)
        return record(d, fn, args, TUCAMRET_BUSY);
    if (trigger.nTgrMode != 0 && trigger.nTgrMode != 1)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    dev->trigger = trigger;
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Cap_GetTrigger(HDTUCAM handle, TUCAM_TRIGGER_ATTR* trigger)
{
    TUCAM_ENTER("TUCAM_Cap_GetTrigger", -1)
    TUCAM_DEVICE()
    if (!trigger)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM);
    *trigger = dev->trigger;
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_Cap_DoSoftwareTrigger(HDTUCAM handle, uint32_t reserved)
{
    TUCAM_ENTER("TUCAM_Cap_DoSoftwareTrigger", -1, double(reserved))
    TUCAM_DEVICE()
    if (!dev->capturing)
        return record(d, fn, args, TUCAMRET_NOT_READY);
    dev->triggered = true;
    dev->nextFrameAt = Clock::now() + msDuration(framePeriodMs(*dev));
    d.wake.notify_all();
    return record(d, fn, args, TUCAMRET_SUCCESS);
}

TUCAMRET TUCAM_File_SaveImage(HDTUCAM handle, TUCAM_FILE_SAVE save)
{
    TUCAM_ENTER("TUCAM_File_SaveImage", -1, double(save.nSaveFmt))
    TUCAM_DEVICE()
    const std::string path = save.pstrSavePath ? save.pstrSavePath : "";
    if (save.nSaveFmt != 1 || path.empty() || !save.pFrame || !save.pFrame->pBuffer)
        return record(d, fn, args, TUCAMRET_INVALID_PARAM, path);
    const TUCAM_FRAME& f = *save.pFrame;
    std::FILE* file = std::fopen((path + ".raw").c_str(), "wb");
    if (!file)
        return record(d, fn, args, TUCAMRET_FAILURE, path);
    const size_t bytes = size_t(f.usHeader) + f.uiImgSize;
    const bool ok = std::fwrite(f.pBuffer, 1, bytes, file) == bytes;
    const bool closed = std::fclose(file) == 0;
    return record(d, fn, args, ok && closed ? TUCAMRET_SUCCESS : TUCAMRET_FAILURE, path);
}

} // extern "C"

// ---------------------------------------------------------------------------------------------
// Test control

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
    return s;
}

void sensorSize(Model model, int& width, int& height)
{
    const ModelSpec& s = specOf(model);
    width = s.sensorWidth;
    height = s.sensorHeight;
}

} // namespace tucamtest
