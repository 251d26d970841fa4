// The words of the trace's events, as the Events window, the saved files and the CSV show them.
#include "events/event_text.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

uint32_t Address(int a, int b, int c, int d) { // in network byte order, as the events keep it
    unsigned char bytes[4] = {static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                              static_cast<unsigned char>(c), static_cast<unsigned char>(d)};
    uint32_t address;
    memcpy(&address, bytes, 4);
    return address;
}

TraceEvent Loss(uint32_t sent, uint32_t lost, uint32_t worst, bool notPassedOn = false) {
    TraceEvent e = {};
    e.Kind = TraceEventKind::LossEpisode;
    e.Sent = sent, e.Lost = lost, e.WorstRtt = worst;
    e.NotPassedOn = notPassedOn;
    return e;
}

TraceEvent Kind(TraceEventKind kind) {
    TraceEvent e = {};
    e.Kind = kind;
    return e;
}

TraceEvent Route(const char* oldName, const char* newName) {
    TraceEvent e = Kind(TraceEventKind::RouteChange);
    e.OldAddress = Address(198, 18, 3, 1);
    e.NewAddress = Address(198, 18, 8, 1);
    strcpy(e.OldName, oldName);
    strcpy(e.NewName, newName);
    return e;
}

std::string Text(const TraceEvent& e) {
    char text[512];
    return FormatEventText(e, text, sizeof text);
}

TEST(EventText, SaysWhatHappened) {
    struct Case {
        TraceEvent event;
        const char* text;
    } cases[] = {
        {Loss(12, 7, 35), "Loss: 7 of 12 echoes lost, worst 35 ms"},
        // No answer came back: there is no worst one to name.
        {Loss(4, 4, 0), "Loss: 4 of 4 echoes lost"},
        {Loss(1, 1, 0), "Loss: 1 of 1 echo lost"},
        {Loss(20, 3, 0), "Loss: 3 of 20 echoes lost, worst 0 ms"}, // answers under 1 ms
        {Loss(12, 7, 35, true),
         "Loss: 7 of 12 echoes lost, worst 35 ms (the hops after it did not lose echoes: most "
         "likely this router limiting its own answers)"},
        {Kind(TraceEventKind::DestinationSilent), "The destination stopped answering"},
        {Kind(TraceEventKind::DestinationAnswers), "The destination answers again"},
        {Route("r3.routelark.test", "r7.routelark.test"),
         "Route changed: 198.18.3.1 (r3.routelark.test) -> 198.18.8.1 (r7.routelark.test)"},
        // A name not known yet, or one that is the address itself, leaves the address alone.
        {Route("", "r7.routelark.test"),
         "Route changed: 198.18.3.1 -> 198.18.8.1 (r7.routelark.test)"},
        {Route("198.18.3.1", ""), "Route changed: 198.18.3.1 -> 198.18.8.1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(c.event), c.text);
}

// A name that fills its whole field without a terminator is read no further than the field,
// and a buffer too small for the text is cut, never overrun.
TEST(EventText, StaysWithinItsFieldsAndBuffer) {
    TraceEvent e = Route("", "");
    memset(e.OldName, 'a', sizeof e.OldName);
    std::string text = Text(e);
    EXPECT_EQ(text, "Route changed: 198.18.3.1 (" + std::string(kEventNameCapacity - 1, 'a') +
                        ") -> 198.18.8.1");
    char small[12];
    memset(small, 'x', sizeof small);
    FormatEventText(Loss(12, 7, 35, true), small, 10);
    EXPECT_STREQ(small, "Loss: 7 o");
    EXPECT_EQ(small[10], 'x');
}

TEST(EventText, DurationOfEpisodesOnly) {
    struct Case {
        uint32_t start, end, now;
        bool open;
        TraceEventKind kind;
        const char* text;
    } cases[] = {
        {10, 10, 99, false, TraceEventKind::LossEpisode, "1 s"}, // one second, both ends counted
        {10, 19, 99, false, TraceEventKind::LossEpisode, "10 s"},
        {10, 69, 99, false, TraceEventKind::LossEpisode, "1 min 00 s"},
        {0, 3724, 9999, false, TraceEventKind::LossEpisode, "1 h 02 min"},
        {10, 10, 21, true, TraceEventKind::LossEpisode, "12 s, open"}, // runs up to now
        {50, 50, 50, true, TraceEventKind::DestinationSilent, "1 s, open"},
        {50, 59, 70, false, TraceEventKind::DestinationSilent, "10 s"},
        {50, 50, 70, false, TraceEventKind::DestinationSilent, ""}, // a moment
        {50, 50, 70, false, TraceEventKind::RouteChange, ""},
        {50, 50, 70, false, TraceEventKind::DestinationAnswers, ""},
    };
    for (const Case& c : cases) {
        TraceEvent e = Kind(c.kind);
        e.StartSecond = c.start, e.EndSecond = c.end, e.Open = c.open;
        char text[32];
        EXPECT_STREQ(FormatEventDuration(e, c.now, text, sizeof text), c.text)
            << c.start << " to " << c.end;
    }
}

TEST(EventText, TitleCountsSinceStartAndWhatWasDropped) {
    char text[64];
    EXPECT_STREQ(FormatEventsTitle(0, 0, false, text, sizeof text), "Events");
    EXPECT_STREQ(FormatEventsTitle(0, 0, true, text, sizeof text), "Events (0)");
    EXPECT_STREQ(FormatEventsTitle(12, 0, true, text, sizeof text), "Events (12)");
    EXPECT_STREQ(FormatEventsTitle(999, 0, true, text, sizeof text), "Events (999)");
    EXPECT_STREQ(FormatEventsTitle(1012, 12, true, text, sizeof text),
                 "Events (1,012; 12 oldest dropped)");
    EXPECT_STREQ(FormatEventsTitle(4294967295u, 4294966295u, true, text, sizeof text),
                 "Events (4,294,967,295; 4,294,966,295 oldest dropped)");
}

} // namespace
