// Reduction of typed addresses to the name that is looked up.
#include "trace/strip_url.h"
#include "harness/test_names.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct StripCase {
    const char* typed;
    const char* lookedUp;
};

class StripUrlTest : public ::testing::TestWithParam<StripCase> {};

TEST_P(StripUrlTest, KeepsTheHostPart) {
    char out[1024];
    EXPECT_STREQ(StripUrl(GetParam().typed, out, sizeof out), GetParam().lookedUp)
        << "typed: " << GetParam().typed;
}

const StripCase kStripCases[] = {
    {"dest.routelark.test", "dest.routelark.test"},                   // a plain name stays
    {"http://dest.routelark.test/index.html", "dest.routelark.test"}, // scheme and path go
    {"HTTP://DEST.routelark.test/a/b", "DEST.routelark.test"},       // the prefix test ignores case
    {"https://dest.routelark.test/path?q=1", "dest.routelark.test"}, // the secure scheme too
    {"HtTpS://dest.routelark.test", "dest.routelark.test"},
    {"ftp://files.routelark.test\\pub", "files.routelark.test"},   // backslash cut
    {"host/a\\b", "host"},                                         // a slash wins ...
    {"host\\a/b", "host\\a"},                                      // ... over an earlier backslash
    {"http://http://x/y", "http:"},                                // only one prefix goes
    {"gopher://x/y", "gopher:"},                                   // other schemes stay
    {"dest.routelark.test:8080/path", "dest.routelark.test:8080"}, // a port stays
    {"http:/x", "http:"},                                          // not a full prefix
    {"https:", "https:"},
    {"", ""},
};

INSTANTIATE_TEST_SUITE_P(TypedAddresses, StripUrlTest, ::testing::ValuesIn(kStripCases),
                         [](const auto& info) {
                             return std::to_string(info.index) + "_" + CaseName(info.param.typed);
                         });

TEST(StripUrl, CutsToTheOutputBuffer) {
    std::string longName(2000, 'a');
    char out[16];
    StripUrl(longName.c_str(), out, sizeof out);
    EXPECT_EQ(std::string(out), std::string(15, 'a'));
}

// A buffer of no bytes holds no text: nothing is written, and nothing is read from it.
TEST(StripUrl, LeavesABufferOfNoBytesAlone) {
    char out[2] = {'/', 'x'};
    EXPECT_EQ(StripUrl("http://host/path", out, 0), out);
    EXPECT_EQ(std::string(out, 2), "/x");
}

} // namespace
