// The File menu's Open... and Save Session...: the system's dialogs in the folder Save As keeps,
// the session written whole through Save As's writer, and files dropped on the window.
#include "app/app.h"
#include "common/bounded_text.h"
#include "save/save_trace.h"
#include "session/session.h"
#include "trace/trace.h"
#include <commdlg.h>
#include <cstring>

static const char kSessionFileTypes[] = "Routelark session (*.rls)\0*.rls\0"
                                        "All files (*.*)\0*.*\0";

// The folder Save As saved to last, while it still exists; else the dialog's own choice.
static const char* InitialFolder(char* folder, DWORD size) {
    return KeptSaveFolder(folder, size) ? folder : nullptr;
}

static void PrepareDialog(OPENFILENAMEA& dialog, char* path, char* folder, const char* title) {
    dialog = OPENFILENAMEA{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = MainWindow;
    dialog.lpstrFilter = kSessionFileTypes;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = kSavePathCapacity;
    dialog.lpstrInitialDir = InitialFolder(folder, kSavePathCapacity);
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = "rls";
}

void AskAndSaveSession() {
    if (!TraceTargetKnown)
        return;
    char path[kSavePathCapacity], folder[kSavePathCapacity];
    SuggestTraceFileName(path, sizeof path);
    OPENFILENAMEA dialog;
    PrepareDialog(dialog, path, folder, "Save Session");
    // The working directory stays where the INI file is.
    dialog.Flags =
        OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&dialog))
        return;
    std::string bytes;
    BuildSessionBytes(bytes);
    if (WriteWholeFileSafely(path, bytes))
        AddRecentSession(path);
}

void AskAndOpenSession() {
    char path[kSavePathCapacity] = "", folder[kSavePathCapacity];
    OPENFILENAMEA dialog;
    PrepareDialog(dialog, path, folder, "Open Session");
    dialog.Flags =
        OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameA(&dialog))
        OpenSessionFile(path);
}

void OpenDroppedSession(HDROP drop) {
    char path[kSavePathCapacity];
    UINT length = DragQueryFileA(drop, 0, path, sizeof path);
    DragFinish(drop);
    if (length > 0 && length < sizeof path)
        OpenSessionFile(path);
}
