// Asynchronous host lookups: a dotted address is looked up in reverse, anything else
// forward after its URL parts are cut off. Each lookup reports by one window message.
#include "app/app.h"
#include "trace/strip_url.h"
#include "trace/trace.h"

HANDLE PendingLookup;

// Stop cancels a pending lookup, but a cancelled lookup may still complete and write its
// result area (Wine's cancel does nothing). Each lookup therefore gets a result area of
// its own, and a cancelled one stays reserved until its completion arrives. On Windows a
// cancelled lookup never completes, so a reservation also lapses after a minute, far
// beyond the longest lookup.
enum { kLookupSlotCount = 8 };
static const DWORD kCancelledReservationMs = 60000;

struct LookupSlot {
    HANDLE handle; // task handle of the lookup still writing this area, or nullptr
    int cancelled;
    DWORD cancelledAt;
    alignas(8) char result[MAXGETHOSTSTRUCT];
};
static LookupSlot LookupSlots[kLookupSlotCount];
static LookupSlot* CurrentSlot; // the area LookupAnswer reads

static bool IsReserved(const LookupSlot& slot) {
    if (!slot.handle)
        return false;
    return !slot.cancelled || GetTickCount() - slot.cancelledAt < kCancelledReservationMs;
}

static LookupSlot* TakeLookupSlot() {
    for (LookupSlot& slot : LookupSlots) {
        if (!IsReserved(slot)) {
            slot.handle = nullptr;
            slot.cancelled = 0;
            return &slot;
        }
    }
    return nullptr;
}

void LookupHost(HWND window, UINT message, const char* text) {
    SetStatusText(2, "Looking up hostname");
    LookupSlot* slot = TakeLookupSlot();
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
            handle =
                WSAAsyncGetHostByName(window, message, name, slot->result, sizeof slot->result);
        }
        if (!handle)
            error = WSAGetLastError();
    }
    PendingLookup = handle;
    if (handle) {
        slot->handle = handle;
        CurrentSlot = slot;
        return;
    }
    PostMessageA(window, message, 0, static_cast<LPARAM>(static_cast<DWORD>(error & 0xFFFF) << 16));
}

const hostent* LookupAnswer() {
    return CurrentSlot ? reinterpret_cast<const hostent*>(CurrentSlot->result) : nullptr;
}

// Cancels every lookup still in flight: the pending one, and any whose PendingLookup a
// stray trace message has already cleared.
void CancelPendingLookup() {
    for (LookupSlot& slot : LookupSlots) {
        if (slot.handle && !slot.cancelled) {
            WSACancelAsyncRequest(slot.handle);
            slot.cancelled = 1;
            slot.cancelledAt = GetTickCount();
            if (CurrentSlot == &slot)
                CurrentSlot = nullptr;
        }
    }
    PendingLookup = nullptr;
}

bool DropCancelledLookup(UINT message, WPARAM wParam) {
    if ((message != MSG_TRACE_RESOLVED && message != MSG_TRACE_HOPNAME) || wParam == 0)
        return false;
    for (LookupSlot& slot : LookupSlots) {
        if (slot.handle == reinterpret_cast<HANDLE>(wParam)) {
            bool cancelled = slot.cancelled;
            slot.handle = nullptr; // its lookup is over: the area is written for good
            slot.cancelled = 0;
            return cancelled;
        }
    }
    return false;
}
