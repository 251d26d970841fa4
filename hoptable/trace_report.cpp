// The trace report of the running program's hops, and its hand-over to the clipboard.
#include "hoptable/trace_report.h"
#include "app/app.h"
#include "hoptable/hop_table.h"
#include "hoptable/report_layout.h"
#include "settings/settings.h"
#include "trace/trace.h"
#include <cstring>

// A hop's line is formatted from its figures taken once, as its row is: all of one moment.
static int LineRow;
static bool LineKnown;
static HopCellNumbers LineHop;

static const char* ReportCellText(int row, int column) {
    static char text[256];
    if (row != LineRow)
        LineKnown = TakeHopCellNumbers(LineRow = row, LineHop);
    return LineKnown ? FormatHopCell(column, LineHop, text, sizeof text) : "";
}

void BuildTraceReport(std::string& report) {
    BuildTraceReport(report, Settings.CopyHTML & 1);
}

void BuildTraceReport(std::string& report, int html) {
    LineRow = -1;
    ReportSource source = {Columns, ColumnCount, HopCount, ReportCellText, html};
    LayOutReport(source, report);
}

// A moveable global block holding text and its terminating zero, or nullptr.
static HGLOBAL CopyToGlobalBlock(const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    if (!block)
        return nullptr;
    void* bytes = GlobalLock(block);
    if (!bytes) {
        GlobalFree(block);
        return nullptr;
    }
    memcpy(bytes, text.data(), text.size()); // the zero comes from GMEM_ZEROINIT
    GlobalUnlock(block);
    return block;
}

bool PutTextOnClipboard(const std::string& text) {
    // The block is ready before the clipboard is opened, so that a failure on the way
    // leaves the clipboard as it was.
    HGLOBAL block = CopyToGlobalBlock(text);
    if (!block)
        return false;
    if (!OpenClipboard(MainWindow)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
    if (!taken)
        GlobalFree(block); // only a block the clipboard took belongs to it
    CloseClipboard();
    return taken;
}

void CopyTraceReport() {
    std::string report;
    BuildTraceReport(report);
    PutTextOnClipboard(report);
}
