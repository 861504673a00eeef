#include "kh/registry.h"

namespace kh {

void ContextRegistry::add(const void* context, const void* part)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_live[context] = part;
}

bool ContextRegistry::remove(const void* context, const void** part)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_live.find(context);
    if (it == m_live.end())
        return false;
    if (part)
        *part = it->second;
    m_live.erase(it);
    return true;
}

bool ContextRegistry::contains(const void* context) const
{
    if (!context)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_live.count(context) != 0;
}

bool ContextRegistry::contains(const void* context, const void* part) const
{
    if (!context)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_live.find(context);
    return it != m_live.end() && it->second == part;
}

} // namespace kh
