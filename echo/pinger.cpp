// CPinger: construction of the echo buffers, statistics and the hand-over of one echo.
#include "echo/pinger.h"
#include "common/bounded_text.h"
#include "echo/echo_service.h"
#include "echo/history_store.h"
#include <cstring>

CPinger::CPinger(IPAddr destination) : destination(destination) {
    memset(requestData, 0, sizeof requestData);
    memset(replyData, 0, sizeof replyData);
    memset(&options, 0, sizeof options);
    options.Ttl = kDefaultEchoTtl;
    options.OptionsData = reinterpret_cast<PUCHAR>(&options);
    memset(replyBuffer, 0, sizeof replyBuffer);
    ICMP_ECHO_REPLY* reply = Reply();
    reply->DataSize = kEchoPayloadSize;
    reply->Data = replyData;
    reply->Options.Ttl = kDefaultEchoTtl;
    reply->Options.OptionsData = reinterpret_cast<PUCHAR>(&options);
    hostText[0] = '\0';
}

CPinger::~CPinger() {
    ReleaseEchoTarget(this);
    if (icmpHandle)
        CloseIcmpHandle(icmpHandle);
    FreeHopHistory(history);
}

int CPinger::OpenIcmp() {
    icmpHandle = CreateIcmpHandle();
    return icmpHandle ? 1 : 0;
}

void CPinger::SendEcho(HWND window, UINT message, DWORD timeout, unsigned ttl) {
    if (ignored || noResponse) {
        PostMessageA(window, message, 0, reinterpret_cast<LPARAM>(this));
        return;
    }
    options.Ttl = static_cast<UCHAR>(ttl);
    SubmitEchoRequest(this, window, message, timeout);
}

void CPinger::RecordRtt(uint32_t rtt) {
    totalRtt.store(GetTotalRtt() + rtt, std::memory_order_relaxed); // wraps modulo 2^32
    lastRtt.store(rtt, std::memory_order_relaxed);
    if (rtt < GetMinRtt())
        minRtt.store(rtt, std::memory_order_relaxed);
    if (rtt > GetMaxRtt())
        maxRtt.store(rtt, std::memory_order_relaxed);
}

uint32_t CPinger::GetAverageRtt() const {
    uint32_t received = static_cast<uint32_t>(GetReceivedCount());
    return received ? GetTotalRtt() / received : 0;
}

void CPinger::SetHostText(const char* text) {
    CopyText(hostText, sizeof hostText, text);
}
