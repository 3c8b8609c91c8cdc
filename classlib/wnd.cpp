#include "classlib/wnd.h"

#include "classlib/dialog_controls.h"

#include "classlib/app.h"
#include "classlib/controls.h"
#include "classlib/frame.h"
#include "classlib/gdi.h"
#include "classlib/handle_maps.h"
#include "classlib/menu.h"
#include "classlib/thread_state.h"

#include <cstdio>
#include <set>
#include <string>
#include <unordered_map>

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);

namespace {

thread_local std::unordered_map<HWND, CWnd*> permanentWnds;
thread_local TempHandleMap<CWnd, HWND> tempWnds;

}  // namespace

void HookWindowCreation(CWnd* wnd) {
    ThreadState* state = CurrentThreadState();
    state->wndInit = wnd;
    if (!state->createHook) {
        state->createHook = ::SetWindowsHookExA(WH_CBT, CreationHook, nullptr, ::GetCurrentThreadId());
    }
}

void UnhookWindowCreation() {
    ThreadState* state = CurrentThreadState();
    if (state->createHook) {
        ::UnhookWindowsHookEx(state->createHook);
        state->createHook = nullptr;
    }
    state->wndInit = nullptr;
}

namespace {

// Answers the enabled state of a command without changing any menu item.
class TestCmdUI : public CCmdUI {
public:
    void Enable(bool on) override { enabled = on; m_bEnableChanged = true; }
    void SetCheck(int) override {}
    void SetRadio(bool) override {}
    void SetText(const char*) override {}
    bool enabled = true;
};

}  // namespace

// Attaches the object waiting for creation to the first window the thread creates,
// before that window gets any message.
LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    ThreadState* state = CurrentThreadState();
    if (code == HCBT_CREATEWND && state->wndInit) {
        CWnd* wnd = state->wndInit;
        state->wndInit = nullptr;
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        wnd->Attach(hwnd);
        auto old = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LibraryWindowProc)));
        if (old != LibraryWindowProc) wnd->m_pfnSuper = old;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK LibraryWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return CallWindowHandler(wnd, hwnd, message, wParam, lParam);
}

LRESULT CallWindowHandler(CWnd* wnd, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ThreadState* state = CurrentThreadState();
    MSG saved = state->lastSentMsg;
    state->lastSentMsg.hwnd = hwnd;
    state->lastSentMsg.message = message;
    state->lastSentMsg.wParam = wParam;
    state->lastSentMsg.lParam = lParam;
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // A handler that did not pass the message on to CWnd still loses the window.
        auto found = permanentWnds.find(hwnd);
        if (found != permanentWnds.end()) found->second->Detach();
    }
    state->lastSentMsg = saved;
    return result;
}

void FreeTemporaryObjects() {
    tempWnds.Clear([](CWnd* w) { w->m_hWnd = nullptr; });
    FreeTemporaryGdiObjects();
    FreeTemporaryMenus();
}

bool RegisterClassOnce(WNDCLASSA* wc) {
    WNDCLASSA existing;
    if (::GetClassInfoA(wc->hInstance, wc->lpszClassName, &existing)) return true;
    return ::RegisterClassA(wc) != 0;
}

const char* RegisterClassFor(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::set<std::string> names;
    char name[96];
    std::snprintf(name, sizeof name, "ClassLib:%p:%x:%p:%p:%p",
                  static_cast<void*>(ModuleInstance()), style, static_cast<void*>(cursor),
                  static_cast<void*>(background), static_cast<void*>(icon));
    const std::string& stored = *names.insert(name).first;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ModuleInstance();
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = stored.c_str();
    return RegisterClassOnce(&wc) ? stored.c_str() : nullptr;
}

namespace {
const char* RegisterLibraryClass(const char* name, UINT style, HBRUSH background, bool icon) {
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ModuleInstance();
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // the arrow
    wc.hbrBackground = background;
    wc.hIcon = icon ? ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512)) : nullptr;
    wc.lpszClassName = name;
    return RegisterClassOnce(&wc) ? name : nullptr;
}
}  // namespace

const char* ChildWindowClass() { return RegisterLibraryClass("ClassLibWnd", CS_DBLCLKS, nullptr, false); }

const char* FrameWindowClass() {
    return RegisterLibraryClass("ClassLibFrame", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), true);
}

const char* ViewWindowClass() {
    return RegisterLibraryClass("ClassLibView", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), false);
}

bool CountsAsIdleMessage(const MSG* msg) {
    ThreadState* state = CurrentThreadState();
    if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) {
        // Windows repeats mouse moves without a move (after every paint, for example).
        if (state->lastMouseMsg == msg->message && state->lastCursorPos.x == msg->pt.x &&
            state->lastCursorPos.y == msg->pt.y) {
            return false;
        }
        state->lastCursorPos = msg->pt;
        state->lastMouseMsg = msg->message;
        return true;
    }
    return msg->message != WM_PAINT && msg->message != 0x0118;  // 0x0118: the caret's system timer
}

bool PumpOneMessage() {
    if (CWinThread* thread = CurrentUiThread()) return thread->PumpMessage();
    MSG msg;
    if (!::GetMessageA(&msg, nullptr, 0, 0)) return false;
    // Without a thread object the windows still pre-translate their messages (a
    // dialog's keys need it), from the target window up through its parents.
    for (HWND hwnd = msg.hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(&msg)) return true;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    return true;
}

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::CWnd(HWND hwnd) : m_hWnd(hwnd) {}

CWnd::~CWnd() {
    if (m_hWnd && !m_bTemporary && FromHandlePermanent(m_hWnd) == this) {
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto found = permanentWnds.find(hwnd);
    return found == permanentWnds.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hwnd)) return wnd;
    return tempWnds.Get(hwnd, [hwnd] { return new (std::nothrow) CWnd(hwnd); });
}

bool CWnd::Attach(HWND hwnd) {
    if (!hwnd) return false;
    m_hWnd = hwnd;
    permanentWnds[hwnd] = this;
    return true;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd) {
        auto found = permanentWnds.find(hwnd);
        if (found != permanentWnds.end() && found->second == this) permanentWnds.erase(found);
    }
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
    return hwnd;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!Attach(hwnd)) return false;
    auto old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LibraryWindowProc)));
    if (old != LibraryWindowProc) m_pfnSuper = old;
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    HWND item = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return item && SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    return Detach();
}

bool CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (!cs.lpszClass) cs.lpszClass = ChildWindowClass();
    return true;
}

bool CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, CCreateContext* context) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, context);
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, LPVOID param) {
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU idOrMenu, LPVOID param) {
    CREATESTRUCTA cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = idOrMenu;
    cs.hInstance = ModuleInstance();
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return false;
    }
    HookWindowCreation(this);
    HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style),
                                  cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                  cs.lpCreateParams);
    UnhookWindowCreation();
    // A window refused in WM_CREATE is destroyed again; its object may be gone with
    // it (frames and views delete themselves), so only the handle is looked at.
    return hwnd != nullptr;
}

bool CWnd::DestroyWindow() {
    if (!m_hWnd) return false;
    return ::DestroyWindow(m_hWnd) != FALSE;
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& last = CurrentThreadState()->lastSentMsg;
    return DefWindowProc(last.message, last.wParam, last.lParam);
}

const MSG* CWnd::GetCurrentMessage() { return &CurrentThreadState()->lastSentMsg; }

const MSG* CWnd::GetLastMsg() { return GetCurrentMessage(); }

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    LRESULT r = 0;
    bool taken = false;
    if (message == WM_COMMAND) {
        taken = OnCommand(wParam, lParam);
        r = 1;
    } else if (message == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(lParam);
        taken = nm && OnNotify(wParam, lParam, &r);
    } else if (const MsgMapEntry* entry = FindMessageEntry(message)) {
        MsgCall call{ message, wParam, lParam, 0, 0, 0, nullptr };
        taken = entry->thunk(this, call);
        r = call.result;
    }
    if (!taken && (message == WM_DRAWITEM || message == WM_MEASUREITEM)) {
        // Owner-drawn controls draw and measure themselves.
        HWND child = nullptr;
        if (message == WM_DRAWITEM) {
            auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
            if (dis->CtlType != ODT_MENU) child = dis->hwndItem;
        } else {
            auto* mis = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
            if (mis->CtlType != ODT_MENU) child = ::GetDlgItem(m_hWnd, static_cast<int>(mis->CtlID));
        }
        taken = child && ReflectLastMsg(child, &r);
        if (taken) r = TRUE;
    }
    if (!taken && message >= 0xC000 && message == DragListMessage() && lParam) {
        // A drag list tells its parent about the drag; the list's own object acts on it.
        taken = ReflectLastMsg(reinterpret_cast<DRAGLISTINFO*>(lParam)->hWnd, &r);
    }
    if (taken && result) *result = r;
    return taken;
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    auto control = reinterpret_cast<HWND>(lParam);
    int code = HIWORD(wParam);
    if (!control) {
        // An accelerator of a command that is disabled does nothing.
        if (code == 1) {
            TestCmdUI state;
            state.m_nID = id;
            OnCmdMsg(id, ROUTE_UPDATE_UI, &state, nullptr);
            if (!state.enabled) return true;
        }
        code = ROUTE_COMMAND;
    } else {
        if (ReflectLastMsg(control)) return true;
    }
    return OnCmdMsg(id, code, nullptr, nullptr);
}

bool CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    auto* nm = reinterpret_cast<NMHDR*>(lParam);
    if (nm->hwndFrom && ReflectLastMsg(nm->hwndFrom, result)) return true;
    NotifyParams notify{ result, nm };
    return OnCmdMsg(static_cast<UINT>(nm->idFrom), ROUTE_NOTIFY_CODE(nm->code), &notify, nullptr);
}

bool CWnd::ReflectLastMsg(HWND child, LRESULT* result) {
    CWnd* wnd = FromHandlePermanent(child);
    return wnd && wnd->SendChildNotifyLastMsg(result);
}

bool CWnd::SendChildNotifyLastMsg(LRESULT* result) {
    const MSG& last = CurrentThreadState()->lastSentMsg;
    LRESULT r = 0;
    bool taken = OnChildNotify(last.message, last.wParam, last.lParam, &r);
    if (taken && result) *result = r;
    return taken;
}

bool CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    UINT reflected = ReflectedMessageBase + message;
    int code = 0;
    if (message == WM_COMMAND) code = HIWORD(wParam);
    if (message == WM_NOTIFY) code = static_cast<short>(reinterpret_cast<NMHDR*>(lParam)->code);
    for (const MsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MsgMapEntry* e = map->entries; e->thunk; ++e) {
            if (e->registered || e->message != reflected) continue;
            if (message == WM_NOTIFY ? static_cast<short>(e->code) != code : e->code != code) continue;
            MsgCall call{ reflected, wParam, lParam, 0, static_cast<UINT>(GetDlgCtrlID()), code, nullptr };
            bool taken = e->thunk(this, call);
            if (taken && result) *result = call.result;
            return taken;
        }
        if (!map->base) break;
    }
    return false;
}

bool CWnd::PreTranslateMessage(MSG*) { return false; }

void CWnd::CalcWindowRect(RECT* clientRect, UINT) {
    ::AdjustWindowRectEx(clientRect, GetStyle(), FALSE, GetExStyle());
}

CScrollBar* CWnd::GetScrollBarCtrl(int) const { return nullptr; }

int CWnd::OnToolHitTest(CPoint, TOOLINFO*) const { return -1; }

int CWnd::RunModalLoop(DWORD flags) {
    bool idle = true;
    LONG idleCount = 0;
    bool showIdle = (flags & MODAL_SHOW_WHEN_IDLE) && !(GetStyle() & WS_VISIBLE);
    HWND parent = ::GetParent(m_hWnd);
    m_nFlags |= WINDOW_IN_MODAL_LOOP | WINDOW_MODAL_GOES_ON;
    MSG msg;
    for (;;) {
        while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (showIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                showIdle = false;
            }
            if (!(flags & MODAL_NO_ENTER_IDLE) && parent && idleCount == 0) {
                ::SendMessageA(parent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
            }
            if ((flags & MODAL_NO_KICK_IDLE) || !SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++)) {
                idle = false;
            }
            if (!ContinueModal()) goto done;
        }
        do {
            if (!PumpOneMessage()) {
                // The quit goes on to the outer loop.
                ::PostQuitMessage(0);
                m_nFlags &= ~(WINDOW_IN_MODAL_LOOP | WINDOW_MODAL_GOES_ON);
                return -1;
            }
            if (!ContinueModal()) goto done;
            const MSG* current = CurrentUiThread() ? &CurrentUiThread()->m_msgCur : &msg;
            if (CountsAsIdleMessage(current)) {
                idle = true;
                idleCount = 0;
            }
        } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
done:
    m_nFlags &= ~(WINDOW_IN_MODAL_LOOP | WINDOW_MODAL_GOES_ON);
    return m_nModalResult;
}

bool CWnd::ContinueModal() { return (m_nFlags & WINDOW_MODAL_GOES_ON) != 0; }

void CWnd::EndModalLoop(int result) {
    m_nModalResult = result;
    if (m_nFlags & WINDOW_MODAL_GOES_ON) {
        m_nFlags &= ~WINDOW_MODAL_GOES_ON;
        PostMessage(WM_NULL);   // wakes the loop up
    }
}

HWND CWnd::GetSafeOwner_(HWND parent, HWND* topLevel) {
    HWND owner = parent;
    if (!owner) {
        CFrameWnd* frame = CurrentThreadState()->routingFrame;
        if (frame) {
            owner = frame->m_hWnd;
        } else if (CWnd* main = CurrentMainWindow()) {
            owner = main->m_hWnd;
        }
    }
    // Pop-up windows cannot be owned by child windows.
    while (owner && (::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
    HWND top = owner;
    for (HWND up = owner; up; up = ::GetParent(up)) top = up;
    if (!parent && owner) owner = ::GetLastActivePopup(owner);
    if (topLevel) *topLevel = (top && top != owner && ::IsWindowEnabled(top)) ? top : nullptr;
    return owner;
}

CWnd* CWnd::GetSafeOwner(CWnd* parent, HWND* topLevel) {
    return FromHandle(GetSafeOwner_(parent ? parent->m_hWnd : nullptr, topLevel));
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

CWnd* CWnd::GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }

void CWnd::SetOwner(CWnd* owner) {
    ::SetWindowLongPtrA(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner ? owner->m_hWnd : nullptr));
}

CFrameWnd* CWnd::GetParentFrame() const {
    for (HWND up = ::GetParent(m_hWnd); up; up = ::GetParent(up)) {
        CWnd* wnd = FromHandlePermanent(up);
        if (wnd && wnd->IsFrameWnd()) return static_cast<CFrameWnd*>(wnd);
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
    CFrameWnd* frame = IsFrameWnd() ? static_cast<CFrameWnd*>(const_cast<CWnd*>(this)) : GetParentFrame();
    while (frame) {
        CFrameWnd* up = frame->GetParentFrame();
        if (!up) break;
        frame = up;
    }
    return frame;
}

CWnd* CWnd::GetTopLevelParent() const {
    HWND top = m_hWnd;
    for (HWND up = ::GetParent(top); up; up = ::GetParent(up)) top = up;
    return FromHandle(top);
}

CWnd* CWnd::GetTopLevelOwner() const {
    HWND top = m_hWnd;
    for (HWND up = ::GetWindow(top, GW_OWNER); up; up = ::GetWindow(up, GW_OWNER)) top = up;
    return FromHandle(top);
}

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }

CWnd* CWnd::GetDescendantWindow(int id, bool onlyPermanent) const {
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(child) == id) {
            CWnd* wnd = onlyPermanent ? FromHandlePermanent(child) : FromHandle(child);
            if (wnd) return wnd;
        }
    }
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        CWnd probe(child);
        CWnd* found = probe.GetDescendantWindow(id, onlyPermanent);
        probe.m_hWnd = nullptr;
        if (found) return found;
    }
    return nullptr;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, bool deep,
                                    bool onlyPermanent) {
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        if (CWnd* wnd = FromHandlePermanent(child)) {
            CallWindowHandler(wnd, child, message, wParam, lParam);
        } else if (!onlyPermanent) {
            ::SendMessageA(child, message, wParam, lParam);
        }
        if (deep && ::GetTopWindow(child)) {
            CWnd probe(child);
            probe.SendMessageToDescendants(message, wParam, lParam, deep, onlyPermanent);
            probe.m_hWnd = nullptr;
        }
    }
}

void CWnd::RepositionBars(UINT idFirst, UINT idLast, UINT idLeftOver, UINT flags, RECT* rectParam,
                          const RECT* rectClient, bool stretch) {
    SizeParentParams layout{};
    layout.bStretch = stretch;
    if (rectClient) {
        layout.rect = *rectClient;
    } else {
        ::GetClientRect(m_hWnd, &layout.rect);
    }
    layout.hDWP = (flags & layoutQueryOnly) ? nullptr : ::BeginDeferWindowPos(8);
    HWND leftOver = nullptr;
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (id == idLeftOver) {
            leftOver = child;
        } else if (id >= idFirst && id <= idLast && FromHandlePermanent(child)) {
            ::SendMessageA(child, FrameLayoutMessage, 0, reinterpret_cast<LPARAM>(&layout));
        }
    }
    if (flags & layoutQueryOnly) {
        if (rectParam) {
            if (flags & layoutAddInset) {
                rectParam->left = layout.rect.left + rectParam->left;
                rectParam->top = layout.rect.top + rectParam->top;
                rectParam->right = layout.rect.right - rectParam->right;
                rectParam->bottom = layout.rect.bottom - rectParam->bottom;
            } else {
                *rectParam = layout.rect;
            }
        }
        return;
    }
    if (leftOver && !(flags & layoutNoLeftOver)) {
        RECT r = layout.rect;
        if ((flags & layoutAddInset) && rectParam) {
            r.left += rectParam->left;
            r.top += rectParam->top;
            r.right -= rectParam->right;
            r.bottom -= rectParam->bottom;
        }
        if (r.right < r.left) r.right = r.left;
        if (r.bottom < r.top) r.bottom = r.top;
        layout.hDWP = ::DeferWindowPos(layout.hDWP, leftOver, nullptr, r.left, r.top, r.right - r.left,
                                       r.bottom - r.top, SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
}

namespace {
// Changes one style word; with swpFlags the frame is told (SetWindowPos).
bool ModifyStyleWord(HWND hwnd, int index, DWORD remove, DWORD add, UINT swpFlags) {
    DWORD style = static_cast<DWORD>(::GetWindowLongA(hwnd, index));
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return false;
    ::SetWindowLongA(hwnd, index, static_cast<LONG>(changed));
    if (swpFlags) {
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    }
    return true;
}
}  // namespace

bool CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyStyleWord(m_hWnd, GWL_STYLE, remove, add, swpFlags);
}

bool CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyStyleWord(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags);
}

void CWnd::ScreenToClient(RECT* r) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(r), 2); }

void CWnd::ClientToScreen(RECT* r) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(r), 2); }

void CWnd::GetWindowText(CString& text) const {
    int n = GetWindowTextLength();
    char* buffer = text.GetBufferSetLength(n + 1);
    ::GetWindowTextA(m_hWnd, buffer, n + 1);
    text.ReleaseBuffer();
}

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }

bool CWnd::SetMenu(CMenu* menu) { return ::SetMenu(m_hWnd, menu ? menu->m_hMenu : nullptr) != FALSE; }

CMenu* CWnd::GetSystemMenu(bool revert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert)); }

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }

CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }

int CWnd::ReleaseDC(CDC* dc) { return dc ? ::ReleaseDC(m_hWnd, dc->m_hDC) : 0; }

void CWnd::CenterWindow(CWnd* alternateOwner) {
    HWND center = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (GetStyle() & WS_CHILD) center = ::GetParent(m_hWnd);
    RECT area;
    if (center) {
        ::GetWindowRect(center, &area);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT mine;
    ::GetWindowRect(m_hWnd, &mine);
    int x = (area.left + area.right) / 2 - (mine.right - mine.left) / 2;
    int y = (area.top + area.bottom) / 2 - (mine.bottom - mine.top) / 2;
    if (GetStyle() & WS_CHILD) {
        POINT p = { x, y };
        ::ScreenToClient(center, &p);
        x = p.x;
        y = p.y;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The scroll functions reach a shared scroll-bar control when the window has one
// (a pane of a splitter), else the window's own scroll bars.
int CWnd::GetScrollPos(int bar) const {
    if (CScrollBar* ctrl = GetScrollBarCtrl(bar)) return ctrl->GetScrollPos();
    return ::GetScrollPos(m_hWnd, bar);
}

int CWnd::SetScrollPos(int bar, int pos, bool redraw) {
    if (CScrollBar* ctrl = GetScrollBarCtrl(bar)) return ctrl->SetScrollPos(pos, redraw);
    return ::SetScrollPos(m_hWnd, bar, pos, redraw);
}

void CWnd::GetScrollRange(int bar, int* minPos, int* maxPos) const {
    if (CScrollBar* ctrl = GetScrollBarCtrl(bar)) {
        ctrl->GetScrollRange(minPos, maxPos);
        return;
    }
    ::GetScrollRange(m_hWnd, bar, minPos, maxPos);
}

void CWnd::SetScrollRange(int bar, int minPos, int maxPos, bool redraw) {
    if (CScrollBar* ctrl = GetScrollBarCtrl(bar)) {
        ctrl->SetScrollRange(minPos, maxPos, redraw);
        return;
    }
    ::SetScrollRange(m_hWnd, bar, minPos, maxPos, redraw);
}

bool CWnd::SetScrollInfo(int bar, SCROLLINFO* info, bool redraw) {
    info->cbSize = sizeof(SCROLLINFO);
    if (CScrollBar* ctrl = GetScrollBarCtrl(bar)) return ctrl->SetScrollInfo(info, redraw);
    ::SetScrollInfo(m_hWnd, bar, info, redraw);
    return true;
}

bool CWnd::GetScrollInfo(int bar, SCROLLINFO* info, UINT mask) {
    info->cbSize = sizeof(SCROLLINFO);
    info->fMask = mask;
    if (CScrollBar* ctrl = GetScrollBarCtrl(bar)) return ctrl->GetScrollInfo(info, mask);
    return ::GetScrollInfo(m_hWnd, bar, info) != FALSE;
}

int CWnd::GetScrollLimit(int bar) {
    SCROLLINFO info{};
    if (!GetScrollInfo(bar, &info, SIF_RANGE | SIF_PAGE)) return 0;
    int limit = info.nMax - (info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0);
    return limit > info.nMin ? limit : info.nMin;
}

void CWnd::ShowScrollBar(UINT bar, bool show) {
    if (CScrollBar* ctrl = GetScrollBarCtrl(static_cast<int>(bar))) {
        ctrl->ShowScrollBar(show);
        return;
    }
    ::ShowScrollBar(m_hWnd, static_cast<int>(bar), show);
}

bool CWnd::EnableScrollBarCtrl(int bar, bool enable) {
    if (CScrollBar* ctrl = GetScrollBarCtrl(bar)) {
        ctrl->EnableWindow(enable);
        return true;
    }
    ::ShowScrollBar(m_hWnd, bar, enable);
    return true;
}

// Default handlers.
int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
BOOL CWnd::OnNcCreate(LPCREATESTRUCT) { return static_cast<BOOL>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
void CWnd::OnInitMenu(CMenu*) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
void CWnd::OnEnterMenuLoop(BOOL) { Default(); }
void CWnd::OnExitMenuLoop(BOOL) { Default(); }
void CWnd::OnMenuSelect(UINT, UINT, HMENU) { Default(); }
void CWnd::OnEnterIdle(UINT, CWnd*) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
BOOL CWnd::OnHelpInfo(HELPINFO*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnSizing(UINT, LPRECT) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar* bar) {
    if (bar && ReflectLastMsg(bar->m_hWnd)) return;
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CScrollBar* bar) {
    if (bar && ReflectLastMsg(bar->m_hWnd)) return;
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysChar(UINT, UINT, UINT) { Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnSettingChange(UINT, LPCSTR) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }
void CWnd::OnDrawClipboard() { Default(); }
void CWnd::OnChangeCbChain(HWND, HWND) { Default(); }
void CWnd::OnMDIActivate(BOOL, CWnd*, CWnd*) { Default(); }
BOOL CWnd::OnQueryEndSession() { return static_cast<BOOL>(Default()); }
void CWnd::OnEndSession(BOOL) { Default(); }

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT dis) {
    if (dis->CtlType != ODT_MENU && ReflectLastMsg(dis->hwndItem)) return;
    Default();
}

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT mis) {
    if (mis->CtlType != ODT_MENU) {
        HWND child = ::GetDlgItem(m_hWnd, static_cast<int>(mis->CtlID));
        if (child && ReflectLastMsg(child)) return;
    }
    Default();
}

// The main window's end ends the thread's message loop; the object lets go of the
// handle and may delete itself (PostNcDestroy).
void CWnd::OnNcDestroy() {
    if (CWinThread* thread = CurrentUiThread()) {
        if (thread->m_pMainWnd == this) {
            ::PostQuitMessage(0);
            thread->m_pMainWnd = nullptr;
        }
    }
    Default();
    if (m_pfnSuper &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == LibraryWindowProc) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    Detach();
    PostNcDestroy();
}
