#include "kh/lasterror.h"

#include <cstring>

namespace kh {

namespace {

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

const char* lastError(const char* defaultText) noexcept
{
    const LastErrorBuffer& b = threadBuffer();
    return b.set ? b.text : defaultText;
}

int32_t copyLastError(char* buffer, uint32_t* inOutLength, const char* defaultText,
                      int32_t tooSmallCode) noexcept
{
    if (!buffer || !inOutLength)
        return CodeArgumentNull;
    const char* text = lastError(defaultText);
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
