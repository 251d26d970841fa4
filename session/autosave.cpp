// Autosave: the running trace's session written every few minutes, and at Stop and Exit, into
// the "sessions" folder beside the INI file, one file per trace rewritten each time. The bytes
// are taken on the UI thread under the echo lock (a few milliseconds for a day of 30 hops) and
// written by a thread of their own, so that neither the window nor the echoes wait for the disk.
#include "app/app.h"
#include "common/bounded_text.h"
#include "save/save_trace.h"
#include "session/session.h"
#include "settings/ini_file.h"
#include "settings/ini_lock.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include <cstring>
#include <string>

enum : UINT_PTR { kAutosaveTimerId = 2 };
enum { kLongestAutosaveMinutes = 1440 };

int AutosaveMinutes() {
    // A report run leaves nothing behind but the files it was asked for: no session, no INI.
    if (KeepIniFileUnchanged)
        return 0;
    IniFileLock lock;
    int minutes =
        static_cast<int>(GetPrivateProfileIntA("Preferences", "AutosaveMinutes", 10, kIniFileName));
    if (minutes < 0)
        return 0;
    return minutes > kLongestAutosaveMinutes ? kLongestAutosaveMinutes : minutes;
}

bool AutosaveFolder(char* folder, size_t size) {
    char ini[kSavePathCapacity];
    char* name = nullptr;
    DWORD length = GetFullPathNameA(kIniFileName, sizeof ini, ini, &name);
    if (length == 0 || length >= sizeof ini || !name)
        return false;
    *name = '\0'; // the folder, with its backslash
    return FormatText(folder, size, "%ssessions", ini) && strlen(ini) + 8 < size;
}

// One write on its way to the disk: the thread owns it and deletes it.
struct AutosaveJob {
    char path[kSavePathCapacity];
    std::string bytes;
};
static HANDLE WriterThread;

static DWORD WINAPI WriteAutosave(void* parameter) {
    AutosaveJob* job = static_cast<AutosaveJob*>(parameter);
    WriteWholeFileQuietly(job->path, job->bytes); // a failed autosave is tried again at the next
    delete job;
    return 0;
}

// True while the last write is still going; wait: until it has ended.
static bool WriterBusy(bool wait) {
    if (!WriterThread)
        return false;
    if (WaitForSingleObject(WriterThread, wait ? INFINITE : 0) == WAIT_TIMEOUT)
        return true;
    CloseHandle(WriterThread);
    WriterThread = nullptr;
    return false;
}

// The current trace's session into its file; a write still going is waited for at Stop, and at
// a timer's tick left to finish (the next tick writes newer bytes).
static void Autosave(bool wait) {
    if (!TraceTargetKnown || WriterBusy(wait))
        return;
    AutosaveJob* job = new AutosaveJob;
    char folder[kSavePathCapacity], name[kSavePathCapacity];
    if (!AutosaveFolder(folder, sizeof folder) || !SuggestTraceFileName(name, sizeof name) ||
        !FormatText(job->path, sizeof job->path, "%s\\%s.rls", folder, name) ||
        strlen(folder) + strlen(name) + 5 >= sizeof job->path) {
        delete job;
        return;
    }
    CreateDirectoryA(folder, nullptr); // there already, or made now
    BuildSessionBytes(job->bytes);
    AddRecentSession(job->path);
    WriterThread = CreateThread(nullptr, 0, WriteAutosave, job, 0, nullptr);
    if (!WriterThread) {
        WriteAutosave(job); // no thread to be had: written here, once
    }
}

void AutosaveRunningTrace() {
    if (CurrentTraceState != TraceState::Stopped)
        Autosave(false);
}

static void CALLBACK OnAutosaveTimer(HWND, UINT, UINT_PTR, DWORD) {
    AutosaveRunningTrace();
}

void StartAutosave() {
    KillTimer(MainWindow, kAutosaveTimerId);
    int minutes = AutosaveMinutes();
    // The timer has a procedure of its own: the main window takes any WM_TIMER as the ping's.
    if (minutes > 0)
        SetTimer(MainWindow, kAutosaveTimerId, static_cast<UINT>(minutes) * 60000u,
                 OnAutosaveTimer);
}

void AutosaveAtStop() {
    KillTimer(MainWindow, kAutosaveTimerId);
    if (AutosaveMinutes() > 0)
        Autosave(true);
}

void FinishAutosave() {
    WriterBusy(true);
}
