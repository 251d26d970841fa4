// The File menu's "Recent sessions": the last eight session files opened or saved, newest first,
// kept in the INI file's "Sessions" section as Recent1 ... Recent8.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "save/save_trace.h"
#include "session/session.h"
#include "settings/ini_file.h"
#include "settings/ini_lock.h"
#include <cstring>

enum { kRecentCount = 8 };
static const char kSessionsSection[] = "Sessions";

static void ReadRecent(char (&paths)[kRecentCount][kSavePathCapacity]) {
    IniFileLock lock;
    for (int i = 0; i < kRecentCount; i++) {
        char key[16];
        FormatText(key, sizeof key, "Recent%d", i + 1);
        DWORD length = GetPrivateProfileStringA(kSessionsSection, key, "", paths[i],
                                                kSavePathCapacity, kIniFileName);
        if (length >= kSavePathCapacity - 1)
            paths[i][0] = '\0'; // cut short: no name to open
    }
}

// The File menu's submenu that holds the recent sessions.
static HMENU RecentMenu() {
    HMENU file = GetSubMenu(GetMenu(MainWindow), 0);
    for (int i = 0, count = GetMenuItemCount(file); i < count; i++)
        if (HMENU sub = GetSubMenu(file, i))
            return sub;
    return nullptr;
}

void ShowRecentSessions() {
    HMENU menu = RecentMenu();
    if (!menu)
        return;
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
    static char paths[kRecentCount][kSavePathCapacity];
    ReadRecent(paths);
    int shown = 0;
    for (int i = 0; i < kRecentCount; i++) {
        if (!paths[i][0])
            continue;
        // "&1 C:\folder\name.rls", its ampersands doubled so that they show.
        char text[2 * kSavePathCapacity + 8];
        size_t at = static_cast<size_t>(strlen(FormatText(text, sizeof text, "&%d ", shown + 1)));
        for (const char* c = paths[i]; *c && at + 2 < sizeof text; c++) {
            if (*c == '&')
                text[at++] = '&';
            text[at++] = *c;
        }
        text[at] = '\0';
        AppendMenuA(menu, MF_STRING, IDM_RECENT_FIRST + i, text);
        shown++;
    }
    if (!shown)
        AppendMenuA(menu, MF_STRING | MF_GRAYED, IDM_RECENT_FIRST, "(none)");
}

void AddRecentSession(const char* path) {
    static char paths[kRecentCount][kSavePathCapacity];
    char full[kSavePathCapacity];
    DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return;
    ReadRecent(paths);
    {
        IniFileLock lock;
        WritePrivateProfileStringA(kSessionsSection, "Recent1", full, kIniFileName);
        for (int i = 0, to = 1; i < kRecentCount && to < kRecentCount; i++) {
            if (!paths[i][0] || _stricmp(paths[i], full) == 0)
                continue;
            char key[16];
            FormatText(key, sizeof key, "Recent%d", ++to);
            WritePrivateProfileStringA(kSessionsSection, key, paths[i], kIniFileName);
        }
    }
    ShowRecentSessions();
}

void OpenRecentSession(int index) {
    static char paths[kRecentCount][kSavePathCapacity];
    if (index < 0 || index >= kRecentCount)
        return;
    ReadRecent(paths);
    if (paths[index][0])
        OpenSessionFile(paths[index]);
}
