#include "device.h"

#include <algorithm>
#include <cstdio>

namespace kx {

std::vector<PpFeature> defaultPpTable()
{
    // Two features so that a search for a parameter has to walk the table.
    return {
        {"Defect Repair", 11, {{"Enabled", 110, 0, 1, 1, 1}, {"Threshold", 111, 0, 65535, 500, 500}}},
        {"Noise Reduction", 10, {{"Strength", 101, 0, 100, 50, 50}, {"Enabled", 100, 0, 1, 0, 0}}},
    };
}

std::string cameraNameOf(int16_t index)
{
    char name[KX_NAME_LEN];
    std::snprintf(name, sizeof name, "KX-2688-%02d", static_cast<int>(index));
    return name;
}

Library& Library::instance()
{
    static Library library;
    return library;
}

Library::Library() : m_pp(defaultPpTable()) {}

size_t Library::logCall(const char* call, uint32_t param)
{
    char line[96];
    if (param)
        std::snprintf(line, sizeof line, "%s 0x%08X", call, static_cast<unsigned>(param));
    else
        std::snprintf(line, sizeof line, "%s", call);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.emplace_back(line);
    return m_log.size() - 1;
}

void Library::logFailure(size_t line, int16_t code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (line < m_log.size())
        m_log[line] += " fail " + std::to_string(code);
}

void Library::checkFault(const char* call, uint32_t param, int16_t attribute)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Fault& f : m_faults) {
        if (f.call != call || (f.param && f.param != param) || (f.attribute >= 0 && f.attribute != attribute))
            continue;
        if (f.skip > 0) {
            --f.skip;
            continue;
        }
        if (f.times == 0)
            continue;
        if (f.times > 0)
            --f.times;
        throw Failure{f.code};
    }
}

void Library::init()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_initialised)
        throw Failure{KX_ERR_ALREADY_INIT};
    m_initialised = true;
}

bool Library::takeFrameFailure()
{
    int32_t left = m_failFrames.load();
    while (left > 0 && !m_failFrames.compare_exchange_weak(left, left - 1)) {
    }
    return left > 0;
}

void Library::uninit()
{
    if (insideCallback())
        throw Failure{KX_ERR_BUSY};
    std::map<int16_t, std::shared_ptr<Camera>> open;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_initialised)
            throw Failure{KX_ERR_NOT_INIT};
        m_initialised = false;
        open.swap(m_open);
        m_openByName.clear();
    }
    for (auto& entry : open)
        entry.second->abort();
}

int16_t Library::cameraCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_initialised)
        throw Failure{KX_ERR_NOT_INIT};
    return m_cameraCount;
}

std::string Library::cameraName(int16_t index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_initialised)
        throw Failure{KX_ERR_NOT_INIT};
    if (index < 0 || index >= m_cameraCount)
        throw Failure{KX_ERR_BAD_INDEX};
    return cameraNameOf(index);
}

int16_t Library::open(const std::string& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_initialised)
        throw Failure{KX_ERR_NOT_INIT};
    bool known = false;
    for (int16_t i = 0; i < m_cameraCount; ++i)
        known = known || cameraNameOf(i) == name;
    if (!known)
        throw Failure{KX_ERR_NO_CAMERA};
    if (m_openByName.count(name))
        throw Failure{KX_ERR_CAM_OPEN};
    const int16_t handle = m_nextHandle;
    m_nextHandle = static_cast<int16_t>(m_nextHandle % 30000 + 1);
    m_open[handle] = std::make_shared<Camera>(handle, m_pp, ++m_opens << 32);
    m_openByName[name] = handle;
    return handle;
}

void Library::close(int16_t handle)
{
    if (insideCallback())
        throw Failure{KX_ERR_BUSY};
    std::shared_ptr<Camera> camera;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_open.find(handle);
        if (it == m_open.end())
            throw Failure{KX_ERR_BAD_HANDLE};
        camera = it->second;
        m_open.erase(it);
        for (auto n = m_openByName.begin(); n != m_openByName.end(); ++n) {
            if (n->second == handle) {
                m_openByName.erase(n);
                break;
            }
        }
    }
    camera->abort();
}

std::shared_ptr<Camera> Library::camera(int16_t handle)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_open.find(handle);
    if (it == m_open.end())
        throw Failure{m_initialised ? int16_t(KX_ERR_BAD_HANDLE) : int16_t(KX_ERR_NOT_INIT)};
    return it->second;
}

void Library::reset()
{
    std::map<int16_t, std::shared_ptr<Camera>> open;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        open.swap(m_open);
        m_openByName.clear();
        m_initialised = false;
        m_cameraCount = 1;
        m_faults.clear();
        m_tempScript.clear();
        m_pp = defaultPpTable();
        m_log.clear();
    }
    for (auto& entry : open)
        entry.second->abort();
    m_silent = false;
    m_failFrames = 0;
    m_metadata = 0;
    m_framesDelivered = 0;
}

void Library::setCameraCount(int16_t count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cameraCount = std::max<int16_t>(0, count);
}

void Library::addFault(Fault fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back(std::move(fault));
}

void Library::clearFaults()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
}

void Library::scriptTemperatures(const int16_t* values, int32_t count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_tempScript.assign(values, values + std::max(0, count));
    std::reverse(m_tempScript.begin(), m_tempScript.end());
}

bool Library::nextScriptedTemperature(int16_t* value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_tempScript.empty())
        return false;
    *value = m_tempScript.back();
    m_tempScript.pop_back();
    return true;
}

void Library::ppClear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pp.clear();
}

void Library::ppAddFeature(const char* name, uint32_t id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pp.push_back({name ? name : "", id, {}});
}

void Library::ppAddParam(const char* name, uint32_t id, uint32_t min, uint32_t max, uint32_t def)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_pp.empty())
        m_pp.back().params.push_back({name ? name : "", id, min, max, def, def});
}

uint32_t Library::ppValue(uint16_t feature, uint16_t param)
{
    std::shared_ptr<Camera> first;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_open.empty())
            return 0;
        first = m_open.begin()->second;
    }
    return first->ppValue(feature, param);
}

std::string Library::callLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string all;
    for (const auto& line : m_log)
        all += line + "\n";
    return all;
}

int32_t Library::callCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int32_t>(m_log.size());
}

void Library::clearCallLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.clear();
}

} // namespace kx
