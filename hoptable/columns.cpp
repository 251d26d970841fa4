// The column table with its built-in titles, widths and alignments.
#include "hoptable/columns.h"
#include "app/resource.h"

const ColumnDef kBuiltInColumns[kColumnTotal] = {
    {"Hop", 44, -5, 1, 1},   {"IP Address", 110, -17, 0, 1}, {"Host Name", 240, -28, 0, 1},
    {"Sent", 50, 6, 1, 1},   {"Recv", 50, 6, 1, 1},          {"RTT", 60, 8, 1, 1},
    {"Av RTT", 70, 8, 1, 1}, {"Min RTT", 70, 9, 1, 1},       {"Max RTT", 70, 9, 1, 1},
    {"% Loss", 60, 7, 1, 1}, {"AS", 160, -24, 0, 0},
};
ColumnDef Columns[kColumnTotal];
int ColumnCount;

int VisibleIndex(int column) {
    int index = 0;
    for (int n = 0; n < column && n < ColumnCount; n++)
        index += Columns[n].Visible ? 1 : 0;
    return index;
}

int ColumnCommand(int column) {
    if (column == kColumnAs)
        return IDM_COLUMN_AS;
    return IDM_COLUMN_FIRST + column;
}

int CommandColumn(int command) {
    if (command == IDM_COLUMN_AS)
        return kColumnAs;
    if (command >= IDM_COLUMN_FIRST && command <= IDM_COLUMN_FIRST + kColumnLoss)
        return command - IDM_COLUMN_FIRST;
    return -1;
}

int DefaultColumnValue(int column) {
    if (column < 0 || column >= kColumnTotal)
        return 0;
    const ColumnDef& c = kBuiltInColumns[column];
    return c.Visible ? c.ListWidth : -c.ListWidth;
}
