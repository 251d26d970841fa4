// The route check's state, echo buffers and ICMP handle, and the echo it makes between the
// cycle's echoes.
#include "echo/route_check.h"
#include "common/tick_count.h"
#include "echo/echo_service_internal.h"
#include "echo/history_store.h"
#include "echo/pinger.h"
#include "events/route_book.h"
#include <cstring>

enum : uint32_t { kCheckIntervalMs = 1000, kStatusSuccess = 0, kStatusTtlExpired = 11013 };

bool RouteCheckDisabled;

// What the check does, under EchoLock: the UI thread sets it at the ping cycle's start and clears
// running at Stop; the worker moves the cursor and the time of the next echo. Each start counts
// a new generation, so that the answer of an echo made for an earlier trace is dropped.
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
    uint64_t dueTick; // the worker's tick count for the next echo; 0 until it first looks
} Check;

// The worker's alone: its buffers are used by no pinger, and its handle by no other echo. The
// handle is opened once, at the first trace, and kept until the echo service stops.
static HANDLE CheckHandle;
alignas(8) static unsigned char CheckRequest[kEchoPayloadSize];
alignas(8) static unsigned char CheckReplyData[kEchoPayloadSize];
alignas(8) static unsigned char CheckReply[kEchoReplySize];
static IP_OPTION_INFORMATION CheckOptions;
static uint64_t WorkerTick; // the worker's 64-bit tick count, last read

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
    ++Check.generation;
    Check.window = window;
    Check.changeMessage = changeMessage;
    Check.destination = destination;
    Check.rows = rows < kRouteCheckRows ? rows : kRouteCheckRows;
    std::memcpy(Check.ttls, rowTtls, Check.rows);
    Check.cursor = -1;
    Check.timeout = timeout;
    Check.dueTick = 0;
    UnlockEchoStatistics();
}

void StopRouteCheck() {
    LockEchoStatistics();
    Check.running = false;
    UnlockEchoStatistics();
}

void CloseRouteCheck() {
    CloseIcmpHandle(CheckHandle);
    CheckHandle = nullptr;
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

// Under EchoLock: whether a check echo is due now, and which.
static bool TakeDueEcho(DueEcho* due) {
    if (!Check.running)
        return false;
    WorkerTick = ExtendTickCount(WorkerTick, GetTickCount());
    if (Check.dueTick == 0) // the first look: the first echo a second from now
        Check.dueTick = WorkerTick + kCheckIntervalMs;
    if (WorkerTick < Check.dueTick)
        return false;
    int row = NextCheckRow();
    if (row < 0)
        return false;
    Check.cursor = row;
    Check.dueTick = WorkerTick + kCheckIntervalMs;
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
