#include "ui/dialogs/iterate_dialog.h"

#include "engine/text/layout.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/resource_ids.h"

namespace {

constexpr int kGridId = 1302, kMessageId = 1298, kFrameId = 1304, kStructureId = 1299, kDisplayId = 1300;
constexpr int kFirstItemId = 1000;   // menu item = this + the model's command
// What the grid is measured with: font number, size, and the size of small cells.
constexpr int32_t kGridFont = 1, kGridSize = 13, kGridSmallSize = 10;
constexpr UINT kGridCursor = 149;

// The model's command numbers.
enum : int32_t {
    kAddMap = 0, kRemoveMap = 1, kAllImages = 2, kNonPointImages = 3, kTabulate = 4, kSamePlaces = 5,
    kRandomPlaces = 6, kMoreIterations = 7, kFewerIterations = 8, kFullOrbit = 9, kFinalOnly = 10,
    kUp = 11, kDown = 12, kLeft = 13, kRight = 14, kClearCell = 17,
};

RememberedPosition gIteratePosition{};

const ControlAnchor kIterateAnchors[] = {
    {kGridId, kAnchorStretchX | kAnchorStretchY, 0},
    {kMessageId, kAnchorStretchX | kAnchorMoveY, 0},
    {kFrameId, kAnchorStretchX | kAnchorMoveY, 0},
    {kStructureId, kAnchorCentreX | kAnchorMoveY, 0},
    {kDisplayId, kAnchorCentreX | kAnchorMoveY, 0},
    {ID_HELP, kAnchorMoveX | kAnchorMoveY, 0},
    {IDCANCEL, kAnchorMoveX | kAnchorMoveY, 0},
    {IDOK, kAnchorMoveX | kAnchorMoveY, 0},
    {0, 0, 0},
};

const DialogField& EntryOf(const IterateDialogFields* f, int32_t e) { return f->entry[e]; }
bool EntryEnabled(const IterateDialogFields* f, int32_t e) { return (f->entry[e].state & kEntryEnabled) != 0; }

void AddHeading(HMENU menu, const char* text) { AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, text); }

void AddItem(HMENU menu, int32_t command, const char* text, bool enabled, bool checked = false) {
    UINT flags = MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED) | (checked ? MF_CHECKED : MF_UNCHECKED);
    AppendMenuA(menu, flags, static_cast<UINT_PTR>(kFirstItemId + command), text);
}

// Two items that show one choice entry: the first checked by 0, the second by 1.
void AddChoice(HMENU menu, const IterateDialogFields* f, int32_t entry, int32_t first, const char* firstText,
               int32_t second, const char* secondText) {
    const bool enabled = EntryEnabled(f, entry);
    const bool one = EntryOf(f, entry).value.integer == 1;
    AddItem(menu, first, firstText, enabled, !one);
    AddItem(menu, second, secondText, enabled, one);
}

}  // namespace

HMENU BuildIterateDisplayMenu(const IterateDialogFields* f) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    const DialogField& depth = EntryOf(f, kIterateDepth);
    const bool depthEnabled = EntryEnabled(f, kIterateDepth);
    AddHeading(menu, "-- Iterations --");
    AddItem(menu, kMoreIterations, "Increase Iterations\t+", depthEnabled && depth.value.integer < depth.upper);
    AddItem(menu, kFewerIterations, "Decrease Iterations\t-", depthEnabled && depth.lower < depth.value.integer);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AddHeading(menu, "-- Display As --");
    AddChoice(menu, f, kIterateFinalOnly, kFullOrbit, "Full Orbit (All Iterations)", kFinalOnly, "Final Iteration Only");
    return menu;
}

HMENU BuildIterateStructureMenu(const IterateDialogFields* f) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    AddHeading(menu, "-- Mappings --");
    AddItem(menu, kAddMap, "&Add New Map\tCtrl+A", EntryEnabled(f, kIterateAddMap));
    AddItem(menu, kRemoveMap, "Remove This &Map", EntryEnabled(f, kIterateRemoveMap));
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AddHeading(menu, "-- Create --");
    AddChoice(menu, f, kIterateNonPointOnly, kAllImages, "All &Object Images", kNonPointImages, "&Non-Point Images Only");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AddItem(menu, kTabulate, "&Tabulate Iterated Values", EntryEnabled(f, kIterateTabulate),
            EntryOf(f, kIterateTabulate).value.integer == 1);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AddHeading(menu, "-- Move Points On Objects --");
    AddChoice(menu, f, kIterateRandomPlaces, kSamePlaces, "To &Same Relative Location", kRandomPlaces,
              "To New &Random Locations");
    return menu;
}

int32_t IterateKeyCommand(UINT message, WPARAM key) {
    if (message == WM_KEYDOWN) {
        switch (key) {
        case VK_BACK:
        case VK_DELETE: return kClearCell;
        case VK_LEFT: return kLeft;
        case VK_UP: return kUp;
        case VK_RIGHT: return kRight;
        case VK_DOWN: return kDown;
        case VK_ADD: return kMoreIterations;
        case VK_SUBTRACT: return kFewerIterations;
        default: return -1;
        }
    }
    if (message == WM_CHAR) {
        if (key == 1) return kAddMap;   // Ctrl+A
        if (key == '+') return kMoreIterations;
        if (key == '-') return kFewerIterations;
    }
    return -1;
}

BEGIN_MESSAGE_MAP(IterateDialog, CYRNDialog)
    ON_BN_CLICKED(kGridId, OnGridClick)
    ON_COMMAND(kDisplayId + 2000, OnDisplayMenu)
    ON_COMMAND(kStructureId + 2000, OnStructureMenu)
END_MESSAGE_MAP()

IterateDialog::IterateDialog(IterateDialogFields* fields, DialogChangeFn apply)
    : CYRNDialog(IDD_ITERATE, fields, apply, true) {}

bool IterateDialog::ExchangeRememberedPosition(bool save, DialogCorner* corner) {
    return ExchangePosition(&gIteratePosition, save, corner);
}

bool IterateDialog::OnInitDialog() {
    grid_.SubclassDlgItem(kGridId, this);
    const bool result = CYRNDialog::OnInitDialog();
    SetAnchors(kIterateAnchors, false);
    FitGridToContent();
    display_.Attach(::GetDlgItem(m_hWnd, kDisplayId));
    structure_.Attach(::GetDlgItem(m_hWnd, kStructureId));
    return result;
}

void IterateDialog::MeasureGrid(HDC dc, int32_t* width, int32_t* height) {
    GraphicsPort port;
    LayoutDrawState state;
    MakeDrawStateForDC(&state, &port, dc, false);
    MeasureIterateGrid(Fields(), &port, kGridFont, kGridSize, kGridSmallSize, width, height);
}

bool IterateDialog::FitGridToContent() {
    int32_t width = 0, height = 0;
    HDC dc = ::GetDC(m_hWnd);
    if (!dc) return false;
    MeasureGrid(dc, &width, &height);
    ::ReleaseDC(m_hWnd, dc);
    RECT grid{};
    ::GetClientRect(::GetDlgItem(m_hWnd, kGridId), &grid);
    const int moreWidth = width > grid.right ? width - grid.right : 0;
    const int moreHeight = height > grid.bottom ? height - grid.bottom : 0;
    if (moreWidth == 0 && moreHeight == 0) return false;
    RECT window{};
    GetWindowRect(&window);
    // The anchors place the controls for the new size.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left + moreWidth,
                   window.bottom - window.top + moreHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void IterateDialog::Grid::DrawItem(LPDRAWITEMSTRUCT dis) {
    FillRect(dis->hDC, &dis->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    // A grid that outgrew its control grows the dialog first; the paint that follows draws it.
    if (owner_->FitGridToContent()) return;
    int32_t width = 0, height = 0;
    GraphicsPort port;
    LayoutDrawState state;
    MakeDrawStateForDC(&state, &port, dis->hDC, false);
    MeasureIterateGrid(owner_->Fields(), &port, kGridFont, kGridSize, kGridSmallSize, &width, &height);
    const int saved = SaveDC(dis->hDC);
    SetBkMode(dis->hDC, TRANSPARENT);
    DrawIterateGrid(owner_->Fields(), &port, dis->rcItem.left, dis->rcItem.top);
    RestoreDC(dis->hDC, saved);
}

void IterateDialog::DoDataExchange(CDataExchange* dx) {
    CYRNDialog::DoDataExchange(dx);
    IterateDialogFields* f = Fields();
    const bool loading = !dx->m_bSaveAndValidate;
    // The message line is shown whatever the model last did with it.
    f->entry[kIterateMessage].state |= kFieldEnabled;
    bool ok = ExchangeDialogField(this, IDOK, &f->entry[kIterateConfirm], loading, false, dx);
    ok = ExchangeDialogField(this, kMessageId, &f->entry[kIterateMessage], loading, false, dx) && ok;
    if (!ok) dx->Fail();
    if (!loading) return;
    if (f->entry[kIterateConfirm].state & kFieldEnabled) {
        // Once there is an iteration to build, Enter builds it.
        ::SendDlgItemMessageA(m_hWnd, IDCANCEL, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        SendMessage(DM_SETDEFID, IDOK, 0);
    }
    ::InvalidateRect(::GetDlgItem(m_hWnd, kGridId), nullptr, FALSE);
}

void IterateDialog::RunModelCommand(int32_t command) {
    IterateDialogCommand(Fields(), command);
    ShowModelChange();
}

void IterateDialog::ShowModelChange() {
    // The model's change routine answers only for the grid and the enabled entries; its
    // message line changes with nearly every step, so the dialog shows the model again.
    if (ExchangeWithEngine(true)) ExchangeWithEngine(false);
}

void IterateDialog::OnGridClick() {
    HWND grid = ::GetDlgItem(m_hWnd, kGridId);
    POINT at{};
    ::GetCursorPos(&at);
    ::ScreenToClient(grid, &at);
    const ScreenPoint point{ static_cast<int16_t>(at.x), static_cast<int16_t>(at.y) };
    if (IterateGridHitTest(Fields(), point, true, 0, 0)) ShowModelChange();
}

void IterateDialog::TrackMenu(HMENU menu, int buttonId) {
    if (!menu) return;
    RECT r{};
    ::GetWindowRect(::GetDlgItem(m_hWnd, buttonId), &r);
    const int chosen = static_cast<int>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_VERTICAL, r.left, r.top, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    if (chosen >= kFirstItemId && chosen <= kFirstItemId + kClearCell) RunModelCommand(chosen - kFirstItemId);
}

void IterateDialog::OnDisplayMenu() { TrackMenu(BuildIterateDisplayMenu(Fields()), kDisplayId); }
void IterateDialog::OnStructureMenu() { TrackMenu(BuildIterateStructureMenu(Fields()), kStructureId); }

bool IterateDialog::OverGridCell(const MSG* msg) {
    HWND grid = ::GetDlgItem(m_hWnd, kGridId);
    if (msg->hwnd != grid) return false;
    const ScreenPoint point{ static_cast<int16_t>(GET_X_LPARAM(msg->lParam)), static_cast<int16_t>(GET_Y_LPARAM(msg->lParam)) };
    return IterateGridHitTest(Fields(), point, false, 0, 0);
}

bool IterateDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) {
        const int32_t command = IterateKeyCommand(msg->message, msg->wParam);
        if (command >= 0) {
            RunModelCommand(command);
            return true;
        }
    } else if (msg->message == WM_MOUSEMOVE && OverGridCell(msg)) {
        ::SetCursor(::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kGridCursor)));
        return true;
    }
    return CYRNDialog::PreTranslateMessage(msg);
}
