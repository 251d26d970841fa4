// CSV quoting, HTML and JSON escaping of the saved files' cell texts (platform-free).
#include "save/file_text.h"
#include "hoptable/report_layout.h"
#include <cstring>

void AppendCsvField(std::string& out, const char* text) {
    if (!strpbrk(text, ",\"\r\n")) {
        out += text;
        return;
    }
    out += '"';
    for (const char* c = text; *c; c++) {
        if (*c == '"')
            out += '"';
        out += *c;
    }
    out += '"';
}

// The length of the valid UTF-8 character at text (1 ... 4), or 0 when there is none: no
// overlong form, no surrogate, nothing above U+10FFFF.
static size_t Utf8CharacterLength(const unsigned char* text) {
    unsigned char lead = text[0];
    if (lead < 0x80)
        return 1;
    size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    // The second byte's range shuts out the overlong forms, the surrogates and the code
    // points above U+10FFFF; the others are plain continuation bytes.
    unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    for (size_t i = 1; i < length; i++) {
        unsigned char next = text[i]; // a terminating zero ends the character as invalid
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

static const char kReplacementCharacter[] = "\xEF\xBF\xBD";

// C0 controls, DEL and the C1 controls (U+0080 ... U+009F), which HTML does not allow as text.
static bool IsControlCharacter(const unsigned char* c, size_t length) {
    return *c < 0x20 || *c == 0x7F || (length == 2 && c[0] == 0xC2 && c[1] < 0xA0);
}

void AppendHtmlText(std::string& out, const char* text) {
    const unsigned char* c = reinterpret_cast<const unsigned char*>(text);
    while (*c) {
        size_t length = Utf8CharacterLength(c);
        if (length == 0 || IsControlCharacter(c, length)) {
            out += kReplacementCharacter;
            c += length ? length : 1; // an invalid byte alone, a control character whole
            continue;
        }
        const char* entity = *c == '\'' ? "&#39;" : HtmlEntity(static_cast<char>(*c));
        if (entity)
            out += entity;
        else
            out.append(reinterpret_cast<const char*>(c), length);
        c += length;
    }
}

// The short escapes RFC 8259 names for control characters; the rest take \u00XX.
static const char* ShortJsonEscape(unsigned char c) {
    switch (c) {
    case '\b':
        return "\\b";
    case '\f':
        return "\\f";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    }
    return nullptr;
}

void AppendJsonString(std::string& out, const char* text) {
    static const char kHexDigits[] = "0123456789abcdef";
    out += '"';
    const unsigned char* c = reinterpret_cast<const unsigned char*>(text);
    while (*c) {
        size_t length = Utf8CharacterLength(c);
        if (length == 0) {
            out += "\\ufffd"; // an invalid byte alone
            c++;
            continue;
        }
        if (const char* escape = ShortJsonEscape(*c)) {
            out += escape;
        } else if (*c < 0x20) {
            out += "\\u00";
            out += kHexDigits[*c >> 4];
            out += kHexDigits[*c & 15];
        } else {
            out.append(reinterpret_cast<const char*>(c), length);
        }
        c += length;
    }
    out += '"';
}
