#include "kh/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace tq {

Log::Log()
{
    const char* path = std::getenv("KESTRIX_HELPER_COLOR_LOG_FILE");
    if (path && *path)
        m_stream.open(path, std::ios::out | std::ios::app);
}

std::shared_ptr<Log> Log::Instance()
{
    static const std::shared_ptr<Log> instance = std::make_shared<Log>();
    return instance;
}

void Log::PrintMessage(const char* format, ...)
{
    if (!m_stream.is_open())
        return;
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        va_end(args);
        return;
    }
    std::string line(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(line.data(), line.size(), format, args);
    va_end(args);
    line.back() = '\n';
    // Whole lines: several threads may log at once.
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stream << line;
    m_stream.flush();
}

} // namespace tq
