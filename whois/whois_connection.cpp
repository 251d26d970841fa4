// The WhoIs connection: one query to a WhoIs server over TCP. The hidden "Whois" window runs
// it on the UI thread: each step starts an asynchronous Windows Sockets call whose completion
// arrives as one of the window's messages, and its window procedure takes the next step.
#include "common/bounded_text.h"
#include "whois/whois.h"
#include "whois/whois_text.h"
#include <cstdlib>
#include <cstring>
#include <string>

const char kDefaultWhoisServer[] = "whois.verisign-grs.com";

enum { kQueryBufferSize = 4096, kQueryTextMax = 4093, kTextSize = 1024, kPieceSize = 256 };
static const char kReceivingStatus[] = "Receiving response...";

// What the query waits for. Each handler acts only on the completion its phase expects, so a
// late, repeated or stale message never takes a step twice.
enum class WhoisPhase { Idle, Starting, LookingUp, GettingService, Connecting, Sending, Receiving };

static HWND WhoisWindow;
static WhoisPhase Phase = WhoisPhase::Idle;
static unsigned QueryNumber; // counts the queries begun, to spot one begun during an error box
static SOCKET QuerySocket = INVALID_SOCKET;
static char* QueryBuffer;          // the query text and CR LF, or one typed character
static size_t QueryLength;         // bytes of QueryBuffer to send
static size_t QuerySent;           // of which the socket has taken these
static char ServerName[kTextSize]; // also the caption of the error boxes
static char StatusText[kTextSize];
static char LastPolledStatus[kTextSize];
static u_long ServerAddress;
static HWND TargetWindow; // the answer goes into control TargetControl of this window
static int TargetControl;

// A lookup writes its result area when it completes, also after its query has ended: nothing
// cancels it (and Wine's cancel would not stop it). So each lookup gets an area of its own,
// given back when its completion arrives; the areas of lookups still out at shutdown are left
// to them. PendingTask is the one lookup the query waits for.
enum { kLookupsOutMax = 8 };
struct LookupArea {
    HANDLE task;
    alignas(8) char entry[MAXGETHOSTSTRUCT];
};
static LookupArea* LookupsOut[kLookupsOutMax];
static HANDLE PendingTask;

static void SetStatus(const char* text) {
    CopyText(StatusText, sizeof StatusText, text);
}

// Lends an area to the lookup that start (area, size) requests; false when none started.
template <typename Start> static bool StartLookup(Start start) {
    for (LookupArea*& slot : LookupsOut) {
        if (slot)
            continue;
        LookupArea* area = new LookupArea{};
        area->task = start(area->entry, static_cast<int>(sizeof area->entry));
        if (!area->task) {
            delete area;
            return false;
        }
        slot = area;
        PendingTask = area->task;
        return true;
    }
    return false;
}

// Takes back the area of the lookup that just completed; nullptr when it is none of ours.
static LookupArea* TakeCompletedLookup(WPARAM task) {
    for (LookupArea*& slot : LookupsOut) {
        if (slot && slot->task == reinterpret_cast<HANDLE>(task)) {
            LookupArea* area = slot;
            slot = nullptr;
            return area;
        }
    }
    return nullptr;
}

// The completion the query waits for in phase, or nullptr (then the area is given back).
static LookupArea* AwaitedLookup(WPARAM task, WhoisPhase phase) {
    LookupArea* area = TakeCompletedLookup(task);
    if (area && (area->task != PendingTask || Phase != phase)) {
        delete area; // a lookup of a query that has ended
        area = nullptr;
    }
    if (area)
        PendingTask = nullptr;
    return area;
}

static void Fail(const char* text) {
    FailWhoisQuery(text, ServerName, "Ready");
}

static void OnBegin() {
    if (!IsUsableServerName(ServerName)) {
        Fail("Invalid Whois server name!");
        return;
    }
    bool started;
    if (ServerName[0] >= '0' && ServerName[0] <= '9') {
        u_long address = inet_addr(ServerName);
        if (address == INADDR_NONE) {
            Fail("Invalid Whois server address!");
            return;
        }
        // The reverse lookup's answer carries the address on to the connection.
        started = StartLookup([&](char* area, int size) {
            return WSAAsyncGetHostByAddr(WhoisWindow, MSG_WHOIS_HOST,
                                         reinterpret_cast<const char*>(&address), 4, AF_INET, area,
                                         size);
        });
    } else {
        started = StartLookup([](char* area, int size) {
            return WSAAsyncGetHostByName(WhoisWindow, MSG_WHOIS_HOST, ServerName, area, size);
        });
    }
    Phase = WhoisPhase::LookingUp;
    FormatText(StatusText, sizeof StatusText, "Looking up server %s", ServerName);
    if (!started)
        Fail("Unable to obtain IP address for this server!");
}

static bool HoldsAnAddress(const hostent* host) {
    return host->h_addrtype == AF_INET && host->h_length == 4 && host->h_addr_list &&
           host->h_addr_list[0];
}

static void OnServerFound(WPARAM wParam, LPARAM lParam) {
    LookupArea* area = AwaitedLookup(wParam, WhoisPhase::LookingUp);
    if (!area)
        return;
    const hostent* host = reinterpret_cast<const hostent*>(area->entry);
    bool found = HIWORD(lParam) == 0 && HoldsAnAddress(host);
    if (found)
        memcpy(&ServerAddress, host->h_addr_list[0], sizeof ServerAddress);
    delete area;
    if (!found) {
        Fail("Unable to obtain IP address for this server!");
        return;
    }
    SetStatus("Creating socket...");
    QuerySocket = socket(AF_INET, SOCK_STREAM, 0);
    if (QuerySocket == INVALID_SOCKET) {
        Fail("Unable to create socket!");
        return;
    }
    u_long nonBlocking = 1;
    ioctlsocket(QuerySocket, FIONBIO, &nonBlocking);
    SetStatus("Binding socket...");
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(QuerySocket, reinterpret_cast<sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
        Fail("Unable to bind to address!");
        return;
    }
    SetStatus("Getting WhoIs service...");
    Phase = WhoisPhase::GettingService;
    if (!StartLookup([](char* area, int size) {
            return WSAAsyncGetServByName(WhoisWindow, MSG_WHOIS_SERVICE, "whois", "tcp", area,
                                         size);
        }))
        Fail("Unable to get \"whois\" protocol!");
}

// Sends what is left of the query buffer, then waits for the answer.
static void SendQuery() {
    SetStatus("Connected - sending query...");
    Phase = WhoisPhase::Sending;
    while (QuerySent < QueryLength) {
        int sent = send(QuerySocket, QueryBuffer + QuerySent,
                        static_cast<int>(QueryLength - QuerySent), 0);
        if (sent == SOCKET_ERROR) {
            if (WSAGetLastError() == WSAEWOULDBLOCK) {
                WSAAsyncSelect(QuerySocket, WhoisWindow, MSG_WHOIS_SEND, FD_WRITE | FD_CLOSE);
                return;
            }
            Fail("Unable to send to address!");
            return;
        }
        QuerySent += static_cast<size_t>(sent);
    }
    Phase = WhoisPhase::Receiving;
    WSAAsyncSelect(QuerySocket, WhoisWindow, MSG_WHOIS_READ, FD_READ | FD_CLOSE);
}

static void OnServiceFound(WPARAM wParam, LPARAM lParam) {
    LookupArea* area = AwaitedLookup(wParam, WhoisPhase::GettingService);
    if (!area)
        return;
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_port = reinterpret_cast<const servent*>(area->entry)->s_port; // network order
    peer.sin_addr.s_addr = ServerAddress;
    delete area;
    if (HIWORD(lParam) != 0) {
        Fail("Unable to get \"whois\" protocol!");
        return;
    }
    SetStatus("Connecting to WhoIs server...");
    Phase = WhoisPhase::Connecting;
    // Asked for before connecting, so that no completion can slip in between.
    WSAAsyncSelect(QuerySocket, WhoisWindow, MSG_WHOIS_SEND, FD_CONNECT | FD_CLOSE);
    if (connect(QuerySocket, reinterpret_cast<sockaddr*>(&peer), sizeof peer) == 0)
        SendQuery();
    else if (WSAGetLastError() != WSAEWOULDBLOCK)
        Fail("Unable to connect!\n\nTry another server");
}

// Showing the answer. Each insertion into the output box costs far more than reading a piece,
// and a steady stream of read notices would keep input, painting and timers (which the queue
// hands out only after posted messages) waiting. So the pieces read in one go gather in
// PendingText and are shown together: after kBurstMs of reading, when reading then pauses
// until the show timer (queued behind input and painting) resumes it; or, when no more comes,
// once the show timer fires.
enum { kBurstMs = 50, kPendingMax = 256 * 1024 };
enum : UINT_PTR { kShowTimerId = 1 };
static std::string PendingText;
static DWORD BurstStart;  // when PendingText got its first piece
static bool Paused;       // reading waits for the show timer
static bool CloseNoticed; // FD_CLOSE has come: read on until recv gives 0

// Puts the pieces read so far at the end of the box's text, wherever the user put the caret.
static void ShowPendingText() {
    HWND box = GetDlgItem(TargetWindow, TargetControl); // the dialog may have gone
    if (box && !PendingText.empty()) {
        SendMessageA(box, EM_SETSEL, MAXLONG, MAXLONG); // past the end: at the end
        SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(PendingText.c_str()));
    }
    PendingText.clear();
}

static void AddAnswerPiece(const char* piece, int count) {
    if (PendingText.empty()) {
        BurstStart = GetTickCount();
        SetTimer(WhoisWindow, kShowTimerId, kBurstMs, nullptr);
    }
    char text[2 * kPieceSize + 1];
    PendingText.append(text,
                       ExpandAnswerPiece(piece, static_cast<size_t>(count), text, sizeof text));
}

static void ReadAnswerPiece() {
    SetStatus(kReceivingStatus);
    char piece[kPieceSize];
    int count = recv(QuerySocket, piece, sizeof piece, 0);
    if (count == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
        return; // the next notice comes with data
    if (count <= 0) {
        FailWhoisQuery(nullptr, nullptr, "Ready"); // the server has closed: the answer is whole
        return;
    }
    AddAnswerPiece(piece, count);
    if (GetTickCount() - BurstStart >= kBurstMs || PendingText.size() >= kPendingMax) {
        ShowPendingText();
        Paused = true;
        SetTimer(WhoisWindow, kShowTimerId, USER_TIMER_MINIMUM, nullptr);
    } else if (CloseNoticed) {
        // Windows may tell of the close before all data is read, and tells it only once.
        PostMessageA(WhoisWindow, MSG_WHOIS_READ, QuerySocket, WSAMAKESELECTREPLY(FD_CLOSE, 0));
    }
}

static void OnShowTimer() {
    KillTimer(WhoisWindow, kShowTimerId);
    ShowPendingText();
    bool resume = Paused;
    Paused = false;
    if (resume && Phase == WhoisPhase::Receiving)
        ReadAnswerPiece();
}

static void NoticeAnswer(LPARAM lParam) {
    if (WSAGETSELECTEVENT(lParam) & FD_CLOSE)
        CloseNoticed = true;
    if (!Paused)
        ReadAnswerPiece();
}

static bool IsQuerySocket(WPARAM wParam) {
    return QuerySocket != INVALID_SOCKET && wParam == QuerySocket;
}

static void OnSendReady(WPARAM wParam, LPARAM lParam) {
    if (!IsQuerySocket(wParam))
        return;
    WORD event = WSAGETSELECTEVENT(lParam);
    if (Phase == WhoisPhase::Receiving) {
        // A close noticed while the query was still being sent.
        if (event & (FD_READ | FD_CLOSE))
            NoticeAnswer(lParam);
        return;
    }
    if (Phase != WhoisPhase::Connecting && Phase != WhoisPhase::Sending)
        return;
    if (Phase == WhoisPhase::Connecting && event == FD_CONNECT && WSAGETSELECTERROR(lParam)) {
        Fail("Unable to connect!\n\nTry another server");
        return;
    }
    SendQuery();
}

static void OnAnswerReady(WPARAM wParam, LPARAM lParam) {
    if (IsQuerySocket(wParam) && Phase == WhoisPhase::Receiving)
        NoticeAnswer(lParam);
}

LRESULT CALLBACK WhoisConnectionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case MSG_WHOIS_BEGIN:
        OnBegin();
        return 0;
    case MSG_WHOIS_HOST:
        OnServerFound(wParam, lParam);
        return 0;
    case MSG_WHOIS_SERVICE:
        OnServiceFound(wParam, lParam);
        return 0;
    case MSG_WHOIS_SEND:
        OnSendReady(wParam, lParam);
        return 0;
    case MSG_WHOIS_READ:
        OnAnswerReady(wParam, lParam);
        return 0;
    case WM_TIMER:
        OnShowTimer();
        return 0;
    case WM_DESTROY:
        // Only the shutdown destroys this window, inside the main window's WM_DESTROY: the loop
        // sees the quit once that shutdown is over.
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int CreateWhoisConnection(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WhoisConnectionProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "Whois";
    RegisterClassExA(&windowClass); // fails harmlessly when the program starts again in a process
    WhoisWindow =
        CreateWindowExA(0, "Whois", "Whois", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    QueryBuffer = static_cast<char*>(calloc(kQueryBufferSize, 1));
    QuerySocket = INVALID_SOCKET;
    Phase = WhoisPhase::Idle;
    SetStatus("Ready");
    LastPolledStatus[0] = '\0';
    ServerAddress = 0;
    return 1;
}

void DestroyWhoisConnection() {
    CloseWhoisQuery();
    free(QueryBuffer);
    QueryBuffer = nullptr;
    for (LookupArea*& slot : LookupsOut)
        slot = nullptr; // still written by its lookup when that completes
    DestroyWindow(WhoisWindow);
    WhoisWindow = nullptr;
}

int BeginWhoisQuery(const char* query, const char* server, HWND target, int control) {
    if (!QueryBuffer)
        return 0;
    if (Phase != WhoisPhase::Idle)
        CloseWhoisQuery(); // one query at a time; the old one's late messages are ignored
    QueryNumber++;
    CopyText(ServerName, sizeof ServerName, server ? server : kDefaultWhoisServer);
    TargetWindow = target;
    TargetControl = control;
    CopyText(LastPolledStatus, sizeof LastPolledStatus, "Ready");
    SetStatus("Starting");
    Phase = WhoisPhase::Starting;
    FormatText(QueryBuffer, kQueryBufferSize, "%.*s\r\n", kQueryTextMax, query ? query : "");
    QueryLength = strlen(QueryBuffer);
    QuerySent = 0;
    SendMessageA(WhoisWindow, MSG_WHOIS_BEGIN, 0, reinterpret_cast<LPARAM>(query));
    return 1;
}

void CloseWhoisQuery() {
    ShowPendingText();
    KillTimer(WhoisWindow, kShowTimerId);
    Paused = CloseNoticed = false;
    if (QuerySocket != INVALID_SOCKET) {
        closesocket(QuerySocket);
        QuerySocket = INVALID_SOCKET;
        // Notices already queued for the closed socket must not reach a new socket that gets
        // the same handle.
        MSG stale;
        while (WhoisWindow &&
               PeekMessageA(&stale, WhoisWindow, MSG_WHOIS_SEND, MSG_WHOIS_READ, PM_REMOVE)) {
        }
    }
    PendingTask = nullptr; // a lookup still out is ignored when it completes
    Phase = WhoisPhase::Idle;
    SetStatus("Ready");
}

void FailWhoisQuery(const char* text, const char* caption, const char* status) {
    CloseWhoisQuery();
    unsigned query = QueryNumber;
    if (text && caption)
        MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONERROR);
    if (query == QueryNumber) // no new query began while the box was up
        SetStatus(status ? status : "Ready");
}

const char* WhoisStatusText() {
    return StatusText;
}

int WhoisStatusChanged() {
    int changed = strcmp(StatusText, LastPolledStatus) != 0;
    CopyText(LastPolledStatus, sizeof LastPolledStatus, StatusText);
    return changed;
}

int WhoisIsIdle() {
    return Phase == WhoisPhase::Idle;
}

int WhoisSendTyped(const char* text) {
    if (QuerySocket == INVALID_SOCKET || strcmp(StatusText, kReceivingStatus) != 0)
        return 0;
    CopyText(QueryBuffer, 2, text);
    QueryLength = strlen(QueryBuffer);
    QuerySent = 0;
    Phase = WhoisPhase::Sending;
    SendMessageA(WhoisWindow, MSG_WHOIS_SEND, QuerySocket, 0);
    return 1;
}
