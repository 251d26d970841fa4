// The platform's own echo rate (not a test): IcmpSendEcho called back to back from one thread,
// with the program's request and reply sizes, for a number of seconds.
//   icmp_loop.exe ADDRESS [SECONDS]     (default 10)
#include "bench_clock.h"
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: icmp_loop ADDRESS [SECONDS]\n");
        return 2;
    }
    IPAddr destination = inet_addr(argv[1]);
    double seconds = argc > 2 ? atof(argv[2]) : 10;
    HANDLE icmp = IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "IcmpCreateFile failed\n");
        return 1;
    }
    unsigned char request[56] = {};
    unsigned char reply[sizeof(ICMP_ECHO_REPLY) + 56];
    IP_OPTION_INFORMATION options = {};
    options.Ttl = 32;
    long long echoes = 0, replies = 0;
    double cpu = CpuSeconds(), from = NowMs(), end = from + seconds * 1000;
    while (NowMs() < end) {
        replies += IcmpSendEcho(icmp, destination, request, sizeof request, &options, reply,
                                sizeof reply, 1000) != 0;
        echoes++;
    }
    double span = (NowMs() - from) / 1000;
    printf("platform echo loop to %s, %.0f s: %lld echoes (%lld replies), %.0f echoes/s\n", argv[1],
           span, echoes, replies, echoes / span);
    printf("  CPU time of the process: %.2f s (%.0f%% of one core), %.1f us per echo\n",
           CpuSeconds() - cpu, (CpuSeconds() - cpu) * 100 / span,
           (CpuSeconds() - cpu) * 1e6 / (echoes ? echoes : 1));
    IcmpCloseHandle(icmp);
    return 0;
}
