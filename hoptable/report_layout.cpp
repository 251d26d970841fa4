// Layout of the trace report: fixed-width fields, CR LF line ends, the optional HTML wrapper.
#include "hoptable/report_layout.h"
#include <cstring>

const char* HtmlEntity(char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    }
    return nullptr;
}

static void AppendEscaped(std::string& report, const char* text, size_t length, int html) {
    if (!html) {
        report.append(text, length);
        return;
    }
    for (size_t i = 0; i < length; i++) {
        const char* entity = HtmlEntity(text[i]);
        if (entity)
            report += entity;
        else
            report += text[i];
    }
}

void AppendReportField(std::string& report, const char* text, int width, int html) {
    size_t length = strlen(text);
    long long field = width < 0 ? -static_cast<long long>(width) : width;
    size_t padding = static_cast<long long>(length) < field ? field - length : 0;
    if (width > 0)
        report.append(padding, ' ');
    AppendEscaped(report, text, length, html);
    if (width < 0)
        report.append(padding, ' ');
}

static void AppendLine(std::string& report, const ReportSource& source, int row) {
    for (int n = 0; n < source.columnCount; n++) {
        const ColumnDef& column = source.columns[n];
        if (!column.Visible)
            continue;
        const char* text = row < 0 ? column.Name : source.cellText(row, n);
        AppendReportField(report, text ? text : "", column.ReportWidth, source.html);
    }
    report += "\r\n";
}

void LayOutReport(const ReportSource& source, std::string& report) {
    report.clear();
    if (source.html)
        report += "<FONT FACE=\"Courier\">\r\n<PRE>\r\n";
    AppendLine(report, source, -1); // the header: the column titles
    report += "\r\n";
    for (int r = 0; r < source.rowCount; r++)
        AppendLine(report, source, r);
    if (source.html)
        report += "</PRE>\r\n</FONT>\r\n";
}
