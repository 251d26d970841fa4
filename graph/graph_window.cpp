// The graph window: owned by the main window, it follows the hop table's selected row, and
// repaints, double-buffered, at most five times a second while echoes come in.
#include "app/app.h"
#include "app/resource.h"
#include "common/bounded_text.h"
#include "dpi/dpi_rules.h"
#include "dpi/window_dpi.h"
#include "graph/graph_metrics.h"
#include "graph/graph_settings.h"
#include "graph/graph_view.h"
#include "hoptable/cell_format.h"
#include "hoptable/hop_table.h"
#include "settings/settings.h"
#include "trace/format_address.h"
#include "trace/trace.h"
#include <cstring>

HWND GraphWindow;
GraphViewState GraphView;

static const char kGraphClass[] = "RoutelarkGraph";
static const char kGraphTitle[] = "Hop Graph";
enum : UINT_PTR { kFrameTimerId = 1 };
// The buckets hold whole seconds: five repaints a second show the newest one grow, at a twelfth of
// the cost of one a display frame (a repaint costs about a millisecond for a lab's seven hops).
enum { kGraphFrameMs = 200 };

// The back buffer: a bottom-up 32-bit DIB section the size of the client area, kept between paints
// and made anew when the size changes.
static struct {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ before;
    void* bits;
    int width, height;
} Buffer;
static char ShownTitle[2 * kHostTextSize];
static DWORD LastPaint;   // GetTickCount of the last paint
static bool PaintPending; // invalidated, or the frame timer runs: later figures need nothing more

int GraphHopRow() {
    int row = static_cast<int>(SendMessageA(HopTable, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    if (row >= 0 && row < HopCount && HopList[row])
        return row;
    for (row = 0; row < HopCount; row++)
        if (HopList[row] && !HopList[row]->IsNoResponse())
            return row;
    return -1;
}

int GraphHopNumber(int row) {
    return HopNumber(row, Settings.IgnoreFirst);
}

const char* GraphHopName(int row) {
    const char* host = HopList[row]->GetHostText();
    if (host[0] && strcmp(host, kUnknownHostText) != 0)
        return host;
    return FormatAddress(HopList[row]->GetDestination());
}

// Set only when it changes: a title is repainted by the system each time it is set.
static void ShowGraphTitle() {
    char title[sizeof ShownTitle];
    int row = GraphHopRow();
    if (row < 0)
        CopyText(title, sizeof title, kGraphTitle);
    else
        FormatText(title, sizeof title, "%s - Hop %d: %s", kGraphTitle, GraphHopNumber(row),
                   GraphHopName(row));
    if (strcmp(title, ShownTitle) == 0)
        return;
    CopyText(ShownTitle, sizeof ShownTitle, title);
    SetWindowTextA(GraphWindow, title);
}

static void FreeBuffer() {
    if (Buffer.dc) {
        SelectObject(Buffer.dc, Buffer.before);
        DeleteObject(Buffer.bitmap);
        DeleteDC(Buffer.dc);
    }
    Buffer = {};
}

static bool MakeBuffer(int width, int height) {
    if (Buffer.dc && Buffer.width == width && Buffer.height == height)
        return true;
    FreeBuffer();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as the clipboard's CF_DIB wants it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    Buffer.dc = CreateCompatibleDC(nullptr);
    Buffer.bitmap = CreateDIBSection(Buffer.dc, &info, DIB_RGB_COLORS, &Buffer.bits, nullptr, 0);
    if (!Buffer.dc || !Buffer.bitmap || !Buffer.bits) {
        if (Buffer.dc)
            DeleteDC(Buffer.dc);
        if (Buffer.bitmap)
            DeleteObject(Buffer.bitmap);
        Buffer = {};
        return false;
    }
    Buffer.before = SelectObject(Buffer.dc, Buffer.bitmap);
    Buffer.width = width, Buffer.height = height;
    return true;
}

// Paints the whole client area into the back buffer; false when there is none to be had.
static bool RenderGraph() {
    RECT client;
    GetClientRect(GraphWindow, &client);
    if (client.right <= 0 || client.bottom <= 0 || !MakeBuffer(client.right, client.bottom))
        return false;
    PaintGraph(Buffer.dc, Buffer.bits, Buffer.width, Buffer.height);
    return true;
}

static void OnGraphPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    ShowGraphTitle();
    if (RenderGraph())
        BitBlt(dc, 0, 0, Buffer.width, Buffer.height, Buffer.dc, 0, 0, SRCCOPY);
    EndPaint(window, &paint);
    LastPaint = GetTickCount();
    PaintPending = false;
}

void NoteHopFiguresChanged() {
    if (!GraphWindow || PaintPending || !IsWindowVisible(GraphWindow) || IsIconic(GraphWindow))
        return;
    PaintPending = true;
    DWORD since = GetTickCount() - LastPaint;
    if (since >= static_cast<DWORD>(kGraphFrameMs))
        InvalidateRect(GraphWindow, nullptr, FALSE);
    else
        SetTimer(GraphWindow, kFrameTimerId, kGraphFrameMs - since, nullptr);
}

// The hop or the span changed at the user's hand: shown at once, whether or not the trace runs.
static void RepaintGraph() {
    if (!GraphWindow)
        return;
    ShowGraphTitle();
    InvalidateRect(GraphWindow, nullptr, FALSE);
}

static void SelectHopRow(int row) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(HopTable, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    SendMessageA(HopTable, LVM_ENSUREVISIBLE, row, FALSE);
}

void FollowHopTable(const NMHDR* header) {
    if (header->code == NM_DBLCLK) {
        int row = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
        if (row >= 0 && row < HopCount && HopList[row]) {
            SelectHopRow(row);
            OpenHopGraph();
        }
    } else if (header->code == LVN_ITEMCHANGED) {
        const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if ((change->uChanged & LVIF_STATE) &&
            ((change->uNewState ^ change->uOldState) & LVIS_SELECTED))
            RepaintGraph();
    }
}

static void ChooseSpan(int index) {
    if (index < 0 || index >= kGraphSpanCount)
        return;
    GraphView.span = static_cast<GraphSpan>(index);
    RepaintGraph();
}

static bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// A click on a span chooses it; a click on a hop's band selects that hop, in the table too.
static void OnGraphClick(int x, int y) {
    for (int i = 0; i < kGraphSpanCount; i++)
        if (Inside(GraphView.selector[i], x, y))
            ChooseSpan(i);
    if (Inside(GraphView.bands, x, y) && GraphView.bandHeight > 0) {
        int row = (y - GraphView.bands.top) / GraphView.bandHeight;
        if (row < HopCount && HopList[row])
            SelectHopRow(row);
    }
}

static void OnGraphKey(WPARAM key) {
    if (key >= '1' && key <= '4')
        ChooseSpan(static_cast<int>(key - '1'));
    else if (key >= VK_NUMPAD1 && key <= VK_NUMPAD4)
        ChooseSpan(static_cast<int>(key - VK_NUMPAD1));
}

int Scaled(int pixelsAt96) {
    return ScaleToDpi(pixelsAt96, GraphView.dpi);
}

// The system's message font at the DPI, so that the graph reads as the system's dialogs do.
static void UseGraphDpi(int dpi) {
    if (HFONT font = CreateMessageFontForDpi(dpi)) {
        if (GraphView.font)
            DeleteObject(GraphView.font);
        GraphView.font = font;
    }
    GraphView.dpi = dpi;
}

// Moved to a screen of another DPI: sizes and font for it, in the rectangle Windows suggests.
static void OnGraphDpiChanged(int dpi, const RECT* suggested) {
    UseGraphDpi(dpi);
    SetWindowPos(GraphWindow, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(GraphWindow, nullptr, FALSE);
}

static void OnGraphDestroyed() {
    KeepGraphPlacement(GraphWindow);
    KillTimer(GraphWindow, kFrameTimerId);
    FreeBuffer();
    DeleteObject(GraphView.font);
    GraphView.font = nullptr;
    GraphWindow = nullptr;
    PaintPending = false;
}

static LRESULT CALLBACK GraphWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnGraphPaint(window);
        return 0;
    case WM_ERASEBKGND: // the paint covers every pixel: no flicker
        return 1;
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_TIMER:
        if (wParam == kFrameTimerId) {
            KillTimer(window, kFrameTimerId);
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {Scaled(kGraphMinWidth),
                                                                 Scaled(kGraphMinHeight)};
        return 0;
    case WM_DPICHANGED:
        OnGraphDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnGraphClick(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_KEYDOWN:
        OnGraphKey(wParam);
        return 0;
    case WM_DESTROY:
        OnGraphDestroyed();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void RegisterGraphClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExA(ProgramInstance, kGraphClass, &windowClass))
        return;
    windowClass.lpfnWndProc = GraphWindowProc;
    windowClass.hInstance = ProgramInstance;
    windowClass.hIcon = LoadIconA(ProgramInstance, MAKEINTRESOURCEA(IDI_ROUTELARK));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kGraphClass;
    RegisterClassExA(&windowClass);
}

void OpenHopGraph() {
    if (GraphWindow) {
        if (IsIconic(GraphWindow))
            ShowWindow(GraphWindow, SW_RESTORE);
        SetForegroundWindow(GraphWindow);
        RepaintGraph();
        return;
    }
    RegisterGraphClass();
    RECT r = GraphOpeningRect();
    GraphView.span = GraphOpeningSpan();
    // It opens on the main window's screen, whose DPI the main window knows from its moves also
    // where Windows cannot tell a window's DPI.
    UseGraphDpi(MainWindowDpi);
    // A popup stays above the main window that owns it, as the WhoIs dialog does.
    GraphWindow = CreateWindowExA(0, kGraphClass, kGraphTitle, WS_POPUP | WS_OVERLAPPEDWINDOW,
                                  r.left, r.top, r.right - r.left, r.bottom - r.top, MainWindow,
                                  nullptr, ProgramInstance, nullptr);
    if (!GraphWindow) {
        DeleteObject(GraphView.font);
        GraphView.font = nullptr;
        return;
    }
    int dpi = WindowDpiOr(GraphWindow, GraphView.dpi);
    if (dpi != GraphView.dpi) // its kept place is on another screen
        UseGraphDpi(dpi);
    CopyText(ShownTitle, sizeof ShownTitle, kGraphTitle);
    ShowGraphTitle();
    ShowWindow(GraphWindow, SW_SHOWNORMAL);
}

// The shortest span whose time line, ending where the graph ends now, reaches back to second.
static GraphSpan SpanHolding(uint32_t second) {
    uint32_t end = TraceEndSecond();
    for (int i = 0; i < kGraphSpanCount; i++) {
        GraphSpan span = static_cast<GraphSpan>(i);
        uint64_t unit = static_cast<uint64_t>(SpanBucketSeconds(span));
        uint64_t right = (end / unit + 1) * unit; // as the time axis places its right edge
        uint64_t length = static_cast<uint64_t>(SpanBucketCount(span)) * unit;
        if (second + length >= right)
            return span;
    }
    return GraphSpan::Day;
}

void ShowHopInGraph(int row, uint32_t second) {
    if (row < 0 || row >= HopCount || !HopList[row])
        return;
    SelectHopRow(row);
    OpenHopGraph();
    ChooseSpan(static_cast<int>(SpanHolding(second)));
}

bool TakeGraphKey(const MSG& msg) {
    if (!GraphWindow || msg.message != WM_KEYDOWN || GetAncestor(msg.hwnd, GA_ROOT) != GraphWindow)
        return false;
    // Return starts a new trace from the main window, which clears every hop's history: someone
    // reading the graph of a stopped trace would lose what they read.
    if (msg.wParam == VK_RETURN)
        return true;
    if (msg.wParam != 'C' || GetKeyState(VK_CONTROL) >= 0)
        return false;
    if (RenderGraph())
        CopyGraphPicture(Buffer.bits, Buffer.width, Buffer.height);
    return true;
}
