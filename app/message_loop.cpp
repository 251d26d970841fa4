// The message loop: accelerators first, then the WhoIs dialog, then the usual dispatch.
#include "app/app.h"

int RunMessageStep() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        WaitMessage(); // sleep until something arrives; the next step takes it
        return 1;
    }
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
        return 0;
    if (TranslateAcceleratorA(MainWindow, Accelerators, &msg))
        return 1; // also while the WhoIs dialog has the focus
    if (WhoisDialog && IsDialogMessageA(WhoisDialog, &msg))
        return 1;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return 1;
}
