// Reads the running program's windows from another process, for the bad-input matrix: the
// title, host name box, toolbar, status bar and hop table of each main window, and the message
// boxes of the program. Commands come one a line on stdin; each answer ends with a line ".".
//   windows            the main windows, one handle a line
//   state HWND         key=value lines of that main window, its process's message boxes and its
//                      hop graph ("graph=shown|TITLE|HWND", or "graph=none")
//   press HWND TEXT    clicks the button TEXT ("Yes", "OK" ...) of a message box of HWND's process
//   close HWND         posts WM_CLOSE to the window
//   front HWND         brings the window to the foreground, and waits (2 s at most) until it is
//   move HWND X Y      moves the window to (X, Y)
//   boxes              every shown dialog of any process: its handle, caption and text
//   pressbox HWND TEXT clicks the button TEXT of that dialog
//   controls HWND      the controls of a window: id, class and text, one line each
//   rowpoint HWND ROW  the screen point in the middle of the row's IP Address cell
//   layout HWND        the screen's DPI, the window's rectangles: each control (in its parent's
//   client
//                      area, and whether its own client area stays inside it: a toolbar's border
//                      may lie beyond), the toolbar's buttons, the table's columns and rows, the
//                      status bar's parts; "outside" counts the shown controls that do not fit
//   rect HWND          the window's rectangle on the screen
//   dpichange HWND DPI L T R B   sends WM_DPICHANGED as a move to a screen of that DPI would,
//                      suggesting the rectangle (L, T)-(R, B)
//   clipboard          the clipboard's text (CF_TEXT) as hexadecimal bytes, byte for byte
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const int kStartCommand = 40012; // the toolbar's Start button (IDM_START)

// One line of output: newlines, tabs and backslashes escaped so the shell reads one line.
void Print(const char* key, const std::string& value) {
    std::string line;
    for (unsigned char c : value) {
        if (c == '\n')
            line += "\\n";
        else if (c == '\r')
            line += "\\r";
        else if (c == '\\')
            line += "\\\\";
        else
            line += static_cast<char>(c);
    }
    printf("%s=%s\n", key, line.c_str());
}

std::string WindowText(HWND window) {
    char text[2048] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

// Memory in the program's process for the messages whose pointers Wine does not carry over.
class RemoteBuffer {
  public:
    RemoteBuffer(HWND window, size_t size) : size(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process)
            address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address)
            VirtualFreeEx(process, address, 0, MEM_RELEASE);
        if (process)
            CloseHandle(process);
    }
    bool Ok() const { return address != nullptr; }
    char* At(size_t offset) const { return static_cast<char*>(address) + offset; }
    void Write(size_t offset, const void* data, size_t length) const {
        WriteProcessMemory(process, At(offset), data, length, nullptr);
    }
    void Read(size_t offset, void* data, size_t length) const {
        ReadProcessMemory(process, At(offset), data, length, nullptr);
    }
    std::string ReadText(size_t offset, size_t length) const {
        std::vector<char> text(length + 1, '\0');
        ReadProcessMemory(process, At(offset), text.data(), length, nullptr);
        text[length] = '\0';
        return text.data();
    }

  private:
    size_t size;
    HANDLE process = nullptr;
    void* address = nullptr;
};

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

std::string StatusPart(HWND bar, int part) {
    enum { kTextRoom = 1024 };
    RemoteBuffer remote(bar, kTextRoom);
    if (!remote.Ok())
        return "<unreadable>";
    LRESULT length = Send(bar, SB_GETTEXTLENGTHA, part, 0);
    if (length < 0 || LOWORD(length) >= kTextRoom)
        return "<unreadable>";
    Send(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote.At(0)));
    return remote.ReadText(0, kTextRoom - 1);
}

// True when the window belongs to a 32-bit program and this probe is a 64-bit one: the shipped
// i686 program, read by the probe of the x86_64 test build.
bool IsOf32BitProgram(HWND window) {
    BOOL wow64 = FALSE;
    if (sizeof(void*) == 8) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (process) {
            IsWow64Process(process, &wow64);
            CloseHandle(process);
        }
    }
    return wow64;
}

// The first fields of LVITEMA as a 32-bit program lays them out: its pointer takes 4 bytes.
struct ItemRecord32 {
    UINT mask;
    int item, subItem;
    UINT state, stateMask;
    DWORD text;
    int textMax;
};

std::string Cell(HWND table, int row, int column) {
    enum { kTextRoom = 1100, kRecordRoom = sizeof(LVITEMA) };
    RemoteBuffer remote(table, kRecordRoom + kTextRoom);
    if (!remote.Ok())
        return "<unreadable>";
    if (IsOf32BitProgram(table)) {
        ItemRecord32 item = {};
        item.subItem = column;
        item.text = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(remote.At(kRecordRoom)));
        item.textMax = kTextRoom;
        remote.Write(0, &item, sizeof item);
    } else {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = remote.At(kRecordRoom);
        item.cchTextMax = kTextRoom;
        remote.Write(0, &item, sizeof item);
    }
    Send(table, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote.At(0)));
    return remote.ReadText(kRecordRoom, kTextRoom - 1);
}

HWND Child(HWND parent, const char* className) {
    return FindWindowExA(parent, nullptr, className, nullptr);
}

struct ProcessWindows {
    DWORD pid;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<ProcessWindows*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (pid == found->pid && strcmp(className, "#32770") == 0 && IsWindowVisible(window))
        found->boxes.push_back(window);
    return TRUE;
}

// The dialogs of the window's process: message boxes (and the WhoIs dialog).
std::vector<HWND> Dialogs(HWND window) {
    ProcessWindows found = {0, {}};
    GetWindowThreadProcessId(window, &found.pid);
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&found));
    return found.boxes;
}

BOOL CALLBACK CollectGraph(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<std::pair<DWORD, HWND>*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (pid == found->first && strcmp(className, "RoutelarkGraph") == 0 && IsWindowVisible(window))
        found->second = window;
    return TRUE;
}

// The shown hop graph of the window's process, or nullptr.
HWND Graph(HWND window) {
    std::pair<DWORD, HWND> found = {0, nullptr};
    GetWindowThreadProcessId(window, &found.first);
    EnumWindows(CollectGraph, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

// The text of a message box: its static controls that hold text (the icon holds none).
std::string BoxText(HWND box) {
    std::string text;
    for (HWND c = Child(box, "Static"); c; c = FindWindowExA(box, c, "Static", nullptr)) {
        std::string part = WindowText(c);
        if (!part.empty())
            text += text.empty() ? part : "|" + part;
    }
    return text;
}

void PrintState(HWND main) {
    if (!IsWindow(main)) {
        Print("window", "gone");
        return;
    }
    Print("window", IsWindowVisible(main) ? "shown" : "hidden");
    Print("title", WindowText(main));
    HWND toolbar = Child(main, "ToolbarWindow32");
    HWND combo = toolbar ? Child(toolbar, "ComboBox") : nullptr;
    HWND edit = combo ? Child(combo, "Edit") : nullptr;
    Print("host", edit ? WindowText(edit) : "<none>");
    Print("hostlimit", edit ? std::to_string(Send(edit, EM_GETLIMITTEXT, 0, 0)) : "<none>");
    Print("history", combo ? std::to_string(Send(combo, CB_GETCOUNT, 0, 0)) : "<none>");
    LRESULT hidden = toolbar ? Send(toolbar, TB_ISBUTTONHIDDEN, kStartCommand, 0) : -1;
    Print("running", hidden < 0 ? "<unknown>" : hidden ? "yes" : "no");
    HWND bar = Child(main, "msctls_statusbar32");
    if (bar && Send(bar, SB_ISSIMPLE, 0, 0) > 0) {
        Print("status", StatusPart(bar, 0));
    } else if (bar) {
        Print("status", StatusPart(bar, 0) + "|" + StatusPart(bar, 1) + "|" + StatusPart(bar, 2));
    }
    HWND table = Child(main, "SysListView32");
    int rows = table ? static_cast<int>(Send(table, LVM_GETITEMCOUNT, 0, 0)) : 0;
    HWND header = table ? reinterpret_cast<HWND>(Send(table, LVM_GETHEADER, 0, 0)) : nullptr;
    int columns = header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    Print("rows", std::to_string(rows));
    for (int r = 0; r < rows; r++) {
        std::string row;
        for (int c = 0; c < columns; c++)
            row += (c ? "|" : "") + Cell(table, r, c);
        Print(("row" + std::to_string(r)).c_str(), row);
    }
    std::vector<HWND> boxes = Dialogs(main);
    Print("boxes", std::to_string(boxes.size()));
    for (size_t i = 0; i < boxes.size(); i++)
        Print(("box" + std::to_string(i)).c_str(), WindowText(boxes[i]) + "|" + BoxText(boxes[i]));
    HWND graph = Graph(main);
    std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(graph));
    Print("graph", graph ? "shown|" + WindowText(graph) + "|" + handle : "none");
}

std::string WithoutMnemonic(const std::string& text) {
    std::string plain;
    for (char c : text)
        if (c != '&')
            plain += c;
    return plain;
}

bool PressInBox(HWND box, const std::string& button) {
    for (HWND c = Child(box, "Button"); c; c = FindWindowExA(box, c, "Button", nullptr)) {
        if (WithoutMnemonic(WindowText(c)) == button) {
            PostMessageA(c, BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}

bool Press(HWND main, const std::string& button) {
    for (HWND box : Dialogs(main))
        if (PressInBox(box, button))
            return true;
    return false;
}

BOOL CALLBACK PrintBox(HWND window, LPARAM) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0 && IsWindowVisible(window)) {
        std::string key = std::to_string(reinterpret_cast<UINT_PTR>(window));
        Print(key.c_str(), WindowText(window) + "|" + BoxText(window));
    }
    return TRUE;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    char className[64] = "";
    GetClassNameA(control, className, sizeof className);
    std::string key = "ctl" + std::to_string(GetDlgCtrlID(control));
    Print(key.c_str(), std::string(className) + "|" + WindowText(control));
    return TRUE;
}

void PrintRowPoint(HWND main, int row) {
    HWND table = Child(main, "SysListView32");
    RemoteBuffer remote(table, sizeof(RECT));
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    if (!table || !remote.Ok())
        return;
    remote.Write(0, &bounds, sizeof bounds);
    if (Send(table, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.At(0))) <= 0)
        return;
    RECT r;
    remote.Read(0, &r, sizeof r);
    POINT point = {r.left + 90, (r.top + r.bottom) / 2}; // Hop is 44 wide, IP Address 110
    MapWindowPoints(table, nullptr, &point, 1);
    Print("point", std::to_string(point.x) + " " + std::to_string(point.y));
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

struct LayoutWalk {
    int controls = 0;
    std::vector<std::string> outside;
};

BOOL CALLBACK PrintControlRect(HWND control, LPARAM data) {
    auto* walk = reinterpret_cast<LayoutWalk*>(data);
    HWND parent = GetParent(control);
    char className[64] = "", parentClass[64] = "";
    GetClassNameA(control, className, sizeof className);
    GetClassNameA(parent, parentClass, sizeof parentClass);
    RECT r, inner, room;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    GetClientRect(control, &inner);
    MapWindowPoints(control, parent, reinterpret_cast<POINT*>(&inner), 2);
    GetClientRect(parent, &room);
    bool shown = IsWindowVisible(control);
    bool inside = inner.left >= room.left && inner.top >= room.top && inner.right <= room.right &&
                  inner.bottom <= room.bottom;
    std::string name = std::string(className) + "#" + std::to_string(GetDlgCtrlID(control));
    if (shown && !inside)
        walk->outside.push_back(name + "@" + RectText(r) + "/" + RectText(room));
    RECT screen;
    GetWindowRect(control, &screen);
    std::string key = "control" + std::to_string(walk->controls++);
    Print(key.c_str(), name + "|in " + parentClass + "|" + RectText(r) + "|" +
                           (shown ? "shown" : "hidden") + "|" + (inside ? "inside" : "outside") +
                           "|screen " + RectText(screen));
    return TRUE;
}

// Rectangles that a message writes into the program's memory, one after another.
std::string RemoteRects(HWND window, UINT message, int count, WPARAM first = 0) {
    RemoteBuffer remote(window, sizeof(RECT));
    std::string rects;
    for (int i = 0; remote.Ok() && i < count; i++) {
        RECT r = {LVIR_BOUNDS, 0, 0, 0};
        remote.Write(0, &r, sizeof r);
        if (Send(window, message, first + i, reinterpret_cast<LPARAM>(remote.At(0))) <= 0)
            continue;
        remote.Read(0, &r, sizeof r);
        rects += (rects.empty() ? "" : " ") + RectText(r);
    }
    return rects;
}

// The screen's DPI in this session (Wine answers 96 for another process's window).
int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void PrintLayout(HWND main) {
    RECT outer, client;
    GetWindowRect(main, &outer);
    GetClientRect(main, &client);
    Print("dpi", std::to_string(ScreenDpi()));
    Print("window", RectText(outer) + "|client " + RectText(client));
    LayoutWalk walk;
    EnumChildWindows(main, PrintControlRect, reinterpret_cast<LPARAM>(&walk));
    HWND toolbar = Child(main, "ToolbarWindow32");
    int buttons = toolbar ? static_cast<int>(Send(toolbar, TB_BUTTONCOUNT, 0, 0)) : 0;
    Print("buttons", toolbar ? RemoteRects(toolbar, TB_GETITEMRECT, buttons) : "<none>");
    HWND table = Child(main, "SysListView32");
    HWND header = table ? reinterpret_cast<HWND>(Send(table, LVM_GETHEADER, 0, 0)) : nullptr;
    int columns = header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::string widths;
    for (int c = 0; c < columns; c++)
        widths += (c ? " " : "") + std::to_string(Send(table, LVM_GETCOLUMNWIDTH, c, 0));
    Print("columns", widths);
    int rows = table ? static_cast<int>(Send(table, LVM_GETITEMCOUNT, 0, 0)) : 0;
    Print("rowrects", table ? RemoteRects(table, LVM_GETITEMRECT, rows) : "<none>");
    HWND bar = Child(main, "msctls_statusbar32");
    RemoteBuffer parts(bar, 3 * sizeof(int));
    int edges[3] = {};
    if (bar && parts.Ok() && Send(bar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(parts.At(0))) > 0)
        parts.Read(0, edges, sizeof edges);
    Print("parts", std::to_string(edges[0]) + " " + std::to_string(edges[1]) + " " +
                       std::to_string(edges[2]));
    std::string outside;
    for (const std::string& name : walk.outside)
        outside += " " + name;
    Print("outside", std::to_string(walk.outside.size()) + outside);
}

void PrintClipboard() {
    std::string hex;
    if (OpenClipboard(nullptr)) {
        HANDLE data = GetClipboardData(CF_TEXT);
        const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
        for (const char* c = text; c && *c; c++) {
            char digits[3];
            snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(*c));
            hex += digits;
        }
        if (text)
            GlobalUnlock(data);
        CloseClipboard();
    }
    Print("clipboard", hex);
}

BOOL CALLBACK PrintMainWindow(HWND window, LPARAM) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "Routelark") == 0)
        printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return TRUE;
}

} // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY); // LF line ends: the shell reads them
    char line[1024];
    while (fgets(line, sizeof line, stdin)) {
        line[strcspn(line, "\r\n")] = '\0';
        char command[32] = "";
        unsigned long handle = 0;
        int used = 0;
        sscanf(line, "%31s %lu %n", command, &handle, &used);
        HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
        if (strcmp(command, "windows") == 0)
            EnumWindows(PrintMainWindow, 0);
        else if (strcmp(command, "state") == 0)
            PrintState(window);
        else if (strcmp(command, "press") == 0)
            Print("pressed", Press(window, used ? line + used : "") ? "yes" : "no");
        else if (strcmp(command, "boxes") == 0)
            EnumWindows(PrintBox, 0);
        else if (strcmp(command, "pressbox") == 0)
            Print("pressed", PressInBox(window, used ? line + used : "") ? "yes" : "no");
        else if (strcmp(command, "controls") == 0)
            EnumChildWindows(window, PrintControl, 0);
        else if (strcmp(command, "rowpoint") == 0)
            PrintRowPoint(window, atoi(line + used));
        else if (strcmp(command, "clipboard") == 0)
            PrintClipboard();
        else if (strcmp(command, "layout") == 0)
            PrintLayout(window);
        else if (strcmp(command, "dpichange") == 0) {
            int dpi = 96;
            RECT suggested = {};
            sscanf(line + used, "%d %ld %ld %ld %ld", &dpi, &suggested.left, &suggested.top,
                   &suggested.right, &suggested.bottom);
            RemoteBuffer remote(window, sizeof suggested);
            if (remote.Ok()) {
                remote.Write(0, &suggested, sizeof suggested);
                Send(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(remote.At(0)));
            }
        } else if (strcmp(command, "rect") == 0) {
            RECT r = {};
            GetWindowRect(window, &r);
            Print("rect", RectText(r));
        } else if (strcmp(command, "close") == 0)
            PostMessageA(window, WM_CLOSE, 0, 0);
        else if (strcmp(command, "front") == 0) {
            // The program takes the activation in its own time (slowly under emulation): keys
            // sent before it has would go to the window that had it.
            SetForegroundWindow(window);
            for (int waited = 0; waited < 2000 && GetForegroundWindow() != window; waited += 20)
                Sleep(20);
            Print("front", GetForegroundWindow() == window ? "yes" : "no");
        } else if (strcmp(command, "move") == 0) {
            int x = 0, y = 0;
            sscanf(line + used, "%d %d", &x, &y);
            SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        printf(".\n");
        fflush(stdout);
    }
    return 0;
}
