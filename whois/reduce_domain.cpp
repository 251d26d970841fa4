// The domain a WhoIs server knows, cut from a host name.
#include "whois/whois_text.h"
#include <cstring>

// The last '.' in text[0, end), or nullptr.
static char* LastDotBefore(char* text, char* end) {
    for (char* p = end; p > text; p--)
        if (p[-1] == '.')
            return p - 1;
    return nullptr;
}

int ReduceDomainText(char* text) {
    char* end = text + strlen(text);
    char* d1 = LastDotBefore(text, end);
    char* d2 = d1 ? LastDotBefore(text, d1) : nullptr;
    char* d3 = d2 ? LastDotBefore(text, d2) : nullptr;
    char* deciding = d1 && end - d1 == 3 ? d3 : d2; // "xx" after the last dot: keep one more
    if (deciding)
        memmove(text, deciding + 1, strlen(deciding + 1) + 1);
    // What is left of a dotted address (2.3 of 10.1.2.3) is no domain, and neither is a label
    // such as 9b.xyz: the first character decides, as no address test would for both.
    if (text[0] >= '0' && text[0] <= '9') {
        text[0] = '\0';
        return 1;
    }
    return 0;
}
