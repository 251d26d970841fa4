// The command line: what each form starts, and every wrong line refused with its own words.
#include "report/command_line.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

CommandLine Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "routelark.exe");
    CommandLine line;
    ParseCommandLine(static_cast<int>(arguments.size()), arguments.data(), line);
    return line;
}

TEST(CommandLine, NoArgumentALoneHostAndUsage) {
    EXPECT_EQ(Parse({}).Mode, LaunchMode::Window);
    CommandLine open = Parse({"http://dest.routelark.test/page"});
    EXPECT_EQ(open.Mode, LaunchMode::OpenHost);
    EXPECT_STREQ(open.Host, "http://dest.routelark.test/page"); // stripped where the box's is
    for (const char* help : {"/?", "-h", "--help", "/HELP"})
        EXPECT_EQ(Parse({"/report", help, "/nonsense"}).Mode, LaunchMode::Usage) << help;
}

TEST(CommandLine, ReportTakesSwitchesInAnyOrderAndCase) {
    CommandLine line = Parse({"-COUNT", "3", "dest.routelark.test", "/Report", "/out",
                              "C:\\x y\\r.JSON", "/hops", "0", "/timeout", "8000", "-pause",
                              "2147483647", "/format", "CSV"});
    EXPECT_EQ(line.Mode, LaunchMode::Report) << line.Error;
    EXPECT_STREQ(line.Host, "dest.routelark.test");
    EXPECT_EQ(line.Count, 3);
    EXPECT_EQ(line.Hops, 0);
    EXPECT_EQ(line.Timeout, 8000);
    EXPECT_EQ(line.Pause, 2147483647);
    EXPECT_EQ(ReportFormatOf(line), SaveFormat::Json); // the extension wins over /format
    CommandLine plain = Parse({"/report", "198.18.7.1"});
    EXPECT_EQ(plain.Count, kDefaultReportCount);
    EXPECT_EQ(plain.Hops, -1); // Setup's value stays
    EXPECT_EQ(plain.Timeout, -1);
    EXPECT_EQ(plain.Pause, -1);
    EXPECT_EQ(ReportFormatOf(plain), SaveFormat::Text);
    EXPECT_EQ(ReportFormatOf(Parse({"/report", "h", "/format", "html", "/out", "r.dat"})),
              SaveFormat::Html);
}

TEST(CommandLine, WrongLinesAreRefusedNamingTheSwitchOrValue) {
    const std::string longHost(128, 'a'), longPath(1024, 'p');
    const struct {
        std::vector<const char*> arguments;
        const char* error;
    } cases[] = {
        // A switch nobody knows, and a switch with nothing after the slash.
        {{"/report", "/cuont", "5", "h"}, "Unknown switch /cuont (/? shows the usage)"},
        {{"/report", "--report", "h"}, "Unknown switch --report (/? shows the usage)"},
        // The host: missing, a second one, too long for the host name box.
        {{"/report"}, "/report needs a HOST to trace"},
        {{"/report", "/count", "5"}, "/report needs a HOST to trace"},
        {{"/report", "a", "b"}, "A second host name: \"b\" (one HOST only)"},
        {{"a", "b"}, "A second host name: \"b\" (one HOST only)"},
        {{"/report", longHost.c_str()}, "The host name must have 1 to 127 characters"},
        {{"/report", ""}, "The host name must have 1 to 127 characters"},
        // Values missing, not numbers, out of range: never clamped.
        {{"/report", "h", "/count"}, "/count needs a value"},
        {{"/report", "/count", "ten", "h"}, "/count takes a number from 1 to 100000, not \"ten\""},
        {{"/report", "/count", "0", "h"}, "/count takes a number from 1 to 100000, not \"0\""},
        {{"/report", "/count", "100001", "h"},
         "/count takes a number from 1 to 100000, not \"100001\""},
        {{"/report", "/count", "-5", "h"}, "/count takes a number from 1 to 100000, not \"-5\""},
        {{"/report", "/count", "99999999999999999999", "h"},
         "/count takes a number from 1 to 100000, not \"99999999999999999999\""},
        {{"/report", "/count", "", "h"}, "/count takes a number from 1 to 100000, not \"\""},
        {{"/report", "/hops", "41", "h"}, "/hops takes a number from 0 to 40, not \"41\""},
        {{"/report", "/timeout", "8001", "h"},
         "/timeout takes a number from 0 to 8000, not \"8001\""},
        {{"/report", "/pause", "2147483648", "h"},
         "/pause takes a number from 0 to 2147483647, not \"2147483648\""},
        {{"/report", "/pause", "1.5", "h"}, "/pause takes a number from 0 to 2147483647, not \"1.5\""},
        {{"/report", "/format", "xml", "h"}, "/format takes text, csv, html or json, not \"xml\""},
        {{"/report", "/out", "", "h"}, "/out takes a file name of 1 to 1023 characters"},
        {{"/report", "/session", "", "h"}, "/session takes a file name of 1 to 1023 characters"},
        {{"/report", "/out", longPath.c_str(), "h"},
         "/out takes a file name of 1 to 1023 characters"},
        // Report switches without /report.
        {{"/count", "5", "h"}, "/count is used only with /report"},
    };
    for (const auto& c : cases) {
        CommandLine line = Parse(c.arguments);
        EXPECT_EQ(line.Mode, LaunchMode::Error) << c.error;
        EXPECT_STREQ(line.Error, c.error);
    }
}

} // namespace
