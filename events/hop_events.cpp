// The loss episodes of every hop, kept as events: each echo runs the episode rule, an episode's
// event is updated in place while it runs, and at its end the later hops' losses decide whether
// it was passed on.
#include "events/hop_events.h"
#include "events/loss_episode.h"
#include "events/trace_events.h"
#include <cstring>

// The newest lost echoes' seconds a hop keeps for the hops before it to look at: their episodes
// end 5 answers after their last loss, so a few are enough to reach back to an episode's start.
enum { kLossRecordSize = 16 };

struct HopEventState {
    LossEpisode rule;
    uint32_t episodeSerial; // the open episode's event (KeptTraceEvent), 0 when none
    uint32_t lostSeconds[kLossRecordSize];
    uint8_t newestLost, lostCount;
    uint8_t echoed; // the hop has made an echo since Start
    uint32_t firstEchoSecond, lastEchoSecond;
};

// Static storage for every hop a round can ping: nothing is allocated per echo or per trace.
static HopEventState Hops[kEventHopCapacity];
static int HopsSet;         // hops of the ping cycle; 0 until it starts
static int DestinationHop;  // -1 when the destination is not among them
static bool Recording;      // from the ping cycle's start to Stop

void StartHopEvents() {
    ClearTraceEvents();
    std::memset(Hops, 0, sizeof Hops);
    HopsSet = 0;
    DestinationHop = -1;
    Recording = true;
}

void SetEventHops(int count, int destinationHop) {
    HopsSet = count < kEventHopCapacity ? count : kEventHopCapacity;
    DestinationHop = destinationHop < HopsSet ? destinationHop : -1;
}

static void NoteLoss(HopEventState& hop, uint32_t second) {
    if (hop.lostCount)
        hop.newestLost = static_cast<uint8_t>((hop.newestLost + 1) % kLossRecordSize);
    hop.lostSeconds[hop.newestLost] = second;
    if (hop.lostCount < kLossRecordSize)
        ++hop.lostCount;
}

// Whether the hop lost an echo between first and last; true too when its record no longer
// reaches back that far, as the loss may have been among those let go.
static bool LostBetween(const HopEventState& hop, uint32_t first, uint32_t last) {
    uint32_t oldest = hop.lostSeconds[(hop.newestLost + 1) % kLossRecordSize];
    if (hop.lostCount == kLossRecordSize && oldest > first)
        return true;
    for (int i = 0; i < hop.lostCount; i++)
        if (hop.lostSeconds[i] >= first && hop.lostSeconds[i] <= last)
            return true;
    return false;
}

bool LossNotPassedOn(int hop, uint32_t first, uint32_t last) {
    bool anyPinged = false;
    for (int later = hop + 1; later < HopsSet; later++) {
        const HopEventState& state = Hops[later];
        // A hop pinged then: its echoes began by the episode's end and went on to its start.
        if (!state.echoed || state.firstEchoSecond > last || state.lastEchoSecond < first)
            continue;
        if (LostBetween(state, first, last))
            return false;
        anyPinged = true;
    }
    return anyPinged;
}

static void WriteEpisode(TraceEvent& event, const EpisodeFigures& figures) {
    event.StartSecond = figures.start;
    event.EndSecond = figures.end;
    event.Sent = figures.sent;
    event.Lost = figures.lost;
    event.WorstRtt = figures.worstRtt;
}

static void OpenEpisodeEvent(int hop, HopEventState& state) {
    EpisodeFigures figures = EpisodeNow(state.rule);
    TraceEvent& event = AddTraceEvent(TraceEventKind::LossEpisode, hop, figures.start);
    WriteEpisode(event, figures);
    event.Open = 1;
    state.episodeSerial = TraceEventsSinceStart();
    if (hop == DestinationHop)
        AddTraceEvent(TraceEventKind::DestinationSilent, hop, figures.start);
}

// Writes the episode's figures into its event, if the ring still keeps it; closed, also whether
// its loss was passed on.
static void UpdateEpisodeEvent(int hop, HopEventState& state, const EpisodeFigures& figures,
                               bool closed) {
    if (TraceEvent* event = KeptTraceEvent(state.episodeSerial)) {
        WriteEpisode(*event, figures);
        if (closed) {
            event->Open = 0;
            event->NotPassedOn = LossNotPassedOn(hop, figures.start, figures.end) ? 1 : 0;
        }
        TouchTraceEvents();
    }
    if (closed)
        state.episodeSerial = 0;
}

void RecordEpisodeEcho(int hop, uint32_t second, bool answered, uint32_t rtt) {
    if (!Recording || hop < 0 || hop >= HopsSet)
        return;
    HopEventState& state = Hops[hop];
    if (!state.echoed)
        state.firstEchoSecond = second;
    state.echoed = 1;
    state.lastEchoSecond = second;
    if (!answered)
        NoteLoss(state, second);
    switch (NoteEpisodeEcho(state.rule, second, answered, rtt)) {
    case EpisodeStep::None:
        break;
    case EpisodeStep::Started:
        OpenEpisodeEvent(hop, state);
        break;
    case EpisodeStep::Grew:
        UpdateEpisodeEvent(hop, state, EpisodeNow(state.rule), false);
        break;
    case EpisodeStep::Ended: {
        EpisodeFigures figures = EpisodeNow(state.rule);
        UpdateEpisodeEvent(hop, state, figures, true);
        if (hop == DestinationHop)
            AddTraceEvent(TraceEventKind::DestinationAnswers, hop, figures.end);
        break;
    }
    }
}

void StopHopEvents() {
    if (!Recording)
        return;
    Recording = false;
    for (int hop = 0; hop < HopsSet; hop++) {
        EpisodeFigures figures;
        if (CloseLossEpisode(Hops[hop].rule, &figures))
            UpdateEpisodeEvent(hop, Hops[hop], figures, true);
    }
}
