// Records the popup menus the program opens (TrackPopupMenu at the executable's import): the
// items' texts and states as they are at that moment, instead of running the menu's modal loop.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct RecordedPopup {
    HWND owner;
    POINT at;                       // screen coordinates
    std::vector<std::string> texts; // every item, "" for a separator
    std::vector<UINT> states;
};

class PopupRecorder {
  public:
    PopupRecorder();
    ~PopupRecorder();
    PopupRecorder(const PopupRecorder&) = delete;
    PopupRecorder& operator=(const PopupRecorder&) = delete;

    const std::vector<RecordedPopup>& Popups() const;
    void Clear();
};
