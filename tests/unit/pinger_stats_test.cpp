// The statistics of a pinger: samples, the average and the min/max sentinels.
#include "echo/pinger.h"
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(PingerStatistics, StartWithTheNoSampleSentinels) {
    CPinger p(0x01020304);
    EXPECT_EQ(p.GetAverageRtt(), 0u);
    EXPECT_EQ(p.GetMinRtt(), 4294967295u);
    EXPECT_EQ(p.GetMaxRtt(), 0u);
    EXPECT_EQ(p.GetLastRtt(), 0u);
    EXPECT_EQ(p.GetSentCount(), 0);
    EXPECT_EQ(p.GetReceivedCount(), 0);
    EXPECT_EQ(p.GetLastAddress(), 0u);
    EXPECT_EQ(p.GetDestination(), 0x01020304u);
    EXPECT_STREQ(p.GetHostText(), "");
}

TEST(PingerStatistics, FirstSampleOfZeroSetsMinAndMax) {
    CPinger p(1);
    p.RecordRtt(0);
    p.IncrementReceived();
    EXPECT_EQ(p.GetMinRtt(), 0u);
    EXPECT_EQ(p.GetMaxRtt(), 0u);
    EXPECT_EQ(p.GetAverageRtt(), 0u);
}

TEST(PingerStatistics, AverageDividesByTheReceivedCountDroppingTheRemainder) {
    CPinger p(1);
    for (uint32_t rtt : {10u, 30u, 20u})
        p.RecordRtt(rtt);
    p.SetReceivedCount(3);
    EXPECT_EQ(p.GetLastRtt(), 20u);
    EXPECT_EQ(p.GetTotalRtt(), 60u);
    EXPECT_EQ(p.GetMinRtt(), 10u);
    EXPECT_EQ(p.GetMaxRtt(), 30u);
    EXPECT_EQ(p.GetAverageRtt(), 20u);

    CPinger q(1);
    q.RecordRtt(10);
    q.RecordRtt(15);
    q.SetReceivedCount(2);
    EXPECT_EQ(q.GetAverageRtt(), 12u);
}

TEST(PingerStatistics, TotalWrapsAndTheAverageFollowsIt) {
    CPinger p(1);
    p.RecordRtt(4294967295u);
    p.RecordRtt(11u); // total wraps to 10
    p.SetReceivedCount(2);
    EXPECT_EQ(p.GetTotalRtt(), 10u);
    EXPECT_EQ(p.GetAverageRtt(), 5u);
    EXPECT_EQ(p.GetMaxRtt(), 4294967295u);
    EXPECT_EQ(p.GetMinRtt(), 11u);
}

TEST(PingerMarks, NoResponseAlsoIgnoresAndIgnoringCanBeUndoneAlone) {
    CPinger p(0);
    p.MarkNoResponse();
    EXPECT_EQ(p.IsIgnored(), 1);
    EXPECT_EQ(p.IsNoResponse(), 1);
    p.SetIgnored(0);
    EXPECT_EQ(p.IsIgnored(), 0);
    EXPECT_EQ(p.IsNoResponse(), 1);
}

TEST(PingerHostText, IsCutTo1023Characters) {
    CPinger p(0);
    std::string longName(5000, 'n');
    p.SetHostText(longName.c_str());
    EXPECT_EQ(std::string(p.GetHostText()), std::string(1023, 'n'));
}

TEST(PingerBuffers, HoldExactlyOneReplyWithThePayload) {
    CPinger p(0);
    const ICMP_ECHO_REPLY* reply = p.Reply();
    EXPECT_EQ(reply->DataSize, 56);
    EXPECT_EQ(reply->Options.Ttl, 32);
    EXPECT_EQ(p.Options()->Ttl, 32);
    EXPECT_EQ(p.Options()->OptionsSize, 0);
    EXPECT_EQ(reinterpret_cast<void*>(p.Options()->OptionsData),
              reinterpret_cast<void*>(p.Options()));
    EXPECT_EQ(kEchoReplySize, sizeof(ICMP_ECHO_REPLY) + 56); // 84 in the 32-bit program
}

} // namespace
