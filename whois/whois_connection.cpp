// The WhoIs connection: one query to a WhoIs server over TCP. The hidden "Whois" window runs
// it on the UI thread: each step starts an asynchronous Windows Sockets call whose completion
// arrives as one of the window's messages, and its window procedure takes the next step.
#include "common/bounded_text.h"
#include "common/lookup_pool.h"
#include "whois/answer_reader.h"
#include "whois/whois.h"
#include "whois/whois_text.h"
#include <cstdlib>
#include <cstring>

const char kDefaultWhoisServer[] = "whois.verisign-grs.com";

enum { kQueryBufferSize = 4096, kQueryTextMax = 4093, kTextSize = 1024 };

// What the query waits for. Each handler acts only on the completion its phase expects, so a
// late, repeated or stale message never takes a step twice. Once the query (or a typed
// character) is sent, the phase is Sent until the server's next notice, then Receiving
// ("Receiving response..."), the only phase in which typed characters are sent.
enum class WhoisPhase { Idle, LookingUp, GettingService, Connecting, Sending, Sent, Receiving };

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

// The query's lookups; QueryLookup is the one it waits for. The areas of lookups still out at
// shutdown stay lent to them.
static LookupPool QueryLookups;
static HANDLE QueryLookup;

static void SetStatus(const char* text) {
    CopyText(StatusText, sizeof StatusText, text);
}

void NoteAnswerArriving() {
    SetStatus("Receiving response...");
    Phase = WhoisPhase::Receiving;
}

static bool AwaitsAnswer() {
    return Phase == WhoisPhase::Sent || Phase == WhoisPhase::Receiving;
}

static void Fail(const char* text) {
    FailWhoisQuery(text, ServerName, "Ready");
}

// A server name beginning with a digit is meant as an address: one that is none is refused at
// once rather than looked up as a name, and one that is is looked up in reverse.
static bool ServerNamedByAddress() {
    return ServerName[0] >= '0' && ServerName[0] <= '9';
}

// The lookup of the query's phase, asking about what the query has found so far.
static HANDLE StartPhaseLookup(char* result, int size) {
    if (Phase == WhoisPhase::GettingService)
        return WSAAsyncGetServByName(WhoisWindow, MSG_WHOIS_SERVICE, "whois", "tcp", result, size);
    if (ServerNamedByAddress()) // its answer carries the address on to the connection
        return WSAAsyncGetHostByAddr(WhoisWindow, MSG_WHOIS_HOST,
                                     reinterpret_cast<const char*>(&ServerAddress), 4, AF_INET,
                                     result, size);
    return WSAAsyncGetHostByName(WhoisWindow, MSG_WHOIS_HOST, ServerName, result, size);
}

// Starts the phase's lookup in an area of its own, or has it wait for one; the failure box of
// its phase when the platform refuses it.
static void StartLookup() {
    LookupArea* area = LendLookupArea(QueryLookups);
    if (!area) {
        QueryLookups.waiting = StartLookup;
        return;
    }
    area->task = StartPhaseLookup(area->result, static_cast<int>(sizeof area->result));
    if (area->task)
        QueryLookup = area->task;
    else
        Fail(Phase == WhoisPhase::GettingService ? "Unable to get \"whois\" protocol!"
                                                 : "Unable to obtain IP address for this server!");
}

// The answer of the lookup the query waits for in phase, or nullptr for any other completion.
static const char* ClaimQueryLookup(WPARAM task, WhoisPhase phase) {
    bool awaited = task && reinterpret_cast<HANDLE>(task) == QueryLookup && Phase == phase;
    LookupArea* area = ClaimLookupArea(QueryLookups, task);
    if (!awaited || !area)
        return nullptr;
    QueryLookup = nullptr;
    return area->result;
}

int WhoisLookupsOut() {
    return LentLookupAreas(QueryLookups);
}

static void OnBegin() {
    if (!IsUsableServerName(ServerName)) {
        Fail("Invalid Whois server name!");
        return;
    }
    if (ServerNamedByAddress() && !IsDottedAddress(ServerName, &ServerAddress)) {
        Fail("Invalid Whois server address!");
        return;
    }
    Phase = WhoisPhase::LookingUp;
    FormatText(StatusText, sizeof StatusText, "Looking up server %s", ServerName);
    StartLookup();
}

static void OnServerFound(WPARAM wParam, LPARAM lParam) {
    const char* answer = ClaimQueryLookup(wParam, WhoisPhase::LookingUp);
    if (!answer)
        return;
    if (HIWORD(lParam) != 0 ||
        !FirstAnswerAddress(reinterpret_cast<const hostent*>(answer), &ServerAddress)) {
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
    StartLookup();
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
    Phase = WhoisPhase::Sent;
    WSAAsyncSelect(QuerySocket, WhoisWindow, MSG_WHOIS_READ, FD_READ | FD_CLOSE);
}

static void OnServiceFound(WPARAM wParam, LPARAM lParam) {
    const char* answer = ClaimQueryLookup(wParam, WhoisPhase::GettingService);
    if (!answer)
        return;
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_port = reinterpret_cast<const servent*>(answer)->s_port; // network order
    peer.sin_addr.s_addr = ServerAddress;
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
    if (AwaitsAnswer()) {
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
    if (IsQuerySocket(wParam) && AwaitsAnswer())
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
        OnAnswerShowTimer(window, QuerySocket, AwaitsAnswer());
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
    SetStatus("Starting"); // the phase stays Idle until the server's lookup is asked for
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
    QueryLookup = nullptr; // a lookup still out is ignored when it completes
    QueryLookups.waiting = nullptr;
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
    if (Phase != WhoisPhase::Receiving)
        return 0;
    CopyText(QueryBuffer, 2, text);
    QueryLength = strlen(QueryBuffer);
    QuerySent = 0;
    Phase = WhoisPhase::Sending;
    SendMessageA(WhoisWindow, MSG_WHOIS_SEND, QuerySocket, 0);
    return 1;
}
