#include <algorithm>
#include <cmath>
#include <cstring>

#include "cabinetstate.h"
#include "device.h"
#include "virtualscene.h"

namespace kx {

namespace {

constexpr double kCoolingTimeConstantMs = 20000.0;
constexpr double kReadoutMs = 20.0;
constexpr int16_t kTempMin = -5000, kTempMax = 5000;

thread_local bool t_inCallback = false;
thread_local const Camera* t_producing = nullptr;

// One parameter seen through the generic attribute interface.
struct Descriptor {
    uint32_t type;
    int64_t current, min, max, def;
    bool writable;
};

void storeValue(uint32_t type, int64_t v, void* out)
{
    switch (type) {
    case KX_TYPE_INT16: {
        const int16_t x = static_cast<int16_t>(v);
        std::memcpy(out, &x, sizeof x);
        break;
    }
    case KX_TYPE_ENUM: {
        const int32_t x = static_cast<int32_t>(v);
        std::memcpy(out, &x, sizeof x);
        break;
    }
    case KX_TYPE_BOOLEAN: {
        const uint16_t x = static_cast<uint16_t>(v);
        std::memcpy(out, &x, sizeof x);
        break;
    }
    default: {
        const uint32_t x = static_cast<uint32_t>(v);
        std::memcpy(out, &x, sizeof x);
        break;
    }
    }
}

int64_t loadValue(uint32_t type, const void* in)
{
    switch (type) {
    case KX_TYPE_INT16: {
        int16_t x;
        std::memcpy(&x, in, sizeof x);
        return x;
    }
    case KX_TYPE_ENUM: {
        int32_t x;
        std::memcpy(&x, in, sizeof x);
        return x;
    }
    case KX_TYPE_BOOLEAN: {
        uint16_t x;
        std::memcpy(&x, in, sizeof x);
        return x;
    }
    default: {
        uint32_t x;
        std::memcpy(&x, in, sizeof x);
        return x;
    }
    }
}

void storeText(const std::string& text, void* out)
{
    char* dst = static_cast<char*>(out);
    std::memset(dst, 0, KX_NAME_LEN);
    std::memcpy(dst, text.data(), std::min<size_t>(text.size(), KX_NAME_LEN - 1));
}

} // namespace

bool insideCallback()
{
    return t_inCallback;
}

Camera::Camera(int16_t handle, const std::vector<PpFeature>& pp, uint64_t seedBase)
    : m_handle(handle), m_seedBase(seedBase), m_tempSince(std::chrono::steady_clock::now()), m_pp(pp)
{
}

Camera::~Camera()
{
    abort();
}

int16_t Camera::temperature()
{
    int16_t scripted;
    if (Library::instance().nextScriptedTemperature(&scripted))
        return scripted;
    const double tau = std::max(1e-3, kCoolingTimeConstantMs * vcab::timeScale());
    const double t = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_tempSince).count();
    return static_cast<int16_t>(std::lround(m_setpoint + (m_tempFrom - m_setpoint) * std::exp(-t / tau)));
}

void Camera::getParam(uint32_t id, int16_t attribute, void* value)
{
    std::lock_guard<std::mutex> lock(m_paramMutex);
    const bool known = id == PARAM_TEMP || id == PARAM_TEMP_SETPOINT || id == PARAM_CLEAR_MODE || id == PARAM_GAIN_INDEX
        || id == PARAM_SPDTAB_INDEX || id == PARAM_PP_INDEX || id == PARAM_PP_FEAT_NAME || id == PARAM_PP_FEAT_ID
        || id == PARAM_PP_PARAM_INDEX || id == PARAM_PP_PARAM_NAME || id == PARAM_PP_PARAM_ID || id == PARAM_PP_PARAM
        || id == PARAM_EXP_RES || id == PARAM_HOT_PIXEL_FIX || id == PARAM_FRAME_AVERAGE;
    if (attribute == KX_ATTR_AVAIL) {
        storeValue(KX_TYPE_BOOLEAN, known ? 1 : 0, value);
        return;
    }
    if (!known)
        throw Failure{KX_ERR_BAD_PARAM};
    const uint32_t type = KX_PARAM_TYPE(id);
    if (attribute == KX_ATTR_TYPE) {
        storeValue(KX_TYPE_BOOLEAN, type, value);
        return;
    }
    const bool featureOk = m_ppIndex >= 0 && static_cast<size_t>(m_ppIndex) < m_pp.size();
    const PpFeature* feature = featureOk ? &m_pp[static_cast<size_t>(m_ppIndex)] : nullptr;
    const PpParam* param = feature && m_ppParamIndex >= 0 && static_cast<size_t>(m_ppParamIndex) < feature->params.size()
        ? &feature->params[static_cast<size_t>(m_ppParamIndex)]
        : nullptr;

    if (type == KX_TYPE_CHAR_PTR) {
        const std::string* text = nullptr;
        if (id == PARAM_PP_FEAT_NAME && feature)
            text = &feature->name;
        else if (id == PARAM_PP_PARAM_NAME && param)
            text = &param->name;
        if (!text)
            throw Failure{KX_ERR_BAD_INDEX};
        if (attribute == KX_ATTR_CURRENT)
            storeText(*text, value);
        else if (attribute == KX_ATTR_COUNT)
            storeValue(KX_TYPE_UNS32, static_cast<int64_t>(std::min<size_t>(text->size(), KX_NAME_LEN - 1) + 1), value);
        else
            throw Failure{KX_ERR_BAD_ATTR};
        return;
    }

    Descriptor d{type, 0, 0, 0, 0, true};
    switch (id) {
    case PARAM_TEMP:
        d = {type, temperature(), kTempMin, kTempMax, kAmbientTemp, false};
        break;
    case PARAM_TEMP_SETPOINT:
        d = {type, m_setpoint, -2500, 2500, 0, true};
        break;
    case PARAM_CLEAR_MODE:
        d = {type, m_clearMode, 0, 4, 0, true};
        break;
    case PARAM_GAIN_INDEX:
        d = {type, m_gainIndex, 1, 3, 1, true};
        break;
    case PARAM_SPDTAB_INDEX:
        d = {type, m_speedIndex, 0, 2, 0, true};
        break;
    case PARAM_EXP_RES:
        d = {type, m_expRes, 0, 2, 0, true};
        break;
    case PARAM_HOT_PIXEL_FIX:
        d = {type, m_hotPixelFix, 0, 1, 1, true};
        break;
    case PARAM_FRAME_AVERAGE:
        d = {type, m_frameAverage, 0, 1, 0, true};
        break;
    case PARAM_PP_INDEX:
        d = {type, m_ppIndex, 0, static_cast<int64_t>(m_pp.size()) - 1, 0, true};
        break;
    case PARAM_PP_PARAM_INDEX:
        if (!feature)
            throw Failure{KX_ERR_BAD_INDEX};
        d = {type, m_ppParamIndex, 0, static_cast<int64_t>(feature->params.size()) - 1, 0, true};
        break;
    case PARAM_PP_FEAT_ID:
        if (!feature)
            throw Failure{KX_ERR_BAD_INDEX};
        d = {type, feature->id, feature->id, feature->id, feature->id, false};
        break;
    case PARAM_PP_PARAM_ID:
        if (!param)
            throw Failure{KX_ERR_BAD_INDEX};
        d = {type, param->id, param->id, param->id, param->id, false};
        break;
    case PARAM_PP_PARAM:
        if (!param)
            throw Failure{KX_ERR_BAD_INDEX};
        d = {type, param->value, param->min, param->max, param->def, true};
        break;
    }
    int64_t v = 0;
    switch (attribute) {
    case KX_ATTR_CURRENT: v = d.current; break;
    case KX_ATTR_MIN: v = d.min; break;
    case KX_ATTR_MAX: v = d.max; break;
    case KX_ATTR_DEFAULT: v = d.def; break;
    case KX_ATTR_COUNT:
        storeValue(KX_TYPE_UNS32, std::max<int64_t>(0, d.max - d.min + 1), value);
        return;
    default:
        throw Failure{KX_ERR_BAD_ATTR};
    }
    storeValue(type, v, value);
}

void Camera::setParam(uint32_t id, const void* value)
{
    std::lock_guard<std::mutex> lock(m_paramMutex);
    const uint32_t type = KX_PARAM_TYPE(id);
    auto inRange = [](int64_t v, int64_t lo, int64_t hi) {
        if (v < lo || v > hi)
            throw Failure{KX_ERR_OUT_OF_RANGE};
    };
    switch (id) {
    case PARAM_TEMP:
    case PARAM_PP_FEAT_NAME:
    case PARAM_PP_FEAT_ID:
    case PARAM_PP_PARAM_NAME:
    case PARAM_PP_PARAM_ID:
        throw Failure{KX_ERR_READ_ONLY};
    case PARAM_TEMP_SETPOINT: {
        const int64_t v = loadValue(type, value);
        inRange(v, -2500, 2500);
        // Cooling continues from wherever the sensor is now.
        m_tempFrom = temperature();
        m_tempSince = std::chrono::steady_clock::now();
        m_setpoint = static_cast<int16_t>(v);
        return;
    }
    case PARAM_CLEAR_MODE: {
        const int64_t v = loadValue(type, value);
        inRange(v, 0, 4);
        m_clearMode = static_cast<int32_t>(v);
        return;
    }
    case PARAM_GAIN_INDEX: {
        const int64_t v = loadValue(type, value);
        inRange(v, 1, 3);
        m_gainIndex = static_cast<int16_t>(v);
        return;
    }
    case PARAM_SPDTAB_INDEX: {
        const int64_t v = loadValue(type, value);
        inRange(v, 0, 2);
        m_speedIndex = static_cast<int16_t>(v);
        return;
    }
    case PARAM_EXP_RES: {
        const int64_t v = loadValue(type, value);
        inRange(v, 0, 2);
        m_expRes = static_cast<int32_t>(v);
        return;
    }
    case PARAM_HOT_PIXEL_FIX:
    case PARAM_FRAME_AVERAGE: {
        const int64_t v = loadValue(type, value);
        inRange(v, 0, 1);
        (id == PARAM_HOT_PIXEL_FIX ? m_hotPixelFix : m_frameAverage) = static_cast<uint16_t>(v);
        return;
    }
    case PARAM_PP_INDEX: {
        const int64_t v = loadValue(type, value);
        inRange(v, 0, static_cast<int64_t>(m_pp.size()) - 1);
        m_ppIndex = static_cast<int16_t>(v);
        m_ppParamIndex = 0;
        return;
    }
    case PARAM_PP_PARAM_INDEX: {
        const int64_t v = loadValue(type, value);
        if (m_ppIndex < 0 || static_cast<size_t>(m_ppIndex) >= m_pp.size())
            throw Failure{KX_ERR_BAD_INDEX};
        inRange(v, 0, static_cast<int64_t>(m_pp[static_cast<size_t>(m_ppIndex)].params.size()) - 1);
        m_ppParamIndex = static_cast<int16_t>(v);
        return;
    }
    case PARAM_PP_PARAM: {
        if (m_ppIndex < 0 || static_cast<size_t>(m_ppIndex) >= m_pp.size())
            throw Failure{KX_ERR_BAD_INDEX};
        auto& params = m_pp[static_cast<size_t>(m_ppIndex)].params;
        if (m_ppParamIndex < 0 || static_cast<size_t>(m_ppParamIndex) >= params.size())
            throw Failure{KX_ERR_BAD_INDEX};
        PpParam& p = params[static_cast<size_t>(m_ppParamIndex)];
        const int64_t v = loadValue(type, value);
        inRange(v, p.min, p.max);
        p.value = static_cast<uint32_t>(v);
        return;
    }
    default:
        throw Failure{KX_ERR_BAD_PARAM};
    }
}

uint32_t Camera::ppValue(uint16_t feature, uint16_t param) const
{
    std::lock_guard<std::mutex> lock(m_paramMutex);
    if (feature >= m_pp.size() || param >= m_pp[feature].params.size())
        return 0;
    return m_pp[feature].params[param].value;
}

double Camera::exposureMs(uint32_t exposure) const
{
    std::lock_guard<std::mutex> lock(m_paramMutex);
    switch (m_expRes) {
    case KX_EXP_RES_US: return exposure / 1000.0;
    case KX_EXP_RES_S: return exposure * 1000.0;
    default: return exposure;
    }
}

uint32_t Camera::setup(bool continuous, uint16_t frames, const rgn_type& r, int16_t expMode, uint32_t exposure)
{
    if (expMode != KX_EXP_MODE_TIMED && expMode != KX_EXP_MODE_TIMED_OUT)
        throw Failure{KX_ERR_BAD_MODE};
    if (frames < 1)
        throw Failure{KX_ERR_BAD_MODE};
    // One binning for both axes: the sensor bins square blocks.
    if (r.sbin < 1 || r.pbin < 1 || r.sbin != r.pbin || r.s1 > r.s2 || r.p1 > r.p2 || r.s2 >= kSensorWidth
        || r.p2 >= kSensorHeight)
        throw Failure{KX_ERR_BAD_REGION};
    const uint32_t w = (r.s2 + 1u - r.s1) / r.sbin;
    const uint32_t h = (r.p2 + 1u - r.p1) / r.pbin;
    if (w < 1 || h < 1)
        throw Failure{KX_ERR_BAD_REGION};
    {
        std::lock_guard<std::mutex> lock(m_acqMutex);
        if (m_running)
            throw Failure{KX_ERR_BUSY};
    }
    joinProducer();
    std::lock_guard<std::mutex> lock(m_acqMutex);
    if (m_running)
        throw Failure{KX_ERR_BUSY};
    m_metadata = Library::instance().metadata();
    const uint64_t frameBytes = uint64_t(w) * h * 2 + m_metadata;
    if (frameBytes * frames > UINT32_MAX)
        throw Failure{KX_ERR_BAD_MODE};
    m_frameBytes = static_cast<uint32_t>(frameBytes);
    m_region = r;
    m_frames = frames;
    m_continuous = continuous;
    m_exposure = exposure;
    m_setupDone = true;
    m_status = KX_STATUS_IDLE;
    return continuous ? m_frameBytes : m_frameBytes * frames;
}

void Camera::start(bool continuous, void* buffer, uint32_t size)
{
    if (onProducerThread())
        throw Failure{KX_ERR_BUSY};
    // Lock order: join, then acquisition; the producer itself only ever takes the latter.
    std::lock_guard<std::mutex> joinLock(m_joinMutex);
    auto check = [&] {
        if (m_running)
            throw Failure{KX_ERR_BUSY};
        if (!m_setupDone || m_continuous != continuous)
            throw Failure{KX_ERR_NOT_SETUP};
        if (!buffer)
            throw Failure{KX_ERR_NULL_POINTER};
        if (m_continuous && size < m_frameBytes)
            throw Failure{KX_ERR_BUFFER_SMALL};
    };
    {
        std::lock_guard<std::mutex> lock(m_acqMutex);
        check();
    }
    if (m_producer.joinable())
        m_producer.join();
    std::lock_guard<std::mutex> lock(m_acqMutex);
    check();
    m_buffer = static_cast<uint8_t*>(buffer);
    m_slots = m_continuous ? size / m_frameBytes : m_frames;
    m_running = true;
    m_abort = false;
    m_status = KX_STATUS_EXPOSING;
    m_bytesDone = 0;
    m_latest = nullptr;
    m_frameNr = 0;
    m_producer = std::thread(&Camera::produce, this);
}

void Camera::status(int16_t* status, uint32_t* bytes)
{
    std::lock_guard<std::mutex> lock(m_acqMutex);
    *status = m_status;
    *bytes = m_bytesDone;
}

void Camera::abort()
{
    {
        std::lock_guard<std::mutex> lock(m_acqMutex);
        m_abort = true;
        m_running = false;
        if (m_status != KX_STATUS_COMPLETE && m_status != KX_STATUS_FAILED)
            m_status = KX_STATUS_IDLE;
        m_wake.notify_all();
    }
    joinProducer();
}

bool Camera::onProducerThread() const
{
    return t_producing == this;
}

void Camera::joinProducer()
{
    // From the producer's own callback the thread cannot wait for itself; it ends after the
    // callback returns, and the next start joins it.
    if (onProducerThread())
        return;
    std::lock_guard<std::mutex> joinLock(m_joinMutex);
    if (m_producer.joinable())
        m_producer.join();
}

void Camera::finish()
{
    abort();
    std::lock_guard<std::mutex> lock(m_acqMutex);
    m_status = KX_STATUS_IDLE;
    m_setupDone = false;
}

void* Camera::latestFrame()
{
    std::lock_guard<std::mutex> lock(m_acqMutex);
    if (!m_latest)
        throw Failure{KX_ERR_NO_FRAME};
    return m_latest;
}

void Camera::setCallback(kx_eof_callback callback, void* context)
{
    std::lock_guard<std::mutex> lock(m_acqMutex);
    m_callback = callback;
    m_context = context;
}

void Camera::produce()
{
    t_producing = this;
    const auto started = std::chrono::steady_clock::now();
    auto micros = [&] {
        return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started).count();
    };
    const double expMs = exposureMs(m_exposure);
    const auto frameTime = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double, std::milli>((expMs + kReadoutMs) * vcab::timeScale()));
    int16_t gainIndex;
    {
        std::lock_guard<std::mutex> lock(m_paramMutex);
        gainIndex = m_gainIndex;
    }
    vcab::SceneRequest request;
    request.sensorWidth = kSensorWidth;
    request.sensorHeight = kSensorHeight;
    request.originX = m_region.s1;
    request.originY = m_region.p1;
    request.binning = m_region.sbin;
    request.width = (m_region.s2 + 1 - m_region.s1) / m_region.sbin;
    request.height = (m_region.p2 + 1 - m_region.p1) / m_region.pbin;
    request.exposureMs = expMs;
    request.gain = static_cast<double>(1 << (gainIndex - 1));
    request.blackLevel = kBlackLevel;

    for (uint32_t i = 0;; ++i) {
        const int64_t begin = micros();
        {
            std::unique_lock<std::mutex> lock(m_acqMutex);
            const auto deadline = std::chrono::steady_clock::now() + frameTime;
            if (m_wake.wait_until(lock, deadline, [&] { return m_abort; }))
                return;
            if (Library::instance().silent()) {
                m_wake.wait(lock, [&] { return m_abort; });
                return;
            }
        }
        if (Library::instance().takeFrameFailure()) {
            std::lock_guard<std::mutex> lock(m_acqMutex);
            m_status = KX_STATUS_FAILED;
            m_running = false;
            return;
        }
        uint8_t* slot = m_buffer + static_cast<size_t>(m_continuous ? i % m_slots : i) * m_frameBytes;
        std::memset(slot, 0, m_metadata);
        const vcab::CabinetSnapshot cabinet = vcab::CabinetState::instance().snapshot();
        request.lensPosition = vcab::boardLensPosition(cabinet);
        request.seed = m_seedBase + i + 1;
        vcab::renderScene(request, cabinet, reinterpret_cast<uint16_t*>(slot + m_metadata));

        kx_frame_info info{};
        kx_eof_callback callback;
        void* context;
        bool last;
        {
            std::lock_guard<std::mutex> lock(m_acqMutex);
            if (m_abort)
                return;
            last = !m_continuous && i + 1 == m_frames;
            m_latest = slot;
            m_bytesDone = m_continuous ? m_frameBytes : m_bytesDone + m_frameBytes;
            m_status = last ? KX_STATUS_COMPLETE : KX_STATUS_EXPOSING;
            if (last)
                m_running = false;
            info.frame_nr = ++m_frameNr;
            info.hcam = m_handle;
            info.timestamp_bof = begin;
            info.timestamp_eof = micros();
            info.exposure_time = m_exposure;
            info.frame_bytes = m_frameBytes;
            info.width = static_cast<uint16_t>(request.width);
            info.height = static_cast<uint16_t>(request.height);
            callback = m_callback;
            context = m_context;
        }
        Library::instance().frameDelivered();
        if (callback) {
            t_inCallback = true;
            callback(&info, context);
            t_inCallback = false;
        }
        if (last)
            return;
    }
}

} // namespace kx
