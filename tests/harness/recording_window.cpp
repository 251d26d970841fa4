// The recording window.
#include "harness/recording_window.h"

static const char kRecordingClass[] = "RoutelarkTestRecorder";

RecordingWindow::RecordingWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kRecordingClass;
    RegisterClassA(&windowClass); // fails harmlessly when already registered
    window = CreateWindowExA(0, kRecordingClass, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleA(nullptr), this);
}

RecordingWindow::~RecordingWindow() {
    Destroy();
}

void RecordingWindow::Destroy() {
    if (window)
        DestroyWindow(window);
    window = nullptr;
}

LRESULT CALLBACK RecordingWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message >= WM_USER && message < 0xC000)
        self->messages.push_back({message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

bool MessageQueued(UINT first, UINT last) {
    MSG msg;
    return PeekMessageA(&msg, nullptr, first, last, PM_NOREMOVE) != 0;
}
