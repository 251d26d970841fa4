// The INI section "Preferences": the settings of the Preferences dialog, and the zones the AS
// lookups ask, which only the file sets.
#include "asn/asn.h"
#include "common/bounded_text.h"
#include "settings/ini_file.h"
#include "settings/ini_lock.h"
#include "settings/preferences.h"
#include <windows.h>

static const char kPreferencesSection[] = "Preferences";

// An empty value means the default zone, as a missing key does.
static void LoadZone(const char* key, const char* fallback, char* zone, size_t size) {
    GetPrivateProfileStringA(kPreferencesSection, key, fallback, zone, static_cast<DWORD>(size),
                             kIniFileName);
    if (!zone[0])
        CopyText(zone, size, fallback);
}

void LoadPreferences() {
    IniFileLock lock;
    for (int i = 0; i < kPreferenceCount; i++) {
        const PreferenceDef& d = kPreferenceDefs[i];
        Preferences.*d.field = static_cast<int>(GetPrivateProfileIntA(
            kPreferencesSection, d.key, kDefaultPreferences.*d.field, kIniFileName));
    }
    ClampPreferences(Preferences);
    LoadZone("AsOriginZone", kDefaultAsOriginZone, AsOriginZone, sizeof AsOriginZone);
    LoadZone("AsNameZone", kDefaultAsNameZone, AsNameZone, sizeof AsNameZone);
}

void SavePreferences() {
    IniFileLock lock;
    for (int i = 0; i < kPreferenceCount; i++) {
        const PreferenceDef& d = kPreferenceDefs[i];
        WritePrivateProfileStringA(kPreferencesSection, d.key, IntToText(Preferences.*d.field),
                                   kIniFileName);
    }
}
