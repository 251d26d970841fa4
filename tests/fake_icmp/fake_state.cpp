// The fake icmp.dll's record of calls, its scenario in use and its held echoes.
#include "fake_state.h"
#include "common/bounded_text.h"
#include <algorithm>

namespace fake_icmp {

State g_state;

namespace {

// One log line per call; the format is documented in README.md.
void DescribeCall(const FakeIcmpCall& call, char* line, size_t size) {
    const unsigned long handle =
        static_cast<unsigned long>(reinterpret_cast<uintptr_t>(call.handle));
    switch (call.kind) {
    case FAKE_ICMP_CREATE:
        if (call.handle == INVALID_HANDLE_VALUE)
            FormatText(line, size, "%d create -> handle=invalid return=0 error=%lu rule=%d",
                       call.sequence, call.error, call.rule);
        else
            FormatText(line, size, "%d create -> handle=0x%08lx return=1 error=0 rule=0",
                       call.sequence, handle);
        break;
    case FAKE_ICMP_CLOSE:
        FormatText(line, size, "%d close handle=0x%08lx -> return=%lu error=%lu", call.sequence,
                   handle, call.returned, call.error);
        break;
    default:
        FormatText(line, size,
                   "%d echo handle=0x%08lx dest=%s ttl=%d request=%lu reply=%lu timeout=%lu -> "
                   "return=%lu status=%lu from=%s rtt=%lu error=%lu rule=%d held=%d",
                   call.sequence, handle, FormatAddress(call.destination).c_str(), call.ttl,
                   call.requestSize, call.replySize, call.timeout, call.returned, call.status,
                   FormatAddress(call.address).c_str(), call.roundTripTime, call.error, call.rule,
                   call.held);
        break;
    }
}

} // namespace

bool LoadScenario(const char* text, std::string* error) {
    Scenario scenario;
    bool good = ParseScenario(text, &scenario, error);
    g_state.player.Load(scenario);
    return good;
}

size_t RecordCall(FakeIcmpCall* call) {
    call->sequence = static_cast<int>(g_state.calls.size()) + 1;
    g_state.calls.push_back(*call);
    return g_state.calls.size() - 1;
}

void FinishCall(unsigned generation, size_t index, const FakeIcmpCall& call) {
    if (generation != g_state.generation || index >= g_state.calls.size())
        return;
    g_state.calls[index] = call;
    g_state.calls[index].pending = 0;
    char line[300];
    DescribeCall(g_state.calls[index], line, sizeof line);
    WriteLogLine(line);
}

int ReleaseHeld(int sequence) {
    int released = 0;
    auto& held = g_state.held;
    for (auto it = held.begin(); it != held.end();) {
        if (sequence == 0 || it->sequence == sequence) {
            SetEvent(it->release);
            it = held.erase(it);
            ++released;
        } else {
            ++it;
        }
    }
    g_state.counts.held = static_cast<int>(held.size());
    return released;
}

void ResetState() {
    ReleaseHeld(0);
    g_state.player.Load(Scenario());
    g_state.environmentRead = false;
    g_state.environmentSeen.clear();
    g_state.calls.clear();
    ++g_state.generation;
    g_state.openHandles.clear();
    g_state.counts = FakeIcmpCounts();
}

} // namespace fake_icmp
