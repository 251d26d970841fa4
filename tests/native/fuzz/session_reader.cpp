// The session reader: any bytes are read without reaching past them, and whatever it accepts
// holds only values the program can place (hops, texts, bucket keys in their rings), and writes
// back to the very same bytes; its events read as words within their buffers.
#include "fuzz_check.h"
#include "events/event_text.h"
#include "session/session_format.h"
#include <cstring>
#include <memory>

static void CheckReader(const unsigned char* data, size_t size) {
    // A copy of exactly size bytes: a read past them is caught by AddressSanitizer.
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size ? size : 1]);
    if (size)
        memcpy(bytes.get(), data, size);
    Session session;
    if (ReadSession(bytes.get(), size, session) != SessionError::None)
        return;
    FUZZ_CHECK(session.Hops.size() <= kSessionHopCapacity);
    FUZZ_CHECK(!session.Host.empty() && session.Host.size() < kSessionHostCapacity);
    FUZZ_CHECK(session.StartMs <= session.EndMs);
    static HopHistory history;
    for (const SessionHop& hop : session.Hops) {
        FUZZ_CHECK(hop.HostText.size() < kSessionHopTextCapacity);
        FUZZ_CHECK(strlen(hop.HostText.c_str()) == hop.HostText.size());
        FUZZ_CHECK(hop.Received <= hop.Sent && hop.Received >= 0);
        FUZZ_CHECK(hop.LatestKey <= session.EndSecond + 1ull);
        memset(&history, 0, sizeof history);
        PlaceBuckets(hop, history);
        // Every bucket has a slot of its own in its ring.
        for (const EchoBucket& b : hop.Seconds)
            FUZZ_CHECK(history.seconds[(b.key - 1) % kSecondBuckets].key == b.key);
        for (const EchoBucket& b : hop.Minutes)
            FUZZ_CHECK(history.minutes[(b.key - 1) % kMinuteBuckets].key == b.key);
    }
    // Every event accepted reads as words and a length within their buffers, whatever its names.
    FUZZ_CHECK(session.Events.size() <= kEventCapacity);
    for (const TraceEvent& event : session.Events) {
        FUZZ_CHECK(event.Hop < kSessionHopCapacity && event.StartSecond <= event.EndSecond);
        char text[600], duration[32];
        FUZZ_CHECK(strlen(FormatEventText(event, text, sizeof text)) < sizeof text);
        FUZZ_CHECK(strlen(FormatEventDuration(event, session.EndSecond, duration,
                                              sizeof duration)) < sizeof duration);
    }
    // What was accepted writes back to the same bytes (buckets are written oldest first).
    struct Context {
        const Session* session;
        HopHistory* history;
    };
    static HopHistory rebuilt;
    Context context = {&session, &rebuilt};
    SessionSource source = {&session, static_cast<int>(session.Hops.size()),
                            [](int index, SessionHop& hop, void* c) -> const HopHistory* {
                                Context& context = *static_cast<Context*>(c);
                                const SessionHop& saved = context.session->Hops[index];
                                hop = saved;
                                if (!saved.HasHistory)
                                    return nullptr;
                                memset(context.history, 0, sizeof *context.history);
                                PlaceBuckets(saved, *context.history);
                                return context.history;
                            },
                            &context};
    std::string written;
    WriteSession(source, written);
    FUZZ_CHECK(written.size() == size && memcmp(written.data(), bytes.get(), size) == 0);
}

// The bytes as they come, and again with their length and checksum made right, so that the
// fields behind the checksum are reached too.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckReader(data, size);
    if (size < 20 || size > (1u << 20))
        return 0;
    std::unique_ptr<unsigned char[]> sealed(new unsigned char[size]);
    memcpy(sealed.get(), data, size);
    for (int i = 0; i < 4; i++)
        sealed[12 + i] = static_cast<unsigned char>(size >> (8 * i));
    uint32_t crc = Crc32(sealed.get(), size - 4);
    for (int i = 0; i < 4; i++)
        sealed[size - 4 + i] = static_cast<unsigned char>(crc >> (8 * i));
    CheckReader(sealed.get(), size);
    return 0;
}
