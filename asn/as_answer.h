// The IP-to-ASN mapping service's TXT answers read into fixed records, the addresses it may be
// asked about, the names asked and the texts shown (platform-free).
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    kAsOriginsSize = 64,   // every origin AS of an answer, "13335 209242"
    kAsPrefixSize = 20,    // "255.255.255.255/32"
    kAsCountrySize = 4,    // two letters
    kAsRegistrySize = 16,  // "arin", "ripencc" ...
    kAsDateSize = 16,      // "2014-03-28"
    kAsNameSize = 128,     // the AS's name, cut
    kAsZoneSize = 128,     // a zone name from the INI file
    kAsQueryNameSize = 256, // a whole name asked, the zone included
    kAsCellSize = 48,      // the AS column's text
};

// An address's answer: "ASN [ASN ...] | PREFIX | CC | REGISTRY | DATE".
struct AsOrigin {
    uint32_t Asn;                 // the first origin: the one shown
    char Origins[kAsOriginsSize]; // all of them, one space apart, cut where they do not fit
    char Prefix[kAsPrefixSize];
    char Country[kAsCountrySize];
    char Registry[kAsRegistrySize];
    char Date[kAsDateSize];
};

// An AS's answer: "ASN | CC | REGISTRY | DATE | NAME".
struct AsName {
    uint32_t Asn;
    char Country[kAsCountrySize];
    char Registry[kAsRegistrySize];
    char Date[kAsDateSize];
    char Name[kAsNameSize]; // printable ASCII only; anything else reads '?'
};

// One TXT record's text (its strings joined, length bytes, NULs allowed) read into origin or
// name. False for a malformed answer (wrong field count, no number, a bad prefix or country),
// which counts as no answer; the record is then left in an unspecified but terminated state.
bool ParseOriginAnswer(const char* text, size_t length, AsOrigin& origin);
bool ParseAsNameAnswer(const char* text, size_t length, AsName& name);

// Whether the service can know address (network byte order): false for the private (RFC
// 1918), loopback, link-local, shared (100.64.0.0/10), multicast, 0.0.0.0/8 and 240.0.0.0/4
// ranges, which are never sent. The benchmarking range 198.18.0.0/15 is asked like any other.
bool IsAskableAddress(uint32_t address);

// "D.C.B.A.<zone>" for address A.B.C.D, and "AS<n>.<zone>"; false (name empty) when they do
// not fit in size bytes.
bool FormatOriginQuery(char* name, size_t size, uint32_t address, const char* zone);
bool FormatAsNameQuery(char* name, size_t size, uint32_t asn, const char* zone);

// The AS column's short form: "AS13335 CLOUDFLARENET" (the name up to its first comma, the
// country after it left out), "AS13335" while the name is unknown; cut to size bytes.
char* FormatAsCell(char* text, size_t size, uint32_t asn, const AsName* name);
// The whole answer for Copy AS: "AS13335 | 104.16.0.0/13 | US | arin | 2014-03-28 |
// CLOUDFLARENET, US", every origin named, the name's part empty while it is unknown.
char* FormatAsAnswer(char* text, size_t size, const AsOrigin& origin, const AsName* name);
