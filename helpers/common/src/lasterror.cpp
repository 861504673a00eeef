#include "kh/lasterror.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <sys/types.h>
#include <unistd.h>

namespace kh {

namespace {

// Threads already running when the library was loaded, other than the loading thread: they get
// no buffer of their own. A thread is known by its id and start time, so that a later thread
// that reuses a finished one's id is not taken for it.
struct ThreadStamp {
    pid_t tid;
    unsigned long long start;
};
constexpr std::size_t kMaxStamps = 4096;
ThreadStamp g_stamps[kMaxStamps];
std::size_t g_stampCount = 0;

// Start time of a thread of this process (clock ticks since boot), or 0 when unreadable.
unsigned long long threadStart(pid_t tid) noexcept
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/task/%d/stat", int(tid));
    FILE* f = std::fopen(path, "r");
    if (!f)
        return 0;
    char line[1024];
    const std::size_t n = std::fread(line, 1, sizeof line - 1, f);
    std::fclose(f);
    line[n] = '\0';
    // The thread name may hold spaces and parentheses: count fields from the last ')'.
    const char* p = std::strrchr(line, ')');
    if (!p)
        return 0;
    ++p;
    // State is field 3, start time field 22.
    for (int field = 3; field < 22 && *p; ++field) {
        while (*p == ' ')
            ++p;
        while (*p && *p != ' ')
            ++p;
    }
    return std::strtoull(p, nullptr, 10);
}

__attribute__((constructor)) void noteThreadsAtLoad()
{
    const pid_t self = gettid();
    DIR* dir = opendir("/proc/self/task");
    if (!dir)
        return;
    while (dirent* e = readdir(dir)) {
        const long tid = std::strtol(e->d_name, nullptr, 10);
        if (tid <= 0 || tid == self || g_stampCount == kMaxStamps)
            continue;
        g_stamps[g_stampCount++] = ThreadStamp{pid_t(tid), threadStart(pid_t(tid))};
    }
    closedir(dir);
}

struct LastErrorBuffer {
    bool set = false;
    char text[kLastErrorCapacity] = {};
};

LastErrorBuffer& threadBuffer() noexcept
{
    thread_local LastErrorBuffer buffer;
    return buffer;
}

} // namespace

void setLastError(const char* text) noexcept
{
    LastErrorBuffer& b = threadBuffer();
    if (!text)
        text = "";
    const std::size_t n = strnlen(text, kLastErrorCapacity - 1);
    std::memcpy(b.text, text, n);
    b.text[n] = '\0';
    b.set = true;
}

bool threadPredatesLibrary() noexcept
{
    // 0 unknown, 1 yes, 2 no: worked out once per thread
    thread_local int answer = 0;
    if (answer == 0) {
        answer = 2;
        const pid_t self = gettid();
        for (std::size_t i = 0; i < g_stampCount; ++i)
            if (g_stamps[i].tid == self && g_stamps[i].start == threadStart(self))
                answer = 1;
    }
    return answer == 1;
}

const char* lastError(const char* noBufferText) noexcept
{
    const LastErrorBuffer& b = threadBuffer();
    if (b.set)
        return b.text;
    return threadPredatesLibrary() ? noBufferText : kNoErrorYet;
}

int32_t copyLastError(char* buffer, uint32_t* inOutLength, const char* noBufferText,
                      int32_t tooSmallCode) noexcept
{
    if (!buffer || !inOutLength)
        return CodeArgumentNull;
    const char* text = lastError(noBufferText);
    const std::size_t needed = std::strlen(text) + 1;
    const uint32_t given = *inOutLength;
    if (given != 0) {
        const std::size_t n = given < needed ? given : needed;
        std::memcpy(buffer, text, n);
        buffer[given < needed ? given - 1 : needed - 1] = '\0';
    }
    *inOutLength = static_cast<uint32_t>(needed);
    return given >= needed ? CodeNoError : tooSmallCode;
}

int32_t writeVersion(uint16_t* major, uint16_t* minor, uint16_t* build, uint16_t vMajor,
                     uint16_t vMinor, uint16_t vBuild) noexcept
{
    if (!major || !minor || !build) {
        setLastError("Must provide a valid pointer for major, minor and build version.");
        return CodeArgumentNull;
    }
    *major = vMajor;
    *minor = vMinor;
    *build = vBuild;
    return CodeNoError;
}

} // namespace kh
