// The driver interface of the virtual camera: every call takes the driver's lock, may be claimed
// by a test script, and is written to the call log with its status.

#include "device.h"

#include "cabinetstate.h"
#include "virtualscene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace tucamsim;

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
    req.lensPosition = d.config.model == tucamtest::Model::S20Mini ? cabinet.smbusFocus : vcab::boardLensPosition(cabinet);
    // The board's lens moves in steps of 15, the SMBus lens in steps of 50: each step blurs by
    // a few sensor pixels, so that the searches see every step.
    req.focusStepsPerPixel = d.config.model == tucamtest::Model::S20Mini ? 10 : 3;
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
    dev->longestExposureMs = std::max(dev->longestExposureMs, req.exposureMs);
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
