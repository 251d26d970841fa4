// Benchmark of session files (not a test): a trace of 30 hops that ran 24 hours, one echo a
// second to each hop with a loss now and then, saved as a session and opened again. Prints the
// file's size, the time to take its bytes (under the echo lock, as autosave does) and to write
// it whole, and the time to open it: read, checked, the hops made again and the table written.
//   session_bench.exe [ROUNDS]   (default 5: each time the best of that many)
#include "app/app.h"
#include "common/bounded_text.h"
#include "bench_clock.h"
#include "graph/graph.h"
#include "hoptable/hop_table.h"
#include "session/session.h"
#include "trace/trace.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

static void MakeDayOfThirtyHops() {
    MarkTraceStart();
    CopyText(TracedHostText, sizeof TracedHostText, "far-away.routelark.test");
    DestinationAddress = htonl(0xC612001Eu);
    for (int row = 0; row < 30; row++) {
        CPinger* hop = new CPinger(htonl(0xC6120000u | (row + 1) << 8 | 1));
        char name[64];
        snprintf(name, sizeof name, "hop-%d.far-away.routelark.test", row + 1);
        hop->SetHostText(name);
        hop->KeepHistory(NewHopHistory());
        int sent = 0, received = 0;
        for (uint32_t second = 0; second < 86400; second++) {
            bool answered = (second * 7919u + row * 31u) % 97u != 0;
            uint32_t rtt = 5 + row * 3 + (second * 2654435761u >> 28);
            RecordEcho(*hop->History(), second, answered, rtt);
            sent++;
            if (answered) {
                received++;
                hop->RecordRtt(rtt);
            }
        }
        hop->SetSentCount(sent);
        hop->SetReceivedCount(received);
        HopList[row] = hop;
        char number[12];
        snprintf(number, sizeof number, "%d", row + 1);
        InsertHopRow(row, number);
    }
    HopCount = HopCursor = 30;
    TraceTargetKnown = 1;
    RestoreTraceClock(86399);
}

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    if (!StartProgram(GetModuleHandleA(nullptr)))
        return 1;
    MakeDayOfThirtyHops();
    double build = 1e9, write = 1e9, open = 1e9;
    std::string bytes;
    for (int i = 0; i < rounds; i++) {
        double start = NowMs();
        BuildSessionBytes(bytes);
        build = std::min(build, NowMs() - start);
        start = NowMs();
        SaveSessionFile("bench.rls");
        write = std::min(write, NowMs() - start);
    }
    for (int i = 0; i < rounds; i++) {
        double start = NowMs();
        bool opened = OpenSessionFile("bench.rls");
        UpdateWindow(MainWindow);
        open = std::min(open, NowMs() - start);
        if (!opened || HopCount != 30)
            return 1;
    }
    printf("session of 30 hops over 24 hours: %zu bytes (%.2f MB)\n", bytes.size(),
           bytes.size() / 1048576.0);
    printf("bytes taken under the echo lock: %.1f ms\n", build);
    printf("saved (taken and written whole): %.1f ms\n", write);
    printf("opened (read, checked, hops made, table written): %.1f ms\n", open);
    DestroyWindow(MainWindow);
    return 0;
}
