// The names of saved files: the format a name asks for, the extension added to a name of no
// known format, the suggested name and the folder kept for the next time (platform-free).
#pragma once
#include "common/path_text.h"
#include "save/calendar_time.h"
#include <cstddef>

// The Save dialog's file types, in the order of its list (its filter index is this + 1).
enum class SaveFormat { Text, Html, Csv, Json };

// True, with format, when the name ends in .txt, .html, .htm, .csv or .json, letter case ignored.
bool SaveFormatOfName(const char* path, SaveFormat* format);
// The format of the dialog's file type 1 ... 4; Text for any other.
SaveFormat SaveFormatOfType(unsigned long filterIndex);
// Appends "." and the format's own extension (txt, html, csv, json) to path, a buffer of size bytes.
// False, and path unchanged, when the longer name does not fit: a name is never cut.
bool AddSaveExtension(char* path, size_t size, SaveFormat format);

// "routelark-HOST-YYYYMMDD-HHMMSS": HOST is the host part of the text the trace was started
// with, each character that a file name cannot hold made "_". Returns name.
char* SuggestSaveName(char* name, size_t size, const char* hostText, const CalendarTime& started);

// The folder of a full path, without its last separator unless it is a drive's root ("C:\").
// "" for a bare name; false, and "", when it does not fit in size bytes. The path is walked by
// character of the code page whose lead bytes isLeadByte tells (IsAnsiLeadByte).
bool SaveFolderOfPath(const char* path, char* folder, size_t size, LeadByteTest isLeadByte);
