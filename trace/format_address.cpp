// Dotted-quad text of an IPv4 address.
#include "trace/format_address.h"
#include "common/bounded_text.h"
#include <cstring>

const char* FormatAddress(uint32_t address) {
    static char text[16];
    unsigned char bytes[4];
    memcpy(bytes, &address, sizeof bytes);
    return FormatText(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
}
