// Which WhoIs server names are worth a lookup.
#include "whois/whois_text.h"

bool IsUsableServerName(const char* name) {
    size_t length = 0;
    bool spacesOnly = true;
    for (; name[length]; length++) {
        unsigned char c = static_cast<unsigned char>(name[length]);
        if (length >= kServerNameMax || c < ' ' || c > '~')
            return false;
        if (c != ' ')
            spacesOnly = false;
    }
    return length == 0 || !spacesOnly;
}
