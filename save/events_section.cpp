// The events in the saved files: the text file's section before the table, the web page's table,
// the JSON file's array and the events' own CSV (platform-free).
#include "common/bounded_text.h"
#include "events/event_text.h"
#include "save/file_text.h"
#include "save/saved_files.h"
#include "trace/format_address.h"

bool HasSavedEvents(const SavedTrace& trace) {
    return trace.Events && trace.Events->SinceStart > 0;
}

static void AppendNumber(std::string& out, long long number) {
    char text[24];
    out += FormatText(text, sizeof text, "%lld", number);
}

// "Events (12):", a line per event, "2026-12-09T14:02:11+01:00  Hop 3  Loss: ...  [14 s]", and
// an empty line.
void AppendTextEvents(const SavedTrace& trace, std::string& file) {
    if (!HasSavedEvents(trace))
        return;
    const SavedEvents& events = *trace.Events;
    char title[64];
    file += FormatEventsTitle(events.SinceStart, events.Dropped, true, title, sizeof title);
    file += ":\r\n";
    for (const SavedEvent& e : events.List) {
        file += e.Time;
        file += "  Hop ";
        AppendNumber(file, e.Hop);
        file += "  ";
        file += e.Text;
        if (e.Duration[0]) {
            file += "  [";
            file += e.Duration;
            file += ']';
        }
        file += "\r\n";
    }
    file += "\r\n";
}

void AppendHtmlEvents(const SavedTrace& trace, std::string& file) {
    if (!HasSavedEvents(trace))
        return;
    const SavedEvents& events = *trace.Events;
    char title[64];
    file += "<h2>";
    AppendHtmlText(file,
                   FormatEventsTitle(events.SinceStart, events.Dropped, true, title, sizeof title));
    file += "</h2>\r\n<table class=\"events\">\r\n<thead>\r\n<tr><th>Time</th>"
            "<th class=\"number\">Hop</th><th>Event</th><th class=\"number\">Duration</th></tr>"
            "\r\n</thead>\r\n<tbody>\r\n";
    for (const SavedEvent& e : events.List) {
        file += "<tr><td>";
        AppendHtmlText(file, e.Time);
        file += "</td><td class=\"number\">";
        AppendNumber(file, e.Hop);
        file += "</td><td>";
        AppendHtmlText(file, e.Text.c_str());
        file += "</td><td class=\"number\">";
        AppendHtmlText(file, e.Duration);
        file += "</td></tr>\r\n";
    }
    file += "</tbody>\r\n</table>\r\n";
}

static void AppendJsonBool(std::string& out, bool value) {
    out += value ? "true" : "false";
}

static void AppendJsonEvent(const SavedEvent& e, std::string& out) {
    const TraceEvent& event = e.Event;
    bool loss = event.Kind == TraceEventKind::LossEpisode;
    bool route = event.Kind == TraceEventKind::RouteChange;
    out += "    {\"time\": ";
    AppendJsonString(out, e.Time);
    out += ", \"second\": ";
    AppendNumber(out, event.StartSecond);
    out += ", \"hop\": ";
    AppendNumber(out, e.Hop);
    out += ", \"kind\": ";
    AppendJsonString(out, EventKindKey(event.Kind));
    out += ", \"text\": ";
    AppendJsonString(out, e.Text.c_str());
    out += ", \"seconds\": ";
    if (e.Seconds > 0)
        AppendNumber(out, e.Seconds);
    else
        out += "null";
    out += ", \"open\": ";
    AppendJsonBool(out, event.Open != 0);
    // The figures of a loss episode; the worst round trip only where some echo came back.
    out += ", \"sent\": ";
    loss ? AppendNumber(out, event.Sent) : void(out += "null");
    out += ", \"lost\": ";
    loss ? AppendNumber(out, event.Lost) : void(out += "null");
    out += ", \"worst_ms\": ";
    loss && event.Lost < event.Sent ? AppendNumber(out, event.WorstRtt) : void(out += "null");
    out += ", \"not_passed_on\": ";
    AppendJsonBool(out, loss && event.NotPassedOn);
    const struct {
        const char* key;
        uint32_t address;
        const std::string& name;
    } ends[] = {{"old", event.OldAddress, e.OldName}, {"new", event.NewAddress, e.NewName}};
    for (const auto& end : ends) {
        out += ", \"";
        out += end.key;
        out += "_address\": ";
        if (route)
            AppendJsonString(out, FormatAddress(end.address));
        else
            out += "null";
        out += ", \"";
        out += end.key;
        out += "_name\": ";
        if (route && !end.name.empty())
            AppendJsonString(out, end.name.c_str());
        else
            out += "null";
    }
    out += '}';
}

void AppendJsonEvents(const SavedTrace& trace, std::string& file) {
    if (!HasSavedEvents(trace))
        return;
    const SavedEvents& events = *trace.Events;
    file += ",\r\n  \"events_since_start\": ";
    AppendNumber(file, events.SinceStart);
    file += ",\r\n  \"events_dropped\": ";
    AppendNumber(file, events.Dropped);
    file += ",\r\n  \"events\": [";
    bool first = true;
    for (const SavedEvent& e : events.List) {
        file += first ? "\r\n" : ",\r\n";
        first = false;
        AppendJsonEvent(e, file);
    }
    file += first ? "]" : "\r\n  ]";
}

void LayOutEventsCsv(const SavedEvents& events, std::string& file) {
    file = "Time,Hop,Kind,Event,Seconds,Open\r\n";
    for (const SavedEvent& e : events.List) {
        AppendCsvField(file, e.Time);
        file += ',';
        AppendNumber(file, e.Hop);
        file += ',';
        AppendCsvField(file, EventKindKey(e.Event.Kind));
        file += ',';
        AppendCsvField(file, e.Text.c_str());
        file += ',';
        if (e.Seconds > 0)
            AppendNumber(file, e.Seconds);
        file += ',';
        file += e.Event.Open ? "1" : "0";
        file += "\r\n";
    }
}
