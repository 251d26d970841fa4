// Benchmark of the WhoIs client in the lab (not a test): for answers of the given sizes from the
// lab's WhoIs host, the time from the Whois button to the answer's last byte in the output box,
// the process's CPU time over it, and how long the message loop kept the program waiting: the
// longest answer to a message sent from another thread, and the longest gap between the ticks
// of a 20 ms timer (timers come last in the queue, after input and painting).
//   whois_bench.exe SIZE...    (bytes; the lab's WhoIs host answers "bulk-SIZE.test")
#include "app/app.h"
#include "bench_clock.h"
#include "app/resource.h"
#include "lab_topology.h"
#include "whois/whois.h"
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

// Sends WM_NULL to the main window over and over from a thread of its own and keeps the
// longest wait for an answer.
class AnswerWatch {
  public:
    AnswerWatch()
        : thread([this] {
              while (!done) {
                  double sent = NowMs();
                  DWORD_PTR result;
                  SendMessageTimeoutA(MainWindow, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
                  double waited = NowMs() - sent;
                  if (waited > longest)
                      longest = waited;
                  Sleep(1);
              }
          }) {}
    ~AnswerWatch() {
        done = true;
        thread.join();
    }
    std::atomic<double> longest{0};

  private:
    std::atomic<bool> done{false};
    std::thread thread;
};

static double LastTick, LongestTickGap;
static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    double now = NowMs();
    if (now - LastTick > LongestTickGap)
        LongestTickGap = now - LastTick;
    LastTick = now;
}

// The answer's length in the output box: the LF ending each 58-byte line gains a CR.
static LRESULT ShownLength(unsigned size) {
    return size + size / 58;
}

static int RunOne(unsigned size) {
    char domain[64];
    snprintf(domain, sizeof domain, LAB_WHOIS_BULK_QUERY_FORMAT, size);
    SetWindowTextA(HostBox, domain);
    SendMessageA(MainWindow, WM_COMMAND, IDM_WHOIS, 0);
    if (!WhoisDialog)
        return 1;
    SetDlgItemTextA(WhoisDialog, IDC_WHOIS_SERVER, LAB_WHOIS_NAME);
    HWND output = GetDlgItem(WhoisDialog, IDC_WHOIS_OUTPUT);
    LRESULT expected = ShownLength(size);
    UINT_PTR timer = SetTimer(nullptr, 0, 20, OnTick);
    LongestTickGap = 0;
    double cpu = CpuSeconds(), started, ended;
    {
        AnswerWatch watch;
        started = LastTick = NowMs();
        SendDlgItemMessageA(WhoisDialog, IDOK, BM_CLICK, 0, 0);
        // The last piece is shown as the query ends.
        while (!WhoisIsIdle() && NowMs() - started < 300000)
            RunMessageStep();
        ended = NowMs();
        OnTick(nullptr, 0, 0, 0); // the wait since the last tick counts too
        printf("%8u bytes: %.0f ms from Whois to the last byte shown; CPU %.2f s; longest "
               "answer to a sent message %.0f ms, longest gap between 20 ms ticks %.0f ms\n",
               size, ended - started, CpuSeconds() - cpu, watch.longest.load(), LongestTickGap);
    }
    KillTimer(nullptr, timer);
    LRESULT shown = SendMessageA(output, WM_GETTEXTLENGTH, 0, 0);
    if (shown != expected)
        printf("          INCOMPLETE: %ld characters shown of %ld\n", static_cast<long>(shown),
               static_cast<long>(expected));
    DestroyWindow(WhoisDialog);
    fflush(stdout);
    return shown == expected ? 0 : 1;
}

int main(int argc, char** argv) {
    if (!StartProgram(GetModuleHandleA(nullptr)))
        return 1;
    int failed = 0;
    for (int i = 1; i < argc; i++)
        failed |= RunOne(static_cast<unsigned>(strtoul(argv[i], nullptr, 10)));
    DestroyWindow(MainWindow);
    return failed;
}
