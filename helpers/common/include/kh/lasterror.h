#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <new>

#include "kh/exception.h"

namespace kh {

// Per-thread last-error text of one library (each shared library links its own copy).
constexpr std::size_t kLastErrorCapacity = 4096;

// What a thread that started after the library was loaded (or the loading thread) reads
// before its first failure.
constexpr const char* kNoErrorYet = "No error.";

// Copies text into the calling thread's buffer; longer texts are cut to 4095 characters.
void setLastError(const char* text) noexcept;
// The calling thread's text; before its first failure kNoErrorYet, or noBufferText for a thread
// that was already running when the library was loaded (such threads get no buffer at load).
const char* lastError(const char* noBufferText) noexcept;
// True when the calling thread was running before the library was loaded and is not the thread
// that loaded it.
bool threadPredatesLibrary() noexcept;

// The buffer-size protocol of *_get_last_error_message: null pointers give CodeArgumentNull;
// the text is copied cut to *inOutLength - 1 characters; *inOutLength becomes the needed
// length; tooSmallCode when the given length was short.
int32_t copyLastError(char* buffer, uint32_t* inOutLength, const char* noBufferText,
                      int32_t tooSmallCode) noexcept;

// Writes the three version numbers, or refuses null pointers with code 3 and sets the text
// directly.
int32_t writeVersion(uint16_t* major, uint16_t* minor, uint16_t* build, uint16_t vMajor,
                     uint16_t vMinor, uint16_t vBuild) noexcept;

// The export frame: runs body, turns any exception into the last-error text and a code.
// Anything that is not a std::exception is caught as well: nothing may unwind into C callers.
template <class Body>
int32_t exportFrame(Body&& body) noexcept
{
    try {
        body();
        return CodeNoError;
    } catch (const Exception& e) {
        setLastError(e.what());
        return e.code();
    } catch (const std::exception& e) {
        setLastError(e.what());
        return CodeUnspecified;
    } catch (...) {
        setLastError("Unknown exception");
        return CodeUnspecified;
    }
}

// Message tables of the two libraries (constant texts, never freed).
const char* colorErrorMessage(uint32_t code) noexcept;
const char* trackErrorMessage(int32_t code) noexcept;

} // namespace kh
