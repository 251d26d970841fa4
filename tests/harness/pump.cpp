// Message pumping for in-process tests.
#include "harness/pump.h"
#include <windows.h>

// Dispatches queued messages one at a time, looking at done() after each, so that a test
// can act in the very state that one message leaves behind.
static bool DispatchQueuedUntil(const std::function<bool()>& done) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue; // the program's own shutdown posts it; the test decides when to stop
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (done())
            return true;
    }
    return done();
}

bool PumpUntil(const std::function<bool()>& done, unsigned timeout_ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (DispatchQueuedUntil(done))
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeout_ms)
            return done();
        MsgWaitForMultipleObjects(
            0, nullptr, FALSE, timeout_ms - elapsed > 20 ? 20 : timeout_ms - elapsed, QS_ALLINPUT);
    }
}

void PumpFor(unsigned settle_ms) {
    PumpUntil([] { return false; }, settle_ms);
}
