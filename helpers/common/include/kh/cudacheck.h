#pragma once

#include <string>

namespace kh {

// "CUDA error <code>: <text>, in <function>:<line>"; the text is the runtime's own.
std::string cudaErrorText(int code, const char* codeText, const char* function, unsigned line);
// Raises the text as std::runtime_error (the export frame turns it into result 1).
[[noreturn]] void throwCudaError(const std::string& text);

} // namespace kh
