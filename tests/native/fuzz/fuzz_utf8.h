// UTF-8 checked the slow, obvious way, for the fuzz targets of the texts the program writes.
#pragma once
#include <string>

// Decodes text as UTF-8 into code points; false at the first sequence that is not one (overlong
// forms, surrogates and code points above U+10FFFF included).
inline bool DecodeUtf8(const std::string& text, std::u32string& points) {
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80         ? 0
                    : (lead >> 5) == 6  ? 1
                    : (lead >> 4) == 14 ? 2
                    : (lead >> 3) == 30 ? 3
                                        : -1;
        if (extra < 0 || i + extra >= text.size() + (extra ? 0 : 1))
            return false;
        char32_t point = extra ? lead & (0x3F >> extra) : lead;
        for (int k = 1; k <= extra; k++) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next >> 6) != 2)
                return false;
            point = (point << 6) | (next & 0x3F);
        }
        static const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (point < smallest[extra] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
            return false;
        points += point;
        i += 1 + extra;
    }
    return true;
}
