// The fake's record of calls, through the control exports and in the FAKE_ICMP_LOG file.
#include "icmp_fixture.h"
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    std::istringstream text(ReadTextFile(path));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST_F(IcmpTest, RecordsEveryCallInOrder) {
    UseScenario("# route to 198.18.0.9\n"
                "echo 198.18.0.9 1 reply 198.18.1.1 status ttl-expired rtt 3\n"
                "echo 198.18.0.9 2 timeout\n");
    HANDLE handle = Create();
    Echo first, second, third;
    Send(handle, kTarget, 1, &first, 0, 4000);
    Send(handle, kTarget, 2, &second, 0, 2500);
    Send(handle, kRouter2, -1, &third, 40, 100); // too small: refused
    close_(handle);

    std::vector<FakeIcmpCall> calls = FakeIcmpCalls();
    ASSERT_EQ(calls.size(), 5u);
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].sequence, (int)i + 1);
        EXPECT_EQ(calls[i].threadId, GetCurrentThreadId());
        EXPECT_EQ(calls[i].pending, 0);
    }
    EXPECT_EQ(calls[0].kind, FAKE_ICMP_CREATE);
    EXPECT_EQ(calls[0].handle, handle);
    EXPECT_EQ(calls[0].returned, 1u);

    const FakeIcmpCall& reply = calls[1];
    EXPECT_EQ(reply.kind, FAKE_ICMP_ECHO);
    EXPECT_EQ(reply.handle, handle);
    EXPECT_EQ(reply.destination, kTarget);
    EXPECT_EQ(reply.ttl, 1);
    EXPECT_EQ(reply.requestSize, 56u);
    EXPECT_EQ(reply.replySize, sizeof(ICMP_ECHO_REPLY) + 56);
    EXPECT_EQ(reply.timeout, 4000u);
    EXPECT_EQ(reply.returned, 1u);
    EXPECT_EQ(reply.status, 11013u);
    EXPECT_EQ(reply.error, 0u);
    EXPECT_EQ(reply.address, kRouter1);
    EXPECT_EQ(reply.roundTripTime, 3u);
    EXPECT_EQ(reply.rule, 2) << "the scenario line that answered";
    EXPECT_EQ(reply.held, 0);

    const FakeIcmpCall& lost = calls[2];
    EXPECT_EQ(lost.ttl, 2);
    EXPECT_EQ(lost.timeout, 2500u);
    EXPECT_EQ(lost.returned, 0u);
    EXPECT_EQ(lost.status, 11010u);
    EXPECT_EQ(lost.error, 11010u);
    EXPECT_EQ(lost.address, 0u);
    EXPECT_EQ(lost.rule, 3);

    const FakeIcmpCall& refused = calls[3];
    EXPECT_EQ(refused.destination, kRouter2);
    EXPECT_EQ(refused.ttl, -1) << "no options";
    EXPECT_EQ(refused.replySize, 40u);
    EXPECT_EQ(refused.timeout, 100u);
    EXPECT_EQ(refused.returned, 0u);
    EXPECT_EQ(refused.status, 11001u);
    EXPECT_EQ(refused.rule, 0);

    EXPECT_EQ(calls[4].kind, FAKE_ICMP_CLOSE);
    EXPECT_EQ(calls[4].handle, handle);
    EXPECT_EQ(calls[4].returned, 1u);

    EXPECT_EQ(FakeIcmpCalls(FAKE_ICMP_ECHO).size(), 3u);
    FakeIcmpCounts counts = FakeIcmpGetCounts();
    EXPECT_EQ(counts.creates, 1);
    EXPECT_EQ(counts.closes, 1);
    EXPECT_EQ(counts.echoes, 3);
    EXPECT_EQ(counts.openHandles, 0);
    EXPECT_EQ(counts.held, 0);

    FakeIcmpCall beyond;
    EXPECT_FALSE(FakeIcmpGetCall(5, &beyond));
    EXPECT_FALSE(FakeIcmpGetCall(-1, &beyond));
}

TEST_F(IcmpTest, ResetEmptiesRecordCountsAndHandles) {
    UseScenario("echo * * reply dest");
    HANDLE handle = Create();
    Echo echo;
    Send(handle, kTarget, 1, &echo);
    FakeIcmpReset();
    EXPECT_EQ(FakeIcmpCallCount(), 0);
    FakeIcmpCounts counts = FakeIcmpGetCounts();
    EXPECT_EQ(counts.creates + counts.closes + counts.echoes + counts.openHandles, 0);
    Send(handle, kTarget, 1, &echo);
    EXPECT_EQ(echo.error, (DWORD)ERROR_INVALID_HANDLE) << "handles from before the reset are gone";
    HANDLE fresh = Create();
    Send(fresh, kTarget, 1, &echo);
    EXPECT_EQ(echo.error, (DWORD)IP_REQ_TIMED_OUT) << "and so is the scenario";
    EXPECT_NE(fresh, handle) << "handles are never reused";
}

TEST_F(IcmpTest, LogFileHasOneLinePerCall) {
    std::string path = TempFile("fil");
    ASSERT_TRUE(SetEnvironmentVariableA("FAKE_ICMP_LOG", path.c_str()));
    UseScenario("echo * 1 reply 198.18.1.1 status ttl-expired rtt 3\n"
                "create fail error 5 times 1\n");
    EXPECT_EQ(create_(), INVALID_HANDLE_VALUE);
    HANDLE handle = Create();
    Echo reply, lost;
    Send(handle, kTarget, 1, &reply, 0, 3000);
    Send(handle, kTarget, -1, &lost, 0, 250);
    close_(handle);
    close_(handle);
    SetEnvironmentVariableA("FAKE_ICMP_LOG", nullptr);
    Send(handle, kTarget, 1, &reply); // not logged any more

    char h[16];
    snprintf(h, sizeof h, "0x%08lx", (unsigned long)(uintptr_t)handle);
    const std::string kReplySize = std::to_string(sizeof(ICMP_ECHO_REPLY) + 56); // 84 in 32 bits
    std::vector<std::string> expected = {
        "1 create -> handle=invalid return=0 error=5 rule=2",
        std::string("2 create -> handle=") + h + " return=1 error=0 rule=0",
        std::string("3 echo handle=") + h +
            " dest=198.18.0.9 ttl=1 request=56 reply=" + kReplySize + " timeout=3000 -> return=1 status=11013 "
            "from=198.18.1.1 rtt=3 error=0 rule=1 held=0",
        std::string("4 echo handle=") + h +
            " dest=198.18.0.9 ttl=-1 request=56 reply=" + kReplySize + " timeout=250 -> return=0 status=11010 "
            "from=0.0.0.0 rtt=0 error=11010 rule=0 held=0",
        std::string("5 close handle=") + h + " -> return=1 error=0",
        std::string("6 close handle=") + h + " -> return=0 error=6",
    };
    EXPECT_EQ(ReadLines(path), expected);
    DeleteFileA(path.c_str());
}

TEST_F(IcmpTest, LogFileMayBeNamedByAUnixPath) {
    std::string path = TempFile("fiu");
    typedef char*(CDECL * ToUnix)(const WCHAR*);
    auto toUnix =
        (ToUnix)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!toUnix)
        GTEST_SKIP() << "not running under Wine";
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* unixPath = toUnix(wide);
    ASSERT_NE(unixPath, nullptr);
    ASSERT_EQ(unixPath[0], '/');
    SetEnvironmentVariableA("FAKE_ICMP_LOG", unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    UseScenario("");
    HANDLE handle = Create();
    SetEnvironmentVariableA("FAKE_ICMP_LOG", nullptr);
    std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("1 create -> handle=0x", 0), 0u) << lines[0];
    close_(handle);
    DeleteFileA(path.c_str());
}
