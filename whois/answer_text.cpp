// The answer's bytes as edit control text: line feeds become CR LF, NUL bytes go.
#include "whois/whois_text.h"

size_t ExpandAnswerPiece(const char* bytes, size_t count, char* text, size_t capacity) {
    if (capacity == 0)
        return 0;
    size_t length = 0;
    for (size_t i = 0; i < count; i++) {
        char c = bytes[i];
        if (c == '\0')
            continue; // it would end the text the control takes
        size_t needed = c == '\n' ? 2 : 1;
        if (length + needed > capacity - 1)
            break;
        if (c == '\n')
            text[length++] = '\r';
        text[length++] = c;
    }
    text[length] = '\0';
    return length;
}
