// The report run: the trace engine driven as at start-up, behind a main window that is never
// shown, until every hop that answered in discovery has been sent the echoes asked for; then the
// file of Save As's layouts, written through its safe writer or to standard output.
#include "report/report_run.h"
#include "app/app.h"
#include "common/bounded_text.h"
#include "echo/echo_round.h"
#include "report/report_console.h"
#include "save/save_trace.h"
#include "session/session.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include <cstring>
#include <string>

// A report run's life, set on the UI thread only (the console's handler posts a message).
enum class RunOutcome { Running, Finished, Cancelled };
static RunOutcome Outcome;
static int EchoesPerHop;
static DWORD RunThread;
static WNDPROC MainWindowProcBefore;
enum : UINT { kCancelReportMessage = WM_APP + 29 }; // posted to the thread, no window

// Message boxes become lines on standard error; a question is answered yes (a failed probe's
// "Run trace up to this hop?": the report holds the hops found).
static int AnswerReportMessage(const char* caption, const char* text, UINT style) {
    std::string line;
    for (const char* c = text; *c; c++) {
        if (*c == '\n') {
            if (!line.empty() && line.back() != ' ')
                line += ' ';
        } else {
            line += *c;
        }
    }
    bool question = (style & MB_TYPEMASK) == MB_YESNO;
    if (strcmp(caption, "Routelark") == 0)
        ShowReportError("%s%s", line.c_str(), question ? " Yes." : "");
    else
        ShowReportError("%s: %s%s", caption, line.c_str(), question ? " Yes." : "");
    return question ? IDYES : IDOK;
}

// Ctrl+C, Ctrl+Break or the console closing or logging off: the run ends and writes nothing.
// This runs on a thread of its own.
static BOOL WINAPI OnConsoleControl(DWORD) {
    PostThreadMessageA(RunThread, kCancelReportMessage, 0, 0);
    return TRUE;
}

// The hidden main window still hears of the session ending.
static LRESULT CALLBACK ReportWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENDSESSION && wParam)
        Outcome = RunOutcome::Cancelled;
    return CallWindowProcA(MainWindowProcBefore, window, message, wParam, lParam);
}

static bool CountsInReport(const CPinger* hop) {
    return hop && !hop->IsNoResponse() && !hop->IsIgnored();
}

// Echoes sent to the hops that count, each up to EchoesPerHop, and how many that makes in all.
static int EchoesSent(int* wanted) {
    int sent = 0;
    *wanted = 0;
    for (int i = 0; i < HopCount; i++) {
        if (!CountsInReport(HopList[i]))
            continue;
        int hop = HopList[i]->GetSentCount();
        sent += hop < EchoesPerHop ? hop : EchoesPerHop;
        *wanted += EchoesPerHop;
    }
    return sent;
}

static void ShowRunProgress() {
    static int shownDone = -1, shownWanted = -1;
    int done, wanted;
    if (CurrentTraceState == TraceState::Pinging || CurrentTraceState == TraceState::Waiting) {
        done = EchoesSent(&wanted);
        if (done != shownDone || wanted != shownWanted)
            ShowProgress("echo %d of %d", done, wanted);
    } else {
        done = -HopCount - 1; // a number no echo count takes
        wanted = Settings.MaxHops;
        if (done != shownDone || wanted != shownWanted)
            ShowProgress("hop %d of %d found", HopCount, Settings.MaxHops);
    }
    shownDone = done;
    shownWanted = wanted;
}

// Before and after each message: the run is over once the trace has stopped by itself (a name
// not found, the last hop allowed, a failure) or every hop has been sent its echoes. Looked at
// before an echo's completion is handled too, since without a pause its handler sends the next.
static void CheckRun() {
    if (CurrentTraceState == TraceState::Stopped) {
        Outcome = RunOutcome::Finished;
        return;
    }
    ShowRunProgress();
    int wanted;
    bool pinging =
        CurrentTraceState == TraceState::Pinging || CurrentTraceState == TraceState::Waiting;
    if (pinging && EchoesSent(&wanted) == wanted) {
        StopTrace();
        Outcome = RunOutcome::Finished;
    }
}

static void RunTrace(const CommandLine& line) {
    LoadSetupDefaults();
    if (line.Hops >= 0)
        Settings.MaxHops = line.Hops;
    if (line.Timeout >= 0)
        Settings.PingTimeout = line.Timeout;
    if (line.Pause >= 0)
        Settings.PingDelay = line.Pause;
    EchoesPerHop = line.Count;
    LimitEchoRoundSends(line.Count); // the worker's round stops at the count as well
    RunThread = GetCurrentThreadId();
    MainWindowProcBefore = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ReportWindowProc)));
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    SetWindowTextA(HostBox, line.Host);
    Outcome = RunOutcome::Running;
    StartTrace();
    MSG msg;
    while (Outcome == RunOutcome::Running && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kCancelReportMessage && !msg.hwnd) {
            Outcome = RunOutcome::Cancelled;
            break;
        }
        if (msg.message == MSG_PING_REPLY || msg.message == MSG_PING_ROUND)
            CheckRun();
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (Outcome == RunOutcome::Running)
            CheckRun();
    }
    if (CurrentTraceState != TraceState::Stopped)
        StopTrace();
    ClearProgress();
}

static bool DestinationAnswered() {
    for (int i = HopCount - 1; i >= 0; i--)
        if (HopList[i] && !HopList[i]->IsNoResponse())
            return HopList[i]->GetDestination() == DestinationAddress;
    return false;
}

// The report where the command line sends it: /out, else standard output, else a file of the
// suggested name in the working folder. Returns the exit status.
static int WriteReport(const CommandLine& line) {
    SaveFormat format = ReportFormatOf(line);
    std::string file;
    BuildSavedFile(format, file, line.Count);
    char path[kSavePathCapacity];
    if (line.Out[0]) {
        CopyText(path, sizeof path, line.Out);
    } else if (HasStandardOutput()) {
        if (WriteStandardOutput(file))
            return DestinationAnswered() ? kReportComplete : kReportIncomplete;
        ShowReportError("The report could not be written to standard output (error %lu)",
                        GetLastError());
        return kReportNotWritten;
    } else if (!AddSaveExtension(SuggestTraceFileName(path, sizeof path), sizeof path, format)) {
        return kReportNotWritten;
    }
    if (!WriteWholeFileSafely(path, file)) // its failure is a line on standard error
        return kReportNotWritten;
    return DestinationAnswered() ? kReportComplete : kReportIncomplete;
}

// Every window destroyed and the engine stopped as at the program's end; the INI file is kept.
static void EndReportProgram() {
    if (MainWindow)
        DestroyWindow(MainWindow);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
}

static int RunReport(HINSTANCE instance, const CommandLine& line) {
    KeepIniFileUnchanged = 1;
    AnswerMessage = AnswerReportMessage;
    if (!CreateProgram(instance))
        return kReportHostUnknown; // without Windows sockets no name can be looked up
    RunTrace(line);
    int status = kReportHostUnknown;
    if (Outcome == RunOutcome::Cancelled)
        status = STATUS_CONTROL_C_EXIT;
    else if (TraceTargetKnown)
        status = WriteReport(line);
    if (status <= kReportIncomplete && line.Session[0]) {
        // Written through the same whole-or-nothing writer; its failure is the file's status.
        if (unsigned long error = SaveSessionFile(line.Session)) {
            ShowSaveFailure(line.Session, error);
            status = kReportNotWritten;
        }
    }
    EndReportProgram();
    return status;
}

int RunCommandLine(HINSTANCE instance, const CommandLine& line) {
    OpenReportConsole();
    switch (line.Mode) {
    case LaunchMode::Report:
        return RunReport(instance, line);
    case LaunchMode::Usage:
        ShowReportText(kCommandLineUsage);
        return 0;
    default:
        ShowReportError("%s", line.Error);
        return kReportBadCommandLine;
    }
}
