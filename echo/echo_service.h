// The echo service: binds the system ICMP library and runs the one worker thread that
// performs the blocking echo calls, one at a time, program-wide.
#pragma once
#include "echo/echo_round.h"
#include "echo/icmp_status.h"
#include "echo/pinger.h"

// The single hand-off slot between the UI thread and the echo worker.
struct EchoRequestSlot {
    CPinger* volatile target; // cleared (under EchoLock) when that pinger is destroyed
    HWND window;
    UINT message;
    HANDLE icmpHandle;
    IPAddr destination;
    void* requestData;
    DWORD requestSize;
    IP_OPTION_INFORMATION* requestOptions;
    void* replyBuffer;
    DWORD replySize;
    DWORD timeout;
};
extern EchoRequestSlot EchoRequest;

// 1 when the library and its entry points were found and the worker runs; 0 after its
// message box ("Unable to locate ICMP.DLL!", "Unable to locate required API functions!" or
// "Unable to start PING thread!").
int StartEchoService();
// Stops the worker (waiting for an echo in flight) and frees the library.
void StopEchoService();

// Fills the slot with one echo of target (its handle, destination and buffers) and wakes
// the worker. The caller keeps to one outstanding echo at a time.
void SubmitEchoRequest(CPinger* target, HWND window, UINT message, DWORD timeout);
// Called by a pinger's destruction: waits (without spinning) until the worker no longer
// touches the pinger: its echo call returned, and a completion that took it is over.
void ReleaseEchoTarget(CPinger* pinger);
// Hold off the worker's statistics updates (EchoLock), so that a row shows one moment's
// figures while the next echo is out: Sent and Recv of the same echo, never one without the other.
void LockEchoStatistics();
void UnlockEchoStatistics();
// A seam for tests: when set, the worker calls it inside EchoLock, after taking the target
// out of the slot and before updating the target's statistics.
extern void (*EchoCompletionHook)();
// Closes a handle from IcmpCreateFile.
void CloseIcmpHandle(HANDLE handle);
// Opens an ICMP handle for a pinger; nullptr after "Unable to open PING service!".
HANDLE CreateIcmpHandle();
