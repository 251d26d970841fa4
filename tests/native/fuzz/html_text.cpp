// HTML text from any bytes: valid UTF-8 without control characters, no raw < > " ', every & an
// entity, and read back (entities undone) the input itself when that was clean UTF-8 text.
#include "fuzz_check.h"
#include "fuzz_utf8.h"
#include "save/file_text.h"
#include <cstdint>
#include <cstring>
#include <string>

static bool IsControl(char32_t point) {
    return point < 0x20 || (point >= 0x7F && point < 0xA0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 300) // longer than any name DNS gives; it only slows the run
        return 0;
    std::string input(reinterpret_cast<const char*>(data), size);
    input.resize(strlen(input.c_str())); // a C string ends at its first NUL
    std::string html;
    AppendHtmlText(html, input.c_str());
    std::u32string points;
    FUZZ_CHECK(DecodeUtf8(html, points));
    for (char32_t point : points)
        FUZZ_CHECK(!IsControl(point) && point != '<' && point != '>' && point != '"' &&
                   point != '\'');
    static const struct {
        const char* entity;
        char character;
    } entities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
    std::string undone;
    for (size_t i = 0; i < html.size(); i++) {
        if (html[i] != '&') {
            undone += html[i];
            continue;
        }
        bool known = false;
        for (const auto& e : entities) {
            if (html.compare(i, strlen(e.entity), e.entity) == 0) {
                undone += e.character;
                i += strlen(e.entity) - 1;
                known = true;
                break;
            }
        }
        FUZZ_CHECK(known);
    }
    std::u32string inputPoints;
    bool clean = DecodeUtf8(input, inputPoints);
    for (char32_t point : inputPoints)
        clean = clean && !IsControl(point);
    FUZZ_CHECK(!clean || undone == input);
    FUZZ_CHECK(clean || html.find("\xEF\xBF\xBD") != std::string::npos);
    return 0;
}
