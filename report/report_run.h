// The command line's runs without a window: the usage, a wrong line, and the report run.
#pragma once
#include "report/command_line.h"
#include <windows.h>

// The exit statuses of a report run.
enum ReportStatus {
    kReportComplete = 0,       // written, and the destination answered
    kReportIncomplete = 1,     // written, but the destination never answered
    kReportBadCommandLine = 2, // an unknown switch, a missing or second HOST, a wrong value
    kReportHostUnknown = 3,    // the host name could not be resolved
    kReportNotWritten = 4,     // the file (or standard output) could not be written
};

// Runs what line asks for when it is no window's (Report, Usage, Error) and returns the exit
// status. A report run reads the INI file's Setup values but writes nothing to it.
int RunCommandLine(HINSTANCE instance, const CommandLine& line);
