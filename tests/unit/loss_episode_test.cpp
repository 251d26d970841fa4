// The loss episode rule, and the events the engine records from each hop's echoes.
#include "events/hop_events.h"
#include "events/loss_episode.h"
#include "events/trace_events.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// Echo i is made at second i and is 'A' (answered in 10 + i ms) or 'x' (lost).
uint32_t RttOf(int i) {
    return 10 + static_cast<uint32_t>(i);
}

struct EpisodeCase {
    const char* name;
    const char* echoes;
    const char* steps; // per echo: '.' none, 'S' started, 'g' grew, 'E' ended
    EpisodeFigures figures; // EpisodeNow after the last echo
};

char StepLetter(EpisodeStep step) {
    switch (step) {
    case EpisodeStep::Started:
        return 'S';
    case EpisodeStep::Grew:
        return 'g';
    case EpisodeStep::Ended:
        return 'E';
    default:
        return '.';
    }
}

TEST(LossEpisode, StartsAndEndsByTheRule) {
    const EpisodeCase cases[] = {
        // Two lost in a row, and three of the last twenty, are no episode.
        {"single losses", "AxAxxAAAAAAAAAAAAAAAAAAxA",
         ".........................", {0, 0, 0, 0, 0}},
        // The third in a row starts it, at the first one's second.
        {"three in a row", "AAxxx", "....S", {2, 4, 3, 3, 0}},
        // Four of the last twenty, from the oldest of them; the answers between count.
        {"four of twenty", "xAAxAAAAAxAAAAAAAAx", "..................S", {0, 18, 19, 4, 27}},
        // A loss 20 echoes back has left the window.
        {"loss left the window", "xAAAAAAAAAAAAAAAAAAAAxAxAx", "..........................",
         {0, 0, 0, 0, 0}},
        // Five answers in a row end it; its end is the first of them.
        {"ends after five answers", "xxxAAAAA", "..SggggE", {0, 3, 3, 3, 0}},
        // A loss among the answers: they belong to it, and the run starts again.
        {"answers then a loss", "xxxAAxAAAAA", "..SgggggggE", {0, 6, 6, 4, 14}},
        // Ended, a single loss does not start it again.
        {"one loss after the end", "xxxAAAAAx", "..SggggE.", {0, 3, 3, 3, 0}},
    };
    for (const EpisodeCase& c : cases) {
        LossEpisode state;
        ResetLossEpisode(state);
        std::string steps;
        int n = static_cast<int>(strlen(c.echoes));
        for (int i = 0; i < n; i++)
            steps += StepLetter(NoteEpisodeEcho(state, i, c.echoes[i] == 'A', RttOf(i)));
        EXPECT_EQ(steps, std::string(c.steps).substr(0, steps.size())) << c.name;
        EpisodeFigures f = EpisodeNow(state);
        if (c.figures.sent == 0) {
            EXPECT_EQ(state.open, 0) << c.name;
            continue;
        }
        EXPECT_EQ(f.start, c.figures.start) << c.name;
        EXPECT_EQ(f.end, c.figures.end) << c.name;
        EXPECT_EQ(f.sent, c.figures.sent) << c.name;
        EXPECT_EQ(f.lost, c.figures.lost) << c.name;
        EXPECT_EQ(f.worstRtt, c.figures.worstRtt) << c.name;
    }
}

TEST(LossEpisode, StillOpenAtStopEndsAtTheLastEcho) {
    LossEpisode state;
    ResetLossEpisode(state);
    const char echoes[] = "AxxxAA";
    for (int i = 0; echoes[i]; i++)
        NoteEpisodeEcho(state, 100 + 2 * i, echoes[i] == 'A', RttOf(i));
    EpisodeFigures f;
    ASSERT_TRUE(CloseLossEpisode(state, &f));
    EXPECT_EQ(f.start, 102u);
    EXPECT_EQ(f.end, 110u); // the last echo's second, though no run of answers ended it
    EXPECT_EQ(f.sent, 5u);
    EXPECT_EQ(f.lost, 3u);
    EXPECT_EQ(f.worstRtt, RttOf(5));
    EXPECT_FALSE(CloseLossEpisode(state, &f)); // closed once
}

// Feeds the engine one pass after another: letters[hop] is that hop's echo of each pass, made
// at second pass. A space skips the hop in that pass.
void FeedPasses(const char* const* hops, int hopCount) {
    for (int pass = 0; hops[0][pass]; pass++)
        for (int hop = 0; hop < hopCount; hop++)
            if (hops[hop][pass] != ' ')
                RecordEpisodeEcho(hop, pass, hops[hop][pass] == 'A', 20);
}

std::string EventKinds() {
    std::string kinds;
    for (int i = 0; i < TraceEventCount(); i++)
        kinds += "LSAR"[static_cast<int>(TraceEventAt(i).Kind)];
    return kinds;
}

struct PassedOnCase {
    const char* name;
    const char* hops[3];   // hop 2 is the destination
    const char* kinds;     // L episode, S silent, A answers again
    int notPassedOn;       // of the first event, hop 0's episode
};

TEST(HopEvents, EpisodesSayWhetherTheLossWasPassedOn) {
    const PassedOnCase cases[] = {
        {"later hops lost nothing", {"AxxxAAAAAA", "AAAAAAAAAA", "AAAAAAAAAA"}, "L", 1},
        {"the destination lost one then", {"AxxxAAAAAA", "AAAAAAAAAA", "AAxAAAAAAA"}, "L", 0},
        {"the next hop lost one at its end", {"AxxxAAAAAA", "AAAAxAAAAA", "AAAAAAAAAA"}, "L", 0},
        {"a loss after the end is not its", {"AxxxAAAAAA", "AAAAAxAAAA", "AAAAAAAAAA"}, "L", 1},
        {"no later hop was pinged", {"AxxxAAAAAA", "          ", "          "}, "L", 0},
        {"the destination's own", {"AAAAAAAAAA", "AAAAAAAAAA", "AxxxAAAAAA"}, "LSA", 0},
    };
    for (const PassedOnCase& c : cases) {
        StartHopEvents();
        SetEventHops(3, 2);
        FeedPasses(c.hops, 3);
        ASSERT_EQ(EventKinds(), c.kinds) << c.name;
        const TraceEvent& episode = TraceEventAt(0);
        EXPECT_EQ(episode.Open, 0) << c.name;
        EXPECT_EQ(episode.NotPassedOn, c.notPassedOn) << c.name;
        EXPECT_EQ(episode.StartSecond, 1u) << c.name;
        EXPECT_EQ(episode.EndSecond, 4u) << c.name;
        EXPECT_EQ(episode.Sent, 3u) << c.name;
        EXPECT_EQ(episode.Lost, 3u) << c.name;
    }
    StopHopEvents();
}

TEST(HopEvents, DestinationEventsAndStopCloseTheEpisode) {
    StartHopEvents();
    SetEventHops(2, 1);
    const char* hops[] = {"AAAAAA", "AAxxxx"};
    FeedPasses(hops, 2);
    ASSERT_EQ(EventKinds(), "LS");
    EXPECT_EQ(TraceEventAt(0).Open, 1);
    EXPECT_EQ(TraceEventAt(0).EndSecond, 5u); // updated with every echo while it runs
    EXPECT_EQ(TraceEventAt(1).StartSecond, 2u);
    uint32_t version = TraceEventsVersion();
    StopHopEvents();
    EXPECT_NE(TraceEventsVersion(), version);
    const TraceEvent& episode = TraceEventAt(0);
    EXPECT_EQ(episode.Open, 0);
    EXPECT_EQ(episode.StartSecond, 2u);
    EXPECT_EQ(episode.EndSecond, 5u);
    EXPECT_EQ(episode.Lost, 4u);
    // The echo out at Stop is counted after it: it makes no event.
    RecordEpisodeEcho(1, 6, true, 20);
    for (int i = 7; i < 12; i++)
        RecordEpisodeEcho(1, i, false, 0);
    EXPECT_EQ(EventKinds(), "LS");
    // Hops the ping cycle does not have, and the probe's -1, are never recorded.
    StartHopEvents();
    SetEventHops(2, -1);
    for (int i = 0; i < 5; i++) {
        RecordEpisodeEcho(-1, i, false, 0);
        RecordEpisodeEcho(2, i, false, 0);
    }
    EXPECT_EQ(TraceEventCount(), 0);
    StopHopEvents();
}

TEST(TraceEvents, TheRingKeepsTheNewestThousand) {
    ClearTraceEvents();
    for (uint32_t i = 0; i < 1001; i++)
        AddTraceEvent(TraceEventKind::RouteChange, 1, i);
    EXPECT_EQ(TraceEventCount(), 1000);
    EXPECT_EQ(TraceEventsSinceStart(), 1001u);
    EXPECT_EQ(TraceEventsDropped(), 1u);
    EXPECT_EQ(TraceEventAt(0).StartSecond, 1u);
    EXPECT_EQ(TraceEventAt(999).StartSecond, 1000u);
    // By serial: the first was let go, the newest and the oldest kept are found.
    EXPECT_EQ(KeptTraceEvent(1), nullptr);
    ASSERT_NE(KeptTraceEvent(2), nullptr);
    EXPECT_EQ(KeptTraceEvent(2)->StartSecond, 1u);
    EXPECT_EQ(KeptTraceEvent(1001)->StartSecond, 1000u);
    EXPECT_EQ(KeptTraceEvent(1002), nullptr);
    ClearTraceEvents();
    EXPECT_EQ(TraceEventCount(), 0);
    EXPECT_EQ(TraceEventsDropped(), 0u);
    EXPECT_EQ(KeptTraceEvent(1001), nullptr);
}

} // namespace
