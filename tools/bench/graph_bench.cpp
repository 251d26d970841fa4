// Benchmark of the hop graph (not a test).
//   graph_bench.exe --paint [WIDTHxHEIGHT]   40 hops whose rings are full: the history's bytes per
//                                            hop, the working set, and the time of a whole repaint
//                                            of the graph window in each span
//   graph_bench.exe --cpu [SECONDS] [host]   a trace at the default settings: the program's CPU
//                                            time with the graph closed and open, in turns, and
//                                            then stopped with the graph open
//   graph_bench.exe --events [SECONDS] [host]  the same with the Events window on a full log
#include "app/app.h"
#include "bench_clock.h"
#include "echo/echo_service.h"
#include "echo/history_store.h"
#include "events/events_view.h"
#include "events/trace_events.h"
#include "graph/graph.h"
#include "graph/graph_view.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Runs the message loop for ms milliseconds, asleep while no message comes, as the program's is.
static void RunFor(double ms) {
    double end = NowMs() + ms;
    for (double now = NowMs(); now < end; now = NowMs()) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now) + 1,
                                  QS_ALLINPUT);
    }
}

// The drawing alone, into a back buffer of the window's size, without putting it on screen.
static double DrawOnlyMs(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, r.right, r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ before = SelectObject(memory, bitmap);
    double total = 0;
    for (int frame = 0; frame < 100; frame++) {
        double start = NowMs();
        PaintGraph(memory, bits, r.right, r.bottom);
        total += NowMs() - start;
    }
    SelectObject(memory, before);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return total / 100;
}

static unsigned long WorkingSetKiB() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<unsigned long>(counters.WorkingSetSize / 1024);
}

// Forty hops, each with every bucket of both rings filled: a day of echoes, one a second, with
// RTTs that wander and a loss now and then.
static void MakeFullHops() {
    unsigned long before = WorkingSetKiB();
    MarkTraceStart();
    double recording = 0; // the time RecordEcho takes, which the echo worker adds to each echo
    for (int row = 0; row < kHopListCapacity; row++) {
        CPinger* hop = new CPinger(htonl(0xC6120000u | (row + 1) << 8 | 1));
        char name[64];
        snprintf(name, sizeof name, "hop-%d.far-away.routelark.test", row + 1);
        hop->SetHostText(name);
        hop->KeepHistory(NewHopHistory());
        double start = NowMs();
        for (uint32_t second = 0; second < 86400; second++) {
            bool answered = (second * 7919u + row * 31u) % 97u != 0;
            uint32_t rtt = 5 + row * 3 + (second * 2654435761u >> 28);
            RecordEcho(*hop->History(), second, answered, rtt);
        }
        recording += NowMs() - start;
        HopList[row] = hop;
    }
    HopCount = kHopListCapacity;
    MarkTraceStop();
    SpanFigures day =
        HopSpanFigures(HopList[kHopListCapacity - 1], GraphSpan::Day, TraceEndSecond());
    printf("hop 40's day: %.0f echoes sent, %.0f answered\n", static_cast<double>(day.sent),
           static_cast<double>(day.answered));
    printf("counting an echo in a history: %.0f ns (over %d echoes, rings filled from empty)\n",
           recording * 1e6 / (86400.0 * kHopListCapacity), 86400 * kHopListCapacity);
    printf("history: %u bytes a hop (%u one-second and %u one-minute buckets of %u bytes)\n",
           static_cast<unsigned>(sizeof(HopHistory)), kSecondBuckets, kMinuteBuckets,
           static_cast<unsigned>(sizeof(EchoBucket)));
    printf("working set: %lu KiB before the 40 hops, %lu KiB with their full rings (+%lu KiB)\n",
           before, WorkingSetKiB(), WorkingSetKiB() - before);
}

// The window's picture as it stands on screen, to a .bmp file: what the timed paints drew.
static void SaveWindowPicture(HWND window, const char* path) {
    RECT r;
    GetClientRect(window, &r);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, r.right, r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(window), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ before = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
    GdiFlush();
    DWORD size = 4u * r.right * r.bottom;
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader + size),
                             0, 0, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader)};
    if (FILE* out = fopen(path, "wb")) {
        fwrite(&file, sizeof file, 1, out);
        fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        fwrite(bits, size, 1, out);
        fclose(out);
    }
    SelectObject(memory, before);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
}

static int Paint(int width, int height) {
    MakeFullHops();
    OpenHopGraph();
    if (!GraphWindow)
        return 1;
    MoveWindow(GraphWindow, 0, 0, width, height, TRUE);
    RunFor(500);
    const char* const spans[] = {"1 min", "10 min", "1 h", "24 h"};
    for (int span = 0; span < kGraphSpanCount; span++) {
        SendMessageA(GraphWindow, WM_KEYDOWN, '1' + span, 0);
        RunFor(100);
        std::vector<double> times;
        for (int frame = 0; frame < 100; frame++) {
            double start = NowMs();
            RedrawWindow(GraphWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            times.push_back(NowMs() - start);
        }
        std::sort(times.begin(), times.end());
        double sum = 0;
        for (double t : times)
            sum += t;
        printf("paint of 40 hops, span %-6s full, %dx%d: mean %.2f ms, median %.2f ms, "
               "95th percentile %.2f ms\n",
               spans[span], width, height, sum / times.size(), times[times.size() / 2],
               times[times.size() * 95 / 100]);
        printf("  the drawing alone, without putting it on screen: mean %.2f ms\n",
               DrawOnlyMs(GraphWindow));
        char picture[64];
        snprintf(picture, sizeof picture, "graph_bench_%dx%d_%d.bmp", width, height, span + 1);
        SaveWindowPicture(GraphWindow, picture);
    }
    printf("working set with the graph open: %lu KiB\n", WorkingSetKiB());
    return 0;
}

static double CpuFor(double ms) {
    double cpu = CpuSeconds();
    RunFor(ms);
    return CpuSeconds() - cpu;
}

static int Cpu(int seconds, const std::string& host) {
    SetWindowTextA(HostBox, host.c_str());
    StartTrace();
    while (CurrentTraceState != TraceState::Pinging && CurrentTraceState != TraceState::Stopped)
        RunFor(1);
    if (CurrentTraceState == TraceState::Stopped) {
        fprintf(stderr, "the trace stopped during discovery\n");
        return 1;
    }
    RunFor(2000);
    // In turns, so that a drift of the machine's load falls on both alike.
    double closed = 0, open = 0;
    for (int turn = 0; turn < 4; turn++) {
        closed += CpuFor(seconds * 1000.0 / 4);
        OpenHopGraph();
        open += CpuFor(seconds * 1000.0 / 4);
        DestroyWindow(GraphWindow);
    }
    printf("trace at the default settings, %d s each: CPU %.2f s with the graph closed, %.2f s "
           "with it open (%+.0f%%)\n",
           seconds, closed, open, 100 * (open - closed) / closed);
    StopTrace();
    RunFor(2000); // the echo out at Stop comes in and shows
    printf("stopped, the graph closed: CPU %.3f s in 30 s\n", CpuFor(30000));
    OpenHopGraph();
    RunFor(500);
    printf("stopped, the graph open: CPU %.3f s in 30 s\n", CpuFor(30000));
    return 0;
}

// The Events window's cost: a trace with it closed and open in turns, its log full (1,000 events,
// the newest still open, so that its length is brought up to date each second), then stopped.
static int EventsCpu(int seconds, const std::string& host) {
    SetWindowTextA(HostBox, host.c_str());
    StartTrace();
    while (CurrentTraceState != TraceState::Pinging && CurrentTraceState != TraceState::Stopped)
        RunFor(1);
    if (CurrentTraceState == TraceState::Stopped) {
        fprintf(stderr, "the trace stopped during discovery\n");
        return 1;
    }
    LockEchoStatistics();
    for (int i = 0; i < kEventCapacity; i++) {
        TraceEvent& event = AddTraceEvent(TraceEventKind::LossEpisode, i % 7, TraceSecondNow());
        event.Sent = 12, event.Lost = 7, event.WorstRtt = 35;
        event.Open = i == kEventCapacity - 1;
    }
    UnlockEchoStatistics();
    RunFor(2000);
    double closed = 0, open = 0;
    for (int turn = 0; turn < 4; turn++) {
        closed += CpuFor(seconds * 1000.0 / 4);
        OpenEventsWindow();
        open += CpuFor(seconds * 1000.0 / 4);
        DestroyWindow(EventsWindow);
    }
    printf("trace at the default settings, %d s each: CPU %.2f s with the Events window closed, "
           "%.2f s with it open on 1,000 events (%+.0f%%)\n",
           seconds, closed, open, 100 * (open - closed) / closed);
    StopTrace();
    RunFor(2000);
    printf("stopped, the Events window closed: CPU %.3f s in 30 s\n", CpuFor(30000));
    OpenEventsWindow();
    RunFor(500);
    printf("stopped, the Events window open: CPU %.3f s in 30 s\n", CpuFor(30000));
    return 0;
}

int main(int argc, char** argv) {
    if (!StartProgram(GetModuleHandleA(nullptr)))
        return 1;
    Settings.PingDelay = 0;
    Settings.TraceDelay = 0;
    int result = 2;
    if (argc > 1 && !strcmp(argv[1], "--paint")) {
        int width = 720, height = 560;
        if (argc > 2)
            sscanf(argv[2], "%dx%d", &width, &height);
        result = Paint(width, height);
    } else if (argc > 1 && !strcmp(argv[1], "--cpu")) {
        result = Cpu(argc > 2 ? atoi(argv[2]) : 60, argc > 3 ? argv[3] : "dest.routelark.test");
    } else if (argc > 1 && !strcmp(argv[1], "--events")) {
        result =
            EventsCpu(argc > 2 ? atoi(argv[2]) : 60, argc > 3 ? argv[3] : "dest.routelark.test");
    } else {
        fprintf(stderr, "usage: graph_bench.exe --paint [WIDTHxHEIGHT] | --cpu [SECONDS] [host] | "
                        "--events [SECONDS] [host]\n");
    }
    if (MainWindow)
        DestroyWindow(MainWindow);
    return result;
}
