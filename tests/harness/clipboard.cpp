// Reading the clipboard's text.
#include "harness/clipboard.h"
#include <windows.h>
#include <cstring>

std::string ClipboardText() {
    std::string text = "<nothing>";
    if (!OpenClipboard(nullptr))
        return "<not opened>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        const char* bytes = static_cast<const char*>(GlobalLock(data));
        text.assign(bytes, strnlen(bytes, GlobalSize(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}
