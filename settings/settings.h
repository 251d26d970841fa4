// The Settings record: the eight Setup values, named after their INI keys (platform-free).
#pragma once

struct SettingsRecord {
    int PingTimeout; // echo timeout, ms (0 ... 8000)
    int TraceDelay;  // pause after a complete pass over all hops, ms (0 and above)
    int PingDelay;   // pause between the echoes of consecutive hops, ms (0 and above)
    int TraceTTL;    // shown and kept, but no echo uses it (0 ... 128)
    int MaxHops;     // most hops a route discovery may add (0 ... 40)
    int Retries;     // discovery probes sent for one hop (1 ... 10)
    int IgnoreFirst; // skip the first hop (lowest bit)
    int CopyHTML;    // copy the report as HTML (lowest bit)
};

// The values taken when the INI file has no key; Retries 0 becomes 1 once clamped.
extern const SettingsRecord kDefaultSettings;
extern SettingsRecord Settings;

// Replaces every value outside its range by its fallback; the flags are left alone.
void ClampSettings();

// Reads the settings and places and shows the main window; writes them back at shutdown.
void LoadSettings();
void SaveSettings();
// A report run: the Setup values and the columns, read as at start-up, with the main window
// left where it is, hidden.
void LoadSetupDefaults();
// Set by a report run, which leaves the user's settings and histories as they were: shutdown
// then writes nothing to the INI file.
extern int KeepIniFileUnchanged;
