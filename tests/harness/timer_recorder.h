// Records the program's SetTimer calls (the ping cycle's pauses), passing them on.
#pragma once
#include <windows.h>
#include <vector>

struct RecordedTimer {
    HWND window;
    UINT_PTR id;
    UINT elapse;
    DWORD tick; // GetTickCount() at the call
};

class TimerRecorder {
  public:
    TimerRecorder();
    ~TimerRecorder();
    TimerRecorder(const TimerRecorder&) = delete;
    TimerRecorder& operator=(const TimerRecorder&) = delete;

    const std::vector<RecordedTimer>& Timers() const;
    void Clear();
};
