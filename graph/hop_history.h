// One hop's echoes over time: rings of one-second and one-minute buckets, filled where the echo is
// counted, and what a span of them adds up to (platform-free).
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    kSecondBuckets = 3600, // the last hour
    kMinuteBuckets = 1440, // the last day
};

// The echoes completed in one second (or minute) of the trace. RTTs are in milliseconds.
struct EchoBucket {
    uint32_t key; // the second (or minute) since the trace started, plus 1; 0: never filled
    uint32_t sent;
    uint32_t answered;
    uint32_t minRtt, maxRtt; // of the answered echoes
    uint32_t differences;    // answered echoes that followed an earlier answer of the hop
    uint64_t rttSum;
    uint64_t rttSquares;
    uint64_t differenceSum; // |RTT - the RTT of the answer before it|, summed
};

// All zero bytes are an empty history, so memory that comes zeroed needs no construction. A slot
// holds the latest second (or minute) that maps to it; an older key reads as empty.
struct HopHistory {
    EchoBucket seconds[kSecondBuckets];
    EchoBucket minutes[kMinuteBuckets];
    uint32_t answeredBefore; // 1 once the hop has answered
    uint32_t lastRtt;        // of its latest answer
    uint32_t latestKey;      // the latest second with an echo, plus 1; 0: none yet
};

// RTTs above this are kept as this (no echo waits that long), so that a day's squares fit.
enum : uint32_t { kLongestBucketRtt = 1000000 };

// Counts one echo completed in the given second of the trace, answered or lost.
void RecordEcho(HopHistory& history, uint32_t second, bool answered, uint32_t rtt);

// The spans the graph shows, each ending with a given second of the trace.
enum class GraphSpan { Minute, TenMinutes, Hour, Day };
enum { kGraphSpanCount = 4 };
// How many buckets a span covers (60, 600, 3600 seconds, or 1440 minutes) and how many seconds
// one of them holds (1, or 60 for the day).
int SpanBucketCount(GraphSpan span);
int SpanBucketSeconds(GraphSpan span);
// The span's name on the selector: "1 min", "10 min", "1 h", "24 h".
const char* SpanName(GraphSpan span);

// What a run of buckets adds up to.
struct SpanFigures {
    uint64_t sent, answered;
    uint32_t minRtt, maxRtt; // minRtt 0xFFFFFFFF while nothing was answered
    uint64_t rttSum, rttSquares;
    uint64_t differences, differenceSum;
};
// Figures of nothing: no echo, no RTT.
SpanFigures EmptySpanFigures();
// The figures of the span that ends with endSecond (its last second, or the minute that holds it).
SpanFigures SumSpan(const HopHistory& history, GraphSpan span, uint32_t endSecond);

// The share lost in percent (0 when nothing was sent), the average RTT, the jitter (the mean
// absolute difference of successive RTTs) and the standard deviation of the RTTs, in ms; the
// last three are 0 without answers (jitter: without two successive answers).
double SpanLossPercent(const SpanFigures& figures);
double SpanAverageRtt(const SpanFigures& figures);
double SpanJitter(const SpanFigures& figures);
double SpanStdDev(const SpanFigures& figures);

// The figures line under the graph: sent, lost, min / avg / max, jitter and standard deviation,
// into text (size bytes, always terminated). Returns text.
char* FormatSpanFigures(const SpanFigures& figures, char* text, size_t size);

// The span cut into columns of pixels, oldest first: column c holds the buckets that fall in it
// (at least one; where there are fewer buckets than columns, a bucket fills several).
void BinSpan(const HopHistory& history, GraphSpan span, uint32_t endSecond, SpanFigures* columns,
             int columnCount);
