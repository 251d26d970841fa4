// The loss rule of the % Loss column.
#include "hoptable/loss_rule.h"

int LossPercent(int sent, int received) {
    if (received != 0) {
        // 64-bit, so that a hop pinged for days (over 21 million replies) still reads right.
        return sent ? static_cast<int>(100 - (static_cast<long long>(received) * 100) / sent) : 0;
    }
    return sent != 0 ? 100 : 0;
}
