// The Preferences dialog: one control per row of kPreferenceDefs, filled from the Preferences
// record and stored back, clamped, at OK.
#include "app/resource.h"
#include "asn/asn.h"
#include "settings/dialogs.h"
#include "settings/preferences.h"

static void OnPreferencesInit(HWND dialog) {
    CentreOnDesktop(dialog);
    for (int i = 0; i < kPreferenceCount; i++) {
        const PreferenceDef& d = kPreferenceDefs[i];
        int value = Preferences.*d.field;
        if (d.kind == PreferenceControl::CheckBox)
            SendDlgItemMessageA(dialog, d.control, BM_SETCHECK, value & 1, 0);
        else
            SetDlgItemInt(dialog, d.control, static_cast<UINT>(value), TRUE);
    }
}

// A number box is taken as it reads (no number reads as 0); the clamp then puts back the
// default of whatever lies outside the range.
static void OnPreferencesOk(HWND dialog) {
    PreferencesRecord chosen = Preferences;
    for (int i = 0; i < kPreferenceCount; i++) {
        const PreferenceDef& d = kPreferenceDefs[i];
        if (d.kind == PreferenceControl::CheckBox)
            chosen.*d.field =
                static_cast<int>(SendDlgItemMessageA(dialog, d.control, BM_GETCHECK, 0, 0) & 1);
        else
            chosen.*d.field = static_cast<int>(GetDlgItemInt(dialog, d.control, nullptr, TRUE));
    }
    ClampPreferences(chosen);
    Preferences = chosen;
    SavePreferences();
    if (Preferences.LookupAs & 1)
        RequestAllHopsAs(); // the hops found so far are asked about at once
    PostMessageA(dialog, WM_CLOSE, 0, 1);
}

INT_PTR CALLBACK PreferencesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnPreferencesInit(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnPreferencesOk(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_CLOSE: // lParam 1 after OK; 0 from Cancel and from the close box
        EndDialog(dialog, lParam);
        return TRUE;
    }
    return FALSE;
}
