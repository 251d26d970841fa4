// The echo service: binds ICMP.DLL at run time and runs the worker thread that performs
// the blocking echo calls and reports each outcome to the UI thread as a posted message.
#include "app/app.h"
#include "echo/echo_round.h"
#include "echo/echo_service_internal.h"
#include "echo/echo_wakeup.h"
#include "echo/history_store.h"
#include "echo/route_check.h"
#include "events/hop_events.h"
#include <atomic>

typedef HANDLE(WINAPI* IcmpCreateFileEntry)();
typedef BOOL(WINAPI* IcmpCloseHandleEntry)(HANDLE);
typedef DWORD(WINAPI* IcmpSendEchoEntry)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION,
                                         LPVOID, DWORD, DWORD);

static HMODULE IcmpLibrary;
static IcmpCreateFileEntry CreateEntry;
static IcmpCloseHandleEntry CloseEntry;
static IcmpSendEchoEntry EchoEntry;

EchoRequestSlot EchoRequest;
static bool EchoServiceRunning; // the worker runs and its wake-up, events and lock exist
static CRITICAL_SECTION EchoLock;
static std::atomic<int> EchoStop{0};
// The hand-shakes sleep instead of polling. EchoHeld is 1 while the worker holds the target's
// buffers (submit to hand-back); a destruction waiting for that raises IdleWaited and sleeps on
// the auto-reset EchoIdle, set by the worker only then, so an echo costs no event call (a stale
// set wakes a waiter once, and it sleeps again). EchoExited is set once the worker has ended.
static std::atomic<int> EchoHeld{0};
static std::atomic<int> IdleWaited{0};
static HANDLE EchoIdle;
static HANDLE EchoExited;

// The worker is done with the slot's buffers. The store comes before the look at IdleWaited,
// and a waiter raises IdleWaited before it looks at EchoHeld: one of the two always sees the
// other's write, so a waiter is never left asleep.
static void HandBackSlot() {
    EchoHeld = 0;
    if (IdleWaited)
        SetEvent(EchoIdle);
}

// Written into the reply record before each call, so that a call which returns no reply
// and leaves the buffer alone is never read as the previous echo's status.
static const ULONG kStatusNotWritten = 0xFFFFFFFFu;
static const ULONG kGeneralFailure = 11050; // IP_GENERAL_FAILURE

static void ShowEchoMessage(const char* text, UINT icon) {
    ShowMessage(nullptr, "Ping", icon, "%s", text);
}

// The outcome of the echo just made: the reply's status, or the library's error when the
// call returned no reply and wrote nothing.
static ULONG EchoOutcome(const ICMP_ECHO_REPLY* reply, DWORD replies, DWORD error) {
    ULONG status = reply->Status;
    if (replies == 0 && status == kStatusNotWritten)
        status = error ? error : kGeneralFailure;
    return status;
}

void (*EchoCompletionHook)();

void FillEchoSlot(EchoRequestSlot& slot, CPinger* target, HWND window, UINT message,
                  DWORD timeout) {
    slot.window = window;
    slot.message = message;
    slot.icmpHandle = target->IcmpHandle();
    slot.destination = target->GetDestination();
    slot.requestData = target->RequestData();
    slot.requestSize = kEchoPayloadSize;
    slot.requestOptions = target->Options();
    slot.replyBuffer = target->ReplyBuffer();
    slot.replySize = kEchoReplySize;
    slot.timeout = timeout;
    slot.target = target;
}

// Ends one echo, inside EchoLock; true when the slot holds a round's next echo, to be made at
// once. What the update and the post need is taken out of the slot first, and the slot is
// handed back (its buffers are free again) or given that next echo. The statistics update and
// the post then reach the target under EchoLock alone, which its destruction always waits for.
static bool CompleteEcho(DWORD replies, DWORD error) {
    CPinger* target = EchoRequest.target;
    if (!target) { // destroyed during its echo: the cycle has stopped, nothing follows
        EndEchoRound();
        HandBackSlot();
        return false;
    }
    const ICMP_ECHO_REPLY* reply = static_cast<const ICMP_ECHO_REPLY*>(EchoRequest.replyBuffer);
    ULONG status = EchoOutcome(reply, replies, error);
    IPAddr responder = reply->Address;
    ULONG rtt = reply->RoundTripTime;
    HWND window = EchoRequest.window;
    UINT message = EchoRequest.message;
    EchoRequest.target = nullptr;
    bool next = EchoRoundRunning() && ContinueEchoRound(IcmpStatusGoesOn(status));
    if (!next)
        HandBackSlot();
    if (EchoCompletionHook)
        EchoCompletionHook();
    target->IncrementSent();
    if (replies != 0) {
        target->SetLastAddress(responder);
        target->RecordRtt(rtt);
        target->IncrementReceived();
    }
    // In the same lock: the graph and the event log never disagree with the figures.
    uint32_t second = TraceSecondNow();
    RecordHopEchoAt(target, second, replies != 0, rtt);
    RecordEpisodeEcho(target->HopIndex(), second, replies != 0, rtt);
    if (next)
        PostEchoRoundNotice(window, status, target);
    else if (IsWindow(window)) // any echo's completion, and the last of a round
        PostMessageA(window, message, status, reinterpret_cast<LPARAM>(target));
    return next;
}

static DWORD WINAPI EchoWorker(void*) {
    bool next = false; // the slot holds a round's next echo: make it without waiting
    while (!EchoStop) {
        if (!next)
            WaitForEchoWakeup();
        if (EchoStop)
            break;
        if (!EchoRequest.target) { // destroyed before its echo started: nothing to do
            next = false;
            HandBackSlot();
            continue;
        }
        // The route check's echo, when one is due, goes first: the slot's buffers are the
        // worker's until its echo is counted, and the check uses buffers of its own.
        MakeDueRouteCheckEcho(EchoEntry);
        static_cast<ICMP_ECHO_REPLY*>(EchoRequest.replyBuffer)->Status = kStatusNotWritten;
        DWORD replies =
            EchoEntry(EchoRequest.icmpHandle, EchoRequest.destination, EchoRequest.requestData,
                      static_cast<WORD>(EchoRequest.requestSize), EchoRequest.requestOptions,
                      EchoRequest.replyBuffer, EchoRequest.replySize, EchoRequest.timeout);
        DWORD error = replies ? 0 : GetLastError();
        if (EchoStop) {
            HandBackSlot();
            break;
        }
        EnterCriticalSection(&EchoLock);
        next = CompleteEcho(replies, error);
        LeaveCriticalSection(&EchoLock);
    }
    if (next) // stopped with a round's next echo in the slot
        HandBackSlot();
    SetEvent(EchoExited);
    return 0;
}

static void CloseEchoObjects() {
    CloseEchoWakeup();
    CloseHandle(EchoIdle);
    CloseHandle(EchoExited);
    DeleteCriticalSection(&EchoLock);
    EchoIdle = EchoExited = nullptr;
    EchoServiceRunning = false;
}

int StartEchoService() {
    IcmpLibrary = LoadLibraryA("ICMP.DLL");
    if (!IcmpLibrary) {
        ShowEchoMessage("Unable to locate ICMP.DLL!", MB_ICONERROR);
        return 0;
    }
    CreateEntry = reinterpret_cast<IcmpCreateFileEntry>(
        reinterpret_cast<void*>(GetProcAddress(IcmpLibrary, "IcmpCreateFile")));
    CloseEntry = reinterpret_cast<IcmpCloseHandleEntry>(
        reinterpret_cast<void*>(GetProcAddress(IcmpLibrary, "IcmpCloseHandle")));
    EchoEntry = reinterpret_cast<IcmpSendEchoEntry>(
        reinterpret_cast<void*>(GetProcAddress(IcmpLibrary, "IcmpSendEcho")));
    if (!CreateEntry || !CloseEntry || !EchoEntry) {
        CreateEntry = nullptr, CloseEntry = nullptr, EchoEntry = nullptr;
        ShowEchoMessage("Unable to locate required API functions!", MB_ICONEXCLAMATION);
        return 0;
    }
    EchoServiceRunning = true;
    EchoIdle = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    EchoHeld = 0;
    IdleWaited = 0;
    EchoExited = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    InitializeCriticalSection(&EchoLock);
    EchoStop = 0;
    // Without its wake-up the worker's wait would fail at once, again and again, burning a core.
    HANDLE thread =
        OpenEchoWakeup() ? CreateThread(nullptr, 0, EchoWorker, nullptr, 0, nullptr) : nullptr;
    if (!thread) {
        // Nothing would ever answer an echo: run on as without the library's entry points.
        CloseEchoObjects();
        CreateEntry = nullptr, CloseEntry = nullptr, EchoEntry = nullptr;
        ShowEchoMessage("Unable to start PING thread!", MB_ICONERROR);
        return 0;
    }
    CloseHandle(thread);
    return 1;
}

void StopEchoService() {
    if (EchoServiceRunning) {
        EchoStop = 1;
        WakeEchoWorker();
        WaitForSingleObject(EchoExited, INFINITE);
        CloseRouteCheck();
        CloseEchoObjects();
    }
    if (IcmpLibrary) {
        FreeLibrary(IcmpLibrary);
        IcmpLibrary = nullptr;
    }
    CreateEntry = nullptr, CloseEntry = nullptr, EchoEntry = nullptr;
}

void SubmitEchoRequest(CPinger* target, HWND window, UINT message, DWORD timeout) {
    if (!EchoServiceRunning)
        return;
    EchoHeld = 1; // the target's buffers are the worker's from here on
    FillEchoSlot(EchoRequest, target, window, message, timeout);
    WakeEchoWorker();
}

bool EchoServiceIsRunning() {
    return EchoServiceRunning;
}

void LockEchoStatistics() {
    if (EchoServiceRunning)
        EnterCriticalSection(&EchoLock);
}

void UnlockEchoStatistics() {
    if (EchoServiceRunning)
        LeaveCriticalSection(&EchoLock);
}

void ReleaseEchoTarget(CPinger* pinger) {
    if (!EchoServiceRunning)
        return;
    // The lock waits out a completion that has already taken this pinger out of the slot;
    // a target cleared under it is never taken afterwards.
    EnterCriticalSection(&EchoLock);
    bool inFlight = EchoRequest.target == pinger;
    if (inFlight)
        EchoRequest.target = nullptr;
    // Hops are destroyed together, a new trace's start among the times: a round must not go on
    // to a hop of the list being cleared.
    EndEchoRound();
    LeaveCriticalSection(&EchoLock);
    if (!inFlight)
        return;
    ResetEvent(EchoIdle); // before IdleWaited: the worker sets it only once that is raised
    IdleWaited = 1;
    while (EchoHeld) // until its echo call has returned
        WaitForSingleObject(EchoIdle, INFINITE);
    IdleWaited = 0;
}

HANDLE OpenQuietIcmpHandle() {
    HANDLE handle = CreateEntry ? CreateEntry() : INVALID_HANDLE_VALUE;
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

HANDLE CreateIcmpHandle() {
    HANDLE handle = CreateEntry ? CreateEntry() : INVALID_HANDLE_VALUE;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) { // 0 would read as "no handle"
        ShowEchoMessage("Unable to open PING service!", MB_ICONEXCLAMATION);
        return nullptr;
    }
    return handle;
}

void CloseIcmpHandle(HANDLE handle) {
    if (CloseEntry && handle)
        CloseEntry(handle);
}
