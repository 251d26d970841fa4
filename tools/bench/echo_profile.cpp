// Where the UI thread's time goes in the ping cycle (not a test): the program's own message loop
// runs a one-hop trace with both pauses 0 while the platform calls it makes are timed at the
// executable's imports, each call's own time apart from the calls it makes in turn:
//   hand-off      ResetEvent, ReleaseSemaphore (SendEcho waking the worker), where the program
//                 calls them; a condition variable's wake is bound at run time and not timed
//   completion    the message loop taking the worker's posted reply (PeekMessage,
//                 TranslateAccelerator) and routing it, without the work below
//   cells         SendMessage to the hop table (row image and cell texts)
//   status        SendMessage to the status bar (mode and texts)
//   repaint       WM_PAINT and WM_ERASEBKGND dispatched to any window
//   waiting       WaitMessage or GetMessage: the UI thread idle while the echo is out, and
//                 the message taken
//   engine        the rest of the reply handler's own work
//   echo_profile.exe [--seconds N] HOST
#include "app/app.h"
#include "bench_clock.h"
#include "harness/import_patch.h"
#include "hoptable/hop_table.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

enum Bucket { kHandOff, kCompletion, kCells, kStatus, kRepaint, kWaiting, kEngine, kOther, kCount };
static const char* const kBucketNames[kCount] = {"hand-off", "completion", "cells",  "status",
                                                 "repaint",  "waiting",    "engine", "other"};
static double Spent[kCount];
static long Calls[kCount];
static DWORD UiThread;
static bool Profiling;

// Exclusive times: each timed call's children are taken off its own time.
static double ChildTime[64];
static int Depth;

template <typename Call> static auto Timed(Bucket bucket, Call call) {
    if (!Profiling || GetCurrentThreadId() != UiThread || Depth >= 63)
        return call();
    ChildTime[++Depth] = 0;
    double from = NowMs();
    auto result = call();
    double took = NowMs() - from;
    Spent[bucket] += took - ChildTime[Depth];
    Calls[bucket]++;
    Depth--;
    ChildTime[Depth] += took;
    return result;
}

static decltype(&SendMessageA) RealSend;
static decltype(&DispatchMessageA) RealDispatch;
static decltype(&PeekMessageA) RealPeek;
static decltype(&GetMessageA) RealGet;
static decltype(&TranslateAcceleratorA) RealTranslate;
static decltype(&WaitMessage) RealWait;
static decltype(&ReleaseSemaphore) RealRelease;
static decltype(&ResetEvent) RealReset;

static LRESULT WINAPI ProfiledSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Bucket bucket = window == HopTable ? kCells : window == StatusBar ? kStatus : kOther;
    return Timed(bucket, [&] { return RealSend(window, message, wParam, lParam); });
}
static LRESULT WINAPI ProfiledDispatch(const MSG* msg) {
    bool paint = msg->message == WM_PAINT || msg->message == WM_ERASEBKGND;
    Bucket bucket = paint ? kRepaint : msg->message == MSG_PING_REPLY ? kEngine : kOther;
    return Timed(bucket, [&] { return RealDispatch(msg); });
}
static BOOL WINAPI ProfiledPeek(MSG* msg, HWND window, UINT first, UINT last, UINT remove) {
    return Timed(kCompletion, [&] { return RealPeek(msg, window, first, last, remove); });
}
static BOOL WINAPI ProfiledGet(MSG* msg, HWND window, UINT first, UINT last) {
    return Timed(kWaiting, [&] { return RealGet(msg, window, first, last); });
}
static int WINAPI ProfiledTranslate(HWND window, HACCEL table, MSG* msg) {
    return Timed(kCompletion, [&] { return RealTranslate(window, table, msg); });
}
static BOOL WINAPI ProfiledWait() {
    return Timed(kWaiting, [&] { return RealWait(); });
}
static BOOL WINAPI ProfiledRelease(HANDLE semaphore, LONG count, LONG* previous) {
    return Timed(kHandOff, [&] { return RealRelease(semaphore, count, previous); });
}
static BOOL WINAPI ProfiledReset(HANDLE event) {
    return Timed(kHandOff, [&] { return RealReset(event); });
}

template <typename Entry>
static void Patch(const char* dll, const char* name, Entry replacement, Entry* real) {
    *real = reinterpret_cast<Entry>(PatchImport(dll, name, reinterpret_cast<void*>(replacement)));
    if (!*real)
        fprintf(stderr, "(the program does not call %s)\n", name);
}

static long long EchoesSent() {
    long long total = 0;
    for (int i = 0; i < HopCount; i++)
        total += HopList[i]->IsNoResponse() ? 0 : HopList[i]->GetSentCount();
    return total;
}

static void RunFor(double ms) {
    double end = NowMs() + ms;
    while (NowMs() < end && RunMessageStep()) {
    }
}

int main(int argc, char** argv) {
    int seconds = 10;
    const char* host = "198.18.1.1";
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--seconds") && i + 1 < argc)
            seconds = atoi(argv[++i]);
        else
            host = argv[i];
    }
    UiThread = GetCurrentThreadId();
    Patch("user32.dll", "SendMessageA", ProfiledSend, &RealSend);
    Patch("user32.dll", "DispatchMessageA", ProfiledDispatch, &RealDispatch);
    Patch("user32.dll", "PeekMessageA", ProfiledPeek, &RealPeek);
    Patch("user32.dll", "GetMessageA", ProfiledGet, &RealGet);
    Patch("user32.dll", "TranslateAcceleratorA", ProfiledTranslate, &RealTranslate);
    Patch("user32.dll", "WaitMessage", ProfiledWait, &RealWait);
    Patch("kernel32.dll", "ReleaseSemaphore", ProfiledRelease, &RealRelease);
    Patch("kernel32.dll", "ResetEvent", ProfiledReset, &RealReset);
    if (!StartProgram(GetModuleHandleA(nullptr)))
        return 1;
    Settings.PingDelay = Settings.TraceDelay = 0;
    SetWindowTextA(HostBox, host);
    StartTrace();
    while (CurrentTraceState != TraceState::Pinging && CurrentTraceState != TraceState::Stopped)
        RunFor(10);
    RunFor(1000);
    long long echoes = EchoesSent();
    double cpu = CpuSeconds(), from = NowMs();
    Profiling = true;
    RunFor(seconds * 1000.0);
    Profiling = false;
    double span = NowMs() - from;
    long long cycled = EchoesSent() - echoes;
    double perEcho = 1000.0 / (cycled ? cycled : 1);
    printf("echo profile to %s, %.0f s: %lld echoes, %.0f echoes/s, process CPU %.0f us per echo\n",
           host, span / 1000, cycled, cycled * 1000.0 / span,
           (CpuSeconds() - cpu) * 1e6 / (cycled ? cycled : 1));
    printf("  UI thread, microseconds per echo (calls per echo):\n");
    double total = 0;
    for (int b = 0; b < kCount; b++)
        total += Spent[b];
    for (int b = 0; b < kCount; b++)
        printf("    %-11s %7.1f us  %5.1f%%  (%.1f)\n", kBucketNames[b], Spent[b] * perEcho,
               100 * Spent[b] / (total ? total : 1), Calls[b] * perEcho / 1000.0);
    printf("    %-11s %7.1f us of %.1f us per echo\n", "all", total * perEcho, span * perEcho);
    DestroyWindow(MainWindow);
    return 0;
}
