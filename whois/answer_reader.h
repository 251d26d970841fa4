// The WhoIs answer: read from the query's socket and shown in the dialog's output box, a burst
// at a time. Used by the WhoIs connection only, which hands over its socket's notices.
#pragma once
#include <winsock2.h>
#include <windows.h>

// The status while the answer arrives; typed characters are sent only then.
extern const char kReceivingStatus[];

// Where the answer goes: control `control` of `target` (which may be gone by the time it comes).
void SetAnswerTarget(HWND target, int control);
// A notice of the query's socket while the answer arrives (FD_READ, FD_CLOSE in lParam).
// window is the connection's, which gets the show timer and the reader's own notices.
void NoticeAnswer(HWND window, SOCKET socket, LPARAM lParam);
// The show timer has fired: shows what was read, and reads on when reading paused for it and
// the query still receives.
void OnAnswerShowTimer(HWND window, SOCKET socket, bool receiving);
// The query ends: shows what was read and forgets the reading.
void CloseAnswer(HWND window);

// The connection's side: the status the dialog polls, and the end of the query.
void SetWhoisStatus(const char* text);
