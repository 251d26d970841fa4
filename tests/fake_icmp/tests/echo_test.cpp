// The fake's ICMP exports answer as Windows does: replies, time-outs, refusals, create failures.
#include "icmp_fixture.h"

TEST_F(IcmpTest, ReplyFillsTheFirstRecordAndEchoesThePayload) {
    UseScenario("echo 198.18.0.9 1 reply 198.18.1.1 status ttl-expired rtt 7");
    HANDLE handle = Create();
    Echo echo;
    Send(handle, kTarget, 1, &echo);
    EXPECT_EQ(echo.returned, 1u);
    EXPECT_EQ(echo.error, 0xBADF00Du) << "a reply leaves the last error alone";
    const ICMP_ECHO_REPLY& reply = echo.reply();
    EXPECT_EQ(reply.Address, kRouter1);
    EXPECT_EQ(reply.Status, (ULONG)IP_TTL_EXPIRED_TRANSIT);
    EXPECT_EQ(reply.RoundTripTime, 7u);
    EXPECT_EQ(reply.DataSize, Echo::kPayload);
    EXPECT_EQ(reply.Data, (void*)(echo.buffer + sizeof(ICMP_ECHO_REPLY)))
        << "Data points into the reply buffer right after the record";
    EXPECT_EQ(memcmp(reply.Data, echo.request, Echo::kPayload), 0);
    EXPECT_EQ(reply.Options.Ttl, 64);
    EXPECT_EQ(reply.Options.OptionsSize, 0);
    EXPECT_EQ(reply.Options.OptionsData, nullptr);
    EXPECT_TRUE(close_(handle));
}

TEST_F(IcmpTest, StatusesOfRepliesReturnOne) {
    UseScenario("echo * 1 reply 198.18.1.1 status ttl-expired rtt 1\n"
                "echo * 2 reply 198.18.2.1 status net-unreachable rtt 2\n"
                "echo * 3 reply 198.18.2.1 status host-unreachable rtt 3\n"
                "echo * 4 reply dest status success rtt 4\n");
    struct Row {
        int ttl;
        IPAddr from;
        ULONG status;
    } rows[] = {
        {1, kRouter1, IP_TTL_EXPIRED_TRANSIT},  // a router on the way
        {2, kRouter2, IP_DEST_NET_UNREACHABLE}, // no route beyond router 2
        {3, kRouter2, IP_DEST_HOST_UNREACHABLE},
        {4, kTarget, IP_SUCCESS}, // the destination itself
    };
    HANDLE handle = Create();
    for (const Row& row : rows) {
        Echo echo;
        Send(handle, kTarget, row.ttl, &echo);
        EXPECT_EQ(echo.returned, 1u) << "ttl " << row.ttl;
        EXPECT_EQ(echo.reply().Address, row.from) << "ttl " << row.ttl;
        EXPECT_EQ(echo.reply().Status, row.status) << "ttl " << row.ttl;
        EXPECT_EQ(echo.reply().RoundTripTime, (ULONG)row.ttl) << "ttl " << row.ttl;
    }
}

TEST_F(IcmpTest, TimeoutReturnsZeroAndLeavesTheBufferAsItWas) {
    UseScenario("echo * 1 reply 198.18.1.1 status ttl-expired rtt 5 times 1\n"
                "echo * 1 timeout\n");
    HANDLE handle = Create();
    Echo echo;
    Send(handle, kTarget, 1, &echo);
    ASSERT_EQ(echo.returned, 1u);
    unsigned char before[sizeof echo.buffer];
    memcpy(before, echo.buffer, sizeof before);

    Send(handle, kTarget, 1, &echo);
    EXPECT_EQ(echo.returned, 0u);
    EXPECT_EQ(echo.error, (DWORD)IP_REQ_TIMED_OUT);
    EXPECT_EQ(memcmp(before, echo.buffer, sizeof before), 0)
        << "the previous reply must still be in the buffer";
}

TEST_F(IcmpTest, UnmatchedEchoTimesOutWithoutTouchingTheBuffer) {
    UseScenario("echo 198.18.0.1 * reply dest");
    HANDLE handle = Create();
    Echo echo;
    Send(handle, kTarget, 3, &echo);
    EXPECT_EQ(echo.returned, 0u);
    EXPECT_EQ(echo.error, (DWORD)IP_REQ_TIMED_OUT);
    for (unsigned char byte : echo.buffer)
        ASSERT_EQ(byte, 0xCD);
}

TEST_F(IcmpTest, WriteStatusTimeoutWritesAnEmptyRecordWithStatus) {
    UseScenario("echo * * timeout write-status");
    HANDLE handle = Create();
    Echo echo;
    Send(handle, kTarget, 2, &echo);
    EXPECT_EQ(echo.returned, 0u);
    EXPECT_EQ(echo.error, (DWORD)IP_REQ_TIMED_OUT);
    EXPECT_EQ(echo.reply().Status, (ULONG)IP_REQ_TIMED_OUT);
    EXPECT_EQ(echo.reply().Address, 0u);
    EXPECT_EQ(echo.reply().RoundTripTime, 0u);
    EXPECT_EQ(echo.reply().DataSize, 0);
    for (size_t i = sizeof(ICMP_ECHO_REPLY); i < sizeof echo.buffer; ++i)
        ASSERT_EQ(echo.buffer[i], 0xCD) << "only the record is written, byte " << i;
}

TEST_F(IcmpTest, ReplyBufferMustHoldRecordAndPayload) {
    UseScenario("echo * * reply dest");
    HANDLE handle = Create();
    Echo exact;
    Send(handle, kTarget, 1, &exact, sizeof(ICMP_ECHO_REPLY) + Echo::kPayload);
    EXPECT_EQ(exact.returned, 1u) << "28 + 56 is enough: no 8 spare bytes needed";

    for (DWORD size : {DWORD(sizeof(ICMP_ECHO_REPLY) + Echo::kPayload - 1), DWORD(28), DWORD(1)}) {
        Echo small;
        Send(handle, kTarget, 1, &small, size);
        EXPECT_EQ(small.returned, 0u) << size;
        EXPECT_EQ(small.error, (DWORD)IP_BUF_TOO_SMALL) << size;
        EXPECT_EQ(small.buffer[0], 0xCD) << size;
    }
}

TEST_F(IcmpTest, InvalidHandlesAreRefused) {
    UseScenario("echo * * reply dest");
    HANDLE handle = Create();
    ASSERT_TRUE(close_(handle));
    for (HANDLE bad : {handle, INVALID_HANDLE_VALUE, (HANDLE) nullptr}) {
        Echo echo;
        Send(bad, kTarget, 1, &echo);
        EXPECT_EQ(echo.returned, 0u) << bad;
        EXPECT_EQ(echo.error, (DWORD)ERROR_INVALID_HANDLE) << bad;
        EXPECT_EQ(echo.buffer[0], 0xCD) << bad;
    }
    SetLastError(0);
    EXPECT_FALSE(close_(handle)) << "closed twice";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
}

TEST_F(IcmpTest, MissingBuffersAreInvalidParameters) {
    UseScenario("echo * * reply dest");
    HANDLE handle = Create();
    unsigned char buffer[100];
    SetLastError(0);
    EXPECT_EQ(send_(handle, kTarget, buffer, 8, nullptr, nullptr, sizeof buffer, 100), 0u);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    SetLastError(0);
    EXPECT_EQ(send_(handle, kTarget, nullptr, 8, nullptr, buffer, sizeof buffer, 100), 0u);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(send_(handle, kTarget, nullptr, 0, nullptr, buffer, sizeof buffer, 100), 1u)
        << "an empty request needs no data";
}

TEST_F(IcmpTest, EveryHandleIsDistinctAndWorks) {
    UseScenario("echo * * reply dest");
    SetLastError(1234);
    HANDLE a = Create();
    EXPECT_EQ(GetLastError(), 1234u) << "success leaves the last error alone";
    HANDLE b = Create();
    EXPECT_NE(a, b);
    EXPECT_NE(a, nullptr);
    EXPECT_EQ(FakeIcmpOpenHandles(), 2);
    EXPECT_TRUE(close_(a));
    Echo echo;
    Send(b, kTarget, 1, &echo);
    EXPECT_EQ(echo.returned, 1u) << "closing one handle leaves the other open";
    SetLastError(4321);
    EXPECT_TRUE(close_(b));
    EXPECT_EQ(GetLastError(), 4321u);
    EXPECT_EQ(FakeIcmpOpenHandles(), 0);
}

TEST_F(IcmpTest, CreateFailReturnsInvalidHandleValue) {
    UseScenario("create fail times 1\ncreate fail error 5 times 1\n");
    SetLastError(0);
    EXPECT_EQ(create_(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_GEN_FAILURE);
    EXPECT_EQ(create_(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    HANDLE handle = create_();
    EXPECT_NE(handle, INVALID_HANDLE_VALUE) << "the rules are used up";
    FakeIcmpCounts counts = FakeIcmpGetCounts();
    EXPECT_EQ(counts.creates, 3);
    EXPECT_EQ(counts.openHandles, 1);
}

TEST_F(IcmpTest, TtlRangesAndCallsWithoutOptions) {
    UseScenario("echo * 1-2 reply 198.18.1.1 status ttl-expired\n"
                "echo * * reply dest rtt 9\n");
    HANDLE handle = Create();
    Echo ranged, noOptions;
    Send(handle, kTarget, 2, &ranged);
    EXPECT_EQ(ranged.reply().Address, kRouter1);
    Send(handle, kTarget, -1, &noOptions);
    EXPECT_EQ(noOptions.returned, 1u);
    EXPECT_EQ(noOptions.reply().Address, kTarget);
    EXPECT_EQ(noOptions.reply().RoundTripTime, 9u);
}

TEST_F(IcmpTest, BadScenarioFromTheControlExportLeavesAnEmptyOne) {
    UseScenario("echo * * reply dest");
    std::string error;
    EXPECT_FALSE(FakeIcmpSetScenario("echo * * reply dest\necho * * lost\n", &error));
    EXPECT_EQ(error, "line 2: unknown answer 'lost' (expected reply or timeout)");
    HANDLE handle = Create();
    Echo echo;
    Send(handle, kTarget, 1, &echo);
    EXPECT_EQ(echo.returned, 0u) << "every echo times out after a bad scenario";
}

TEST_F(IcmpTest, ScenarioErrorTextIsBoundedByTheCallersBuffer) {
    typedef int(WINAPI * SetScenarioFn)(const char*, char*, DWORD);
    auto set = (SetScenarioFn)(void*)GetProcAddress(module_, "FakeIcmpSetScenario");
    ASSERT_NE(set, nullptr);
    char error[12];
    memset(error, 'x', sizeof error);
    EXPECT_EQ(set("nonsense here", error, 8), 0);
    EXPECT_STREQ(error, "line 1:");
    EXPECT_EQ(error[8], 'x') << "nothing written past the size given";
    EXPECT_EQ(set("nonsense", nullptr, 0), 0);
    EXPECT_EQ(set("echo * * timeout", error, sizeof error), 1);
    EXPECT_STREQ(error, "");
}
