#include "kh/lasterror.h"

namespace kh {

const char* colorErrorMessage(uint32_t code) noexcept
{
    if (code >= 0x7F0000u && code <= 0x7FFFFFu)
        return "KESTRIX call failed.";
    switch (code) {
    case 0: return "No errors.";
    case 1: return "Unspecified error.";
    case 2: return "Invalid argument value.";
    case 3: return "Null argument value.";
    case 4: return "Argument value out of range.";
    case 11: return "Operation not supported.";
    case 100: return "Output buffer is too small.";
    case 101: return "Operation failed.";
    case 102: return "Another operation in progress.";
    case 103: return "Operation aborted.";
    default: return "Unknown error code.";
    }
}

const char* trackErrorMessage(int32_t code) noexcept
{
    switch (code) {
    case 0: return "No errors";
    case 1: return "Unspecified error";
    case 2: return "An invalid argument supplied";
    case 3: return "A null argument supplied";
    case 4: return "Argument value out of range";
    case 11: return "Operation not supported";
    case 13: return "Insufficient system resources";
    case 1000: return "Output buffer is too small";
    default: return "Unknown error code";
    }
}

} // namespace kh
