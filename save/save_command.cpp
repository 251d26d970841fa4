// The Save As command: the system's Save dialog, the name's format, the folder kept for next
// time, and the file written whole.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "save/save_trace.h"
#include "settings/ini_file.h"
#include "settings/ini_lock.h"
#include "trace/trace.h"
#include <cderr.h>
#include <commdlg.h>

static const char kSaveTitle[] = "Save Trace As";
static const char kSaveSection[] = "Save";
static const char kFolderKey[] = "Folder";
// In the order of SaveFormat: the dialog's file type n is format n - 1.
static const char kFileTypes[] = "Text (*.txt)\0*.txt\0"
                                 "Web page (*.html; *.htm)\0*.html;*.htm\0"
                                 "CSV (*.csv)\0*.csv\0"
                                 "JSON (*.json)\0*.json\0";

void EnableSaveAs(int enabled) {
    EnableMenuItem(GetMenu(MainWindow), IDM_SAVE_AS,
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(GetMenu(MainWindow), IDM_SAVE_SESSION,
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

static bool IsFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A folder is taken whole or not at all.
bool KeptSaveFolder(char* folder, unsigned long size) {
    IniFileLock lock;
    DWORD length =
        GetPrivateProfileStringA(kSaveSection, kFolderKey, "", folder, size, kIniFileName);
    return length > 0 && length < size - 1 && IsFolder(folder);
}

bool SaveFolderToOpen(char* folder, unsigned long size) {
    if (KeptSaveFolder(folder, size))
        return true;
    DWORD length = GetCurrentDirectoryA(size, folder);
    return length > 0 && length < size;
}

void KeepSaveFolder(const char* path) {
    char folder[kSavePathCapacity];
    if (!SaveFolderOfPath(path, folder, sizeof folder, IsAnsiLeadByte) || !folder[0])
        return;
    IniFileLock lock;
    WritePrivateProfileStringA(kSaveSection, kFolderKey, folder, kIniFileName);
}

// What comes of the chosen name: saved as it is or with the file type's extension added, asked
// for again (its longer name names a file that is to be kept), or refused as too long.
enum class NameOutcome { Save, AskAgain, Refused };

static NameOutcome SettleFormat(char (&path)[kSavePathCapacity], DWORD type, SaveFormat* format) {
    if (SaveFormatOfName(path, format))
        return NameOutcome::Save;
    *format = SaveFormatOfType(type);
    if (!AddSaveExtension(path, sizeof path, *format)) {
        ShowSaveFailure(path, ERROR_FILENAME_EXCED_RANGE);
        return NameOutcome::Refused;
    }
    // The dialog asked about replacing the name without the extension.
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES &&
        ShowMessage(MainWindow, kSaveTitle, MB_ICONEXCLAMATION | MB_YESNO,
                    "%s already exists.\nDo you want to replace it?", path) != IDYES)
        return NameOutcome::AskAgain;
    return NameOutcome::Save;
}

// The Save dialog; false when it is cancelled or the name is longer than path holds.
static bool AskForName(char (&path)[kSavePathCapacity], DWORD* type) {
    char folder[kSavePathCapacity];
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = MainWindow;
    dialog.lpstrFilter = kFileTypes;
    dialog.nFilterIndex = *type;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrInitialDir = SaveFolderToOpen(folder, sizeof folder) ? folder : nullptr;
    dialog.lpstrTitle = kSaveTitle;
    // The working directory stays where the INI file is.
    dialog.Flags =
        OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    dialog.lpstrDefExt = "txt"; // a bare name takes the chosen type's extension
    if (GetSaveFileNameA(&dialog)) {
        *type = dialog.nFilterIndex;
        return true;
    }
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
        // The dialog put the length the name needs, with its terminator, in the first two bytes.
        unsigned needed = *reinterpret_cast<WORD*>(path);
        char name[64];
        FormatText(name, sizeof name, "the name chosen (%u characters)", needed ? needed - 1 : 0);
        ShowSaveFailure(name, ERROR_FILENAME_EXCED_RANGE);
    }
    return false;
}

void SaveTraceAs() {
    if (!TraceTargetKnown)
        return;
    char path[kSavePathCapacity];
    SuggestTraceFileName(path, sizeof path);
    DWORD type = 1;
    SaveFormat format;
    NameOutcome outcome;
    do {
        if (!AskForName(path, &type))
            return;
        outcome = SettleFormat(path, type, &format);
    } while (outcome == NameOutcome::AskAgain);
    if (outcome == NameOutcome::Refused)
        return;
    std::string file;
    BuildSavedFile(format, file);
    if (WriteWholeFileSafely(path, file))
        KeepSaveFolder(path);
}
