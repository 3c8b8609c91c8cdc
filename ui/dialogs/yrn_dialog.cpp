#include "engine/interact/pick_session.h"
#include "ui/dialogs/yrn_dialog.h"

#include <cstring>

#include "classlib/gdi.h"
#include "engine/calc/typed_number.h"
#include "engine/core/services/alerts.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/mouse.h"
#include "engine/text/number_text.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "ui/app/main_app.h"
#include "ui/doc/fernwick_doc.h"
#include "ui/frames/engine_commands.h"
#include "ui/frames/main_frame.h"
#include "ui/resource_ids.h"
#include "ui/view/sketch_view.h"

IMPLEMENT_DYNAMIC(CYRNDialog, CDialog)

bool gComboListOpen = false;

namespace {

constexpr UINT kApplyRequest = 0x8000;   // WM_APP: a number field asks for an apply
constexpr uint32_t kPartsNotPickable = 0x08 | 0x20;

RememberedPosition gSharedPosition{};
InteractiveDialog* gChainHead = nullptr;
bool gDialogActive = false;
HHOOK gPickHook = nullptr;
InteractiveDialog* gPickTarget = nullptr;

void Beep() { MessageBeep(static_cast<UINT>(-1)); }

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_NCLBUTTONDOWN || message == WM_NCRBUTTONDOWN || message == WM_NCMBUTTONDOWN;
}

// The pick's hot object is dropped whenever the pointer is elsewhere.
void EndPickStep(UINT message, bool beep) {
    PickSessionHover(nullptr);
    FlushPendingRedraw(1);
    if (beep && IsButtonDown(message)) Beep();
}

HWND MdiClientOfMainFrame() {
    CMainFrame* frame = TheMainFrame();
    return frame ? frame->m_hWndMDIClient : nullptr;
}

LRESULT CALLBACK PickMouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT next = CallNextHookEx(gPickHook, code, wParam, lParam);
    if (code != HC_ACTION || !gPickTarget) return next;
    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    const UINT message = static_cast<UINT>(wParam);
    HWND target = gPickTarget->Window()->m_hWnd;
    if (info->hwnd == target || IsChild(target, info->hwnd) || gComboListOpen) {
        EndPickStep(message, false);
        return next;
    }
    if (info->wHitTestCode != HTCLIENT) {
        EndPickStep(message, true);
    } else if (info->hwnd && info->hwnd == MdiClientOfMainFrame()) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        EndPickStep(message, true);
    } else {
        gPickTarget->OnPickMouse(message, info->pt);
    }
    return 1;
}

bool SharedPositionExchange(CWnd* window, bool save, DialogCorner* corner) {
    return static_cast<CYRNDialog*>(window)->ExchangeRememberedPosition(save, corner);
}

HFONT MakeSymbolFont() {
    return CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 18, "Symbol");
}

}  // namespace

void NoteComboListCommand(WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (!control) return;
    const int code = HIWORD(wParam);
    if (code != CBN_DROPDOWN && code != CBN_CLOSEUP) return;
    char name[16];
    if (!GetClassNameA(control, name, sizeof name) || lstrcmpiA(name, "ComboBox") != 0) return;
    gComboListOpen = code == CBN_DROPDOWN;
}

RememberedPosition& SharedDialogPosition() { return gSharedPosition; }

void RememberDialogWindow(CWnd* window, PositionExchange exchange) {
    RECT r{};
    if (!GetWindowRect(window->m_hWnd, &r)) return;
    DialogCorner corner{ r.left, r.top };
    exchange(window, true, &corner);
}

void PlaceDialogWindow(CWnd* window, PositionExchange exchange) {
    RECT w{}, m{}, d{};
    const bool haveWindow = GetWindowRect(window->m_hWnd, &w) != FALSE;
    HWND main = MainWindow();
    DialogCorner corner{ w.left, w.top };
    if (!exchange(window, false, &corner)) {
        if (haveWindow && main && GetWindowRect(main, &m)) {
            corner = FirstDialogCorner({ w.left, w.top, w.right, w.bottom }, { m.left, m.top, m.right, m.bottom });
        }
        exchange(window, true, &corner);
    }
    if (haveWindow && GetWindowRect(GetDesktopWindow(), &d)) {
        corner = KeepCornerOnDesktop(corner, w.right - w.left, w.bottom - w.top, { d.left, d.top, d.right, d.bottom });
    }
    SetWindowPos(window->m_hWnd, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayoutDialogControls(CWnd* dialog, const ControlAnchor* anchors, int32_t* layoutWidth,
                          int32_t* layoutHeight, int32_t newWidth, int32_t newHeight) {
    if (!anchors) return;
    size_t count = 0;
    while (anchors[count].controlId != 0) ++count;
    DialogRect* rects = new DialogRect[count + 1];
    bool* exists = new bool[count + 1];
    HWND* controls = new HWND[count + 1];
    for (size_t i = 0; i < count; ++i) {
        controls[i] = GetDlgItem(dialog->m_hWnd, anchors[i].controlId);
        RECT r{};
        exists[i] = controls[i] && GetWindowRect(controls[i], &r);
        if (exists[i]) {
            MapWindowPoints(nullptr, dialog->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            rects[i] = { r.left, r.top, r.right, r.bottom };
        }
    }
    LayoutAnchoredRects(anchors, count + 1, rects, exists, layoutWidth, layoutHeight, newWidth, newHeight);
    for (size_t i = 0; i < count; ++i) {
        if (!exists[i]) continue;
        const DialogRect& r = rects[i];
        SetWindowPos(controls[i], nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(controls[i], nullptr, TRUE);
    }
    delete[] controls;
    delete[] exists;
    delete[] rects;
}

InteractiveDialog* InteractiveChainHead() { return gChainHead; }
void PushInteractiveDialog(InteractiveDialog* dialog) {
    dialog->nextInteractive = gChainHead;
    gChainHead = dialog;
}
void UnlinkInteractiveDialog(InteractiveDialog* dialog) {
    if (gChainHead == dialog) gChainHead = dialog->nextInteractive;
}
void SetDialogActiveFlag(bool on) { gDialogActive = on; }
bool DialogActiveFlag() { return gDialogActive; }

HHOOK InstallPickHook(InteractiveDialog* target) {
    if (!gPickHook) gPickHook = SetWindowsHookExA(WH_MOUSE, PickMouseHookProc, nullptr, GetCurrentThreadId());
    gPickTarget = target;
    return gPickHook;
}

void RemovePickHook(InteractiveDialog* target) {
    if (gPickTarget != target) return;
    if (gPickHook) UnhookWindowsHookEx(gPickHook);
    gPickHook = nullptr;
    gPickTarget = nullptr;
}

InteractiveDialog* PickHookTarget() { return gPickTarget; }

// ---- The dialog base ---------------------------------------------------------------

BEGIN_MESSAGE_MAP(CYRNDialog, CDialog)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_SIZING()
    ON_WM_NCHITTEST()
    ON_WM_GETMINMAXINFO()
    ON_WM_ACTIVATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_HELPINFO()
    ON_WM_DESTROY()
    ON_COMMAND(ID_HELP, OnHelpCommand)
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
    ON_MESSAGE(kApplyRequest, OnApplyRequest)
END_MESSAGE_MAP()

CYRNDialog::CYRNDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CYRNDialog::CYRNDialog(UINT templateId, void* editedRecord, DialogChangeFn apply, bool interactive)
    : CDialog(templateId, nullptr) {
    record = editedRecord;
    applyCallback = apply;
    hasApplyCallback = apply != nullptr;
    sketchInteractive = interactive;
    acceptsPicks = interactive;
    symbolFont = MakeSymbolFont();
}

CYRNDialog::~CYRNDialog() {
    RemovePickHook(this);
    UnlinkInteractiveDialog(this);
    if (m_hWnd) DestroyWindow();
    delete[] anchors;
    delete[] noValidateControls;
    if (symbolFont) DeleteObject(symbolFont);
}

INT_PTR CYRNDialog::DoModal() {
    // With no main window on the screen (an embedded or automated start) nobody could
    // confirm the values: the dialog counts as cancelled.
    HWND main = MainWindow();
    if (!main || !::IsWindowVisible(main)) return IDCANCEL;
    const DLGTEMPLATE* t = LockTemplate();
    if (!t) return -1;
    HWND owner = PreModal();
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    m_nModalResult = -1;
    m_nFlags |= WINDOW_MODAL_GOES_ON;
    if (CreateFromTemplate(t, owner) && (m_nFlags & WINDOW_MODAL_GOES_ON)) {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
        FlushPendingRedraw(1);
        RunModalLoop(MODAL_SHOW_WHEN_IDLE | ((t->style & DS_NOIDLEMSG) ? MODAL_NO_ENTER_IDLE : 0));
    }
    m_nFlags &= ~WINDOW_MODAL_GOES_ON;
    PostModal(owner, ownerWasEnabled);
    return m_nModalResult;
}

void CYRNDialog::JoinInteractiveChain() {
    SetDialogActiveFlag(false);
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && !::IsWindowEnabled(owner) && sketchInteractive) {
        ::EnableWindow(owner, TRUE);
        PushInteractiveDialog(this);
        SetDialogActiveFlag(true);
    }
}

bool CYRNDialog::OnInitDialog() {
    RECT window{}, client{};
    GetWindowRect(&window);
    GetClientRect(&client);
    minWidth = window.right - window.left;
    minHeight = window.bottom - window.top;
    layoutWidth = client.right;
    layoutHeight = client.bottom;
    if (!caption.IsEmpty()) SetWindowText(caption);
    PlaceDialogWindow(this, SharedPositionExchange);
    JoinInteractiveChain();
    return CDialog::OnInitDialog();
}

bool CYRNDialog::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(&SharedDialogPosition(), save, corner);
}

void CYRNDialog::SavePosition() { RememberDialogWindow(this, SharedPositionExchange); }

void CYRNDialog::OnDestroy() {
    RemovePickHook(this);
    SavePosition();
    Default();
}

void CYRNDialog::OnCancel() {
    cancelling = true;
    EndDialog(IDCANCEL);
}

bool CYRNDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        cancelling = msg->wParam == VK_ESCAPE || msg->wParam == VK_F1;
    } else if (msg->message == WM_LBUTTONDOWN && msg->hwnd != m_hWnd && ::GetParent(msg->hwnd) == m_hWnd) {
        const int32_t id = ::GetDlgCtrlID(msg->hwnd);
        bool leaving = id == IDCANCEL || id == ID_HELP;
        for (const int32_t* p = noValidateControls; p && *p && !leaving; ++p) leaving = *p == id;
        cancelling = leaving;
    }
    return CDialog::PreTranslateMessage(msg);
}

bool CYRNDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    NoteComboListCommand(wParam, lParam);
    return CDialog::OnCommand(wParam, lParam);
}

bool CYRNDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    return CDialog::OnNotify(wParam, lParam, result);
}

LRESULT CYRNDialog::OnKickIdle(WPARAM, LPARAM count) {
    // The first passes belong to the library; then the engine's animations and pending
    // redraws go on while the dialog waits.
    if (count < 3) return TRUE;
    return IdleUpdate(0) ? TRUE : FALSE;
}

bool CYRNDialog::ExchangeWithEngine(bool save) {
    if (exchanging) return true;
    exchanging = true;
    const bool ok = UpdateData(save);
    // A refused field leaves the record half read: it is applied only once it is whole.
    int32_t changed = 0;
    if (save && ok && hasApplyCallback && applyCallback) changed = applyCallback(record);
    exchanging = false;
    if (changed) ExchangeWithEngine(false);
    return ok;
}

LRESULT CYRNDialog::OnApplyRequest(WPARAM, LPARAM) {
    if (hasApplyCallback) ExchangeWithEngine(true);
    return 1;
}

void CYRNDialog::ShowHelp() {
    const int32_t topic = GetHelpTopic();
    if (topic != 0) OpenHelpTopic(topic);
}

BOOL CYRNDialog::OnHelpInfo(HELPINFO*) {
    ShowHelp();
    return TRUE;
}

void CYRNDialog::OnLButtonDown(UINT, CPoint) {
    Beep();
    Default();
}

void CYRNDialog::EnableControl(int id, bool enable) {
    if (HWND control = ::GetDlgItem(m_hWnd, id)) ::EnableWindow(control, enable);
}

void CYRNDialog::SetAnchors(const ControlAnchor* table, bool sizeGrip) {
    delete[] anchors;
    anchors = nullptr;
    hasSizeGrip = sizeGrip;
    if (!table) return;
    size_t count = 0;
    while (table[count].controlId != 0) ++count;
    anchors = new ControlAnchor[count + 1];
    std::memcpy(anchors, table, (count + 1) * sizeof(ControlAnchor));
}

void CYRNDialog::SetNoValidateControls(const int32_t* list) {
    delete[] noValidateControls;
    noValidateControls = nullptr;
    if (!list) return;
    size_t count = 0;
    while (list[count] != 0) ++count;
    noValidateControls = new int32_t[count + 1];
    std::memcpy(noValidateControls, list, (count + 1) * sizeof(int32_t));
}

void CYRNDialog::SetAcceptsPicks(bool on) {
    if (acceptsPicks && !on) PickSessionHover(nullptr);
    acceptsPicks = on;
}

bool CYRNDialog::ReadNumberField(int id, float* value, CDataExchange* dx) {
    char text[41] = {};
    ::GetDlgItemTextA(m_hWnd, id, text, sizeof text);
    double parsed = 0;
    if (ParseTypedNumber(text, &parsed)) {
        *value = static_cast<float>(parsed);
        return true;
    }
    if (dx && dx->m_bSaveAndValidate) {
        dx->PrepareEditCtrl(id);
        failedControl = id;
        CString message;
        message.LoadString(IDS_ENTER_VALID_NUMBER);
        MessageBox(message, nullptr, MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
    }
    return false;
}

void CYRNDialog::WriteNumberField(int id, float value) {
    char text[40];
    FormatNumberText(text, sizeof text, value, false);
    ::SetDlgItemTextA(m_hWnd, id, text);
}

bool CYRNDialog::RequireValue(const void* value, UINT messageId, CDataExchange* dx) {
    if (value) return true;
    CString message;
    message.LoadString(messageId);
    MessageBox(message, nullptr, MB_OK | MB_ICONEXCLAMATION);
    if (dx) dx->Fail();
    return false;
}

// ---- Size grip and anchors ---------------------------------------------------------

DialogRect CYRNDialog::GripRect() const {
    RECT client{};
    GetClientRect(&client);
    return SizeGripRect({ client.left, client.top, client.right, client.bottom }, GetSystemMetrics(SM_CXVSCROLL));
}

LRESULT CYRNDialog::OnNcHitTest(CPoint point) {
    if (hasSizeGrip && anchors) {
        POINT p = point;
        ScreenToClient(&p);
        if (PointOnSizeGrip(GripRect(), p.x, p.y)) return HTBOTTOMRIGHT;
    }
    return Default();
}

void CYRNDialog::OnPaint() {
    Default();
    if (!hasSizeGrip || !anchors) return;
    const DialogRect g = GripRect();
    RECT r{ g.left, g.top, g.right, g.bottom };
    HDC dc = ::GetDC(m_hWnd);
    DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    ::ReleaseDC(m_hWnd, dc);
}

void CYRNDialog::OnSizing(UINT, LPRECT) {
    if (hasSizeGrip && anchors) {
        const DialogRect g = GripRect();
        RECT r{ g.left, g.top, g.right, g.bottom };
        InvalidateRect(&r, false);
    }
    Default();
}

void CYRNDialog::OnGetMinMaxInfo(MINMAXINFO* info) {
    Default();
    info->ptMinTrackSize.x = minWidth;
    info->ptMinTrackSize.y = minHeight;
}

void CYRNDialog::OnSize(UINT, int cx, int cy) {
    Default();
    LayoutDialogControls(this, anchors, &layoutWidth, &layoutHeight, cx, cy);
    if (hasSizeGrip) {
        const DialogRect g = GripRect();
        RECT r{ g.left, g.top, g.right, g.bottom };
        InvalidateRect(&r, false);
    }
}

// ---- Picking -----------------------------------------------------------------------

void CYRNDialog::OnActivate(UINT state, CWnd* other, BOOL) {
    Default();
    if (state != WA_INACTIVE) {
        cancelling = false;
        if (!sketchInteractive) return;
        HWND main = MainWindow();
        if (main && !::IsWindowEnabled(main)) ::EnableWindow(main, TRUE);
        if (!pickHook) {
            pickHook = InstallPickHook(this);
            SetDialogActiveFlag(true);
        }
        return;
    }
    if (!sketchInteractive) return;
    RemovePickHook(this);
    pickHook = nullptr;
    HWND next = other ? other->m_hWnd : nullptr;
    if (next && (::GetWindow(next, GW_OWNER) == m_hWnd || ::IsChild(m_hWnd, next)) && InteractiveChainHead() == this)
        SetDialogActiveFlag(false);
}

namespace {

// The front sketch's front view when the window under the point is that view.
CYRNView* FrontSketchViewAt(POINT screenPoint) {
    CWnd* under = CWnd::FromHandlePermanent(WindowFromPoint(screenPoint));
    if (!under || !under->IsKindOf(RUNTIME_CLASS(CYRNView)) || !gEngine.frontSketch) return nullptr;
    CMainFrame* frame = TheMainFrame();
    CFernwickDoc* doc = frame ? frame->m_activeDocument : nullptr;
    auto* view = static_cast<CYRNView*>(under);
    return doc && doc->IsFrontView(view) ? view : nullptr;
}

SketchObject* PickableObjectAt(CYRNView* view, POINT screenPoint) {
    POINT client = screenPoint;
    view->ScreenToClient(&client);
    const ScreenPoint at = view->DeviceToSketchPoint(client.x, client.y);
    uint32_t parts = 0;
    SketchObject* hit = HitTestSketch(at, nullptr, false, &parts);
    return (hit && (parts & kPartsNotPickable)) ? nullptr : hit;
}

}  // namespace

bool PickPressAt(UINT message, POINT screenPoint, SketchObject** object) {
    *object = nullptr;
    CYRNView* view = FrontSketchViewAt(screenPoint);
    if (!view) {
        EndPickStep(message, true);
        return false;
    }
    CurrentSketchScope scope(gEngine.frontSketch);
    SketchObject* under = PickableObjectAt(view, screenPoint);
    if (message == WM_MOUSEMOVE) {
        const bool hot = PickSessionHover(under);
        FlushPendingRedraw(1);
        SetCursor(LoadCursor(TheApp() ? TheApp()->m_hInstance : GetModuleHandleA(nullptr),
                             MAKEINTRESOURCEA(hot ? IDC_OVER_OBJECT : IDC_SELECT_ARROW)));
        return false;
    }
    if (message != WM_LBUTTONDOWN) return false;
    if (!PickSessionHover(under)) {
        PickSessionClick(under);   // a refused object still goes to the refusal routine
        Beep();
        return false;
    }
    *object = under;
    return true;
}

void CYRNDialog::OnPickMouse(UINT message, POINT screenPoint) {
    if (!acceptsPicks) return;
    SketchObject* object = nullptr;
    if (!PickPressAt(message, screenPoint, &object)) return;
    CurrentSketchScope scope(gEngine.frontSketch);
    PickApplyFn apply = nullptr;
    if (!PickSessionClick(object, &apply)) {
        Beep();
        return;
    }
    cancelling = true;
    OnObjectPicked(apply);
    cancelling = false;
}

void CYRNDialog::OnObjectPicked(PickApplyFn apply) {
    // The fields are saved before the pick's apply routine reads them, and shown again
    // when it changed the record.
    ExchangeWithEngine(true);
    if (PickSessionApply(apply) != 0) ExchangeWithEngine(false);
    FlushPendingRedraw(1);
}
