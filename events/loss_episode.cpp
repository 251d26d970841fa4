// The loss episode rule over one hop's echoes, in fixed-size state.
#include "events/loss_episode.h"
#include <cstring>

static const uint32_t kLostEcho = 0xFFFFFFFFu;

void ResetLossEpisode(LossEpisode& state) {
    std::memset(&state, 0, sizeof state);
}

static void ClearWindow(LossEpisode& state) {
    state.newest = 0;
    state.count = 0;
}

static void PushWindow(LossEpisode& state, uint32_t second, uint32_t rtt) {
    if (state.count)
        state.newest = static_cast<uint8_t>((state.newest + 1) % kEpisodeWindow);
    state.seconds[state.newest] = second;
    state.rtts[state.newest] = rtt;
    if (state.count < kEpisodeWindow)
        ++state.count;
}

// The window's echo age steps before the newest (0: the newest).
static int WindowSlot(const LossEpisode& state, int age) {
    return (state.newest + kEpisodeWindow - age) % kEpisodeWindow;
}

// Whether the window, whose newest echo is lost, meets the rule; if so, the episode's figures
// from the oldest lost echo in it.
static bool WindowStartsEpisode(LossEpisode& state) {
    int lost = 0, inRow = 0, oldestLost = 0;
    bool run = true;
    for (int age = 0; age < state.count; age++) {
        bool isLost = state.rtts[WindowSlot(state, age)] == kLostEcho;
        if (isLost) {
            ++lost;
            oldestLost = age;
        }
        run = run && isLost;
        if (run)
            ++inRow;
    }
    if (inRow < kEpisodeLostInRow && lost < kEpisodeLostInWindow)
        return false;
    EpisodeFigures& kept = state.kept;
    kept = EpisodeFigures{state.seconds[WindowSlot(state, oldestLost)], 0, 0, 0, 0};
    for (int age = oldestLost; age >= 0; age--) {
        uint32_t rtt = state.rtts[WindowSlot(state, age)];
        ++kept.sent;
        if (rtt == kLostEcho)
            ++kept.lost;
        else if (rtt > kept.worstRtt)
            kept.worstRtt = rtt;
    }
    kept.end = state.lastSecond;
    return true;
}

EpisodeStep NoteEpisodeEcho(LossEpisode& state, uint32_t second, bool answered, uint32_t rtt) {
    state.lastSecond = second;
    if (!state.open) {
        PushWindow(state, second, answered ? rtt : kLostEcho);
        if (answered || !WindowStartsEpisode(state))
            return EpisodeStep::None;
        state.open = 1;
        state.answerRun = 0;
        state.answersSince = state.worstSince = 0;
        return EpisodeStep::Started;
    }
    if (!answered) { // the answers since the last lost echo belong to the episode now
        state.kept.sent += state.answersSince + 1;
        state.kept.lost += 1;
        if (state.worstSince > state.kept.worstRtt)
            state.kept.worstRtt = state.worstSince;
        state.kept.end = second;
        state.answerRun = 0;
        state.answersSince = state.worstSince = 0;
        return EpisodeStep::Grew;
    }
    if (state.answerRun++ == 0)
        state.firstAnswerSecond = second;
    ++state.answersSince;
    if (rtt > state.worstSince)
        state.worstSince = rtt;
    if (state.answerRun < kEpisodeEndAnswers)
        return EpisodeStep::Grew;
    state.open = 0;
    state.kept.end = state.firstAnswerSecond;
    ClearWindow(state); // a new episode needs losses of its own
    return EpisodeStep::Ended;
}

EpisodeFigures EpisodeNow(const LossEpisode& state) {
    EpisodeFigures figures = state.kept;
    if (state.open) {
        figures.sent += state.answersSince;
        if (state.worstSince > figures.worstRtt)
            figures.worstRtt = state.worstSince;
        figures.end = state.lastSecond;
    }
    return figures;
}

bool CloseLossEpisode(LossEpisode& state, EpisodeFigures* figures) {
    if (!state.open)
        return false;
    *figures = EpisodeNow(state);
    state.open = 0;
    ClearWindow(state);
    return true;
}
