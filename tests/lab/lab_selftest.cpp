// Proves the lab network from a Windows program under Wine: ICMP answers per hop, the slow link,
// names forward and reverse, and the WhoIs host. Runs only inside the lab (tests/lab/lab.sh run).
#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "harness/pump.h"
#include "harness/wine_path.h"
#include "lab_topology.h"

namespace {

const char* const kHopAddrs[] = LAB_HOP_ADDRS;
const char* const kHopNames[] = LAB_HOP_NAMES;
const int kPayload = 56;       // what the program sends
const int kReplyBuffer = sizeof(ICMP_ECHO_REPLY) + kPayload; // the program's buffer
const DWORD kProbeTimeoutMs = 1000;
const unsigned kLookupBoundMs = 5000;

bool InsideLab() {
    const char* prefix = std::getenv(LAB_PREFIX_ENV);
    return prefix && *prefix;
}

// Every test stops at once outside the lab: nothing may be probed or looked up on another network.
class Lab : public ::testing::Test {
protected:
    void SetUp() override {
        if (!InsideLab())
            FAIL() << LAB_PREFIX_ENV " is not set: the lab self-test runs only inside the lab network "
                      "(tools/test.sh, or tests/lab/lab.sh run CMD)";
    }
};

// ---- ICMP.DLL, bound at run time as the program binds it ----

typedef HANDLE(WINAPI* IcmpCreateFileFn)(void);
typedef BOOL(WINAPI* IcmpCloseHandleFn)(HANDLE);
typedef DWORD(WINAPI* IcmpSendEchoFn)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID, DWORD,
                                      DWORD);

struct IcmpApi {
    HMODULE dll = nullptr;
    IcmpCreateFileFn create = nullptr;
    IcmpCloseHandleFn close = nullptr;
    IcmpSendEchoFn send = nullptr;
};

const IcmpApi& Icmp() {
    static IcmpApi api = [] {
        IcmpApi a;
        a.dll = LoadLibraryA("ICMP.DLL");
        if (a.dll) {
            a.create = (IcmpCreateFileFn)(void*)GetProcAddress(a.dll, "IcmpCreateFile");
            a.close = (IcmpCloseHandleFn)(void*)GetProcAddress(a.dll, "IcmpCloseHandle");
            a.send = (IcmpSendEchoFn)(void*)GetProcAddress(a.dll, "IcmpSendEcho");
        }
        return a;
    }();
    return api;
}

struct Answer {
    DWORD status = 0;      // IP_SUCCESS, IP_TTL_EXPIRED_TRANSIT, IP_REQ_TIMED_OUT ...
    std::string from;      // address that answered, dotted
    DWORD rtt_ms = 0;
    unsigned data_size = 0;
};

std::string Dotted(IPAddr a) {
    in_addr in;
    in.s_addr = a;
    return inet_ntoa(in);
}

// One echo with the program's payload and reply buffer. A call that returns no reply counts as
// the status GetLastError gives (a time-out is IP_REQ_TIMED_OUT either way).
Answer Probe(const char* to, int ttl, DWORD timeout_ms = kProbeTimeoutMs) {
    const IcmpApi& api = Icmp();
    Answer answer;
    HANDLE h = api.create();
    if (h == INVALID_HANDLE_VALUE) {
        answer.status = GetLastError();
        return answer;
    }
    char payload[kPayload];
    for (int i = 0; i < kPayload; i++)
        payload[i] = (char)('a' + i % 26);
    alignas(8) char reply[kReplyBuffer] = {};
    IP_OPTION_INFORMATION options = {};
    options.Ttl = (UCHAR)ttl;
    DWORD n = api.send(h, inet_addr(to), payload, kPayload, &options, reply, sizeof reply, timeout_ms);
    if (n == 0) {
        answer.status = GetLastError();
    } else {
        const ICMP_ECHO_REPLY* r = (const ICMP_ECHO_REPLY*)reply;
        answer.status = r->Status;
        answer.from = Dotted(r->Address);
        answer.rtt_ms = r->RoundTripTime;
        answer.data_size = r->DataSize;
    }
    api.close(h);
    return answer;
}

const char* kRootHint = " (Wine sees ICMP errors only through raw sockets: run the lab as root)";

class LabIcmp : public Lab {
protected:
    void SetUp() override {
        Lab::SetUp();
        if (HasFatalFailure())
            return;
        const IcmpApi& api = Icmp();
        ASSERT_TRUE(api.dll) << "ICMP.DLL does not load";
        ASSERT_TRUE(api.create && api.close && api.send) << "ICMP.DLL lacks IcmpCreateFile/IcmpSendEcho/IcmpCloseHandle";
    }
};

TEST_F(LabIcmp, EachRouterAnswersTtlExpiredFromItsOwnAddress) {
    for (int ttl = 1; ttl <= LAB_ROUTERS; ttl++) {
        if (ttl == LAB_SILENT_HOP)
            continue;
        SCOPED_TRACE("TTL " + std::to_string(ttl) + " towards " LAB_DEST_ADDR);
        Answer a = Probe(LAB_DEST_ADDR, ttl);
        EXPECT_EQ(a.status, (DWORD)IP_TTL_EXPIRED_TRANSIT) << kRootHint;
        EXPECT_EQ(a.from, kHopAddrs[ttl - 1]);
    }
}

TEST_F(LabIcmp, DestinationEchoesFromItsAddressOnceTheTtlReachesIt) {
    for (int ttl : {LAB_DEST_HOP, LAB_DEST_HOP + 1, 64}) {
        SCOPED_TRACE("TTL " + std::to_string(ttl));
        Answer a = Probe(LAB_DEST_ADDR, ttl);
        EXPECT_EQ(a.status, (DWORD)IP_SUCCESS);
        EXPECT_EQ(a.from, LAB_DEST_ADDR);
        EXPECT_EQ(a.data_size, (unsigned)kPayload);
    }
}

TEST_F(LabIcmp, SilentRouterLetsTheProbeTimeOut) {
    Answer a = Probe(LAB_DEST_ADDR, LAB_SILENT_HOP);
    EXPECT_EQ(a.status, (DWORD)IP_REQ_TIMED_OUT) << "answered from " << a.from;
    // ...while it still forwards: the hop behind it answers.
    Answer behind = Probe(LAB_DEST_ADDR, LAB_SILENT_HOP + 1);
    EXPECT_EQ(behind.status, (DWORD)IP_TTL_EXPIRED_TRANSIT) << kRootHint;
    EXPECT_EQ(behind.from, kHopAddrs[LAB_SILENT_HOP]);
}

TEST_F(LabIcmp, UnroutedNetworkIsNetUnreachableFromTheRouterWithoutARoute) {
    Answer before = Probe(LAB_UNROUTED_ADDR, LAB_UNROUTED_HOP - 1);
    EXPECT_EQ(before.status, (DWORD)IP_TTL_EXPIRED_TRANSIT) << kRootHint;
    EXPECT_EQ(before.from, kHopAddrs[LAB_UNROUTED_HOP - 2]);
    for (int ttl : {LAB_UNROUTED_HOP, LAB_UNROUTED_HOP + 1, 64}) {
        SCOPED_TRACE("TTL " + std::to_string(ttl) + " towards " LAB_UNROUTED_ADDR);
        Answer a = Probe(LAB_UNROUTED_ADDR, ttl);
        EXPECT_EQ(a.status, (DWORD)IP_DEST_NET_UNREACHABLE) << kRootHint;
        EXPECT_EQ(a.from, kHopAddrs[LAB_UNROUTED_HOP - 1]);
    }
}

// Routers answer every probe, however fast they come (no ICMP rate limit in the lab).
TEST_F(LabIcmp, BackToBackProbesOfOneHopAreAllAnswered) {
    struct Case {
        const char* to;
        int ttl;
        DWORD status;
        const char* from;
    } cases[] = {
        {LAB_DEST_ADDR, 2, IP_TTL_EXPIRED_TRANSIT, LAB_R2_ADDR},                      // time exceeded
        {LAB_UNROUTED_ADDR, 64, IP_DEST_NET_UNREACHABLE, kHopAddrs[LAB_UNROUTED_HOP - 1]}, // unreachable
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 20; i++) {
            SCOPED_TRACE(std::string("probe ") + std::to_string(i + 1) + " of 20 to " + c.to);
            Answer a = Probe(c.to, c.ttl);
            ASSERT_EQ(a.status, c.status);
            ASSERT_EQ(a.from, c.from);
        }
    }
}

int ConfiguredDelayMs() {
    const char* v = std::getenv(LAB_DELAY_ENV);
    return v && *v ? std::atoi(v) : LAB_DELAY_MS;
}

// The relay holds each packet in each direction, so hops behind it answer a round trip later.
// Only the lower bound is checked; the figures are reported.
TEST_F(LabIcmp, SlowLinkDelaysHopsBehindIt) {
    const int delay = ConfiguredDelayMs();
    const int at_least = 2 * delay - 2; // the tick counter may round down
    Answer before = Probe(LAB_DEST_ADDR, LAB_SLOW_HOP - 1);
    ASSERT_EQ(before.status, (DWORD)IP_TTL_EXPIRED_TRANSIT) << kRootHint;
    for (int ttl : {LAB_SLOW_HOP, LAB_DEST_HOP}) {
        SCOPED_TRACE("TTL " + std::to_string(ttl));
        Answer a = Probe(LAB_DEST_ADDR, ttl, 4 * delay + 1000);
        ASSERT_EQ(a.status, ttl == LAB_DEST_HOP ? (DWORD)IP_SUCCESS : (DWORD)IP_TTL_EXPIRED_TRANSIT);
        EXPECT_GE((int)a.rtt_ms, at_least) << "configured delay " << delay << " ms each way";
        std::printf("slow link: hop %d answered in %lu ms (hop %d before the link: %lu ms; delay %d ms each way)\n",
                    ttl, (unsigned long)a.rtt_ms, LAB_SLOW_HOP - 1, (unsigned long)before.rtt_ms, delay);
        RecordProperty("rtt_ms_hop" + std::to_string(ttl), (int)a.rtt_ms);
    }
    RecordProperty("rtt_ms_hop" + std::to_string(LAB_SLOW_HOP - 1), (int)before.rtt_ms);
}

// ---- names through the asynchronous Winsock lookups, with a hidden window ----

const UINT WM_LOOKUP_DONE = WM_APP + 1;

struct Lookup {
    HANDLE task = nullptr;
    bool done = false;
    int error = 0;
    alignas(8) char buffer[MAXGETHOSTSTRUCT] = {};
};
Lookup* g_lookup = nullptr;

LRESULT CALLBACK SinkProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_LOOKUP_DONE && g_lookup && (HANDLE)wp == g_lookup->task) {
        g_lookup->error = WSAGETASYNCERROR(lp);
        g_lookup->done = true;
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

class LabNames : public Lab {
protected:
    static void SetUpTestSuite() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(1, 1), &wsa);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = SinkProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "LabLookupSink";
        RegisterClassA(&wc);
        sink_ = CreateWindowExA(0, "LabLookupSink", "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                wc.hInstance, nullptr);
    }
    static void TearDownTestSuite() {
        DestroyWindow(sink_);
        WSACleanup();
    }
    void SetUp() override {
        Lab::SetUp();
        if (!HasFatalFailure()) {
            ASSERT_TRUE(sink_) << "no window for the lookup messages";
        }
    }

    // Waits (pumping messages) until the lookup's message arrives; false if it never came.
    static bool Finish(Lookup& l, DWORD* elapsed_ms) {
        DWORD start = GetTickCount();
        bool ok = PumpUntil([&] { return l.done; }, kLookupBoundMs);
        *elapsed_ms = GetTickCount() - start;
        return ok;
    }

    static HWND sink_;
};
HWND LabNames::sink_ = nullptr;

struct NameCase {
    const char* name;
    const char* addr;
};
const NameCase kForward[] = {
    {LAB_R1_NAME, LAB_R1_ADDR},             // first router
    {LAB_R4_NAME, LAB_R4_ADDR},             // the silent router has a name too
    {LAB_R6_ALIAS, LAB_R6_ADDR},            // alias of the long-named router
    {LAB_R6_NAME, LAB_R6_ADDR},             // its canonical name
    {LAB_DEST_NAME, LAB_DEST_ADDR},         // destination
    {LAB_WHOIS_NAME, LAB_WHOIS_ADDR},       // WhoIs host
    {LAB_UNROUTED_NAME, LAB_UNROUTED_ADDR}, // a name for the unrouted network
    {"DEST.RouteLark.Test", LAB_DEST_ADDR}, // names are not case-sensitive
};

TEST_F(LabNames, ForwardLookupGivesTheHostsAddress) {
    for (const NameCase& c : kForward) {
        SCOPED_TRACE(c.name);
        Lookup l;
        g_lookup = &l;
        l.task = WSAAsyncGetHostByName(sink_, WM_LOOKUP_DONE, c.name, l.buffer, sizeof l.buffer);
        ASSERT_TRUE(l.task) << "WSAAsyncGetHostByName: " << WSAGetLastError();
        DWORD ms = 0;
        ASSERT_TRUE(Finish(l, &ms)) << "no answer within " << kLookupBoundMs << " ms";
        std::printf("%s: %lu ms\n", c.name, (unsigned long)ms);
        ASSERT_EQ(l.error, 0);
        const hostent* h = (const hostent*)l.buffer;
        ASSERT_TRUE(h->h_addr_list && h->h_addr_list[0]);
        EXPECT_EQ(Dotted(*(const IPAddr*)h->h_addr_list[0]), c.addr);
        g_lookup = nullptr;
    }
}

TEST_F(LabNames, ReverseLookupGivesEachHopsCanonicalName) {
    for (int hop = 1; hop <= LAB_DEST_HOP; hop++) {
        SCOPED_TRACE(std::string("hop ") + std::to_string(hop) + " " + kHopAddrs[hop - 1]);
        Lookup l;
        g_lookup = &l;
        IPAddr a = inet_addr(kHopAddrs[hop - 1]);
        l.task = WSAAsyncGetHostByAddr(sink_, WM_LOOKUP_DONE, (const char*)&a, sizeof a, AF_INET, l.buffer,
                                       sizeof l.buffer);
        ASSERT_TRUE(l.task) << "WSAAsyncGetHostByAddr: " << WSAGetLastError();
        DWORD ms = 0;
        ASSERT_TRUE(Finish(l, &ms)) << "no answer within " << kLookupBoundMs << " ms";
        std::printf("%s: %lu ms\n", kHopAddrs[hop - 1], (unsigned long)ms);
        ASSERT_EQ(l.error, 0);
        EXPECT_STREQ(((const hostent*)l.buffer)->h_name, kHopNames[hop - 1]);
        g_lookup = nullptr;
    }
}

TEST_F(LabNames, UnknownNameFailsWithoutAskingBeyondTheLab) {
    Lookup l;
    g_lookup = &l;
    l.task = WSAAsyncGetHostByName(sink_, WM_LOOKUP_DONE, LAB_UNKNOWN_NAME, l.buffer, sizeof l.buffer);
    ASSERT_TRUE(l.task);
    DWORD ms = 0;
    ASSERT_TRUE(Finish(l, &ms)) << "no answer within " << kLookupBoundMs << " ms";
    EXPECT_NE(l.error, 0) << LAB_UNKNOWN_NAME " resolved";
    std::printf("unknown name failed with %d after %lu ms\n", l.error, (unsigned long)ms);
    RecordProperty("unknown_name_ms", (int)ms);
    g_lookup = nullptr;
}

TEST_F(LabNames, SlowZoneNameResolvesOnlyAfterItsDelay) {
    Lookup l;
    g_lookup = &l;
    l.task = WSAAsyncGetHostByName(sink_, WM_LOOKUP_DONE, LAB_SLOW_NAME, l.buffer, sizeof l.buffer);
    ASSERT_TRUE(l.task);
    DWORD ms = 0;
    ASSERT_TRUE(Finish(l, &ms)) << "no answer within " << kLookupBoundMs << " ms";
    ASSERT_EQ(l.error, 0);
    const hostent* h = (const hostent*)l.buffer;
    ASSERT_TRUE(h->h_addr_list && h->h_addr_list[0]);
    EXPECT_EQ(Dotted(*(const IPAddr*)h->h_addr_list[0]), LAB_DEST_ADDR);
    EXPECT_GE(ms + 50, (DWORD)LAB_SLOW_LOOKUP_MS) << "answered before its delay";
    std::printf("%s: %lu ms\n", LAB_SLOW_NAME, (unsigned long)ms);
    g_lookup = nullptr;
}

// ---- the WhoIs host ----

// Connects to the WhoIs host, sends the query line and reads until the server closes.
bool AskWhois(const char* query, std::string* answer) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    DWORD timeout = 5000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, (const char*)&timeout, sizeof timeout);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(LAB_WHOIS_PORT);
    to.sin_addr.s_addr = inet_addr(LAB_WHOIS_ADDR);
    bool ok = connect(s, (const sockaddr*)&to, sizeof to) == 0;
    std::string line = std::string(query) + "\r\n";
    ok = ok && send(s, line.data(), (int)line.size(), 0) == (int)line.size();
    answer->clear();
    char chunk[1024];
    int n = 0;
    while (ok && (n = recv(s, chunk, sizeof chunk, 0)) > 0)
        answer->append(chunk, n);
    ok = ok && n == 0; // closed by the server, not a time-out or an error
    closesocket(s);
    return ok;
}

std::string ReadAnswerFile(const char* query) {
    std::string path = WindowsPathOf(std::string(LAB_WHOIS_DIR "/") + query + ".txt");
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char chunk[1024];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
            text.append(chunk, n);
        std::fclose(f);
    }
    return text;
}

class LabWhois : public Lab {
protected:
    static void SetUpTestSuite() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(1, 1), &wsa);
    }
    static void TearDownTestSuite() { WSACleanup(); }
};

TEST_F(LabWhois, AnswersAQueryWithItsFileByteForByte) {
    std::string expected = ReadAnswerFile(LAB_WHOIS_QUERY);
    ASSERT_FALSE(expected.empty()) << "no answer file for " LAB_WHOIS_QUERY " in " LAB_WHOIS_DIR;
    std::string answer;
    ASSERT_TRUE(AskWhois(LAB_WHOIS_QUERY, &answer)) << "no complete answer from " LAB_WHOIS_ADDR;
    EXPECT_EQ(answer, expected);
}

TEST_F(LabWhois, ServesSeveralQueriesOneAfterAnother) {
    struct Case {
        const char* query;
        std::string expected;
    } cases[] = {
        {LAB_WHOIS_QUERY, ReadAnswerFile(LAB_WHOIS_QUERY)},                           // has a file
        {"nothing-here.test", "No match for \"nothing-here.test\".\r\n"},             // has none
        {"EXAMPLE.TEST", ReadAnswerFile(LAB_WHOIS_QUERY)},                            // any case
        {"../whois/example.test", "No match for \"../whois/example.test\".\r\n"},     // no paths
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        std::string answer;
        ASSERT_TRUE(AskWhois(c.query, &answer));
        EXPECT_EQ(answer, c.expected);
    }
}

} // namespace
