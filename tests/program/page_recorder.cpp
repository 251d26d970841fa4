// Stands in for a browser: appends its command line to the file named by
// ROUTELARK_RECORDER_OUT, so a test can see what the shell was asked to open.
#include <windows.h>
#include <cstdio>

int main() {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("ROUTELARK_RECORDER_OUT", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return 1;
    FILE* out = fopen(path, "ab");
    if (!out)
        return 1;
    fprintf(out, "%s\n", GetCommandLineA());
    fclose(out);
    return 0;
}
