// The four files a trace is saved as: the text report with a header, a web page, CSV and JSON
// (platform-free). Every line ends in CR LF.
#pragma once
#include "asn/as_answer.h"
#include "events/trace_events.h"
#include "hoptable/cell_format.h"
#include "hoptable/columns.h"
#include "graph/hop_history.h"
#include <cstdint>
#include <string>
#include <vector>

// One hop's figures of one moment, as its row shows them, whether it is ignored, and its
// history's figures over the last ten minutes (for jitter and standard deviation).
struct SavedHop {
    HopCellNumbers Numbers; // its HostText in UTF-8
    int Ignored;
    SpanFigures Recent;
    const AsOrigin* Origin = nullptr; // what the AS lookups found for its address, nullptr for nothing
    const AsName* Network = nullptr; // the name of that AS, nullptr while unknown
};

// One event of the trace's log as the saved files give it, its texts in the file's encoding
// (UTF-8 but in the text file, which keeps the program's code page as Copy does).
struct SavedEvent {
    TraceEvent Event;     // as the log keeps it
    int Hop;              // its number as the Hop column shows it
    char Time[40];        // its local time, ISO 8601 with the offset from UTC
    std::string Text;     // what happened, as the Events window says it
    char Duration[32];    // its length as the window shows it; "" for an event of one moment
    uint32_t Seconds;     // that length in seconds; 0 for an event of one moment
    std::string OldName, NewName; // a route change's names
};
// The events kept, oldest first, and the log's counts.
struct SavedEvents {
    std::vector<SavedEvent> List;
    uint32_t SinceStart = 0, Dropped = 0;
};

// What a saved file names, and where its hops come from.
struct SavedTrace {
    const char* Version; // the program's, "1.0.0"
    const char* Host;    // the text the trace was started with (UTF-8 but in the text file)
    uint32_t Address;    // its destination, network byte order
    const char* Started; // local times, ISO 8601 with the offset from UTC
    const char* Saved;
    const ColumnDef* Columns; // the hop table's: titles, report widths, which are visible
    int ColumnCount;
    int HopCount;
    // Hop row's figures, read at one moment; false when there is no such hop.
    bool (*ReadHop)(int row, SavedHop& hop);
    int Count; // the echoes per hop a report run asked for; 0 for Save As
    // The trace's events; nullptr or none recorded: the files have no events section, and read
    // exactly as they did before the log existed.
    const SavedEvents* Events;
};

// Three lines naming the program, the target and the times, an empty line, the events (a title
// line, one line per event and an empty line) when there are any, and then report, the table as
// Copy puts it on the clipboard as text.
void LayOutTextFile(const SavedTrace& trace, const std::string& report, std::string& file);
// A whole HTML5 document in UTF-8 that needs nothing else: the header facts and the visible
// columns as a table, one row per hop, ignored hops marked; then the events, when there are any,
// as a table of their own.
void LayOutHtmlFile(const SavedTrace& trace, std::string& file);
// RFC 4180 CSV: a header row, then one row per hop with every column, visible or not, numbers
// without units, and the target and start on every row; the AS fields (ASN, AS Name, Prefix,
// CC) last, empty where no answer is known.
void LayOutCsvFile(const SavedTrace& trace, std::string& file);
// JSON (RFC 8259) in UTF-8: an object with "format": 1, the program, the target, the times and
// the count, and "hops", one object per hop with its figures as numbers (null where the table
// shows "---" or nothing); with events, "events_since_start", "events_dropped" and "events", one
// object per event. Later versions only add keys.
void LayOutJsonFile(const SavedTrace& trace, std::string& file);

// Whether the file has an events section: some event was recorded since the start.
bool HasSavedEvents(const SavedTrace& trace);
// The events kept as CSV (RFC 4180, UTF-8): a header row, then one row per event, oldest first:
// its local time, hop, kind, words, length in seconds (empty for a moment) and whether it is
// still open.
void LayOutEventsCsv(const SavedEvents& events, std::string& file);
// The events' parts of the text file, the web page and the JSON file, appended where each
// layout puts them; nothing when there are no events.
void AppendTextEvents(const SavedTrace& trace, std::string& file);
void AppendHtmlEvents(const SavedTrace& trace, std::string& file);
void AppendJsonEvents(const SavedTrace& trace, std::string& file);
