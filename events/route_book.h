// The route's bookkeeping: which addresses answered each row's TTL when the route was checked
// again, and the route changes they make (platform-free). Written by the echo worker under the
// echo lock; read by the UI thread under LockEchoStatistics.
#pragma once
#include <cstdint>

// A row keeps the newest few addresses that answered its TTL; when a new one comes to a full row,
// the one seen least often (of those, the one seen longest ago) makes room.
enum { kRouteBookRows = 64, kRouteAddressesPerRow = 4 };

struct RouteAddress {
    uint32_t Address; // network byte order
    uint32_t Count;   // answers from it
    uint32_t FirstSecond, LastSecond;
};

// Start: no row, nothing seen.
void ClearRouteBook();
// The ping cycle's start: the row's address (the hop it pings), and its host text as a route
// change names it. A row of address 0 (no hop answered its TTL) records nothing.
void SetRouteRow(int row, uint32_t address, const char* hostText);
// An answer from address to the check of row's TTL, at second. When the TTL is answered twice in
// a row by an address other than the one the row's hop now has, that is a route change: recorded
// as an event, and the row's hop is that address from then on (a flap back to an older address is
// one more route change). Returns the change's event serial (KeptTraceEvent), 0 for none.
uint32_t NoteRouteAnswer(int row, uint32_t address, uint32_t second);

// The read side.
int RouteAddressCount(int row);
const RouteAddress& RouteAddressAt(int row, int index);
// The address that now answers the row's TTL (the row's own until a route change).
uint32_t RouteRowCurrent(int row);
// A route change was recorded at the row since Start.
bool RouteRowChanged(int row);
// Any row changed since Start.
bool AnyRouteRowChanged();
