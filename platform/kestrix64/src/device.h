#pragma once
// The stand-in's device model: the library state (cameras, faults, call log, post-processing
// table) and the open cameras with their parameters and acquisition threads.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "kestrix64.h"

namespace kx {

constexpr int kSensorWidth = 2688;
constexpr int kSensorHeight = 2200;
constexpr int16_t kAmbientTemp = 2500;  // hundredths of a degree
constexpr int16_t kBlackLevel = 100;

struct PpParam {
    std::string name;
    uint32_t id = 0, min = 0, max = 0, def = 0, value = 0;
};
struct PpFeature {
    std::string name;
    uint32_t id = 0;
    std::vector<PpParam> params;
};
std::vector<PpFeature> defaultPpTable();

// Thrown inside the stand-in only; the exported functions turn it into a status and an error code.
struct Failure {
    int16_t code;
};

class Camera {
public:
    Camera(int16_t handle, const std::vector<PpFeature>& pp, uint64_t seedBase);
    ~Camera();

    void getParam(uint32_t id, int16_t attribute, void* value);
    void setParam(uint32_t id, const void* value);

    uint32_t setup(bool continuous, uint16_t frames, const rgn_type& region, int16_t expMode, uint32_t exposure);
    void start(bool continuous, void* buffer, uint32_t size);
    void status(int16_t* status, uint32_t* bytes);
    void finish();
    void abort();
    void* latestFrame();
    void setCallback(kx_eof_callback callback, void* context);

    uint32_t ppValue(uint16_t feature, uint16_t param) const;

private:
    int16_t temperature();
    double exposureMs(uint32_t exposure) const;
    void produce();
    bool onProducerThread() const;
    void joinProducer();

    const int16_t m_handle;
    const uint64_t m_seedBase;

    // Parameters, guarded by m_paramMutex.
    mutable std::mutex m_paramMutex;
    int16_t m_setpoint = 0;
    int16_t m_tempFrom = kAmbientTemp;
    std::chrono::steady_clock::time_point m_tempSince;
    int32_t m_clearMode = 0;
    int16_t m_gainIndex = 1;
    int16_t m_speedIndex = 0;
    int32_t m_expRes = KX_EXP_RES_MS;
    uint16_t m_hotPixelFix = 1;
    uint16_t m_frameAverage = 0;
    std::vector<PpFeature> m_pp;
    int16_t m_ppIndex = 0;
    int16_t m_ppParamIndex = 0;

    // Acquisition, guarded by m_acqMutex; the producer thread renders outside the lock.
    std::mutex m_acqMutex;
    std::condition_variable m_wake;
    bool m_setupDone = false;
    bool m_continuous = false;
    rgn_type m_region{};
    uint16_t m_frames = 1;
    uint32_t m_exposure = 0;
    uint32_t m_frameBytes = 0;
    uint32_t m_metadata = 0;
    uint8_t* m_buffer = nullptr;
    uint32_t m_slots = 0;
    bool m_running = false;
    bool m_abort = false;
    int16_t m_status = KX_STATUS_IDLE;
    uint32_t m_bytesDone = 0;
    uint8_t* m_latest = nullptr;
    uint32_t m_frameNr = 0;
    kx_eof_callback m_callback = nullptr;
    void* m_context = nullptr;
    std::mutex m_joinMutex;   // guards m_producer; never taken while m_acqMutex is held
    std::thread m_producer;
};

struct Fault {
    std::string call;
    uint32_t param;
    int16_t attribute;
    int16_t code;
    int32_t skip;
    int32_t times;
};

class Library {
public:
    static Library& instance();

    // Call log: one line per call; a failure is appended to its own line.
    size_t logCall(const char* call, uint32_t param);
    void logFailure(size_t line, int16_t code);
    // Throws the injected fault that matches this call, if any.
    void checkFault(const char* call, uint32_t param, int16_t attribute);

    void init();
    void uninit();
    int16_t cameraCount();
    std::string cameraName(int16_t index);
    int16_t open(const std::string& name);
    void close(int16_t handle);
    // The open camera; shared so that a close on another thread cannot free it under a call.
    std::shared_ptr<Camera> camera(int16_t handle);

    // Test control.
    void reset();
    void setCameraCount(int16_t count);
    void addFault(Fault fault);
    void clearFaults();
    void setSilent(bool silent) { m_silent = silent; }
    bool silent() const { return m_silent; }
    void scriptTemperatures(const int16_t* values, int32_t count);
    bool nextScriptedTemperature(int16_t* value);
    void ppClear();
    void ppAddFeature(const char* name, uint32_t id);
    void ppAddParam(const char* name, uint32_t id, uint32_t min, uint32_t max, uint32_t def);
    uint32_t ppValue(uint16_t feature, uint16_t param);
    void failFrames(int32_t count) { m_failFrames = count; }
    // Takes one scripted frame failure, if any is left.
    bool takeFrameFailure();
    void setMetadata(uint32_t bytes) { m_metadata = bytes; }
    uint32_t metadata() const { return m_metadata; }
    std::string callLog();
    int32_t callCount();
    void clearCallLog();
    void frameDelivered() { ++m_framesDelivered; }
    uint32_t framesDelivered() const { return m_framesDelivered; }

private:
    Library();
    std::mutex m_mutex;
    bool m_initialised = false;
    int16_t m_cameraCount = 1;
    std::map<int16_t, std::shared_ptr<Camera>> m_open;
    std::map<std::string, int16_t> m_openByName;
    int16_t m_nextHandle = 1;
    uint64_t m_opens = 0;
    std::vector<Fault> m_faults;
    std::vector<int16_t> m_tempScript;
    std::vector<PpFeature> m_pp;
    std::vector<std::string> m_log;
    std::atomic<bool> m_silent{false};
    std::atomic<uint32_t> m_metadata{0};
    std::atomic<int32_t> m_failFrames{0};
    std::atomic<uint32_t> m_framesDelivered{0};
};

std::string cameraNameOf(int16_t index);
// True on an acquisition thread while it runs an end-of-frame callback: closing from there would
// join the thread from itself.
bool insideCallback();

} // namespace kx
