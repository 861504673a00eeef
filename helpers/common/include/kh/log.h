#pragma once

#include <fstream>
#include <memory>
#include <mutex>

namespace tq {

// The colour library's optional file log: KESTRIX_HELPER_COLOR_LOG_FILE names the file,
// opened for append; without it (or when it cannot be opened) logging is off.
class Log {
public:
    static std::shared_ptr<Log> Instance();
    // One printf-style line, flushed; nothing when the file is closed.
    void PrintMessage(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    bool isOpen() const { return m_stream.is_open(); }

    Log();

private:
    std::ofstream m_stream;
    std::mutex m_mutex;
};

} // namespace tq

// A case that validation should have excluded: logged, never fatal.
#define KH_ASSERT_LOG(file, text) \
    ::tq::Log::Instance()->PrintMessage("ASSERT(false) - %s:%u - %s", file, unsigned(__LINE__), text)
