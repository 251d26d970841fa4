// The cell text rules of the hop table, from a hop's numbers (platform-free).
#include "hoptable/cell_format.h"
#include "common/bounded_text.h"
#include "hoptable/columns.h"
#include "hoptable/loss_rule.h"
#include "trace/format_address.h"

int HopNumber(int row, int ignoreFirst) {
    return row + (ignoreFirst & 1) + 1;
}

// Every number is shown as signed decimal, round-trip times too.
const char* FormatHopCell(int column, const HopCellNumbers& hop, char* text, size_t size) {
    unsigned n = static_cast<unsigned>(column); // a negative column is unknown too
    if (n >= kColumnTotal)
        return CopyText(text, size, "Dunno");
    if (n == kColumnHop)
        return FormatText(text, size, "%d", HopNumber(hop.Row, hop.IgnoreFirst));
    if (n == kColumnHostName)
        return hop.HostText;
    if (n == kColumnAs)
        return hop.AsText ? hop.AsText : "";
    if (hop.NoResponse)
        return CopyText(text, size, "---");
    switch (n) {
    case kColumnAddress:
        return FormatAddress(hop.Address);
    case kColumnSent:
        return FormatText(text, size, "%d", hop.Sent);
    case kColumnReceived:
        return FormatText(text, size, "%d", hop.Received);
    case kColumnRtt:
        return FormatText(text, size, "%dms", static_cast<int>(hop.LastRtt));
    case kColumnAverageRtt:
        return FormatText(text, size, "%dms", static_cast<int>(hop.AverageRtt));
    case kColumnMinRtt:
        return FormatText(text, size, "%dms", static_cast<int>(hop.MinRtt));
    case kColumnMaxRtt:
        return FormatText(text, size, "%dms", static_cast<int>(hop.MaxRtt));
    }
    return FormatText(text, size, "%d%%", LossPercent(hop.Sent, hop.Received));
}
