// The session file (.rls): a whole trace kept on disk, its rows and its hops' histories, so that
// it opens again with its graph (platform-free).
//
// Layout, every number little-endian:
//   header   8 bytes magic "RLSESSN\x1A", u16 version (2; 1 is read too), u16 flags (0), u32 file
//            length
//   trace    text host, u32 destination (network byte order), i64 start and i64 end (UTC,
//            milliseconds since 1601-01-01), u32 end second (the trace's second of its last echo),
//            u16 count of Setup values, that many i32
//   hops     u16 count (at most 40), then each hop:
//            u32 address, u32 last address, text host, i32 sent, i32 received, u32 last, total,
//            min and max RTT, u8 ignored, u8 no response, u8 has history; with a history:
//            u32 answered before, u32 last RTT, u32 latest key, then the seconds' buckets and the
//            minutes' buckets, each as u32 count and that many buckets, oldest first
//   bucket   u32 key, sent, answered, min RTT, max RTT, differences; u64 RTT sum, squares,
//            difference sum (48 bytes)
//   events   (version 2 on) u32 events since the start, u32 events dropped, u16 count (at most
//            1000, no more than since the start less dropped), then each event, oldest first:
//            u8 kind (0 loss episode, 1 destination silent, 2 destination answers, 3 route
//            change), u8 open, u8 not passed on, u8 hop (a row index, below 40), u32 start
//            second, u32 end second (not before the start), u32 sent, u32 lost (not above sent),
//            u32 worst RTT, u32 old address, u32 new address, text old name, text new name
//            (each at most 256 bytes with its NUL)
//   trailer  u32 CRC-32 (IEEE 802.3, as zip's) of every byte before it
// A text is a u16 length that counts its terminating NUL, then that many bytes, the last one NUL
// and no other. Only buckets that hold echoes are kept.
#pragma once
#include "events/trace_events.h"
#include "graph/hop_history.h"
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum : uint16_t { kSessionVersion = 2 };
enum { kSessionHopCapacity = 40, kSessionHostCapacity = 128, kSessionHopTextCapacity = 1024 };
enum { kSessionSetupCapacity = 64 };

// One hop's row as its pinger holds it, and its history's buckets that hold echoes.
struct SessionHop {
    uint32_t Address = 0, LastAddress = 0;
    std::string HostText;
    int32_t Sent = 0, Received = 0;
    uint32_t LastRtt = 0, TotalRtt = 0, MinRtt = 0xFFFFFFFFu, MaxRtt = 0;
    bool Ignored = false, NoResponse = false, HasHistory = false;
    uint32_t AnsweredBefore = 0, HistoryLastRtt = 0, LatestKey = 0;
    std::vector<EchoBucket> Seconds, Minutes; // oldest first
};

struct Session {
    uint16_t Version = kSessionVersion; // as read; a file is written in its session's version
    std::string Host;           // the text the trace was started with
    uint32_t Address = 0;       // its destination
    int64_t StartMs = 0;        // UTC, milliseconds since 1601
    int64_t EndMs = 0;          // the moment of its last echo
    uint32_t EndSecond = 0;     // the trace's second of that echo
    std::vector<int32_t> Setup; // the Setup values in force, in the Settings record's order
    std::vector<SessionHop> Hops;
    // The event log: the events kept, oldest first, and its counts (none in a version 1 file).
    std::vector<TraceEvent> Events;
    uint32_t EventsSinceStart = 0, EventsDropped = 0;
};

// Where the hops come from when a session is written: one hop at a time, its history read from
// the rings directly (nullptr: none), so that a long history is never copied twice.
struct SessionSource {
    const Session* Trace; // everything but Hops
    int HopCount;
    // Fills hop's row (not its buckets) and returns its history, or nullptr.
    const HopHistory* (*ReadHop)(int index, SessionHop& hop, void* context);
    void* Context;
};

// The bytes of a session file.
void WriteSession(const SessionSource& source, std::string& bytes);

enum class SessionError {
    None,
    Foreign,   // no session's magic
    Newer,     // a version this program does not know
    Truncated, // shorter than its header says, or than a field needs
    Length,    // longer than its header says
    Checksum,  // the CRC-32 does not match
    Malformed, // a field out of its range: text without its terminator, too many hops or buckets
    TimeOrder, // times or bucket keys out of order
};
// The reason in a sentence, for the box of a file that could not be opened.
const char* SessionErrorText(SessionError error);

// Reads a session from size bytes at data, never past them. On an error session is left as it
// was (or cleared part way: the caller keeps its own copy).
SessionError ReadSession(const unsigned char* data, size_t size, Session& session);

// A ring slot's bucket placed back: seconds at (key - 1) % 3600, minutes at (key - 1) % 1440.
void PlaceBuckets(const SessionHop& hop, HopHistory& history);

// CRC-32 of size bytes (IEEE 802.3).
uint32_t Crc32(const unsigned char* data, size_t size);
