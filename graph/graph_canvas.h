// The graph's drawing primitives: upright shapes written straight into the back buffer's pixels,
// and text through GDI.
#pragma once
#include <windows.h>
#include <cstdint>

struct Palette {
    COLORREF back, text, gray, grid, highlight, highlightText;
};

struct Canvas {
    HDC dc;
    uint32_t* bits; // bottom-up rows of width pixels
    int width, height;
    int line;      // a line of text, from the font's metrics
    int charWidth; // the font's average character width
    Palette colours;
};

// Between two colours, percent of the way from a to b: gridlines that show on any background.
COLORREF Mix(COLORREF a, COLORREF b, int percent);
// The system's window colours, and a grid between its background and text.
Palette SystemPalette();

// Every shape is upright: written straight into the back buffer's pixels, which costs a fraction
// of a GDI call each. Only the text goes through GDI, flushed before the next pixel is written.
void Fill(const Canvas& c, int left, int top, int right, int bottom, COLORREF colour);
// From (x0, y0) to (x1, y1), one of them upright or level, the end excluded, as GDI draws lines.
void Line(const Canvas& c, int x0, int y0, int x1, int y1, COLORREF colour);
void Frame(const Canvas& c, const RECT& r, COLORREF colour);

int TextWidth(const Canvas& c, const char* text);
// One line of text in the box, cut with an ellipsis where it does not fit.
void Text(const Canvas& c, const char* text, int left, int top, int right, int bottom,
          COLORREF colour, UINT align = DT_LEFT);

// The pixels of value on an axis from 0 to top that is length pixels long, rounded; values above
// top stay at its end.
int AxisPixels(double value, double top, int length);
