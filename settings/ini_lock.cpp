// The lock that keeps the INI file to one running copy at a time: a mutex named for all copies.
#include "settings/ini_lock.h"
#include "settings/ini_file.h"

static const DWORD kLockWaitMs = 5000;

IniFileLock::IniFileLock() : mutex(CreateMutexA(nullptr, FALSE, "Routelark INI file")) {
    if (mutex) {
        DWORD result = WaitForSingleObject(mutex, kLockWaitMs);
        owned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED; // abandoned: a copy died
    }
}

IniFileLock::~IniFileLock() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kIniFileName);
    if (owned)
        ReleaseMutex(mutex);
    if (mutex)
        CloseHandle(mutex);
}
