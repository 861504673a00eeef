#include "colorcore.h"

#include "kh/exception.h"

#include <limits>
#include <string>

namespace khc {

std::size_t checkedMul(std::size_t a, std::size_t b)
{
    if (a != 0 && b > std::numeric_limits<std::size_t>::max() / a)
        throw kh::ExceptionArgumentOutOfRange("The frame size cannot be represented.");
    return a * b;
}

void checkFormat(int64_t format, unsigned bitDepth)
{
    if ((format == 0 || format == 1) && (bitDepth < 9 || bitDepth > 16))
        throw kh::ExceptionArgumentOutOfRange("The bit depth " + std::to_string(bitDepth) +
                                              " doesn't fit range from 9 to 16 for 16-bit image format.");
    if (format >= 2 && format <= 7 && (bitDepth < 1 || bitDepth > 8))
        throw kh::ExceptionArgumentOutOfRange("The bit depth " + std::to_string(bitDepth) +
                                              " doesn't fit range from 1 to 8 for 8-bit image format.");
    if (format < 0 || format > 7)
        throw kh::ExceptionArgument("The image format " + std::to_string(format) + " is unknown.");
}

} // namespace khc
