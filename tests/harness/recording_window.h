// A hidden window that records the application messages it receives, to observe
// completions that the program posts.
#pragma once
#include <windows.h>
#include <vector>

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class RecordingWindow {
  public:
    RecordingWindow();
    ~RecordingWindow();
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    HWND Handle() const { return window; }
    const std::vector<RecordedMessage>& Messages() const { return messages; }
    // Destroys the window early (the object stays, and records nothing more).
    void Destroy();

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window;
    std::vector<RecordedMessage> messages;
};

// Whether any message in [first, last] waits in the thread's queue for any window.
bool MessageQueued(UINT first, UINT last);
