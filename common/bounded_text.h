// Bounded text helpers: every fixed buffer of the program is written through these.
#pragma once
#include <cstdarg>
#include <cstddef>

// Formats printf-style into buffer (size bytes), cutting the text to fit; always terminated.
// Returns buffer.
char* FormatText(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
char* FormatTextV(char* buffer, size_t size, const char* format, va_list arguments);

// Copies at most size - 1 characters of text into buffer; always terminated. Returns buffer.
char* CopyText(char* buffer, size_t size, const char* text);
