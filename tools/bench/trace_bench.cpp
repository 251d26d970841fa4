// Benchmark of the trace engine in the lab (not a test): the time discovery takes next to the
// round trips it waits for, the echo rate of the ping cycle with both pauses 0, the CPU time
// and the allocations per echo in that cycle, and the working set over a long run.
//   trace_bench.exe [--seconds N] [--minutes M] [--without-history] [--without-route-check] [host]
// --without-history takes the hops' histories away once discovery is done, so that the cycle
// counts its echoes in the table's statistics alone (the echo rate without the graph's buckets).
// --without-route-check runs the cycle without the route check's echo a second beside it.
#include "app/app.h"
#include "bench_clock.h"
#include "echo/echo_service.h"
#include "echo/route_check.h"
#include "graph/graph.h"
#include "hoptable/hop_table.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include <psapi.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

// Every allocation of the program's own code goes through these.
static std::atomic<unsigned long> Allocations{0};
void* operator new(size_t size) {
    Allocations++;
    if (void* p = malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    free(p);
}
void operator delete(void* p, size_t) noexcept {
    free(p);
}

static PROCESS_MEMORY_COUNTERS_EX Memory() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters;
}

static long long EchoesSent() {
    long long total = 0;
    for (int i = 0; i < HopCount; i++)
        if (!HopList[i]->IsNoResponse())
            total += HopList[i]->GetSentCount();
    return total;
}

// Runs the message loop for ms milliseconds.
static void RunFor(double ms) {
    double end = NowMs() + ms;
    while (NowMs() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

int main(int argc, char** argv) {
    int seconds = 30, minutes = 0;
    bool withoutHistory = false;
    std::string host = "dest.routelark.test";
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--without-history"))
            withoutHistory = true;
        else if (!strcmp(argv[i], "--without-route-check"))
            RouteCheckDisabled = true;
        else if (!strcmp(argv[i], "--seconds") && i + 1 < argc)
            seconds = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--minutes") && i + 1 < argc)
            minutes = atoi(argv[++i]);
        else
            host = argv[i];
    }
    if (!StartProgram(GetModuleHandleA(nullptr)))
        return 1;
    Settings.PingDelay = 0;
    Settings.TraceDelay = 0;

    SetWindowTextA(HostBox, host.c_str());
    double started = NowMs();
    StartTrace();
    while (CurrentTraceState != TraceState::Pinging && CurrentTraceState != TraceState::Stopped)
        RunFor(1);
    double discovered = NowMs();
    if (CurrentTraceState == TraceState::Stopped) {
        fprintf(stderr, "the trace stopped during discovery\n");
        return 1;
    }
    unsigned rttSum = 0;
    int placeholders = 0;
    for (int i = 0; i < HopCount; i++) {
        if (HopList[i]->IsNoResponse())
            placeholders++;
        else
            rttSum += HopList[i]->GetLastRtt(); // still the probe's sample
    }
    printf("discovery of %d hops (%d without answer): %.0f ms from Start to the first cycle echo\n",
           HopCount, placeholders, discovered - started);
    printf("  round trips of the answering probes: %u ms; timeouts waited: %d x %d ms\n", rttSum,
           placeholders * Settings.Retries, Settings.PingTimeout);

    if (withoutHistory) {
        LockEchoStatistics(); // the worker counts no echo meanwhile
        for (int i = 0; i < HopCount; i++) {
            FreeHopHistory(HopList[i]->History());
            HopList[i]->KeepHistory(nullptr);
        }
        UnlockEchoStatistics();
    }
    printf("  the hops' histories: %s; the route check: %s\n",
           withoutHistory ? "taken away" : "kept", RouteCheckDisabled ? "off" : "on");
    RunFor(1000); // settle into the cycle
    long long echoes = EchoesSent();
    double cpu = CpuSeconds();
    unsigned long allocations = Allocations;
    PROCESS_MEMORY_COUNTERS_EX memory = Memory();
    double from = NowMs();
    RunFor(seconds * 1000.0);
    double span = (NowMs() - from) / 1000.0;
    long long cycled = EchoesSent() - echoes;
    PROCESS_MEMORY_COUNTERS_EX after = Memory();
    printf("ping cycle, both pauses 0, %.0f s: %lld echoes, %.0f echoes/s\n", span, cycled,
           cycled / span);
    printf("  CPU time of the whole process: %.2f s (%.0f%% of one core)\n", CpuSeconds() - cpu,
           (CpuSeconds() - cpu) * 100 / span);
    printf("  allocations by the program's code: %lu (%.4f per echo)\n", Allocations - allocations,
           cycled ? static_cast<double>(Allocations - allocations) / cycled : 0.0);
    printf("  working set %lu KiB -> %lu KiB, private bytes %lu KiB -> %lu KiB\n",
           static_cast<unsigned long>(memory.WorkingSetSize / 1024),
           static_cast<unsigned long>(after.WorkingSetSize / 1024),
           static_cast<unsigned long>(memory.PrivateUsage / 1024),
           static_cast<unsigned long>(after.PrivateUsage / 1024));
    fflush(stdout);

    for (int half = 1; half <= minutes * 2; half++) {
        RunFor(30000);
        PROCESS_MEMORY_COUNTERS_EX now = Memory();
        printf("  after %4.1f min: %lld echoes, working set %lu KiB, private bytes %lu KiB\n",
               half / 2.0, EchoesSent(), static_cast<unsigned long>(now.WorkingSetSize / 1024),
               static_cast<unsigned long>(now.PrivateUsage / 1024));
        fflush(stdout);
    }
    DestroyWindow(MainWindow);
    return 0;
}
