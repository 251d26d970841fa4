// The route check's state, echo buffers and ICMP handle, and the echo it makes between the
// cycle's echoes.
#include "echo/route_check.h"
#include "common/tick_count.h"
#include "echo/echo_service_internal.h"
#include "echo/history_store.h"
#include "echo/pinger.h"
#include "events/route_book.h"
#include <atomic>
#include <cstring>

enum : uint32_t { kCheckIntervalMs = 1000, kStatusSuccess = 0, kStatusTtlExpired = 11013 };

bool RouteCheckDisabled;

// What the check does, under EchoLock: the UI thread sets it at the ping cycle's start and clears
// running at Stop; the worker moves the cursor. Each start counts a new generation, so that the
// answer of an echo made for an earlier trace is dropped.
static struct {
    bool running;
    unsigned generation;
    HWND window;
    UINT changeMessage;
    IPAddr destination;
    unsigned char ttls[kRouteCheckRows];
    int rows;
    int cursor; // the row checked last
    DWORD timeout;
} Check;
// Check.running, also read by the worker before each echo without the lock: a check that is off
// then costs the cycle nothing but this load, and one that is on a tick count until it is due.
static std::atomic<bool> CheckRunning{false};

// The worker's alone: its buffers are used by no pinger, and its handle by no other echo. The
// handle is opened once, at the first trace, and kept until the echo service stops.
static HANDLE CheckHandle;
alignas(8) static unsigned char CheckRequest[kEchoPayloadSize];
alignas(8) static unsigned char CheckReplyData[kEchoPayloadSize];
alignas(8) static unsigned char CheckReply[kEchoReplySize];
static IP_OPTION_INFORMATION CheckOptions;
// The worker's alone: its 64-bit tick count, last read, and when the next check echo is due (0
// until its first look at a check). One a second at most, across traces too; the echo service's
// next start (once its worker has ended) begins afresh, as a new process would.
static uint64_t WorkerTick;
static uint64_t DueTick;

void StartRouteCheck(HWND window, UINT changeMessage, IPAddr destination,
                     const unsigned char* rowTtls, int rows, DWORD timeout) {
    if (RouteCheckDisabled || !EchoServiceIsRunning())
        return;
    if (!CheckHandle)
        CheckHandle = OpenQuietIcmpHandle();
    if (!CheckHandle)
        return;
    LockEchoStatistics();
    Check.running = true;
    CheckRunning = true;
    ++Check.generation;
    Check.window = window;
    Check.changeMessage = changeMessage;
    Check.destination = destination;
    Check.rows = rows < kRouteCheckRows ? rows : kRouteCheckRows;
    std::memcpy(Check.ttls, rowTtls, Check.rows);
    Check.cursor = -1;
    Check.timeout = timeout;
    UnlockEchoStatistics();
}

void StopRouteCheck() {
    LockEchoStatistics();
    Check.running = false;
    CheckRunning = false;
    UnlockEchoStatistics();
}

void CloseRouteCheck() {
    CloseIcmpHandle(CheckHandle);
    CheckHandle = nullptr;
    WorkerTick = 0;
    DueTick = 0;
}

// The next row to check after the cursor, going round; -1 when no row has a TTL.
static int NextCheckRow() {
    for (int step = 1; step <= Check.rows; step++) {
        int row = (Check.cursor + step) % Check.rows;
        if (Check.ttls[row])
            return row;
    }
    return -1;
}

struct DueEcho {
    int row;
    unsigned ttl, generation;
    IPAddr destination;
    DWORD timeout;
};

// Under EchoLock, once the time has come: which check echo is due.
static bool TakeDueEcho(DueEcho* due) {
    int row = Check.running ? NextCheckRow() : -1;
    if (row < 0)
        return false;
    Check.cursor = row;
    DueTick = WorkerTick + kCheckIntervalMs;
    *due = DueEcho{row, Check.ttls[row], Check.generation, Check.destination, Check.timeout};
    return true;
}

static void PrepareBuffers(unsigned ttl) {
    std::memset(&CheckOptions, 0, sizeof CheckOptions);
    CheckOptions.Ttl = static_cast<UCHAR>(ttl);
    std::memset(CheckReply, 0, sizeof CheckReply);
    ICMP_ECHO_REPLY* reply = reinterpret_cast<ICMP_ECHO_REPLY*>(CheckReply);
    reply->Data = CheckReplyData;
    reply->Status = 0xFFFFFFFFu; // no reply written
}

void MakeDueRouteCheckEcho(RouteCheckEchoCall sendEcho) {
    if (!CheckRunning.load(std::memory_order_relaxed))
        return;
    WorkerTick = ExtendTickCount(WorkerTick, GetTickCount());
    if (DueTick == 0) // the first look: the first echo a second from now
        DueTick = WorkerTick + kCheckIntervalMs;
    if (WorkerTick < DueTick)
        return;
    DueEcho due;
    LockEchoStatistics();
    bool isDue = TakeDueEcho(&due);
    UnlockEchoStatistics();
    if (!isDue)
        return;
    PrepareBuffers(due.ttl);
    DWORD replies = sendEcho(CheckHandle, due.destination, CheckRequest, kEchoPayloadSize,
                             &CheckOptions, CheckReply, kEchoReplySize, due.timeout);
    const ICMP_ECHO_REPLY* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(CheckReply);
    // Only a router's "TTL expired" or the destination's reply names the hop at that TTL.
    if (replies == 0 || (reply->Status != kStatusSuccess && reply->Status != kStatusTtlExpired))
        return;
    LockEchoStatistics();
    uint32_t change = 0;
    if (Check.running && Check.generation == due.generation)
        change = NoteRouteAnswer(due.row, reply->Address, TraceSecondNow());
    if (change && IsWindow(Check.window))
        PostMessageA(Check.window, Check.changeMessage, change, due.row);
    UnlockEchoStatistics();
}
