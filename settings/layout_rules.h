// Rules of the layout kept in the INI file: column values and window placements
// (platform-free).
#pragma once

// A column's value in "Columns": its width when shown, minus its width when hidden.
struct ColumnLayout {
    int visible;
    int width; // the width shown, or remembered while hidden; never negative
};
// Above 0: shown with that width; 0 or below: hidden, the absolute value remembered.
ColumnLayout DecodeColumnValue(int value);
// The value to write: the width shown for a visible column, minus the remembered width
// of a hidden one.
int EncodeColumnValue(int visible, int shownWidth, int rememberedWidth);

// Whether a stored placement describes a window at all: a positive width and height, and
// right and bottom edges that a screen coordinate can hold.
bool PlacementHasArea(int x, int y, int width, int height);
