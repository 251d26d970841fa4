// The words of the trace's events: what happened, how long it lasted, and the window's title.
#include "events/event_text.h"
#include "common/bounded_text.h"
#include "trace/format_address.h"
#include <cstring>

// Appends printf-style text after what text already holds, within size.
static void Append(char* text, size_t size, const char* format, const char* a, const char* b) {
    size_t used = strlen(text);
    if (used + 1 < size)
        FormatText(text + used, size - used, format, a, b);
}

// "198.18.3.1 (r3.routelark.test)", or the address alone while its name is unknown or is the
// address itself.
static void AppendAddress(char* text, size_t size, uint32_t address,
                          const char (&name)[kEventNameCapacity]) {
    char dotted[16];
    CopyText(dotted, sizeof dotted, FormatAddress(address));
    // A name read from a file or the ring is taken no further than its field, terminated or not.
    char kept[kEventNameCapacity];
    size_t length = strnlen(name, sizeof kept - 1);
    memcpy(kept, name, length);
    kept[length] = '\0';
    if (kept[0] && strcmp(kept, dotted) != 0)
        Append(text, size, "%s (%s)", dotted, kept);
    else
        Append(text, size, "%s%s", dotted, "");
}

char* FormatEventText(const TraceEvent& event, char* text, size_t size) {
    if (size == 0)
        return text;
    text[0] = '\0';
    switch (event.Kind) {
    case TraceEventKind::LossEpisode:
        FormatText(text, size, "Loss: %u of %u %s lost", event.Lost, event.Sent,
                   event.Sent == 1 ? "echo" : "echoes");
        // The worst answer means nothing when none came back.
        if (event.Lost < event.Sent) {
            size_t used = strlen(text);
            FormatText(text + used, size - used, ", worst %u ms", event.WorstRtt);
        }
        if (event.NotPassedOn)
            Append(text, size, "%s%s",
                   " (the hops after it did not lose echoes: most likely this router limiting "
                   "its own answers)",
                   "");
        break;
    case TraceEventKind::DestinationSilent:
        CopyText(text, size, "The destination stopped answering");
        break;
    case TraceEventKind::DestinationAnswers:
        CopyText(text, size, "The destination answers again");
        break;
    case TraceEventKind::RouteChange:
        CopyText(text, size, "Route changed: ");
        AppendAddress(text, size, event.OldAddress, event.OldName);
        Append(text, size, "%s%s", " -> ", "");
        AppendAddress(text, size, event.NewAddress, event.NewName);
        break;
    default:
        CopyText(text, size, "Unknown event");
        break;
    }
    return text;
}

bool EventHasDuration(const TraceEvent& event) {
    return event.Kind == TraceEventKind::LossEpisode || event.Open ||
           event.EndSecond > event.StartSecond;
}

uint32_t EventSeconds(const TraceEvent& event, uint32_t nowSecond) {
    uint32_t last = event.Open ? nowSecond : event.EndSecond;
    return last >= event.StartSecond ? last - event.StartSecond + 1 : 1;
}

char* FormatEventDuration(const TraceEvent& event, uint32_t nowSecond, char* text, size_t size) {
    if (size == 0)
        return text;
    text[0] = '\0';
    if (!EventHasDuration(event))
        return text;
    uint32_t seconds = EventSeconds(event, nowSecond);
    if (seconds < 60)
        FormatText(text, size, "%u s", seconds);
    else if (seconds < 3600)
        FormatText(text, size, "%u min %02u s", seconds / 60, seconds % 60);
    else
        FormatText(text, size, "%u h %02u min", seconds / 3600, seconds / 60 % 60);
    if (event.Open)
        Append(text, size, "%s%s", ", open", "");
    return text;
}

// 1012 as "1,012".
static char* FormatCount(char* text, size_t size, uint32_t count) {
    char digits[16];
    FormatText(digits, sizeof digits, "%u", count);
    char grouped[24];
    size_t length = strlen(digits), out = 0;
    for (size_t i = 0; i < length; i++) {
        if (i > 0 && (length - i) % 3 == 0)
            grouped[out++] = ',';
        grouped[out++] = digits[i];
    }
    grouped[out] = '\0';
    return CopyText(text, size, grouped);
}

char* FormatEventsTitle(uint32_t sinceStart, uint32_t dropped, bool traced, char* text,
                        size_t size) {
    if (!traced)
        return CopyText(text, size, "Events");
    char count[24], lost[24];
    FormatCount(count, sizeof count, sinceStart);
    if (dropped == 0)
        return FormatText(text, size, "Events (%s)", count);
    return FormatText(text, size, "Events (%s; %s oldest dropped)", count,
                      FormatCount(lost, sizeof lost, dropped));
}

const char* EventKindKey(TraceEventKind kind) {
    switch (kind) {
    case TraceEventKind::LossEpisode:
        return "loss";
    case TraceEventKind::DestinationSilent:
        return "destination_silent";
    case TraceEventKind::DestinationAnswers:
        return "destination_answers";
    case TraceEventKind::RouteChange:
        return "route_change";
    }
    return "unknown";
}
