#include "kh/registry.h"

namespace kh {

void ContextRegistry::add(const void* context)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_live.insert(context);
}

bool ContextRegistry::remove(const void* context)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_live.erase(context) != 0;
}

bool ContextRegistry::contains(const void* context) const
{
    if (!context)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_live.count(context) != 0;
}

} // namespace kh
