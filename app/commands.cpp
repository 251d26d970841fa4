// The commands of the menu, the accelerators, the toolbar and the banner button.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "events/events_view.h"
#include "graph/graph.h"
#include "hoptable/hop_table.h"
#include "hoptable/trace_report.h"
#include "save/save_trace.h"
#include "session/session.h"
#include "settings/dialogs.h"
#include "trace/trace.h"
#include "whois/whois.h"

char WhoisDomainText[kHostTextCapacity];

// The WhoIs command takes the host name box text as the domain to ask about.
static void TakeWhoisDomainFromHostBox() {
    SendMessageA(HostBox, WM_GETTEXT, sizeof DestinationText,
                 reinterpret_cast<LPARAM>(DestinationText));
    CopyText(WhoisDomainText, sizeof WhoisDomainText, DestinationText);
}

static void ShowHostList() {
    SetFocus(HostBoxEdit);
    SendMessageA(HostBox, CB_SHOWDROPDOWN, TRUE, 0);
}

void RunCommand(int command, HWND control) {
    if (CommandColumn(command) >= 0) {
        ToggleColumn(CommandColumn(command));
        return;
    }
    if (command >= IDM_RECENT_FIRST && command < IDM_RECENT_FIRST + 8) {
        OpenRecentSession(command - IDM_RECENT_FIRST);
        return;
    }
    switch (command) {
    case IDC_BANNER:
        if (control && control == BannerButton)
            ClickBanner();
        break;
    case IDM_START:
        StartTrace();
        break;
    case IDM_STOP:
        StopTrace();
        break;
    case IDM_SETUP: // modal
        if (DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_SETUP), MainWindow,
                            SetupDialogProc, 0) == 1)
            EndPingRound(); // a round keeps the pauses and timeout it began with
        break;
    case IDM_PREFERENCES: // modal
        DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_PREFERENCES), MainWindow,
                        PreferencesDialogProc, 0);
        break;
    case IDM_HOP_COPY_AS:
        CopyAsAtPopupRow();
        break;
    case IDM_ABOUT:
        DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_ABOUT), MainWindow, AboutDialogProc,
                        0);
        break;
    case IDM_EXIT:
        DestroyWindow(MainWindow);
        break;
    case IDM_COPY:
        if (HopCount > 0) // with no hop the clipboard keeps what it holds
            CopyTraceReport();
        break;
    case IDM_SAVE_AS: // modal; the trace goes on behind the dialog
        SaveTraceAs();
        break;
    case IDM_SAVE_SESSION: // modal, like Save As
        AskAndSaveSession();
        break;
    case IDM_OPEN:
        AskAndOpenSession();
        break;
    case IDM_HELP:
        OpenHelp();
        break;
    case IDM_WHOIS:
        TakeWhoisDomainFromHostBox();
        ReduceToDomain();
        OpenWhoisDialog();
        break;
    case IDM_HOP_WHOIS:
        // The hop menu's item asks at once, in the dialog it opens and in no later one.
        WhoisAutoStart = 1;
        ReduceToDomain();
        OpenWhoisDialog();
        WhoisAutoStart = 0;
        break;
    case IDM_HOP_TOGGLE:
        ToggleHopAtPopupRow();
        break;
    case IDM_HOSTLIST:
        ShowHostList();
        break;
    case IDM_GRAPH:
        OpenHopGraph();
        break;
    case IDM_EVENTS:
        OpenEventsWindow();
        break;
    }
}
