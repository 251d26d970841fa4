// The INI file's column values and window placements for any numbers: a decoded width is
// never negative and encodes back to the stored value; a placement with area fits the screen's
// coordinates.
#include "fuzz_check.h"
#include "settings/layout_rules.h"
#include <climits>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int v[4] = {};
    memcpy(v, data, size < sizeof v ? size : sizeof v);
    ColumnLayout layout = DecodeColumnValue(v[0]);
    FUZZ_CHECK(layout.width >= 0);
    FUZZ_CHECK(layout.visible == (v[0] > 0));
    if (v[0] != INT_MIN)
        FUZZ_CHECK(EncodeColumnValue(layout.visible, layout.width, layout.width) == v[0]);
    int written = EncodeColumnValue(v[1] & 1, v[2], v[3]);
    FUZZ_CHECK((v[1] & 1) ? written == v[2] : written <= 0);
    if (PlacementHasArea(v[0], v[1], v[2], v[3])) {
        FUZZ_CHECK(v[2] > 0 && v[3] > 0);
        FUZZ_CHECK(static_cast<long long>(v[0]) + v[2] <= INT_MAX);
        FUZZ_CHECK(static_cast<long long>(v[1]) + v[3] <= INT_MAX);
    }
    return 0;
}
