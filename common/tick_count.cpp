// The 32-bit tick count carried on into 64 bits across its wraps (platform-free).
#include "common/tick_count.h"

uint64_t ExtendTickCount(uint64_t last, uint32_t tick) {
    if (last == 0)
        return tick;
    // The low 32 bits of the result are the tick count itself: the step from the last value is
    // the difference of the two counts, read as a step back when it is more than half the wrap.
    uint32_t ahead = tick - static_cast<uint32_t>(last);
    if (ahead < 0x80000000u)
        return last + ahead;
    return last - (0u - ahead);
}
