// The ten columns of the hop table and the mapping of a column to its place among the
// visible ones (platform-free).
#pragma once

enum { kColumnTotal = 10, kColumnNameSize = 32 };

enum ColumnNumber {
    kColumnHop,
    kColumnAddress,
    kColumnHostName,
    kColumnSent,
    kColumnReceived,
    kColumnRtt,
    kColumnAverageRtt,
    kColumnMinRtt,
    kColumnMaxRtt,
    kColumnLoss,
};

struct ColumnDef {
    char Name[kColumnNameSize];
    int ListWidth;   // pixels; while hidden, the width it had when it was hidden
    int ReportWidth; // report field width: negative = left-aligned, positive = right-aligned
    int Format;      // 0 = left, 1 = right
    int Visible;
};

// The built-in table, and the one in use: the hop table starts from the built-in one and
// only Visible and ListWidth change while it lives.
extern const ColumnDef kBuiltInColumns[kColumnTotal];
extern ColumnDef Columns[kColumnTotal];
extern int ColumnCount; // columns in use; 10 once the hop table exists

// The list view column index of column n: the number of visible columns before it.
int VisibleIndex(int column);
