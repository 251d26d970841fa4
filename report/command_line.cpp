// The command line's parser: one table row per switch, each with its value's kind and range
// (platform-free).
#include "report/command_line.h"
#include "common/bounded_text.h"
#include <cstring>
#include <strings.h>

const char kCommandLineUsage[] =
    "Usage: routelark.exe [HOST]\n"
    "       routelark.exe /report [/count N] [/out FILE] [/format text|csv|html|json]\n"
    "                     [/hops N] [/timeout MS] [/pause MS] [/session FILE] HOST\n"
    "\n"
    "HOST alone opens the window with the trace of HOST started. /report traces HOST without a\n"
    "window, pings every hop N times (/count, 10 unless given) and writes the report to FILE, to\n"
    "standard output, or else to a file of the suggested name. /hops, /timeout and /pause set\n"
    "Max hops, Ping timeout and Ping delay for this run only; /session also writes the session\n"
    "file, which File > Open shows with its graph.\n"
    "Exit status: 0 written, destination answered; 1 written, destination never answered;\n"
    "2 wrong command line; 3 host name not found; 4 file not written.\n";

// How a switch's value is read into the command line; false when the value is wrong, with the
// reason in line.Error.
struct SwitchRow;
typedef bool (*TakeValue)(const SwitchRow& row, const char* value, CommandLine& line);

struct SwitchRow {
    const char* name; // without its '/' or '-', lower case
    TakeValue take;   // nullptr: a switch without a value
    int CommandLine::*number;
    long long low, high; // the number's range
};

static bool TakeNumber(const SwitchRow& row, const char* value, CommandLine& line) {
    long long number = 0;
    bool digits = *value != '\0';
    for (const char* c = value; *c && digits; c++) {
        digits = *c >= '0' && *c <= '9';
        number = number * 10 + (*c - '0');
        if (number > row.high)
            break; // out of range already; no overflow of number
    }
    if (!digits || number < row.low || number > row.high) {
        FormatText(line.Error, sizeof line.Error, "/%s takes a number from %lld to %lld, not \"%s\"",
                   row.name, row.low, row.high, value);
        return false;
    }
    line.*row.number = static_cast<int>(number);
    return true;
}

// A file name of the switch, into target (a buffer of CommandLine's).
static bool TakeFileName(const char* name, const char* value, char* target, size_t size,
                         CommandLine& line) {
    if (!*value || strlen(value) >= size) {
        FormatText(line.Error, sizeof line.Error, "/%s takes a file name of 1 to %d characters",
                   name, static_cast<int>(size) - 1);
        return false;
    }
    CopyText(target, size, value);
    return true;
}

static bool TakeOut(const SwitchRow&, const char* value, CommandLine& line) {
    return TakeFileName("out", value, line.Out, sizeof line.Out, line);
}

// The session file that a help desk opens in the window: the run's table and its histories.
static bool TakeSession(const SwitchRow&, const char* value, CommandLine& line) {
    return TakeFileName("session", value, line.Session, sizeof line.Session, line);
}

static bool TakeFormat(const SwitchRow&, const char* value, CommandLine& line) {
    static const struct {
        const char* name;
        SaveFormat format;
    } kFormats[] = {{"text", SaveFormat::Text},
                    {"csv", SaveFormat::Csv},
                    {"html", SaveFormat::Html},
                    {"json", SaveFormat::Json}};
    for (const auto& f : kFormats)
        if (strcasecmp(value, f.name) == 0) {
            line.FormatGiven = true;
            line.Format = f.format;
            return true;
        }
    FormatText(line.Error, sizeof line.Error, "/format takes text, csv, html or json, not \"%s\"",
               value);
    return false;
}

// The number switches' ranges are Setup's: a value out of range is refused, never clamped.
static const SwitchRow kSwitches[] = {
    {"report", nullptr, nullptr, 0, 0},
    {"count", TakeNumber, &CommandLine::Count, 1, 100000},
    {"out", TakeOut, nullptr, 0, 0},
    {"session", TakeSession, nullptr, 0, 0},
    {"format", TakeFormat, nullptr, 0, 0},
    {"hops", TakeNumber, &CommandLine::Hops, 0, 40},
    {"timeout", TakeNumber, &CommandLine::Timeout, 0, 8000},
    {"pause", TakeNumber, &CommandLine::Pause, 0, 2147483647},
};

static bool IsSwitch(const char* argument) {
    return argument[0] == '/' || argument[0] == '-';
}

static bool IsUsageSwitch(const char* argument) {
    return strcmp(argument, "/?") == 0 || strcmp(argument, "-?") == 0 ||
           strcasecmp(argument, "-h") == 0 || strcasecmp(argument, "/h") == 0 ||
           strcasecmp(argument, "--help") == 0 || strcasecmp(argument, "/help") == 0;
}

static const SwitchRow* FindSwitch(const char* argument) {
    for (const SwitchRow& row : kSwitches)
        if (strcasecmp(argument + 1, row.name) == 0)
            return &row;
    return nullptr;
}

static void Fail(CommandLine& line, const char* format, const char* text) {
    line.Mode = LaunchMode::Error;
    FormatText(line.Error, sizeof line.Error, format, text);
}

// The switches and the host; false, with line.Error, at the first thing wrong.
static bool ReadArguments(int argc, const char* const* argv, CommandLine& line, bool* report,
                          const char** firstSwitch) {
    for (int i = 1; i < argc; i++) {
        const char* argument = argv[i];
        if (!IsSwitch(argument) || !argument[1]) {
            if (line.Host[0]) {
                Fail(line, "A second host name: \"%s\" (one HOST only)", argument);
                return false;
            }
            if (!argument[0] || strlen(argument) >= sizeof line.Host) {
                FormatText(line.Error, sizeof line.Error,
                           "The host name must have 1 to %d characters",
                           static_cast<int>(sizeof line.Host) - 1);
                line.Mode = LaunchMode::Error;
                return false;
            }
            CopyText(line.Host, sizeof line.Host, argument);
            continue;
        }
        const SwitchRow* row = FindSwitch(argument);
        if (!row) {
            Fail(line, "Unknown switch %s (/? shows the usage)", argument);
            return false;
        }
        if (row->take == nullptr) {
            *report = true;
            continue;
        }
        if (!*firstSwitch)
            *firstSwitch = row->name;
        if (i + 1 >= argc) {
            Fail(line, "/%s needs a value", row->name);
            return false;
        }
        if (!row->take(*row, argv[++i], line)) {
            line.Mode = LaunchMode::Error;
            return false;
        }
    }
    return true;
}

void ParseCommandLine(int argc, const char* const* argv, CommandLine& line) {
    line = CommandLine{};
    line.Count = kDefaultReportCount;
    line.Hops = line.Timeout = line.Pause = -1;
    line.Mode = LaunchMode::Window;
    for (int i = 1; i < argc; i++)
        if (IsUsageSwitch(argv[i])) {
            line.Mode = LaunchMode::Usage;
            return;
        }
    bool report = false;
    const char* firstSwitch = nullptr;
    if (!ReadArguments(argc, argv, line, &report, &firstSwitch))
        return;
    if (!report && firstSwitch) {
        Fail(line, "/%s is used only with /report", firstSwitch);
        return;
    }
    if (report && !line.Host[0]) {
        Fail(line, "%s", "/report needs a HOST to trace");
        return;
    }
    if (report)
        line.Mode = LaunchMode::Report;
    else if (line.Host[0])
        line.Mode = LaunchMode::OpenHost;
}

SaveFormat ReportFormatOf(const CommandLine& line) {
    SaveFormat format;
    if (line.Out[0] && SaveFormatOfName(line.Out, &format))
        return format;
    return line.FormatGiven ? line.Format : SaveFormat::Text;
}
