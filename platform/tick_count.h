#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a monotonic clock, truncated to 32 bits (wraps after about 49.7 days).
std::uint32_t TickCount();

} // namespace platform
