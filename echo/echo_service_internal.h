// What the echo service shares with the round its worker runs; not for other modules.
#pragma once
#include "echo/echo_service.h"

// Fills the slot with one echo of target: its handle, destination and buffers.
void FillEchoSlot(EchoRequestSlot& slot, CPinger* target, HWND window, UINT message, DWORD timeout);
// The worker runs, and EchoLock exists.
bool EchoServiceIsRunning();
// An ICMP handle for the service's own echoes; nullptr, without a message, when none is had.
HANDLE OpenQuietIcmpHandle();
