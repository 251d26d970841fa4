// The strings of the program file's version resource: the About dialog and the saved files
// name the program as the file's properties do.
#include "app/app.h"
#include "common/bounded_text.h"
#include <vector>

const char* ReadVersionString(const char* name, char* text, size_t size) {
    CopyText(text, size, "");
    char path[MAX_PATH];
    DWORD pathLength = GetModuleFileNameA(ProgramInstance, path, sizeof path);
    if (pathLength == 0 || pathLength >= sizeof path)
        return text;
    DWORD unused;
    DWORD infoSize = GetFileVersionInfoSizeA(path, &unused);
    if (infoSize == 0)
        return text;
    std::vector<char> info(infoSize);
    if (!GetFileVersionInfoA(path, 0, infoSize, info.data()))
        return text;
    WORD* translation; // language, code page
    UINT length;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD))
        return text;
    char key[96];
    FormatText(key, sizeof key, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1],
               name);
    char* value;
    if (VerQueryValueA(info.data(), key, reinterpret_cast<void**>(&value), &length) && length)
        CopyText(text, size, value);
    return text;
}
