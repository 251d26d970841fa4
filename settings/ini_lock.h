// Keeps the INI file to one running copy of the program at a time.
#pragma once
#include <windows.h>

// Held around every load and save of the INI file. The private-profile functions read and
// rewrite the whole file at each call, so two copies saving at once would each write back a
// file without the other's keys, and without their own earlier ones. Nested holds are fine;
// a copy that hangs holding it is waited for a few seconds only.
class IniFileLock {
  public:
    IniFileLock();
    ~IniFileLock(); // writes what this copy's calls cached before another copy may go on
    IniFileLock(const IniFileLock&) = delete;
    IniFileLock& operator=(const IniFileLock&) = delete;

  private:
    HANDLE mutex;
    bool owned = false;
};
