// What the graph window shows and where its parts were painted; shared by the window and its
// painting, not for other modules.
#pragma once
#include "graph/graph.h"

struct GraphViewState {
    GraphSpan span;
    int dpi;    // the window's: every size of graph_metrics.h is scaled from 96 DPI to it
    HFONT font; // the system's message font, made for that DPI
    // Filled by each paint, for the clicks: the span selector's items, and the route pane's bands
    // (the band of row i from bands.top + i * bandHeight down, bandHeight high).
    RECT selector[kGraphSpanCount];
    RECT bands;
    int bandHeight;
};
extern GraphViewState GraphView;

// A size of graph_metrics.h, given at 96 DPI, in pixels at the window's DPI.
int Scaled(int pixelsAt96);

// The row of the hop the graph shows: the row selected in the hop table, or else the first hop
// that answers; -1 when there is none.
int GraphHopRow();
// A hop as the graph names it: its number as the Hop column shows it, and its host text, or its
// address while its name is unknown.
int GraphHopNumber(int row);
const char* GraphHopName(int row);

// Puts the graph's picture on the clipboard as a device-independent bitmap (CF_DIB): the 32-bit
// bottom-up pixels of width x height.
void CopyGraphPicture(const void* bits, int width, int height);

// Paints the whole window, width x height, into dc, whose bitmap is the 32-bit bottom-up DIB
// section at bits (its columns are written straight into it).
void PaintGraph(HDC dc, void* bits, int width, int height);
