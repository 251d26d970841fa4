// The Settings defaults and the clamp that replaces out-of-range values by fallbacks.
#include "settings/settings.h"
#include "harness/test_names.h"
#include <gtest/gtest.h>

namespace {

struct ClampCase {
    const char* what;
    int SettingsRecord::*field;
    int value;
    int expected;
};

class ClampSettingsTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ClampSettingsTest, ReplacesOnlyValuesOutsideTheRange) {
    const ClampCase& c = GetParam();
    Settings = kDefaultSettings;
    Settings.Retries = 1;
    Settings.*c.field = c.value;
    ClampSettings();
    EXPECT_EQ(Settings.*c.field, c.expected) << c.what;
}

const ClampCase kClampCases[] = {
    {"timeout above 8000 falls back", &SettingsRecord::PingTimeout, 9000, 1000},
    {"timeout 8000 is the upper bound", &SettingsRecord::PingTimeout, 8000, 8000},
    {"timeout 0 stands", &SettingsRecord::PingTimeout, 0, 0},
    {"negative timeout falls back", &SettingsRecord::PingTimeout, -1, 1000},
    {"negative trace delay becomes 0", &SettingsRecord::TraceDelay, -5, 0},
    {"large trace delay stands", &SettingsRecord::TraceDelay, 2147483647, 2147483647},
    {"negative ping delay becomes 0", &SettingsRecord::PingDelay, -2147483647 - 1, 0},
    {"trace TTL 128 stands", &SettingsRecord::TraceTTL, 128, 128},
    {"trace TTL 129 falls back", &SettingsRecord::TraceTTL, 129, 32},
    {"trace TTL 0 stands", &SettingsRecord::TraceTTL, 0, 0},
    {"max hops 41 falls back", &SettingsRecord::MaxHops, 41, 32},
    {"max hops 40 is the HopList capacity", &SettingsRecord::MaxHops, 40, 40},
    {"max hops 0 stands", &SettingsRecord::MaxHops, 0, 0},
    {"retries 11 falls back", &SettingsRecord::Retries, 11, 1},
    {"retries 0 falls back", &SettingsRecord::Retries, 0, 1},
    {"retries 10 stands", &SettingsRecord::Retries, 10, 10},
    {"flags are not touched by the clamp", &SettingsRecord::IgnoreFirst, 3, 3},
};

INSTANTIATE_TEST_SUITE_P(EdgeValues, ClampSettingsTest, ::testing::ValuesIn(kClampCases),
                         [](const auto& info) { return CaseName(info.param.what); });

TEST(SettingsDefaults, AfterTheClampReadAsWithoutAnIniFile) {
    Settings = kDefaultSettings;
    ClampSettings();
    EXPECT_EQ(Settings.PingTimeout, 1000);
    EXPECT_EQ(Settings.TraceDelay, 0);
    EXPECT_EQ(Settings.PingDelay, 0);
    EXPECT_EQ(Settings.TraceTTL, 32);
    EXPECT_EQ(Settings.MaxHops, 32);
    EXPECT_EQ(Settings.Retries, 1) << "the default 0 lies outside 1 ... 10";
    EXPECT_EQ(Settings.IgnoreFirst, 0);
    EXPECT_EQ(Settings.CopyHTML, 0);
}

} // namespace
