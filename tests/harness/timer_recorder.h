// Records the program's SetTimer calls of timers without a procedure of their own (the ping
// cycle's pauses), passing every call on.
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
