// Client of the fake icmp.dll's control exports, for in-process tests (header only).
//
// The first call loads icmp.dll with a reference of its own that is never released, so the
// program's FreeLibrary at shutdown leaves the fake (and its record) in place. When the loaded
// icmp.dll is not the fake (the override did not take), every call fails: -1 from counts, false
// from the rest, and FakeIcmpProblem() says why. Start a test with
//     ASSERT_TRUE(FakeIcmpLoaded()) << FakeIcmpProblem();
#pragma once
#include "fake_icmp_api.h"
#include <cstdio>
#include <string>
#include <vector>

struct FakeIcmpLibrary {
    bool loaded = false;
    char problem[512] = "";
    FakeIcmpSetScenarioFn setScenario = nullptr;
    FakeIcmpResetFn reset = nullptr;
    FakeIcmpCallCountFn callCount = nullptr;
    FakeIcmpGetCallFn getCall = nullptr;
    FakeIcmpGetCountsFn getCounts = nullptr;
    FakeIcmpWaitForHeldFn waitForHeld = nullptr;
    FakeIcmpReleaseHeldFn releaseHeld = nullptr;
};

template <typename Function> inline Function FakeIcmpExport(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

inline const FakeIcmpLibrary& FakeIcmp() {
    static const FakeIcmpLibrary library = [] {
        FakeIcmpLibrary result;
        HMODULE module = LoadLibraryA("icmp.dll");
        if (!module) {
            snprintf(result.problem, sizeof result.problem, "cannot load icmp.dll (error %lu)",
                     GetLastError());
            return result;
        }
        auto identify = FakeIcmpExport<FakeIcmpIdentifyFn>(module, "FakeIcmpIdentify");
        if (!identify || identify() != FAKE_ICMP_IDENTITY) {
            char path[MAX_PATH] = "";
            GetModuleFileNameA(module, path, sizeof path);
            snprintf(result.problem, sizeof result.problem,
                     "the icmp.dll loaded (%s) is not the fake: set ROUTELARK_DLLOVERRIDES=icmp=n "
                     "in the test's ENVIRONMENT and call use_fake_icmp() on its target",
                     path);
            return result;
        }
        result.setScenario = FakeIcmpExport<FakeIcmpSetScenarioFn>(module, "FakeIcmpSetScenario");
        result.reset = FakeIcmpExport<FakeIcmpResetFn>(module, "FakeIcmpReset");
        result.callCount = FakeIcmpExport<FakeIcmpCallCountFn>(module, "FakeIcmpCallCount");
        result.getCall = FakeIcmpExport<FakeIcmpGetCallFn>(module, "FakeIcmpGetCall");
        result.getCounts = FakeIcmpExport<FakeIcmpGetCountsFn>(module, "FakeIcmpGetCounts");
        result.waitForHeld = FakeIcmpExport<FakeIcmpWaitForHeldFn>(module, "FakeIcmpWaitForHeld");
        result.releaseHeld = FakeIcmpExport<FakeIcmpReleaseHeldFn>(module, "FakeIcmpReleaseHeld");
        result.loaded = result.setScenario && result.reset && result.callCount && result.getCall &&
                        result.getCounts && result.waitForHeld && result.releaseHeld;
        if (!result.loaded)
            snprintf(result.problem, sizeof result.problem,
                     "the fake icmp.dll lacks control exports: rebuild it");
        return result;
    }();
    return library;
}

// True when this process's icmp.dll is the fake.
inline bool FakeIcmpLoaded() {
    return FakeIcmp().loaded;
}

// Why the fake is not usable ("" when it is).
inline const char* FakeIcmpProblem() {
    return FakeIcmp().problem;
}

// Replaces the scenario (format in README.md). On a bad text returns false with "line N: reason"
// in *error and leaves the scenario empty (every echo times out).
inline bool FakeIcmpSetScenario(const char* text, std::string* error = nullptr) {
    char message[512] = "";
    bool good = FakeIcmpLoaded() && FakeIcmp().setScenario(text, message, sizeof message) == 1;
    if (error)
        *error = FakeIcmpLoaded() ? message : FakeIcmpProblem();
    return good;
}

// Empty scenario, record and counts; no open handles; held echoes released. Call it between
// tests while the program is not using the library.
inline void FakeIcmpReset() {
    if (FakeIcmpLoaded())
        FakeIcmp().reset();
}

// Number of calls recorded, or -1 without the fake.
inline int FakeIcmpCallCount() {
    return FakeIcmpLoaded() ? FakeIcmp().callCount() : -1;
}

// Copies call index (0-based, in the order the calls began) into *call.
inline bool FakeIcmpGetCall(int index, FakeIcmpCall* call) {
    return FakeIcmpLoaded() && FakeIcmp().getCall(index, call) == 1;
}

// Every recorded call, or only those of one kind (FAKE_ICMP_CREATE, _CLOSE, _ECHO).
inline std::vector<FakeIcmpCall> FakeIcmpCalls(int kind = 0) {
    std::vector<FakeIcmpCall> calls;
    FakeIcmpCall call;
    for (int i = 0; FakeIcmpGetCall(i, &call); ++i) {
        if (kind == 0 || call.kind == kind)
            calls.push_back(call);
    }
    return calls;
}

// Call counts; every field -1 without the fake.
inline FakeIcmpCounts FakeIcmpGetCounts() {
    FakeIcmpCounts counts = {-1, -1, -1, -1, -1};
    if (FakeIcmpLoaded())
        FakeIcmp().getCounts(&counts);
    return counts;
}

inline int FakeIcmpOpenHandles() {
    return FakeIcmpGetCounts().openHandles;
}

// Waits (without spinning) until at least atLeast echoes are held; returns the number held
// (less than atLeast on time-out), or -1 without the fake.
inline int FakeIcmpWaitForHeld(DWORD timeoutMs, int atLeast = 1) {
    return FakeIcmpLoaded() ? FakeIcmp().waitForHeld(atLeast, timeoutMs) : -1;
}

// Lets the held echo with that sequence number answer, or all held echoes when 0; returns the
// number released, or -1 without the fake.
inline int FakeIcmpReleaseHeld(int sequence = 0) {
    return FakeIcmpLoaded() ? FakeIcmp().releaseHeld(sequence) : -1;
}
