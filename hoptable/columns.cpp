// The column table with its built-in titles, widths and alignments.
#include "hoptable/columns.h"

const ColumnDef kBuiltInColumns[kColumnTotal] = {
    {"Hop", 44, -5, 1, 1},   {"IP Address", 110, -17, 0, 1}, {"Host Name", 240, -28, 0, 1},
    {"Sent", 50, 6, 1, 1},   {"Recv", 50, 6, 1, 1},          {"RTT", 60, 8, 1, 1},
    {"Av RTT", 70, 8, 1, 1}, {"Min RTT", 70, 9, 1, 1},       {"Max RTT", 70, 9, 1, 1},
    {"% Loss", 60, 7, 1, 1},
};
ColumnDef Columns[kColumnTotal];
int ColumnCount;

int VisibleIndex(int column) {
    int index = 0;
    for (int n = 0; n < column && n < ColumnCount; n++)
        index += Columns[n].Visible ? 1 : 0;
    return index;
}
