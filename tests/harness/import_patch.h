// Points the test program's import of a system function at a replacement, to observe the
// program's calls at the platform's edge (message boxes, timers).
#pragma once

// Replaces the import of function from dll in the executable; returns the entry it held
// (to put back later), or nullptr when the executable has no such import.
void* PatchImport(const char* dll, const char* function, void* replacement);
