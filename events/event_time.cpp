// The wall time of an event: the trace's start (UTC) plus the event's second, in local time.
#include "events/events_view.h"
#include "common/bounded_text.h"
#include "save/calendar_time.h"
#include "trace/trace.h"
#include "trace/trace_clock.h"

// The UTC moment of a trace second; the start itself where the sum cannot be made.
static SYSTEMTIME UtcOfSecond(uint32_t second) {
    FILETIME file;
    SYSTEMTIME utc = TraceStartTime;
    if (!SystemTimeToFileTime(&TraceStartTime, &file))
        return utc;
    ULARGE_INTEGER ticks = {{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += static_cast<ULONGLONG>(second) * 10000000ull;
    file.dwLowDateTime = ticks.LowPart, file.dwHighDateTime = ticks.HighPart;
    if (!FileTimeToSystemTime(&file, &utc))
        utc = TraceStartTime;
    return utc;
}

static CalendarTime CalendarOf(const SYSTEMTIME& t) {
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

char* FormatEventClock(uint32_t second, char* text, size_t size) {
    SYSTEMTIME local = LocalTimeOfUtc(UtcOfSecond(second));
    SYSTEMTIME start = LocalTimeOfUtc(TraceStartTime);
    if (local.wYear == start.wYear && local.wMonth == start.wMonth && local.wDay == start.wDay)
        return FormatText(text, size, "%02u:%02u:%02u", local.wHour, local.wMinute,
                          local.wSecond);
    return FormatText(text, size, "%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth,
                      local.wDay, local.wHour, local.wMinute, local.wSecond);
}

char* FormatEventIsoTime(uint32_t second, char* text, size_t size) {
    SYSTEMTIME utc = UtcOfSecond(second);
    CalendarTime local = CalendarOf(LocalTimeOfUtc(utc));
    return FormatIsoTime(text, size, local, UtcOffsetMinutes(local, CalendarOf(utc)));
}
