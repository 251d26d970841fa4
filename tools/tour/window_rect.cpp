// Writes the screen rectangle "LEFT TOP RIGHT BOTTOM" of Routelark's main window, of its first
// child of the given class (e.g. SysListView32, the hop table), of the shown dialog with the
// given title, or of the shown top-level window of a class (RoutelarkGraph, the hop graph), into
// a file, for tours that click into it or cut it out of a screenshot. It must run in the program's
// Wine desktop, where its windows can be found (and where nothing shows what a program prints).
// Usage: window_rect OUTPUT_FILE [CLASS | --dialog TITLE | --window CLASS]
#include <windows.h>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    HWND window;
    if (argc > 3 && (strcmp(argv[2], "--dialog") == 0 || strcmp(argv[2], "--window") == 0)) {
        bool dialog = strcmp(argv[2], "--dialog") == 0;
        window = dialog ? FindWindowA("#32770", argv[3]) : FindWindowA(argv[3], nullptr);
        if (window && !IsWindowVisible(window))
            window = nullptr;
    } else {
        window = FindWindowA("Routelark", nullptr);
        if (window && argc > 2)
            window = FindWindowExA(window, nullptr, argv[2], nullptr);
    }
    RECT r;
    FILE* out = argc > 1 ? fopen(argv[1], "w") : nullptr;
    if (!out || !window || !GetWindowRect(window, &r))
        return 1;
    fprintf(out, "%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    fclose(out);
    return 0;
}
