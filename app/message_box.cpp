// Message boxes with printf-style text.
#include "app/app.h"
#include "common/bounded_text.h"

int (*AnswerMessage)(const char* caption, const char* text, UINT style);

int ShowMessage(HWND owner, const char* caption, UINT style, const char* format, ...) {
    // Room for the program's words around two whole paths or a whole host text: a box names
    // what it is about in full, however deep the folder or long the name.
    static char text[3 * MAX_PATH + 1024];
    va_list arguments;
    va_start(arguments, format);
    FormatTextV(text, sizeof text, format, arguments);
    va_end(arguments);
    if (AnswerMessage)
        return AnswerMessage(caption, text, style);
    return MessageBoxA(owner, text, caption, style);
}
