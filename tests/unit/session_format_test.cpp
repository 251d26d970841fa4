// The session file's format: a session written and read back whole, and every damaged copy of a
// small real one (each prefix, each flipped bit, hostile fields) refused with its reason.
#include "session/session_format.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>

namespace {

// A small trace of three hops: one silent placeholder, one ignored, loss on the last, over two
// minutes so that both rings and the second ring's wrap are used.
struct SmallTrace {
    Session trace;
    std::unique_ptr<HopHistory> histories[3];
    SmallTrace() {
        trace.Host = "dest.routelark.test";
        trace.Address = 0x0A0A0A0A;
        trace.StartMs = 13400000000000LL;
        trace.EndSecond = 130;
        trace.EndMs = trace.StartMs + 130000;
        trace.Setup = {1000, 1000, 10, 128, 30, 3, 0, 0};
        for (int h = 0; h < 3; h++) {
            histories[h].reset(new HopHistory());
            std::memset(histories[h].get(), 0, sizeof(HopHistory));
        }
        for (uint32_t second = 0; second <= 130; second += 2) {
            RecordEcho(*histories[1], second, true, 5 + second % 7);
            RecordEcho(*histories[2], second, second % 10 != 0, 40 + second % 13);
        }
    }
    static const HopHistory* Read(int index, SessionHop& hop, void* context) {
        SmallTrace& self = *static_cast<SmallTrace*>(context);
        const char* names[3] = {"[No response]", "router1.routelark.test", "dest.routelark.test"};
        hop.Address = index ? 0x0A000001u + index : 0;
        hop.LastAddress = hop.Address;
        hop.HostText = names[index];
        hop.Sent = index ? 66 : 0;
        hop.Received = index == 2 ? 52 : index ? 66 : 0;
        hop.LastRtt = 7, hop.TotalRtt = 400, hop.MinRtt = 5, hop.MaxRtt = 52;
        hop.Ignored = index != 2;
        hop.NoResponse = index == 0;
        return index ? self.histories[index].get() : nullptr;
    }
    std::string Bytes() {
        SessionSource source = {&trace, 3, Read, this};
        std::string bytes;
        WriteSession(source, bytes);
        return bytes;
    }
};

SessionError Read(const std::string& bytes, Session& session) {
    return ReadSession(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), session);
}

void Reseal(std::string& bytes) {
    uint32_t crc = Crc32(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size() - 4);
    for (int i = 0; i < 4; i++)
        bytes[bytes.size() - 4 + i] = static_cast<char>(crc >> (8 * i));
}

TEST(SessionFormat, ReadsBackEveryFieldAndTheHistoriesSpans) {
    SmallTrace small;
    std::string bytes = small.Bytes();
    Session read;
    ASSERT_EQ(Read(bytes, read), SessionError::None);
    EXPECT_EQ(read.Host, "dest.routelark.test");
    EXPECT_EQ(read.Address, 0x0A0A0A0Au);
    EXPECT_EQ(read.StartMs, small.trace.StartMs);
    EXPECT_EQ(read.EndMs, small.trace.EndMs);
    EXPECT_EQ(read.EndSecond, 130u);
    EXPECT_EQ(read.Setup, small.trace.Setup);
    ASSERT_EQ(read.Hops.size(), 3u);
    EXPECT_TRUE(read.Hops[0].NoResponse);
    EXPECT_FALSE(read.Hops[0].HasHistory);
    EXPECT_EQ(read.Hops[1].HostText, "router1.routelark.test");
    EXPECT_TRUE(read.Hops[1].Ignored);
    EXPECT_EQ(read.Hops[2].Sent, 66);
    EXPECT_EQ(read.Hops[2].Received, 52);
    EXPECT_EQ(read.Hops[2].MaxRtt, 52u);
    EXPECT_EQ(read.Hops[2].Seconds.size(), 66u);
    EXPECT_EQ(read.Hops[2].Minutes.size(), 3u);
    // The rings placed back add up to the same figures over every span.
    for (int h = 1; h < 3; h++) {
        std::unique_ptr<HopHistory> placed(new HopHistory());
        std::memset(placed.get(), 0, sizeof(HopHistory));
        PlaceBuckets(read.Hops[h], *placed);
        EXPECT_EQ(std::memcmp(placed.get(), small.histories[h].get(), sizeof(HopHistory)), 0);
    }
    // And written again, the same bytes.
    EXPECT_EQ(small.Bytes(), bytes);
}

TEST(SessionFormat, EveryPrefixIsRefusedAsCutShortOrForeign) {
    std::string bytes = SmallTrace().Bytes();
    for (size_t length = 0; length < bytes.size(); length++) {
        Session read;
        read.Host = "kept";
        SessionError error = Read(bytes.substr(0, length), read);
        EXPECT_EQ(error, length < 8 ? SessionError::Foreign : SessionError::Truncated)
            << "prefix of " << length << " bytes";
        EXPECT_EQ(read.Host, "kept") << "a refused file changes nothing";
    }
}

TEST(SessionFormat, EveryFlippedBitIsRefused) {
    std::string bytes = SmallTrace().Bytes();
    for (size_t bit = 0; bit < bytes.size() * 8; bit++) {
        std::string damaged = bytes;
        damaged[bit / 8] = static_cast<char>(damaged[bit / 8] ^ (1 << bit % 8));
        Session read;
        EXPECT_NE(Read(damaged, read), SessionError::None) << "bit " << bit;
    }
}

// Hostile fields behind a good checksum: each is caught by its own check.
TEST(SessionFormat, HostileFieldsAreRefusedWithTheirReason) {
    const std::string good = SmallTrace().Bytes();
    const size_t hostAt = 16, hostLength = 20; // "dest.routelark.test" and its NUL
    const size_t hopCountAt = hostAt + 2 + hostLength + 4 + 8 + 8 + 4 + 2 + 8 * 4;
    struct Case {
        const char* what;
        size_t at;
        std::string bytes;
        SessionError expected;
    } cases[] = {
        {"newer version", 8, std::string("\x03\x00", 2), SessionError::Newer},
        {"flags this version does not set", 10, "\x01", SessionError::Malformed},
        {"length past the end", 12, std::string("\xFF\xFF\x00\x00", 4), SessionError::Truncated},
        {"host without terminator", hostAt + 2 + hostLength - 1, "x", SessionError::Malformed},
        {"host longer than the file", hostAt, std::string("\xFF\xFF", 2), SessionError::Truncated},
        {"41 hops", hopCountAt, std::string("\x29\x00", 2), SessionError::Malformed},
        {"end before start", hostAt + 2 + hostLength + 4 + 8 + 7, "\x80", SessionError::TimeOrder},
        {"end second past the end", hostAt + 2 + hostLength + 4 + 16 + 2, "\x01",
         SessionError::TimeOrder},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        bytes.replace(c.at, c.bytes.size(), c.bytes);
        if (c.expected != SessionError::Newer)
            Reseal(bytes);
        Session read;
        EXPECT_EQ(Read(bytes, read), c.expected) << c.what;
    }
    std::string longer = good + "x";
    Session read;
    EXPECT_EQ(Read(longer, read), SessionError::Length);
    std::string foreign = "PK\x03\x04 not a session at all, but long enough";
    EXPECT_EQ(Read(foreign, read), SessionError::Foreign);
    EXPECT_STREQ(SessionErrorText(SessionError::Newer),
                 "It was saved by a newer version of Routelark.");
}

// Two events of the log: a route change with its names, and a loss episode still open.
void AddEvents(Session& trace) {
    TraceEvent route = {};
    route.Kind = TraceEventKind::RouteChange;
    route.Hop = 2;
    route.StartSecond = route.EndSecond = 40;
    route.OldAddress = 0x0103120Au, route.NewAddress = 0x0108120Au;
    strcpy(route.OldName, "r3.routelark.test");
    strcpy(route.NewName, "r7.routelark.test");
    TraceEvent loss = {};
    loss.Kind = TraceEventKind::LossEpisode;
    loss.Open = 1, loss.NotPassedOn = 1, loss.Hop = 1;
    loss.StartSecond = 100, loss.EndSecond = 128;
    loss.Sent = 15, loss.Lost = 6, loss.WorstRtt = 52;
    trace.Events = {route, loss};
    trace.EventsSinceStart = 1002, trace.EventsDropped = 1000;
}

TEST(SessionFormat, KeepsTheEventsAndTheirCounts) {
    SmallTrace small;
    AddEvents(small.trace);
    std::string bytes = small.Bytes();
    EXPECT_EQ(bytes[8], 2) << "version";
    Session read;
    ASSERT_EQ(Read(bytes, read), SessionError::None);
    EXPECT_EQ(read.Version, 2);
    EXPECT_EQ(read.EventsSinceStart, 1002u);
    EXPECT_EQ(read.EventsDropped, 1000u);
    ASSERT_EQ(read.Events.size(), 2u);
    for (size_t i = 0; i < 2; i++) // every byte of each event, its names' unused ends included
        EXPECT_EQ(std::memcmp(&read.Events[i], &small.trace.Events[i], sizeof(TraceEvent)), 0)
            << "event " << i;
    EXPECT_EQ(small.Bytes(), bytes) << "written again, the same bytes";
}

// A file of version 1, before the log, opens with no events, and is written back as it was.
TEST(SessionFormat, ReadsVersionOneWithoutEvents) {
    SmallTrace small;
    small.trace.Version = 1;
    std::string bytes = small.Bytes();
    EXPECT_EQ(bytes[8], 1);
    Session read;
    read.Events.resize(3);
    ASSERT_EQ(Read(bytes, read), SessionError::None);
    EXPECT_EQ(read.Version, 1);
    EXPECT_TRUE(read.Events.empty());
    EXPECT_EQ(read.EventsSinceStart, 0u);
    ASSERT_EQ(read.Hops.size(), 3u);
    EXPECT_EQ(read.Hops[2].Received, 52);
    SmallTrace again;
    again.trace.Version = 1;
    EXPECT_EQ(again.Bytes(), bytes);
}

// The events section's fields behind a good checksum, each refused by its own check.
TEST(SessionFormat, HostileEventsAreRefusedWithTheirReason) {
    SmallTrace small;
    AddEvents(small.trace);
    const std::string good = small.Bytes();
    SmallTrace plain;
    // The events follow the hops: where a file without events would have its trailer.
    const size_t at = plain.Bytes().size() - 4 - 10;
    const size_t first = at + 10, second = first + 32 + 2 + 18 + 2 + 18;
    struct Case {
        const char* what;
        size_t at;
        std::string bytes;
        SessionError expected;
    } cases[] = {
        {"more dropped than recorded", at + 4, std::string("\xEB\x03", 2),
         SessionError::Malformed},
        {"more kept than recorded less dropped", at, std::string("\xE9\x03\x00\x00", 4),
         SessionError::Malformed},
        {"1001 events", at + 8, std::string("\xE9\x03", 2), SessionError::Malformed},
        {"an unknown kind", first, "\x04", SessionError::Malformed},
        {"open neither 0 nor 1", first + 1, "\x02", SessionError::Malformed},
        {"hop 40", first + 3, "\x28", SessionError::Malformed},
        {"more lost than sent", second + 4 + 12, "\x10", SessionError::Malformed},
        {"ending before it started", second + 4 + 4, "\x63", SessionError::TimeOrder},
        {"a name without its terminator", first + 32 + 2 + 17, "x", SessionError::Malformed},
        {"a name longer than what is left", first + 32, std::string("\x01\x01", 2),
         SessionError::Truncated},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        bytes.replace(c.at, c.bytes.size(), c.bytes);
        Reseal(bytes);
        Session read;
        EXPECT_EQ(Read(bytes, read), c.expected) << c.what;
    }
}

TEST(SessionFormat, Crc32IsTheZipOne) {
    const char text[] = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const unsigned char*>(text), 9), 0xCBF43926u);
}

} // namespace
