// The WhoIs client: the one query's connection (a hidden window that runs the socket
// exchange) and the modeless WhoIs dialog that drives it.
#pragma once
#include <winsock2.h>
#include <windows.h>

// Messages of the hidden "Whois" window.
enum : UINT {
    MSG_WHOIS_BEGIN = 2024,   // sent by BeginWhoisQuery: resolve the server
    MSG_WHOIS_HOST = 2025,    // server lookup done; HIWORD(lParam) is the error
    MSG_WHOIS_SERVICE = 2026, // "whois" service lookup done; HIWORD(lParam) is the error
    MSG_WHOIS_SEND = 2027,    // socket connected or writable (or closed): send the query
    MSG_WHOIS_READ = 2028,    // answer data to read (or closed)
};

// Asked when BeginWhoisQuery is given no server: the registry of .com and .net.
extern const char kDefaultWhoisServer[];

// The connection. One query at a time; progress is published only as the status text and
// the idle flag, which the dialog polls.
int CreateWhoisConnection(HINSTANCE instance);
void DestroyWhoisConnection();
// Starts a query (closing one that still runs); the answer goes into control `control` of
// `target`. server may be nullptr for the default server. Returns 1.
int BeginWhoisQuery(const char* query, const char* server, HWND target, int control);
void CloseWhoisQuery();
// The queries' lookups still out (their areas lent), closed queries' among them.
int WhoisLookupsOut();
// Ends the query; shows text in an error box captioned caption when both are given, then
// sets the status.
void FailWhoisQuery(const char* text, const char* caption, const char* status);
const char* WhoisStatusText();
// Nonzero when the status text differs from what the previous call saw.
int WhoisStatusChanged();
int WhoisIsIdle();
// Sends one typed character to the server; 0 (refused) unless the answer is arriving.
int WhoisSendTyped(const char* text);
LRESULT CALLBACK WhoisConnectionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog. ReduceToDomain cuts WhoisDomainText down to the domain a WhoIs server knows
// and returns nonzero when it emptied it (the text began with a digit).
extern int WhoisAutoStart; // nonzero: the next dialog presses Whois itself
int ReduceToDomain();
void OpenWhoisDialog();
INT_PTR CALLBACK WhoisDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK WhoisOutputEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
