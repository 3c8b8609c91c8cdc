#include "ui/dialogs/yrn_prop_sheet.h"

#include "engine/core/services/later_release.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/interact/pick_session.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "ui/dialogs/yrn_prop_page.h"

IMPLEMENT_DYNAMIC(CYRNPropSheet, CPropertySheet)

namespace {

RememberedPosition gSheetPosition{};

bool SheetPositionExchange(CWnd* window, bool save, DialogCorner* corner) {
    return static_cast<CYRNPropSheet*>(window)->ExchangeRememberedPosition(save, corner);
}

HFONT MakeSymbolFont() {
    return CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 18, "Symbol");
}

}  // namespace

RememberedPosition& SharedSheetPosition() { return gSheetPosition; }

BEGIN_MESSAGE_MAP(CYRNPropSheet, CPropertySheet)
    ON_WM_ACTIVATE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

CYRNPropSheet::CYRNPropSheet(UINT captionId, bool interactive, void* edited, bool applyEnabled, DialogChangeFn apply,
                             CWnd* parent, UINT startPage)
    : CPropertySheet(captionId, parent, startPage) {
    const auto withoutApply = LaterForms().window.sheetsWithoutApply;
    Initialise(interactive, edited, applyEnabled, apply, withoutApply && withoutApply());
}

CYRNPropSheet::CYRNPropSheet(const char* caption, bool interactive, void* edited, bool applyEnabled,
                             DialogChangeFn apply, CWnd* parent, UINT startPage)
    : CPropertySheet(caption, parent, startPage) {
    Initialise(interactive, edited, applyEnabled, apply, true);
}

void CYRNPropSheet::Initialise(bool interactive, void* edited, bool applyEnabled, DialogChangeFn apply,
                               bool withoutApply) {
    if (withoutApply) m_psh.dwFlags |= PSH_NOAPPLYNOW;
    m_psh.dwFlags |= PSH_HASHELP;
    pickHook = nullptr;
    sketchInteractive = interactive;
    interactiveOnActivation = interactive;
    record = edited;
    hasApplyCallback = applyEnabled && apply;
    applyCallback = apply;
}

CYRNPropSheet::~CYRNPropSheet() {
    RemovePickHook(this);
    UnlinkInteractiveDialog(this);
    if (m_hWnd) DestroyWindow();
    if (symbolFont) DeleteObject(symbolFont);
}

INT_PTR CYRNPropSheet::DoModal() {
    // As with dialogs: with no main window on the screen nothing is confirmed.
    HWND main = MainWindow();
    if (!main || !::IsWindowVisible(main)) return IDCANCEL;
    return CPropertySheet::DoModal();
}

bool CYRNPropSheet::OnInitDialog() {
    CPropertySheet::OnInitDialog();
    // OK and Help trade places.
    HWND ok = ::GetDlgItem(m_hWnd, IDOK), help = ::GetDlgItem(m_hWnd, 9);
    if (ok && help) {
        RECT a{}, b{};
        ::GetWindowRect(ok, &a);
        ::GetWindowRect(help, &b);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&a), 2);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&b), 2);
        ::SetWindowPos(ok, nullptr, b.left, b.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::SetWindowPos(help, nullptr, a.left, a.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    PlaceDialogWindow(this, SheetPositionExchange);
    SetDialogActiveFlag(false);
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && !::IsWindowEnabled(owner) && sketchInteractive) {
        ::EnableWindow(owner, TRUE);
        PushInteractiveDialog(this);
        SetDialogActiveFlag(true);
    }
    if (!symbolFont) symbolFont = MakeSymbolFont();
    return true;
}

bool CYRNPropSheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    NoteComboListCommand(wParam, lParam);
    return CPropertySheet::OnCommand(wParam, lParam);
}

bool CYRNPropSheet::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(&SharedSheetPosition(), save, corner);
}

void CYRNPropSheet::SavePosition() { RememberDialogWindow(this, SheetPositionExchange); }

void CYRNPropSheet::OnDestroy() {
    RemovePickHook(this);
    pickHook = nullptr;
    SavePosition();
    Default();
}

LRESULT CYRNPropSheet::OnKickIdle(WPARAM, LPARAM count) {
    if (count < 3) return TRUE;
    return IdleUpdate(0) ? TRUE : FALSE;
}

bool CYRNPropSheet::ExchangeWithEngine(bool save) {
    if (exchanging) return true;
    exchanging = true;
    CPropertyPage* page = GetActivePage();
    const bool ok = page ? page->UpdateData(save) : true;
    int32_t changed = 0;
    if (save && ok && hasApplyCallback && applyCallback) changed = applyCallback(record);
    exchanging = false;
    if (changed) ExchangeWithEngine(false);
    return ok;
}

void CYRNPropSheet::AddPageWithHelp(CPropertyPage* page, int32_t helpTopic) {
    AddPage(page);
    page->m_nIDHelp = static_cast<UINT>(helpTopic);
    if (page->IsKindOf(RUNTIME_CLASS(YRNPropPage))) static_cast<YRNPropPage*>(page)->SetHelpTopic(helpTopic);
}

void CYRNPropSheet::OnActivate(UINT state, CWnd*, BOOL) {
    Default();
    if (!interactiveOnActivation) return;
    if (state != WA_INACTIVE) {
        HWND main = MainWindow();
        if (main && !::IsWindowEnabled(main)) ::EnableWindow(main, TRUE);
        if (!pickHook) {
            pickHook = InstallPickHook(this);
            SetDialogActiveFlag(true);
        }
        return;
    }
    RemovePickHook(this);
    pickHook = nullptr;
}

void CYRNPropSheet::OnPickMouse(UINT message, POINT screenPoint) {
    SketchObject* object = nullptr;
    if (!PickPressAt(message, screenPoint, &object)) return;
    CurrentSketchScope scope(gEngine.frontSketch);
    PickApplyFn apply = nullptr;
    if (!PickSessionClick(object, &apply)) {
        MessageBeep(static_cast<UINT>(-1));
        return;
    }
    // The pages come down around the apply routine, which may change what they show.
    RebuildPages(true);
    PickSessionApply(apply);
    RebuildPages(false);
    FlushPendingRedraw(1);
}
