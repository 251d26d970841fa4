// The buckets of a hop's history: filling them per echo, adding up a span, cutting it into columns.
#include "graph/hop_history.h"
#include "common/bounded_text.h"
#include <algorithm>
#include <cmath>

namespace {

const uint32_t kNoRtt = 0xFFFFFFFFu;

struct SpanShape {
    int buckets;
    int seconds; // in one bucket
    const char* name;
};
const SpanShape kSpans[kGraphSpanCount] = {
    {60, 1, "1 min"},
    {600, 1, "10 min"},
    {kSecondBuckets, 1, "1 h"},
    {kMinuteBuckets, 60, "24 h"},
};

const SpanShape& Shape(GraphSpan span) {
    unsigned index = static_cast<unsigned>(span);
    return kSpans[index < kGraphSpanCount ? index : 0];
}

// The bucket for unit (a second or a minute) in a ring: emptied first when it held an older one;
// nullptr when it already holds a newer one (the echo is older than the ring reaches).
EchoBucket* BucketFor(EchoBucket* ring, int size, uint32_t unit) {
    EchoBucket& bucket = ring[unit % size];
    uint32_t key = unit + 1;
    if (bucket.key == key)
        return &bucket;
    if (bucket.key > key && bucket.key != 0)
        return nullptr;
    bucket = EchoBucket{};
    bucket.key = key;
    bucket.minRtt = kNoRtt;
    return &bucket;
}

void Count(EchoBucket* bucket, bool answered, uint32_t rtt, bool follows, uint32_t difference) {
    if (!bucket)
        return;
    bucket->sent++;
    if (!answered)
        return;
    bucket->answered++;
    if (rtt < bucket->minRtt)
        bucket->minRtt = rtt;
    if (rtt > bucket->maxRtt)
        bucket->maxRtt = rtt;
    bucket->rttSum += rtt;
    bucket->rttSquares += static_cast<uint64_t>(rtt) * rtt;
    if (follows) {
        bucket->differences++;
        bucket->differenceSum += difference;
    }
}

void Add(SpanFigures& figures, const EchoBucket& bucket) {
    figures.sent += bucket.sent;
    figures.answered += bucket.answered;
    if (bucket.answered) {
        if (bucket.minRtt < figures.minRtt)
            figures.minRtt = bucket.minRtt;
        if (bucket.maxRtt > figures.maxRtt)
            figures.maxRtt = bucket.maxRtt;
    }
    figures.rttSum += bucket.rttSum;
    figures.rttSquares += bucket.rttSquares;
    figures.differences += bucket.differences;
    figures.differenceSum += bucket.differenceSum;
}

// The span's buckets: index 0 is the oldest; an index before the trace began, or a slot that
// holds another unit, is empty (nullptr).
struct SpanReader {
    const EchoBucket* ring;
    int size;
    int64_t firstUnit; // the unit of index 0; negative units lie before the trace

    SpanReader(const HopHistory& history, GraphSpan span, uint32_t endSecond) {
        const SpanShape& shape = Shape(span);
        bool minutes = shape.seconds > 1;
        ring = minutes ? history.minutes : history.seconds;
        size = minutes ? kMinuteBuckets : kSecondBuckets;
        int64_t lastUnit = endSecond / static_cast<uint32_t>(shape.seconds);
        firstUnit = lastUnit - shape.buckets + 1;
    }
    const EchoBucket* At(int64_t index) const {
        int64_t unit = firstUnit + index;
        if (unit < 0)
            return nullptr;
        const EchoBucket& bucket = ring[unit % size];
        return bucket.key == unit + 1 ? &bucket : nullptr;
    }
};

} // namespace

void RecordEcho(HopHistory& history, uint32_t second, bool answered, uint32_t rtt) {
    if (rtt > kLongestBucketRtt)
        rtt = kLongestBucketRtt;
    bool follows = answered && history.answeredBefore;
    uint32_t difference = rtt > history.lastRtt ? rtt - history.lastRtt : history.lastRtt - rtt;
    Count(BucketFor(history.seconds, kSecondBuckets, second), answered, rtt, follows, difference);
    Count(BucketFor(history.minutes, kMinuteBuckets, second / 60), answered, rtt, follows,
          difference);
    if (answered) {
        history.answeredBefore = 1;
        history.lastRtt = rtt;
    }
    if (second + 1 > history.latestKey)
        history.latestKey = second + 1;
}

SpanFigures EmptySpanFigures() {
    SpanFigures figures = {};
    figures.minRtt = kNoRtt;
    return figures;
}

int SpanBucketCount(GraphSpan span) {
    return Shape(span).buckets;
}

int SpanBucketSeconds(GraphSpan span) {
    return Shape(span).seconds;
}

const char* SpanName(GraphSpan span) {
    return Shape(span).name;
}

// The buckets of units first ... last of a ring (seconds or minutes of the trace; units before it,
// and slots that hold another unit, are empty).
static void AddUnits(const EchoBucket* ring, int size, int64_t first, int64_t last,
                     SpanFigures& figures) {
    for (int64_t unit = std::max<int64_t>(first, 0); unit <= last; unit++) {
        const EchoBucket& bucket = ring[unit % size];
        if (bucket.key == unit + 1)
            Add(figures, bucket);
    }
}

SpanFigures SumSpan(const HopHistory& history, GraphSpan span, uint32_t endSecond) {
    const SpanShape& shape = Shape(span);
    SpanFigures figures = EmptySpanFigures();
    if (shape.seconds > 1) {
        int64_t last = endSecond / shape.seconds;
        AddUnits(history.minutes, kMinuteBuckets, last - shape.buckets + 1, last, figures);
        return figures;
    }
    // The whole minutes inside the span are read from the minute ring, which holds each minute's
    // echoes too: an hour takes 60 reads and the seconds at its two ends, not 3,600.
    int64_t last = endSecond, first = last - shape.buckets + 1;
    int64_t firstMinute = first <= 0 ? 0 : (first + 59) / 60, endMinute = (last + 1) / 60;
    if (firstMinute >= endMinute) {
        AddUnits(history.seconds, kSecondBuckets, first, last, figures);
        return figures;
    }
    AddUnits(history.seconds, kSecondBuckets, first, firstMinute * 60 - 1, figures);
    AddUnits(history.minutes, kMinuteBuckets, firstMinute, endMinute - 1, figures);
    AddUnits(history.seconds, kSecondBuckets, endMinute * 60, last, figures);
    return figures;
}

void BinSpan(const HopHistory& history, GraphSpan span, uint32_t endSecond, SpanFigures* columns,
             int columnCount) {
    SpanReader reader(history, span, endSecond);
    const int64_t buckets = SpanBucketCount(span);
    for (int c = 0; c < columnCount; c++) {
        columns[c] = EmptySpanFigures();
        int64_t first = c * buckets / columnCount;
        int64_t end = (c + 1) * buckets / columnCount;
        if (end <= first)
            end = first + 1;
        for (int64_t i = first; i < end; i++)
            if (const EchoBucket* bucket = reader.At(i))
                Add(columns[c], *bucket);
    }
}

double SpanLossPercent(const SpanFigures& figures) {
    if (figures.sent == 0)
        return 0;
    return 100.0 * static_cast<double>(figures.sent - figures.answered) / figures.sent;
}

double SpanAverageRtt(const SpanFigures& figures) {
    return figures.answered ? static_cast<double>(figures.rttSum) / figures.answered : 0;
}

double SpanJitter(const SpanFigures& figures) {
    if (figures.differences == 0)
        return 0;
    return static_cast<double>(figures.differenceSum) / figures.differences;
}

double SpanStdDev(const SpanFigures& figures) {
    if (figures.answered == 0)
        return 0;
    double mean = SpanAverageRtt(figures);
    double variance = static_cast<double>(figures.rttSquares) / figures.answered - mean * mean;
    return variance > 0 ? std::sqrt(variance) : 0; // rounding may leave a tiny negative
}

char* FormatSpanFigures(const SpanFigures& figures, char* text, size_t size) {
    double sent = static_cast<double>(figures.sent);
    double lost = SpanLossPercent(figures);
    if (figures.answered == 0)
        return FormatText(text, size,
                          "Sent %.0f   Lost %.1f%%   Min / Avg / Max - / - / - ms   Jitter - ms   "
                          "StDev - ms",
                          sent, lost);
    return FormatText(text, size,
                      "Sent %.0f   Lost %.1f%%   Min / Avg / Max %lu / %.1f / %lu ms   Jitter %.1f "
                      "ms   StDev %.1f ms",
                      sent, lost, static_cast<unsigned long>(figures.minRtt),
                      SpanAverageRtt(figures), static_cast<unsigned long>(figures.maxRtt),
                      SpanJitter(figures), SpanStdDev(figures));
}
