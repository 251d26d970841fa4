// The WhoIs client's text rules: the domain cut from a host name (and the auto-start request
// it cancels), the answer's line ends, and which server names are refused.
#include "app/app.h"
#include "common/bounded_text.h"
#include "whois/whois.h"
#include "whois/whois_text.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

TEST(ReduceToDomain, KeepsTheLabelsAWhoIsServerKnows) {
    const struct {
        const char* text;
        const char* domain;
        int cleared;
    } cases[] = {
        {"a.b.c.d", "c.d", 0},       // the last two labels
        {"w.x.y.ab", "x.y.ab", 0},   // three under a two-letter label
        {"x.y.ab", "x.y.ab", 0},     // no third dot: whole
        {"y.z", "y.z", 0},           // no second dot: whole
        {"www.host", "www.host", 0}, // www is only dropped when outside the kept labels
        {"nodot", "nodot", 0},       //
        {"", "", 0},                 //
        {"x.y.z.", "z.", 0},         // a final dot counts as a label of none
        {"10.1.2.3", "", 1},         // an address leaves "2.3": cleared
        {"a.9b.xyz", "", 1},         // the kept labels begin with a digit
        {"x.9b.ab", "x.9b.ab", 0},   // kept whole, beginning with a letter
        {"c.d", "c.d", 0},           // its own result stays
    };
    for (const auto& c : cases) {
        CopyText(WhoisDomainText, sizeof WhoisDomainText, c.text);
        WhoisAutoStart = 1;
        EXPECT_EQ(ReduceToDomain(), c.cleared) << c.text;
        EXPECT_STREQ(WhoisDomainText, c.domain) << c.text;
        EXPECT_EQ(WhoisAutoStart, !c.cleared) << c.text << ": the request goes with the domain";
    }
}

std::string Expanded(const std::string& bytes, size_t capacity = 513) {
    char text[1024];
    size_t length = ExpandAnswerPiece(bytes.data(), bytes.size(), text, capacity);
    EXPECT_EQ(length, strlen(text));
    return text;
}

TEST(ExpandAnswerPiece, MakesLineEndsTheEditControlBreaksAt) {
    EXPECT_EQ(Expanded("a\r\nb"), "a\r\r\nb");                // CR LF: CR CR LF
    EXPECT_EQ(Expanded("a\nb\n"), "a\r\nb\r\n");              // bare LF: CR LF
    EXPECT_EQ(Expanded(std::string("a\0b\0", 4)), "ab");      // NUL bytes dropped
    EXPECT_EQ(Expanded("\xE9\x7F\t"), "\xE9\x7F\t");          // other bytes as they are
    EXPECT_EQ(Expanded(std::string(256, '\n')).size(), 512u); // the largest piece fits
    EXPECT_EQ(Expanded("abc", 3), "ab");                      // cut, never overrun
    EXPECT_EQ(Expanded("ab\n", 4), "ab");                     // no half line end
}

TEST(IsUsableServerName, RefusesNamesNoLookupCanAnswer) {
    EXPECT_TRUE(IsUsableServerName("whois.routelark.test"));
    EXPECT_TRUE(IsUsableServerName("198.18.10.1"));
    EXPECT_TRUE(IsUsableServerName("")); // left to the platform
    EXPECT_TRUE(IsUsableServerName(std::string(kServerNameMax, 'w').c_str()));
    EXPECT_FALSE(IsUsableServerName(std::string(kServerNameMax + 1, 'w').c_str()));
    EXPECT_FALSE(IsUsableServerName(std::string(1023, 'w').c_str()));
    EXPECT_FALSE(IsUsableServerName(" "));
    EXPECT_FALSE(IsUsableServerName("   "));
    EXPECT_FALSE(IsUsableServerName("who\xE9is.test")); // above 127
    EXPECT_FALSE(IsUsableServerName("whois\t.test"));   // control character
}

} // namespace
