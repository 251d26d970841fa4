// Dotted-quad text of an IPv4 address (platform-free).
#pragma once
#include <cstdint>

// "%d.%d.%d.%d" of the address's four bytes in memory order (network byte order), in one
// shared buffer that the next call overwrites.
const char* FormatAddress(uint32_t address);
