// The rules of drawing for a screen's DPI: pixel sizes scaled from 96 DPI the way Windows rounds
// (MulDiv), the pick among artwork drawn at several sizes, and the column widths that the INI
// file keeps in 96-DPI units (platform-free).
#pragma once

enum { kBaseDpi = 96 }; // the DPI every pixel size of the program is given at

// value * dpi / 96, rounded half away from zero as MulDiv rounds; a dpi of 0 or below counts as
// 96, and a result beyond an int's range saturates.
int ScaleToDpi(int value, int dpi);
// value * 96 / dpi, rounded the same way: a size in pixels at dpi back to 96-DPI units.
int ScaleFromDpi(int value, int dpi);

// The artwork to draw at `needed` pixels, from `count` sizes in ascending order: the index of
// the smallest at or above it, which is then shrunk unless it fits exactly; the largest when
// none is that large.
int PickArtworkSize(int needed, const int* sizes, int count);

// A "Columns" value of the INI file (the width when shown, minus the width when hidden) is in
// 96-DPI units: the value stored for one in pixels at dpi, and the value in pixels at dpi for a
// stored one. A shown column's width stays at least 1 either way, so that it never turns hidden.
int StoredColumnValue(int pixelValue, int dpi);
int ColumnValueAtDpi(int storedValue, int dpi);
