// The WhoIs client in the running program: answers from the lab's WhoIs host and from servers
// the tests run themselves, every failure's box, Stop, the dialog's layout, keys, history and
// auto-start.
#include "app/app.h"
#include "app/resource.h"
#include "harness/import_patch.h"
#include "harness/program.h"
#include "harness/test_names.h"
#include "harness/wine_path.h"
#include "lab_topology.h"
#include "loopback_whois.h"
#include "trace/trace.h"
#include "whois/whois.h"
#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

const std::string kQueryLine = LAB_WHOIS_QUERY "\r\n";

// What the output box shows of an answer: each LF gains a CR in front.
std::string Shown(const std::string& answer) {
    std::string text;
    for (char c : answer)
        text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return text;
}

std::string LabAnswer() {
    return ReadWholeFile(WindowsPathOf(LAB_WHOIS_DIR "/" LAB_WHOIS_QUERY ".txt"));
}

class Whois : public ProgramTest {
  protected:
    void OpenDialog(const char* host = LAB_WHOIS_QUERY) {
        TypeHost(host);
        RunCommand(IDM_WHOIS, nullptr);
        ASSERT_NE(WhoisDialog, nullptr);
    }
    void Press(int id) { SendMessageA(WhoisDialog, WM_COMMAND, id, 0); }
    void Ask(const std::string& server) {
        SetDlgItemTextA(WhoisDialog, IDC_WHOIS_SERVER, server.c_str());
        Press(IDOK);
    }
    bool WaitUntilIdle(unsigned ms = 20000) {
        return PumpUntil([] { return WhoisIsIdle() != 0; }, ms);
    }
    bool WaitForStatus(const std::string& status) {
        return PumpUntil([&] { return WhoisStatusText() == status; });
    }
    std::string Text(int id) {
        HWND control = GetDlgItem(WhoisDialog, id);
        std::string text(GetWindowTextLengthA(control) + 1, '\0');
        text.resize(GetWindowTextA(control, &text[0], static_cast<int>(text.size())));
        return text;
    }
    std::string BoxTexts() {
        std::string texts;
        for (const CaughtMessageBox& box : messageBoxes.Boxes())
            texts += "[" + box.caption + ": " + box.text + "] ";
        return texts;
    }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(WhoisDialog, id)); }
    // Runs the program's own message loop while messages are queued.
    void RunLoop() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            RunMessageStep();
    }
};

// ---- answers ----

struct AnswerCase {
    const char* what;
    int server;       // LAB_LOOPBACK_WHOIS_NET.server; 0: the lab's host by name, -1: by address
    std::string sent; // what the loopback server answers
    size_t piece;     // in pieces of this many bytes
    bool readsQuery;  // false: the server closes before reading the query
    const char* domain;
    std::string shown; // what the box shows of a loopback server's answer
};

std::string Megabyte() {
    std::string text;
    for (int line = 0; text.size() < (1u << 20); line++)
        text += std::to_string(1000000 + line) + " in order\n";
    return text.substr(0, 1u << 20);
}

const AnswerCase kAnswers[] = {
    {"lab host keeps CR and adds one before LF", 0, "", 0, true, LAB_WHOIS_QUERY, ""},
    {"lab host by address through its reverse name", -1, "", 0, true, LAB_WHOIS_QUERY, ""},
    {"bare LF becomes CR LF", 1, "a\nb\nend", 1 << 20, true, LAB_WHOIS_QUERY, "a\r\nb\r\nend"},
    {"256 line feeds give 512 characters", 2, std::string(256, '\n'), 256, true, LAB_WHOIS_QUERY,
     Shown(std::string(256, '\n'))},
    {"NUL bytes dropped and the rest kept", 3, std::string("ab\0cd\n\0\0", 8) + "ef", 1 << 20, true,
     LAB_WHOIS_QUERY, "abcd\r\nef"},
    {"1-byte pieces, the caret moved", 4, "one\ntwo\n" + std::string(100, '.'), 1, true,
     LAB_WHOIS_QUERY, "one\r\ntwo\r\n" + std::string(100, '.')},
    {"closes at once without answering", 5, "", 1, false, LAB_WHOIS_QUERY, ""},
    {"closes after an empty query without answering", 6, "", 1, true, "", ""},
    {"1 MB far past the edit control's default limit", 7, Megabyte(), 65536, true, LAB_WHOIS_QUERY,
     Shown(Megabyte())},
};

void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << c.what;
}

class WhoisAnswer : public Whois, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(WhoisAnswer, ArrivesWholeAndInOrder) {
    const AnswerCase& c = GetParam();
    std::unique_ptr<LoopbackWhois> own;
    std::string server = c.server == 0 ? LAB_WHOIS_NAME : LAB_WHOIS_ADDR;
    if (c.server > 0) {
        own.reset(new LoopbackWhois(
            c.server, [&](SOCKET peer) { LoopbackWhois::SendAll(peer, c.sent, c.piece); },
            c.readsQuery));
        ASSERT_TRUE(own->listening);
        server = own->name;
    }
    OpenDialog(c.domain);
    Ask(server);
    if (c.piece == 1) {
        // The user clicks into the box at its start while the answer arrives.
        ASSERT_TRUE(PumpUntil([&] { return !Text(IDC_WHOIS_OUTPUT).empty() || WhoisIsIdle(); }));
        SendDlgItemMessageA(WhoisDialog, IDC_WHOIS_OUTPUT, EM_SETSEL, 0, 0);
    }
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Text(IDC_WHOIS_OUTPUT), c.server > 0 ? c.shown : Shown(LabAnswer()));
    EXPECT_EQ(messageBoxes.Count(), 0u) << BoxTexts();
    EXPECT_STREQ(WhoisStatusText(), "Ready");
    if (own && c.readsQuery) {
        EXPECT_EQ(own->Query(), std::string(c.domain) + "\r\n");
    }
}

INSTANTIATE_TEST_SUITE_P(, WhoisAnswer, ::testing::ValuesIn(kAnswers),
                         [](const auto& info) { return CaseName(info.param.what); });

// ---- failures: one error box, captioned with the server, and the query idle ----

struct FailureCase {
    const char* what;
    std::string server;
    const char* text;
    bool atOnce; // refused before any lookup
};

const char kConnectFailure[] = "Unable to connect!\n\nTry another server";
const char kBadName[] = "Invalid Whois server name!";

const FailureCase kFailures[] = {
    {"name beginning with a digit", "9whois." LAB_DOMAIN, "Invalid Whois server address!", true},
    {"all-ones address", "255.255.255.255", "Invalid Whois server address!", true},
    {"unknown name", LAB_UNKNOWN_NAME, "Unable to obtain IP address for this server!", false},
    {"address without a reverse name", "198.18.99.99",
     "Unable to obtain IP address for this server!", false},
    {"refused on loopback", "whois-8.loopback." LAB_DOMAIN, kConnectFailure, false},
    {"refused across the slow link, after the wait", LAB_DEST_NAME, kConnectFailure, false},
    {"spaces only", "   ", kBadName, true},
    {"bytes above 127", "whois.\xE9x.test", kBadName, true},
    {"1023 characters", std::string(1023, 'w'), kBadName, true},
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.what;
}

class WhoisFailure : public Whois, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(WhoisFailure, ShowsOneBoxAndEndsTheQuery) {
    const FailureCase& c = GetParam();
    OpenDialog();
    BeginWhoisQuery(LAB_WHOIS_QUERY, c.server.c_str(), WhoisDialog, IDC_WHOIS_OUTPUT);
    if (c.atOnce) {
        EXPECT_EQ(messageBoxes.Count(), 1u) << "no lookup is asked for";
        EXPECT_TRUE(WhoisIsIdle());
    }
    ASSERT_TRUE(WaitUntilIdle(10000));
    PumpFor(300);
    ASSERT_EQ(messageBoxes.Count(), 1u) << BoxTexts();
    const CaughtMessageBox& box = messageBoxes.Boxes()[0];
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.caption, c.server);
    EXPECT_EQ(box.style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_STREQ(WhoisStatusText(), "Ready");
}

INSTANTIATE_TEST_SUITE_P(, WhoisFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return CaseName(info.param.what); });

// ---- Stop, in each state that waits ----

struct StopCase {
    const char* what;
    const char* server; // nullptr: a loopback server that never answers
    const char* waitFor;
    unsigned settleMs; // long enough for what was under way to complete
};

const StopCase kStops[] = {
    {"looking up", LAB_SLOW_NAME, "Looking up server " LAB_SLOW_NAME, LAB_SLOW_LOOKUP_MS + 700},
    {"getting the service", LAB_WHOIS_NAME, "Getting WhoIs service...", 500},
    {"connecting", LAB_NOHOST_NAME, "Connecting to WhoIs server...", 500},
    {"waiting for the answer", nullptr, "Connected - sending query...", 500},
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.what;
}

class WhoisStop : public Whois, public ::testing::WithParamInterface<StopCase> {};

// A late completion neither resumes the query nor shows a box (Wine's cancel stops none).
TEST_P(WhoisStop, EndsTheQueryAtOnceAndForGood) {
    const StopCase& c = GetParam();
    std::atomic<bool> closedByStop{false}; // set by the server's thread
    std::unique_ptr<LoopbackWhois> silent;
    if (!c.server)
        silent.reset(new LoopbackWhois(
            9, [&](SOCKET peer) { closedByStop = LoopbackWhois::WaitForClose(peer); }));
    OpenDialog();
    Ask(c.server ? c.server : silent->name);
    ASSERT_TRUE(WaitForStatus(c.waitFor)) << WhoisStatusText();
    if (!c.server) {
        ASSERT_TRUE(PumpUntil([&] { return silent->Query() == kQueryLine; }));
    }
    Press(IDC_WHOIS_STOP);
    EXPECT_TRUE(WhoisIsIdle());
    EXPECT_STREQ(WhoisStatusText(), "Ready");
    PumpFor(c.settleMs);
    EXPECT_EQ(messageBoxes.Count(), 0u) << BoxTexts();
    EXPECT_STREQ(WhoisStatusText(), "Ready");
    EXPECT_TRUE(Enabled(IDOK));
    EXPECT_FALSE(Enabled(IDC_WHOIS_STOP));
    if (!c.server) {
        ShutDown(); // ends the server's wait if the socket were still open
        EXPECT_TRUE(closedByStop);
    }
}

INSTANTIATE_TEST_SUITE_P(, WhoisStop, ::testing::ValuesIn(kStops),
                         [](const auto& info) { return CaseName(info.param.what); });

// ---- one query at a time ----

TEST_F(Whois, NewQueryClosesTheOldOneAndIgnoresItsLateMessages) {
    std::atomic<bool> closed{false}; // set by the server's thread
    LoopbackWhois silent(10,
                         [&](SOCKET peer) { closed = LoopbackWhois::WaitForClose(peer, 5000); });
    OpenDialog();
    Ask(silent.name);
    ASSERT_TRUE(WaitForStatus("Connected - sending query..."));
    Ask(LAB_SLOW_NAME); // closes the silent one; its lookup completes late
    Ask(LAB_WHOIS_NAME);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_TRUE(PumpUntil([&] { return closed.load(); }));
    PumpFor(LAB_SLOW_LOOKUP_MS + 500);
    EXPECT_EQ(messageBoxes.Count(), 0u) << BoxTexts();
    EXPECT_STREQ(WhoisStatusText(), "Ready");
    EXPECT_EQ(Text(IDC_WHOIS_OUTPUT), Shown(LabAnswer()));
}

// Whois and Stop pressed again and again while lookups are slow leave every lookup's area out:
// a query to a good server then waits for one instead of failing.
TEST_F(Whois, QueryWaitsForALookupAreaWhileEveryOneIsOut) {
    OpenDialog();
    for (int i = 0; i < 8; i++) {
        Ask(LAB_SLOW_NAME);
        Press(IDC_WHOIS_STOP);
    }
    Ask(LAB_WHOIS_NAME);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(messageBoxes.Count(), 0u) << BoxTexts();
    EXPECT_EQ(Text(IDC_WHOIS_OUTPUT), Shown(LabAnswer()));
}

// A query begun while an error box is up keeps its own status when the box goes.
TEST_F(Whois, FailureBoxLeavesTheStatusOfAQueryBegunMeanwhile) {
    OpenDialog();
    messageBoxes.whileShown = [] {
        BeginWhoisQuery(LAB_WHOIS_QUERY, LAB_SLOW_NAME, WhoisDialog, IDC_WHOIS_OUTPUT);
    };
    BeginWhoisQuery(LAB_WHOIS_QUERY, "9x.test", WhoisDialog, IDC_WHOIS_OUTPUT);
    messageBoxes.whileShown = nullptr;
    EXPECT_STREQ(WhoisStatusText(), "Looking up server " LAB_SLOW_NAME);
    EXPECT_FALSE(WhoisIsIdle());
}

// ---- sending ----

// Typed characters go out one byte each, and only while "Receiving response..." shows.
TEST_F(Whois, TypedCharactersAreSentOnlyWhileTheAnswerArrives) {
    std::mutex lock;
    std::vector<std::string> received;
    LoopbackWhois chat(11, [&](SOCKET peer) {
        send(peer, "prompt>", 7, 0);
        char bytes[16];
        int got;
        while ((got = recv(peer, bytes, sizeof bytes, 0)) > 0) {
            {
                std::lock_guard<std::mutex> hold(lock);
                received.emplace_back(bytes, got);
            }
            send(peer, "ok\n", 3, 0);
        }
    });
    OpenDialog();
    HWND output = GetDlgItem(WhoisDialog, IDC_WHOIS_OUTPUT);
    auto type = [&](char c) { SendMessageA(output, WM_CHAR, static_cast<BYTE>(c), 1); };
    auto count = [&] {
        std::lock_guard<std::mutex> hold(lock);
        return received.size();
    };
    type('x'); // no query
    EXPECT_EQ(Text(IDC_WHOIS_OUTPUT), "");
    Ask(chat.name);
    ASSERT_TRUE(PumpUntil([&] { return Text(IDC_WHOIS_OUTPUT) == "prompt>"; }));
    ASSERT_STREQ(WhoisStatusText(), "Receiving response...");
    type('a');
    EXPECT_STREQ(WhoisStatusText(), "Connected - sending query...");
    type('b'); // refused until the server's next piece
    ASSERT_TRUE(
        PumpUntil([&] { return count() == 1 && Text(IDC_WHOIS_OUTPUT) == "prompt>aok\r\n"; }));
    type('c');
    ASSERT_TRUE(PumpUntil([&] { return count() == 2; }));
    EXPECT_EQ(received[0], "a");
    EXPECT_EQ(received[1], "c");
    Press(IDC_WHOIS_STOP); // lets the server go
}

// The socket may take less than the query, or nothing at once: the rest follows.
typedef int(WINAPI* SendEntry)(SOCKET, const char*, int, int);
SendEntry RealSend;

int WINAPI ShortSend(SOCKET s, const char* bytes, int length, int flags) {
    static int calls;
    if (++calls % 2 == 0) {
        WSASetLastError(WSAEWOULDBLOCK);
        return SOCKET_ERROR;
    }
    return RealSend(s, bytes, length < 7 ? length : 7, flags);
}

TEST_F(Whois, LongQueryIsSentWholeThroughShortSends) {
    LoopbackWhois server(12, [](SOCKET) {});
    void* real = PatchImport("ws2_32.dll", "send", reinterpret_cast<void*>(ShortSend));
    ASSERT_NE(real, nullptr);
    RealSend = reinterpret_cast<SendEntry>(real);
    OpenDialog();
    std::string query(5000, 'q'); // cut to 4093 characters
    BeginWhoisQuery(query.c_str(), server.name.c_str(), WhoisDialog, IDC_WHOIS_OUTPUT);
    bool ended = WaitUntilIdle();
    PatchImport("ws2_32.dll", "send", real);
    ASSERT_TRUE(ended);
    EXPECT_EQ(server.Query(), std::string(4093, 'q') + "\r\n");
    EXPECT_EQ(messageBoxes.Count(), 0u) << BoxTexts();
}

// Windows may tell of the close once, while most of the answer is still unread (Wine tells of it
// only after the last byte): the program must read on to the end. Here the answer's socket gives
// no notices of its own, and the test tells of the close once the server has sent all and closed.
typedef int(WINAPI* AsyncSelectEntry)(SOCKET, HWND, u_int, long);
AsyncSelectEntry RealAsyncSelect;
SOCKET AnswerSocket = INVALID_SOCKET;
HWND AnswerWindow;

int WINAPI AnswerWithoutNotices(SOCKET s, HWND window, u_int message, long events) {
    if (message != MSG_WHOIS_READ)
        return RealAsyncSelect(s, window, message, events);
    AnswerSocket = s;
    AnswerWindow = window;
    return RealAsyncSelect(s, window, 0, 0);
}

TEST_F(Whois, CloseToldBeforeTheAnswerIsReadStillGivesItWhole) {
    const std::string answer = Megabyte().substr(0, 32 * 1024); // fits the socket's buffers
    std::atomic<bool> closed{false};
    LoopbackWhois server(14, [&](SOCKET peer) {
        DWORD limit = 10000; // never left waiting for a reader that fails
        setsockopt(peer, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<char*>(&limit), sizeof limit);
        LoopbackWhois::SendAll(peer, answer);
        shutdown(peer, SD_SEND);
        closed = true;
    });
    void* real =
        PatchImport("ws2_32.dll", "WSAAsyncSelect", reinterpret_cast<void*>(AnswerWithoutNotices));
    ASSERT_NE(real, nullptr);
    RealAsyncSelect = reinterpret_cast<AsyncSelectEntry>(real);
    AnswerSocket = INVALID_SOCKET;
    OpenDialog();
    Ask(server.name);
    bool sent = PumpUntil([&] { return closed && AnswerSocket != INVALID_SOCKET; });
    PumpFor(50); // the server's close reaches the program's socket
    PostMessageA(AnswerWindow, MSG_WHOIS_READ, AnswerSocket, WSAMAKESELECTREPLY(FD_CLOSE, 0));
    bool ended = WaitUntilIdle();
    PatchImport("ws2_32.dll", "WSAAsyncSelect", real);
    ASSERT_TRUE(sent);
    ASSERT_TRUE(ended);
    EXPECT_EQ(Text(IDC_WHOIS_OUTPUT), Shown(answer));
    EXPECT_EQ(messageBoxes.Count(), 0u) << BoxTexts();
}

// ---- the dialog ----

TEST_F(Whois, DialogIsIdleWhenOpenedAndAfterAQueryEndedBeforeTheFirstTick) {
    OpenDialog();
    Press(IDCANCEL);
    PumpUntil([] { return WhoisDialog == nullptr; });
    OpenDialog(); // a later dialog sees no change of status
    EXPECT_EQ(Text(IDC_WHOIS_STATUS), "Ready");
    EXPECT_TRUE(Enabled(IDOK));
    EXPECT_FALSE(Enabled(IDC_WHOIS_STOP));
    Ask("9x.test"); // fails at once, and "Ready" again is no change either
    EXPECT_FALSE(Enabled(IDOK));
    PumpFor(700);
    EXPECT_EQ(Text(IDC_WHOIS_STATUS), "Ready");
    EXPECT_TRUE(Enabled(IDOK));
    EXPECT_FALSE(Enabled(IDC_WHOIS_STOP));
}

// Return and Esc in the dialog press Whois and Exit; the Ctrl shortcuts still reach the main
// window.
TEST_F(Whois, ReturnAndEscBelongToTheDialogAndCtrlKeysToTheMainWindow) {
    OpenDialog();
    TypeHost(LAB_DEST_NAME); // Return as Start would trace it
    HWND domain = GetDlgItem(WhoisDialog, IDC_WHOIS_DOMAIN);
    SetDlgItemTextA(WhoisDialog, IDC_WHOIS_SERVER, "9x.test");
    PostMessageA(domain, WM_KEYDOWN, VK_RETURN, 1);
    RunLoop();
    EXPECT_EQ(messageBoxes.Count(), 1u) << "Whois was not pressed";
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);

    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageA(domain, WM_KEYDOWN, 'W', 1);
    RunLoop();
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_STREQ(WhoisDomainText, LAB_DOMAIN) << "Ctrl+W ran the WhoIs command";

    SetStatusText(255, "Tracing");
    PostMessageA(domain, WM_KEYDOWN, VK_ESCAPE, 1);
    RunLoop();
    EXPECT_EQ(WhoisDialog, nullptr);
    EXPECT_EQ(StatusText(255), "Tracing") << "Esc stopped the trace";
}

TEST_F(Whois, AutoStartPressesWhoisOnceInTheNextDialogOnly) {
    auto opensAndStarts = [&](const char* host, int request) {
        messageBoxes.Clear();
        WhoisAutoStart = request;
        OpenDialog(host);
        SetDlgItemTextA(WhoisDialog, IDC_WHOIS_SERVER, "9x.test"); // a query fails at once
        EXPECT_EQ(WhoisAutoStart, 0);
        PumpFor(100);
        size_t boxes = messageBoxes.Count();
        Press(IDCANCEL);
        PumpUntil([] { return WhoisDialog == nullptr; });
        return boxes;
    };
    EXPECT_EQ(opensAndStarts("www." LAB_WHOIS_QUERY, 1), 1u) << "asked for";
    EXPECT_EQ(opensAndStarts("www." LAB_WHOIS_QUERY, 0), 0u) << "not asked for again";
    EXPECT_EQ(opensAndStarts("10.1.2.3", 1), 0u) << "an address leaves no domain to ask about";
    OpenDialog();
    WhoisAutoStart = 1;
    OpenDialog(); // the open dialog stays as it is
    EXPECT_EQ(WhoisAutoStart, 1);
    EXPECT_EQ(Text(IDC_WHOIS_DOMAIN), LAB_WHOIS_QUERY);
}

class WhoisHistory : public Whois {
    void PrepareFolder() override {
        WriteWholeFile(folder->File("routelark.ini"), "[WhoIs]\r\nSelected=1\r\n1=a.test\r\n");
    }

  protected:
    std::string Section() {
        char text[512];
        DWORD length = GetPrivateProfileSectionA("WhoIs", text, sizeof text, ".\\routelark.ini");
        std::string section(text, length);
        std::replace(section.begin(), section.end(), '\0', '|');
        return section;
    }
};

TEST_F(WhoisHistory, SectionIsRewrittenAtEachQuery) {
    OpenDialog();
    EXPECT_EQ(Text(IDC_WHOIS_SERVER), "a.test");
    Ask(LAB_WHOIS_NAME);
    EXPECT_EQ(Section(), "Selected=2|1=a.test|2=" LAB_WHOIS_NAME "|");
    ASSERT_TRUE(WaitUntilIdle());
    Ask(""); // nothing to add; the empty name goes on to the lookup
    EXPECT_EQ(Section(), "Selected=1|1=a.test|2=" LAB_WHOIS_NAME "|");
    EXPECT_STREQ(WhoisStatusText(), "Looking up server ");
    ASSERT_TRUE(WaitUntilIdle());
    messageBoxes.Clear();
    Ask("  "); // refused, and kept out of the history
    EXPECT_EQ(Section(), "Selected=1|1=a.test|2=" LAB_WHOIS_NAME "|");
    ASSERT_TRUE(WaitUntilIdle());
    messageBoxes.Clear();
    Ask(std::string(128, 'w')); // one more than the box holds: refused whole, not cut to 127
    EXPECT_EQ(Section(), "Selected=1|1=a.test|2=" LAB_WHOIS_NAME "|");
    ASSERT_EQ(messageBoxes.Count(), 1u) << BoxTexts();
    EXPECT_EQ(messageBoxes.Boxes()[0].text, "Invalid Whois server name!");
}

TEST_F(Whois, ShutdownTakesTheDialogAndTheRunningQueryDown) {
    std::atomic<bool> closed{false}; // set by the server's thread
    LoopbackWhois silent(13, [&](SOCKET peer) { closed = LoopbackWhois::WaitForClose(peer); });
    OpenDialog();
    Ask(silent.name);
    ASSERT_TRUE(WaitForStatus("Connected - sending query..."));
    HWND dialog = WhoisDialog;
    EXPECT_TRUE(ShutDown());
    EXPECT_EQ(WhoisDialog, nullptr);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(PumpUntil([&] { return closed.load(); }));
}

} // namespace
