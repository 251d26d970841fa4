// The session file's bytes: written field by field in little-endian order, and read back with
// every length checked against what is left before it is used.
#include "session/session_format.h"
#include <cstring>

namespace {

const unsigned char kMagic[8] = {'R', 'L', 'S', 'E', 'S', 'S', 'N', 0x1A};
const size_t kHeaderSize = 16, kTrailerSize = 4, kBucketSize = 48;

// Numbers go into a small array first and join the file in one append.
void PutU8(std::string& out, uint8_t value) {
    out.push_back(static_cast<char>(value));
}
void Encode(char* at, uint64_t value, int size) {
    for (int i = 0; i < size; i++)
        at[i] = static_cast<char>(value >> (8 * i));
}
void PutU16(std::string& out, uint16_t value) {
    char bytes[2];
    Encode(bytes, value, 2);
    out.append(bytes, 2);
}
void PutU32(std::string& out, uint32_t value) {
    char bytes[4];
    Encode(bytes, value, 4);
    out.append(bytes, 4);
}
void PutU64(std::string& out, uint64_t value) {
    char bytes[8];
    Encode(bytes, value, 8);
    out.append(bytes, 8);
}
// A text cut to capacity bytes with its terminator, which is counted in its length.
void PutText(std::string& out, const std::string& text, size_t capacity) {
    size_t length = strnlen(text.c_str(), capacity - 1);
    PutU16(out, static_cast<uint16_t>(length + 1));
    out.append(text.c_str(), length);
    PutU8(out, 0);
}
// A ring's filled buckets, oldest first: the ring is walked once from its oldest key, which keys
// being within one turn of the ring puts in order.
void PutRing(std::string& out, const EchoBucket* ring, int size) {
    uint32_t count = 0;
    int oldest = 0;
    for (int i = 0; i < size; i++) {
        if (ring[i].key == 0)
            continue;
        if (count == 0 || ring[i].key < ring[oldest].key)
            oldest = i;
        count++;
    }
    PutU32(out, count);
    for (int n = 0; n < size && count > 0; n++) {
        const EchoBucket& b = ring[(oldest + n) % size];
        if (b.key == 0)
            continue;
        char bytes[kBucketSize];
        Encode(bytes, b.key, 4);
        Encode(bytes + 4, b.sent, 4);
        Encode(bytes + 8, b.answered, 4);
        Encode(bytes + 12, b.minRtt, 4);
        Encode(bytes + 16, b.maxRtt, 4);
        Encode(bytes + 20, b.differences, 4);
        Encode(bytes + 24, b.rttSum, 8);
        Encode(bytes + 32, b.rttSquares, 8);
        Encode(bytes + 40, b.differenceSum, 8);
        out.append(bytes, kBucketSize);
    }
}

// A name of an event's field, taken no further than the field.
std::string NameOf(const char (&name)[kEventNameCapacity]) {
    return std::string(name, strnlen(name, sizeof name));
}

void PutEvents(std::string& out, const Session& trace) {
    size_t count = trace.Events.size() < static_cast<size_t>(kEventCapacity)
                       ? trace.Events.size()
                       : static_cast<size_t>(kEventCapacity);
    size_t first = trace.Events.size() - count; // the newest are kept
    PutU32(out, trace.EventsSinceStart);
    PutU32(out, trace.EventsDropped);
    PutU16(out, static_cast<uint16_t>(count));
    for (size_t i = first; i < trace.Events.size(); i++) {
        const TraceEvent& e = trace.Events[i];
        PutU8(out, static_cast<uint8_t>(e.Kind));
        PutU8(out, e.Open);
        PutU8(out, e.NotPassedOn);
        PutU8(out, e.Hop);
        for (uint32_t value : {e.StartSecond, e.EndSecond, e.Sent, e.Lost, e.WorstRtt,
                               e.OldAddress, e.NewAddress})
            PutU32(out, value);
        PutText(out, NameOf(e.OldName), kEventNameCapacity);
        PutText(out, NameOf(e.NewName), kEventNameCapacity);
    }
}

// A reader over the bytes between the header and the trailer: once a field runs past the end,
// every later one reads as zero and the reader stays failed.
class Reader {
  public:
    Reader(const unsigned char* data, size_t size) : at(data), left(size) {}
    bool Failed() const { return failed; }
    size_t Left() const { return left; }
    bool Take(size_t count, const unsigned char** bytes) {
        if (failed || count > left) {
            failed = true;
            return false;
        }
        *bytes = at;
        at += count;
        left -= count;
        return true;
    }
    uint64_t Number(int size) {
        const unsigned char* bytes;
        if (!Take(static_cast<size_t>(size), &bytes))
            return 0;
        uint64_t value = 0;
        for (int i = size - 1; i >= 0; i--)
            value = value << 8 | bytes[i];
        return value;
    }
    uint8_t U8() { return static_cast<uint8_t>(Number(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Number(2)); }
    uint32_t U32() { return static_cast<uint32_t>(Number(4)); }
    uint64_t U64() { return Number(8); }

  private:
    const unsigned char* at;
    size_t left;
    bool failed = false;
};

uint32_t ReadU32At(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// A text of at most capacity bytes with its terminator, and no NUL before it.
SessionError ReadText(Reader& in, size_t capacity, std::string& text) {
    uint16_t length = in.U16();
    const unsigned char* bytes;
    if (!in.Take(length, &bytes))
        return SessionError::Truncated;
    if (length == 0 || length > capacity || bytes[length - 1] != 0 ||
        memchr(bytes, 0, length - 1) != nullptr)
        return SessionError::Malformed;
    text.assign(reinterpret_cast<const char*>(bytes), length - 1u);
    return SessionError::None;
}

// A ring's buckets: at most the ring's size, keys ascending, none past the trace's end, all
// within one turn of the ring (so each has a slot of its own), and counts that add up.
SessionError ReadBuckets(Reader& in, uint32_t ringSize, uint32_t lastKey,
                         std::vector<EchoBucket>& buckets) {
    uint32_t count = in.U32();
    if (in.Failed())
        return SessionError::Truncated;
    if (count > ringSize)
        return SessionError::Malformed;
    if (in.Left() / kBucketSize < count)
        return SessionError::Truncated;
    buckets.resize(count);
    for (EchoBucket& b : buckets) {
        b.key = in.U32();
        b.sent = in.U32();
        b.answered = in.U32();
        b.minRtt = in.U32();
        b.maxRtt = in.U32();
        b.differences = in.U32();
        b.rttSum = in.U64();
        b.rttSquares = in.U64();
        b.differenceSum = in.U64();
        if (b.sent == 0 || b.answered > b.sent || b.differences > b.answered)
            return SessionError::Malformed;
    }
    for (uint32_t i = 0; i < count; i++) {
        const EchoBucket& b = buckets[i];
        if (b.key == 0 || b.key > lastKey || (i > 0 && b.key <= buckets[i - 1].key) ||
            buckets[count - 1].key - b.key >= ringSize)
            return SessionError::TimeOrder;
    }
    return SessionError::None;
}

SessionError ReadHop(Reader& in, uint32_t endSecond, SessionHop& hop) {
    hop.Address = in.U32();
    hop.LastAddress = in.U32();
    if (SessionError error = ReadText(in, kSessionHopTextCapacity, hop.HostText);
        error != SessionError::None)
        return error;
    hop.Sent = static_cast<int32_t>(in.U32());
    hop.Received = static_cast<int32_t>(in.U32());
    hop.LastRtt = in.U32();
    hop.TotalRtt = in.U32();
    hop.MinRtt = in.U32();
    hop.MaxRtt = in.U32();
    uint8_t ignored = in.U8(), noResponse = in.U8(), hasHistory = in.U8();
    if (in.Failed())
        return SessionError::Truncated;
    if (ignored > 1 || noResponse > 1 || hasHistory > 1 || hop.Sent < 0 || hop.Received < 0 ||
        hop.Received > hop.Sent)
        return SessionError::Malformed;
    hop.Ignored = ignored, hop.NoResponse = noResponse, hop.HasHistory = hasHistory;
    if (!hop.HasHistory)
        return SessionError::None;
    hop.AnsweredBefore = in.U32();
    hop.HistoryLastRtt = in.U32();
    hop.LatestKey = in.U32();
    if (in.Failed())
        return SessionError::Truncated;
    if (hop.AnsweredBefore > 1)
        return SessionError::Malformed;
    if (hop.LatestKey > endSecond + 1ull)
        return SessionError::TimeOrder;
    if (SessionError error = ReadBuckets(in, kSecondBuckets, hop.LatestKey, hop.Seconds);
        error != SessionError::None)
        return error;
    uint32_t lastMinuteKey = hop.LatestKey ? (hop.LatestKey - 1) / 60 + 1 : 0;
    return ReadBuckets(in, kMinuteBuckets, lastMinuteKey, hop.Minutes);
}

// The events of a version 2 file: each field in its range, the counts consistent.
SessionError ReadEvents(Reader& in, Session& read) {
    read.EventsSinceStart = in.U32();
    read.EventsDropped = in.U32();
    uint16_t count = in.U16();
    if (in.Failed())
        return SessionError::Truncated;
    if (count > kEventCapacity || read.EventsDropped > read.EventsSinceStart ||
        count > read.EventsSinceStart - read.EventsDropped)
        return SessionError::Malformed;
    read.Events.resize(count);
    std::string name;
    for (TraceEvent& e : read.Events) {
        memset(&e, 0, sizeof e);
        uint8_t kind = in.U8();
        e.Open = in.U8();
        e.NotPassedOn = in.U8();
        e.Hop = in.U8();
        e.StartSecond = in.U32();
        e.EndSecond = in.U32();
        e.Sent = in.U32();
        e.Lost = in.U32();
        e.WorstRtt = in.U32();
        e.OldAddress = in.U32();
        e.NewAddress = in.U32();
        if (in.Failed())
            return SessionError::Truncated;
        if (kind > static_cast<uint8_t>(TraceEventKind::RouteChange) || e.Open > 1 ||
            e.NotPassedOn > 1 || e.Hop >= kSessionHopCapacity || e.Lost > e.Sent)
            return SessionError::Malformed;
        if (e.EndSecond < e.StartSecond)
            return SessionError::TimeOrder;
        e.Kind = static_cast<TraceEventKind>(kind);
        for (char* field : {e.OldName, e.NewName}) {
            if (SessionError error = ReadText(in, kEventNameCapacity, name);
                error != SessionError::None)
                return error;
            memcpy(field, name.c_str(), name.size() + 1);
        }
    }
    return SessionError::None;
}

} // namespace

namespace {
struct CrcTable {
    uint32_t entries[256];
    CrcTable() {
        for (uint32_t n = 0; n < 256; n++) {
            uint32_t c = n;
            for (int k = 0; k < 8; k++)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
    }
};
} // namespace

uint32_t Crc32(const unsigned char* data, size_t size) {
    static const CrcTable crcTable; // made once, safely from any thread
    const uint32_t* table = crcTable.entries;
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; i++)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void WriteSession(const SessionSource& source, std::string& out) {
    const Session& trace = *source.Trace;
    out.clear();
    // Room for every hop's full rings at once: no copy of a growing buffer.
    out.reserve(kHeaderSize + 1024 +
                source.HopCount * (1200 + (kSecondBuckets + kMinuteBuckets) * kBucketSize));
    out.append(reinterpret_cast<const char*>(kMagic), sizeof kMagic);
    PutU16(out, trace.Version);
    PutU16(out, 0);
    PutU32(out, 0); // the length, once known
    PutText(out, trace.Host, kSessionHostCapacity);
    PutU32(out, trace.Address);
    PutU64(out, static_cast<uint64_t>(trace.StartMs));
    PutU64(out, static_cast<uint64_t>(trace.EndMs));
    PutU32(out, trace.EndSecond);
    size_t setupCount = trace.Setup.size();
    if (setupCount > static_cast<size_t>(kSessionSetupCapacity))
        setupCount = kSessionSetupCapacity;
    PutU16(out, static_cast<uint16_t>(setupCount));
    for (size_t i = 0; i < setupCount; i++)
        PutU32(out, static_cast<uint32_t>(trace.Setup[i]));
    int hopCount = source.HopCount < kSessionHopCapacity ? source.HopCount : kSessionHopCapacity;
    PutU16(out, static_cast<uint16_t>(hopCount));
    SessionHop hop;
    for (int i = 0; i < hopCount; i++) {
        hop = SessionHop{};
        const HopHistory* history = source.ReadHop(i, hop, source.Context);
        PutU32(out, hop.Address);
        PutU32(out, hop.LastAddress);
        PutText(out, hop.HostText, kSessionHopTextCapacity);
        PutU32(out, static_cast<uint32_t>(hop.Sent));
        PutU32(out, static_cast<uint32_t>(hop.Received));
        PutU32(out, hop.LastRtt);
        PutU32(out, hop.TotalRtt);
        PutU32(out, hop.MinRtt);
        PutU32(out, hop.MaxRtt);
        PutU8(out, hop.Ignored);
        PutU8(out, hop.NoResponse);
        PutU8(out, history != nullptr);
        if (!history)
            continue;
        PutU32(out, history->answeredBefore);
        PutU32(out, history->lastRtt);
        PutU32(out, history->latestKey);
        PutRing(out, history->seconds, kSecondBuckets);
        PutRing(out, history->minutes, kMinuteBuckets);
    }
    if (trace.Version >= 2)
        PutEvents(out, trace);
    uint32_t length = static_cast<uint32_t>(out.size() + kTrailerSize);
    for (int i = 0; i < 4; i++)
        out[12 + i] = static_cast<char>(length >> (8 * i));
    PutU32(out, Crc32(reinterpret_cast<const unsigned char*>(out.data()), out.size()));
}

const char* SessionErrorText(SessionError error) {
    switch (error) {
    case SessionError::None:
        return "No error.";
    case SessionError::Foreign:
        return "It is not a Routelark session file.";
    case SessionError::Newer:
        return "It was saved by a newer version of Routelark.";
    case SessionError::Truncated:
        return "The file is cut short.";
    case SessionError::Length:
        return "The file is longer than its contents.";
    case SessionError::Checksum:
        return "The file is damaged (its checksum does not match).";
    case SessionError::Malformed:
        return "The file holds values out of their range.";
    case SessionError::TimeOrder:
        return "The file holds times out of order.";
    }
    return "The file is damaged.";
}

SessionError ReadSession(const unsigned char* data, size_t size, Session& session) {
    if (size < sizeof kMagic || memcmp(data, kMagic, sizeof kMagic) != 0)
        return SessionError::Foreign;
    if (size < kHeaderSize + kTrailerSize)
        return SessionError::Truncated;
    uint16_t version = static_cast<uint16_t>(data[8] | data[9] << 8);
    if (version > kSessionVersion)
        return SessionError::Newer;
    // Flags are kept for later versions; this one sets none.
    if (version == 0 || data[10] != 0 || data[11] != 0)
        return SessionError::Malformed;
    uint32_t length = ReadU32At(data + 12);
    if (length > size)
        return SessionError::Truncated;
    if (length < size)
        return SessionError::Length;
    if (Crc32(data, size - kTrailerSize) != ReadU32At(data + size - kTrailerSize))
        return SessionError::Checksum;

    Reader in(data + kHeaderSize, size - kHeaderSize - kTrailerSize);
    Session read;
    read.Version = version;
    if (SessionError error = ReadText(in, kSessionHostCapacity, read.Host);
        error != SessionError::None)
        return error;
    read.Address = in.U32();
    read.StartMs = static_cast<int64_t>(in.U64());
    read.EndMs = static_cast<int64_t>(in.U64());
    read.EndSecond = in.U32();
    uint16_t setupCount = in.U16();
    if (in.Failed())
        return SessionError::Truncated;
    if (setupCount > kSessionSetupCapacity)
        return SessionError::Malformed;
    for (int i = 0; i < setupCount; i++)
        read.Setup.push_back(static_cast<int32_t>(in.U32()));
    uint16_t hopCount = in.U16();
    if (in.Failed())
        return SessionError::Truncated;
    if (read.StartMs < 0 || read.EndMs < read.StartMs ||
        read.EndSecond > (read.EndMs - read.StartMs) / 1000 + 1)
        return SessionError::TimeOrder;
    if (hopCount > kSessionHopCapacity || read.Host.empty())
        return SessionError::Malformed;
    read.Hops.resize(hopCount);
    for (SessionHop& hop : read.Hops)
        if (SessionError error = ReadHop(in, read.EndSecond, hop); error != SessionError::None)
            return error;
    if (version >= 2)
        if (SessionError error = ReadEvents(in, read); error != SessionError::None)
            return error;
    if (in.Left() != 0)
        return SessionError::Length;
    session = std::move(read);
    return SessionError::None;
}

void PlaceBuckets(const SessionHop& hop, HopHistory& history) {
    for (const EchoBucket& b : hop.Seconds)
        history.seconds[(b.key - 1) % kSecondBuckets] = b;
    for (const EchoBucket& b : hop.Minutes)
        history.minutes[(b.key - 1) % kMinuteBuckets] = b;
    history.answeredBefore = hop.AnsweredBefore;
    history.lastRtt = hop.HistoryLastRtt;
    history.latestKey = hop.LatestKey;
}
