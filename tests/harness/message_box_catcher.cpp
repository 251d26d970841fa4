// The message box catcher: a CBT hook that sees each box as it is activated.
#include "harness/message_box_catcher.h"
#include "harness/dialog_driver.h"
#include "harness/import_patch.h"

static MessageBoxCatcher* ActiveCatcher;

// The style a box was asked for cannot be read back from the box in every case (Wine
// shows MB_TOPMOST boxes without WS_EX_TOPMOST), so the catcher also sits in the test
// program's import of MessageBoxA and notes the style of the call in progress.
typedef int(WINAPI* MessageBoxEntry)(HWND, LPCSTR, LPCSTR, UINT);
static MessageBoxEntry RealMessageBoxA;
static UINT CallStyle;
static bool CallInProgress;

static int WINAPI NotingMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    UINT outerStyle = CallStyle;
    bool outer = CallInProgress;
    CallStyle = style;
    CallInProgress = true;
    int result = RealMessageBoxA(owner, text, caption, style);
    CallStyle = outerStyle;
    CallInProgress = outer;
    return result;
}

bool MessageBoxCallInProgress() {
    return CallInProgress;
}

MessageBoxCatcher::MessageBoxCatcher(int defaultAnswer) : defaultAnswer(defaultAnswer) {
    ActiveCatcher = this;
    RealMessageBoxA = reinterpret_cast<MessageBoxEntry>(
        PatchImport("user32.dll", "MessageBoxA", reinterpret_cast<void*>(NotingMessageBoxA)));
    hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher() {
    UnhookWindowsHookEx(hook);
    if (RealMessageBoxA)
        PatchImport("user32.dll", "MessageBoxA", reinterpret_cast<void*>(RealMessageBoxA));
    ActiveCatcher = nullptr;
}

static bool IsDialogWindow(HWND window) {
    char className[16];
    return GetClassNameA(window, className, sizeof className) && strcmp(className, "#32770") == 0;
}

void MessageBoxCatcher::Catch(HWND box) {
    CaughtMessageBox caught;
    char buffer[4096]; // a box may name two whole paths
    GetWindowTextA(box, buffer, sizeof buffer);
    caught.caption = buffer;
    buffer[0] = '\0';
    GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
    caught.text = buffer;
    caught.style = CallInProgress ? CallStyle : 0; // 0: a box the program did not ask for
    caught.owner = GetWindow(box, GW_OWNER);
    boxes.push_back(caught);
    if (whileShown)
        whileShown();
    int answer = defaultAnswer;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && ActiveCatcher) {
        HWND window = reinterpret_cast<HWND>(wParam);
        // Each box is activated once; a box whose text control is there is a message box (a
        // dialog of the program's own has edit boxes, or is driven by a test, and may have a
        // label with that id too).
        if (IsDialogWindow(window) && GetDlgItem(window, 0xFFFF) &&
            !FindWindowExA(window, nullptr, "Edit", nullptr) && !IsDrivenDialog(window) &&
            !GetPropA(window, "RoutelarkCaught")) {
            SetPropA(window, "RoutelarkCaught", reinterpret_cast<HANDLE>(1));
            ActiveCatcher->Catch(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
