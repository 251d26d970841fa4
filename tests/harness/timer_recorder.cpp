// The timer recorder: sits in the executable's import of SetTimer.
#include "harness/timer_recorder.h"
#include "harness/import_patch.h"

typedef UINT_PTR(WINAPI* SetTimerEntry)(HWND, UINT_PTR, UINT, TIMERPROC);
static SetTimerEntry RealSetTimer;
static std::vector<RecordedTimer> Recorded;

// Only the timers whose ticks come to a window as WM_TIMER, as the ping cycle's pauses do: a
// timer with a procedure of its own (the autosave's) is no pause of the cycle.
static UINT_PTR WINAPI RecordingSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (!proc)
        Recorded.push_back({window, id, elapse, GetTickCount()});
    return RealSetTimer(window, id, elapse, proc);
}

TimerRecorder::TimerRecorder() {
    Recorded.clear();
    RealSetTimer = reinterpret_cast<SetTimerEntry>(
        PatchImport("user32.dll", "SetTimer", reinterpret_cast<void*>(RecordingSetTimer)));
}

TimerRecorder::~TimerRecorder() {
    if (RealSetTimer)
        PatchImport("user32.dll", "SetTimer", reinterpret_cast<void*>(RealSetTimer));
}

const std::vector<RecordedTimer>& TimerRecorder::Timers() const {
    return Recorded;
}

void TimerRecorder::Clear() {
    Recorded.clear();
}
