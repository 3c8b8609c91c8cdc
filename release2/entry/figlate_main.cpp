// figlate's entry point: the shared program with the later release's forms installed
// before the application object starts. figmantle's entry is ui/app/winmain.cpp.
#include "release2/install.h"
#include "ui/app/main_app.h"

namespace {
CMainApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    InstallLaterRelease();
    return RunLibraryMain(instance, previous, commandLine, showCommand);
}
