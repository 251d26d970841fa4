// Message boxes with printf-style text, cut to the 256-byte message buffer.
#include "app/app.h"
#include "common/bounded_text.h"

int ShowMessage(HWND owner, const char* caption, UINT style, const char* format, ...) {
    static char text[256];
    va_list arguments;
    va_start(arguments, format);
    FormatTextV(text, sizeof text, format, arguments);
    va_end(arguments);
    return MessageBoxA(owner, text, caption, style);
}
