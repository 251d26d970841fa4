// Program entry: the command line is read for a lone session file; the show state is not used.
#include "app/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return RunProgram(instance, commandLine);
}
