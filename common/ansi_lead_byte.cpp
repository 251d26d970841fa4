// The lead bytes of the program's ANSI code page, from Windows.
#include "common/path_text.h"
#include <windows.h>

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte);
}
