// The scenario player: rule order, "times", wildcards, TTL ranges, the default, create rules.
#include "tests/fake_icmp/scenario.h"
#include <gtest/gtest.h>

using namespace fake_icmp;

namespace {

const uint32_t kTarget = MakeAddress(198, 18, 0, 9);
const uint32_t kOther = MakeAddress(198, 18, 0, 10);
const uint32_t kRouter1 = MakeAddress(198, 18, 1, 1);
const uint32_t kRouter2 = MakeAddress(198, 18, 2, 1);

ScenarioPlayer Play(const char* text) {
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, &scenario, &error)) << error;
    ScenarioPlayer player;
    player.Load(scenario);
    return player;
}

// "reply <address> <status>", "timeout" or "timeout+status", and the rule's line.
std::string Describe(const EchoAnswer& a) {
    std::string text = a.reply ? "reply " + FormatAddress(a.address) + " " +
                                     std::to_string(a.status) + " rtt " + std::to_string(a.rtt)
                               : std::string(a.writeStatus ? "timeout+status" : "timeout");
    return text + " @" + std::to_string(a.line);
}

} // namespace

TEST(ScenarioPlayer, TimesUsesARuleUpThenFallsThrough) {
    ScenarioPlayer p = Play("echo * 1 timeout times 2\n"
                            "echo * 1 reply 198.18.1.1 status ttl-expired rtt 4\n");
    EXPECT_EQ(Describe(p.ChooseEcho(kTarget, 1)), "timeout @1");
    EXPECT_EQ(Describe(p.ChooseEcho(kTarget, 1)), "timeout @1");
    EXPECT_EQ(Describe(p.ChooseEcho(kTarget, 1)), "reply 198.18.1.1 11013 rtt 4 @2");
    EXPECT_EQ(Describe(p.ChooseEcho(kTarget, 1)), "reply 198.18.1.1 11013 rtt 4 @2")
        << "a rule without times never runs out";
}

TEST(ScenarioPlayer, FirstMatchingRuleWinsOverAMoreSpecificLaterOne) {
    ScenarioPlayer p = Play("echo * * reply 198.18.1.1 status ttl-expired\n"
                            "echo 198.18.0.9 2 reply dest\n");
    EXPECT_EQ(p.ChooseEcho(kTarget, 2).line, 1);
}

TEST(ScenarioPlayer, UnmatchedEchoesTimeOutWithoutARule) {
    ScenarioPlayer p = Play("echo 198.18.0.9 1 reply dest\n");
    EchoAnswer a = p.ChooseEcho(kOther, 1);
    EXPECT_FALSE(a.reply);
    EXPECT_EQ(a.status, kStatusTimedOut);
    EXPECT_EQ(a.address, 0u);
    EXPECT_EQ(a.line, 0);
    EXPECT_FALSE(a.writeStatus);
    EXPECT_FALSE(a.hold);
    EXPECT_EQ(a.delayMs, 0u);

    ScenarioPlayer empty;
    EXPECT_EQ(Describe(empty.ChooseEcho(kTarget, 1)), "timeout @0");
}

TEST(ScenarioPlayer, DestinationAndTtlMatching) {
    ScenarioPlayer p = Play("echo 198.18.0.9 2-4 reply 198.18.2.1 status ttl-expired\n"
                            "echo 198.18.0.9 7 reply dest rtt 9\n"
                            "echo * * reply 198.18.1.1 status net-unreachable\n");
    struct Row {
        uint32_t destination;
        int ttl;
        int line;
    } rows[] = {
        {kTarget, 1, 3},  // below the range
        {kTarget, 2, 1},  // range start
        {kTarget, 4, 1},  // range end
        {kTarget, 5, 3},  // above the range
        {kTarget, 7, 2},  // exact TTL
        {kOther, 3, 3},   // other destination: only the wildcard
        {kTarget, -1, 3}, // no options: only "*" matches
        {kTarget, 0, 3},  // TTL 0
        {kTarget, 255, 3},
    };
    for (const Row& row : rows) {
        EchoAnswer a = p.ChooseEcho(row.destination, row.ttl);
        EXPECT_EQ(a.line, row.line) << FormatAddress(row.destination) << " ttl " << row.ttl;
    }
}

TEST(ScenarioPlayer, ReplyDestAnswersFromTheDestination) {
    ScenarioPlayer p = Play("echo * * reply dest rtt 3");
    EXPECT_EQ(Describe(p.ChooseEcho(kTarget, 5)), "reply 198.18.0.9 0 rtt 3 @1");
    EXPECT_EQ(Describe(p.ChooseEcho(kOther, 5)), "reply 198.18.0.10 0 rtt 3 @1");
}

TEST(ScenarioPlayer, DefaultCatchesWhatRulesLeaveAndNeverRunsOut) {
    ScenarioPlayer p = Play("default reply dest status success rtt 2\n"
                            "echo * 1 reply 198.18.1.1 status ttl-expired times 1\n");
    EXPECT_EQ(Describe(p.ChooseEcho(kTarget, 1)), "reply 198.18.1.1 11013 rtt 0 @2")
        << "echo rules come before the default wherever it stands";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Describe(p.ChooseEcho(kTarget, 1)), "reply 198.18.0.9 0 rtt 2 @1") << i;
}

TEST(ScenarioPlayer, TimeoutOptionsReachTheAnswer) {
    ScenarioPlayer p = Play("echo * 1 timeout write-status delay 20\n"
                            "echo * 2 reply 198.18.2.1 status ttl-expired rtt 5 hold\n"
                            "default timeout\n");
    EchoAnswer lost = p.ChooseEcho(kTarget, 1);
    EXPECT_EQ(Describe(lost), "timeout+status @1");
    EXPECT_EQ(lost.delayMs, 20u);
    EchoAnswer held = p.ChooseEcho(kTarget, 2);
    EXPECT_TRUE(held.hold);
    EXPECT_EQ(held.address, kRouter2);
    EXPECT_EQ(Describe(p.ChooseEcho(kTarget, 3)), "timeout @3");
}

TEST(ScenarioPlayer, RouteDiscoveryWithRetries) {
    // Hop 1 answers, hop 2 loses two probes, hop 3 is the destination.
    ScenarioPlayer p = Play("echo 198.18.0.9 1 reply 198.18.1.1 status ttl-expired rtt 1\n"
                            "echo 198.18.0.9 2 timeout times 2\n"
                            "echo 198.18.0.9 2 reply 198.18.2.1 status ttl-expired rtt 2\n"
                            "echo 198.18.0.9 3-255 reply dest rtt 3\n");
    const char* expected[] = {
        "reply 198.18.1.1 11013 rtt 1 @1",
        "timeout @2",
        "timeout @2",
        "reply 198.18.2.1 11013 rtt 2 @3",
        "reply 198.18.0.9 0 rtt 3 @4",
    };
    const int ttls[] = {1, 2, 2, 2, 3};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Describe(p.ChooseEcho(kTarget, ttls[i])), expected[i]) << "probe " << i;
    EXPECT_EQ(p.ChooseEcho(kTarget, 1).address, kRouter1);
}

TEST(ScenarioPlayer, CreateRulesRunOutInOrder) {
    ScenarioPlayer p = Play("create fail times 2\ncreate fail error 5 times 1\n");
    const CreateRule* first = p.ChooseCreate();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->error, 31u);
    ASSERT_NE(p.ChooseCreate(), nullptr);
    const CreateRule* third = p.ChooseCreate();
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->error, 5u);
    EXPECT_EQ(third->line, 2);
    EXPECT_EQ(p.ChooseCreate(), nullptr);
    EXPECT_EQ(p.ChooseCreate(), nullptr);

    ScenarioPlayer always = Play("create fail");
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(always.ChooseCreate(), nullptr) << i;
    EXPECT_EQ(Play("echo * * timeout").ChooseCreate(), nullptr);
}

TEST(ScenarioPlayer, LoadStartsTheCountsAfresh) {
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(ParseScenario("echo * * reply dest times 1", &scenario, &error));
    ScenarioPlayer p;
    p.Load(scenario);
    EXPECT_TRUE(p.ChooseEcho(kTarget, 1).reply);
    EXPECT_FALSE(p.ChooseEcho(kTarget, 1).reply);
    p.Load(scenario);
    EXPECT_TRUE(p.ChooseEcho(kTarget, 1).reply);
}
