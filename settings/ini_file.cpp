// The INI file's name and the decimal text of the numbers written to it (platform-free).
#include "settings/ini_file.h"
#include "common/bounded_text.h"

const char kIniFileName[] = ".\\routelark.ini";

const char* IntToText(int value) {
    static char text[12]; // "-2147483648" and its terminator
    return FormatText(text, sizeof text, "%d", value);
}
