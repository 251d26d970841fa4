// The standard handles of a program built for the window: redirected handles as they are, else
// the parent's console through AttachConsole, else none (errors go to message boxes).
#include "report/report_console.h"
#include "common/bounded_text.h"
#include <cstdarg>
#include <cstring>

// Set once by OpenReportConsole; nullptr where there is no such handle.
static HANDLE OutputHandle;
static HANDLE ErrorHandle;
static bool ErrorIsConsole;
static int ProgressLength; // characters of the progress line on the console now

// A handle that takes no write (Wine hands a program whose output was closed one that refuses
// every write) counts as none.
static bool Usable(HANDLE handle) {
    DWORD written;
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN &&
           WriteFile(handle, "", 0, &written, nullptr);
}

void OpenReportConsole() {
    OutputHandle = GetStdHandle(STD_OUTPUT_HANDLE);
    ErrorHandle = GetStdHandle(STD_ERROR_HANDLE);
    if (!Usable(OutputHandle))
        OutputHandle = nullptr;
    if (!Usable(ErrorHandle))
        ErrorHandle = nullptr;
    // A program started from cmd or PowerShell without redirection has no handles of its own.
    if ((!OutputHandle || !ErrorHandle) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                     nullptr);
        if (console != INVALID_HANDLE_VALUE) {
            if (!OutputHandle)
                OutputHandle = console;
            if (!ErrorHandle)
                ErrorHandle = console;
        }
    }
    DWORD mode;
    ErrorIsConsole = ErrorHandle && GetConsoleMode(ErrorHandle, &mode);
}

bool HasStandardOutput() {
    return OutputHandle != nullptr;
}

static bool WriteAll(HANDLE handle, const char* bytes, size_t size) {
    while (size > 0) {
        DWORD chunk = size < (1u << 20) ? static_cast<DWORD>(size) : (1u << 20), written = 0;
        if (!WriteFile(handle, bytes, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool WriteStandardOutput(const std::string& bytes) {
    return OutputHandle && WriteAll(OutputHandle, bytes.data(), bytes.size());
}

void ClearProgress() {
    if (!ErrorIsConsole || ProgressLength == 0)
        return;
    char blank[96];
    int length = ProgressLength < 93 ? ProgressLength : 93;
    blank[0] = '\r';
    memset(blank + 1, ' ', static_cast<size_t>(length));
    blank[length + 1] = '\r';
    WriteAll(ErrorHandle, blank, static_cast<size_t>(length) + 2);
    ProgressLength = 0;
}

void ShowProgress(const char* format, ...) {
    if (!ErrorIsConsole)
        return;
    char line[80];
    va_list arguments;
    va_start(arguments, format);
    FormatTextV(line + 1, sizeof line - 1, format, arguments);
    va_end(arguments);
    line[0] = '\r';
    int length = static_cast<int>(strlen(line + 1));
    // The longer line before is covered with spaces.
    std::string text(line);
    if (length < ProgressLength)
        text.append(static_cast<size_t>(ProgressLength - length), ' ');
    WriteAll(ErrorHandle, text.data(), text.size());
    ProgressLength = length > ProgressLength ? length : ProgressLength;
}

void ShowReportError(const char* format, ...) {
    char text[3 * MAX_PATH + 512];
    va_list arguments;
    va_start(arguments, format);
    FormatTextV(text, sizeof text, format, arguments);
    va_end(arguments);
    ClearProgress();
    if (ErrorHandle) {
        std::string line = "routelark: ";
        line += text;
        line += "\r\n";
        WriteAll(ErrorHandle, line.data(), line.size());
        return;
    }
    MessageBoxA(nullptr, text, "Routelark", MB_ICONERROR | MB_OK);
}

void ShowReportText(const char* text) {
    if (OutputHandle) {
        std::string lines;
        for (const char* c = text; *c; c++) {
            if (*c == '\n')
                lines += '\r';
            lines += *c;
        }
        WriteAll(OutputHandle, lines.data(), lines.size());
        return;
    }
    MessageBoxA(nullptr, text, "Routelark", MB_ICONINFORMATION | MB_OK);
}
