// The dialog driver: a hook notes each dialog as it gets WM_INITDIALOG, and a thread timer,
// whose ticks the dialog's modal loop dispatches, runs the queued steps.
#include "harness/dialog_driver.h"
#include "harness/message_box_catcher.h"

static DialogDriver* ActiveDriver;

static const char kDrivenProperty[] = "RoutelarkDriven";

bool IsDrivenDialog(HWND window) {
    return GetPropA(window, kDrivenProperty) != nullptr;
}

DialogDriver::DialogDriver(unsigned giveUpMs) : giveUpMs(giveUpMs) {
    ActiveDriver = this;
    hook = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
}

DialogDriver::~DialogDriver() {
    UnhookWindowsHookEx(hook);
    if (timer)
        KillTimer(nullptr, timer);
    ActiveDriver = nullptr;
}

// Marked before its procedure sees WM_INITDIALOG, so before it can first be activated.
LRESULT CALLBACK DialogDriver::Hook(int code, WPARAM wParam, LPARAM lParam) {
    auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && ActiveDriver && call->message == WM_INITDIALOG &&
        !MessageBoxCallInProgress()) {
        SetPropA(call->hwnd, kDrivenProperty, reinterpret_cast<HANDLE>(1));
        ActiveDriver->Begin(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogDriver::Begin(HWND window) {
    dialog = window;
    lastStep = GetTickCount();
    if (!timer)
        timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, Tick);
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (ActiveDriver)
        ActiveDriver->RunNextStep();
}

void DialogDriver::RunNextStep() {
    if (!dialog || !IsWindow(dialog)) {
        KillTimer(nullptr, timer);
        timer = 0;
        dialog = nullptr;
        return;
    }
    if (!IsWindowVisible(dialog))
        return; // the modal loop shows it once its queue is empty
    if (!steps.empty()) {
        Step step = std::move(steps.front());
        steps.pop_front();
        lastStep = GetTickCount();
        step(dialog);
    } else if (GetTickCount() - lastStep >= giveUpMs) {
        abandoned++;
        EndDialog(dialog, -1);
    }
}

void DialogDriver::PressKey(HWND dialog, WPARAM key) {
    HWND focus = GetFocus();
    HWND target = focus && (focus == dialog || IsChild(dialog, focus)) ? focus : dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

void DialogDriver::Click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void DialogDriver::ClickCloseBox(HWND dialog) {
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::string DialogDriver::ItemText(HWND dialog, int id) {
    char text[256] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
