// The Preferences record: the settings of the Preferences dialog, kept in the INI section
// "Preferences". Each setting is one field here, one row of kPreferenceDefs and one control in
// the dialog's template (platform-free).
#pragma once

struct PreferencesRecord {
    int LookupAs; // ask the IP-to-ASN mapping service for every hop's AS (lowest bit)
    int AutosaveMinutes; // the running trace's session written this often; 0: never
    int AlertSilent; // flash the taskbar button and sound when the destination stops answering
};

// A setting's INI key, its field, its control in the dialog and its range: a check box keeps
// its lowest bit; a number box's value outside low ... high becomes the default.
enum class PreferenceControl { CheckBox, NumberBox };
struct PreferenceDef {
    const char* key;
    int PreferencesRecord::*field;
    int control; // a dialog control id, IDC_PREFERENCES_...
    PreferenceControl kind;
    int low, high;
};

extern const PreferenceDef kPreferenceDefs[];
extern const int kPreferenceCount;
extern const PreferencesRecord kDefaultPreferences;
extern PreferencesRecord Preferences;

// Every value into its range: check boxes to their lowest bit, numbers outside their range to
// their default.
void ClampPreferences(PreferencesRecord& preferences);

// Reads the section at start-up (the AS lookups' zones with it); written only when the
// dialog's OK stores a change, so that a run that never opens it leaves the file as it was.
void LoadPreferences();
void SavePreferences();
