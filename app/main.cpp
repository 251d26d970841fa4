// Program entry: the command line and show state are not used.
#include "app/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return RunProgram(instance);
}
