// The message loop: accelerators first, then the WhoIs dialog, then the usual dispatch.
#include "app/app.h"
#include "events/events_view.h"
#include "graph/graph.h"

// Return and Esc are the main window's Start and Stop accelerators; typed in the WhoIs
// dialog they belong to the dialog (Whois and Exit).
static bool IsWhoisDialogKey(const MSG& msg) {
    if (!WhoisDialog || msg.message != WM_KEYDOWN)
        return false;
    if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)
        return false;
    return msg.hwnd == WhoisDialog || IsChild(WhoisDialog, msg.hwnd);
}

// The shortcuts belong to the main window, the WhoIs dialog, the graph and the Events window. The HTML Help
// viewer's windows run on this thread as well, and keep their keys: Return in its index opens a
// topic there.
static bool IsShortcutWindow(HWND window) {
    HWND top = GetAncestor(window, GA_ROOT);
    return top && (top == MainWindow || top == WhoisDialog || top == GraphWindow ||
                   top == EventsWindow);
}

int RunMessageStep() {
    MSG msg;
    // One call takes the next message, sleeping while the queue is empty.
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
        return 0;
    if (TakeGraphKey(msg)) // Ctrl+C there copies the graph's picture; Return does nothing
        return 1;
    if (TakeEventsKey(msg)) // Return there shows the selected event in the graph
        return 1;
    // The other shortcuts act on the main window also while the WhoIs dialog has the focus.
    if (IsShortcutWindow(msg.hwnd) && !IsWhoisDialogKey(msg) &&
        TranslateAcceleratorA(MainWindow, Accelerators, &msg))
        return 1;
    if (WhoisDialog && IsDialogMessageA(WhoisDialog, &msg))
        return 1;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return 1;
}
