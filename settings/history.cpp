// The history lists: loaded from, and saved to, their section of the INI file.
#include "settings/history.h"
#include "common/bounded_text.h"
#include "settings/ini_file.h"
#include "settings/ini_lock.h"
#include <string>

int LoadHistory(HWND box, const char* section) {
    IniFileLock lock;
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    char entry[256];
    for (int key = 1;; key++) {
        if (GetPrivateProfileStringA(section, IntToText(key), "", entry, sizeof entry,
                                     kIniFileName) == 0)
            break;
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    }
    int selected = static_cast<int>(GetPrivateProfileIntA(section, "Selected", 1, kIniFileName));
    // An index outside the list selects nothing.
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(selected - 1), 0);
    return selected;
}

void AddToHistory(HWND box, const char* text) {
    if (!text[0])
        return;
    if (SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(text)) == CB_ERR)
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

// The entry at index, cut to kHistoryEntryMax characters; false past the end. An entry can
// be longer only when a hand-edited file put it there (loading reads up to 255 characters).
static bool HistoryEntry(HWND box, int index, char (&entry)[kHistoryEntryMax + 1]) {
    LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return false;
    std::string whole(static_cast<size_t>(length) + 1, '\0'); // CB_GETLBTEXT takes no size
    SendMessageA(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&whole[0]));
    CopyText(entry, sizeof entry, whole.c_str());
    return true;
}

void SaveHistory(HWND box, const char* section, const char* currentText) {
    IniFileLock lock;
    LRESULT found = currentText[0] ? SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(currentText))
                                   : CB_ERR;
    // The section's new keys, "Selected" first, as one list that replaces all it held: one
    // write of the file, however long the history.
    std::string keys = "Selected=";
    keys += IntToText(found == CB_ERR ? 1 : static_cast<int>(found) + 1);
    keys += '\0';
    char entry[kHistoryEntryMax + 1];
    for (int i = 0; HistoryEntry(box, i, entry); i++) {
        keys += IntToText(i + 1);
        keys += '=';
        keys += entry;
        keys += '\0';
    }
    keys += '\0';
    WritePrivateProfileSectionA(section, keys.c_str(), kIniFileName);
}
