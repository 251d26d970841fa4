// The popup recorder: sits in the executable's import of TrackPopupMenu.
#include "harness/popup_recorder.h"
#include "harness/import_patch.h"

static void* RealTrackPopupMenu;
static std::vector<RecordedPopup> Recorded;

static BOOL WINAPI RecordingTrackPopupMenu(HMENU menu, UINT, int x, int y, int, HWND owner,
                                           const RECT*) {
    RecordedPopup popup = {owner, {x, y}, {}, {}};
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[256] = "";
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STATE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &item);
        popup.texts.push_back(text);
        popup.states.push_back(item.fState);
    }
    Recorded.push_back(popup);
    return FALSE; // closed without a choice
}

PopupRecorder::PopupRecorder() {
    Recorded.clear();
    RealTrackPopupMenu = PatchImport("user32.dll", "TrackPopupMenu",
                                     reinterpret_cast<void*>(RecordingTrackPopupMenu));
}

PopupRecorder::~PopupRecorder() {
    if (RealTrackPopupMenu)
        PatchImport("user32.dll", "TrackPopupMenu", RealTrackPopupMenu);
}

const std::vector<RecordedPopup>& PopupRecorder::Popups() const {
    return Recorded;
}

void PopupRecorder::Clear() {
    Recorded.clear();
}
