// The WhoIs answer: read from the query's socket and shown in the dialog's output box, a burst
// at a time. Used by the WhoIs connection only, which hands over its socket's notices.
#pragma once
#include <winsock2.h>
#include <windows.h>

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

// The connection's side: a notice of the answer has come. The status reads "Receiving
// response..." and typed characters go to the server, until one is sent.
void NoteAnswerArriving();
