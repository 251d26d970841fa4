// The saved file of the running program's trace: its facts, and its hops read one at a time
// under the statistics lock, as the table's rows are.
#include "app/app.h"
#include "asn/asn.h"
#include "events/event_text.h"
#include "events/events_view.h"
#include "echo/echo_service.h"
#include "graph/graph.h"
#include "hoptable/hop_table.h"
#include "hoptable/trace_report.h"
#include "save/save_trace.h"
#include "save/saved_files.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include <cstring>

void AnsiToUtf8(const char* text, std::string& utf8) {
    utf8.clear();
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (wideLength <= 1)
        return;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], wideLength);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return;
    utf8.resize(static_cast<size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length) - 1); // without the terminator
}

static CalendarTime CalendarTimeOf(const SYSTEMTIME& t) {
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// The local time of a moment given in UTC, with the offset in force at that moment.
static CalendarTime LocalTimeOf(const SYSTEMTIME& utc, long long* offsetMinutes) {
    SYSTEMTIME local = LocalTimeOfUtc(utc);
    *offsetMinutes = UtcOffsetMinutes(CalendarTimeOf(local), CalendarTimeOf(utc));
    return CalendarTimeOf(local);
}

static char* IsoTimeOf(const SYSTEMTIME& utc, char* text, size_t size) {
    long long offset;
    CalendarTime local = LocalTimeOf(utc, &offset);
    return FormatIsoTime(text, size, local, offset);
}

// The host text of the hop read last, in UTF-8.
static std::string HopHostText;

static bool ReadSavedHop(int row, SavedHop& hop) {
    LockEchoStatistics();
    bool found = TakeHopCellNumbers(row, hop.Numbers);
    hop.Ignored = found && HopList[row]->IsIgnored();
    hop.Recent = found ? HopSpanFigures(HopList[row], GraphSpan::TenMinutes, TraceEndSecond())
                       : EmptySpanFigures();
    UnlockEchoStatistics();
    hop.Origin = nullptr;
    hop.Network = nullptr;
    if (found && !hop.Numbers.NoResponse)
        HopAsRecords(hop.Numbers.Address, &hop.Origin, &hop.Network);
    if (found) {
        AnsiToUtf8(hop.Numbers.HostText, HopHostText);
        hop.Numbers.HostText = HopHostText.c_str();
    }
    return found;
}

// A name kept in an event's field, taken no further than the field.
static std::string EventName(const char (&name)[kEventNameCapacity]) {
    return std::string(name, strnlen(name, sizeof name));
}

void ReadSavedEvents(SavedEvents& events, bool utf8) {
    uint32_t now = TraceEndSecond(); // takes the lock itself
    LockEchoStatistics();
    int count = TraceEventCount();
    events.SinceStart = TraceEventsSinceStart();
    events.Dropped = TraceEventsDropped();
    events.List.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; i++)
        events.List[static_cast<size_t>(i)].Event = TraceEventAt(i);
    UnlockEchoStatistics();
    // The texts are made outside the lock, from the copies.
    char text[1024];
    for (SavedEvent& e : events.List) {
        const TraceEvent& event = e.Event;
        e.Hop = HopNumber(event.Hop, Settings.IgnoreFirst);
        FormatEventIsoTime(event.StartSecond, e.Time, sizeof e.Time);
        FormatEventText(event, text, sizeof text);
        FormatEventDuration(event, now, e.Duration, sizeof e.Duration);
        e.Seconds = EventHasDuration(event) ? EventSeconds(event, now) : 0;
        e.OldName = EventName(event.OldName);
        e.NewName = EventName(event.NewName);
        if (!utf8) {
            e.Text = text;
            continue;
        }
        AnsiToUtf8(text, e.Text);
        std::string name;
        AnsiToUtf8(e.OldName.c_str(), name);
        e.OldName = name;
        AnsiToUtf8(e.NewName.c_str(), name);
        e.NewName = name;
    }
}

void BuildSavedFile(SaveFormat format, std::string& file, int count) {
    char version[64], started[40], saved[40];
    ReadVersionString("ProductVersion", version, sizeof version);
    SYSTEMTIME now;
    GetSystemTime(&now);
    IsoTimeOf(TraceStartTime, started, sizeof started);
    IsoTimeOf(now, saved, sizeof saved);
    std::string host = TracedHostText; // the text file keeps the bytes Copy gives
    if (format != SaveFormat::Text)
        AnsiToUtf8(TracedHostText, host);
    SavedEvents events;
    if (format != SaveFormat::Csv) // the CSV stays one row per hop
        ReadSavedEvents(events, format != SaveFormat::Text);
    const SavedTrace trace = {version,     host.c_str(), DestinationAddress, started,
                              saved,       Columns,      ColumnCount,        HopCount,
                              ReadSavedHop, count,       &events};
    switch (format) {
    case SaveFormat::Text: {
        std::string report;
        BuildTraceReport(report, 0);
        LayOutTextFile(trace, report, file);
        break;
    }
    case SaveFormat::Html:
        LayOutHtmlFile(trace, file);
        break;
    case SaveFormat::Csv:
        LayOutCsvFile(trace, file);
        break;
    case SaveFormat::Json:
        LayOutJsonFile(trace, file);
        break;
    }
}

char* SuggestTraceFileName(char* name, size_t size) {
    long long offset;
    return SuggestSaveName(name, size, TracedHostText, LocalTimeOf(TraceStartTime, &offset));
}
