// Control exports of the fake icmp.dll for in-process tests (see fake_icmp_api.h).
#include "fake_state.h"
#include "common/bounded_text.h"

using namespace fake_icmp;

extern "C" int WINAPI FakeIcmpIdentify(void) {
    return FAKE_ICMP_IDENTITY;
}

extern "C" int WINAPI FakeIcmpSetScenario(const char* text, char* error, DWORD errorSize) {
    std::string problem;
    bool good;
    {
        Locked locked;
        good = LoadScenario(text, &problem);
    }
    if (error && errorSize)
        CopyText(error, errorSize, problem.c_str());
    return good ? 1 : 0;
}

extern "C" void WINAPI FakeIcmpReset(void) {
    Locked locked;
    ResetState();
}

extern "C" int WINAPI FakeIcmpCallCount(void) {
    Locked locked;
    return static_cast<int>(g_state.calls.size());
}

extern "C" int WINAPI FakeIcmpGetCall(int index, FakeIcmpCall* call) {
    Locked locked;
    if (!call || index < 0 || static_cast<size_t>(index) >= g_state.calls.size())
        return 0;
    *call = g_state.calls[static_cast<size_t>(index)];
    return 1;
}

extern "C" int WINAPI FakeIcmpGetCounts(FakeIcmpCounts* counts) {
    Locked locked;
    if (!counts)
        return 0;
    *counts = g_state.counts;
    return 1;
}

extern "C" int WINAPI FakeIcmpWaitForHeld(int atLeast, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        int held;
        {
            Locked locked;
            held = static_cast<int>(g_state.held.size());
        }
        const DWORD spent = GetTickCount() - start;
        if (held >= atLeast || spent >= timeoutMs)
            return held;
        // Each new hold sets the event, so this sleeps until something may have changed.
        WaitForSingleObject(g_state.heldChanged, timeoutMs - spent);
    }
}

extern "C" int WINAPI FakeIcmpReleaseHeld(int sequence) {
    Locked locked;
    return ReleaseHeld(sequence);
}
