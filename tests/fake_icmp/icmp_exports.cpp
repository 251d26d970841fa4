// The three ICMP exports the program binds, answering from the scenario, and the DLL entry.
#include "fake_state.h"
#include <ipexport.h>
#include <icmpapi.h>
#include <cstring>

using namespace fake_icmp;

namespace {

// A hold that nobody releases ends after this, so a failed test cannot hang the program.
constexpr DWORD kHoldLimitMs = 30000;
// Fake handles stay far from the small numbers of real kernel handles.
constexpr uintptr_t kFirstHandle = 0x00FA0000;

bool IsOpen(HANDLE handle) {
    for (HANDLE open : g_state.openHandles) {
        if (open == handle)
            return true;
    }
    return false;
}

// Why an echo is refused before the scenario is asked, or 0.
DWORD CheckEcho(HANDLE handle, LPVOID request, WORD requestSize, LPVOID replyBuffer,
                DWORD replySize) {
    if (!IsOpen(handle))
        return ERROR_INVALID_HANDLE;
    if (!replyBuffer || (requestSize && !request))
        return ERROR_INVALID_PARAMETER;
    // Windows documents 8 spare bytes more; the program's 28 + 56 works on Windows and Wine.
    if (replySize < sizeof(ICMP_ECHO_REPLY) + requestSize)
        return IP_BUF_TOO_SMALL;
    return 0;
}

// Blocks a held echo until the test releases it (or the hold limit passes).
void WaitForRelease(int sequence, HANDLE release) {
    if (WaitForSingleObject(release, kHoldLimitMs) == WAIT_TIMEOUT) {
        Locked locked;
        if (ReleaseHeld(sequence) > 0)
            Report("echo " + std::to_string(sequence) + " held for " +
                   std::to_string(kHoldLimitMs) + " ms without release; answering now");
    }
    CloseHandle(release);
}

void WriteReply(const EchoAnswer& answer, LPVOID request, WORD requestSize, LPVOID replyBuffer) {
    auto* reply = static_cast<ICMP_ECHO_REPLY*>(replyBuffer);
    if (!answer.reply && !answer.writeStatus)
        return; // a lost echo leaves the buffer as it was
    memset(reply, 0, sizeof *reply);
    if (!answer.reply) {
        reply->Status = IP_REQ_TIMED_OUT;
        return;
    }
    reply->Address = answer.address;
    reply->Status = answer.status;
    reply->RoundTripTime = answer.rtt;
    reply->DataSize = requestSize;
    reply->Data = reply + 1;
    if (requestSize)
        memcpy(reply->Data, request, requestSize);
    reply->Options.Ttl = 64;
}

} // namespace

// Each export leaves the caller's last error as it found it unless the call fails: the fake's
// own environment and file look-ups must not show through.

extern "C" HANDLE WINAPI IcmpCreateFile(void) {
    const DWORD lastError = GetLastError();
    FakeIcmpCall call = {};
    call.kind = FAKE_ICMP_CREATE;
    call.threadId = GetCurrentThreadId();
    {
        Locked locked;
        ApplyEnvironmentScenario();
        ++g_state.counts.creates;
        if (const CreateRule* failure = g_state.player.ChooseCreate()) {
            call.handle = INVALID_HANDLE_VALUE;
            call.error = failure->error;
            call.rule = failure->line;
        } else {
            call.handle = reinterpret_cast<HANDLE>(kFirstHandle + 4 * ++g_state.handlesMade);
            call.returned = 1;
            g_state.openHandles.push_back(call.handle);
            g_state.counts.openHandles = static_cast<int>(g_state.openHandles.size());
        }
        FinishCall(g_state.generation, RecordCall(&call), call);
    }
    SetLastError(call.error ? call.error : lastError);
    return call.handle;
}

extern "C" BOOL WINAPI IcmpCloseHandle(HANDLE handle) {
    const DWORD lastError = GetLastError();
    FakeIcmpCall call = {};
    call.kind = FAKE_ICMP_CLOSE;
    call.threadId = GetCurrentThreadId();
    call.handle = handle;
    {
        Locked locked;
        ++g_state.counts.closes;
        auto& open = g_state.openHandles;
        for (size_t i = 0; i < open.size() && !call.returned; ++i) {
            if (open[i] == handle) {
                open.erase(open.begin() + static_cast<ptrdiff_t>(i));
                call.returned = 1;
            }
        }
        g_state.counts.openHandles = static_cast<int>(open.size());
        if (!call.returned)
            call.error = ERROR_INVALID_HANDLE;
        FinishCall(g_state.generation, RecordCall(&call), call);
    }
    SetLastError(call.error ? call.error : lastError);
    return call.returned;
}

extern "C" DWORD WINAPI IcmpSendEcho(HANDLE handle, IPAddr destination, LPVOID request,
                                     WORD requestSize, PIP_OPTION_INFORMATION options,
                                     LPVOID replyBuffer, DWORD replySize, DWORD timeout) {
    const DWORD lastError = GetLastError();
    FakeIcmpCall call = {};
    call.kind = FAKE_ICMP_ECHO;
    call.threadId = GetCurrentThreadId();
    call.handle = handle;
    call.destination = destination;
    call.ttl = options ? options->Ttl : -1;
    call.requestSize = requestSize;
    call.replySize = replySize;
    call.timeout = timeout;

    EchoAnswer answer;
    HANDLE release = nullptr;
    size_t index = 0;
    unsigned generation = 0;
    {
        Locked locked;
        ++g_state.counts.echoes;
        call.error = CheckEcho(handle, request, requestSize, replyBuffer, replySize);
        if (call.error) {
            call.status = call.error;
            FinishCall(g_state.generation, RecordCall(&call), call);
        } else {
            answer = g_state.player.ChooseEcho(destination, call.ttl);
            call.rule = answer.line;
            call.held = answer.hold ? 1 : 0;
            call.pending = 1;
            generation = g_state.generation;
            index = RecordCall(&call);
            if (answer.hold) {
                release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
                g_state.held.push_back({call.sequence, release});
                g_state.counts.held = static_cast<int>(g_state.held.size());
                SetEvent(g_state.heldChanged);
            }
        }
    }
    if (call.error) {
        SetLastError(call.error);
        return 0;
    }

    if (release)
        WaitForRelease(call.sequence, release);
    if (answer.delayMs)
        Sleep(answer.delayMs);
    WriteReply(answer, request, requestSize, replyBuffer);
    call.pending = 0;
    call.returned = answer.reply ? 1 : 0;
    call.status = answer.status;
    call.address = answer.address;
    call.roundTripTime = answer.rtt;
    call.error = answer.reply ? 0 : IP_REQ_TIMED_OUT;
    {
        Locked locked;
        FinishCall(generation, index, call);
    }
    SetLastError(call.error ? call.error : lastError);
    return call.returned;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        InitializeCriticalSection(&g_state.lock);
        g_state.heldChanged = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        Locked locked;
        ApplyEnvironmentScenario();
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Unloaded by FreeLibrary: nothing can be held any more, since a held call keeps the
        // caller inside this DLL. At process exit the system reclaims everything anyway.
        CloseHandle(g_state.heldChanged);
        DeleteCriticalSection(&g_state.lock);
    }
    return TRUE;
}
