// The route book: the addresses that answer each row's TTL, and when they make a route change.
#include "events/route_book.h"
#include "events/trace_events.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

// Addresses by letter: 'A' is the row's own hop.
uint32_t Address(char letter) {
    return static_cast<uint32_t>(letter);
}

// The changes in the log as "AB@3" (old, new, second), one after another.
std::string Changes() {
    std::string text;
    for (int i = 0; i < TraceEventCount(); i++) {
        const TraceEvent& e = TraceEventAt(i);
        EXPECT_EQ(e.Kind, TraceEventKind::RouteChange);
        EXPECT_EQ(e.Hop, 2);
        text += static_cast<char>(e.OldAddress);
        text += static_cast<char>(e.NewAddress);
        text += "@" + std::to_string(e.StartSecond) + " ";
    }
    return text;
}

struct RouteCase {
    const char* name;
    const char* answers; // the check's answers to row 2's TTL, one a second from second 0
    const char* changes;
};

TEST(RouteBook, ATtlAnsweredTwiceInARowByAnotherAddressIsARouteChange) {
    const RouteCase cases[] = {
        {"the row's own hop", "AAAA", ""},
        {"twice in a row", "AABB", "AB@3 "},
        {"a single stray answer", "AABAAB", ""},
        {"strays from two others", "ABCBCA", ""},
        {"the new hop stays", "ABBBBB", "AB@2 "},
        {"a flap back to the old address", "ABBAA", "AB@2 BA@4 "},
        {"on to a third", "ABBCC", "AB@2 BC@4 "},
    };
    for (const RouteCase& c : cases) {
        ClearTraceEvents();
        ClearRouteBook();
        SetRouteRow(2, Address('A'), "a.routelark.test");
        uint32_t lastSerial = 0;
        for (int i = 0; c.answers[i]; i++)
            if (uint32_t serial = NoteRouteAnswer(2, Address(c.answers[i]), i))
                lastSerial = serial;
        EXPECT_EQ(Changes(), c.changes) << c.name;
        bool changed = c.changes[0] != '\0';
        EXPECT_EQ(RouteRowChanged(2), changed) << c.name;
        EXPECT_EQ(AnyRouteRowChanged(), changed) << c.name;
        EXPECT_FALSE(RouteRowChanged(1)) << c.name;
        EXPECT_EQ(lastSerial, changed ? TraceEventsSinceStart() : 0u) << c.name;
    }
}

TEST(RouteBook, ChangesNameTheOldHopAndTheRowsOwnWhenItComesBack) {
    ClearTraceEvents();
    ClearRouteBook();
    SetRouteRow(0, Address('A'), "a.routelark.test");
    uint32_t there = 0;
    for (char answer : std::string("BB"))
        there = NoteRouteAnswer(0, Address(answer), 5);
    ASSERT_NE(there, 0u);
    TraceEvent* change = KeptTraceEvent(there);
    EXPECT_STREQ(change->OldName, "a.routelark.test");
    EXPECT_STREQ(change->NewName, ""); // looked up later
    std::strcpy(change->NewName, "b.routelark.test");
    EXPECT_EQ(RouteRowCurrent(0), Address('B'));
    uint32_t back = 0;
    for (char answer : std::string("AA"))
        back = NoteRouteAnswer(0, Address(answer), 9);
    ASSERT_NE(back, 0u);
    EXPECT_STREQ(KeptTraceEvent(back)->OldName, "b.routelark.test");
    EXPECT_STREQ(KeptTraceEvent(back)->NewName, "a.routelark.test");
    EXPECT_EQ(RouteRowCurrent(0), Address('A'));
    EXPECT_TRUE(RouteRowChanged(0)); // the mark stays: the route did change
    // A row without a hop, answers of no address and rows out of range record nothing.
    SetRouteRow(1, 0, "");
    for (int i = 0; i < 3; i++) {
        NoteRouteAnswer(1, Address('C'), 10);
        NoteRouteAnswer(0, 0, 10);
        NoteRouteAnswer(-1, Address('C'), 10);
        NoteRouteAnswer(kRouteBookRows, Address('C'), 10);
    }
    EXPECT_EQ(TraceEventCount(), 2);
    EXPECT_EQ(RouteAddressCount(1), 0);
}

TEST(RouteBook, AFullRowLetsTheAddressSeenLeastGo) {
    ClearTraceEvents();
    ClearRouteBook();
    SetRouteRow(3, Address('A'), "");
    // A five times, B three, then C and D once each (at seconds 18 and 19).
    const char answers[] = "AAAAABBBCD";
    for (int i = 0; answers[i]; i++)
        NoteRouteAnswer(3, Address(answers[i]), 10 + i);
    ASSERT_EQ(RouteAddressCount(3), 4);
    const RouteAddress& b = RouteAddressAt(3, 1);
    EXPECT_EQ(b.Address, Address('B'));
    EXPECT_EQ(b.Count, 3u);
    EXPECT_EQ(b.FirstSecond, 15u);
    EXPECT_EQ(b.LastSecond, 17u);
    // C and D were seen least; C longer ago, so E takes its place.
    NoteRouteAnswer(3, Address('E'), 30);
    EXPECT_EQ(RouteAddressAt(3, 2).Address, Address('E'));
    EXPECT_EQ(RouteAddressAt(3, 2).Count, 1u);
    EXPECT_EQ(RouteAddressAt(3, 2).FirstSecond, 30u);
    EXPECT_EQ(RouteAddressAt(3, 3).Address, Address('D'));
    // Then D, seen at 19, goes before E, seen at 30.
    NoteRouteAnswer(3, Address('F'), 31);
    EXPECT_EQ(RouteAddressAt(3, 3).Address, Address('F'));
    EXPECT_EQ(RouteAddressAt(3, 2).Address, Address('E'));
    EXPECT_EQ(RouteAddressAt(3, 0).Count, 5u);
    EXPECT_EQ(RouteRowCurrent(3), Address('B')); // B answered twice in a row: a route change
}

} // namespace
