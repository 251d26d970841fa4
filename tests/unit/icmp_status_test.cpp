// Texts of the ICMP status codes.
#include "echo/icmp_status.h"
#include <gtest/gtest.h>

namespace {

TEST(IcmpStatusText, NamesEveryCodeOfTheLibrary) {
    const char* const expected[] = {
        "Buffer too small",
        "Destination net unreachable",
        "Destination host unreachable",
        "Destination protocol unreachable",
        "Destination port unreachable",
        "No resources",
        "Bad option",
        "Hardware error",
        "Packet too big",
        "Request timed out",
        "Bad request",
        "Bad route",
        "TTL expired in transit",
        "TTL expired on reassembly",
        "Param problem",
        "Source quench",
        "Option too big",
        "Bad destination",
    };
    EXPECT_STREQ(IcmpStatusText(0), "Success");
    for (long code = 11001; code <= 11018; code++)
        EXPECT_STREQ(IcmpStatusText(code), expected[code - 11001]) << "code " << code;
}

TEST(IcmpStatusText, CallsOtherCodesUnknown) {
    for (long code : {11019L, 11000L, 1L, -1L, 11050L, 0x7FFFFFFFL})
        EXPECT_STREQ(IcmpStatusText(code), "Unknown error") << "code " << code;
}

} // namespace
