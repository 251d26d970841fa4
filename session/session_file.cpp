// The running trace as a session file's bytes, and a session file opened in its place: the hops
// made again with their figures and histories, the table, the title, the clock and the status.
#include "app/app.h"
#include "common/bounded_text.h"
#include "echo/echo_service.h"
#include "events/events_view.h"
#include "events/trace_events.h"
#include "graph/graph.h"
#include "hoptable/hop_table.h"
#include "save/save_trace.h"
#include "session/session.h"
#include "session/session_format.h"
#include "settings/settings.h"
#include "trace/format_address.h"
#include "trace/trace.h"
#include <cstring>
#include <memory>

static int64_t MillisecondsOf(const SYSTEMTIME& time) {
    FILETIME file;
    if (!SystemTimeToFileTime(&time, &file))
        return 0;
    ULARGE_INTEGER ticks = {{file.dwLowDateTime, file.dwHighDateTime}};
    return static_cast<int64_t>(ticks.QuadPart / 10000);
}

static bool SystemTimeOf(int64_t milliseconds, SYSTEMTIME* time) {
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<uint64_t>(milliseconds) * 10000;
    FILETIME file = {ticks.LowPart, ticks.HighPart};
    return milliseconds >= 0 && milliseconds < (1LL << 62) / 10000 &&
           FileTimeToSystemTime(&file, time);
}

// One hop's row from its pinger; the caller holds the echo statistics lock.
static const HopHistory* ReadLiveHop(int index, SessionHop& hop, void*) {
    const CPinger* p = HopList[index];
    if (!p)
        return nullptr;
    hop.Address = p->GetDestination();
    hop.LastAddress = p->GetLastAddress();
    hop.HostText = p->GetHostText();
    hop.Sent = p->GetSentCount();
    hop.Received = p->GetReceivedCount();
    hop.LastRtt = p->GetLastRtt();
    hop.TotalRtt = p->GetTotalRtt();
    hop.MinRtt = p->GetMinRtt();
    hop.MaxRtt = p->GetMaxRtt();
    hop.Ignored = p->IsIgnored() != 0;
    hop.NoResponse = p->IsNoResponse() != 0;
    return p->History();
}

void BuildSessionBytes(std::string& bytes) {
    Session trace;
    trace.Host = TracedHostText;
    trace.Address = DestinationAddress;
    uint32_t end = TraceEndSecond(); // takes the lock itself: before it is held here
    trace.StartMs = MillisecondsOf(TraceStartTime);
    trace.EndSecond = end;
    trace.EndMs = trace.StartMs + static_cast<int64_t>(end) * 1000;
    const SettingsRecord& s = Settings;
    trace.Setup = {s.PingTimeout, s.TraceDelay, s.PingDelay,   s.TraceTTL,
                   s.MaxHops,     s.Retries,    s.IgnoreFirst, s.CopyHTML};
    int count = 0; // hops up to the first gap: a hop under discovery is not kept yet
    while (count < HopCount && HopList[count])
        count++;
    const SessionSource source = {&trace, count, ReadLiveHop, nullptr};
    LockEchoStatistics();
    // The event log at the same moment as the hops: a copy of its ring, oldest first.
    int events = TraceEventCount();
    trace.Events.resize(static_cast<size_t>(events));
    for (int i = 0; i < events; i++)
        trace.Events[static_cast<size_t>(i)] = TraceEventAt(i);
    trace.EventsSinceStart = TraceEventsSinceStart();
    trace.EventsDropped = TraceEventsDropped();
    WriteSession(source, bytes);
    UnlockEchoStatistics();
}

unsigned long SaveSessionFile(const char* path) {
    if (!TraceTargetKnown)
        return ERROR_INVALID_FUNCTION;
    std::string bytes;
    BuildSessionBytes(bytes);
    return WriteWholeFileQuietly(path, bytes);
}

// "YYYY-MM-DD HH:MM:SS" in local time.
static char* LocalTimeText(int64_t milliseconds, char* text, size_t size) {
    SYSTEMTIME utc, local;
    if (!SystemTimeOf(milliseconds, &utc))
        return CopyText(text, size, "?");
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        local = utc;
    return FormatText(text, size, "%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth,
                      local.wDay, local.wHour, local.wMinute, local.wSecond);
}

static void ShowOpenFailure(const char* path, const char* reason) {
    ShowMessage(MainWindow, "Routelark", MB_ICONERROR | MB_OK,
                "The session could not be opened\n%s\n\n%s", path, reason);
}

// A hop made again: its pinger holds the saved figures and is never an echo's target until the
// next Start, which makes new hops.
static CPinger* RemakeHop(const SessionHop& saved) {
    CPinger* hop = new CPinger(saved.Address);
    hop->SetLastAddress(saved.LastAddress);
    hop->SetHostText(saved.HostText.c_str());
    hop->SetSentCount(saved.Sent);
    hop->SetReceivedCount(saved.Received);
    hop->RestoreRtts(saved.LastRtt, saved.TotalRtt, saved.MinRtt, saved.MaxRtt);
    if (saved.NoResponse)
        hop->MarkNoResponse();
    else
        hop->SetIgnored(saved.Ignored);
    if (saved.HasHistory) {
        if (HopHistory* history = NewHopHistory()) {
            PlaceBuckets(saved, *history);
            hop->KeepHistory(history);
        }
    }
    return hop;
}

// The session's events put back in the log as they were, counts included; a file of version 1
// has none.
static void RestoreEvents(const Session& session) {
    LockEchoStatistics();
    ClearTraceEvents();
    for (const TraceEvent& saved : session.Events) {
        TraceEvent& event = AddTraceEvent(saved.Kind, saved.Hop, saved.StartSecond);
        event = saved;
    }
    RestoreTraceEventCounts(session.EventsSinceStart, session.EventsDropped);
    UnlockEchoStatistics();
    NoteTraceEventsRestored();
}

static void ShowSession(const Session& session, const SYSTEMTIME& start, const char* path) {
    if (CurrentTraceState != TraceState::Stopped)
        StopTrace();
    KillTimer(MainWindow, kPingTimerId);
    ClearHops();
    SendMessageA(HopTable, LVM_DELETEALLITEMS, 0, 0);
    CopyText(TracedHostText, sizeof TracedHostText, session.Host.c_str());
    CopyText(DestinationText, sizeof DestinationText, session.Host.c_str());
    SetWindowTextA(HostBox, session.Host.c_str());
    DestinationAddress = session.Address;
    TraceStartTime = start;
    RestoreTraceClock(session.EndSecond);
    RestoreEvents(session);
    // The rows are written unseen and shown once: row by row, a list view repaints for each.
    SendMessageA(HopTable, WM_SETREDRAW, FALSE, 0);
    for (size_t i = 0; i < session.Hops.size(); i++) {
        int row = static_cast<int>(i);
        HopList[row] = RemakeHop(session.Hops[i]);
        char number[12];
        InsertHopRow(row, FormatText(number, sizeof number, "%d", row + 1));
        WriteHopRow(HopList[row], row, kColumnHop, ColumnCount);
    }
    SendMessageA(HopTable, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(HopTable, nullptr, TRUE);
    HopCount = HopCursor = static_cast<int>(session.Hops.size());
    TraceTargetKnown = 1;
    EnableSaveAs(1);
    char title[192], address[16];
    CopyText(address, sizeof address, FormatAddress(DestinationAddress));
    SetWindowTextA(MainWindow, FormatText(title, sizeof title, "Routelark - %s (%s)",
                                          session.Host.c_str(), address));
    char started[32], ended[32];
    const char* name = strrchr(path, '\\');
    name = name ? name + 1 : path;
    if (const char* slash = strrchr(name, '/'))
        name = slash + 1;
    SetStatusText(255, "Opened: %s (traced %s to %s)", name,
                  LocalTimeText(session.StartMs, started, sizeof started),
                  LocalTimeText(session.EndMs, ended, sizeof ended));
    NoteHopFiguresChanged();
}

bool OpenSessionFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        char reason[512];
        if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                            error, 0, reason, sizeof reason, nullptr))
            FormatText(reason, sizeof reason, "Error %lu", error);
        for (size_t end = strlen(reason); end > 0 && strchr("\r\n ", reason[end - 1]); end--)
            reason[end - 1] = '\0';
        ShowOpenFailure(path, reason);
        return false;
    }
    // A session of 40 hops with full histories is about 10 MB; anything far larger is no session.
    const DWORD kLargestSession = 64u << 20;
    DWORD high = 0, size = GetFileSize(file, &high);
    std::string bytes;
    bool read = size != INVALID_FILE_SIZE && high == 0 && size <= kLargestSession;
    if (read) {
        bytes.resize(size);
        DWORD done = 0;
        read = size == 0 || (ReadFile(file, &bytes[0], size, &done, nullptr) && done == size);
    }
    CloseHandle(file);
    if (!read) {
        ShowOpenFailure(path, size > kLargestSession && size != INVALID_FILE_SIZE
                                  ? "The file is far too large for a session."
                                  : "The file could not be read.");
        return false;
    }
    Session session;
    SessionError error =
        ReadSession(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), session);
    SYSTEMTIME start;
    if (error == SessionError::None && !SystemTimeOf(session.StartMs, &start))
        error = SessionError::TimeOrder;
    if (error != SessionError::None) {
        ShowOpenFailure(path, SessionErrorText(error));
        return false;
    }
    ShowSession(session, start, path);
    AddRecentSession(path);
    return true;
}

bool LoneSessionFile(const char* commandLine, char* path, size_t size) {
    while (*commandLine == ' ' || *commandLine == '\t')
        commandLine++;
    size_t length = strlen(commandLine);
    while (length > 0 && (commandLine[length - 1] == ' ' || commandLine[length - 1] == '\t'))
        length--;
    bool quoted = length >= 2 && commandLine[0] == '"' && commandLine[length - 1] == '"';
    if (quoted)
        commandLine++, length -= 2;
    // More than one argument, or none: not a session file alone.
    if (length < 5 || length >= size || memchr(commandLine, '"', length) ||
        (!quoted && (memchr(commandLine, ' ', length) || memchr(commandLine, '\t', length))))
        return false;
    memcpy(path, commandLine, length);
    path[length] = '\0';
    return _stricmp(path + length - 4, ".rls") == 0;
}

void OpenSessionOfCommandLine(const char* commandLine) {
    char path[1024];
    if (LoneSessionFile(commandLine, path, sizeof path))
        OpenSessionFile(path);
}
