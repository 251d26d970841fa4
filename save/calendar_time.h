// Times as the saved files name them: ISO 8601 local time with its offset from UTC, and the
// stamp of a suggested file name (platform-free).
#pragma once
#include <cstddef>

// A moment's calendar date and clock time, as the system's clock gives it (no time zone).
struct CalendarTime {
    int Year, Month, Day; // Month 1 ... 12, Day 1 ... 31
    int Hour, Minute, Second;
};

// Minutes from utc to local, the same moment in two zones: +60 for Central European Time.
long long UtcOffsetMinutes(const CalendarTime& local, const CalendarTime& utc);

// "2026-12-09T14:02:11+01:00": local time and its offset, whole minutes (zero as "+00:00").
// Into text (size bytes, always terminated); returns text.
char* FormatIsoTime(char* text, size_t size, const CalendarTime& local, long long offsetMinutes);

// "20261209-140211", for file names. Returns text.
char* FormatFileStamp(char* text, size_t size, const CalendarTime& local);
