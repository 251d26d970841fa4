// Echoes in flight: "hold" blocks a call on another thread until the test releases it; "delay".
#include "icmp_fixture.h"
#include <atomic>
#include <chrono>
#include <thread>

namespace {

// An echo sent on a thread of its own, as the program's worker sends them.
struct EchoThread {
    Echo echo;
    std::atomic<bool> done{false};
    std::thread thread;

    template <typename SendFn> void Start(SendFn send) {
        thread = std::thread([this, send] {
            send(&echo);
            done = true;
        });
    }
    void Join() {
        if (thread.joinable())
            thread.join();
    }
    ~EchoThread() { Join(); }
};

} // namespace

class HoldTest : public IcmpTest {
  protected:
    void TearDown() override {
        FakeIcmpReleaseHeld(0); // a failed check must not leave a thread blocked
        IcmpTest::TearDown();
    }

    void StartEcho(EchoThread* worker, HANDLE handle, int ttl) {
        worker->Start([this, handle, ttl](Echo* echo) { Send(handle, kTarget, ttl, echo); });
    }
};

TEST_F(HoldTest, HeldEchoWaitsForRelease) {
    UseScenario("echo * 1 reply 198.18.1.1 status ttl-expired rtt 2 hold");
    HANDLE handle = Create();
    EchoThread worker;
    StartEcho(&worker, handle, 1);
    ASSERT_EQ(FakeIcmpWaitForHeld(10000), 1);
    EXPECT_FALSE(worker.done) << "a held call does not return";
    EXPECT_EQ(worker.echo.buffer[0], 0xCD);

    FakeIcmpCall call;
    ASSERT_TRUE(FakeIcmpGetCall(1, &call));
    EXPECT_EQ(call.kind, FAKE_ICMP_ECHO);
    EXPECT_EQ(call.ttl, 1);
    EXPECT_EQ(call.held, 1);
    EXPECT_EQ(call.pending, 1);
    EXPECT_NE(call.threadId, GetCurrentThreadId());
    EXPECT_EQ(FakeIcmpGetCounts().held, 1);

    EXPECT_EQ(FakeIcmpReleaseHeld(), 1);
    worker.Join();
    EXPECT_EQ(worker.echo.returned, 1u);
    EXPECT_EQ(worker.echo.reply().Address, kRouter1);
    EXPECT_EQ(worker.echo.reply().Status, (ULONG)IP_TTL_EXPIRED_TRANSIT);
    ASSERT_TRUE(FakeIcmpGetCall(1, &call));
    EXPECT_EQ(call.pending, 0);
    EXPECT_EQ(call.returned, 1u);
    EXPECT_EQ(FakeIcmpGetCounts().held, 0);
    EXPECT_EQ(FakeIcmpReleaseHeld(), 0) << "nothing left to release";
}

TEST_F(HoldTest, HeldEchoesCanBeReleasedOutOfOrder) {
    UseScenario("echo * 1 reply 198.18.1.1 status ttl-expired hold\n"
                "echo * 2 timeout hold\n");
    HANDLE handle = Create();
    EchoThread hop1, hop2;
    StartEcho(&hop1, handle, 1);
    StartEcho(&hop2, handle, 2);
    ASSERT_EQ(FakeIcmpWaitForHeld(10000, 2), 2);

    int sequenceOfHop2 = 0;
    for (const FakeIcmpCall& call : FakeIcmpCalls(FAKE_ICMP_ECHO)) {
        if (call.ttl == 2)
            sequenceOfHop2 = call.sequence;
    }
    ASSERT_NE(sequenceOfHop2, 0);
    EXPECT_EQ(FakeIcmpReleaseHeld(sequenceOfHop2), 1);
    hop2.Join();
    EXPECT_EQ(hop2.echo.returned, 0u);
    EXPECT_EQ(hop2.echo.error, (DWORD)IP_REQ_TIMED_OUT);
    EXPECT_FALSE(hop1.done) << "hop 1 stays held";
    EXPECT_EQ(FakeIcmpGetCounts().held, 1);

    EXPECT_EQ(FakeIcmpReleaseHeld(), 1);
    hop1.Join();
    EXPECT_EQ(hop1.echo.returned, 1u);
}

TEST_F(HoldTest, WaitForHeldTimesOutWithTheNumberHeld) {
    UseScenario("echo * * timeout");
    EXPECT_EQ(FakeIcmpWaitForHeld(50), 0);
    UseScenario("echo * 1 reply dest hold");
    HANDLE handle = Create();
    EchoThread worker;
    StartEcho(&worker, handle, 1);
    ASSERT_EQ(FakeIcmpWaitForHeld(10000), 1);
    EXPECT_EQ(FakeIcmpWaitForHeld(50, 2), 1) << "only one of two arrived";
    EXPECT_EQ(FakeIcmpReleaseHeld(), 1);
}

TEST_F(HoldTest, ResetReleasesHeldEchoesAndKeepsTheNewRecordClean) {
    UseScenario("echo * 1 reply dest hold");
    HANDLE handle = Create();
    EchoThread worker;
    StartEcho(&worker, handle, 1);
    ASSERT_EQ(FakeIcmpWaitForHeld(10000), 1);
    FakeIcmpReset();
    worker.Join();
    EXPECT_EQ(worker.echo.returned, 1u) << "it answers as the scenario said when it was sent";
    EXPECT_EQ(FakeIcmpCallCount(), 0) << "the finished call stays out of the new record";
}

TEST_F(HoldTest, DelayAnswersNoSoonerThanAsked) {
    UseScenario("echo * 1 reply dest delay 200");
    HANDLE handle = Create();
    Echo echo;
    auto start = std::chrono::steady_clock::now();
    Send(handle, kTarget, 1, &echo);
    auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(echo.returned, 1u);
    // Sleep() may wake a timer tick early by the clock used here.
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count(), 190);
}
