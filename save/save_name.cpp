// Names of saved files: formats by extension, the suggested name, the folder (platform-free).
#include "save/save_name.h"
#include "common/bounded_text.h"
#include "common/path_text.h"
#include "trace/strip_url.h"
#include <cctype>
#include <cstring>

static const struct {
    const char* extension;
    SaveFormat format;
} kExtensions[] = {
    {"txt", SaveFormat::Text},
    {"html", SaveFormat::Html},
    {"htm", SaveFormat::Html},
    {"csv", SaveFormat::Csv}, // the first of each format is the one added
    {"json", SaveFormat::Json},
};

static bool SameNoCase(const char* a, const char* b) {
    for (; *a && *b; a++, b++)
        if (tolower(static_cast<unsigned char>(*a)) != tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

bool SaveFormatOfName(const char* path, SaveFormat* format) {
    // A '.' is never the second byte of a double-byte character, and a `\` cut out of one would
    // come after the real separator: byte by byte finds the same extension.
    const char* separator = LastPathSeparator(path, nullptr);
    const char* dot = strrchr(separator ? separator : path, '.');
    if (!dot)
        return false;
    for (const auto& e : kExtensions) {
        if (SameNoCase(dot + 1, e.extension)) {
            *format = e.format;
            return true;
        }
    }
    return false;
}

SaveFormat SaveFormatOfType(unsigned long filterIndex) {
    switch (filterIndex) {
    case 2:
        return SaveFormat::Html;
    case 3:
        return SaveFormat::Csv;
    case 4:
        return SaveFormat::Json;
    default:
        return SaveFormat::Text;
    }
}

bool AddSaveExtension(char* path, size_t size, SaveFormat format) {
    const char* extension = "txt";
    for (const auto& e : kExtensions) {
        if (e.format == format) {
            extension = e.extension;
            break;
        }
    }
    size_t length = strnlen(path, size);
    if (length >= size || length + 1 + strlen(extension) >= size)
        return false;
    path[length] = '.';
    strcpy(path + length + 1, extension);
    return true;
}

// Characters that Windows does not allow in a file name, and the controls.
static bool IsFileNameCharacter(unsigned char c) {
    return c >= 0x20 && !strchr("<>:\"/\\|?*", c);
}

char* SuggestSaveName(char* name, size_t size, const char* hostText, const CalendarTime& started) {
    char host[128];
    StripUrl(hostText, host, sizeof host);
    for (char* c = host; *c; c++)
        if (!IsFileNameCharacter(static_cast<unsigned char>(*c)))
            *c = '_';
    char stamp[32];
    return FormatText(name, size, "routelark-%s-%s", host,
                      FormatFileStamp(stamp, sizeof stamp, started));
}

bool SaveFolderOfPath(const char* path, char* folder, size_t size, LeadByteTest isLeadByte) {
    const char* separator = LastPathSeparator(path, isLeadByte);
    size_t length = separator ? static_cast<size_t>(separator - path) : 0;
    if (length == 2 && path[1] == ':')
        length++; // "C:\" and not "C:", which names the drive's current folder
    if (length >= size) {
        if (size)
            folder[0] = '\0';
        return false;
    }
    memcpy(folder, path, length);
    folder[length] = '\0';
    return true;
}
