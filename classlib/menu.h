// CMenu: a menu handle, owned when the object made or loaded it.
#pragma once

#include "classlib/runtime_class.h"
#include "classlib/str.h"

class CMenu : public CObject {
    DECLARE_DYNCREATE(CMenu)
public:
    CMenu() = default;
    ~CMenu() override;
    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    static CMenu* FromHandle(HMENU h);
    bool Attach(HMENU h);
    HMENU Detach();
    bool m_bTemporary = false;

    bool CreateMenu() { return Attach(::CreateMenu()); }
    bool CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
    bool LoadMenu(UINT id);
    bool LoadMenu(const char* name);
    bool DestroyMenu();

    UINT GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }
    UINT GetMenuItemID(int pos) const { return ::GetMenuItemID(m_hMenu, pos); }
    UINT GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }
    int GetMenuString(UINT id, char* buffer, int size, UINT flags) const {
        return ::GetMenuStringA(m_hMenu, id, buffer, size, flags);
    }
    int GetMenuString(UINT id, CString& text, UINT flags) const;
    CMenu* GetSubMenu(int pos) const { return FromHandle(::GetSubMenu(m_hMenu, pos)); }
    bool AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr) {
        return ::AppendMenuA(m_hMenu, flags, id, text) != FALSE;
    }
    bool InsertMenu(UINT pos, UINT flags, UINT_PTR id = 0, const char* text = nullptr) {
        return ::InsertMenuA(m_hMenu, pos, flags, id, text) != FALSE;
    }
    bool ModifyMenu(UINT pos, UINT flags, UINT_PTR id = 0, const char* text = nullptr) {
        return ::ModifyMenuA(m_hMenu, pos, flags, id, text) != FALSE;
    }
    bool RemoveMenu(UINT pos, UINT flags) { return ::RemoveMenu(m_hMenu, pos, flags) != FALSE; }
    bool DeleteMenu(UINT pos, UINT flags) { return ::DeleteMenu(m_hMenu, pos, flags) != FALSE; }
    UINT EnableMenuItem(UINT id, UINT enable) { return static_cast<UINT>(::EnableMenuItem(m_hMenu, id, enable)); }
    UINT CheckMenuItem(UINT id, UINT check) { return ::CheckMenuItem(m_hMenu, id, check); }
    bool CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags) {
        return ::CheckMenuRadioItem(m_hMenu, first, last, item, flags) != FALSE;
    }
    bool TrackPopupMenu(UINT flags, int x, int y, CWnd* wnd, const RECT* r = nullptr);
};
