// Per-test working folders and whole-file helpers.
#include "harness/scratch_folder.h"
#include <windows.h>
#include <fstream>
#include <sstream>

ScratchFolder::ScratchFolder() {
    char buffer[MAX_PATH];
    GetCurrentDirectoryA(sizeof buffer, buffer);
    previous = buffer;
    GetTempPathA(sizeof buffer, buffer);
    std::string base = buffer;
    for (unsigned attempt = 0; path.empty(); attempt++) {
        std::string candidate = base + "routelark-test-" + std::to_string(GetCurrentProcessId()) +
                                "-" + std::to_string(attempt);
        if (CreateDirectoryA(candidate.c_str(), nullptr))
            path = candidate;
    }
    SetCurrentDirectoryA(path.c_str());
}

ScratchFolder::~ScratchFolder() {
    SetCurrentDirectoryA(previous.c_str());
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(File(found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
}
