// Dotted-quad texts of IPv4 addresses held in network byte order.
#include "trace/format_address.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

uint32_t FromBytes(unsigned char a, unsigned char b, unsigned char c, unsigned char d) {
    unsigned char bytes[4] = {a, b, c, d};
    uint32_t address;
    memcpy(&address, bytes, 4);
    return address;
}

TEST(FormatAddress, WritesTheBytesInMemoryOrder) {
    EXPECT_STREQ(FormatAddress(FromBytes(1, 2, 3, 4)), "1.2.3.4");
    EXPECT_STREQ(FormatAddress(FromBytes(255, 255, 255, 255)), "255.255.255.255");
    EXPECT_STREQ(FormatAddress(0), "0.0.0.0");
    EXPECT_STREQ(FormatAddress(FromBytes(198, 18, 0, 1)), "198.18.0.1");
}

TEST(FormatAddress, SharesOneBufferThatTheNextCallOverwrites) {
    const char* first = FormatAddress(FromBytes(10, 0, 0, 1));
    const char* second = FormatAddress(FromBytes(10, 0, 0, 2));
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "10.0.0.2");
}

} // namespace
