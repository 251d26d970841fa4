/* An ICMP library that lacks IcmpSendEcho: the program must refuse to use it. */
#include <windows.h>

HANDLE WINAPI IcmpCreateFile(void) {
    return (HANDLE)0x1234;
}

BOOL WINAPI IcmpCloseHandle(HANDLE handle) {
    (void)handle;
    return TRUE;
}
