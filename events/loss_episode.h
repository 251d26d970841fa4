// The loss episode rule: when a hop's lost echoes make an episode, and when it ends
// (platform-free, fixed-size state per hop, nothing allocated).
#pragma once
#include <cstdint>

// An episode starts with the lost echo that makes 3 lost in a row, or 4 lost among the hop's
// last 20; it starts at the second of the oldest lost echo among those 20. It ends with the 5th
// answer in a row, and its end is the second of the first of those answers: the moment the hop
// answered again. Its echoes are those from its first lost echo to its last one, the answers
// between them included; while it runs, every echo so far.
enum {
    kEpisodeLostInRow = 3,
    kEpisodeLostInWindow = 4,
    kEpisodeWindow = 20,
    kEpisodeEndAnswers = 5,
};

struct EpisodeFigures {
    uint32_t start, end; // trace seconds
    uint32_t sent, lost;
    uint32_t worstRtt; // ms, the longest answer among its echoes; 0 when none answered
};

enum class EpisodeStep : uint8_t {
    None,    // no episode runs, and none started
    Started, // this echo started one
    Grew,    // one runs, and this echo is counted in it
    Ended,   // this echo was the last answer of the run that ends it
};

// One hop's state. Outside an episode it keeps the last kEpisodeWindow echoes; inside one, its
// figures through the last lost echo and the answers since.
struct LossEpisode {
    uint32_t seconds[kEpisodeWindow];
    uint32_t rtts[kEpisodeWindow]; // kLostEcho for a lost echo
    uint8_t newest;                // the window's slot of the newest echo
    uint8_t count;                 // echoes in the window
    uint8_t open;                  // an episode runs
    uint8_t answerRun;             // answers in a row since its last lost echo
    EpisodeFigures kept;           // through its last lost echo
    uint32_t answersSince, worstSince, firstAnswerSecond, lastSecond;
};

// A hop with no echo yet (zeroed memory is the same).
void ResetLossEpisode(LossEpisode& state);
// Counts one echo of the hop, made at second (seconds never go back).
EpisodeStep NoteEpisodeEcho(LossEpisode& state, uint32_t second, bool answered, uint32_t rtt);
// The episode's figures: while it runs, through the latest echo (its end that echo's second);
// right after Ended, the episode that ended.
EpisodeFigures EpisodeNow(const LossEpisode& state);
// Stop: an episode still running ends at the latest echo's second with every echo so far
// counted. False, and nothing written, when none runs.
bool CloseLossEpisode(LossEpisode& state, EpisodeFigures* figures);
