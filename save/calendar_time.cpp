// The ISO 8601 and file name texts of a moment (platform-free).
#include "save/calendar_time.h"
#include "common/bounded_text.h"

// Days since 1970-01-01 of a proleptic Gregorian date: the eras of 400 years each hold the same
// number of days, so the count needs no table.
static long long DaysFromCivil(long long year, long long month, long long day) {
    year -= month <= 2;
    long long era = (year >= 0 ? year : year - 399) / 400;
    long long yearOfEra = year - era * 400;
    long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

static long long MinutesSinceEpoch(const CalendarTime& t) {
    return (DaysFromCivil(t.Year, t.Month, t.Day) * 24 + t.Hour) * 60 + t.Minute;
}

long long UtcOffsetMinutes(const CalendarTime& local, const CalendarTime& utc) {
    return MinutesSinceEpoch(local) - MinutesSinceEpoch(utc);
}

char* FormatIsoTime(char* text, size_t size, const CalendarTime& local, long long offsetMinutes) {
    char sign = offsetMinutes < 0 ? '-' : '+';
    unsigned long long away =
        offsetMinutes < 0 ? 0ull - static_cast<unsigned long long>(offsetMinutes) : offsetMinutes;
    return FormatText(text, size, "%04d-%02d-%02dT%02d:%02d:%02d%c%02llu:%02llu", local.Year,
                      local.Month, local.Day, local.Hour, local.Minute, local.Second, sign,
                      away / 60, away % 60);
}

char* FormatFileStamp(char* text, size_t size, const CalendarTime& local) {
    return FormatText(text, size, "%04d%02d%02d-%02d%02d%02d", local.Year, local.Month, local.Day,
                      local.Hour, local.Minute, local.Second);
}
