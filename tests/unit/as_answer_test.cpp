// The mapping service's TXT answers on real shapes and hostile ones, the addresses that are
// never sent, the names asked and the texts shown.
#include "asn/as_answer.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// a.b.c.d in network byte order, without any socket header.
uint32_t Address(unsigned a, unsigned b, unsigned c, unsigned d) {
    uint32_t value;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&value);
    bytes[0] = static_cast<unsigned char>(a);
    bytes[1] = static_cast<unsigned char>(b);
    bytes[2] = static_cast<unsigned char>(c);
    bytes[3] = static_cast<unsigned char>(d);
    return value;
}

TEST(AsAnswer, OriginAnswersOfEveryShape) {
    const std::string longName(10000, 'N');
    const struct {
        std::string text;
        bool good;
        uint32_t asn = 0;
        const char *origins = "", *prefix = "", *country = "", *registry = "";
    } cases[] = {
        // the service's own shape
        {"13335 | 104.16.0.0/13 | US | arin | 2014-03-28", true, 13335, "13335", "104.16.0.0/13",
         "US", "arin"},
        // several origins: the first shown, all kept
        {"13335 209242 | 1.1.1.0/24 | AU | apnic | 2011-08-11", true, 13335, "13335 209242",
         "1.1.1.0/24", "AU", "apnic"},
        // no spaces around the separators, an empty country
        {"64512|198.18.0.0/15||lab|", true, 64512, "64512", "198.18.0.0/15", "", "lab"},
        // the largest 32-bit AS number
        {"4294967295 | 0.0.0.0/0 | ZZ | x | y", true, 4294967295u, "4294967295", "0.0.0.0/0", "ZZ",
         "x"},
        // non-ASCII and control bytes in a free field read '?'
        {"64512 | 10.0.0.0/8 | ZZ | r\xe9g\x01 | d", true, 64512, "64512", "10.0.0.0/8", "ZZ",
         "r?g?"},
        // so many origins that they do not all fit: whole numbers only
        {std::string(30, ' ') + "1 22 333 4444 55555 666666 7777777 88888888 999999999 "
                                "1111111111 2222222222 3333333333 | 1.0.0.0/8 | ZZ | a | b",
         true, 1, "1 22 333 4444 55555 666666 7777777 88888888 999999999", "1.0.0.0/8",
         "ZZ", "a"},
        // malformed: no separators, too few or too many fields, no number, bad numbers
        {"13335 104.16.0.0/13 US arin 2014-03-28", false},
        {"13335 | 104.16.0.0/13 | US | arin", false},
        {"13335 | 104.16.0.0/13 | US | arin | 2014 | extra", false},
        {"", false},
        {"| 104.16.0.0/13 | US | arin | d", false},
        {"AS13335 | 104.16.0.0/13 | US | arin | d", false},
        {"0 | 104.16.0.0/13 | US | arin | d", false},
        {"4294967296 | 104.16.0.0/13 | US | arin | d", false},
        {"-5 | 104.16.0.0/13 | US | arin | d", false},
        {"13335,1 | 104.16.0.0/13 | US | arin | d", false},
        // malformed prefixes and countries
        {"13335 | 104.16.0.0 | US | arin | d", false},
        {"13335 | 104.16.0.0/33 | US | arin | d", false},
        {"13335 | 256.16.0.0/13 | US | arin | d", false},
        {"13335 | 104.016.0.0/13 | US | arin | d", false},
        {"13335 | 2606:4700::/32 | US | arin | d", false},
        {"13335 | 104.16.0.0/13 | USA | arin | d", false},
        {"13335 | 104.16.0.0/13 | U1 | arin | d", false},
        // a huge answer in one field
        {"13335 | 104.16.0.0/13 | US | arin | " + longName, true, 13335, "13335", "104.16.0.0/13",
         "US", "arin"},
        {longName + " | 104.16.0.0/13 | US | arin | d", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        AsOrigin origin;
        ASSERT_EQ(ParseOriginAnswer(c.text.data(), c.text.size(), origin), c.good);
        if (!c.good)
            continue;
        EXPECT_EQ(origin.Asn, c.asn);
        EXPECT_STREQ(origin.Origins, c.origins);
        EXPECT_STREQ(origin.Prefix, c.prefix);
        EXPECT_STREQ(origin.Country, c.country);
        EXPECT_STREQ(origin.Registry, c.registry);
        EXPECT_LT(strlen(origin.Date), sizeof origin.Date);
    }
}

TEST(AsAnswer, NameAnswersOfEveryShape) {
    const std::string huge(10000, 'N');
    const struct {
        std::string text;
        bool good;
        uint32_t asn = 0;
        std::string name = "";
    } cases[] = {
        {"13335 | US | arin | 2010-07-14 | CLOUDFLARENET, US", true, 13335, "CLOUDFLARENET, US"},
        // "AS" before the number, as some mirrors write it
        {"AS64512 | ZZ | lab | 2026-12-09 | LAB-EDGE, ZZ", true, 64512, "LAB-EDGE, ZZ"},
        // a name holding the separator keeps it
        {"1 | ZZ | a | b | ONE | TWO", true, 1, "ONE | TWO"},
        // bytes above 127 and NUL read '?'
        {std::string("7 | FR | ripencc | d | R\xc9SEAU\0X", 31), true, 7, "R?SEAU?X"},
        // a name of 10,000 characters is cut to the record
        {"9 | ZZ | a | b | " + huge, true, 9, huge.substr(0, kAsNameSize - 1)},
        {"13335 | US | arin | 2010-07-14", false},
        {"13335 | US | arin | 2010-07-14 | ", false},
        {"13335 209242 | US | arin | d | NAME", false},
        {"x | US | arin | d | NAME", false},
        {"13335 | USA | arin | d | NAME", false},
        {"CLOUDFLARENET", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        AsName name;
        ASSERT_EQ(ParseAsNameAnswer(c.text.data(), c.text.size(), name), c.good);
        if (!c.good)
            continue;
        EXPECT_EQ(name.Asn, c.asn);
        EXPECT_EQ(name.Name, c.name);
    }
}

TEST(AsAnswer, OnlyAddressesTheServiceCanKnowAreSent) {
    const struct {
        uint32_t address;
        bool askable;
    } cases[] = {
        {Address(8, 8, 8, 8), true},
        {Address(198, 18, 1, 1), true}, // benchmarking: the lab's
        {Address(198, 19, 255, 255), true},
        {Address(100, 63, 255, 255), true},
        {Address(100, 128, 0, 0), true},
        {Address(172, 15, 0, 1), true},
        {Address(172, 32, 0, 1), true},
        {Address(223, 255, 255, 255), true},
        {Address(10, 1, 2, 3), false},
        {Address(172, 16, 0, 1), false},
        {Address(172, 31, 255, 255), false},
        {Address(192, 168, 1, 1), false},
        {Address(127, 0, 0, 1), false},
        {Address(169, 254, 1, 1), false},
        {Address(100, 64, 0, 1), false},
        {Address(100, 127, 255, 255), false},
        {Address(224, 0, 0, 1), false},
        {Address(239, 255, 255, 250), false},
        {Address(0, 1, 2, 3), false},
        {Address(240, 0, 0, 1), false},
        {Address(255, 255, 255, 255), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsAskableAddress(c.address), c.askable) << std::hex << c.address;
}

TEST(AsAnswer, NamesAskedAndTextsShown) {
    char name[kAsQueryNameSize];
    ASSERT_TRUE(FormatOriginQuery(name, sizeof name, Address(198, 18, 7, 1), "origin.asn.test"));
    EXPECT_STREQ(name, "1.7.18.198.origin.asn.test");
    ASSERT_TRUE(FormatAsNameQuery(name, sizeof name, 64512, "asn.test"));
    EXPECT_STREQ(name, "AS64512.asn.test");
    // a zone too long for the name, or none, asks nothing
    EXPECT_FALSE(FormatOriginQuery(name, sizeof name, Address(1, 2, 3, 4), std::string(250, 'z').c_str()));
    EXPECT_STREQ(name, "");
    EXPECT_FALSE(FormatAsNameQuery(name, sizeof name, 1, ""));

    AsOrigin origin;
    const std::string text = "13335 209242 | 104.16.0.0/13 | US | arin | 2014-03-28";
    ASSERT_TRUE(ParseOriginAnswer(text.data(), text.size(), origin));
    AsName network;
    const std::string answer = "13335 | US | arin | 2010-07-14 | CLOUDFLARENET, US";
    ASSERT_TRUE(ParseAsNameAnswer(answer.data(), answer.size(), network));
    char cell[kAsCellSize];
    EXPECT_STREQ(FormatAsCell(cell, sizeof cell, 13335, &network), "AS13335 CLOUDFLARENET");
    EXPECT_STREQ(FormatAsCell(cell, sizeof cell, 13335, nullptr), "AS13335");
    char small[12];
    EXPECT_STREQ(FormatAsCell(small, sizeof small, 13335, &network), "AS13335 CLO");
    char whole[512];
    EXPECT_STREQ(FormatAsAnswer(whole, sizeof whole, origin, &network),
                 "AS13335 AS209242 | 104.16.0.0/13 | US | arin | 2014-03-28 | CLOUDFLARENET, US");
    EXPECT_STREQ(FormatAsAnswer(whole, sizeof whole, origin, nullptr),
                 "AS13335 AS209242 | 104.16.0.0/13 | US | arin | 2014-03-28 | ");
}

} // namespace
