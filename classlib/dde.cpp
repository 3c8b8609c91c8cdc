// Shell DDE on the main frame: the shell starts a conversation with the
// application and topic atoms and sends execute strings ("[open("...")]").
#include "classlib/app.h"
#include "classlib/frame.h"

namespace {
// Longest execute string taken; the rest of a longer one is ignored.
constexpr SIZE_T kMaxDdeCommand = 2048;
}  // namespace

LRESULT CFrameWnd::OnDDEInitiate(WPARAM wParam, LPARAM lParam) {
    CWinApp* app = CurrentApp();
    if (app && app->m_pMainWnd == this && app->m_atomApp && LOWORD(lParam) == app->m_atomApp &&
        HIWORD(lParam) == app->m_atomSystemTopic) {
        // The answer carries new references to the atoms; the client deletes them.
        char name[256];
        ATOM appAtom = 0, topicAtom = 0;
        if (::GlobalGetAtomNameA(app->m_atomApp, name, sizeof name)) appAtom = ::GlobalAddAtomA(name);
        if (::GlobalGetAtomNameA(app->m_atomSystemTopic, name, sizeof name)) topicAtom = ::GlobalAddAtomA(name);
        ::SendMessageA(reinterpret_cast<HWND>(wParam), WM_DDE_ACK, reinterpret_cast<WPARAM>(m_hWnd),
                       MAKELPARAM(appAtom, topicAtom));
    }
    return 0;
}

LRESULT CFrameWnd::OnDDEExecute(WPARAM wParam, LPARAM lParam) {
    UINT_PTR unused = 0, handle = 0;
    ::UnpackDDElParam(WM_DDE_EXECUTE, lParam, &unused, &handle);
    HGLOBAL data = reinterpret_cast<HGLOBAL>(handle);
    char command[kMaxDdeCommand + 1];
    command[0] = 0;
    if (data) {
        SIZE_T size = ::GlobalSize(data);
        if (const char* text = static_cast<const char*>(::GlobalLock(data))) {
            SIZE_T n = 0;
            while (n < size && n < kMaxDdeCommand && text[n]) {
                command[n] = text[n];
                ++n;
            }
            command[n] = 0;
            ::GlobalUnlock(data);
        }
    }
    // The acknowledgement goes first: opening may show message boxes.
    LPARAM ack = ::ReuseDDElParam(lParam, WM_DDE_EXECUTE, WM_DDE_ACK, 0x8000, handle);
    if (!::PostMessageA(reinterpret_cast<HWND>(wParam), WM_DDE_ACK, reinterpret_cast<WPARAM>(m_hWnd), ack)) {
        ::FreeDDElParam(WM_DDE_ACK, ack);
    }
    if (CWinApp* app = CurrentApp()) app->OnDDECommand(command);
    return 0;
}

LRESULT CFrameWnd::OnDDETerminate(WPARAM wParam, LPARAM) {
    ::PostMessageA(reinterpret_cast<HWND>(wParam), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    return 0;
}
