// FormatAddress of any address (the first four bytes, in memory order): a dotted quad of at
// most 15 characters whose four numbers, without leading zeros, read back as those bytes.
#include "fuzz_check.h"
#include "trace/format_address.h"
#include <cstdint>
#include <cstdio>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    uint32_t address;
    memcpy(&address, data, sizeof address);
    const char* text = FormatAddress(address);
    size_t length = strlen(text);
    FUZZ_CHECK(length >= 7 && length <= 15);
    FUZZ_CHECK(strspn(text, "0123456789.") == length);
    unsigned parts[4];
    int used = 0;
    FUZZ_CHECK(
        sscanf(text, "%3u.%3u.%3u.%3u%n", &parts[0], &parts[1], &parts[2], &parts[3], &used) == 4);
    FUZZ_CHECK(static_cast<size_t>(used) == length);
    size_t digits = 0; // without leading zeros
    for (int i = 0; i < 4; i++) {
        FUZZ_CHECK(parts[i] == data[i]);
        digits += data[i] >= 100 ? 3 : data[i] >= 10 ? 2 : 1;
    }
    FUZZ_CHECK(length == digits + 3);
    return 0;
}
