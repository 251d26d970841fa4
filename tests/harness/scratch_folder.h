// A fresh, empty working folder for one test: the program reads and writes its INI file and
// banner page in the working directory, so tests running side by side must not share one.
#pragma once
#include <string>

class ScratchFolder {
  public:
    // Creates an empty folder under the temporary directory and makes it the working directory.
    ScratchFolder();
    // Goes back to the previous working directory and removes the folder with its files.
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path; }
    // Full path of a file in the folder.
    std::string File(const char* name) const { return path + "\\" + name; }

  private:
    std::string path;
    std::string previous;
};

// The whole content of a file, or "" when it cannot be read; WriteWholeFile replaces one.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
