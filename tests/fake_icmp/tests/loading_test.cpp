// Which icmp.dll a test program gets: the fake from its own folder with icmp=n, Wine's without.
#include "icmp_fixture.h"
#include <cstdlib>

namespace {

std::string Folder(HMODULE module) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, sizeof path);
    std::string text = path;
    size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? "" : text.substr(0, slash);
}

bool OverrideRequested() {
    const char* overrides = getenv("WINEDLLOVERRIDES");
    return overrides && strstr(overrides, "icmp=n");
}

} // namespace

TEST(Loading, OverrideLoadsTheFakeFromTheProgramFolder) {
    // As the program binds it: upper-case name, then the three exports by undecorated name.
    HMODULE module = LoadLibraryA("ICMP.DLL");
    ASSERT_NE(module, nullptr);
    auto identify = (FakeIcmpIdentifyFn)(void*)GetProcAddress(module, "FakeIcmpIdentify");
    ASSERT_NE(identify, nullptr) << "Wine's own icmp.dll was loaded from " << Folder(module);
    EXPECT_EQ(identify(), FAKE_ICMP_IDENTITY);
    EXPECT_EQ(lstrcmpiA(Folder(module).c_str(), Folder(nullptr).c_str()), 0)
        << Folder(module) << " is not the program's folder " << Folder(nullptr);
    EXPECT_NE(GetProcAddress(module, "IcmpCreateFile"), nullptr);
    EXPECT_NE(GetProcAddress(module, "IcmpCloseHandle"), nullptr);
    EXPECT_NE(GetProcAddress(module, "IcmpSendEcho"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "_IcmpSendEcho@32"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "IcmpSendEcho@32"), nullptr);

    EXPECT_TRUE(FakeIcmpLoaded()) << FakeIcmpProblem();
    EXPECT_EQ(GetModuleHandleA("icmp.dll"), module) << "the control client shares the module";
    EXPECT_STREQ(FakeIcmpProblem(), "");
    FreeLibrary(module);
}

TEST(Loading, ControlReferenceOutlivesTheProgramsFreeLibrary) {
    ASSERT_TRUE(FakeIcmpLoaded()) << FakeIcmpProblem();
    ASSERT_TRUE(FakeIcmpSetScenario("echo * * reply dest"));
    HMODULE module = LoadLibraryA("ICMP.DLL");
    auto create = (IcmpCreateFileFn)(void*)GetProcAddress(module, "IcmpCreateFile");
    HANDLE handle = create();
    FreeLibrary(module); // the program shuts down
    EXPECT_EQ(GetModuleHandleA("icmp.dll"), module);
    std::vector<FakeIcmpCall> calls = FakeIcmpCalls();
    ASSERT_EQ(calls.size(), 1u) << "the record is still there";
    EXPECT_EQ(calls[0].handle, handle);
    FakeIcmpReset();
}

// Runs as a CTest entry of its own without the override: Wine must then pick its own library,
// and the control client must say so instead of driving it.
TEST(WithoutOverride, WineLoadsItsOwnIcmpAndTheClientRefusesIt) {
    if (OverrideRequested())
        GTEST_SKIP() << "the override is set";
    HMODULE module = LoadLibraryA("ICMP.DLL");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetProcAddress(module, "FakeIcmpIdentify"), nullptr)
        << "the fake was loaded from " << Folder(module) << " without icmp=n";
    EXPECT_NE(GetProcAddress(module, "IcmpSendEcho"), nullptr);
    EXPECT_FALSE(FakeIcmpLoaded());
    EXPECT_NE(strstr(FakeIcmpProblem(), "is not the fake: set ROUTELARK_DLLOVERRIDES=icmp=n"),
              nullptr)
        << FakeIcmpProblem();
    std::string error;
    EXPECT_FALSE(FakeIcmpSetScenario("echo * * timeout", &error));
    EXPECT_EQ(error, FakeIcmpProblem());
    EXPECT_EQ(FakeIcmpCallCount(), -1);
    EXPECT_EQ(FakeIcmpOpenHandles(), -1);
    EXPECT_EQ(FakeIcmpWaitForHeld(0), -1);
    EXPECT_EQ(FakeIcmpReleaseHeld(), -1);
    FakeIcmpCall call;
    EXPECT_FALSE(FakeIcmpGetCall(0, &call));
    FreeLibrary(module);
}
