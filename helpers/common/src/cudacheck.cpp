#include "kh/cudacheck.h"

#include <stdexcept>

namespace kh {

std::string cudaErrorText(int code, const char* codeText, const char* function, unsigned line)
{
    return "CUDA error " + std::to_string(code) + ": " + (codeText ? codeText : "") + ", in " +
           (function ? function : "") + ":" + std::to_string(line);
}

void throwCudaError(const std::string& text) { throw std::runtime_error(text); }

} // namespace kh
