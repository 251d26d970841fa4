// The names of the addresses route changes found, looked up on the UI thread.
#pragma once
#include <windows.h>
#include <cstdint>

// Looks up the name of the new address of the route change event serial (KeptTraceEvent) and
// writes it into the event's NewName when it comes ("[Unknown]" when none is found). Nothing
// for an event whose name is known already. Never blocks.
void LookUpRouteChangeName(uint32_t serial);
// MSG_ROUTE_NAME: a lookup's completion, wParam its task handle.
void OnRouteName(WPARAM wParam, LPARAM lParam);
// Start: the answers of lookups still running belong to no event of the new trace.
void ForgetRouteNameLookups();
