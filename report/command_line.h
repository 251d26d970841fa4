// The program's command line: a report run with its switches, a lone host to trace at start,
// or nothing (platform-free).
#pragma once
#include "save/save_name.h"

// What the command line asks for.
enum class LaunchMode {
    Window,   // no argument: the program as it always starts
    OpenHost, // a lone HOST: the window, with the trace of HOST already started
    Report,   // /report: a trace without a window, written as a report
    Usage,    // /?, -h or --help
    Error,    // a wrong command line; Error holds one line naming the switch or the value
};

enum {
    kCommandHostCapacity = 128,  // the host name box's limit, with the terminator
    kCommandPathCapacity = 1024, // a file name with its folder, as Save As takes it
    kCommandErrorCapacity = 256,
    kDefaultReportCount = 10,
};

// The parsed command line. A Setup switch not given is -1: the INI file's value stays in force.
struct CommandLine {
    LaunchMode Mode;
    char Host[kCommandHostCapacity];
    int Count;                      // echoes per hop, 1 ... 100000
    char Out[kCommandPathCapacity]; // "" when not given
    char Session[kCommandPathCapacity]; // /session's file, "" when not given
    bool FormatGiven;
    SaveFormat Format; // /format's, when given
    int Hops;          // MaxHops for this run, or -1
    int Timeout;       // PingTimeout for this run, or -1
    int Pause;         // PingDelay for this run, or -1
    char Error[kCommandErrorCapacity];
};

// Reads argv[1 .. argc) (argv[0] is the program). Switches start with '/' or '-', in any order
// and any letter case. Never fails: a wrong line comes back as LaunchMode::Error.
void ParseCommandLine(int argc, const char* const* argv, CommandLine& line);

// The format of the report: /out's extension, else /format, else the text report.
SaveFormat ReportFormatOf(const CommandLine& line);

// The usage text, lines ending in "\n".
extern const char kCommandLineUsage[];
