// Showing the WhoIs answer. An insertion into the output box costs far more than reading a piece,
// and a stream of read notices (posted, so ahead of input, paints and timers) would starve the
// window. So pieces gather in PendingText and show together: after kBurstMs of reading, which
// then pauses until the show timer (behind input and paints) resumes it, or when no more comes.
#include "whois/answer_reader.h"
#include "whois/whois.h"
#include "whois/whois_text.h"
#include <string>

enum { kBurstMs = 50, kPendingMax = 256 * 1024, kPieceSize = 256 };
enum : UINT_PTR { kShowTimerId = 1 }; // the connection window's only timer

static HWND TargetWindow; // the answer goes into control TargetControl of this window
static int TargetControl;
static std::string PendingText;
static DWORD BurstStart;  // when PendingText got its first piece
static bool Paused;       // reading waits for the show timer
static bool CloseNoticed; // FD_CLOSE has come: read on until recv gives 0

void SetAnswerTarget(HWND target, int control) {
    TargetWindow = target;
    TargetControl = control;
}

// Puts the pieces read so far at the end of the box's text, wherever the user put the caret.
static void ShowPendingText() {
    HWND box = GetDlgItem(TargetWindow, TargetControl); // the dialog may have gone
    if (box && !PendingText.empty()) {
        SendMessageA(box, EM_SETSEL, MAXLONG, MAXLONG); // past the end: at the end
        SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(PendingText.c_str()));
    }
    PendingText.clear();
}

static void AddAnswerPiece(HWND window, const char* piece, int count) {
    if (PendingText.empty()) {
        BurstStart = GetTickCount();
        SetTimer(window, kShowTimerId, kBurstMs, nullptr);
    }
    char text[2 * kPieceSize + 1];
    PendingText.append(text,
                       ExpandAnswerPiece(piece, static_cast<size_t>(count), text, sizeof text));
}

static void ReadAnswerPiece(HWND window, SOCKET socket) {
    NoteAnswerArriving();
    char piece[kPieceSize];
    int count = recv(socket, piece, sizeof piece, 0);
    if (count == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
        return; // the next notice comes with data
    if (count <= 0) {
        CloseWhoisQuery(); // the server has closed: the answer is whole, and no box says so
        return;
    }
    AddAnswerPiece(window, piece, count);
    if (GetTickCount() - BurstStart >= kBurstMs || PendingText.size() >= kPendingMax) {
        ShowPendingText();
        Paused = true;
        SetTimer(window, kShowTimerId, USER_TIMER_MINIMUM, nullptr);
    } else if (CloseNoticed) {
        // Windows may tell of the close before all data is read, and tells it only once.
        PostMessageA(window, MSG_WHOIS_READ, socket, WSAMAKESELECTREPLY(FD_CLOSE, 0));
    }
}

void NoticeAnswer(HWND window, SOCKET socket, LPARAM lParam) {
    if (WSAGETSELECTEVENT(lParam) & FD_CLOSE)
        CloseNoticed = true;
    if (!Paused)
        ReadAnswerPiece(window, socket);
}

void OnAnswerShowTimer(HWND window, SOCKET socket, bool receiving) {
    KillTimer(window, kShowTimerId);
    ShowPendingText();
    bool resume = Paused;
    Paused = false;
    if (resume && receiving)
        ReadAnswerPiece(window, socket);
}

void CloseAnswer(HWND window) {
    ShowPendingText();
    KillTimer(window, kShowTimerId);
    Paused = CloseNoticed = false;
}
