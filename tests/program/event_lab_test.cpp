// The event log on the lab's real network: a route that changes while the trace runs, a
// destination that stops answering for 10 s, and a router that drops its own answers but forwards
// everything. Each traces an address of the destination that no other test traces, since the
// lab is changed under it (lab_topology.h).
#include "echo/echo_service.h"
#include "events/route_book.h"
#include "events/trace_events.h"
#include "trace_fixture.h"
#include <unistd.h>
#include <vector>

namespace {

class InTheLabEvents : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        const char* prefix = getenv(LAB_PREFIX_ENV);
        ASSERT_NE(prefix, nullptr) << "run inside the lab (tools/test.sh)";
        labPrefix = prefix;
        ASSERT_FALSE(FakeIcmpLoaded()) << "these tests use the system's ICMP library";
        Settings = kDefaultSettings;
        Settings.PingTimeout = 300; // the silent router costs one timeout at discovery
        ClampSettings();
    }
    // Runs lab.sh with the lab's prefix before args. Wine starts a Unix program on its own and
    // gives back no handle to wait on, so the command makes a file when it is done, and the
    // trace runs on while the test waits for that.
    bool RunLab(const std::string& command, const std::string& args) {
        static int count;
        std::string done = std::string(LAB_STATE_ROOT) + "/" + labPrefix + "/event-test-" +
                           std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
        std::string line = "Z:\\bin\\sh -c \"PATH=/usr/sbin:/usr/bin:/sbin:/bin " LAB_SCRIPT " " + command + " " + labPrefix + " " +
                           args + " && touch " + done + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return false;
        if (process.hProcess)
            CloseHandle(process.hProcess);
        if (process.hThread)
            CloseHandle(process.hThread);
        std::string windowsPath = "Z:" + done;
        for (char& c : windowsPath)
            if (c == '/')
                c = '\\';
        return PumpUntil(
            [&] { return GetFileAttributesA(windowsPath.c_str()) != INVALID_FILE_ATTRIBUTES; },
            10000);
    }
    bool WaitUntilPinging(unsigned timeout = 20000) {
        return PumpUntil(
            [] {
                return CurrentTraceState == TraceState::Pinging ||
                       CurrentTraceState == TraceState::Waiting;
            },
            timeout);
    }
    // The log as it stands, taken under the echo lock.
    static std::vector<TraceEvent> Events() {
        std::vector<TraceEvent> events;
        LockEchoStatistics();
        for (int i = 0; i < TraceEventCount(); i++)
            events.push_back(TraceEventAt(i));
        UnlockEchoStatistics();
        return events;
    }
    static std::vector<TraceEvent> EventsOf(TraceEventKind kind) {
        std::vector<TraceEvent> of;
        for (const TraceEvent& e : Events())
            if (e.Kind == kind)
                of.push_back(e);
        return of;
    }
    static bool HasClosedEpisodeAt(int hop) {
        for (const TraceEvent& e : EventsOf(TraceEventKind::LossEpisode))
            if (e.Hop == hop && !e.Open)
                return true;
        return false;
    }
    static std::string Address(uint32_t address) {
        in_addr a;
        a.s_addr = address;
        return inet_ntoa(a);
    }
    std::string labPrefix;
};

TEST_F(InTheLabEvents, RouteChangeMidTraceNamesTheHopAndRestartFollowsIt) {
    Settings.PingDelay = 100; // the cycle with pauses: each echo is the UI thread's
    TypeHost(LAB_SWITCH_DEST_ADDR);
    StartTrace();
    ASSERT_TRUE(WaitUntilPinging());
    ASSERT_EQ(HopCount, LAB_DEST_HOP);
    ASSERT_EQ(Address(HopList[LAB_ALT_HOP - 1]->GetDestination()), LAB_R2_ADDR);
    ASSERT_TRUE(RunLab("route", "alt"));
    // The check goes round the six rows that answered once a second: two rounds at most.
    ASSERT_TRUE(PumpUntil([] { return !EventsOf(TraceEventKind::RouteChange).empty(); }, 20000));
    ASSERT_TRUE(PumpUntil([] { return EventsOf(TraceEventKind::RouteChange)[0].NewName[0]; },
                          10000));
    std::vector<TraceEvent> changes = EventsOf(TraceEventKind::RouteChange);
    ASSERT_EQ(changes.size(), 1u);
    const TraceEvent& change = changes[0];
    EXPECT_EQ(change.Hop, LAB_ALT_HOP - 1);
    EXPECT_EQ(Address(change.OldAddress), LAB_R2_ADDR);
    EXPECT_STREQ(change.OldName, LAB_R2_NAME);
    EXPECT_EQ(Address(change.NewAddress), LAB_ALT_ADDR);
    EXPECT_STREQ(change.NewName, LAB_ALT_NAME);
    LockEchoStatistics();
    EXPECT_TRUE(RouteRowChanged(LAB_ALT_HOP - 1));
    EXPECT_FALSE(RouteRowChanged(LAB_ALT_HOP)); // r3 answers alike from either side
    EXPECT_EQ(Address(RouteRowCurrent(LAB_ALT_HOP - 1)), LAB_ALT_ADDR);
    UnlockEchoStatistics();
    // The row still pings the hop it found, and says so in its cells as before.
    EXPECT_EQ(ListViewCell(HopTable, LAB_ALT_HOP - 1, 1), LAB_R2_ADDR);
    StopTrace();

    // A new Start discovers the route anew, with nothing of the last one's changes left.
    StartTrace();
    ASSERT_TRUE(WaitUntilPinging());
    EXPECT_EQ(ListViewCell(HopTable, LAB_ALT_HOP - 1, 1), LAB_ALT_ADDR);
    EXPECT_EQ(ListViewCell(HopTable, LAB_ALT_HOP - 1, 2), LAB_ALT_NAME);
    EXPECT_EQ(Address(HopList[LAB_ALT_HOP - 1]->GetDestination()), LAB_ALT_ADDR);
    EXPECT_TRUE(EventsOf(TraceEventKind::RouteChange).empty());
    LockEchoStatistics();
    EXPECT_FALSE(AnyRouteRowChanged());
    UnlockEchoStatistics();
    StopTrace();
    EXPECT_TRUE(RunLab("route", "main"));
    EXPECT_EQ(messageBoxes.Count(), 0u);
}

TEST_F(InTheLabEvents, DestinationSilentForTenSecondsIsOneEpisode) {
    TypeHost(LAB_QUIET_DEST_ADDR); // the cycle in rounds: the pauses are both 0
    StartTrace();
    ASSERT_TRUE(WaitUntilPinging());
    ASSERT_EQ(HopCount, LAB_DEST_HOP);
    ASSERT_TRUE(PumpUntil([] { return HopList[LAB_DEST_HOP - 1]->GetSentCount() >= 5; }, 10000));
    ASSERT_TRUE(RunLab("quiet", "10"));
    ASSERT_TRUE(PumpUntil([] { return !EventsOf(TraceEventKind::DestinationAnswers).empty(); },
                          25000));
    StopTrace();
    std::vector<TraceEvent> episodes = EventsOf(TraceEventKind::LossEpisode);
    std::vector<TraceEvent> silent = EventsOf(TraceEventKind::DestinationSilent);
    std::vector<TraceEvent> answers = EventsOf(TraceEventKind::DestinationAnswers);
    ASSERT_EQ(episodes.size(), 1u);
    ASSERT_EQ(silent.size(), 1u);
    ASSERT_EQ(answers.size(), 1u);
    const TraceEvent& episode = episodes[0];
    EXPECT_EQ(episode.Hop, LAB_DEST_HOP - 1);
    EXPECT_EQ(episode.Open, 0);
    EXPECT_EQ(episode.NotPassedOn, 0);
    uint32_t duration = episode.EndSecond - episode.StartSecond;
    EXPECT_GE(duration, 8u);
    EXPECT_LE(duration, 12u);
    EXPECT_GE(episode.Lost, 3u);
    EXPECT_EQ(silent[0].StartSecond, episode.StartSecond);
    EXPECT_EQ(answers[0].StartSecond, episode.EndSecond);
    RecordProperty("episode_seconds", static_cast<int>(duration));
    RecordProperty("episode_lost", static_cast<int>(episode.Lost));
}

TEST_F(InTheLabEvents, RouterDroppingItsOwnAnswersDidNotPassTheLossOn) {
    TypeHost(LAB_SHY_DEST_ADDR);
    StartTrace();
    ASSERT_TRUE(WaitUntilPinging());
    ASSERT_EQ(HopCount, LAB_DEST_HOP);
    ASSERT_EQ(Address(HopList[LAB_ALT_HOP - 1]->GetDestination()), LAB_ALT_ADDR);
    ASSERT_TRUE(PumpUntil([] { return HopList[LAB_DEST_HOP - 1]->GetSentCount() >= 5; }, 10000));
    ASSERT_TRUE(RunLab("mute", "3"));
    ASSERT_TRUE(PumpUntil([] { return HasClosedEpisodeAt(LAB_ALT_HOP - 1); }, 15000));
    StopTrace();
    std::vector<TraceEvent> episodes = EventsOf(TraceEventKind::LossEpisode);
    ASSERT_EQ(episodes.size(), 1u) << "only the router that dropped its answers";
    EXPECT_EQ(episodes[0].Hop, LAB_ALT_HOP - 1);
    EXPECT_EQ(episodes[0].NotPassedOn, 1);
    EXPECT_GE(episodes[0].Lost, 3u);
    EXPECT_TRUE(EventsOf(TraceEventKind::DestinationSilent).empty());
}

} // namespace
