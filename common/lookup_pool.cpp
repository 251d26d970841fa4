// Lookup result areas: lent, claimed at the completion, waited for.
#include "common/lookup_pool.h"
#include <cstring>

LookupArea* LendLookupArea(LookupPool& pool) {
    for (LookupArea& area : pool.areas)
        if (!area.task)
            return &area;
    return nullptr;
}

int LentLookupAreas(const LookupPool& pool) {
    int lent = 0;
    for (const LookupArea& area : pool.areas)
        lent += area.task != nullptr;
    return lent;
}

LookupArea* ClaimLookupArea(LookupPool& pool, WPARAM task) {
    LookupArea* claimed = nullptr;
    for (LookupArea& area : pool.areas) {
        if (task && area.task == reinterpret_cast<HANDLE>(task)) {
            area.task = nullptr; // its lookup is over: nothing writes the area any more
            claimed = &area;
        }
    }
    if (void (*start)() = claimed ? pool.waiting : nullptr) {
        pool.waiting = nullptr;
        start();
    }
    return claimed;
}

bool FirstAnswerAddress(const hostent* answer, u_long* address) {
    if (!answer || answer->h_addrtype != AF_INET || answer->h_length != 4 || !answer->h_addr_list ||
        !answer->h_addr_list[0])
        return false;
    memcpy(address, answer->h_addr_list[0], sizeof *address);
    return true;
}

bool IsDottedAddress(const char* text, u_long* address) {
    *address = inet_addr(text);
    return *address != INADDR_NONE;
}
