// The route check: while the ping cycle runs, the echo worker checks the route again, one echo
// of growing TTL to the destination at most once a second, between the cycle's echoes.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>

enum { kRouteCheckRows = 64 };

// The UI thread, at the ping cycle's start: checks rows [0, rows) in turn with their TTLs (0 for
// a row to skip, a placeholder whose TTL no router answered), each echo waiting at most timeout.
// A route change posts changeMessage to window, wParam the event's serial, lParam the row.
// Nothing when its ICMP handle cannot be had, or while RouteCheckDisabled.
void StartRouteCheck(HWND window, UINT changeMessage, IPAddr destination,
                     const unsigned char* rowTtls, int rows, DWORD timeout);
// At Stop and at a new trace's start: no further check echo, and the answer of one in flight
// is dropped.
void StopRouteCheck();
// The benchmark's switch, set before the trace: no check runs.
extern bool RouteCheckDisabled;

// The echo worker's side. Makes the check's echo, with its own handle and buffers, when one is
// due; sendEcho is the library's echo call. Takes EchoLock itself, around the bookkeeping only.
typedef DWORD(WINAPI* RouteCheckEchoCall)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION,
                                          LPVOID, DWORD, DWORD);
void MakeDueRouteCheckEcho(RouteCheckEchoCall sendEcho);
// When the echo service stops, after its worker has ended.
void CloseRouteCheck();
