#pragma once

#include <mutex>
#include <unordered_set>

namespace kh {

// The contexts a library handed out and has not yet released. Every call checks its context
// here before touching it, so a released pointer, or one that never came from the library, is
// refused instead of being read or freed again. Each library keeps its own.
class ContextRegistry {
public:
    void add(const void* context);
    // False when the pointer was not live (nothing is removed then).
    bool remove(const void* context);
    bool contains(const void* context) const;

private:
    mutable std::mutex m_mutex;
    std::unordered_set<const void*> m_live;
};

} // namespace kh
