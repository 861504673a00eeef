#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace kh {

// Result codes of both helper libraries. Library-specific ones are marked.
enum Code : int32_t {
    CodeNoError = 0,
    CodeUnspecified = 1,
    CodeArgument = 2,
    CodeArgumentNull = 3,
    CodeArgumentOutOfRange = 4,
    CodeNotSupported = 11,
    CodeOutOfMemory = 13,          // tracking library
    CodeColorBufferTooSmall = 100, // colour library
    CodeOpFailed = 101,            // colour library
    CodeOpInProgress = 102,        // colour library
    CodeOpAborted = 103,           // colour library
    CodeTrackBufferTooSmall = 1000, // tracking library
    CodeKestrixBase = 0x7F0000,    // colour library: plus the camera SDK's own code
};

// Root of the family. Every member stores its code, so a caught exception can be re-raised
// with a longer text and the same code (see withSuffix).
class Exception : public std::exception {
public:
    explicit Exception(std::string message = {}, int32_t code = CodeUnspecified);
    ~Exception() override;
    const char* what() const noexcept override;
    virtual int32_t code() const noexcept;

private:
    std::string m_message;
    int32_t m_code;
};

class ExceptionArgument : public Exception {
public:
    explicit ExceptionArgument(std::string message, int32_t code = CodeArgument);
};

class ExceptionArgumentNull : public Exception {
public:
    explicit ExceptionArgumentNull(std::string message, int32_t code = CodeArgumentNull);
};

class ExceptionArgumentOutOfRange : public Exception {
public:
    explicit ExceptionArgumentOutOfRange(std::string message, int32_t code = CodeArgumentOutOfRange);
};

class ExceptionNotSupported : public Exception {
public:
    explicit ExceptionNotSupported(std::string message, int32_t code = CodeNotSupported);
};

class ExceptionOutOfMemory : public Exception {
public:
    explicit ExceptionOutOfMemory(std::string message, int32_t code = CodeOutOfMemory);
};

class ExceptionOpFailed : public Exception {
public:
    explicit ExceptionOpFailed(std::string message, int32_t code = CodeOpFailed);
};

class ExceptionOpInProgress : public Exception {
public:
    explicit ExceptionOpInProgress(std::string message, int32_t code = CodeOpInProgress);
};

class ExceptionOpAborted : public Exception {
public:
    explicit ExceptionOpAborted(std::string message, int32_t code = CodeOpAborted);
};

// A failed camera-SDK call. The caller supplies what the SDK said (the colour library asks the
// SDK itself); sdkText null means the SDK could not supply a text.
class ExceptionKestrix : public Exception {
public:
    ExceptionKestrix(const std::string& leading, int32_t sdkCode, const char* sdkText);
    static std::string composeMessage(const std::string& leading, int32_t sdkCode,
                                      const char* sdkText);
};

// Same type-independent code, text with suffix appended: for "\nError during ..." re-raises.
Exception withSuffix(const Exception& e, const std::string& suffix);

} // namespace kh
