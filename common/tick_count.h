// A millisecond tick count that does not wrap, made from the 32-bit one (platform-free).
#pragma once
#include <cstdint>

// GetTickCount wraps to 0 after 49.7 days; GetTickCount64, which does not, is missing on Windows
// XP. Given the last value this returned (0 for none yet) and the 32-bit count now, returns the
// 64-bit count now. Right while the calls come less than 24.8 days (half the wrap) apart: a
// count read a moment before the last one, on another thread, then gives a value just below it.
uint64_t ExtendTickCount(uint64_t last, uint32_t tick);
