// The echo engine inside the running program, against exact scenarios of the fake ICMP
// library: statistics, completions, the one hand-off slot and its hand-shakes.
#include "echo/echo_service.h"
#include "fake_icmp_control.h"
#include "harness/program.h"
#include "harness/recording_window.h"
#include "harness/held_completion.h"
#include "harness/held_echoes.h"
#include <atomic>
#include <memory>
#include <new>
#include <thread>

namespace {

const UINT kCompletion = WM_USER + 100;

IPAddr Address(const char* dotted) {
    return inet_addr(dotted);
}

class EchoEngine : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(FakeIcmpLoaded()) << FakeIcmpProblem();
    }
    void TearDown() override {
        TearDownOverTheFakeIcmp([this] { ProgramTest::TearDown(); });
    }
    void UseScenario(const char* text) {
        std::string error;
        ASSERT_TRUE(FakeIcmpSetScenario(text, &error)) << error;
    }
    std::unique_ptr<CPinger> OpenPinger(const char* dotted) {
        auto pinger = std::make_unique<CPinger>(Address(dotted));
        EXPECT_EQ(pinger->OpenIcmp(), 1);
        return pinger;
    }
    bool WaitForCompletions(const RecordingWindow& window, size_t count) {
        return PumpUntil([&] { return window.Messages().size() >= count; });
    }
    // Sends one echo and waits for its completion.
    bool EchoOnce(CPinger& pinger, const RecordingWindow& window, DWORD timeout = 1000,
                  unsigned ttl = 32) {
        size_t before = window.Messages().size();
        pinger.SendEcho(window.Handle(), kCompletion, timeout, ttl);
        return WaitForCompletions(window, before + 1);
    }
    std::vector<FakeIcmpCall> Echoes() { return FakeIcmpCalls(FAKE_ICMP_ECHO); }
};

TEST_F(EchoEngine, TimeoutCountsTheEchoAsSentOnly) {
    UseScenario("echo 198.18.7.1 * timeout\n");
    RecordingWindow window;
    auto pinger = OpenPinger("198.18.7.1");
    ASSERT_TRUE(EchoOnce(*pinger, window));
    const RecordedMessage& done = window.Messages()[0];
    EXPECT_EQ(done.message, kCompletion);
    EXPECT_EQ(done.wParam, 11010u);
    EXPECT_EQ(done.lParam, reinterpret_cast<LPARAM>(pinger.get()));
    EXPECT_EQ(pinger->GetSentCount(), 1);
    EXPECT_EQ(pinger->GetReceivedCount(), 0);
    EXPECT_EQ(pinger->GetLastAddress(), 0u);
    EXPECT_EQ(pinger->GetLastRtt(), 0u);
    EXPECT_EQ(pinger->GetMinRtt(), 4294967295u);
    EXPECT_EQ(pinger->GetMaxRtt(), 0u);
}

TEST_F(EchoEngine, RouterAnswerCountsAsAReplyWithItsAddress) {
    UseScenario("echo 198.18.7.1 1 reply 198.18.1.1 status ttl-expired rtt 7\n");
    RecordingWindow window;
    auto pinger = OpenPinger("198.18.7.1");
    ASSERT_TRUE(EchoOnce(*pinger, window, 1000, 1));
    EXPECT_EQ(window.Messages()[0].wParam, 11013u);
    EXPECT_EQ(pinger->GetSentCount(), 1);
    EXPECT_EQ(pinger->GetReceivedCount(), 1);
    EXPECT_EQ(pinger->GetLastAddress(), Address("198.18.1.1"));
    EXPECT_EQ(pinger->GetLastRtt(), 7u);
    EXPECT_EQ(pinger->GetMinRtt(), 7u);
    EXPECT_EQ(pinger->GetMaxRtt(), 7u);
}

// The reply buffer is reused: a time-out that writes nothing must not read as the
// previous echo's success.
TEST_F(EchoEngine, TimeoutAfterASuccessIsNotReadAsTheOldReply) {
    UseScenario("echo 198.18.7.1 * reply dest rtt 4 times 1\n"
                "echo 198.18.7.1 * timeout\n");
    RecordingWindow window;
    auto pinger = OpenPinger("198.18.7.1");
    ASSERT_TRUE(EchoOnce(*pinger, window));
    ASSERT_TRUE(EchoOnce(*pinger, window));
    EXPECT_EQ(window.Messages()[0].wParam, 0u);
    EXPECT_EQ(window.Messages()[1].wParam, 11010u) << "the status must be this echo's";
    EXPECT_EQ(pinger->GetSentCount(), 2);
    EXPECT_EQ(pinger->GetReceivedCount(), 1);
    EXPECT_EQ(pinger->GetLastRtt(), 4u);
}

TEST_F(EchoEngine, TimeoutThatWritesItsStatusReadsTheSame) {
    UseScenario("echo 198.18.7.1 * reply dest rtt 4 times 1\n"
                "echo 198.18.7.1 * timeout write-status\n");
    RecordingWindow window;
    auto pinger = OpenPinger("198.18.7.1");
    ASSERT_TRUE(EchoOnce(*pinger, window));
    ASSERT_TRUE(EchoOnce(*pinger, window));
    EXPECT_EQ(window.Messages()[1].wParam, 11010u);
    EXPECT_EQ(pinger->GetReceivedCount(), 1);
}

TEST_F(EchoEngine, UnreachableReplyCountsAsReceivedAndCarriesItsStatus) {
    UseScenario("echo 198.19.0.1 * reply 198.18.3.1 status net-unreachable rtt 2\n");
    RecordingWindow window;
    auto pinger = OpenPinger("198.19.0.1");
    ASSERT_TRUE(EchoOnce(*pinger, window));
    EXPECT_EQ(window.Messages()[0].wParam, 11002u);
    EXPECT_EQ(pinger->GetReceivedCount(), 1);
    EXPECT_EQ(pinger->GetLastAddress(), Address("198.18.3.1"));
}

TEST_F(EchoEngine, EchoCarriesThePayloadBufferSizesTimeoutAndLowByteOfTheTtl) {
    UseScenario("default reply dest rtt 1\n");
    RecordingWindow window;
    auto pinger = OpenPinger("198.18.7.1");
    const unsigned ttls[] = {1, 32, 255, 256, 287};
    for (unsigned ttl : ttls)
        ASSERT_TRUE(EchoOnce(*pinger, window, 750, ttl));
    std::vector<FakeIcmpCall> echoes = Echoes();
    ASSERT_EQ(echoes.size(), 5u);
    const int expectedTtls[] = {1, 32, 255, 0, 31};
    for (size_t i = 0; i < echoes.size(); i++) {
        EXPECT_EQ(echoes[i].ttl, expectedTtls[i]) << "ttl argument " << ttls[i];
        EXPECT_EQ(echoes[i].requestSize, 56u);
        EXPECT_EQ(echoes[i].replySize, kEchoReplySize);
        EXPECT_EQ(echoes[i].timeout, 750u);
        EXPECT_EQ(echoes[i].destination, Address("198.18.7.1"));
    }
    EXPECT_EQ(pinger->Options()->Ttl, 31);
}

TEST_F(EchoEngine, IgnoredAndPlaceholderPingersPostAtOnceAndSendNothing) {
    RecordingWindow window;
    auto ignored = OpenPinger("198.18.2.1");
    ignored->SetIgnored(1);
    CPinger placeholder(0);
    placeholder.MarkNoResponse();
    ignored->SendEcho(window.Handle(), kCompletion, 1000, 32);
    placeholder.SendEcho(window.Handle(), kCompletion, 1000, 32);
    EXPECT_TRUE(MessageQueued(kCompletion, kCompletion)) << "posted before SendEcho returned";
    ASSERT_TRUE(WaitForCompletions(window, 2));
    EXPECT_EQ(window.Messages()[0].wParam, 0u);
    EXPECT_EQ(window.Messages()[0].lParam, reinterpret_cast<LPARAM>(ignored.get()));
    EXPECT_EQ(window.Messages()[1].lParam, reinterpret_cast<LPARAM>(&placeholder));
    EXPECT_EQ(Echoes().size(), 0u);
    EXPECT_EQ(ignored->GetSentCount(), 0);
    EXPECT_EQ(placeholder.GetSentCount(), 0);
}

// Releases the held echo from another thread after a while, noting that it did.
class DelayedRelease {
  public:
    DelayedRelease()
        : thread([this] {
              Sleep(200);
              released = true;
              FakeIcmpReleaseHeld();
          }) {}
    ~DelayedRelease() { thread.join(); }
    std::atomic<bool> released{false};

  private:
    std::thread thread;
};

TEST_F(EchoEngine, DestroyingTheTargetInFlightWaitsAndPostsNothing) {
    UseScenario("echo * * reply dest rtt 5 hold\n");
    RecordingWindow window;
    auto pinger = OpenPinger("198.18.7.1");
    pinger->SendEcho(window.Handle(), kCompletion, 1000, 32);
    ASSERT_EQ(FakeIcmpWaitForHeld(5000), 1);
    DelayedRelease release;
    pinger.reset();
    EXPECT_TRUE(release.released) << "destruction returned while the echo call was running";
    EXPECT_FALSE(MessageQueued(kCompletion, kCompletion));
    PumpFor(50);
    EXPECT_TRUE(window.Messages().empty());
}

// Destroyed at once: the echo may not have begun, or may be over already; either way the
// destruction is safe and at most one completion (posted before it) arrives.
TEST_F(EchoEngine, DestroyingTheTargetRightAfterSendingIsSafe) {
    UseScenario("default reply dest rtt 1\n");
    RecordingWindow window;
    for (int i = 0; i < 20; i++) {
        auto pinger = OpenPinger("198.18.7.1");
        pinger->SendEcho(window.Handle(), kCompletion, 1000, 32);
        pinger.reset();
    }
    PumpFor(50);
    EXPECT_LE(window.Messages().size(), 20u);
    EXPECT_LE(Echoes().size(), 20u);
    EXPECT_EQ(FakeIcmpOpenHandles(), 0);
}

TEST_F(EchoEngine, WindowGoneInFlightUpdatesTheStatisticsAndPostsNothing) {
    UseScenario("echo * * reply dest rtt 6 hold\n");
    RecordingWindow window;
    auto pinger = OpenPinger("198.18.7.1");
    pinger->SendEcho(window.Handle(), kCompletion, 1000, 32);
    ASSERT_EQ(FakeIcmpWaitForHeld(5000), 1);
    window.Destroy();
    FakeIcmpReleaseHeld();
    ASSERT_TRUE(PumpUntil([&] { return pinger->GetSentCount() == 1; }));
    PumpFor(50);
    EXPECT_EQ(pinger->GetReceivedCount(), 1);
    EXPECT_EQ(pinger->GetLastRtt(), 6u);
    EXPECT_FALSE(MessageQueued(kCompletion, kCompletion));
    EXPECT_TRUE(window.Messages().empty());
}

// A Stop and a Start while an echo completes: the old pinger is destroyed and the next trace's
// first echo fills the slot. The old echo's outcome still goes to its own window and message.
TEST_F(EchoEngine, EchoCompletingWhileTheNextIsSentReportsToItsOwnWindow) {
    UseScenario("default reply dest rtt 3\n");
    RecordingWindow first, second;
    const UINT kNextCompletion = kCompletion + 1;
    auto old = OpenPinger("198.18.7.1");
    auto next = OpenPinger("198.18.2.1");
    {
        HeldCompletion held;
        old->SendEcho(first.Handle(), kCompletion, 1000, 32);
        ASSERT_TRUE(held.WaitUntilHeld());
        DelayedLetGo letGo;
        old.reset();
        next->SendEcho(second.Handle(), kNextCompletion, 1000, 32);
    }
    ASSERT_TRUE(WaitForCompletions(second, 1));
    PumpFor(50);
    ASSERT_EQ(second.Messages().size(), 1u) << "the old echo was reported as the next one";
    EXPECT_EQ(second.Messages()[0].message, kNextCompletion);
    EXPECT_EQ(second.Messages()[0].lParam, reinterpret_cast<LPARAM>(next.get()));
    EXPECT_LE(first.Messages().size(), 1u);
}

// The worker has taken the pinger out of the slot and is about to update it: destroying the
// pinger then must wait until the update is over (EchoLock), or the worker writes freed memory.
TEST_F(EchoEngine, DestroyingThePingerWhileItsCompletionRunsWaitsForIt) {
    UseScenario("default reply dest rtt 3\n");
    RecordingWindow window;
    // The pinger lives in storage of the test's own, so that a late write lands nowhere harmful.
    alignas(CPinger) unsigned char storage[sizeof(CPinger)];
    CPinger* pinger = new (storage) CPinger(Address("198.18.7.1"));
    ASSERT_EQ(pinger->OpenIcmp(), 1);
    HeldCompletion held;
    pinger->SendEcho(window.Handle(), kCompletion, 1000, 32);
    ASSERT_TRUE(held.WaitUntilHeld());
    DelayedLetGo letGo;
    pinger->~CPinger();
    EXPECT_TRUE(letGo.released) << "destruction returned while the worker was updating the pinger";
}

TEST_F(EchoEngine, StopWhileIdleEndsTheWorkerWithoutAnEcho) {
    StopEchoService();
    EXPECT_EQ(Echoes().size(), 0u);
    EXPECT_EQ(FakeIcmpCallCount(), 0);
}

TEST_F(EchoEngine, StopWhileAnEchoIsInFlightWaitsForItAndReportsNothing) {
    UseScenario("echo * * reply dest rtt 5 hold\n");
    RecordingWindow window;
    auto pinger = OpenPinger("198.18.7.1");
    pinger->SendEcho(window.Handle(), kCompletion, 1000, 32);
    ASSERT_EQ(FakeIcmpWaitForHeld(5000), 1);
    {
        DelayedRelease release;
        StopEchoService();
        EXPECT_TRUE(release.released) << "the service stopped while the echo call was running";
    }
    EXPECT_EQ(pinger->GetSentCount(), 0);
    EXPECT_EQ(pinger->GetReceivedCount(), 0);
    PumpFor(50);
    EXPECT_TRUE(window.Messages().empty());
}

TEST_F(EchoEngine, FailedOpenWarnsWithoutOwnerAndClosesNothing) {
    UseScenario("create fail\n");
    {
        CPinger pinger(Address("198.18.7.1"));
        EXPECT_EQ(pinger.OpenIcmp(), 0);
        EXPECT_EQ(pinger.IcmpHandle(), nullptr);
    }
    ASSERT_EQ(messageBoxes.Count(), 1u);
    const CaughtMessageBox& box = messageBoxes.Boxes()[0];
    EXPECT_EQ(box.text, "Unable to open PING service!");
    EXPECT_EQ(box.caption, "Ping");
    EXPECT_EQ(box.style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(FakeIcmpGetCounts().closes, 0);
}

TEST_F(EchoEngine, DestroyingAnOpenedPingerClosesItsHandle) {
    { auto pinger = OpenPinger("198.18.7.1"); }
    EXPECT_EQ(FakeIcmpOpenHandles(), 0);
}

// A second copy of the program must not share the worker's wake-up semaphore.
TEST_F(EchoEngine, WakeUpSemaphoreIsPrivateToTheProcess) {
    HANDLE semaphore = CreateSemaphoreA(nullptr, 0, 1, "CPinger");
    DWORD error = GetLastError();
    ASSERT_NE(semaphore, nullptr);
    EXPECT_NE(error, static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(semaphore);
}

} // namespace
