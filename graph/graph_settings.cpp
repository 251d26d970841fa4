// The graph's section of the INI file: read when the graph first opens in a run, written at
// shutdown only if it did open, so that a run without the graph leaves the file as it was.
#include "app/app.h"
#include "graph/graph.h"
#include "graph/graph_metrics.h"
#include "graph/graph_settings.h"
#include "graph/graph_view.h"
#include "settings/ini_file.h"
#include "settings/ini_lock.h"
#include "settings/owned_window_place.h"
#include "settings/window_placement.h"

static const char kGraphSection[] = "Graph";

// Known once the graph has opened in this run.
static struct {
    bool known;
    RECT rect;
    int span;
} Kept;

static int ReadGraphValue(const char* key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntA(kGraphSection, key, fallback, kIniFileName));
}

static void ReadGraphSection() {
    // Beside the main window's corner where no place is kept.
    RECT fallback = BesideMainWindow(kGraphOffset, kGraphDefaultWidth, kGraphDefaultHeight);
    {
        IniFileLock lock;
        Kept.rect = ReadKeptPlace(kGraphSection, fallback);
        Kept.span = ReadGraphValue("Span", static_cast<int>(GraphSpan::TenMinutes));
    }
    if (Kept.span < 0 || Kept.span >= kGraphSpanCount)
        Kept.span = static_cast<int>(GraphSpan::TenMinutes);
    Kept.known = true;
}

RECT GraphOpeningRect() {
    if (!Kept.known)
        ReadGraphSection();
    return Kept.rect;
}

GraphSpan GraphOpeningSpan() {
    if (!Kept.known)
        ReadGraphSection();
    return static_cast<GraphSpan>(Kept.span);
}

void KeepGraphPlacement(HWND window) {
    Kept.rect = PlacementToKeep(window);
    Kept.span = static_cast<int>(GraphView.span);
}

void SaveGraphSettings() {
    if (!Kept.known)
        return;
    if (GraphWindow)
        KeepGraphPlacement(GraphWindow);
    WriteKeptPlace(kGraphSection, Kept.rect);
    WritePrivateProfileStringA(kGraphSection, "Span", IntToText(Kept.span), kIniFileName);
    Kept = {}; // the program's last save: a start in this process reads the file again
}
