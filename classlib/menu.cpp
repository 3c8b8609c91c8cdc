#include "classlib/menu.h"

#include "classlib/handle_maps.h"
#include "classlib/wnd.h"

namespace {
thread_local TempHandleMap<CMenu, HMENU> tempMenus;
}  // namespace

void FreeTemporaryMenus() {
    tempMenus.Clear([](CMenu* m) { m->m_hMenu = nullptr; });
}

IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::~CMenu() {
    if (!m_bTemporary) DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU h) {
    if (!h) return nullptr;
    return tempMenus.Get(h, [h] {
        CMenu* m = new (std::nothrow) CMenu;
        if (m) m->m_hMenu = h;
        return m;
    });
}

bool CMenu::Attach(HMENU h) {
    if (!h) return false;
    m_hMenu = h;
    return true;
}

HMENU CMenu::Detach() {
    HMENU h = m_hMenu;
    m_hMenu = nullptr;
    return h;
}

bool CMenu::LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEA(id)); }

bool CMenu::LoadMenu(const char* name) {
    return Attach(::LoadMenuA(ResourceModule(), name));
}

bool CMenu::DestroyMenu() {
    if (!m_hMenu) return false;
    return ::DestroyMenu(Detach()) != FALSE;
}

int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const {
    char buffer[512];
    int n = ::GetMenuStringA(m_hMenu, id, buffer, sizeof buffer, flags);
    text = CString(buffer, n > 0 ? n : 0);
    return n;
}

bool CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* wnd, const RECT* r) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, wnd->GetSafeHwnd(), r) != FALSE;
}
