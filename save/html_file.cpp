// The web page: one HTML5 document in UTF-8 with its own style, the facts of the trace and the
// hop table's visible columns as a table.
#include "save/file_text.h"
#include "save/saved_files.h"
#include "trace/format_address.h"

static const char kHead[] = "<!DOCTYPE html>\r\n"
                            "<html lang=\"en\">\r\n"
                            "<head>\r\n"
                            "<meta charset=\"utf-8\">\r\n"
                            "<title>";
static const char kStyle[] =
    "</title>\r\n"
    "<style>\r\n"
    "body { font-family: sans-serif; }\r\n"
    "table { border-collapse: collapse; }\r\n"
    "th, td { border: 1px solid #999; padding: 2px 8px; text-align: left; }\r\n"
    "th.number, td.number { text-align: right; }\r\n"
    "tr.ignored td { color: #888; font-style: italic; }\r\n"
    "</style>\r\n"
    "</head>\r\n"
    "<body>\r\n";

// "HOST (A.B.C.D)", escaped.
static void AppendTarget(std::string& file, const SavedTrace& trace) {
    AppendHtmlText(file, trace.Host);
    file += " (";
    file += FormatAddress(trace.Address);
    file += ')';
}

static void AppendFacts(std::string& file, const SavedTrace& trace) {
    file += "<dl>\r\n<dt>Program</dt><dd>Routelark ";
    AppendHtmlText(file, trace.Version);
    file += "</dd>\r\n<dt>Target</dt><dd>";
    AppendTarget(file, trace);
    file += "</dd>\r\n<dt>Started</dt><dd>";
    AppendHtmlText(file, trace.Started);
    file += "</dd>\r\n<dt>Saved</dt><dd>";
    AppendHtmlText(file, trace.Saved);
    file += "</dd>\r\n</dl>\r\n";
}

// A cell of column n; the columns right-aligned in the copied report are so here too.
static void AppendCell(std::string& file, const char* tag, const ColumnDef& column,
                       const char* text) {
    file += '<';
    file += tag;
    file += column.ReportWidth > 0 ? " class=\"number\">" : ">";
    AppendHtmlText(file, text);
    file += "</";
    file += tag;
    file += '>';
}

// One row per hop; an ignored hop's row is marked, and true is returned when there was one.
static bool AppendRows(std::string& file, const SavedTrace& trace) {
    bool anyIgnored = false;
    for (int r = 0; r < trace.HopCount; r++) {
        SavedHop hop;
        if (!trace.ReadHop(r, hop))
            continue;
        anyIgnored = anyIgnored || hop.Ignored;
        file += hop.Ignored ? "<tr class=\"ignored\">" : "<tr>";
        for (int n = 0; n < trace.ColumnCount; n++) {
            if (!trace.Columns[n].Visible)
                continue;
            char text[32];
            AppendCell(file, "td", trace.Columns[n],
                       FormatHopCell(n, hop.Numbers, text, sizeof text));
        }
        file += "</tr>\r\n";
    }
    return anyIgnored;
}

void LayOutHtmlFile(const SavedTrace& trace, std::string& file) {
    file = kHead;
    file += "Routelark: ";
    AppendTarget(file, trace);
    file += ", ";
    AppendHtmlText(file, trace.Started);
    file += kStyle;
    file += "<h1>Trace of ";
    AppendTarget(file, trace);
    file += ", started ";
    AppendHtmlText(file, trace.Started);
    file += "</h1>\r\n";
    AppendFacts(file, trace);
    file += "<table>\r\n<thead>\r\n<tr>";
    for (int n = 0; n < trace.ColumnCount; n++)
        if (trace.Columns[n].Visible)
            AppendCell(file, "th", trace.Columns[n], trace.Columns[n].Name);
    file += "</tr>\r\n</thead>\r\n<tbody>\r\n";
    bool anyIgnored = AppendRows(file, trace);
    file += "</tbody>\r\n</table>\r\n";
    if (anyIgnored)
        file +=
            "<p>The rows in gray italics are ignored hops, which Routelark does not ping.</p>\r\n";
    AppendHtmlEvents(trace, file);
    file += "</body>\r\n</html>\r\n";
}
