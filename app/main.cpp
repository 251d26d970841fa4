// Program entry: the command line picks the window (with a host to trace, a session to open, or
// neither) or a run without one.
#include "app/app.h"
#include "report/command_line.h"
#include "report/report_run.h"
#include "session/session.h"
#include <cstdlib>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // A session file alone, as Explorer's "Open with" passes it, opens in the window.
    char session[1024];
    if (LoneSessionFile(commandLine, session, sizeof session))
        return RunProgram(instance, nullptr, session);
    static CommandLine line;
    ParseCommandLine(__argc, __argv, line);
    if (line.Mode == LaunchMode::Window)
        return RunProgram(instance);
    if (line.Mode == LaunchMode::OpenHost)
        return RunProgram(instance, line.Host);
    return RunCommandLine(instance, line);
}
