// The message box catcher: a CBT hook that sees each box as it is activated.
#include "harness/message_box_catcher.h"

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

// Points the executable's import of user32's MessageBoxA at replacement; returns the
// entry it held, or nullptr when there is no such import.
static MessageBoxEntry PatchMessageBoxImport(MessageBoxEntry replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress)
        return nullptr;
    FARPROC real = GetProcAddress(GetModuleHandleA("user32.dll"), "MessageBoxA");
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; import->Name; import++) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + import->Name), "user32.dll") != 0)
            continue;
        auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; thunk->u1.Function; thunk++) {
            auto* slot = reinterpret_cast<FARPROC*>(&thunk->u1.Function);
            bool ours = *slot == reinterpret_cast<FARPROC>(NotingMessageBoxA);
            if (*slot != real && !ours)
                continue;
            DWORD protection;
            VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
            MessageBoxEntry previous = reinterpret_cast<MessageBoxEntry>(*slot);
            *slot = reinterpret_cast<FARPROC>(replacement);
            VirtualProtect(slot, sizeof *slot, protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

MessageBoxCatcher::MessageBoxCatcher(int defaultAnswer) : defaultAnswer(defaultAnswer) {
    ActiveCatcher = this;
    RealMessageBoxA = reinterpret_cast<MessageBoxEntry>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "MessageBoxA")));
    PatchMessageBoxImport(NotingMessageBoxA);
    hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher() {
    UnhookWindowsHookEx(hook);
    PatchMessageBoxImport(RealMessageBoxA);
    ActiveCatcher = nullptr;
}

static bool IsDialogWindow(HWND window) {
    char className[16];
    return GetClassNameA(window, className, sizeof className) && strcmp(className, "#32770") == 0;
}

// The icon of a box is the one standard icon its static icon control shows.
static UINT IconStyle(HWND box) {
    struct {
        LPCSTR icon;
        UINT style;
    } const icons[] = {{IDI_HAND, MB_ICONERROR},
                       {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                       {IDI_ASTERISK, MB_ICONINFORMATION},
                       {IDI_QUESTION, MB_ICONQUESTION}};
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            continue;
        HICON shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        for (const auto& i : icons) {
            if (shown == LoadIconA(nullptr, i.icon))
                return i.style;
        }
    }
    return 0;
}

static UINT ButtonStyle(HWND box) {
    auto has = [box](int id) { return GetDlgItem(box, id) != nullptr; };
    if (has(IDYES) && has(IDNO))
        return has(IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
    if (has(IDRETRY))
        return has(IDABORT) ? MB_ABORTRETRYIGNORE : MB_RETRYCANCEL;
    return has(IDCANCEL) ? MB_OKCANCEL : MB_OK;
}

void MessageBoxCatcher::Catch(HWND box) {
    CaughtMessageBox caught;
    char buffer[1024];
    GetWindowTextA(box, buffer, sizeof buffer);
    caught.caption = buffer;
    buffer[0] = '\0';
    GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
    caught.text = buffer;
    if (CallInProgress) {
        caught.style = CallStyle;
    } else { // a box from elsewhere (another module's import): read what the box shows
        caught.style = ButtonStyle(box) | IconStyle(box);
        if (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST)
            caught.style |= MB_TOPMOST;
    }
    caught.owner = GetWindow(box, GW_OWNER);
    boxes.push_back(caught);
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
        // Each box is activated once; a box whose text control is there is a message box.
        if (IsDialogWindow(window) && GetDlgItem(window, 0xFFFF) &&
            !GetPropA(window, "RoutelarkCaught")) {
            SetPropA(window, "RoutelarkCaught", reinterpret_cast<HANDLE>(1));
            ActiveCatcher->Catch(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
