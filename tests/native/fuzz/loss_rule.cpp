// LossPercent of any two counts (two 32-bit values: sent, received) without undefined
// behaviour; for sent >= received >= 0 the loss is 0 ... 100, 0 when every echo came back or
// none was sent, 100 when echoes went out and none came back, and one more reply never raises it.
#include "fuzz_check.h"
#include "hoptable/loss_rule.h"
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int counts[2];
    if (size < sizeof counts)
        return 0;
    memcpy(counts, data, sizeof counts);
    const int sent = counts[0], received = counts[1];
    int loss = LossPercent(sent, received);
    if (!(sent >= received && received >= 0))
        return 0;
    FUZZ_CHECK(loss >= 0 && loss <= 100);
    if (received == sent)
        FUZZ_CHECK(loss == 0);
    if (received == 0 && sent > 0)
        FUZZ_CHECK(loss == 100);
    if (received < sent)
        FUZZ_CHECK(LossPercent(sent, received + 1) <= loss);
    return 0;
}
