// Loading the settings, the column layout and the window placement from the INI file at
// start-up, and writing them back with the host name history at shutdown.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "dpi/dpi_rules.h"
#include "events/events_view.h"
#include "graph/graph.h"
#include "hoptable/hop_table.h"
#include "settings/history.h"
#include "settings/ini_file.h"
#include "settings/ini_lock.h"
#include "settings/layout_rules.h"
#include "settings/preferences.h"
#include "settings/settings.h"
#include "settings/window_placement.h"

static const char kSetupSection[] = "Setup";
static const char kColumnsSection[] = "Columns";

// The "Setup" keys in the order they are written, each with its field.
static const struct {
    const char* key;
    int SettingsRecord::*field;
} kSetupKeys[] = {
    {"PingTimeout", &SettingsRecord::PingTimeout}, {"TraceDelay", &SettingsRecord::TraceDelay},
    {"PingDelay", &SettingsRecord::PingDelay},     {"TraceTTL", &SettingsRecord::TraceTTL},
    {"MaxHops", &SettingsRecord::MaxHops},         {"Retries", &SettingsRecord::Retries},
    {"IgnoreFirst", &SettingsRecord::IgnoreFirst}, {"CopyHTML", &SettingsRecord::CopyHTML},
};

static void LoadSetupValues() {
    for (const auto& k : kSetupKeys)
        Settings.*k.field = static_cast<int>(
            GetPrivateProfileIntA(kSetupSection, k.key, kDefaultSettings.*k.field, kIniFileName));
    Settings.IgnoreFirst &= 1;
    Settings.CopyHTML &= 1;
}

static const char* ColumnKey(int column) {
    static char key[16];
    return FormatText(key, sizeof key, "Column%d", column);
}

// Each column takes its stored width; one stored as hidden leaves the table and keeps that
// width for when it is shown again, and one hidden by default (the AS column) joins the table
// when stored as shown. The file holds widths at 96 DPI, the table the main window's DPI.
static void LoadColumnLayout() {
    HMENU menu = GetMenu(MainWindow);
    for (int n = 0; n < ColumnCount; n++) {
        int stored = static_cast<int>(GetPrivateProfileIntA(kColumnsSection, ColumnKey(n),
                                                            DefaultColumnValue(n), kIniFileName));
        ColumnLayout layout = DecodeColumnValue(ColumnValueAtDpi(stored, MainWindowDpi));
        CheckMenuItem(menu, ColumnCommand(n),
                      MF_BYCOMMAND | (layout.visible ? MF_CHECKED : MF_UNCHECKED));
        Columns[n].ListWidth = layout.width;
        if (!Columns[n].Visible) {
            if (layout.visible)
                ShowColumn(n);
            continue;
        }
        SendMessageA(HopTable, LVM_SETCOLUMNWIDTH, VisibleIndex(n),
                     MAKELPARAM(static_cast<WORD>(layout.width), 0));
        if (!layout.visible)
            HideColumn(n);
    }
}

// A column added after the first ten has no key in the files of earlier versions: it gets
// one only once it differs from its default, so that such a file stays as it was.
static bool KeepsColumnKey(int column, int stored) {
    if (column <= kColumnLoss || stored != DefaultColumnValue(column))
        return true;
    char present[2];
    return GetPrivateProfileStringA(kColumnsSection, ColumnKey(column), "", present,
                                    sizeof present, kIniFileName) > 0;
}

void LoadSettings() {
    IniFileLock lock;
    LoadSetupValues();
    LoadPreferences();
    LoadColumnLayout();
    PlaceMainWindow();
    ClampSettings();
}

static void SaveSetupValues() {
    for (const auto& k : kSetupKeys)
        WritePrivateProfileStringA(kSetupSection, k.key, IntToText(Settings.*k.field),
                                   kIniFileName);
}

static void SaveColumnLayout() {
    int shown = 0; // the list view holds only the visible columns, in table order
    for (int n = 0; n < ColumnCount; n++) {
        int shownWidth = 0;
        if (Columns[n].Visible)
            shownWidth = static_cast<int>(SendMessageA(HopTable, LVM_GETCOLUMNWIDTH, shown++, 0));
        int value = EncodeColumnValue(Columns[n].Visible, shownWidth, Columns[n].ListWidth);
        int stored = StoredColumnValue(value, MainWindowDpi);
        if (KeepsColumnKey(n, stored))
            WritePrivateProfileStringA(kColumnsSection, ColumnKey(n), IntToText(stored),
                                       kIniFileName);
    }
}

void LoadSetupDefaults() {
    IniFileLock lock;
    LoadSetupValues();
    LoadColumnLayout();
    ClampSettings();
}

int KeepIniFileUnchanged;

void SaveSettings() {
    if (KeepIniFileUnchanged)
        return;
    IniFileLock lock;
    SaveSetupValues();
    SaveColumnLayout();
    SaveWindowPlacement();
    SaveGraphSettings();
    SaveEventsSettings();
    SaveHistory(HostBox, "IPs", DestinationText);
}
