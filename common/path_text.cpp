// Paths walked by character, so that the second byte of a double-byte character is never taken
// for a separator (platform-free).
#include "common/path_text.h"

const char* LastPathSeparator(const char* path, LeadByteTest isLeadByte) {
    const char* last = nullptr;
    for (const char* c = path; *c; c++) {
        if (isLeadByte && isLeadByte(static_cast<unsigned char>(*c)) && c[1]) {
            c++; // the character's second byte, whatever its value
            continue;
        }
        if (*c == '\\' || *c == '/')
            last = c;
    }
    return last;
}
