// The text of each cell of the hop table, read from the hop's pinger.
#include "asn/asn.h"
#include "common/bounded_text.h"
#include "echo/echo_service.h"
#include "echo/pinger.h"
#include "hoptable/hop_table.h"
#include "settings/settings.h"
#include "trace/trace.h"

static char CellText[256];

bool TakeHopCellNumbers(int row, HopCellNumbers& hop) {
    CPinger* p = (row >= 0 && row < kHopListCapacity) ? HopList[row] : nullptr;
    if (!p)
        return false;
    // The worker counts an echo under this lock: figures taken under it are of one moment.
    LockEchoStatistics();
    hop = {row,
           Settings.IgnoreFirst,
           p->IsNoResponse(),
           p->GetDestination(),
           p->GetHostText(),
           p->GetSentCount(),
           p->GetReceivedCount(),
           p->GetLastRtt(),
           p->GetAverageRtt(),
           p->GetMinRtt(),
           p->GetMaxRtt(),
           p->IsNoResponse() ? "" : AsCellText(p->GetDestination())};
    UnlockEchoStatistics();
    return true;
}

const char* GetCellText(int row, int column) {
    if (static_cast<unsigned>(column) >= kColumnTotal)
        return CopyText(CellText, sizeof CellText, "Dunno");
    HopCellNumbers hop;
    if (!TakeHopCellNumbers(row, hop))
        return CopyText(CellText, sizeof CellText, "");
    return FormatHopCell(column, hop, CellText, sizeof CellText);
}
