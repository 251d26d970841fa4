// Bounded formatting and copying into fixed buffers.
#include "common/bounded_text.h"
#include <cstdio>
#include <cstring>

char* FormatTextV(char* buffer, size_t size, const char* format, va_list arguments) {
    if (size == 0)
        return buffer;
    int written = vsnprintf(buffer, size, format, arguments);
    if (written < 0)
        buffer[0] = '\0';
    buffer[size - 1] = '\0';
    return buffer;
}

char* FormatText(char* buffer, size_t size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    FormatTextV(buffer, size, format, arguments);
    va_end(arguments);
    return buffer;
}

char* CopyText(char* buffer, size_t size, const char* text) {
    if (size == 0)
        return buffer;
    size_t length = text ? strnlen(text, size - 1) : 0;
    memcpy(buffer, text ? text : "", length);
    buffer[length] = '\0';
    return buffer;
}
