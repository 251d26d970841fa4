// The WhoIs connection: one query to a WhoIs server over TCP. The hidden "Whois" window runs
// it on the UI thread: each step starts an asynchronous Windows Sockets call whose completion
// arrives as one of the window's messages, and its window procedure takes the next step.
#include "common/bounded_text.h"
#include "whois/answer_reader.h"
#include "whois/whois.h"
#include "whois/whois_text.h"
#include <cstdlib>
#include <cstring>

const char kDefaultWhoisServer[] = "whois.verisign-grs.com";

enum { kQueryBufferSize = 4096, kQueryTextMax = 4093, kTextSize = 1024 };

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

// A lookup writes its result area when it completes, also after its query has ended: nothing
// cancels it (and Wine's cancel would not stop it). So each lookup gets an area of its own:
//   free -> lent to a lookup when it starts (LookupsOut holds it, marked with the lookup's task)
//        -> written by Windows Sockets until the completion (wParam = that task) is posted
//        -> free again when the completion arrives, whether the query still waits for it or not.
// The areas of lookups still out at shutdown are left to them. PendingTask is the one lookup the
// query waits for. A query whose lookup finds every area lent (Whois and Stop pressed often while
// lookups are slow) waits for the first one given back: WaitingLookup.
enum { kLookupsOutMax = 8 };
struct LookupArea {
    HANDLE task;
    alignas(8) char entry[MAXGETHOSTSTRUCT];
};
static LookupArea* LookupsOut[kLookupsOutMax];
static HANDLE PendingTask;
typedef HANDLE (*LookupStart)(char* area, int size);
static LookupStart WaitingLookup;

static void SetStatus(const char* text) {
    CopyText(StatusText, sizeof StatusText, text);
}

void SetWhoisStatus(const char* text) {
    SetStatus(text);
}

static void Fail(const char* text) {
    FailWhoisQuery(text, ServerName, "Ready");
}

// The three lookups of a query, each asking about what the query has found so far.
static HANDLE LookUpServerName(char* area, int size) {
    return WSAAsyncGetHostByName(WhoisWindow, MSG_WHOIS_HOST, ServerName, area, size);
}

static HANDLE LookUpServerAddress(char* area, int size) {
    return WSAAsyncGetHostByAddr(WhoisWindow, MSG_WHOIS_HOST,
                                 reinterpret_cast<const char*>(&ServerAddress), 4, AF_INET, area,
                                 size);
}

static HANDLE LookUpWhoisService(char* area, int size) {
    return WSAAsyncGetServByName(WhoisWindow, MSG_WHOIS_SERVICE, "whois", "tcp", area, size);
}

// Starts the query's lookup with an area of its own, or has it wait for one; the failure box of
// its phase when the platform refuses it.
static void StartLookup(LookupStart start) {
    for (LookupArea*& slot : LookupsOut) {
        if (slot)
            continue;
        LookupArea* area = new LookupArea{};
        area->task = start(area->entry, static_cast<int>(sizeof area->entry));
        if (!area->task) {
            delete area;
            Fail(Phase == WhoisPhase::GettingService
                     ? "Unable to get \"whois\" protocol!"
                     : "Unable to obtain IP address for this server!");
            return;
        }
        slot = area;
        PendingTask = area->task;
        return;
    }
    WaitingLookup = start;
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

// The completion the query waits for in phase, or nullptr (then the area is given back, to the
// lookup waiting for one, if any).
static LookupArea* AwaitedLookup(WPARAM task, WhoisPhase phase) {
    LookupArea* area = TakeCompletedLookup(task);
    if (area && (area->task != PendingTask || Phase != phase)) {
        delete area; // a lookup of a query that has ended
        area = nullptr;
        if (LookupStart start = WaitingLookup) {
            WaitingLookup = nullptr;
            StartLookup(start);
        }
    }
    if (area)
        PendingTask = nullptr;
    return area;
}

static void OnBegin() {
    if (!IsUsableServerName(ServerName)) {
        Fail("Invalid Whois server name!");
        return;
    }
    LookupStart lookup = LookUpServerName;
    if (ServerName[0] >= '0' && ServerName[0] <= '9') {
        ServerAddress = inet_addr(ServerName);
        if (ServerAddress == INADDR_NONE) {
            Fail("Invalid Whois server address!");
            return;
        }
        lookup = LookUpServerAddress; // its answer carries the address on to the connection
    }
    Phase = WhoisPhase::LookingUp;
    FormatText(StatusText, sizeof StatusText, "Looking up server %s", ServerName);
    StartLookup(lookup);
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
    StartLookup(LookUpWhoisService);
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
            NoticeAnswer(WhoisWindow, QuerySocket, lParam);
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
        NoticeAnswer(WhoisWindow, QuerySocket, lParam);
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
        OnAnswerShowTimer(window, QuerySocket, Phase == WhoisPhase::Receiving);
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
    SetAnswerTarget(target, control);
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
    CloseAnswer(WhoisWindow);
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
    WaitingLookup = nullptr;
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
