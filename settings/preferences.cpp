// The Preferences record, its defaults and the table of its settings.
#include "settings/preferences.h"
#include "app/resource.h"

const PreferenceDef kPreferenceDefs[] = {
    {"LookupAs", &PreferencesRecord::LookupAs, IDC_PREFERENCES_LOOKUP_AS,
     PreferenceControl::CheckBox, 0, 1},
    {"AutosaveMinutes", &PreferencesRecord::AutosaveMinutes, IDC_PREFERENCES_AUTOSAVE,
     PreferenceControl::NumberBox, 0, 1440},
    {"AlertSilent", &PreferencesRecord::AlertSilent, IDC_PREFERENCES_ALERT_SILENT,
     PreferenceControl::CheckBox, 0, 1},
};
const int kPreferenceCount = sizeof kPreferenceDefs / sizeof kPreferenceDefs[0];

// Off: looking a hop up sends its address to an outside service, which the user decides. A
// session is kept every 10 minutes. No alert: a sound is the user's to ask for.
const PreferencesRecord kDefaultPreferences = {0, 10, 0};
PreferencesRecord Preferences = kDefaultPreferences;

void ClampPreferences(PreferencesRecord& preferences) {
    for (int i = 0; i < kPreferenceCount; i++) {
        const PreferenceDef& d = kPreferenceDefs[i];
        int& value = preferences.*d.field;
        if (d.kind == PreferenceControl::CheckBox)
            value &= 1;
        else if (value < d.low || value > d.high)
            value = kDefaultPreferences.*d.field;
    }
}
