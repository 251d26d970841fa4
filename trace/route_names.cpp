// Reverse lookups of the addresses route changes found, with result areas of their own: the
// trace's lookups and these never wait for each other.
#include "trace/route_names.h"
#include "app/app.h"
#include "common/bounded_text.h"
#include "common/lookup_pool.h"
#include "echo/echo_service.h"
#include "events/trace_events.h"
#include "trace/trace.h"

static LookupPool RouteNameLookups;

// What each lent area's lookup is for, by the area's index in the pool: the event and the
// address it looks up, in the trace (Generation) that asked. An entry is set when its area is
// lent and read when the completion comes, before the area is given back.
static struct {
    uint32_t serial, address, generation;
} AreaFor[kLookupAreaCount];
static uint32_t Generation;

// Route changes waiting for an area, oldest first; one that finds the list full goes unnamed.
enum { kWaitingCapacity = 16 };
static uint32_t Waiting[kWaitingCapacity];
static int WaitingCount;

static void StartWaitingLookups();

// The event's new address while its name is still unknown; 0 otherwise.
static uint32_t AddressToName(uint32_t serial) {
    uint32_t address = 0;
    LockEchoStatistics();
    const TraceEvent* event = KeptTraceEvent(serial);
    if (event && event->Kind == TraceEventKind::RouteChange && !event->NewName[0])
        address = event->NewAddress;
    UnlockEchoStatistics();
    return address;
}

void LookUpRouteChangeName(uint32_t serial) {
    uint32_t address = AddressToName(serial);
    if (!address)
        return;
    LookupArea* area = LendLookupArea(RouteNameLookups);
    if (!area) {
        if (WaitingCount < kWaitingCapacity)
            Waiting[WaitingCount++] = serial;
        RouteNameLookups.waiting = StartWaitingLookups;
        return;
    }
    HANDLE task = WSAAsyncGetHostByAddr(MainWindow, MSG_ROUTE_NAME,
                                        reinterpret_cast<const char*>(&address), 4, AF_INET,
                                        area->result, sizeof area->result);
    if (!task) // the address stands for the name
        return;
    area->task = task;
    AreaFor[area - RouteNameLookups.areas] = {serial, address, Generation};
}

static void StartWaitingLookups() {
    int count = WaitingCount;
    uint32_t serials[kWaitingCapacity];
    for (int i = 0; i < count; i++)
        serials[i] = Waiting[i];
    WaitingCount = 0;
    for (int i = 0; i < count; i++) // those that find no area wait again, in order
        LookUpRouteChangeName(serials[i]);
}

void OnRouteName(WPARAM wParam, LPARAM lParam) {
    for (LookupArea& area : RouteNameLookups.areas) {
        if (!wParam || area.task != reinterpret_cast<HANDLE>(wParam))
            continue;
        const auto& lookup = AreaFor[&area - RouteNameLookups.areas];
        const hostent* answer = reinterpret_cast<const hostent*>(area.result);
        const char* name =
            HIWORD(lParam) == 0 && answer->h_name ? answer->h_name : kUnknownHostText;
        LockEchoStatistics();
        TraceEvent* event = lookup.generation == Generation ? KeptTraceEvent(lookup.serial) : nullptr;
        if (event && event->Kind == TraceEventKind::RouteChange &&
            event->NewAddress == lookup.address && !event->NewName[0]) {
            CopyText(event->NewName, sizeof event->NewName, name);
            TouchTraceEvents();
        }
        UnlockEchoStatistics();
    }
    ClaimLookupArea(RouteNameLookups, wParam); // may start a waiting lookup in this area
}

void ForgetRouteNameLookups() {
    ++Generation;
    WaitingCount = 0;
    RouteNameLookups.waiting = nullptr;
}
