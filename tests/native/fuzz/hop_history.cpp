// A hop's history fed any echoes (each: a step in seconds, answered or not, an RTT), then a span
// read from it: the columns add up to the span, whose figures are in order (min <= avg <= max,
// loss 0 ... 100, jitter and deviation finite); the day's totals are every echo recorded within
// it; the RTT axis has 3 to 5 gridlines above the highest RTT; the figures line fits its buffer.
#include "fuzz_check.h"
#include "graph/graph_axes.h"
#include "graph/hop_history.h"
#include <cmath>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    GraphSpan span = static_cast<GraphSpan>(data[0] % kGraphSpanCount);
    int columnCount = 1 + data[1] * 2; // 1 ... 511: fewer and more than a minute's buckets
    data += 2, size -= 2;
    // One history, emptied after each run where the run filled it: a run stays quick.
    static HopHistory* history = new HopHistory();
    const uint8_t* records = data;
    size_t recordBytes = size;
    uint32_t second = 0;
    uint64_t sent = 0, answered = 0;
    for (; size >= 5; data += 5, size -= 5) {
        uint32_t rtt;
        memcpy(&rtt, data + 1, sizeof rtt);
        second += data[0] >> 1; // up to two minutes apart, never back
        bool answer = data[0] & 1;
        RecordEcho(*history, second, answer, rtt);
        sent++, answered += answer;
    }
    SpanFigures figures = SumSpan(*history, span, second);
    if (span == GraphSpan::Day && second < kMinuteBuckets * 60 - 60) // every echo within the day
        FUZZ_CHECK(figures.sent == sent && figures.answered == answered);
    static SpanFigures columns[512];
    BinSpan(*history, span, second, columns, columnCount);
    if (columnCount <= SpanBucketCount(span)) {
        uint64_t columnSent = 0;
        for (int c = 0; c < columnCount; c++)
            columnSent += columns[c].sent;
        FUZZ_CHECK(columnSent == figures.sent);
    }
    double loss = SpanLossPercent(figures);
    FUZZ_CHECK(loss >= 0 && loss <= 100);
    if (figures.answered) {
        double average = SpanAverageRtt(figures);
        FUZZ_CHECK(figures.minRtt <= average + 1e-6 && average <= figures.maxRtt + 1e-6);
        FUZZ_CHECK(std::isfinite(SpanJitter(figures)) && SpanJitter(figures) >= 0);
        FUZZ_CHECK(std::isfinite(SpanStdDev(figures)) && SpanStdDev(figures) >= 0);
        RttAxis axis = NiceRttAxis(figures.maxRtt);
        FUZZ_CHECK(axis.lines >= 3 && axis.lines <= 5);
        FUZZ_CHECK(axis.top >= figures.maxRtt && axis.step > 0);
    }
    char text[64];
    FormatSpanFigures(figures, text, sizeof text);
    FUZZ_CHECK(strlen(text) < sizeof text);
    second = 0;
    for (; recordBytes >= 5; records += 5, recordBytes -= 5) {
        second += records[0] >> 1;
        history->seconds[second % kSecondBuckets] = EchoBucket{};
        history->minutes[second / 60 % kMinuteBuckets] = EchoBucket{};
    }
    history->answeredBefore = history->lastRtt = history->latestKey = 0;
    return 0;
}
