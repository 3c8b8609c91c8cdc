// The program's entry point and its one application object.
#include "ui/app/main_app.h"

namespace {
CMainApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    return RunLibraryMain(instance, previous, commandLine, showCommand);
}
