// StripUrl on any text into a buffer of any size (the first byte; the program's is 128): the
// result fits the buffer, is the text's own substring after at most one scheme, holds no
// slash, and ends where the text does, where the buffer is full, or at a slash or backslash.
#include "fuzz_check.h"
#include "trace/strip_url.h"
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>

static size_t SchemeLength(const std::string& text) {
    for (const char* scheme : {"https://", "http://", "ftp://"}) {
        if (strncasecmp(text.c_str(), scheme, strlen(scheme)) == 0)
            return strlen(scheme);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    size_t outSize = data[0];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    text = text.c_str(); // the program hands it a C string
    // Exactly outSize bytes, so that AddressSanitizer sees any access past them.
    std::unique_ptr<char[]> out(new char[outSize]);
    FUZZ_CHECK(StripUrl(text.c_str(), out.get(), outSize) == out.get());
    if (outSize == 0)
        return 0;
    size_t length = strnlen(out.get(), outSize);
    FUZZ_CHECK(length < outSize);
    size_t skip = SchemeLength(text);
    FUZZ_CHECK(text.compare(skip, length, out.get(), length) == 0);
    FUZZ_CHECK(!memchr(out.get(), '/', length));
    char next = skip + length < text.size() ? text[skip + length] : '\0';
    FUZZ_CHECK(next == '\0' || next == '/' || next == '\\' || length == outSize - 1);
    bool backslash = memchr(out.get(), '\\', length) != nullptr;
    FUZZ_CHECK(!backslash || next == '/'); // a backslash stays only before a slash
    // Without a backslash there is nothing left to strip.
    std::unique_ptr<char[]> again(new char[outSize]);
    StripUrl(out.get(), again.get(), outSize);
    FUZZ_CHECK(backslash || strcmp(again.get(), out.get()) == 0);
    return 0;
}
