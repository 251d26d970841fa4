// Watches Routelark from outside, as a user's eyes would: writes each new text of the status
// bar's first part, and each Setup or About dialog that opens or closes, with the milliseconds
// since the watch began. Usage: status_watch OUTPUT_FILE SECONDS (it also ends once the program is
// gone).
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <string>

static std::string WindowText(HWND window) {
    char text[256] = "";
    DWORD_PTR ignored;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 500, &ignored);
    text[sizeof text - 1] = '\0';
    return text;
}

// "TITLE open LEFT TOP RIGHT BOTTOM" while the dialog with that title is shown, else
// "TITLE closed".
static std::string Dialog(const char* title) {
    HWND dialog = FindWindowA("#32770", title);
    RECT r;
    char text[128];
    if (!dialog || !IsWindowVisible(dialog) || !GetWindowRect(dialog, &r))
        snprintf(text, sizeof text, "%s closed", title);
    else
        snprintf(text, sizeof text, "%s open %ld %ld %ld %ld", title, r.left, r.top, r.right,
                 r.bottom);
    return text;
}

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    FILE* out = fopen(argv[1], "wb");
    if (!out)
        return 1;
    DWORD start = GetTickCount(), limit = static_cast<DWORD>(atoi(argv[2])) * 1000;
    std::string status = "-", setup, about;
    bool seen = false;
    while (GetTickCount() - start < limit) {
        HWND main = FindWindowA("Routelark", nullptr);
        if (!main && seen)
            break;
        seen = seen || main;
        HWND bar = main ? FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr) : nullptr;
        const struct {
            const char* what;
            std::string now;
            std::string* last;
        } watched[] = {{"status", bar ? WindowText(bar) : "-", &status},
                       {"dialog", Dialog("Routelark - Setup"), &setup},
                       {"dialog", Dialog("Routelark"), &about}};
        for (const auto& w : watched) {
            if (w.now != *w.last) {
                fprintf(out, "%lu %s %s\n", GetTickCount() - start, w.what, w.now.c_str());
                fflush(out);
                *w.last = w.now;
            }
        }
        Sleep(20);
    }
    fclose(out);
    return 0;
}
