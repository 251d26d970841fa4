// The graph's drawing primitives: fills, lines, frames and text on the back buffer.
#include "graph/graph_canvas.h"
#include <algorithm>
#include <cstring>

COLORREF Mix(COLORREF a, COLORREF b, int percent) {
    auto channel = [&](int shift) {
        int from = (a >> shift) & 0xFF, to = (b >> shift) & 0xFF;
        return static_cast<COLORREF>(from + (to - from) * percent / 100) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

Palette SystemPalette() {
    Palette p;
    p.back = GetSysColor(COLOR_WINDOW);
    p.text = GetSysColor(COLOR_WINDOWTEXT);
    p.gray = GetSysColor(COLOR_GRAYTEXT);
    p.grid = Mix(p.back, p.text, 20);
    p.highlight = GetSysColor(COLOR_HIGHLIGHT);
    p.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    return p;
}

void Fill(const Canvas& c, int left, int top, int right, int bottom, COLORREF colour) {
    left = std::max(left, 0), right = std::min(right, c.width);
    top = std::max(top, 0), bottom = std::min(bottom, c.height);
    uint32_t pixel = GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
    for (int y = top; y < bottom; y++) {
        uint32_t* row = c.bits + (c.height - 1 - y) * c.width; // the rows go bottom-up
        for (int x = left; x < right; x++)
            row[x] = pixel;
    }
}

void Line(const Canvas& c, int x0, int y0, int x1, int y1, COLORREF colour) {
    if (y0 == y1)
        Fill(c, std::min(x0, x1), y0, std::max(x0, x1), y0 + 1, colour);
    else
        Fill(c, x0, std::min(y0, y1), x0 + 1, std::max(y0, y1), colour);
}

void Frame(const Canvas& c, const RECT& r, COLORREF colour) {
    Fill(c, r.left, r.top, r.right, r.top + 1, colour);
    Fill(c, r.left, r.bottom - 1, r.right, r.bottom, colour);
    Fill(c, r.left, r.top, r.left + 1, r.bottom, colour);
    Fill(c, r.right - 1, r.top, r.right, r.bottom, colour);
}

int TextWidth(const Canvas& c, const char* text) {
    SIZE size = {};
    GetTextExtentPoint32A(c.dc, text, static_cast<int>(strlen(text)), &size);
    return size.cx;
}

void Text(const Canvas& c, const char* text, int left, int top, int right, int bottom,
          COLORREF colour, UINT align) {
    RECT r = {left, top, right, bottom};
    SetTextColor(c.dc, colour);
    DrawTextA(c.dc, text, -1, &r,
              align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    GdiFlush();
}

int AxisPixels(double value, double top, int length) {
    double share = std::min(value / top, 1.0);
    return static_cast<int>(share * length + 0.5);
}
