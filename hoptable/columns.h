// The columns of the hop table, the mapping of a column to its place among the visible ones,
// and the View menu's command of each (platform-free).
#pragma once

// The ten original columns and the AS column after them, hidden until the user shows it.
enum { kColumnTotal = 11, kColumnNameSize = 32 };

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
    kColumnAs,
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
extern int ColumnCount; // columns in use; kColumnTotal once the hop table exists

// The list view column index of column n: the number of visible columns before it.
int VisibleIndex(int column);

// The View menu's command that shows and hides column n; the ten original columns take
// IDM_COLUMN_FIRST + n, the AS column a command of its own.
int ColumnCommand(int column);
// The column of a View menu command, or -1 for any other command.
int CommandColumn(int command);
// The value the INI file's "Columns" section means when it has no key for column n: its
// built-in width, shown, or minus that width for a column hidden by default (at 96 DPI).
int DefaultColumnValue(int column);
