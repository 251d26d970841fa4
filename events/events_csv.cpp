// The Events window's Save command: the events kept, as a CSV file of their own, through the
// system's Save dialog and the safe writer that Save As uses.
#include "app/app.h"
#include "common/bounded_text.h"
#include "events/events_view.h"
#include "save/save_trace.h"
#include "save/saved_files.h"
#include <commdlg.h>
#include <cstring>

static const char kSaveEventsTitle[] = "Save Events As";

void BuildEventsCsv(std::string& file) {
    SavedEvents events;
    ReadSavedEvents(events, true);
    LayOutEventsCsv(events, file);
}

// "routelark-HOST-YYYYMMDD-HHMMSS-events.csv", beside the trace's own suggested name.
static void SuggestEventsFileName(char* path, size_t size) {
    SuggestTraceFileName(path, size);
    size_t used = strlen(path);
    FormatText(path + used, size - used, "-events.csv");
}

void SaveEventsAs() {
    char path[kSavePathCapacity], folder[kSavePathCapacity];
    SuggestEventsFileName(path, sizeof path);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = EventsWindow ? EventsWindow : MainWindow;
    dialog.lpstrFilter = "CSV (*.csv)\0*.csv\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrInitialDir = SaveFolderToOpen(folder, sizeof folder) ? folder : nullptr;
    dialog.lpstrTitle = kSaveEventsTitle;
    // The working directory stays where the INI file is.
    dialog.Flags =
        OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    dialog.lpstrDefExt = "csv";
    if (!GetSaveFileNameA(&dialog))
        return;
    std::string file;
    BuildEventsCsv(file);
    if (WriteWholeFileSafely(path, file))
        KeepSaveFolder(path);
}
