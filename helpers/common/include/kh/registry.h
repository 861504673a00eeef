#pragma once

#include <mutex>
#include <unordered_map>

namespace kh {

// The contexts a library handed out and has not yet released. Every call checks its context
// here before touching it, so a released pointer, or one that never came from the library, is
// refused instead of being read or freed again. Each library keeps its own.
// A context may carry a private part: it is recorded with the context, so a context whose
// private pointer was overwritten is refused too, and its release frees the recorded part.
class ContextRegistry {
public:
    void add(const void* context, const void* part = nullptr);
    // False when the pointer was not live (nothing is removed then); part receives the
    // recorded private part.
    bool remove(const void* context, const void** part = nullptr);
    bool contains(const void* context) const;
    // True when the context is live and its recorded private part is part.
    bool contains(const void* context, const void* part) const;

private:
    mutable std::mutex m_mutex;
    std::unordered_map<const void*, const void*> m_live;
};

} // namespace kh
