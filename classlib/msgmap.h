// Message maps and command targets.
//
// Every class that handles messages or commands declares a message map: a table of
// entries, each naming a message (or a command / notification with its identifier
// range) and a small thunk that unpacks the parameters and calls the handler.
// Lookup walks the map of the object's class, then the maps of its bases.
#pragma once

#include "classlib/command_ids.h"
#include "classlib/geometry.h"
#include "classlib/runtime_class.h"
#include "classlib/str.h"

// Codes of OnCmdMsg besides control notification codes.
#define ROUTE_COMMAND            0
#define ROUTE_UPDATE_UI          (-1)
// A WM_NOTIFY notification travels as OnCmdMsg code MAKELONG(code, WM_NOTIFY).
#define ROUTE_NOTIFY_CODE(code)  static_cast<int>(MAKELONG(static_cast<WORD>(code), WM_NOTIFY))

// One dispatched message, or one command on its way through the targets.
struct MsgCall {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    UINT id;       // commands: the identifier
    int code;      // commands: the notification code
    void* extra;   // commands: CCmdUI* or NMHDR*
};

// A thunk reports whether the handler took the message (always, except the
// _EX kinds whose handler answers that itself).
typedef bool (*MsgThunk)(CCmdTarget* target, MsgCall& call);

struct MsgMapEntry {
    UINT message;            // WM_COMMAND / WM_NOTIFY for commands and notifications
    int code;                // ROUTE_COMMAND, ROUTE_UPDATE_UI or a notification code
    UINT id;                 // first identifier of the range
    UINT lastId;             // last identifier of the range
    const UINT* registered;  // a registered message: where its number is kept
    MsgThunk thunk;
};

struct MsgMap {
    const MsgMap* (*base)();
    const MsgMapEntry* entries;
};

// What a WM_NOTIFY notification carries on its way through the command targets.
struct NotifyParams {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// What a handler search found, when asked only to look (OnCmdMsg with handler info).
struct CommandHandlerInfo {
    CCmdTarget* pTarget;
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;

    // Looks for a handler of command id with code in this object's map and calls
    // it; with handlerInfo it only reports the target that would take it.
    // Derived classes extend this to route to further targets.
    virtual bool OnCmdMsg(UINT id, int code, void* extra, CommandHandlerInfo* handlerInfo);

    // Finds the entry of a plain (or registered) window message.
    const MsgMapEntry* FindMessageEntry(UINT message) const;

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

protected:
    static const MsgMap* GetThisMessageMap();
    virtual const MsgMap* GetMessageMap() const;
};

// The state of one menu item or bar button during an update pass.
class CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    virtual void Enable(bool on = true);
    virtual void SetCheck(int check = 1);   // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(bool on = true);
    virtual void SetText(const char* text);
    void ContinueRouting() { m_bContinueRouting = true; }

    // Asks target for the state of m_nID; with disableIfNoHandler an item that no
    // target handles (and no update handler enabled) is disabled.
    bool DoUpdate(CCmdTarget* target, bool disableIfNoHandler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    UINT m_nIndexMax = 0;
    CMenu* m_pMenu = nullptr;
    CMenu* m_pSubMenu = nullptr;
    CWnd* m_pOther = nullptr;       // a bar or control instead of a menu
    bool m_bEnableChanged = false;
    bool m_bContinueRouting = false;
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const MsgMap* GetThisMessageMap(); \
    const MsgMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const MsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const MsgMap* theClass::GetThisMessageMap() { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        static const MsgMapEntry entries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, nullptr, nullptr } }; \
        static const MsgMap map = { &TheBaseClass::GetThisMessageMap, entries }; \
        return &map; \
    }

#define MAP_TARGET static_cast<ThisClass*>(t)
#define MAP_THUNK(body) [](CCmdTarget* t, MsgCall& c) -> bool { (void)t; (void)c; body; return true; }

// Commands, command ranges and command-UI.
#define ON_COMMAND(nID, fn) \
    { WM_COMMAND, ROUTE_COMMAND, (nID), (nID), nullptr, MAP_THUNK(MAP_TARGET->fn()) },
#define ON_COMMAND_EX(nID, fn) \
    { WM_COMMAND, ROUTE_COMMAND, (nID), (nID), nullptr, \
      [](CCmdTarget* t, MsgCall& c) -> bool { return MAP_TARGET->fn(c.id); } },
#define ON_COMMAND_EX_RANGE(nID, nIDLast, fn) \
    { WM_COMMAND, ROUTE_COMMAND, (nID), (nIDLast), nullptr, \
      [](CCmdTarget* t, MsgCall& c) -> bool { return MAP_TARGET->fn(c.id); } },
#define ON_COMMAND_RANGE(nID, nIDLast, fn) \
    { WM_COMMAND, ROUTE_COMMAND, (nID), (nIDLast), nullptr, MAP_THUNK(MAP_TARGET->fn(c.id)) },
#define ON_UPDATE_COMMAND_UI(nID, fn) \
    { WM_COMMAND, ROUTE_UPDATE_UI, (nID), (nID), nullptr, \
      MAP_THUNK(MAP_TARGET->fn(static_cast<CCmdUI*>(c.extra))) },
#define ON_UPDATE_COMMAND_UI_RANGE(nID, nIDLast, fn) \
    { WM_COMMAND, ROUTE_UPDATE_UI, (nID), (nIDLast), nullptr, \
      MAP_THUNK(MAP_TARGET->fn(static_cast<CCmdUI*>(c.extra))) },
// Control notifications that come as WM_COMMAND: void fn().
#define ON_CONTROL(code, nID, fn) \
    { WM_COMMAND, static_cast<int>(code), (nID), (nID), nullptr, MAP_THUNK(MAP_TARGET->fn()) },
#define ON_CONTROL_RANGE(code, nID, nIDLast, fn) \
    { WM_COMMAND, static_cast<int>(code), (nID), (nIDLast), nullptr, MAP_THUNK(MAP_TARGET->fn(c.id)) },
#define ON_BN_CLICKED(nID, fn) ON_CONTROL(BN_CLICKED, nID, fn)
#define ON_EN_CHANGE(nID, fn) ON_CONTROL(EN_CHANGE, nID, fn)
#define ON_CBN_SELCHANGE(nID, fn) ON_CONTROL(CBN_SELCHANGE, nID, fn)
#define ON_LBN_SELCHANGE(nID, fn) ON_CONTROL(LBN_SELCHANGE, nID, fn)
// WM_NOTIFY notifications: void fn(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, nID, fn) \
    { WM_NOTIFY, static_cast<int>(code), (nID), (nID), nullptr, \
      MAP_THUNK(auto* n = static_cast<NotifyParams*>(c.extra); MAP_TARGET->fn(n->pNMHDR, n->pResult)) },
#define ON_NOTIFY_RANGE(code, nID, nIDLast, fn) \
    { WM_NOTIFY, static_cast<int>(code), (nID), (nIDLast), nullptr, \
      MAP_THUNK(auto* n = static_cast<NotifyParams*>(c.extra); MAP_TARGET->fn(c.id, n->pNMHDR, n->pResult)) },
#define ON_NOTIFY_EX(code, nID, fn) \
    { WM_NOTIFY, static_cast<int>(code), (nID), (nID), nullptr, \
      [](CCmdTarget* t, MsgCall& c) -> bool { auto* n = static_cast<NotifyParams*>(c.extra); return MAP_TARGET->fn(c.id, n->pNMHDR, n->pResult); } },
#define ON_NOTIFY_EX_RANGE(code, nID, nIDLast, fn) \
    { WM_NOTIFY, static_cast<int>(code), (nID), (nIDLast), nullptr, \
      [](CCmdTarget* t, MsgCall& c) -> bool { auto* n = static_cast<NotifyParams*>(c.extra); return MAP_TARGET->fn(c.id, n->pNMHDR, n->pResult); } },

// Notifications reflected back to the control that sent them.
#define ON_CONTROL_REFLECT(code, fn) \
    { ReflectedMessageBase + WM_COMMAND, static_cast<int>(code), 0, 0, nullptr, MAP_THUNK(MAP_TARGET->fn()) },
#define ON_CONTROL_REFLECT_EX(code, fn) \
    { ReflectedMessageBase + WM_COMMAND, static_cast<int>(code), 0, 0, nullptr, \
      [](CCmdTarget* t, MsgCall&) -> bool { return MAP_TARGET->fn(); } },
#define ON_NOTIFY_REFLECT(code, fn) \
    { ReflectedMessageBase + WM_NOTIFY, static_cast<int>(code), 0, 0, nullptr, \
      MAP_THUNK(MAP_TARGET->fn(reinterpret_cast<NMHDR*>(c.lParam), &c.result)) },
#define ON_NOTIFY_REFLECT_EX(code, fn) \
    { ReflectedMessageBase + WM_NOTIFY, static_cast<int>(code), 0, 0, nullptr, \
      [](CCmdTarget* t, MsgCall& c) -> bool { return MAP_TARGET->fn(reinterpret_cast<NMHDR*>(c.lParam), &c.result); } },
#define ON_WM_DRAWITEM_REFLECT() \
    { ReflectedMessageBase + WM_DRAWITEM, 0, 0, 0, nullptr, \
      MAP_THUNK(MAP_TARGET->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam)); c.result = TRUE) },
#define ON_WM_MEASUREITEM_REFLECT() \
    { ReflectedMessageBase + WM_MEASUREITEM, 0, 0, 0, nullptr, \
      MAP_THUNK(MAP_TARGET->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(c.lParam)); c.result = TRUE) },

// Any message with raw parameters: LRESULT fn(WPARAM, LPARAM).
#define ON_MESSAGE(msg, fn) \
    { (msg), 0, 0, 0, nullptr, MAP_THUNK(c.result = MAP_TARGET->fn(c.wParam, c.lParam)) },
#define ON_REGISTERED_MESSAGE(var, fn) \
    { 0xC000, 0, 0, 0, &(var), MAP_THUNK(c.result = MAP_TARGET->fn(c.wParam, c.lParam)) },
