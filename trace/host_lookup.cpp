// Asynchronous host lookups: a dotted address is looked up in reverse, anything else
// forward after its URL parts are cut off. Each lookup reports by one window message.
#include "app/app.h"
#include "common/bounded_text.h"
#include "trace/strip_url.h"
#include "trace/trace.h"

// The lookup the trace waits for, by its task handle: the only one whose completion is
// routed. Stop forgets it, so that the late completion of a stopped trace's lookup is dropped.
HANDLE PendingLookup;

// Lookup result areas. Windows Sockets writes a lookup's answer into the area it was given at
// any moment until it posts the lookup's completion, and no cancel takes the area back for
// sure: Wine's WSACancelAsyncRequest does nothing, and on Windows a cancel may come too late
// (WSAEALREADY) or, when it works, leave no completion to tell that the area is free. So Stop
// cancels nothing; the lookup runs to its end while its area stays taken. The life of an area:
//   free -> taken by LookupHost, marked with the lookup's task handle
//        -> written by Windows Sockets until the completion (wParam = that handle) is posted
//        -> free again when the main window receives the completion (ClaimLookupCompletion),
//           whose handler, if the trace still waits for it, reads the answer at once.
// An area is never given back on time alone, however late its completion comes.
enum { kLookupSlotCount = 8 };

struct LookupSlot {
    HANDLE handle; // the lookup that may still write this area; nullptr when free
    alignas(8) char result[MAXGETHOSTSTRUCT];
};
static LookupSlot LookupSlots[kLookupSlotCount];
static LookupSlot* AnswerSlot; // the area of the latest lookup, which LookupAnswer reads

// A lookup that found every area taken waits here for the first one given back; meanwhile
// PendingLookup holds kWaitingForArea, which no completion carries.
static struct {
    bool waiting;
    HWND window;
    UINT message;
    char text[kHostTextCapacity];
} WaitingLookup;
static HANDLE const kWaitingForArea = reinterpret_cast<HANDLE>(-1);

static LookupSlot* TakeLookupSlot() {
    for (LookupSlot& slot : LookupSlots)
        if (!slot.handle)
            return &slot;
    return nullptr;
}

void LookupHost(HWND window, UINT message, const char* text) {
    SetStatusText(2, "Looking up hostname");
    LookupSlot* slot = TakeLookupSlot();
    if (!slot && !WaitingLookup.waiting) {
        WaitingLookup = {true, window, message, {}};
        CopyText(WaitingLookup.text, sizeof WaitingLookup.text, text);
        PendingLookup = kWaitingForArea;
        return;
    }
    HANDLE handle = nullptr;
    int error = WSAENOBUFS;
    if (slot) {
        unsigned long address = inet_addr(text);
        if (address != INADDR_NONE) {
            handle = WSAAsyncGetHostByAddr(window, message, reinterpret_cast<const char*>(&address),
                                           4, AF_INET, slot->result, sizeof slot->result);
        } else {
            char name[1024];
            StripUrl(text, name, sizeof name);
            // An empty name would be answered with this machine's own address.
            if (name[0])
                handle =
                    WSAAsyncGetHostByName(window, message, name, slot->result, sizeof slot->result);
            else
                WSASetLastError(WSAHOST_NOT_FOUND);
        }
        if (!handle)
            error = WSAGetLastError();
    }
    PendingLookup = handle;
    if (handle) {
        slot->handle = handle;
        AnswerSlot = slot;
        return;
    }
    PostMessageA(window, message, 0, static_cast<LPARAM>(static_cast<DWORD>(error & 0xFFFF) << 16));
}

const hostent* LookupAnswer() {
    return AnswerSlot ? reinterpret_cast<const hostent*>(AnswerSlot->result) : nullptr;
}

void AbandonPendingLookup() {
    PendingLookup = nullptr;
    WaitingLookup.waiting = false;
}

bool ClaimLookupCompletion(WPARAM wParam) {
    HANDLE handle = reinterpret_cast<HANDLE>(wParam);
    bool freed = false;
    for (LookupSlot& slot : LookupSlots) {
        if (handle && slot.handle == handle) {
            slot.handle = nullptr; // its lookup is over: nothing writes the area any more
            freed = true;
        }
    }
    if (handle == PendingLookup) {
        PendingLookup = nullptr;
        return true;
    }
    if (freed && WaitingLookup.waiting) {
        WaitingLookup.waiting = false;
        LookupHost(WaitingLookup.window, WaitingLookup.message, WaitingLookup.text);
    }
    return false;
}
