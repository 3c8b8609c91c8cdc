#include "classlib/msgmap.h"

#include "classlib/app.h"
#include "classlib/menu.h"
#include "classlib/thread_state.h"
#include "classlib/wnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

ThreadState* CurrentThreadState() {
    static thread_local ThreadState state;
    return &state;
}

const MsgMap* CCmdTarget::GetThisMessageMap() {
    static const MsgMapEntry entries[] = { { 0, 0, 0, 0, nullptr, nullptr } };
    static const MsgMap map = { nullptr, entries };
    return &map;
}

const MsgMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const MsgMapEntry* CCmdTarget::FindMessageEntry(UINT message) const {
    for (const MsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MsgMapEntry* e = map->entries; e->thunk; ++e) {
            if (e->registered ? (message >= 0xC000 && *e->registered == message)
                              : (e->message == message && e->message != WM_COMMAND &&
                                 e->message != WM_NOTIFY && e->message != ReflectedMessageBase + WM_COMMAND &&
                                 e->message != ReflectedMessageBase + WM_NOTIFY)) {
                return e;
            }
        }
        if (map->base == nullptr) break;
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT id, int code, void* extra, CommandHandlerInfo* handlerInfo) {
    UINT message = WM_COMMAND;
    int entryCode = code;
    if (code != ROUTE_UPDATE_UI && HIWORD(static_cast<UINT>(code)) == WM_NOTIFY) {
        message = WM_NOTIFY;
        entryCode = static_cast<short>(LOWORD(static_cast<UINT>(code)));
    }
    for (const MsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MsgMapEntry* e = map->entries; e->thunk; ++e) {
            if (e->registered || e->message != message || id < e->id || id > e->lastId) continue;
            bool codeMatches = message == WM_NOTIFY
                ? static_cast<short>(e->code) == static_cast<short>(entryCode)
                : e->code == entryCode;
            if (!codeMatches) continue;
            if (handlerInfo) {
                handlerInfo->pTarget = this;
                return true;
            }
            MsgCall call{ message, 0, 0, 0, id, code, extra };
            bool taken = e->thunk(this, call);
            if (code == ROUTE_UPDATE_UI && taken) {
                CCmdUI* ui = static_cast<CCmdUI*>(extra);
                if (ui->m_bContinueRouting) {
                    ui->m_bContinueRouting = false;
                    return false;
                }
            }
            return taken;
        }
        if (map->base == nullptr) break;
    }
    return false;
}

void CCmdUI::Enable(bool on) {
    if (m_pMenu) {
        if (!m_pSubMenu) {
            m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
        }
    } else if (m_pOther) {
        m_pOther->EnableWindow(on);
    }
    m_bEnableChanged = true;
}

void CCmdUI::SetCheck(int check) {
    if (m_pMenu) {
        if (!m_pSubMenu) m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther) {
        m_pOther->SendMessage(BM_SETCHECK, static_cast<WPARAM>(check));
    }
}

void CCmdUI::SetRadio(bool on) {
    if (m_pMenu) {
        if (!m_pSubMenu) {
            m_pMenu->CheckMenuRadioItem(m_nIndex, m_nIndex, on ? m_nIndex : m_nIndex + 1, MF_BYPOSITION);
            if (!on) m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | MF_UNCHECKED);
        }
    } else {
        SetCheck(on ? 1 : 0);
    }
}

void CCmdUI::SetText(const char* text) {
    if (m_pMenu) {
        if (m_pSubMenu) return;
        UINT state = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION);
        state &= ~(MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR | MF_POPUP);
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, text);
    } else if (m_pOther) {
        m_pOther->SetWindowText(text);
    }
}

bool CCmdUI::DoUpdate(CCmdTarget* target, bool disableIfNoHandler) {
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF) return true;
    m_bEnableChanged = false;
    bool handled = target->OnCmdMsg(m_nID, ROUTE_UPDATE_UI, this, nullptr);
    if (!handled && disableIfNoHandler && !m_bEnableChanged) {
        CommandHandlerInfo info{ nullptr };
        Enable(target->OnCmdMsg(m_nID, ROUTE_COMMAND, this, &info));
    }
    return handled;
}

void CCmdTarget::BeginWaitCursor() {
    if (CWinApp* app = CurrentApp()) app->DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor() {
    if (CWinApp* app = CurrentApp()) app->DoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor() {
    if (CWinApp* app = CurrentApp()) app->DoWaitCursor(0);
}
