// Numeric ids of the program's resources, commands and controls, shared by the .rc and the code.
#pragma once

// Menus and accelerators
#define IDR_MAIN_MENU 103
#define IDR_HOP_POPUP 135
#define IDR_ACCELERATORS 143

// Dialogs
#define IDD_ABOUT 113
#define IDD_SETUP 118
#define IDD_WHOIS 123
#define IDD_PREFERENCES 150

// Bitmaps, icon, animation, sound
#define IDB_TOOLBAR 105
#define IDB_BANNER 120
#define IDB_HOP_ACTIVE 133
#define IDB_HOP_IGNORED 134
#define IDI_ROUTELARK 113
#define IDA_WHOIS_CLIP 137
#define IDW_BANNER_CLICK 142

// The same bitmaps drawn at 150% and 200%, for screens of higher DPI
#define IDB_TOOLBAR_150 300
#define IDB_TOOLBAR_200 301
#define IDB_BANNER_150 302
#define IDB_BANNER_200 303
#define IDB_HOP_ACTIVE_150 304
#define IDB_HOP_ACTIVE_200 305
#define IDB_HOP_IGNORED_150 306
#define IDB_HOP_IGNORED_200 307

// Commands
#define IDM_START 40012
#define IDM_STOP 40013
#define IDM_ABOUT 40014
#define IDM_EXIT 40015
#define IDM_COPY 40016
#define IDM_SETUP 40017
#define IDM_HELP 40018
#define IDM_HOP_WHOIS 40019
#define IDM_HOP_TOGGLE 40020
#define IDM_WHOIS 40022
#define IDM_COLUMN_FIRST 40023 // + column number 0 ... 9
#define IDM_HOSTLIST 40033
#define IDM_GRAPH 40034
#define IDM_SAVE_AS 40035
#define IDM_PREFERENCES 40036
#define IDM_HOP_COPY_AS 40037
#define IDM_COLUMN_AS 40038 // the AS column's View menu item
#define IDM_OPEN 40040
#define IDM_SAVE_SESSION 40041
#define IDM_RECENT_FIRST 40042 // ... 40049, the eight sessions opened or saved last
#define IDM_EVENTS 40050

// Controls of the main window
#define IDC_STATUS_BAR 997
#define IDC_HOST_BOX 998
#define IDC_TOOLBAR 999
#define IDC_BANNER 0

// Controls of the dialogs
#define IDC_ABOUT_ICON 1011
#define IDC_SETUP_TRACE_DELAY 1012
#define IDC_SETUP_PING_DELAY 1013
#define IDC_SETUP_TRACE_TTL 1014
#define IDC_SETUP_PING_TIMEOUT 1016
#define IDC_WHOIS_DOMAIN 1017
#define IDC_SETUP_MAX_HOPS 1018
#define IDC_SETUP_RETRIES 1019
#define IDC_SETUP_IGNORE_FIRST 1020
#define IDC_SETUP_COPY_HTML 1021
#define IDC_WHOIS_OUTPUT 1022
#define IDC_WHOIS_STATUS 1023
#define IDC_WHOIS_SERVER 1026
#define IDC_WHOIS_SERVER_LABEL 1027
#define IDC_WHOIS_STOP 1028
#define IDC_WHOIS_ANIMATION 1032
#define IDC_ABOUT_NAME 1040    // filled from the version resource
#define IDC_ABOUT_VERSION 1041 // filled from the version resource
// The Preferences dialog's controls take 1100 ... 1119
#define IDC_PREFERENCES_LOOKUP_AS 1100
#define IDC_PREFERENCES_AUTOSAVE 1101
#define IDC_PREFERENCES_ALERT_SILENT 1105
