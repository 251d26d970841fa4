// The trace report from any cell texts, widths and visibility: every line ends in CR LF, a
// field is never cut and takes at least its width, and HTML leaves no raw & < > " behind.
#include "fuzz_check.h"
#include "hoptable/report_layout.h"
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

static std::vector<std::string> Cells;

static const char* Cell(int row, int column) {
    return Cells[(static_cast<size_t>(row) * kColumnTotal + column) % Cells.size()].c_str();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    int html = data[0] & 1,
        rows = data[1] % 9; // the layout of a row does not depend on how many came before
    unsigned visible = data[2];
    std::string rest(reinterpret_cast<const char*>(data + 3), size - 3);
    Cells.clear();
    for (size_t at = 0; at <= rest.size();) { // NUL-separated texts
        size_t end = rest.find('\0', at);
        if (end == std::string::npos)
            end = rest.size();
        Cells.push_back(rest.substr(at, end - at));
        at = end + 1;
    }
    // The table's own widths, with the visibility the fuzzer chose.
    ColumnDef columns[kColumnTotal];
    const int widths[kColumnTotal] = {-5, -17, -28, 6, 6, 8, 8, 9, 9, 7};
    for (int n = 0; n < kColumnTotal; n++)
        columns[n] = ColumnDef{"T&<>\"", 0, widths[n], 0, static_cast<int>((visible >> n) & 1)};
    std::string report;
    LayOutReport(ReportSource{columns, kColumnTotal, rows, Cell, html}, report);
    FUZZ_CHECK(report.size() >= 2 && report.compare(report.size() - 2, 2, "\r\n") == 0);
    size_t lines = 0;
    for (size_t i = 0; i + 1 < report.size(); i++)
        lines += report[i] == '\r' && report[i + 1] == '\n';
    FUZZ_CHECK(lines >= static_cast<size_t>(rows) + 2 + (html ? 4 : 0));
    if (html) {
        FUZZ_CHECK(report.compare(0, 30, "<FONT FACE=\"Courier\">\r\n<PRE>\r\n") == 0);
        std::string body = report.substr(30, report.size() - 30 - 17);
        for (size_t i = 0; i < body.size(); i++) {
            FUZZ_CHECK(body[i] != '<' && body[i] != '>' && body[i] != '"');
            if (body[i] == '&')
                FUZZ_CHECK(!body.compare(i, 5, "&amp;") || !body.compare(i, 4, "&lt;") ||
                           !body.compare(i, 4, "&gt;") || !body.compare(i, 6, "&quot;"));
        }
    }
    // One field on its own: never shorter than its width, the text whole.
    for (const std::string& c : Cells) {
        int width = static_cast<int8_t>(data[1]);
        std::string field;
        AppendReportField(field, c.c_str(), width, 0);
        size_t text = strlen(c.c_str());
        size_t wanted = static_cast<size_t>(width < 0 ? -width : width);
        FUZZ_CHECK(field.size() == (text > wanted ? text : wanted));
        FUZZ_CHECK(field.find(c.c_str()) != std::string::npos);
    }
    return 0;
}
