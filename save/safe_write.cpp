// Writing a saved file whole or not at all: the bytes go into a temporary file in the same
// folder, which then takes the chosen name in one step.
#include "app/app.h"
#include "common/bounded_text.h"
#include "save/save_trace.h"
#include <cstring>

void ShowSaveFailure(const char* path, unsigned long error) {
    char reason[512];
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                        0, reason, sizeof reason, nullptr))
        FormatText(reason, sizeof reason, "Error %lu", error);
    for (size_t end = strlen(reason); end > 0 && strchr("\r\n ", reason[end - 1]); end--)
        reason[end - 1] = '\0';
    ShowMessage(MainWindow, "Routelark", MB_ICONERROR | MB_OK,
                "The trace could not be saved as\n%s\n\n%s", path, reason);
}

static bool WriteAll(HANDLE file, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        DWORD chunk =
            static_cast<DWORD>(bytes.size() - done < (1u << 20) ? bytes.size() - done : (1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        done += written;
    }
    return true;
}

// The bytes in file temp, on the disk; false with the reason in GetLastError.
static bool WriteTemporaryFile(const char* temp, const std::string& bytes) {
    HANDLE file =
        CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
    DWORD error = GetLastError();
    bool closed = CloseHandle(file);
    if (!written)
        SetLastError(error);
    return written && closed;
}

// A file of that name is replaced with ReplaceFileA, which keeps what the folder knows of it (its
// ACL, owner, attributes and hard links) and needs only the right to change it, where moving
// another file over it would make a new file of the folder's defaults in its place. Where there
// is none, the temporary file takes its name. On failure the file of that name is as it was.
static bool MoveOverChosenFile(const char* temp, const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return ReplaceFileA(path, temp, nullptr, REPLACEFILE_WRITE_THROUGH, nullptr, nullptr);
    return MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

unsigned long WriteWholeFileQuietly(const char* path, const std::string& bytes) {
    // A name relative to the working folder (a report's /out) is made whole first: Wine's
    // ReplaceFileA fails on one with "The directory name is invalid", and the temporary file
    // must go into the folder the name leads to.
    char whole[kSavePathCapacity];
    DWORD length = GetFullPathNameA(path, sizeof whole, whole, nullptr);
    if (length > 0 && length < sizeof whole)
        path = whole;
    char folder[kSavePathCapacity], temp[MAX_PATH];
    SaveFolderOfPath(path, folder, sizeof folder, IsAnsiLeadByte);
    // GetTempFileNameA makes a new empty file of a name no other file has. It takes a folder of at
    // most MAX_PATH - 14 characters and gives a name within MAX_PATH: a longer folder fails here,
    // with its reason, before anything is written.
    if (!GetTempFileNameA(folder[0] ? folder : ".", "rlk", 0, temp))
        return GetLastError();
    if (!WriteTemporaryFile(temp, bytes) || !MoveOverChosenFile(temp, path)) {
        DWORD error = GetLastError();
        DeleteFileA(temp);
        return error ? error : ERROR_WRITE_FAULT;
    }
    return 0;
}

int WriteWholeFileSafely(const char* path, const std::string& bytes) {
    if (unsigned long error = WriteWholeFileQuietly(path, bytes)) {
        ShowSaveFailure(path, error);
        return 0;
    }
    return 1;
}
