// The WhoIs client's text rules on any bytes: the reduced domain is the host name's own tail,
// reducing again changes nothing; the expanded answer fits its buffer, holds no NUL and no
// bare line feed; a usable server name is short and printable.
#include "fuzz_check.h"
#include "whois/whois_text.h"
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    // The domain text holds at most 127 characters.
    std::string host = bytes.substr(0, 127).c_str();
    char domain[128];
    memcpy(domain, host.c_str(), host.size() + 1);
    int emptied = ReduceDomainText(domain);
    size_t length = strlen(domain);
    FUZZ_CHECK(emptied ? length == 0 : true);
    FUZZ_CHECK(host.compare(host.size() - length, length, domain) == 0);
    FUZZ_CHECK(length == 0 || !(domain[0] >= '0' && domain[0] <= '9'));
    std::string once = domain;
    ReduceDomainText(domain);
    FUZZ_CHECK(once == domain);

    size_t capacity = size ? data[0] : 0;
    std::unique_ptr<char[]> text(new char[capacity ? capacity : 1]);
    size_t written = ExpandAnswerPiece(bytes.data(), bytes.size(), text.get(), capacity);
    if (capacity) {
        FUZZ_CHECK(written < capacity && text[written] == '\0' && strlen(text.get()) == written);
        for (size_t i = 0; i < written; i++)
            FUZZ_CHECK(text[i] != '\n' || (i > 0 && text[i - 1] == '\r'));
    }
    std::unique_ptr<char[]> whole(new char[2 * size + 1]);
    ExpandAnswerPiece(bytes.data(), bytes.size(), whole.get(), 2 * size + 1);
    std::string kept; // every byte but NUL, in order
    for (char c : bytes)
        if (c != '\0')
            kept += c == '\n' ? std::string("\r\n") : std::string(1, c);
    FUZZ_CHECK(kept == whole.get());

    if (IsUsableServerName(host.c_str())) {
        FUZZ_CHECK(host.size() <= kServerNameMax);
        for (char c : host)
            FUZZ_CHECK(c >= ' ' && c <= '~');
    }
    return 0;
}
