// Message pumping for in-process tests.
#include "harness/pump.h"
#include <windows.h>

static void DispatchQueued() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue; // the program's own shutdown posts it; the test decides when to stop
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, unsigned timeout_ms) {
    DWORD start = GetTickCount();
    for (;;) {
        DispatchQueued();
        if (done())
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeout_ms)
            return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeout_ms - elapsed > 20 ? 20 : timeout_ms - elapsed,
                                  QS_ALLINPUT);
    }
}

void PumpFor(unsigned settle_ms) {
    PumpUntil([] { return false; }, settle_ms);
}
