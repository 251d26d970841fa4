// Reduction of a typed address to the host name that is looked up.
#include "trace/strip_url.h"
#include "common/bounded_text.h"
#include <cctype>
#include <cstring>

static bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix; text++, prefix++) {
        if (tolower(static_cast<unsigned char>(*text)) != *prefix)
            return false;
    }
    return true;
}

char* StripUrl(const char* text, char* out, size_t size) {
    if (size == 0)
        return out; // no room even for the terminator: the cut below would read past out
    // "https://" is tested first, or "http://" would never match it and "https:" would be
    // looked up as the name.
    static const char* const schemes[] = {"https://", "http://", "ftp://"};
    for (const char* scheme : schemes) {
        if (StartsWithNoCase(text, scheme)) {
            text += strlen(scheme);
            break;
        }
    }
    CopyText(out, size, text);
    char* cut = strchr(out, '/');
    if (!cut)
        cut = strchr(out, '\\');
    if (cut)
        *cut = '\0';
    return out;
}
