// Program entry: the command line picks the window (with a host to trace, or not) or a run
// without one.
#include "app/app.h"
#include "report/command_line.h"
#include "report/report_run.h"
#include <cstdlib>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    static CommandLine line;
    ParseCommandLine(__argc, __argv, line);
    if (line.Mode == LaunchMode::Window)
        return RunProgram(instance);
    if (line.Mode == LaunchMode::OpenHost)
        return RunProgram(instance, line.Host);
    return RunCommandLine(instance, line);
}
