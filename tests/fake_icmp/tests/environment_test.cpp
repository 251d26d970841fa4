// FAKE_ICMP_SCENARIO: scenario text or @file, read again on IcmpCreateFile when it changed.
#include "icmp_fixture.h"
#include <fstream>

namespace {

void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

// Collects what the fake writes to stderr while it lives.
class StderrCapture {
  public:
    StderrCapture() : path_(TempFile("fie")) {
        saved_ = GetStdHandle(STD_ERROR_HANDLE);
        file_ = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        SetStdHandle(STD_ERROR_HANDLE, file_);
    }
    ~StderrCapture() {
        Stop();
        DeleteFileA(path_.c_str());
    }
    std::string Stop() {
        if (file_ != INVALID_HANDLE_VALUE) {
            SetStdHandle(STD_ERROR_HANDLE, saved_);
            CloseHandle(file_);
            file_ = INVALID_HANDLE_VALUE;
        }
        return ReadTextFile(path_);
    }

  private:
    std::string path_;
    HANDLE saved_;
    HANDLE file_;
};

} // namespace

class EnvironmentTest : public IcmpTest {
  protected:
    void TearDown() override {
        SetEnvironmentVariableA("FAKE_ICMP_SCENARIO", nullptr);
        IcmpTest::TearDown();
    }

    // Creates a handle (which applies the variable) and sends one echo at TTL 1.
    Echo CreateAndSend() {
        HANDLE handle = create_();
        Echo echo;
        Send(handle, kTarget, 1, &echo);
        close_(handle);
        return echo;
    }
};

TEST_F(EnvironmentTest, ScenarioTextIsAppliedOnCreate) {
    SetEnvironmentVariableA("FAKE_ICMP_SCENARIO",
                            "# from the environment\necho * 1 reply 198.18.1.1 status ttl-expired "
                            "rtt 4\n");
    Echo echo = CreateAndSend();
    EXPECT_EQ(echo.returned, 1u);
    EXPECT_EQ(echo.reply().Address, kRouter1);
    EXPECT_EQ(echo.reply().RoundTripTime, 4u);
    EXPECT_EQ(FakeIcmpCalls(FAKE_ICMP_ECHO)[0].rule, 2);
}

TEST_F(EnvironmentTest, ScenarioFileIsReadFromTheNameAfterTheAt) {
    std::string path = TempFile("fis");
    WriteTextFile(path, "echo * 1 timeout times 1\r\necho * 1 reply dest rtt 6\r\n");
    SetEnvironmentVariableA("FAKE_ICMP_SCENARIO", ("@" + path).c_str());
    HANDLE handle = Create();
    Echo lost, answered;
    Send(handle, kTarget, 1, &lost);
    Send(handle, kTarget, 1, &answered);
    EXPECT_EQ(lost.returned, 0u);
    EXPECT_EQ(answered.returned, 1u);
    EXPECT_EQ(answered.reply().RoundTripTime, 6u);

    // A changed file counts as a changed scenario, even under the same name.
    WriteTextFile(path, "echo * 1 reply 198.18.2.1 status ttl-expired\n");
    Echo changed = CreateAndSend();
    EXPECT_EQ(changed.reply().Address, kRouter2);
    DeleteFileA(path.c_str());
}

TEST_F(EnvironmentTest, UnchangedVariableLeavesTheScenarioInUseAlone) {
    SetEnvironmentVariableA("FAKE_ICMP_SCENARIO", "echo * * reply dest times 1");
    EXPECT_EQ(CreateAndSend().returned, 1u);
    EXPECT_EQ(CreateAndSend().returned, 0u) << "the rule stays used up: same text, no re-read";

    UseScenario("echo * * reply dest rtt 8");
    EXPECT_EQ(CreateAndSend().reply().RoundTripTime, 8u)
        << "a scenario from the control export survives an unchanged variable";

    SetEnvironmentVariableA("FAKE_ICMP_SCENARIO", nullptr);
    EXPECT_EQ(CreateAndSend().reply().RoundTripTime, 8u) << "removing the variable changes nothing";

    SetEnvironmentVariableA("FAKE_ICMP_SCENARIO", "echo * * reply dest times 1");
    EXPECT_EQ(CreateAndSend().returned, 1u) << "set again after a removal: read afresh";

    FakeIcmpReset();
    EXPECT_EQ(CreateAndSend().returned, 1u) << "a reset forgets the variable, so it is read again";
}

TEST_F(EnvironmentTest, BadScenarioIsReportedAndLeavesAnEmptyOne) {
    std::string log = TempFile("fil");
    SetEnvironmentVariableA("FAKE_ICMP_LOG", log.c_str());
    UseScenario("echo * * reply dest");
    SetEnvironmentVariableA("FAKE_ICMP_SCENARIO", "echo * * reply dest\n\necho * 300 timeout\n");
    StderrCapture capture;
    Echo echo = CreateAndSend();
    std::string stderrText = capture.Stop();
    SetEnvironmentVariableA("FAKE_ICMP_LOG", nullptr);
    const std::string message =
        "FAKE_ICMP_SCENARIO: line 3: bad TTL '300' (expected *, a number 0-255 or a range such as "
        "1-5); the scenario is empty (every echo times out)";
    EXPECT_EQ(stderrText, "fake icmp.dll: " + message + "\n");
    EXPECT_EQ(ReadTextFile(log).rfind("# " + message + "\n", 0), 0u) << ReadTextFile(log);
    EXPECT_EQ(echo.returned, 0u);
    EXPECT_EQ(echo.error, (DWORD)IP_REQ_TIMED_OUT);
    DeleteFileA(log.c_str());
}

TEST_F(EnvironmentTest, MissingScenarioFileIsReported) {
    UseScenario("echo * * reply dest");
    SetEnvironmentVariableA("FAKE_ICMP_SCENARIO", "@C:\\no\\such\\scenario.txt");
    StderrCapture capture;
    Echo echo = CreateAndSend();
    EXPECT_EQ(capture.Stop(),
              "fake icmp.dll: FAKE_ICMP_SCENARIO: cannot open scenario file "
              "'C:\\no\\such\\scenario.txt' (error 3); the scenario is empty (every echo times "
              "out)\n");
    EXPECT_EQ(echo.returned, 0u);
}

// Only a file can get this long: Windows caps a variable at 32767 characters.
TEST_F(EnvironmentTest, OversizedScenarioFileIsRefused) {
    const std::string big = "echo * * reply dest\n" + std::string(70000, '#');
    std::string path = TempFile("fis");
    WriteTextFile(path, big);
    UseScenario("echo * * reply dest");
    SetEnvironmentVariableA("FAKE_ICMP_SCENARIO", ("@" + path).c_str());
    StderrCapture fileCapture;
    EXPECT_EQ(CreateAndSend().returned, 0u);
    EXPECT_EQ(fileCapture.Stop(), "fake icmp.dll: FAKE_ICMP_SCENARIO: scenario file '" + path +
                                      "' is larger than 65536 bytes; the scenario is empty (every "
                                      "echo times out)\n");
    DeleteFileA(path.c_str());
}

TEST_F(EnvironmentTest, GoodScenarioIsNotedInTheLogOnly) {
    std::string log = TempFile("fil");
    SetEnvironmentVariableA("FAKE_ICMP_LOG", log.c_str());
    SetEnvironmentVariableA("FAKE_ICMP_SCENARIO", "echo * 1 timeout\ncreate fail times 1\n"
                                                  "default reply dest\n");
    StderrCapture capture;
    HANDLE handle = create_();
    EXPECT_EQ(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(capture.Stop(), "") << "stderr stays quiet when all is well";
    SetEnvironmentVariableA("FAKE_ICMP_LOG", nullptr);
    EXPECT_EQ(ReadTextFile(log),
              "# scenario from FAKE_ICMP_SCENARIO: 1 echo rules, 1 create rules, "
              "a default\n"
              "1 create -> handle=invalid return=0 error=31 rule=2\n");
    DeleteFileA(log.c_str());
}

// Runs as a CTest entry of its own with FAKE_ICMP_SCENARIO set before the process starts.
TEST(EnvironmentAtLoad, ScenarioIsReadWhenTheLibraryLoads) {
    char value[200];
    if (!GetEnvironmentVariableA("FAKE_ICMP_SCENARIO", value, sizeof value))
        GTEST_SKIP() << "needs FAKE_ICMP_SCENARIO=create fail error 5 times 1 from the start";
    ASSERT_STREQ(value, "create fail error 5 times 1");
    ASSERT_EQ(GetModuleHandleA("icmp.dll"), nullptr) << "loaded already: nothing to prove";
    HMODULE module = LoadLibraryA("ICMP.DLL");
    ASSERT_NE(module, nullptr);
    ASSERT_TRUE(FakeIcmpLoaded()) << FakeIcmpProblem();
    // Gone before the first IcmpCreateFile: only the read at load time can have seen it.
    SetEnvironmentVariableA("FAKE_ICMP_SCENARIO", nullptr);
    auto create = (IcmpCreateFileFn)(void*)GetProcAddress(module, "IcmpCreateFile");
    SetLastError(0);
    EXPECT_EQ(create(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_NE(create(), INVALID_HANDLE_VALUE);
    FreeLibrary(module);
}
