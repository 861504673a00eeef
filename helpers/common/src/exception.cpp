#include "kh/exception.h"

#include <utility>

namespace kh {

Exception::Exception(std::string message, int32_t code) : m_message(std::move(message)), m_code(code) {}
Exception::~Exception() = default;

const char* Exception::what() const noexcept
{
    return m_message.empty() ? "Unknown exception" : m_message.c_str();
}

int32_t Exception::code() const noexcept { return m_code; }

ExceptionArgument::ExceptionArgument(std::string m, int32_t c) : Exception(std::move(m), c) {}
ExceptionArgumentNull::ExceptionArgumentNull(std::string m, int32_t c) : Exception(std::move(m), c) {}
ExceptionArgumentOutOfRange::ExceptionArgumentOutOfRange(std::string m, int32_t c)
    : Exception(std::move(m), c) {}
ExceptionNotSupported::ExceptionNotSupported(std::string m, int32_t c) : Exception(std::move(m), c) {}
ExceptionOutOfMemory::ExceptionOutOfMemory(std::string m, int32_t c) : Exception(std::move(m), c) {}
ExceptionOpFailed::ExceptionOpFailed(std::string m, int32_t c) : Exception(std::move(m), c) {}
ExceptionOpInProgress::ExceptionOpInProgress(std::string m, int32_t c) : Exception(std::move(m), c) {}
ExceptionOpAborted::ExceptionOpAborted(std::string m, int32_t c) : Exception(std::move(m), c) {}

std::string ExceptionKestrix::composeMessage(const std::string& leading, int32_t sdkCode,
                                             const char* sdkText)
{
    std::string text = sdkText ? std::string(sdkText)
                               : "Unable to get error message for error code " + std::to_string(sdkCode);
    return leading + " (" + text + ")";
}

ExceptionKestrix::ExceptionKestrix(const std::string& leading, int32_t sdkCode, const char* sdkText)
    : Exception(composeMessage(leading, sdkCode, sdkText), CodeKestrixBase + sdkCode)
{
}

Exception withSuffix(const Exception& e, const std::string& suffix)
{
    return Exception(std::string(e.what()) + suffix, e.code());
}

} // namespace kh
