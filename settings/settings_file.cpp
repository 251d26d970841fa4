// Loading the settings, the column layout and the window placement from the INI file at
// start-up, and writing them back with the host name history at shutdown.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "dpi/dpi_rules.h"
#include "graph/graph.h"
#include "hoptable/hop_table.h"
#include "settings/history.h"
#include "settings/ini_file.h"
#include "settings/ini_lock.h"
#include "settings/layout_rules.h"
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
// width for when it is shown again. The file holds widths at 96 DPI, the table the main
// window's DPI.
static void LoadColumnLayout() {
    HMENU menu = GetMenu(MainWindow);
    for (int n = 0; n < ColumnCount; n++) {
        int stored = static_cast<int>(GetPrivateProfileIntA(
            kColumnsSection, ColumnKey(n), kBuiltInColumns[n].ListWidth, kIniFileName));
        ColumnLayout layout = DecodeColumnValue(ColumnValueAtDpi(stored, MainWindowDpi));
        CheckMenuItem(menu, IDM_COLUMN_FIRST + n,
                      MF_BYCOMMAND | (layout.visible ? MF_CHECKED : MF_UNCHECKED));
        Columns[n].ListWidth = layout.width;
        SendMessageA(HopTable, LVM_SETCOLUMNWIDTH, VisibleIndex(n),
                     MAKELPARAM(static_cast<WORD>(layout.width), 0));
        if (!layout.visible)
            HideColumn(n);
    }
}

void LoadSettings() {
    IniFileLock lock;
    LoadSetupValues();
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
        WritePrivateProfileStringA(kColumnsSection, ColumnKey(n),
                                   IntToText(StoredColumnValue(value, MainWindowDpi)),
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
    SaveHistory(HostBox, "IPs", DestinationText);
}
