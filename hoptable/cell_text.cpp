// The text of each cell of the hop table, read from the hop's pinger.
#include "common/bounded_text.h"
#include "echo/pinger.h"
#include "hoptable/hop_table.h"
#include "hoptable/loss_rule.h"
#include "settings/settings.h"
#include "trace/format_address.h"
#include "trace/trace.h"

static char CellText[256];

// Every number is shown as signed decimal.
static const char* FormatCell(const char* format, int value) {
    return FormatText(CellText, sizeof CellText, format, value);
}

const char* GetCellText(int row, int column) {
    unsigned n = static_cast<unsigned>(column);
    if (n >= kColumnTotal)
        return CopyText(CellText, sizeof CellText, "Dunno");
    CPinger* p = (row >= 0 && row < kHopListCapacity) ? HopList[row] : nullptr;
    if (!p)
        return CopyText(CellText, sizeof CellText, "");
    if (n == kColumnHop)
        return FormatCell("%d", row + (Settings.IgnoreFirst & 1) + 1);
    if (n == kColumnHostName)
        return p->GetHostText();
    if (p->IsNoResponse())
        return CopyText(CellText, sizeof CellText, "---");
    switch (n) {
    case kColumnAddress:
        return FormatAddress(p->GetDestination());
    case kColumnSent:
        return FormatCell("%d", p->GetSentCount());
    case kColumnReceived:
        return FormatCell("%d", p->GetReceivedCount());
    case kColumnRtt:
        return FormatCell("%dms", static_cast<int>(p->GetLastRtt()));
    case kColumnAverageRtt:
        return FormatCell("%dms", static_cast<int>(p->GetAverageRtt()));
    case kColumnMinRtt:
        return FormatCell("%dms", static_cast<int>(p->GetMinRtt()));
    case kColumnMaxRtt:
        return FormatCell("%dms", static_cast<int>(p->GetMaxRtt()));
    }
    return FormatCell("%d%%", LossPercent(p->GetSentCount(), p->GetReceivedCount()));
}
