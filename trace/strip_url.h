// Reduction of a typed web or file-transfer address to its host part (platform-free).
#pragma once
#include <cstddef>

// Copies text into out (size bytes, always terminated) without a leading "https://",
// "http://" or "ftp://" (letter case ignored, at most one removed) and cut before the first
// slash, or failing that before the first backslash. Returns out; a size of 0 leaves out
// untouched.
char* StripUrl(const char* text, char* out, size_t size);
