// The scenario parser: each statement, its options, and exact messages for bad lines.
#include "tests/fake_icmp/scenario.h"
#include <gtest/gtest.h>

using namespace fake_icmp;

namespace {

Scenario Parse(const std::string& text) {
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text.c_str(), &scenario, &error)) << text << "\n" << error;
    return scenario;
}

std::string ParseError(const std::string& text) {
    Scenario scenario;
    std::string error;
    EXPECT_FALSE(ParseScenario(text.c_str(), &scenario, &error)) << text;
    return error;
}

} // namespace

TEST(ScenarioAddress, DottedQuadInIpAddrLayout) {
    uint32_t address = 0;
    ASSERT_TRUE(ParseAddress("198.18.0.1", &address));
    const unsigned char* octets = reinterpret_cast<const unsigned char*>(&address);
    EXPECT_EQ(octets[0], 198);
    EXPECT_EQ(octets[1], 18);
    EXPECT_EQ(octets[2], 0);
    EXPECT_EQ(octets[3], 1);
    EXPECT_EQ(address, MakeAddress(198, 18, 0, 1));
    EXPECT_EQ(FormatAddress(address), "198.18.0.1");
    EXPECT_EQ(FormatAddress(0), "0.0.0.0");
}

TEST(ScenarioAddress, RejectsAnythingButFourOctets) {
    const char* bad[] = {
        "",         "198.18.0", "198.18.0.1.5", "198.18.0.256", "198.18..1", "198.18.0.1 ",
        "-1.0.0.0", "a.b.c.d",  "0198.18.0.1",  "198.18.0.1."};
    for (const char* text : bad) {
        uint32_t address = 7;
        EXPECT_FALSE(ParseAddress(text, &address)) << "'" << text << "'";
        EXPECT_EQ(address, 7u) << "'" << text << "'";
    }
}

TEST(ScenarioParse, EchoReplyWithEveryOption) {
    Scenario s = Parse("echo 198.18.0.9 3 reply 198.18.3.1 status ttl-expired rtt 12 times 2 "
                       "delay 50 hold");
    ASSERT_EQ(s.echoes.size(), 1u);
    const EchoRule& r = s.echoes[0];
    EXPECT_EQ(r.line, 1);
    EXPECT_FALSE(r.anyDestination);
    EXPECT_EQ(r.destination, MakeAddress(198, 18, 0, 9));
    EXPECT_FALSE(r.anyTtl);
    EXPECT_EQ(r.ttlLow, 3);
    EXPECT_EQ(r.ttlHigh, 3);
    EXPECT_TRUE(r.reply);
    EXPECT_FALSE(r.responderIsDestination);
    EXPECT_EQ(r.responder, MakeAddress(198, 18, 3, 1));
    EXPECT_EQ(r.status, 11013u);
    EXPECT_EQ(r.rtt, 12u);
    EXPECT_EQ(r.times, 2);
    EXPECT_EQ(r.delayMs, 50u);
    EXPECT_TRUE(r.hold);
    EXPECT_FALSE(r.writeStatus);
    EXPECT_TRUE(s.creates.empty());
    EXPECT_FALSE(s.hasDefault);
}

TEST(ScenarioParse, EchoReplyDefaultsAndOptionOrder) {
    Scenario s = Parse("echo * * reply dest\n"
                       "echo * 1-30 reply 198.18.0.1 rtt 4 status 11002\n");
    ASSERT_EQ(s.echoes.size(), 2u);
    const EchoRule& plain = s.echoes[0];
    EXPECT_TRUE(plain.anyDestination);
    EXPECT_TRUE(plain.anyTtl);
    EXPECT_TRUE(plain.responderIsDestination);
    EXPECT_EQ(plain.status, 0u) << "status defaults to success";
    EXPECT_EQ(plain.rtt, 0u);
    EXPECT_EQ(plain.times, 0) << "no times: never used up";
    EXPECT_FALSE(plain.hold);
    const EchoRule& ranged = s.echoes[1];
    EXPECT_EQ(ranged.line, 2);
    EXPECT_EQ(ranged.ttlLow, 1);
    EXPECT_EQ(ranged.ttlHigh, 30);
    EXPECT_EQ(ranged.status, 11002u);
    EXPECT_EQ(ranged.rtt, 4u);
}

TEST(ScenarioParse, StatusNames) {
    struct Row {
        const char* name;
        uint32_t code;
    } rows[] = {
        {"success", 0},
        {"net-unreachable", 11002},
        {"host-unreachable", 11003},
        {"protocol-unreachable", 11004},
        {"port-unreachable", 11005},
        {"ttl-expired", 11013},
        {"timed-out", 11010},
        {"general-failure", 11050},
        {"4294967295", 4294967295u},
    };
    for (const Row& row : rows) {
        Scenario s = Parse(std::string("echo * * reply dest status ") + row.name);
        ASSERT_EQ(s.echoes.size(), 1u) << row.name;
        EXPECT_EQ(s.echoes[0].status, row.code) << row.name;
    }
}

TEST(ScenarioParse, EchoTimeoutWithOptions) {
    Scenario s = Parse("echo * 2 timeout times 3 write-status delay 10 hold");
    ASSERT_EQ(s.echoes.size(), 1u);
    const EchoRule& r = s.echoes[0];
    EXPECT_FALSE(r.reply);
    EXPECT_EQ(r.status, 11010u);
    EXPECT_EQ(r.times, 3);
    EXPECT_TRUE(r.writeStatus);
    EXPECT_EQ(r.delayMs, 10u);
    EXPECT_TRUE(r.hold);
}

TEST(ScenarioParse, DefaultAndCreateRules) {
    Scenario s = Parse("default reply dest status success rtt 1 delay 5\n"
                       "create fail\n"
                       "create fail error 5 times 2\n");
    ASSERT_TRUE(s.hasDefault);
    EXPECT_EQ(s.fallback.line, 1);
    EXPECT_TRUE(s.fallback.reply);
    EXPECT_TRUE(s.fallback.responderIsDestination);
    EXPECT_EQ(s.fallback.rtt, 1u);
    EXPECT_EQ(s.fallback.delayMs, 5u);
    ASSERT_EQ(s.creates.size(), 2u);
    EXPECT_EQ(s.creates[0].line, 2);
    EXPECT_EQ(s.creates[0].error, 31u) << "ERROR_GEN_FAILURE unless told otherwise";
    EXPECT_EQ(s.creates[0].times, 0);
    EXPECT_EQ(s.creates[1].error, 5u);
    EXPECT_EQ(s.creates[1].times, 2);

    Scenario t = Parse("default timeout write-status hold");
    EXPECT_TRUE(t.hasDefault);
    EXPECT_FALSE(t.fallback.reply);
    EXPECT_TRUE(t.fallback.writeStatus);
    EXPECT_TRUE(t.fallback.hold);
}

TEST(ScenarioParse, CommentsBlankLinesAndLineEnds) {
    Scenario s = Parse("# two lost probes, then the first router\r\n"
                       "\r\n"
                       "   \t\r\n"
                       "echo * 1 timeout times 2   # lost\r\n"
                       "\techo\t*\t1\treply 198.18.1.1 status ttl-expired#no space before it\n"
                       "echo * 2 timeout"); // no line end at the end
    ASSERT_EQ(s.echoes.size(), 3u);
    EXPECT_EQ(s.echoes[0].line, 4);
    EXPECT_EQ(s.echoes[0].times, 2);
    EXPECT_EQ(s.echoes[1].line, 5);
    EXPECT_EQ(s.echoes[1].status, 11013u);
    EXPECT_EQ(s.echoes[2].line, 6);
}

TEST(ScenarioParse, EmptyTextIsAnEmptyScenario) {
    for (const char* text : {"", "\n\n", "# nothing\n"}) {
        Scenario s = Parse(text);
        EXPECT_TRUE(s.echoes.empty() && s.creates.empty() && !s.hasDefault) << text;
    }
    Scenario s;
    std::string error = "old";
    EXPECT_TRUE(ParseScenario(nullptr, &s, &error));
    EXPECT_EQ(error, "");
}

TEST(ScenarioParse, BadLinesNameLineAndReason) {
    struct Row {
        const char* text;
        const char* error;
    } rows[] = {
        // unknown first word
        {"ech * * timeout", "line 1: unknown statement 'ech' (expected echo, default or create)"},
        // echo without its answer
        {"echo * *", "line 1: 'echo' needs a destination, a TTL and an answer (reply or timeout)"},
        // octet out of range
        {"echo 198.18.0.256 * timeout",
         "line 1: bad destination '198.18.0.256' (expected * or an address such as 198.18.0.1)"},
        // three octets
        {"echo 198.18.0 * timeout",
         "line 1: bad destination '198.18.0' (expected * or an address such as 198.18.0.1)"},
        // TTL beyond a byte
        {"echo * 256 timeout",
         "line 1: bad TTL '256' (expected *, a number 0-255 or a range such as 1-5)"},
        // range backwards
        {"echo * 5-3 timeout",
         "line 1: bad TTL '5-3' (expected *, a number 0-255 or a range such as 1-5)"},
        // range without an end
        {"echo * 1- timeout",
         "line 1: bad TTL '1-' (expected *, a number 0-255 or a range such as 1-5)"},
        // negative TTL
        {"echo * -1 timeout",
         "line 1: bad TTL '-1' (expected *, a number 0-255 or a range such as 1-5)"},
        // unknown answer
        {"echo * * answer", "line 1: unknown answer 'answer' (expected reply or timeout)"},
        // reply without responder
        {"echo * * reply", "line 1: 'reply' needs the responder's address (or dest)"},
        // responder not an address
        {"echo * * reply router1", "line 1: bad responder 'router1' (expected an address or dest)"},
        // unknown status name
        {"echo * * reply dest status lost",
         "line 1: unknown status 'lost' (a number or a name such as success, ttl-expired, "
         "net-unreachable)"},
        // status number beyond 32 bits
        {"echo * * reply dest status 4294967296",
         "line 1: unknown status '4294967296' (a number or a name such as success, ttl-expired, "
         "net-unreachable)"},
        // rtt without a value
        {"echo * * reply dest rtt", "line 1: 'rtt' needs a value"},
        // rtt negative
        {"echo * * reply dest rtt -1", "line 1: 'rtt' needs a number of ms, not '-1'"},
        // status on a timeout
        {"echo * * timeout status 0", "line 1: 'status' applies only to reply"},
        // rtt on a timeout
        {"echo * * timeout rtt 3", "line 1: 'rtt' applies only to reply"},
        // write-status on a reply
        {"echo * * reply dest write-status", "line 1: 'write-status' applies only to timeout"},
        // times zero
        {"echo * * timeout times 0", "line 1: 'times' must be 1 or more"},
        // times not a number
        {"echo * * timeout times x", "line 1: 'times' needs a number up to 1000000, not 'x'"},
        // times without a value
        {"echo * * timeout times", "line 1: 'times' needs a number"},
        // an option twice
        {"echo * * timeout times 2 times 3", "line 1: 'times' given twice"},
        {"echo * * timeout hold hold", "line 1: 'hold' given twice"},
        // delay beyond the limit
        {"echo * * timeout delay 60001",
         "line 1: 'delay' needs a number of ms up to 60000, not '60001'"},
        // stray word
        {"echo * * reply dest status 0 rtt 5 extra", "line 1: unknown option 'extra' for echo"},
        // default that runs out makes no sense
        {"default timeout times 2",
         "line 1: 'times' is not allowed on default (the default never runs out)"},
        {"default", "line 1: 'default' needs an answer (reply or timeout)"},
        {"default timeout frob", "line 1: unknown option 'frob' for default"},
        // two defaults
        {"default timeout\n\ndefault reply dest",
         "line 3: second default (the first is on line 1)"},
        // create without fail
        {"create", "line 1: 'create' needs 'fail' (IcmpCreateFile succeeds unless told to fail)"},
        {"create ok",
         "line 1: 'create' needs 'fail' (IcmpCreateFile succeeds unless told to fail)"},
        {"create fail times", "line 1: 'times' needs a number"},
        {"create fail error x", "line 1: 'error' needs a number, not 'x'"},
        {"create fail times 1 times 2", "line 1: 'times' given twice"},
        {"create fail colour 3",
         "line 1: unknown option 'colour' for create (expected error or times)"},
        // the bad line is counted among comments, blank lines and CR LF ends
        {"# header\r\n\r\necho * * timeout\r\nbogus\r\n",
         "line 4: unknown statement 'bogus' (expected echo, default or create)"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ParseError(row.text), row.error) << "scenario: " << row.text;
}

TEST(ScenarioParse, BadTextLeavesScenarioEmpty) {
    Scenario s;
    s.hasDefault = true;
    s.echoes.resize(3);
    std::string error;
    EXPECT_FALSE(ParseScenario("echo * * timeout\ncreate fail\nnonsense", &s, &error));
    EXPECT_TRUE(s.echoes.empty());
    EXPECT_TRUE(s.creates.empty());
    EXPECT_FALSE(s.hasDefault);
}

TEST(ScenarioParse, LineLengthLimit) {
    std::string longest = "echo * * timeout #" + std::string(kMaxLineLength - 18, 'x');
    ASSERT_EQ(longest.size(), kMaxLineLength);
    EXPECT_EQ(Parse(longest + "\r\n").echoes.size(), 1u) << "the CR does not count";

    std::string tooLong = longest + "x";
    EXPECT_EQ(ParseError("echo * * timeout\n" + tooLong), "line 2: longer than 200 characters");
    EXPECT_EQ(ParseError(std::string(100000, 'e')), "line 1: longer than 200 characters");
}

TEST(ScenarioParse, RuleCountLimit) {
    std::string text;
    for (size_t i = 0; i < kMaxRules; ++i)
        text += i % 2 ? "echo * * timeout times 1\n" : "create fail times 1\n";
    EXPECT_EQ(Parse(text).echoes.size() + Parse(text).creates.size(), kMaxRules);
    EXPECT_EQ(ParseError(text + "# comments do not count\necho * * timeout\n"),
              "line 1002: more than 1000 rules");
}
