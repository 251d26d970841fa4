// The answers of the AS lookups, kept per address and per AS for the program's life, and the
// rows they refresh when they come.
#include "app/app.h"
#include "asn/as_lookup.h"
#include "asn/asn.h"
#include "common/bounded_text.h"
#include "echo/pinger.h"
#include "hoptable/hop_table.h"
#include "settings/preferences.h"
#include "trace/trace.h"
#include <map>

const char kDefaultAsOriginZone[] = "origin.asn.cymru.com";
const char kDefaultAsNameZone[] = "asn.cymru.com";
char AsOriginZone[kAsZoneSize] = "origin.asn.cymru.com";
char AsNameZone[kAsZoneSize] = "asn.cymru.com";

// A query's answer is waited for this long; later it counts as none, though a late answer is
// still taken. The timer that checks runs only while some answer is awaited, with a procedure
// of its own (any WM_TIMER of the main window would end the ping cycle's pause).
enum { kAsAnswerLimitMs = 10000, kAsCheckMs = 1000 };
enum : UINT_PTR { kAsTimerId = 32 };

// An entry's life: made at the first request for its address or AS, and kept. Waiting until
// its answer or its time limit, then Answered or NoAnswer; a late well-formed answer still
// turns NoAnswer into Answered. NotSent for an address the service cannot know.
enum class AsState { Waiting, Answered, NoAnswer, NotSent };

struct AddressEntry {
    AsState state;
    DWORD asked; // GetTickCount at the request
    AsOrigin origin;
    char cell[kAsCellSize]; // what the AS column shows; rows point at it
};

struct NameEntry {
    AsState state;
    DWORD asked;
    AsName name;
};

// Nodes of a std::map stay where they are while others come: cell texts are handed out.
static std::map<uint32_t, AddressEntry> Addresses;
static std::map<uint32_t, NameEntry> Names;
static bool CheckTimerRunning;

static const AsName* KnownName(uint32_t asn) {
    auto found = Names.find(asn);
    return found != Names.end() && found->second.state == AsState::Answered
               ? &found->second.name
               : nullptr;
}

static void UpdateCell(AddressEntry& entry) {
    if (entry.state == AsState::Answered)
        FormatAsCell(entry.cell, sizeof entry.cell, entry.origin.Asn, KnownName(entry.origin.Asn));
    else
        CopyText(entry.cell, sizeof entry.cell, entry.state == AsState::NoAnswer ? "---" : "");
}

// The AS cells of the rows of address written again, and the graph's labels with them.
static void RefreshRowsOf(uint32_t address) {
    for (int r = 0; r < kHopListCapacity; r++) {
        CPinger* hop = HopList[r];
        if (hop && !hop->IsNoResponse() && hop->GetDestination() == address)
            RefreshHopRow(hop, r, kColumnAs, kColumnAs + 1);
    }
}

static void CALLBACK OnAsCheckTimer(HWND, UINT, UINT_PTR, DWORD);

static void StartCheckTimer() {
    if (CheckTimerRunning || !MainWindow)
        return;
    CheckTimerRunning = SetTimer(MainWindow, kAsTimerId, kAsCheckMs, OnAsCheckTimer) != 0;
}

static bool Overdue(AsState state, DWORD asked, DWORD now) {
    return state == AsState::Waiting && now - asked >= kAsAnswerLimitMs;
}

// Awaited answers past their time limit count as none.
static void CALLBACK OnAsCheckTimer(HWND, UINT, UINT_PTR, DWORD) {
    DWORD now = GetTickCount();
    bool waiting = false;
    for (auto& n : Names) {
        if (Overdue(n.second.state, n.second.asked, now))
            n.second.state = AsState::NoAnswer; // the number alone is shown, as it was
        waiting = waiting || n.second.state == AsState::Waiting;
    }
    for (auto& a : Addresses) {
        if (Overdue(a.second.state, a.second.asked, now)) {
            a.second.state = AsState::NoAnswer;
            UpdateCell(a.second);
            RefreshRowsOf(a.first);
        }
        waiting = waiting || a.second.state == AsState::Waiting;
    }
    if (!waiting) {
        KillTimer(MainWindow, kAsTimerId);
        CheckTimerRunning = false;
    }
}

static void RequestAsName(uint32_t asn) {
    if (Names.count(asn))
        return;
    NameEntry& entry = Names[asn];
    char name[kAsQueryNameSize];
    bool queued = FormatAsNameQuery(name, sizeof name, asn, AsNameZone) &&
                  QueueAsQuery(AsQueryKind::Name, asn, name);
    entry.state = queued ? AsState::Waiting : AsState::NoAnswer;
    entry.asked = GetTickCount();
    if (queued)
        StartCheckTimer();
}

void RequestHopAs(uint32_t address) {
    if (!(Preferences.LookupAs & 1) || Addresses.count(address))
        return;
    AddressEntry& entry = Addresses[address];
    entry.asked = GetTickCount();
    if (!IsAskableAddress(address)) {
        entry.state = AsState::NotSent;
    } else {
        char name[kAsQueryNameSize];
        bool queued = FormatOriginQuery(name, sizeof name, address, AsOriginZone) &&
                      QueueAsQuery(AsQueryKind::Origin, address, name);
        entry.state = queued ? AsState::Waiting : AsState::NoAnswer;
        if (queued)
            StartCheckTimer();
    }
    UpdateCell(entry);
}

void RequestAllHopsAs() {
    for (int r = 0; r < kHopListCapacity; r++) {
        CPinger* hop = HopList[r];
        if (!hop || hop->IsNoResponse())
            continue;
        bool known = Addresses.count(hop->GetDestination()) != 0;
        RequestHopAs(hop->GetDestination());
        if (!known)
            RefreshRowsOf(hop->GetDestination());
    }
}

const char* AsCellText(uint32_t address) {
    auto found = Addresses.find(address);
    return found == Addresses.end() ? "" : found->second.cell;
}

bool HopAsRecords(uint32_t address, const AsOrigin** origin, const AsName** name) {
    *origin = nullptr;
    *name = nullptr;
    auto found = Addresses.find(address);
    if (found == Addresses.end() || found->second.state != AsState::Answered)
        return false;
    *origin = &found->second.origin;
    *name = KnownName(found->second.origin.Asn);
    return true;
}

bool FormatHopAs(uint32_t address, char* text, size_t size) {
    const AsOrigin* origin;
    const AsName* name;
    if (!HopAsRecords(address, &origin, &name)) {
        CopyText(text, size, "");
        return false;
    }
    FormatAsAnswer(text, size, *origin, name);
    return true;
}

static void OnOriginAnswer(const AsReply& reply) {
    auto found = Addresses.find(reply.key);
    if (found == Addresses.end() || found->second.state == AsState::Answered)
        return;
    AddressEntry& entry = found->second;
    if (reply.answered) {
        entry.state = AsState::Answered;
        entry.origin = reply.origin;
        RequestAsName(entry.origin.Asn);
    } else {
        entry.state = AsState::NoAnswer;
    }
    UpdateCell(entry);
    RefreshRowsOf(reply.key);
}

// A name fills the cells of every address in its AS.
static void OnNameAnswer(const AsReply& reply) {
    auto found = Names.find(reply.key);
    if (found == Names.end() || found->second.state == AsState::Answered)
        return;
    found->second.state = reply.answered ? AsState::Answered : AsState::NoAnswer;
    if (!reply.answered)
        return;
    found->second.name = reply.name;
    for (auto& a : Addresses) {
        if (a.second.state == AsState::Answered && a.second.origin.Asn == reply.key) {
            UpdateCell(a.second);
            RefreshRowsOf(a.first);
        }
    }
}

void OnAsAnswer(WPARAM, LPARAM lParam) {
    AsReply* reply = reinterpret_cast<AsReply*>(lParam);
    if (!reply)
        return;
    if (reply->kind == AsQueryKind::Origin)
        OnOriginAnswer(*reply);
    else
        OnNameAnswer(*reply);
    delete reply;
}

void StopAsLookups() {
    StopAsWorkers();
    if (CheckTimerRunning && MainWindow)
        KillTimer(MainWindow, kAsTimerId);
    CheckTimerRunning = false;
    // Awaited answers will not come now: a later start asks again.
    for (auto a = Addresses.begin(); a != Addresses.end();)
        a = a->second.state == AsState::Waiting ? Addresses.erase(a) : std::next(a);
    for (auto n = Names.begin(); n != Names.end();)
        n = n->second.state == AsState::Waiting ? Names.erase(n) : std::next(n);
}
