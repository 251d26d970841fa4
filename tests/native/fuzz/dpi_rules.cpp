// Scaling by DPI for any numbers: never wraps, keeps the sign, and the INI file's column values
// come back unchanged at any DPI from 96 up and never turn a shown column hidden.
#include "dpi/dpi_rules.h"
#include "fuzz_check.h"
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int v[2] = {};
    memcpy(v, data, size < sizeof v ? size : sizeof v);
    int value = v[0], dpi = v[1];
    int scaled = ScaleToDpi(value, dpi), back = ScaleFromDpi(value, dpi);
    FUZZ_CHECK(value >= 0 ? scaled >= 0 && back >= 0 : scaled <= 0 && back <= 0);
    int stored = StoredColumnValue(value, dpi), shown = ColumnValueAtDpi(value, dpi);
    FUZZ_CHECK(value > 0 ? stored > 0 && shown > 0 : stored <= 0 && shown <= 0);
    if (dpi >= kBaseDpi && dpi <= 4 * kBaseDpi && value > -(1 << 28) && value < (1 << 28))
        FUZZ_CHECK(StoredColumnValue(ColumnValueAtDpi(value, dpi), dpi) == value);
    const int sizes[] = {24, 36, 48};
    int picked = PickArtworkSize(value, sizes, 3);
    FUZZ_CHECK(picked >= 0 && picked < 3 && (sizes[picked] >= value || picked == 2));
    return 0;
}
