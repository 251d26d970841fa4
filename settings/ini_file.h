// The INI file in the working directory, and the number text every value is written as.
#pragma once

// Relative to the working directory at the time of each access.
extern const char kIniFileName[];

// Signed decimal text of value in one shared buffer, valid until the next call.
const char* IntToText(int value);
