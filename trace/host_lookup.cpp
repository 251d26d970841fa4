// Asynchronous host lookups: a dotted address is looked up in reverse, anything else
// forward after its URL parts are cut off. Each lookup reports by one window message.
#include "app/app.h"
#include "common/bounded_text.h"
#include "common/lookup_pool.h"
#include "trace/strip_url.h"
#include "trace/trace.h"

// The lookup the trace waits for, by its task handle: the only one whose completion is
// routed. Stop forgets it, so that the late completion of a stopped trace's lookup is dropped.
HANDLE PendingLookup;

static LookupPool TraceLookups;
static LookupArea* AnswerArea; // the area of the latest lookup, which LookupAnswer reads

// A lookup that found every area lent waits here for the first one given back; meanwhile
// PendingLookup holds kWaitingForArea, which no completion carries.
static struct {
    HWND window;
    UINT message;
    char text[kHostTextCapacity];
} WaitingLookup;
static HANDLE const kWaitingForArea = reinterpret_cast<HANDLE>(-1);

static void StartWaitingLookup() {
    LookupHost(WaitingLookup.window, WaitingLookup.message, WaitingLookup.text);
}

void LookupHost(HWND window, UINT message, const char* text) {
    SetStatusText(2, "Looking up hostname");
    LookupArea* area = LendLookupArea(TraceLookups);
    if (!area && !TraceLookups.waiting) {
        TraceLookups.waiting = StartWaitingLookup;
        WaitingLookup = {window, message, {}};
        CopyText(WaitingLookup.text, sizeof WaitingLookup.text, text);
        PendingLookup = kWaitingForArea;
        return;
    }
    HANDLE handle = nullptr;
    int error = WSAENOBUFS;
    if (area) {
        u_long address;
        if (IsDottedAddress(text, &address)) {
            handle = WSAAsyncGetHostByAddr(window, message, reinterpret_cast<const char*>(&address),
                                           4, AF_INET, area->result, sizeof area->result);
        } else {
            char name[1024];
            StripUrl(text, name, sizeof name);
            // An empty name would be answered with this machine's own address.
            if (name[0])
                handle =
                    WSAAsyncGetHostByName(window, message, name, area->result, sizeof area->result);
            else
                WSASetLastError(WSAHOST_NOT_FOUND);
        }
        if (!handle)
            error = WSAGetLastError();
    }
    PendingLookup = handle;
    if (handle) {
        area->task = handle;
        AnswerArea = area;
        return;
    }
    PostMessageA(window, message, 0, static_cast<LPARAM>(static_cast<DWORD>(error & 0xFFFF) << 16));
}

const hostent* LookupAnswer() {
    return AnswerArea ? reinterpret_cast<const hostent*>(AnswerArea->result) : nullptr;
}

void AbandonPendingLookup() {
    PendingLookup = nullptr;
    TraceLookups.waiting = nullptr;
}

int TraceLookupsOut() {
    return LentLookupAreas(TraceLookups);
}

bool ClaimLookupCompletion(WPARAM wParam) {
    bool awaited = reinterpret_cast<HANDLE>(wParam) == PendingLookup;
    if (awaited)
        PendingLookup = nullptr;
    ClaimLookupArea(TraceLookups, wParam);
    return awaited;
}
