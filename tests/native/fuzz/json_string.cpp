// JSON strings from any bytes: valid UTF-8 in quotes, no raw quote, backslash or control
// character inside, every escape one RFC 8259 names, and read back (escapes undone) the input
// itself when that was valid UTF-8.
#include "fuzz_check.h"
#include "fuzz_utf8.h"
#include "save/file_text.h"
#include <cstdint>
#include <cstring>
#include <string>

// True when text is valid UTF-8: no overlong form, no surrogate, nothing above U+10FFFF.
static bool IsValidUtf8(const std::string& text) {
    std::u32string points;
    return DecodeUtf8(text, points);
}

static int HexValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Undoes the escapes of the string's inside; \u escapes of U+0000 ... U+001F and U+FFFD only
// (the writer makes no other). False at anything a JSON reader would refuse.
static bool Unescape(const std::string& inside, std::string& text) {
    for (size_t i = 0; i < inside.size(); i++) {
        unsigned char c = static_cast<unsigned char>(inside[i]);
        if (c < 0x20 || c == '"')
            return false;
        if (c != '\\') {
            text += static_cast<char>(c);
            continue;
        }
        if (++i >= inside.size())
            return false;
        const char* shorts = "\"\\/bfnrt";
        const char* values = "\"\\/\b\f\n\r\t";
        if (const char* found = strchr(shorts, inside[i]); found && inside[i]) {
            text += values[found - shorts];
            continue;
        }
        if (inside[i] != 'u' || i + 4 >= inside.size())
            return false;
        int point = 0;
        for (int k = 1; k <= 4; k++) {
            int digit = HexValue(inside[i + k]);
            if (digit < 0)
                return false;
            point = point * 16 + digit;
        }
        i += 4;
        if (point == 0xFFFD)
            text += "\xEF\xBF\xBD";
        else if (point < 0x20)
            text += static_cast<char>(point);
        else
            return false;
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 300) // longer than any name DNS gives; it only slows the run
        return 0;
    std::string input(reinterpret_cast<const char*>(data), size);
    input.resize(strlen(input.c_str())); // a C string ends at its first NUL
    std::string json = "prefix";
    AppendJsonString(json, input.c_str());
    FUZZ_CHECK(json.compare(0, 6, "prefix") == 0); // appended, nothing before it touched
    json.erase(0, 6);
    FUZZ_CHECK(json.size() >= 2 && json.front() == '"' && json.back() == '"');
    FUZZ_CHECK(IsValidUtf8(json));
    std::string text;
    FUZZ_CHECK(Unescape(json.substr(1, json.size() - 2), text));
    bool valid = IsValidUtf8(input);
    FUZZ_CHECK(!valid || text == input);
    FUZZ_CHECK(valid || json.find("\\ufffd") != std::string::npos);
    return 0;
}
