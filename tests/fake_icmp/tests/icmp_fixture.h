// Fixture for tests of the fake icmp.dll: binds ICMP.DLL as the program does, once the fake is
// known to be the one loaded, so no test can send a real echo through Wine's library.
#pragma once
#include "fake_icmp_control.h"
#include <ipexport.h>
#include <gtest/gtest.h>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

typedef HANDLE(WINAPI* IcmpCreateFileFn)(void);
typedef BOOL(WINAPI* IcmpCloseHandleFn)(HANDLE);
typedef DWORD(WINAPI* IcmpSendEchoFn)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID,
                                      DWORD, DWORD);

// IPAddr of a dotted quad written as four numbers.
inline IPAddr Address(unsigned a, unsigned b, unsigned c, unsigned d) {
    const unsigned char octets[4] = {(unsigned char)a, (unsigned char)b, (unsigned char)c,
                                     (unsigned char)d};
    IPAddr address;
    memcpy(&address, octets, sizeof address);
    return address;
}

// A fresh file name in Wine's temporary folder.
inline std::string TempFile(const char* stem) {
    char folder[MAX_PATH];
    char path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, stem, 0, path);
    return path;
}

inline std::string ReadTextFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

const IPAddr kTarget = Address(198, 18, 0, 9);
const IPAddr kRouter1 = Address(198, 18, 1, 1);
const IPAddr kRouter2 = Address(198, 18, 2, 1);

// One echo as the program sends it: 56 bytes of payload, a reply buffer of one record and the payload.
struct Echo {
    static constexpr WORD kPayload = 56;
    unsigned char request[kPayload];
    unsigned char buffer[sizeof(ICMP_ECHO_REPLY) + kPayload];
    DWORD returned = 0;
    DWORD error = 0;

    Echo() {
        for (int i = 0; i < kPayload; ++i)
            request[i] = (unsigned char)('a' + i % 26);
        memset(buffer, 0xCD, sizeof buffer);
    }
    const ICMP_ECHO_REPLY& reply() const { return *(const ICMP_ECHO_REPLY*)buffer; }
};

class IcmpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(FakeIcmpLoaded()) << FakeIcmpProblem();
        module_ = LoadLibraryA("ICMP.DLL");
        ASSERT_NE(module_, nullptr);
        ASSERT_NE(GetProcAddress(module_, "FakeIcmpIdentify"), nullptr)
            << "ICMP.DLL is not the fake icmp.dll";
        create_ = (IcmpCreateFileFn)(void*)GetProcAddress(module_, "IcmpCreateFile");
        close_ = (IcmpCloseHandleFn)(void*)GetProcAddress(module_, "IcmpCloseHandle");
        send_ = (IcmpSendEchoFn)(void*)GetProcAddress(module_, "IcmpSendEcho");
        ASSERT_TRUE(create_ && close_ && send_);
        FakeIcmpReset();
    }

    void TearDown() override {
        FakeIcmpReset();
        if (module_)
            FreeLibrary(module_);
    }

    void UseScenario(const char* text) {
        std::string error;
        ASSERT_TRUE(FakeIcmpSetScenario(text, &error)) << error;
    }

    HANDLE Create() {
        HANDLE handle = create_();
        EXPECT_NE(handle, INVALID_HANDLE_VALUE);
        return handle;
    }

    // Sends one echo; ttl -1 passes no options.
    void Send(HANDLE handle, IPAddr destination, int ttl, Echo* echo, DWORD replySize = 0,
              DWORD timeout = 1000) {
        IP_OPTION_INFORMATION options = {};
        options.Ttl = (UCHAR)ttl;
        SetLastError(0xBADF00D);
        echo->returned =
            send_(handle, destination, echo->request, Echo::kPayload, ttl < 0 ? nullptr : &options,
                  echo->buffer, replySize ? replySize : sizeof echo->buffer, timeout);
        echo->error = GetLastError();
    }

    HMODULE module_ = nullptr;
    IcmpCreateFileFn create_ = nullptr;
    IcmpCloseHandleFn close_ = nullptr;
    IcmpSendEchoFn send_ = nullptr;
};
