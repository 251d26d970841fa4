// The Events window's section of the INI file, "EventsWindow": read when the window first opens
// in a run, written at shutdown only if it did open, so that a run without it leaves the file as
// it was.
#include "app/app.h"
#include "events/events_view.h"
#include "settings/ini_file.h"
#include "settings/ini_lock.h"
#include "settings/owned_window_place.h"
#include "settings/window_placement.h"

static const char kEventsSection[] = "EventsWindow";
// Where it opens without a kept place: below and right of the graph's default corner, so that
// the two opened together both show; its size at 96 DPI.
enum { kEventsOffset = 80, kEventsDefaultWidth = 760, kEventsDefaultHeight = 300 };

static struct {
    bool known;
    RECT rect;
} Kept;

RECT EventsOpeningRect() {
    if (Kept.known)
        return Kept.rect;
    RECT fallback = BesideMainWindow(kEventsOffset, kEventsDefaultWidth, kEventsDefaultHeight);
    {
        IniFileLock lock;
        Kept.rect = ReadKeptPlace(kEventsSection, fallback);
    }
    Kept.known = true;
    return Kept.rect;
}

void KeepEventsPlacement(HWND window) {
    Kept.rect = PlacementToKeep(window);
    Kept.known = true;
}

void SaveEventsSettings() {
    if (!Kept.known)
        return;
    if (EventsWindow)
        KeepEventsPlacement(EventsWindow);
    WriteKeptPlace(kEventsSection, Kept.rect);
    Kept = {}; // the program's last save: a start in this process reads the file again
}
