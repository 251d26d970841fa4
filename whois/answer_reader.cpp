// Showing the WhoIs answer. Each insertion into the output box costs far more than reading a
// piece, and a steady stream of read notices would keep input, painting and timers (which the
// queue hands out only after posted messages) waiting. So the pieces read in one go gather in
// PendingText and are shown together: after kBurstMs of reading, when reading then pauses until
// the show timer (queued behind input and painting) resumes it; or, when no more comes, once the
// show timer fires.
#include "whois/answer_reader.h"
#include "whois/whois.h"
#include "whois/whois_text.h"
#include <string>

const char kReceivingStatus[] = "Receiving response...";

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
    SetWhoisStatus(kReceivingStatus);
    char piece[kPieceSize];
    int count = recv(socket, piece, sizeof piece, 0);
    if (count == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
        return; // the next notice comes with data
    if (count <= 0) {
        FailWhoisQuery(nullptr, nullptr, "Ready"); // the server has closed: the answer is whole
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
