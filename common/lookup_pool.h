// Result areas of asynchronous Windows Sockets lookups (a pool each for trace and WhoIs client).
#pragma once
#include <winsock2.h>
#include <windows.h>

// Windows Sockets may write a lookup's answer into its area until it posts the completion, and
// no cancel takes the area back for sure (Wine's does nothing; on Windows it may come too late,
// or leave no completion to tell), so nothing is cancelled. An area's life:
//   free -> lent to a lookup when it starts (task = the lookup's task handle)
//        -> written by Windows Sockets until the completion (wParam = that task) is posted
//        -> free again when the completion arrives (ClaimLookupArea), wanted or not; a user
//           still waiting for it reads the answer at once.
// An area is never given back on time alone, however late its completion comes.
enum { kLookupAreaCount = 8 };

struct LookupArea {
    HANDLE task; // the lookup that may still write this area; nullptr while free
    alignas(8) char result[MAXGETHOSTSTRUCT];
};

struct LookupPool {
    LookupArea areas[kLookupAreaCount];
    void (*waiting)(); // starts the lookup that found every area lent, once one is given back
};

// A free area, or nullptr when every one is lent (then set waiting). Lent once its task is set.
LookupArea* LendLookupArea(LookupPool& pool);
// How many areas are lent: lookups still out, whose completions have not come.
int LentLookupAreas(const LookupPool& pool);
// For the completion of task: gives its area back and returns it, nullptr when no area is lent
// to task. Then the waiting lookup starts. A user waits for an area only while it awaits no
// completion, so the answer of the one it awaits is read before the area is lent again.
LookupArea* ClaimLookupArea(LookupPool& pool, WPARAM task);

// The first IPv4 address of a host lookup's answer; false when it holds none.
bool FirstAnswerAddress(const hostent* answer, u_long* address);
// A dotted address (inet_addr's reading), in network byte order; false for any other text,
// 255.255.255.255 included.
bool IsDottedAddress(const char* text, u_long* address);
