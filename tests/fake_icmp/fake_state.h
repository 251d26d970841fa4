// Module state of the fake icmp.dll, shared by its ICMP exports and its control exports.
#pragma once
#include "fake_icmp_api.h"
#include "scenario.h"
#include <string>
#include <vector>

namespace fake_icmp {

// A held echo waits for its own event, so the test can release one call or all of them.
struct HeldEcho {
    int sequence;
    HANDLE release;
};

struct State {
    CRITICAL_SECTION lock;
    HANDLE heldChanged = nullptr; // auto-reset: set each time an echo becomes held
    ScenarioPlayer player;
    bool environmentRead = false;
    std::string environmentSeen; // FAKE_ICMP_SCENARIO's value and text when last applied
    std::vector<FakeIcmpCall> calls;
    unsigned generation = 0; // bumped by a reset, so calls in flight leave the new record alone
    std::vector<HANDLE> openHandles;
    unsigned handlesMade = 0;
    FakeIcmpCounts counts = {};
    std::vector<HeldEcho> held;
};

extern State g_state;

// Holds the state's lock for its lifetime.
class Locked {
  public:
    Locked() { EnterCriticalSection(&g_state.lock); }
    ~Locked() { LeaveCriticalSection(&g_state.lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// The functions below expect the caller to hold the lock.

// Applies FAKE_ICMP_SCENARIO when its value (or the file it names) differs from the last applied.
void ApplyEnvironmentScenario();
// Replaces the scenario; on a bad text loads an empty one and returns false with *error set.
bool LoadScenario(const char* text, std::string* error);
// Appends the call to the record with the next sequence number; returns its index.
size_t RecordCall(FakeIcmpCall* call);
// Stores a finished call (unless a reset came in between) and writes its log line.
void FinishCall(unsigned generation, size_t index, const FakeIcmpCall& call);
// Releases the held echo with that sequence, or all when sequence is 0; returns how many.
int ReleaseHeld(int sequence);
// Empties scenario, record, handles and counts; releases every held echo.
void ResetState();
// Appends a line to the file named by FAKE_ICMP_LOG, if it is set.
void WriteLogLine(const char* line);
// Writes a note to the log as a '#' line.
void Note(const std::string& note);
// Writes a problem to stderr and, as a '#' line, to the log.
void Report(const std::string& note);

} // namespace fake_icmp
