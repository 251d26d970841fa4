// Bounded formatting never writes past its buffer and always terminates.
#include "common/bounded_text.h"
#include <gtest/gtest.h>
#include <string>

TEST(BoundedText, FormatCutsAndTerminates) {
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    FormatText(buffer, sizeof buffer, "%s-%d", "abcdef", 42);
    EXPECT_STREQ(buffer, "abcdef-");
}

TEST(BoundedText, CopyCutsLongText) {
    char buffer[4];
    CopyText(buffer, sizeof buffer, "routelark");
    EXPECT_STREQ(buffer, "rou");
    CopyText(buffer, sizeof buffer, "");
    EXPECT_STREQ(buffer, "");
}
