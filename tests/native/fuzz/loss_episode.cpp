// The loss episode rule over any run of echoes, checked against a slow reading of the whole
// history: each byte is one echo, a second after the one before it or (high bit) in the same
// second, answered when bit 0 is set, with its other bits as the round-trip time. The rule in
// fixed state must start and end each episode where the history says, with the same figures.
#include "events/loss_episode.h"
#include "fuzz_check.h"
#include <cstdint>
#include <vector>

namespace {

struct Echo {
    uint32_t second;
    bool answered;
    uint32_t rtt;
};

// The slow reading: the echoes since the last episode ended (a window no older than that), and
// the episode running, as indexes into the history.
struct Reference {
    std::vector<Echo> echoes;
    size_t since = 0; // the first echo that may start an episode
    bool open = false;
    size_t first = 0, lastLost = 0;
    EpisodeFigures ended = {};

    EpisodeFigures Figures(size_t through) const {
        EpisodeFigures f = {echoes[first].second, echoes[through].second, 0, 0, 0};
        for (size_t i = first; i <= through; i++) {
            ++f.sent;
            if (!echoes[i].answered)
                ++f.lost;
            else if (echoes[i].rtt > f.worstRtt)
                f.worstRtt = echoes[i].rtt;
        }
        return f;
    }

    EpisodeStep Note(const Echo& echo) {
        echoes.push_back(echo);
        size_t now = echoes.size() - 1;
        if (!open) {
            if (echo.answered)
                return EpisodeStep::None;
            size_t from = now + 1 >= kEpisodeWindow ? now + 1 - kEpisodeWindow : 0;
            if (from < since)
                from = since;
            size_t lost = 0, inRow = 0;
            for (size_t i = from; i <= now; i++)
                if (!echoes[i].answered)
                    ++lost;
            for (size_t i = now + 1; i-- > from && !echoes[i].answered;)
                ++inRow;
            if (inRow < kEpisodeLostInRow && lost < kEpisodeLostInWindow)
                return EpisodeStep::None;
            open = true;
            first = from;
            while (echoes[first].answered)
                ++first;
            lastLost = now;
            return EpisodeStep::Started;
        }
        if (!echo.answered) {
            lastLost = now;
            return EpisodeStep::Grew;
        }
        if (now - lastLost < kEpisodeEndAnswers)
            return EpisodeStep::Grew;
        open = false;
        since = now + 1;
        ended = Figures(lastLost);
        ended.end = echoes[lastLost + 1].second;
        return EpisodeStep::Ended;
    }
};

bool Same(const EpisodeFigures& a, const EpisodeFigures& b) {
    return a.start == b.start && a.end == b.end && a.sent == b.sent && a.lost == b.lost &&
           a.worstRtt == b.worstRtt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LossEpisode state;
    ResetLossEpisode(state);
    Reference reference;
    uint32_t second = 0;
    for (size_t i = 0; i < size; i++) {
        if (!(data[i] & 0x80))
            ++second;
        Echo echo = {second, (data[i] & 1) != 0, static_cast<uint32_t>(data[i] & 0x7E)};
        EpisodeStep step = NoteEpisodeEcho(state, echo.second, echo.answered, echo.rtt);
        FUZZ_CHECK(step == reference.Note(echo));
        FUZZ_CHECK((state.open != 0) == reference.open);
        if (reference.open)
            FUZZ_CHECK(Same(EpisodeNow(state), reference.Figures(reference.echoes.size() - 1)));
        if (step == EpisodeStep::Ended)
            FUZZ_CHECK(Same(EpisodeNow(state), reference.ended));
    }
    EpisodeFigures closed;
    bool wasOpen = reference.open;
    FUZZ_CHECK(CloseLossEpisode(state, &closed) == wasOpen);
    if (wasOpen) {
        FUZZ_CHECK(Same(closed, reference.Figures(reference.echoes.size() - 1)));
        FUZZ_CHECK(closed.start <= closed.end && closed.lost >= 1 && closed.lost <= closed.sent);
    }
    FUZZ_CHECK(!CloseLossEpisode(state, &closed));
    return 0;
}
