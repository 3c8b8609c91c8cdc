#include "classlib/app.h"

int RunLibraryMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    CWinApp* app = CurrentApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    app->m_hPrevInstance = previous;
    app->m_lpCmdLine = commandLine;
    app->m_nCmdShow = showCommand;
    if (!app->InitApplication()) return -1;
    if (!app->InitInstance()) {
        if (CWnd* main = app->m_pMainWnd) {
            if (main->m_hWnd) main->DestroyWindow();
        }
        return app->ExitInstance();
    }
    return app->Run();
}
