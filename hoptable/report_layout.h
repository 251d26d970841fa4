// The trace report's text: the visible columns' titles, an empty line, and one line per hop,
// each field padded to its column's report width (platform-free).
#pragma once
#include "hoptable/columns.h"
#include <string>

struct ReportSource {
    const ColumnDef* columns;
    int columnCount;
    int rowCount;
    // Text of one cell; valid until the next call.
    const char* (*cellText)(int row, int column);
    int html; // wrap the text for a fixed-width font and escape the cell texts
};

// The entity that stands for c in HTML text, for & < > and "; nullptr for any other character.
const char* HtmlEntity(char c);

// Appends text in a field of width characters: right-aligned when width is positive,
// left-aligned in -width characters when negative, never cut. With html, & < > " are
// written as entities, padded by the text's own length so that the columns stay aligned.
void AppendReportField(std::string& report, const char* text, int width, int html);

// Writes the whole report, every line ending in CR LF, replacing what report held.
void LayOutReport(const ReportSource& source, std::string& report);
