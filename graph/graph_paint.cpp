// Paints the graph window: the span selector, the route pane with one band per hop, and the time
// line of the hop shown, with its axes and the figures of its span. Colours are the system's but
// for the data's own.
#include "common/bounded_text.h"
#include "asn/asn.h"
#include "echo/echo_service.h"
#include "events/trace_events.h"
#include "graph/graph_axes.h"
#include "graph/graph_canvas.h"
#include "graph/graph_metrics.h"
#include "graph/graph_view.h"
#include "settings/preferences.h"
#include "trace/trace.h"
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const COLORREF kRangeColour = RGB(70, 130, 230); // the RTTs: a bar, a column's min to max
const COLORREF kLossColour = RGB(220, 40, 40);
const COLORREF kRouteColour = RGB(230, 120, 0); // a route change: its line and its band's word

// Which rows' hops saw their route change, from the event log, once a paint.
void FindRouteChanges(bool (&changed)[kHopListCapacity]) {
    for (bool& row : changed)
        row = false;
    LockEchoStatistics();
    for (int i = 0; i < TraceEventCount(); i++) {
        const TraceEvent& event = TraceEventAt(i);
        if (event.Kind == TraceEventKind::RouteChange && event.Hop < kHopListCapacity)
            changed[event.Hop] = true;
    }
    UnlockEchoStatistics();
}

// --- the span selector --------------------------------------------------------------------

int PaintSelector(const Canvas& c, int top) {
    int height = c.line + 2 * Scaled(kSelectorPadY);
    int x = Scaled(kGraphMargin);
    for (int i = 0; i < kGraphSpanCount; i++) {
        GraphSpan span = static_cast<GraphSpan>(i);
        const char* name = SpanName(span);
        int width = TextWidth(c, name) + 2 * Scaled(kSelectorPadX);
        RECT& r = GraphView.selector[i];
        r = {x, top, x + width, top + height};
        bool chosen = span == GraphView.span;
        if (chosen)
            Fill(c, r.left, r.top, r.right, r.bottom, c.colours.highlight);
        else
            Frame(c, r, c.colours.gray);
        Text(c, name, r.left, r.top, r.right, r.bottom,
             chosen ? c.colours.highlightText : c.colours.text, DT_CENTER);
        x = r.right + Scaled(kGraphTextGap) / 2;
    }
    Text(c, "Keys 1-4: span   Ctrl+C: copy the picture", x + Scaled(kGraphTextGap), top,
         c.width - Scaled(kGraphMargin), top + height, c.colours.gray, DT_RIGHT);
    return top + height;
}

// --- the route pane -----------------------------------------------------------------------

struct RoutePane {
    int top, bottom;
    int labelRight, rttLeft, rttRight, lossLeft;
    int band;      // height of one band
    int labelStep; // every labelStep-th band carries its label, where the bands are too thin
    RttAxis axis;
};

int AxisX(const RttAxis& axis, double rtt, int left, int right) {
    return left + AxisPixels(rtt, axis.top, right - left);
}

void PaintRouteHeader(const Canvas& c, const RoutePane& p) {
    int top = p.top, bottom = p.top + c.line;
    Text(c, "Hop", Scaled(kGraphMargin), top, p.labelRight, bottom, c.colours.gray);
    Text(c, "Loss", p.lossLeft, top, c.width - Scaled(kGraphMargin), bottom, c.colours.gray);
    char label[32];
    for (int line = 0; line <= p.axis.lines; line++) {
        int x = AxisX(p.axis, p.axis.step * line, p.rttLeft, p.rttRight);
        FormatRttLabel(p.axis, line, label, sizeof label);
        if (line == p.axis.lines) {
            FormatText(label + strlen(label), sizeof label - strlen(label), " ms");
            Text(c, label, x - 10 * c.charWidth, top, x, bottom, c.colours.gray, DT_RIGHT);
        } else {
            int half = TextWidth(c, label) / 2;
            Text(c, label, x - half, top, x + half + 1, bottom, c.colours.gray, DT_CENTER);
        }
        Line(c, x, bottom, x, p.bottom, c.colours.grid);
    }
}

void PaintBand(const Canvas& c, const RoutePane& p, int row, const SpanFigures& figures,
               bool shown, bool routeChanged) {
    int top = p.top + c.line + row * p.band, bottom = top + p.band;
    // The hop shown: its label highlighted and its band framed, its bars as any other's.
    if (shown) {
        Fill(c, Scaled(kGraphMargin), top, p.labelRight, bottom, c.colours.highlight);
        RECT frame = {Scaled(kGraphMargin), top, c.width - Scaled(kGraphMargin), bottom};
        Frame(c, frame, c.colours.highlight);
    }
    CPinger* hop = HopList[row];
    bool labelled = shown || row % p.labelStep == 0;
    // A label stands centred on its band, and over its neighbours where the bands are thin.
    int textTop = (top + bottom) / 2 - c.line / 2, textBottom = textTop + c.line;
    if (labelled) {
        char label[64 + kHostTextSize + kAsCellSize];
        FormatText(label, sizeof label, "%d  %s", GraphHopNumber(row), GraphHopName(row));
        // While the AS lookups are on, the hop's AS follows its name once it is known.
        const char* as = hop->IsNoResponse() ? "" : AsCellText(hop->GetDestination());
        if ((Preferences.LookupAs & 1) && as[0])
            FormatText(label + strlen(label), sizeof label - strlen(label), "  %s", as);
        COLORREF colour = shown              ? c.colours.highlightText
                          : hop->IsIgnored() ? c.colours.gray
                                             : c.colours.text;
        Text(c, label, Scaled(kGraphMargin) + Scaled(kLabelIndent), textTop, p.labelRight,
             textBottom, colour);
    }
    // A hop whose route changed says so at the right of its band, over its bars.
    if (labelled && routeChanged)
        Text(c, "route changed", p.rttLeft, textTop, p.rttRight - Scaled(kGraphTextGap),
             textBottom, kRouteColour, DT_RIGHT);
    if (figures.sent == 0)
        return;
    int pad = p.band > 2 * Scaled(kBandPad) + 1 ? Scaled(kBandPad) : 0;
    if (figures.answered) {
        int average = AxisX(p.axis, SpanAverageRtt(figures), p.rttLeft, p.rttRight);
        Fill(c, p.rttLeft, top + pad, std::max(average, p.rttLeft + 1), bottom - pad, kRangeColour);
        int low = AxisX(p.axis, figures.minRtt, p.rttLeft, p.rttRight);
        int high = AxisX(p.axis, figures.maxRtt, p.rttLeft, p.rttRight);
        int middle = (top + bottom) / 2;
        int cap = std::min<int>(Scaled(kWhiskerCap), p.band / 2);
        Line(c, low, middle, high + 1, middle, c.colours.text);
        Line(c, low, middle - cap, low, middle + cap + 1, c.colours.text);
        Line(c, high, middle - cap, high, middle + cap + 1, c.colours.text);
    }
    double loss = SpanLossPercent(figures);
    int barRight = p.lossLeft + Scaled(kLossBarWidth);
    RECT bar = {p.lossLeft, top + pad, barRight, bottom - pad};
    Frame(c, bar, c.colours.gray);
    int lost = p.lossLeft + static_cast<int>(std::ceil(loss * Scaled(kLossBarWidth) / 100));
    if (loss > 0)
        Fill(c, p.lossLeft, top + pad, lost, bottom - pad, kLossColour);
    if (labelled) {
        char percent[16];
        FormatText(percent, sizeof percent, loss < 10 ? "%.1f%%" : "%.0f%%", loss);
        Text(c, percent, barRight + Scaled(kGraphTextGap) / 2, textTop,
             c.width - Scaled(kGraphMargin), textBottom, c.colours.text, DT_RIGHT);
    }
}

// The pane from top, at most maxHeight high; returns its bottom.
int PaintRoutePane(const Canvas& c, int top, int maxHeight, uint32_t end) {
    static SpanFigures figures[kHopListCapacity];
    double highest = 0;
    for (int row = 0; row < HopCount; row++) {
        figures[row] = HopSpanFigures(HopList[row], GraphView.span, end);
        if (figures[row].answered)
            highest = std::max<double>(highest, figures[row].maxRtt);
    }
    RoutePane p = {};
    p.top = top;
    int hops = std::max(HopCount, 1);
    p.band = c.line + Scaled(kBandTextPad);
    if (hops * p.band > maxHeight - c.line)
        p.band = std::max<int>(Scaled(kBandMinHeight), (maxHeight - c.line) / hops);
    p.labelStep = std::max(1, (c.line + p.band - 1) / p.band);
    p.bottom = top + c.line + hops * p.band;
    p.labelRight =
        Scaled(kGraphMargin) + std::clamp(c.width * 3 / 10, 12 * c.charWidth, 40 * c.charWidth);
    p.lossLeft = c.width - Scaled(kGraphMargin) - Scaled(kLossBarWidth) -
                 Scaled(kGraphTextGap) / 2 - TextWidth(c, "100%");
    p.rttLeft = p.labelRight + Scaled(kGraphTextGap);
    p.rttRight = p.lossLeft - 2 * Scaled(kGraphTextGap);
    p.axis = NiceRttAxis(highest);
    PaintRouteHeader(c, p);
    int shown = GraphHopRow();
    static bool changed[kHopListCapacity];
    FindRouteChanges(changed);
    for (int row = 0; row < HopCount; row++)
        if (HopList[row])
            PaintBand(c, p, row, figures[row], row == shown, changed[row]);
    if (HopCount == 0)
        Text(c, "No hops yet: start a trace.", p.rttLeft, top + c.line, p.rttRight, p.bottom,
             c.colours.gray);
    GraphView.bands = {Scaled(kGraphMargin), top + c.line, c.width - Scaled(kGraphMargin),
                       p.bottom};
    GraphView.bandHeight = p.band;
    return p.bottom;
}

// --- the time line --------------------------------------------------------------------------

struct Plot {
    int left, top, right, bottom;
    RttAxis axis;
    int Y(double rtt) const { return bottom - AxisPixels(rtt, axis.top, bottom - top); }
};

void PaintRttAxis(const Canvas& c, const Plot& plot) {
    char label[32];
    for (int line = 0; line <= plot.axis.lines; line++) {
        int y = plot.Y(plot.axis.step * line);
        FormatRttLabel(plot.axis, line, label, sizeof label);
        if (line == plot.axis.lines)
            FormatText(label + strlen(label), sizeof label - strlen(label), " ms");
        Text(c, label, Scaled(kGraphMargin), y - c.line / 2,
             plot.left - Scaled(kTickLength) - Scaled(kAxisLabelGap), y - c.line / 2 + c.line,
             c.colours.gray, DT_RIGHT);
        Line(c, plot.left - Scaled(kTickLength), y, plot.left, y, c.colours.gray);
        if (line > 0)
            Line(c, plot.left, y, plot.right, y, c.colours.grid);
    }
}

void PaintTimeAxis(const Canvas& c, const Plot& plot, GraphSpan span, uint32_t end) {
    int unit = SpanBucketSeconds(span);
    double spanSeconds = static_cast<double>(SpanBucketCount(span)) * unit;
    double right = (end / unit + 1.0) * unit; // trace seconds at the plot's right edge
    double leftClock = TraceStartClock() + right - spanSeconds;
    int width = plot.right - plot.left;
    char label[16];
    int labelWidth = TextWidth(c, "00:00:00") + 2 * Scaled(kGraphTextGap);
    TimeAxis axis = NiceTimeAxis(spanSeconds, std::max(1, width / labelWidth));
    for (double tick = FirstTimeTick(axis, leftClock); tick <= leftClock + spanSeconds;
         tick += axis.step) {
        int x = plot.left + static_cast<int>((tick - leftClock) / spanSeconds * width + 0.5);
        Line(c, x, plot.top, x, plot.bottom, c.colours.grid);
        Line(c, x, plot.bottom, x, plot.bottom + Scaled(kTickLength), c.colours.gray);
        FormatClock(tick, axis.withSeconds, label, sizeof label);
        int half = TextWidth(c, label) / 2;
        Text(c, label, x - half, plot.bottom + Scaled(kTickLength), x + half + 1,
             plot.bottom + Scaled(kTickLength) + c.line, c.colours.gray, DT_CENTER);
    }
}

// Each column of pixels: the range of its RTTs, a red mark from the top as high as the share lost,
// and the average as a line through the columns that hold answers.
void PaintColumns(const Canvas& c, const Plot& plot, const SpanFigures* columns, int count) {
    int width = plot.right - plot.left;
    for (int i = 0; i < count; i++) {
        const SpanFigures& column = columns[i];
        int from = plot.left + i * width / count, to = plot.left + (i + 1) * width / count;
        for (int x = from; x < to; x++) {
            if (column.answered) { // never thinner than kRangeMinHeight: 0 ms shows too
                int low = plot.Y(column.minRtt);
                Fill(c, x, std::min(plot.Y(column.maxRtt), low - Scaled(kRangeMinHeight) + 1),
                     x + 1, low + 1, kRangeColour);
            }
            if (column.sent > column.answered) {
                double share = static_cast<double>(column.sent - column.answered) / column.sent;
                int height = static_cast<int>(share * (plot.bottom - plot.top) + 0.5);
                Fill(c, x, plot.top, x + 1,
                     plot.top + std::max<int>(height, Scaled(kLossMarkMinHeight)), kLossColour);
            }
        }
    }
    // The average: level across each column that holds answers, upright between neighbours.
    int before = -1; // the average's height in the column before, -1 where it held none
    for (int i = 0; i < count; i++) {
        if (!columns[i].answered) {
            before = -1;
            continue;
        }
        int y = plot.Y(SpanAverageRtt(columns[i]));
        int from = plot.left + i * width / count, to = plot.left + (i + 1) * width / count;
        Fill(c, from, y, std::max(to, from + 1), y + 1, c.colours.text);
        if (before >= 0)
            Line(c, from, std::min(before, y), from, std::max(before, y) + 1, c.colours.text);
        before = y;
    }
}

// A line down the plot at the second of each route change of the hop in row, where the span
// holds it; the seconds are read under the lock, the lines drawn after.
void PaintRouteChanges(const Canvas& c, const Plot& plot, int row, GraphSpan span, uint32_t end) {
    uint64_t unit = static_cast<uint64_t>(SpanBucketSeconds(span));
    uint64_t length = static_cast<uint64_t>(SpanBucketCount(span)) * unit;
    uint64_t right = (end / unit + 1) * unit; // as PaintTimeAxis places the right edge
    static uint32_t seconds[kEventCapacity];
    int count = 0;
    LockEchoStatistics();
    for (int i = 0; i < TraceEventCount(); i++) {
        const TraceEvent& event = TraceEventAt(i);
        if (event.Kind == TraceEventKind::RouteChange && event.Hop == row &&
            event.StartSecond + length >= right && event.StartSecond < right)
            seconds[count++] = event.StartSecond;
    }
    UnlockEchoStatistics();
    int width = plot.right - plot.left;
    for (int i = 0; i < count; i++) {
        double from = static_cast<double>(seconds[i] + length - right); // seconds past the left
        int x = plot.left + static_cast<int>(from / static_cast<double>(length) * width + 0.5);
        Line(c, x, plot.top, x, plot.bottom, kRouteColour);
    }
}

void PaintTimeLine(const Canvas& c, int top, uint32_t end) {
    int row = GraphHopRow();
    GraphSpan span = GraphView.span;
    SpanFigures figures = row >= 0 ? HopSpanFigures(HopList[row], span, end) : EmptySpanFigures();
    char text[256], numbers[200];
    FormatText(text, sizeof text, "Last %s:   %s", SpanName(span),
               FormatSpanFigures(figures, numbers, sizeof numbers));
    Text(c, text, Scaled(kGraphMargin), top, c.width - Scaled(kGraphMargin), top + c.line,
         c.colours.text);

    Plot plot;
    plot.axis = NiceRttAxis(figures.answered ? figures.maxRtt : 0);
    char widest[32];
    FormatRttLabel(plot.axis, plot.axis.lines, widest, sizeof widest);
    FormatText(widest + strlen(widest), sizeof widest - strlen(widest), " ms");
    plot.left =
        Scaled(kGraphMargin) + TextWidth(c, widest) + Scaled(kAxisLabelGap) + Scaled(kTickLength);
    plot.right = c.width - Scaled(kGraphMargin) - TextWidth(c, "00:00:00") / 2;
    plot.top = top + c.line + c.line / 2 + Scaled(kGraphTextGap);
    plot.bottom = c.height - Scaled(kGraphMargin) - Scaled(kTickLength) - c.line;
    if (plot.right - plot.left < 2 || plot.bottom - plot.top < 2)
        return;
    PaintRttAxis(c, plot);
    if (row >= 0)
        PaintTimeAxis(c, plot, span, end);
    Line(c, plot.left, plot.top, plot.left, plot.bottom + 1, c.colours.gray);
    Line(c, plot.left, plot.bottom, plot.right, plot.bottom, c.colours.gray);
    static SpanFigures columns[kPlotMaxColumns];
    int count = std::min<int>(plot.right - plot.left, kPlotMaxColumns);
    if (row >= 0 && HopList[row]->History()) {
        LockEchoStatistics(); // one hop's span at a time: the worker waits for no more than that
        BinSpan(*HopList[row]->History(), span, end, columns, count);
        UnlockEchoStatistics();
        PaintColumns(c, plot, columns, count);
        PaintRouteChanges(c, plot, row, span, end);
    }
    if (row < 0)
        Text(c, "The time line shows the hop selected in the table.", plot.left, plot.top,
             plot.right, plot.bottom, c.colours.gray, DT_CENTER);
}

} // namespace

void PaintGraph(HDC dc, void* bits, int width, int height) {
    Canvas c = {};
    c.dc = dc;
    c.bits = static_cast<uint32_t*>(bits);
    c.width = width, c.height = height;
    c.colours = SystemPalette();
    HGDIOBJ oldFont = SelectObject(dc, GraphView.font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    c.line = metrics.tmHeight + metrics.tmExternalLeading;
    c.charWidth = std::max<int>(metrics.tmAveCharWidth, 1);
    SetBkMode(dc, TRANSPARENT);
    Fill(c, 0, 0, width, height, c.colours.back);
    uint32_t end = TraceEndSecond();
    int top = PaintSelector(c, Scaled(kGraphMargin)) + Scaled(kGraphSectionGap);
    // The time line keeps room for its figures, its plot and its labels; the pane takes the rest
    // up to its share.
    int timeLine = c.line + c.line / 2 + Scaled(kGraphTextGap) + Scaled(kPlotMinHeight) +
                   Scaled(kTickLength) + c.line;
    int room = height - Scaled(kGraphMargin) - top;
    int pane = std::min(room * kRoutePanePercent / 100, room - Scaled(kGraphSectionGap) - timeLine);
    top = PaintRoutePane(c, top, std::max(pane, c.line + Scaled(kBandMinHeight)), end) +
          Scaled(kGraphSectionGap);
    PaintTimeLine(c, top, end);
    SelectObject(dc, oldFont);
}
