#pragma once

#include <cstddef>
#include <cstdint>

namespace kh {

// Sizes in bytes that saturate at SIZE_MAX instead of wrapping, for set-up budgets.
std::size_t saturatingMul(std::size_t a, std::size_t b);
std::size_t saturatingAdd(std::size_t a, std::size_t b);

// Host memory a set-up may still claim: what the system reports available, within the
// process's address-space and data limits; SIZE_MAX when none of it can be read.
std::size_t hostMemoryBudget();

// Raises code 13 ("Insufficient system resources") when bytes exceed budget, so that a set-up
// fails before it fills buffers it could never hold.
void checkHostMemory(std::size_t bytes, std::size_t budget);

}  // namespace kh
