// The Settings record with its defaults and the clamp that keeps each value in range.
#include "settings/settings.h"

const SettingsRecord kDefaultSettings = {1000, 0, 0, 32, 32, 0, 0, 0};
SettingsRecord Settings = kDefaultSettings;

static void ClampField(int& value, int low, long long high, int fallback) {
    if (value < low || value > high)
        value = fallback;
}

void ClampSettings() {
    const long long unbounded = 1LL << 40;
    ClampField(Settings.PingTimeout, 0, 8000, 1000);
    ClampField(Settings.TraceDelay, 0, unbounded, 0);
    ClampField(Settings.PingDelay, 0, unbounded, 0);
    ClampField(Settings.TraceTTL, 0, 128, 32);
    ClampField(Settings.MaxHops, 0, 40, 32);
    ClampField(Settings.Retries, 1, 10, 1);
}
