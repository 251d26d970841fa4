// Reading the mapping service's TXT answers, which come from outside and are trusted in
// nothing: any length, any bytes, any number of fields.
#include "asn/as_answer.h"
#include "common/bounded_text.h"
#include <cstdio>
#include <cstring>

namespace {

struct Field {
    const char* text;
    size_t length;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

Field Trimmed(Field f) {
    while (f.length > 0 && IsSpace(f.text[0])) {
        f.text++;
        f.length--;
    }
    while (f.length > 0 && IsSpace(f.text[f.length - 1]))
        f.length--;
    return f;
}

// Splits text at '|' into at most count fields, the last taking the rest, '|' included.
// Returns the number of fields found (up to count).
size_t SplitFields(const char* text, size_t length, Field* fields, size_t count) {
    size_t found = 0, start = 0;
    for (size_t i = 0; i < length && found + 1 < count; i++) {
        if (text[i] != '|')
            continue;
        fields[found++] = Trimmed({text + start, i - start});
        start = i + 1;
    }
    fields[found++] = Trimmed({text + start, length - start});
    return found;
}

bool HasSeparator(Field f) {
    return memchr(f.text, '|', f.length) != nullptr;
}

// A field's text, cut to size: printable ASCII as it is, every other byte as '?'.
void CopyPrintable(char* out, size_t size, Field f) {
    if (size == 0)
        return;
    size_t n = f.length < size - 1 ? f.length : size - 1;
    for (size_t i = 0; i < n; i++) {
        unsigned char c = static_cast<unsigned char>(f.text[i]);
        out[i] = c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?';
    }
    out[n] = '\0';
}

// A decimal AS number of 1 to 4294967295 at text[*at], without sign or spaces; *at moves past it.
bool ReadAsNumber(Field f, size_t* at, uint32_t* asn) {
    uint64_t value = 0;
    size_t digits = 0;
    while (*at < f.length && IsDigit(f.text[*at])) {
        value = value * 10 + static_cast<unsigned>(f.text[(*at)++] - '0');
        if (++digits > 10 || value > 0xFFFFFFFFull)
            return false;
    }
    *asn = static_cast<uint32_t>(value);
    return digits > 0 && value > 0;
}

// The whole field one AS number (an optional "AS" before it is allowed).
bool ReadSingleAs(Field f, uint32_t* asn) {
    size_t at = f.length >= 2 && (f.text[0] == 'A' || f.text[0] == 'a') &&
                        (f.text[1] == 'S' || f.text[1] == 's')
                    ? 2
                    : 0;
    return ReadAsNumber(f, &at, asn) && at == f.length;
}

// One or more AS numbers apart by spaces; the first in *first, all of them in origins.
bool ReadOrigins(Field f, uint32_t* first, char* origins, size_t size) {
    size_t at = 0, used = 0;
    int count = 0;
    origins[0] = '\0';
    while (at < f.length) {
        size_t start = at;
        uint32_t asn;
        if (!ReadAsNumber(f, &at, &asn))
            return false;
        if (at < f.length && !IsSpace(f.text[at]))
            return false;
        if (count++ == 0)
            *first = asn;
        size_t digits = at - start;
        // Whole numbers only: an origin that does not fit is left out, with those after it.
        if (used + (used ? 1 : 0) + digits < size) {
            if (used)
                origins[used++] = ' ';
            memcpy(origins + used, f.text + start, digits);
            used += digits;
            origins[used] = '\0';
        } else {
            used = size; // nothing more fits
        }
        while (at < f.length && IsSpace(f.text[at]))
            at++;
    }
    return count > 0;
}

// "A.B.C.D/N", each octet 0 ... 255 without a leading zero, N 0 ... 32.
bool IsPrefix(Field f) {
    size_t at = 0;
    for (int part = 0; part < 5; part++) {
        size_t start = at;
        unsigned value = 0;
        while (at < f.length && IsDigit(f.text[at]) && at - start < 3)
            value = value * 10 + static_cast<unsigned>(f.text[at++] - '0');
        size_t digits = at - start;
        if (digits == 0 || (digits > 1 && f.text[start] == '0'))
            return false;
        if (value > (part < 4 ? 255u : 32u))
            return false;
        if (part == 4)
            return at == f.length;
        if (at >= f.length || f.text[at++] != (part < 3 ? '.' : '/'))
            return false;
    }
    return false;
}

// Empty, or two letters.
bool IsCountry(Field f) {
    return f.length == 0 || (f.length == 2 && IsLetter(f.text[0]) && IsLetter(f.text[1]));
}

} // namespace

bool ParseOriginAnswer(const char* text, size_t length, AsOrigin& origin) {
    memset(&origin, 0, sizeof origin);
    Field fields[5];
    if (!text || SplitFields(text, length, fields, 5) != 5 || HasSeparator(fields[4]))
        return false;
    if (!ReadOrigins(fields[0], &origin.Asn, origin.Origins, sizeof origin.Origins))
        return false;
    if (!IsPrefix(fields[1]) || !IsCountry(fields[2]))
        return false;
    CopyPrintable(origin.Prefix, sizeof origin.Prefix, fields[1]);
    CopyPrintable(origin.Country, sizeof origin.Country, fields[2]);
    CopyPrintable(origin.Registry, sizeof origin.Registry, fields[3]);
    CopyPrintable(origin.Date, sizeof origin.Date, fields[4]);
    return true;
}

// The name is the rest after the fourth separator: a name may hold '|' itself.
bool ParseAsNameAnswer(const char* text, size_t length, AsName& name) {
    memset(&name, 0, sizeof name);
    Field fields[5];
    if (!text || SplitFields(text, length, fields, 5) != 5)
        return false;
    if (!ReadSingleAs(fields[0], &name.Asn) || !IsCountry(fields[1]) || fields[4].length == 0)
        return false;
    CopyPrintable(name.Country, sizeof name.Country, fields[1]);
    CopyPrintable(name.Registry, sizeof name.Registry, fields[2]);
    CopyPrintable(name.Date, sizeof name.Date, fields[3]);
    CopyPrintable(name.Name, sizeof name.Name, fields[4]);
    return true;
}

bool IsAskableAddress(uint32_t address) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&address);
    if (b[0] == 0 || b[0] == 10 || b[0] == 127 || b[0] >= 224) // this network, loopback,
        return false;                                          // multicast, 240/4
    if (b[0] == 169 && b[1] == 254)
        return false; // link-local
    if (b[0] == 172 && (b[1] & 0xF0) == 16)
        return false;
    if (b[0] == 192 && b[1] == 168)
        return false;
    if (b[0] == 100 && (b[1] & 0xC0) == 64)
        return false; // shared address space
    return true;
}

bool FormatOriginQuery(char* name, size_t size, uint32_t address, const char* zone) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&address);
    int n = snprintf(name, size, "%u.%u.%u.%u.%s", b[3], b[2], b[1], b[0], zone ? zone : "");
    if (n < 0 || static_cast<size_t>(n) >= size || !zone || !zone[0]) {
        if (size)
            name[0] = '\0';
        return false;
    }
    return true;
}

bool FormatAsNameQuery(char* name, size_t size, uint32_t asn, const char* zone) {
    int n = snprintf(name, size, "AS%u.%s", static_cast<unsigned>(asn), zone ? zone : "");
    if (n < 0 || static_cast<size_t>(n) >= size || !zone || !zone[0]) {
        if (size)
            name[0] = '\0';
        return false;
    }
    return true;
}

char* FormatAsCell(char* text, size_t size, uint32_t asn, const AsName* name) {
    if (!name || !name->Name[0])
        return FormatText(text, size, "AS%u", static_cast<unsigned>(asn));
    size_t shortLength = strcspn(name->Name, ",");
    while (shortLength > 0 && IsSpace(name->Name[shortLength - 1]))
        shortLength--;
    return FormatText(text, size, "AS%u %.*s", static_cast<unsigned>(asn),
                      static_cast<int>(shortLength), name->Name);
}

char* FormatAsAnswer(char* text, size_t size, const AsOrigin& origin, const AsName* name) {
    char origins[kAsOriginsSize * 2] = "";
    size_t used = 0;
    for (const char* p = origin.Origins; *p && used + 4 < sizeof origins;) {
        size_t digits = strcspn(p, " ");
        int n = snprintf(origins + used, sizeof origins - used, "%sAS%.*s", used ? " " : "",
                         static_cast<int>(digits), p);
        if (n < 0 || used + static_cast<size_t>(n) >= sizeof origins) {
            origins[used] = '\0';
            break;
        }
        used += static_cast<size_t>(n);
        p += digits;
        while (*p == ' ')
            p++;
    }
    return FormatText(text, size, "%s | %s | %s | %s | %s | %s", origins, origin.Prefix,
                      origin.Country, origin.Registry, origin.Date, name ? name->Name : "");
}
