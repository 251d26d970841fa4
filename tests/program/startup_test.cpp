// Start-up and shutdown without a usable ICMP library: one message, the window as usual,
// and a shutdown that does not wait for a worker.
#include "app/app.h"
#include "harness/import_patch.h"
#include "harness/program.h"
#include "lab_topology.h"
#include "trace/trace.h"
#include <cstring>
#include <vector>

namespace {

void ExpectOneBox(const MessageBoxCatcher& boxes, const char* text, UINT style) {
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, text);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Ping");
    EXPECT_EQ(boxes.Boxes()[0].style, style);
    EXPECT_EQ(boxes.Boxes()[0].owner, nullptr);
}

// Run with Wine's ICMP library switched off (WINEDLLOVERRIDES icmp=).
class WithoutIcmp : public ProgramTest {};

TEST_F(WithoutIcmp, StartsWithOneMessageAndShowsTheWindow) {
    ExpectOneBox(messageBoxes, "Unable to locate ICMP.DLL!", MB_OK | MB_ICONERROR);
    EXPECT_TRUE(visibleAfterStart);
    EXPECT_TRUE(ShutDown()) << "shutdown returned without a worker to wait for";
}

TEST_F(WithoutIcmp, EveryTraceFailsWhenItOpensItsPinger) {
    messageBoxes.Clear();
    TypeHost(LAB_DEST_ADDR);
    StartTrace();
    ASSERT_TRUE(PumpUntil([&] { return messageBoxes.Count() >= 2; }, 10000));
    EXPECT_EQ(messageBoxes.Boxes()[0].text, "Unable to open PING service!");
    EXPECT_EQ(messageBoxes.Boxes()[1].text, "Unable to create Pinger object!");
    EXPECT_EQ(messageBoxes.Boxes()[1].caption, LAB_DEST_ADDR);
    EXPECT_EQ(messageBoxes.Boxes()[1].owner, MainWindow);
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
    EXPECT_EQ(HopCount, 0);
}

// An ICMP library without IcmpSendEcho, loaded before the program asks for "ICMP.DLL".
class WithPartialIcmp : public ProgramTest {
  protected:
    void SetUp() override {
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, sizeof exe);
        std::string path(exe);
        path.erase(path.find_last_of('\\') + 1);
        path += "partial\\icmp.dll";
        partial = LoadLibraryA(path.c_str());
        ASSERT_NE(partial, nullptr) << path;
        ProgramTest::SetUp();
    }
    HMODULE partial = nullptr;
};

TEST_F(WithPartialIcmp, WarnsThatTheEntryPointsAreMissing) {
    ExpectOneBox(messageBoxes, "Unable to locate required API functions!",
                 MB_OK | MB_ICONEXCLAMATION);
    EXPECT_TRUE(visibleAfterStart);
    EXPECT_TRUE(ShutDown());
}

HANDLE WINAPI FailingCreateThread(SECURITY_ATTRIBUTES*, SIZE_T, LPTHREAD_START_ROUTINE, void*,
                                  DWORD, DWORD*) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

HANDLE WINAPI FailingCreateSemaphore(SECURITY_ATTRIBUTES*, LONG, LONG, const char*) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

// A system without condition variables, as before Windows Vista.
FARPROC(WINAPI* RealGetProcAddress)(HMODULE, const char*);
FARPROC WINAPI GetProcAddressWithoutConditions(HMODULE module, const char* name) {
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) && strstr(name, "ConditionVariable"))
        return nullptr;
    return RealGetProcAddress(module, name);
}

struct Patch {
    const char* function;
    void* replacement;
    void** real; // where the replaced entry goes, when the replacement calls it
};

void PrintTo(const Patch& patch, std::ostream* os) {
    *os << patch.function;
}

// The echo worker cannot be started: its thread, or its wake-up (without which its wait would
// fail at once, again and again), cannot be had.
class WithoutWorker : public ProgramTest, public ::testing::WithParamInterface<std::vector<Patch>> {
  protected:
    void SetUp() override {
        std::vector<void*> real;
        for (const Patch& patch : GetParam()) {
            real.push_back(PatchImport("kernel32.dll", patch.function, patch.replacement));
            ASSERT_NE(real.back(), nullptr) << patch.function;
            if (patch.real)
                *patch.real = real.back();
        }
        ProgramTest::SetUp();
        for (size_t i = 0; i < real.size(); i++)
            PatchImport("kernel32.dll", GetParam()[i].function, real[i]);
    }
};

// Without a worker an echo would never end: the program says so at start-up and then runs on
// as without the library, so a trace stops when it opens its pinger and shutdown waits for
// nothing.
TEST_P(WithoutWorker, SaysSoAndEveryTraceStopsWhenItOpensItsPinger) {
    ExpectOneBox(messageBoxes, "Unable to start PING thread!", MB_OK | MB_ICONERROR);
    messageBoxes.Clear();
    TypeHost(LAB_DEST_ADDR);
    StartTrace();
    ASSERT_TRUE(PumpUntil([&] { return messageBoxes.Count() >= 2; }, 10000));
    EXPECT_EQ(messageBoxes.Boxes()[0].text, "Unable to open PING service!");
    EXPECT_EQ(messageBoxes.Boxes()[1].text, "Unable to create Pinger object!");
    EXPECT_EQ(CurrentTraceState, TraceState::Stopped);
    EXPECT_TRUE(ShutDown());
}

INSTANTIATE_TEST_SUITE_P(
    , WithoutWorker,
    ::testing::Values(
        std::vector<Patch>{{"CreateThread", reinterpret_cast<void*>(FailingCreateThread), nullptr}},
        std::vector<Patch>{
            {"GetProcAddress", reinterpret_cast<void*>(GetProcAddressWithoutConditions),
             reinterpret_cast<void**>(&RealGetProcAddress)},
            {"CreateSemaphoreA", reinterpret_cast<void*>(FailingCreateSemaphore), nullptr}}),
    [](const auto& info) { return info.index == 0 ? "Thread" : "WakeUp"; });

} // namespace
