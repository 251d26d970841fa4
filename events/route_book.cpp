// The addresses each row's TTL was answered by, and the route changes they make.
#include "events/route_book.h"
#include "common/bounded_text.h"
#include "events/trace_events.h"
#include <cstring>

struct RouteRow {
    uint32_t rowAddress;  // the hop the row pings; 0 for none
    uint32_t current;     // the address its hop has now
    uint32_t candidate;   // another address that answered the last check of the TTL
    uint32_t lastChange;  // the serial of the row's latest route change event, 0 for none
    uint8_t changed;
    uint8_t addressCount;
    RouteAddress addresses[kRouteAddressesPerRow];
    char hostText[kEventNameCapacity];
};

// Static, as every trace's rows fit: nothing is allocated per answer or per trace.
static RouteRow Rows[kRouteBookRows];
static bool AnyChanged;

void ClearRouteBook() {
    std::memset(Rows, 0, sizeof Rows);
    AnyChanged = false;
}

static bool IsRow(int row) {
    return row >= 0 && row < kRouteBookRows;
}

static void CopyName(char* to, const char* from) {
    CopyText(to, kEventNameCapacity, from ? from : "");
}

void SetRouteRow(int row, uint32_t address, const char* hostText) {
    if (!IsRow(row))
        return;
    RouteRow& r = Rows[row];
    std::memset(&r, 0, sizeof r);
    r.rowAddress = r.current = address;
    CopyName(r.hostText, hostText);
}

static void CountAddress(RouteRow& r, uint32_t address, uint32_t second) {
    for (int i = 0; i < r.addressCount; i++)
        if (r.addresses[i].Address == address) {
            ++r.addresses[i].Count;
            r.addresses[i].LastSecond = second;
            return;
        }
    int slot = r.addressCount;
    if (slot < kRouteAddressesPerRow) {
        ++r.addressCount;
    } else {
        slot = 0;
        for (int i = 1; i < kRouteAddressesPerRow; i++) {
            const RouteAddress& a = r.addresses[i];
            const RouteAddress& least = r.addresses[slot];
            if (a.Count < least.Count || (a.Count == least.Count && a.LastSecond < least.LastSecond))
                slot = i;
        }
    }
    r.addresses[slot] = RouteAddress{address, 1, second, second};
}

// The name the route's old address had: the row's host text for its own hop, else what the
// change to it found, while the log keeps that event.
static void CopyOldName(const RouteRow& r, char* to) {
    if (r.current == r.rowAddress) {
        CopyName(to, r.hostText);
        return;
    }
    const TraceEvent* last = KeptTraceEvent(r.lastChange);
    CopyName(to, last && last->NewAddress == r.current ? last->NewName : "");
}

static uint32_t RecordRouteChange(int row, RouteRow& r, uint32_t address, uint32_t second) {
    TraceEvent& event = AddTraceEvent(TraceEventKind::RouteChange, row, second);
    event.OldAddress = r.current;
    event.NewAddress = address;
    CopyOldName(r, event.OldName);
    if (address == r.rowAddress) // back to the row's own hop, whose name the row shows
        CopyName(event.NewName, r.hostText);
    r.current = address;
    r.candidate = 0;
    r.changed = 1;
    r.lastChange = TraceEventsSinceStart();
    AnyChanged = true;
    return r.lastChange;
}

uint32_t NoteRouteAnswer(int row, uint32_t address, uint32_t second) {
    if (!IsRow(row) || Rows[row].rowAddress == 0 || address == 0)
        return 0;
    RouteRow& r = Rows[row];
    CountAddress(r, address, second);
    if (address == r.current) {
        r.candidate = 0; // a single stray answer makes no change
        return 0;
    }
    if (address != r.candidate) {
        r.candidate = address;
        return 0;
    }
    return RecordRouteChange(row, r, address, second);
}

int RouteAddressCount(int row) {
    return IsRow(row) ? Rows[row].addressCount : 0;
}

const RouteAddress& RouteAddressAt(int row, int index) {
    return Rows[row].addresses[index];
}

uint32_t RouteRowCurrent(int row) {
    return IsRow(row) ? Rows[row].current : 0;
}

bool RouteRowChanged(int row) {
    return IsRow(row) && Rows[row].changed;
}

bool AnyRouteRowChanged() {
    return AnyChanged;
}
