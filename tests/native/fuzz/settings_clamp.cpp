// ClampSettings on any record (eight 32-bit values, as the INI file may hold them): every
// value lands in its range, one in range stands, one outside becomes its fallback, the flags
// are left alone, and a second clamp changes nothing.
#include "fuzz_check.h"
#include "settings/settings.h"
#include <climits>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SettingsRecord read;
    if (size < sizeof read)
        return 0;
    memcpy(&read, data, sizeof read);
    Settings = read;
    ClampSettings();
    const SettingsRecord once = Settings;
    ClampSettings();
    FUZZ_CHECK(memcmp(&Settings, &once, sizeof once) == 0);
    const struct {
        int SettingsRecord::*field;
        int low, high, fallback;
    } ranges[] = {
        {&SettingsRecord::PingTimeout, 0, 8000, 1000}, {&SettingsRecord::TraceDelay, 0, INT_MAX, 0},
        {&SettingsRecord::PingDelay, 0, INT_MAX, 0},   {&SettingsRecord::TraceTTL, 0, 128, 32},
        {&SettingsRecord::MaxHops, 0, 40, 32},         {&SettingsRecord::Retries, 1, 10, 1},
    };
    for (const auto& range : ranges) {
        int before = read.*range.field, after = once.*range.field;
        FUZZ_CHECK(after >= range.low && after <= range.high);
        FUZZ_CHECK(after ==
                   (before >= range.low && before <= range.high ? before : range.fallback));
    }
    FUZZ_CHECK(once.IgnoreFirst == read.IgnoreFirst && once.CopyHTML == read.CopyHTML);
    return 0;
}
