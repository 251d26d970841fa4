// CPinger: one echo target with its buffers, ICMP handle, statistics and host text.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <ipexport.h>
#include <atomic>
#include <cstdint>

struct HopHistory;

enum : uint32_t {
    kEchoPayloadSize = 56,
    // exactly one reply: 28 + 56 in the 32-bit program (a 64-bit build's record is 40 bytes)
    kEchoReplySize = sizeof(ICMP_ECHO_REPLY) + kEchoPayloadSize,
    kDefaultEchoTtl = 32,
    kHostTextSize = 1024,
    kNoMinRtt = 0xFFFFFFFFu, // min RTT before the first sample
};
static_assert(sizeof(void*) != 4 || kEchoReplySize == 84,
              "one ICMP_ECHO_REPLY and the echoed payload");

class CPinger {
  public:
    explicit CPinger(IPAddr destination);
    ~CPinger();
    CPinger(const CPinger&) = delete;
    CPinger& operator=(const CPinger&) = delete;

    // Opens this object's ICMP handle; 1 on success, 0 after the warning message.
    int OpenIcmp();
    // Hands one echo to the echo worker, or posts message at once for an ignored or
    // no-response pinger. Never blocks.
    void SendEcho(HWND window, UINT message, DWORD timeout, unsigned ttl);

    IPAddr GetDestination() const { return destination; }
    IPAddr GetLastAddress() const { return lastAddress.load(std::memory_order_relaxed); }
    void SetLastAddress(IPAddr address) { lastAddress.store(address, std::memory_order_relaxed); }
    uint32_t GetLastRtt() const { return lastRtt.load(std::memory_order_relaxed); }
    void RecordRtt(uint32_t rtt);
    // The RTT figures of a hop opened from a session file, before any echo.
    void RestoreRtts(uint32_t last, uint32_t total, uint32_t min, uint32_t max) {
        lastRtt = last, totalRtt = total, minRtt = min, maxRtt = max;
    }
    uint32_t GetAverageRtt() const; // under LockEchoStatistics: its two terms of one moment
    uint32_t GetMinRtt() const { return minRtt.load(std::memory_order_relaxed); }
    uint32_t GetMaxRtt() const { return maxRtt.load(std::memory_order_relaxed); }
    uint32_t GetTotalRtt() const { return totalRtt.load(std::memory_order_relaxed); }

    void SetIgnored(int flag) { ignored.store(flag, std::memory_order_relaxed); }
    int IsIgnored() const { return ignored.load(std::memory_order_relaxed); }
    void MarkNoResponse() { ignored = 1, noResponse = 1; }
    int IsNoResponse() const { return noResponse; }

    void SetHostText(const char* text);
    const char* GetHostText() const { return hostText; }

    int GetSentCount() const { return sentCount.load(std::memory_order_relaxed); }
    void SetSentCount(int count) { sentCount.store(count, std::memory_order_relaxed); }
    void IncrementSent() { SetSentCount(GetSentCount() + 1); }
    int GetReceivedCount() const { return receivedCount.load(std::memory_order_relaxed); }
    void SetReceivedCount(int count) { receivedCount.store(count, std::memory_order_relaxed); }
    void IncrementReceived() { SetReceivedCount(GetReceivedCount() + 1); }

    // A hop's echoes over time, taken when the hop is made and given back with it; none for the
    // probe pinger and placeholders. Filled by the echo worker where the statistics are counted.
    void KeepHistory(HopHistory* rings) { history = rings; }
    HopHistory* History() const { return history; }
    // The hop's HopList index, under which the worker records its events; -1 (as made) for the
    // probe pinger. Set before the hop's first echo of the ping cycle.
    void SetHopIndex(int index) { hopIndex = index; }
    int HopIndex() const { return hopIndex; }

    // Echo buffers handed to the echo service.
    void* RequestData() { return requestData; }
    IP_OPTION_INFORMATION* Options() { return &options; }
    void* ReplyBuffer() { return replyBuffer; }
    ICMP_ECHO_REPLY* Reply() { return reinterpret_cast<ICMP_ECHO_REPLY*>(replyBuffer); }
    HANDLE IcmpHandle() const { return icmpHandle; }

  private:
    // The four echo blocks are members: made once with the object, reused by every echo.
    alignas(8) unsigned char requestData[kEchoPayloadSize];
    alignas(8) unsigned char replyData[kEchoPayloadSize];
    IP_OPTION_INFORMATION options;
    alignas(8) unsigned char replyBuffer[kEchoReplySize];
    char hostText[kHostTextSize];
    // Written by the echo worker while the UI thread reads them: each is one 32-bit value.
    std::atomic<IPAddr> lastAddress{0};
    HANDLE icmpHandle = nullptr;
    const IPAddr destination;
    std::atomic<uint32_t> lastRtt{0};
    std::atomic<uint32_t> totalRtt{0};
    std::atomic<uint32_t> minRtt{kNoMinRtt};
    std::atomic<uint32_t> maxRtt{0};
    std::atomic<int> sentCount{0};
    std::atomic<int> receivedCount{0};
    std::atomic<int> ignored{0}; // read by the echo worker in a round
    int noResponse = 0;          // set before any round starts
    HopHistory* history = nullptr;
    int hopIndex = -1;
};
