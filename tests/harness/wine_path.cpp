// Unix paths turned into Windows paths by Wine's own rule.
#include "harness/wine_path.h"

#include <windows.h>

std::string WindowsPathOf(const std::string& unixPath) {
    if (unixPath.empty() || unixPath[0] != '/')
        return unixPath;
    typedef WCHAR*(CDECL * ToDos)(const char*);
    auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    WCHAR* wide = toDos ? toDos(unixPath.c_str()) : nullptr;
    if (!wide)
        return unixPath;
    char converted[MAX_PATH * 2];
    int length =
        WideCharToMultiByte(CP_ACP, 0, wide, -1, converted, sizeof converted, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, wide);
    return length > 0 ? std::string(converted) : unixPath;
}
