#include "ui/frames/script_view_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "classlib/command_ids.h"
#include "classlib/frame.h"
#include "engine/core/memory.h"
#include "engine/core/object_tables.h"
#include "engine/core/services/colors.h"
#include "engine/core/services/custom_tools.h"
#include "engine/core/services/dialogs.h"
#include "engine/core/services/script_view.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/sketch_object.h"
#include "engine/interact/command_table.h"
#include "engine/interact/interaction_services.h"
#include "engine/interact/tool_playback.h"
#include "engine/text/layout.h"
#include "platform/rules/colors.h"
#include "platform/rules/dialog_rules.h"
#include "platform/win32/render/graphics_port.h"
#include "platform/win32/render/port_text.h"
#include "ui/app/main_app.h"
#include "ui/dialogs/yrn_dialog.h"
#include "ui/doc/document_services.h"
#include "ui/frames/main_frame.h"
#include "ui/frames/text_palette.h"
#include "ui/menus.h"
#include "ui/portable/script_view_rules.h"
#include "ui/resource_ids.h"
#include "ui/view/script_print.h"

namespace {

constexpr UINT kOtherColorItem = kFirstColorSwatchCommand + kColorSwatchCount;
constexpr int kRowFontPoints = 9;
constexpr COLORREF kDoneTint = RGB(153, 204, 255);
constexpr COLORREF kCurrentBracket = RGB(255, 128, 128);
constexpr int kBracketWidth = 3;
constexpr int kInsertBand = 4;
// The raster operation that keeps of each pixel only what the brush also has (D and P).
constexpr DWORD kRopDestAndPattern = 0x00A000C9;
constexpr int kSplitterGap = 2;
constexpr uint32_t kPageSetupExecutor = 58;

const ControlAnchor kScriptAnchors[] = {
    { kScriptCommentId, kAnchorStretchX, 0 },
    { kScriptStepListId, kAnchorStretchX | kAnchorStretchY, 0 },
    { kScriptApplyLabelId, kAnchorMoveY, 0 },
    { kScriptNextStepId, kAnchorMoveY, 0 },
    { kScriptAllStepsId, kAnchorMoveY, 0 },
    { kScriptStatusId, kAnchorStretchX | kAnchorMoveY, 0 },
    { kScriptHelpId, kAnchorStretchX | kAnchorStretchY, 0 },
    { 0, 0, 0 },
};

bool FrameAlive() {
    CMainFrame* frame = TheMainFrame();
    return frame && frame->m_created;
}

CRect ChildRect(CWnd* parent, UINT id) {
    CRect r;
    HWND child = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    if (!child) return r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void PlaceChild(CWnd* parent, UINT id, const CRect& r) {
    HWND child = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    if (child) ::SetWindowPos(child, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowChild(CWnd* parent, UINT id, bool show) {
    HWND child = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    if (child) ::ShowWindow(child, show ? SW_SHOWNA : SW_HIDE);
}

SketchObject* RowObject(int32_t row) {
    ToolScriptRow r{};
    return DescribeToolScriptRow(row, &r) ? r.object : nullptr;
}

LayoutNode* RowText(void*, int32_t row) { return ToolScriptRowLayout(row); }

// Measures a row's text in the rows' font: false for a row without text.
bool MeasureRowText(HDC dc, HFONT font, int32_t row, int32_t* ascent, int32_t* descent, int32_t* width) {
    LayoutNode* node = ToolScriptRowLayout(row);
    if (!node) return false;
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    LayoutDrawState state{};
    GraphicsPort port{};
    MakeDrawStateForDC(&state, &port, dc, false);
    MeasureLayout(node, &state);
    *ascent = node->ascent;
    *descent = node->descent;
    *width = node->width;
    SelectObject(dc, old);
    FreeLayoutNode(node);
    return true;
}

HBRUSH HalftoneBrush() {
    static const WORD pattern[8] = { 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA };
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, pattern);
    if (!bits) return nullptr;
    HBRUSH brush = CreatePatternBrush(bits);
    DeleteObject(bits);
    return brush;
}

}  // namespace

// ---- The step list ------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CScriptStepListBox, CDragListBox)

BEGIN_MESSAGE_MAP(CScriptStepListBox, CDragListBox)
    ON_WM_SETCURSOR()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_WM_LBUTTONDBLCLK()
    ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

int32_t CScriptStepListBox::RowAt(CPoint client) const {
    const int count = GetCount();
    for (int i = GetTopIndex(); i >= 0 && i < count; ++i) {
        RECT r{};
        if (SendMessage(LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r)) == LB_ERR) break;
        if (client.y < r.top) break;
        if (client.y < r.bottom) return i + 1;
    }
    return 0;
}

std::vector<bool> CScriptStepListBox::GivenRows(bool draggableOnly) const {
    const int count = GetCount();
    std::vector<bool> rows(count > 0 ? static_cast<size_t>(count) : 0);
    for (int i = 0; i < count; ++i) {
        bool draggable = false;
        const bool given = ToolScriptRowIsGiven(i + 1, &draggable) != nullptr;
        rows[static_cast<size_t>(i)] = given && (!draggableOnly || draggable);
    }
    return rows;
}

int CScriptStepListBox::ItemFromPt(CPoint point, bool autoScroll) const {
    // The pointer may leave the list sideways while it drags.
    if (dragging) {
        CPoint client = point;
        ScreenToClient(&client);
        client.x = kScriptRowIndent;
        ClientToScreen(&client);
        point = client;
    }
    return ::LBItemFromPt(m_hWnd, point, autoScroll);
}

int32_t CScriptStepListBox::InsertionRowAt(CPoint screen) const {
    const int index = ItemFromPt(screen, true);
    CPoint client = screen;
    ScreenToClient(&client);
    int32_t pointerRow = index >= 0 ? index + 1 : 0;
    if (index < 0 && client.y < 0) pointerRow = GetTopIndex() + 1;
    return GivenInsertionRow(GivenRows(false), pointerRow);
}

bool CScriptStepListBox::BeginDrag(CPoint point) {
    CPoint client = point;
    ScreenToClient(&client);
    const int32_t row = RowAt(client);
    bool draggable = false;
    if (!row || !ToolScriptRowIsGiven(row, &draggable) || !draggable) return false;
    dragItem = row - 1;
    dragging = true;
    lastInsert = -1;
    if (bar) bar->SetPressedRow(row, true);
    return true;
}

UINT CScriptStepListBox::Dragging(CPoint point) {
    const int32_t insertion = InsertionRowAt(point);
    const bool may = insertion > 0 && MayDropGivenAt(GivenRows(true), insertion);
    DrawInsert(may ? insertion - 1 : -1);
    SetCursor(LoadCursor(nullptr, may ? IDC_SIZENS : IDC_NO));
    return DL_CURSORSET;
}

void CScriptStepListBox::Dropped(int, CPoint point) {
    DrawInsert(-1);
    const int32_t source = dragItem + 1;
    const int32_t insertion = dragging ? InsertionRowAt(point) : 0;
    dragging = false;
    dragItem = -1;
    if (bar) bar->SetPressedRow(0, false);
    if (insertion <= 0 || !MayDropGivenAt(GivenRows(true), insertion)) return;
    const GivenDrop drop = GivenDropMoves(GivenRows(false), source, insertion);
    if (drop.moves == 0) return;
    SketchObject* given = RowObject(source);
    SketchObject* toward = RowObject(drop.towardRow);
    if (!given || !toward) return;
    int32_t rows = bar ? bar->rowCount : 0;
    // Each move passes one given; the engine marks the tool modified with each.
    for (int32_t i = 0; i < drop.moves; ++i) MoveGivenToward(given, toward, &rows);
    if (bar) bar->rowCount = rows;
    Invalidate();
}

void CScriptStepListBox::CancelDrag(CPoint) {
    DrawInsert(-1);
    dragging = false;
    dragItem = -1;
    if (bar) bar->SetPressedRow(0, false);
}

void CScriptStepListBox::InvertBand(int index) {
    const int count = GetCount();
    if (index < 0 || count <= 0) return;
    RECT item{};
    const bool after = index >= count;
    SendMessage(LB_GETITEMRECT, WPARAM(after ? count - 1 : index), reinterpret_cast<LPARAM>(&item));
    const int y = after ? item.bottom : item.top;
    RECT client{};
    GetClientRect(&client);
    HDC dc = ::GetDC(m_hWnd);
    if (!dc) return;
    if (HBRUSH brush = HalftoneBrush()) {
        HGDIOBJ old = SelectObject(dc, brush);
        PatBlt(dc, client.left, y - kInsertBand / 2, client.right - client.left, kInsertBand, PATINVERT);
        SelectObject(dc, old);
        DeleteObject(brush);
    }
    ::ReleaseDC(m_hWnd, dc);
}

void CScriptStepListBox::DrawInsert(int index) {
    if (index == lastInsert) return;
    InvertBand(lastInsert);
    lastInsert = index;
    InvertBand(index);
}

BOOL CScriptStepListBox::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    if (hitTest != HTCLIENT || dragging) return static_cast<BOOL>(Default());
    CPoint point;
    ::GetCursorPos(&point);
    if (bar) {
        CPoint inBar = point;
        bar->ScreenToClient(&inBar);
        CRect band = ChildRect(bar, kScriptCommentId);
        const CRect list = ChildRect(bar, kScriptStepListId);
        if (inBar.y >= band.bottom && inBar.y < list.top + kSplitterGap) {
            SetCursor(LoadCursor(nullptr, IDC_SIZENS));
            return TRUE;
        }
    }
    ScreenToClient(&point);
    const int32_t row = RowAt(point);
    ShowStepUnderPointer(row);
    bool draggable = false;
    HCURSOR cursor = nullptr;
    if (row && ToolScriptRowIsGiven(row, &draggable) && draggable)
        cursor = LoadCursor(ResourceModule(), MAKEINTRESOURCE(IDC_DRAG_LIST_LINE));
    else if (row && RowObject(row))
        cursor = LoadCursor(ResourceModule(), MAKEINTRESOURCE(IDC_SELECT_ARROW));
    SetCursor(cursor ? cursor : LoadCursor(nullptr, IDC_ARROW));
    (void)wnd;
    (void)message;
    return TRUE;
}

void CScriptStepListBox::ShowStepUnderPointer(int32_t row) {
    if (!leaveTracked_) {
        TRACKMOUSEEVENT track{ sizeof track, TME_LEAVE, m_hWnd, 0 };
        leaveTracked_ = ::TrackMouseEvent(&track) != 0;
    }
    HoverToolScriptRow(row);
}

LRESULT CScriptStepListBox::OnMouseLeave(WPARAM, LPARAM) {
    leaveTracked_ = false;
    HoverToolScriptRow(0);
    return 0;
}

void CScriptStepListBox::OnLButtonDblClk(UINT, CPoint point) {
    Default();
    if (SketchObject* object = RowObject(RowAt(point))) ToolStepProperties(object);
}

void CScriptStepListBox::EnsureStepVisible(int32_t row) {
    const int count = GetCount();
    if (row < 1 || row > count) return;
    std::vector<int32_t> heights(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) heights[static_cast<size_t>(i)] = static_cast<int32_t>(SendMessage(LB_GETITEMHEIGHT, WPARAM(i)));
    RECT client{};
    GetClientRect(&client);
    const int32_t top = GetTopIndex();
    const int32_t newTop = StepListTopFor(heights, top, client.bottom - client.top, row - 1, PlaybackMode() == kPlaybackInUse);
    if (newTop != top) SetTopIndex(newTop);
}

void CScriptStepListBox::OnContextMenu(CWnd*, CPoint point) {
    CPoint client = point;
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: the selected row, at its corner.
        const int selected = GetCurSel();
        RECT r{};
        if (selected < 0 || SendMessage(LB_GETITEMRECT, WPARAM(selected), reinterpret_cast<LPARAM>(&r)) == LB_ERR) return;
        client = CPoint(r.left + kScriptRowIndent, r.bottom);
        point = client;
        ClientToScreen(&point);
    } else {
        ScreenToClient(&client);
    }
    const int32_t row = RowAt(client);
    SketchObject* object = RowObject(row);
    if (!object || !bar) return;
    bar->SetPressedRow(row, true);

    const ToolStepOffers offers = ToolStepKind(object);
    HMENU menu = CreatePopupMenu();
    HMENU widths = nullptr;
    HMENU colors = nullptr;
    if (menu && offers.lineWidth && (widths = CreatePopupMenu()) != nullptr) {
        static const char* const kWidths[3] = { "&Dashed", "Thi&n", "Thic&k" };
        for (int i = 0; i < 3; ++i)
            AppendMenuA(widths, MF_STRING | (object->lineStyle == i ? MF_CHECKED : 0), kScriptLineWidthItem + UINT(i), kWidths[i]);
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(widths), "Line &Width");
    }
    const ColorMenuMark savedMark = CurrentColorMenuMark();
    if (menu && offers.color && (colors = GetColorPopupCopy()) != nullptr) {
        // The shared swatch menu lends itself for the time the menu is up.
        SetColorMenuMark(true, object->color);
        AppendMenuA(colors, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(colors, MF_STRING, kOtherColorItem, "&Other...");
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(colors), "&Color");
    }
    if (menu && offers.tracing)
        AppendMenuA(menu, MF_STRING | (object->traced ? MF_CHECKED : 0), kScriptTraceItem, "T&race");
    if (menu) {
        AppendMenuA(menu, MF_STRING, kScriptPropertiesItem, "Pr&operties...");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, kScriptPageSetupItem, "Page &Setup...");
        AppendMenuA(menu, MF_STRING, kScriptPrintItem, "&Print...");
    }
    // The bar owns the menu so that the frame's menu updates leave its items alone; the
    // swatches are drawn by the frame all the same.
    const UINT chosen = menu ? UINT(TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                                   point.x, point.y, 0, bar->m_hWnd, nullptr))
                             : 0;
    if (colors) {
        while (GetMenuItemCount(colors) > kColorSwatchCount) RemoveMenu(colors, UINT(kColorSwatchCount), MF_BYPOSITION);
        for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i)
            if (GetSubMenu(menu, i) == colors) RemoveMenu(menu, UINT(i), MF_BYPOSITION);
        SetColorMenuMark(savedMark.shown, savedMark.color);
    }
    if (menu) DestroyMenu(menu);
    bar->SetPressedRow(0, false);

    COLORREF color = 0;
    if (chosen >= kScriptLineWidthItem && chosen < kScriptLineWidthItem + 3) {
        object->lineStyle = static_cast<int32_t>(chosen - kScriptLineWidthItem);
        MarkToolModified();
    } else if (SwatchItemColor(chosen, &color)) {
        object->color = color & 0xFFFFFF;
        MarkToolModified();
    } else if (chosen == kOtherColorItem) {
        uint32_t picked = object->color;
        if (OpenColorPicker(&picked)) {
            object->color = picked & 0xFFFFFF;
            MarkToolModified();
        }
    } else if (chosen == kScriptTraceItem) {
        object->traced = object->traced ? 0 : 1;
        MarkToolModified();
    } else if (chosen == kScriptPropertiesItem) {
        ToolStepProperties(object);
    } else if (chosen == kScriptPageSetupItem) {
        SketchScope scope(gEngine.frontSketch);
        CommandExecutors[kPageSetupExecutor](0);
    } else if (chosen == kScriptPrintItem) {
        bar->PrintScript();
    }
    Invalidate();
}

// ---- The bar --------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(ScriptViewBar, CDialogBar)

BEGIN_MESSAGE_MAP(ScriptViewBar, CDialogBar)
    ON_MESSAGE(WM_INITDIALOG, OnInitDialog)
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
    ON_WM_SHOWWINDOW()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_CLOSE()
    ON_BN_CLICKED(kScriptNextStepId, OnNextStep)
    ON_BN_CLICKED(kScriptAllStepsId, OnAllSteps)
    ON_UPDATE_COMMAND_UI(kScriptNextStepId, OnUpdateApply)
    ON_UPDATE_COMMAND_UI(kScriptAllStepsId, OnUpdateApply)
    ON_EN_CHANGE(kScriptCommentId, OnCommentChange)
END_MESSAGE_MAP()

ScriptViewBar* FindScriptView() {
    CMainFrame* frame = TheMainFrame();
    return frame && frame->m_scriptView.m_hWnd ? &frame->m_scriptView : nullptr;
}

ScriptViewBar::ScriptViewBar() = default;

ScriptViewBar::~ScriptViewBar() {
    if (rowFont) DeleteObject(rowFont);
}

bool ScriptViewBar::CreateBar(CFrameWnd* frame) {
    const DWORD style = WS_CHILD | BAR_TOP | BAR_TOOLTIPS | BAR_FLYBY_PROMPTS | BAR_SIZE_VARIABLE;
    if (!Create(frame, IDD_SCRIPT_VIEW, style, IDW_SCRIPT_VIEW)) return false;
    CString title;
    title.LoadString(IDS_SCRIPT_VIEW);
    SetWindowText(title);
    CRect client;
    GetClientRect(&client);
    layoutWidth_ = client.Width();
    layoutHeight_ = client.Height();
    floatingSize = dockedSize = m_sizeDefault;
    // The least size: the apply buttons in a row, and the list at its least height.
    const CRect all = ChildRect(this, kScriptAllStepsId);
    const CRect list = ChildRect(this, kScriptStepListId);
    minimumSize = CSize(all.right + 4, m_sizeDefault.cy - (list.Height() - kScriptListMinHeight));
    return true;
}

LRESULT ScriptViewBar::OnInitDialog(WPARAM, LPARAM) {
    Default();
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    rowFont = CreateFontA(-MulDiv(kRowFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                          VARIABLE_PITCH | FF_SWISS, "Arial");
    HWND list = ::GetDlgItem(m_hWnd, kScriptStepListId);
    if (list && stepList.SubclassWindow(list)) {
        stepList.bar = this;
        stepList.MakeDragList();
        if (rowFont) stepList.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(rowFont), FALSE);
        CRect comment = ChildRect(this, kScriptCommentId);
        CRect r = ChildRect(this, kScriptStepListId);
        r.top = comment.bottom + kSplitterGap;
        PlaceChild(this, kScriptStepListId, r);
    }
    ShowTool(0, "");
    if (ScriptPrint* printer = ScriptPrint::CreatePrinter(this)) printerWindow = printer->m_hWnd;
    return TRUE;
}

ScriptPrint* ScriptViewBar::Printer() const {
    CWnd* window = printerWindow && ::IsWindow(printerWindow) ? CWnd::FromHandlePermanent(printerWindow) : nullptr;
    return window && window->IsKindOf(RUNTIME_CLASS(ScriptPrint)) ? static_cast<ScriptPrint*>(window) : nullptr;
}

void ScriptViewBar::ShowControls(bool tool) {
    for (UINT id : { kScriptCommentId, kScriptStepListId, kScriptNextStepId, kScriptStatusId, kScriptApplyLabelId,
                     kScriptAllStepsId })
        ShowChild(this, id, tool);
    ShowChild(this, kScriptHelpId, !tool);
}

void ScriptViewBar::ShowTool(int32_t count, const char* comment) {
    widestRow = 0;
    pressedRow = 0;
    settingComment_ = true;
    if (count <= 0) {
        stepList.ResetContent();
        rowCount = 0;
        ::SetDlgItemTextA(m_hWnd, kScriptCommentId, "Create or choose a custom tool.");
        settingComment_ = false;
        ShowControls(false);
        const bool wasShown = toolShown;
        toolShown = false;
        if (wasShown) ShowScriptView(false);
        return;
    }
    SetStepCount(count);
    ::SetDlgItemTextA(m_hWnd, kScriptCommentId, comment ? comment : "");
    settingComment_ = false;
    toolShown = true;
    ShowControls(true);
    RefreshStatus();
}

void ScriptViewBar::SetStepCount(int32_t count) {
    if (!stepList.m_hWnd) return;
    stepList.SendMessage(WM_SETREDRAW, FALSE);
    stepList.ResetContent();
    stepList.SendMessage(LB_SETHORIZONTALEXTENT, 0);
    widestRow = 0;
    for (int32_t i = 0; i < count; ++i) stepList.SendMessage(LB_ADDSTRING, 0, LPARAM(i + 1));
    rowCount = count;
    stepList.SendMessage(WM_SETREDRAW, TRUE);
    stepList.Invalidate();
}

void ScriptViewBar::RefreshStatus() {
    if (!toolShown) return;
    bool next = false;
    char text[256] = "";
    ToolPlaybackState(&next, text, sizeof text);
    if (!next) ::SetDlgItemTextA(m_hWnd, kScriptStatusId, text);
    ShowChild(this, kScriptStatusId, !next);
    for (UINT id : { kScriptApplyLabelId, kScriptNextStepId, kScriptAllStepsId }) ShowChild(this, id, next);
}

void ScriptViewBar::SetPressedRow(int32_t row, bool on) {
    pressedRow = on ? row : 0;
    if (stepList.m_hWnd) {
        stepList.Invalidate();
        stepList.UpdateWindow();
    }
}

void ScriptViewBar::PrintScript() {
    ScriptPrint* printer = Printer();
    if (!printer || rowCount <= 0) return;
    Sketch* tool = GetPlaybackTool(nullptr);
    std::string title = tool && tool->title ? tool->title : "";
    title += " Tool";
    CString comment;
    if (CWnd* edit = GetDlgItem(kScriptCommentId)) edit->GetWindowText(comment);
    printer->SetScript(rowCount, comment, title.c_str(), RowText, nullptr);
    printer->PostMessage(WM_COMMAND, ID_FILE_PRINT);
}

void ScriptViewBar::OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) {
    if (mis->CtlType == ODT_MENU) {
        // The colour swatches of the row menu are the frame's to measure.
        if (CMainFrame* frame = TheMainFrame()) frame->SendMessage(WM_MEASUREITEM, WPARAM(id), reinterpret_cast<LPARAM>(mis));
        return;
    }
    if (UINT(id) != kScriptStepListId) return;
    const int32_t row = static_cast<int32_t>(mis->itemID) + 1;
    ToolScriptRow r{};
    if (!DescribeToolScriptRow(row, &r) || r.separator) {
        mis->itemHeight = ScriptRowHeight(true, 0, 0);
        return;
    }
    int32_t ascent = 0, descent = 0, width = 0;
    HWND list = ::GetDlgItem(m_hWnd, kScriptStepListId);
    HDC dc = ::GetDC(list);
    if (dc) {
        SketchScope scope(gEngine.frontSketch);
        MeasureRowText(dc, rowFont, row, &ascent, &descent, &width);
        ::ReleaseDC(list, dc);
    }
    mis->itemHeight = ScriptRowHeight(false, ascent, descent);
    if (width > widestRow) {
        widestRow = width;
        ::SendMessageA(list, LB_SETHORIZONTALEXTENT, WPARAM(widestRow + kScriptExtentMargin), 0);
    }
}

void ScriptViewBar::OnDrawItem(int id, LPDRAWITEMSTRUCT dis) {
    if (dis->CtlType == ODT_MENU) {
        if (CMainFrame* frame = TheMainFrame()) frame->SendMessage(WM_DRAWITEM, WPARAM(id), reinterpret_cast<LPARAM>(dis));
        return;
    }
    if (UINT(id) != kScriptStepListId || int(dis->itemID) < 0) return;
    // The rows are drawn in the front sketch, whose text settings they follow; the bar
    // keeps no sketch of its own, which could close under it.
    SketchScope scope(gEngine.frontSketch);
    HDC dc = dis->hDC;
    const RECT& item = dis->rcItem;
    const int32_t row = static_cast<int32_t>(dis->itemID) + 1;
    FillRect(dc, &item, GetSysColorBrush(COLOR_WINDOW));
    ToolScriptRow r{};
    if (!DescribeToolScriptRow(row, &r)) return;
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    if (r.separator) {
        const int y = item.top + 2;
        if (r.separator == kSeparatorBetweenGroups) {
            for (int x = item.left; x < item.right; x += 2) SetPixel(dc, x, y, RGB(0, 0, 0));
        } else {
            HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
            MoveToEx(dc, item.left, y, nullptr);
            LineTo(dc, item.right, y);
            SelectObject(dc, old);
        }
        RestoreDC(dc, saved);
        return;
    }
    const bool pressed = row == pressedRow;
    if (pressed) {
        COLORREF fill = 0;
        SelectionFillColor(&fill);
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc, &item, brush);
        DeleteObject(brush);
    }
    if (LayoutNode* node = ToolScriptRowLayout(row)) {
        SelectObject(dc, rowFont ? rowFont : GetStockObject(DEFAULT_GUI_FONT));
        LayoutDrawState state{};
        GraphicsPort port{};
        MakeDrawStateForDC(&state, &port, dc, false);
        MeasureLayout(node, &state);
        const int32_t height = node->ascent + node->descent;
        state.x = static_cast<int16_t>(item.left + kScriptRowIndent);
        state.y = static_cast<int16_t>(item.top + (item.bottom - item.top - height) / 2 + node->ascent);
        DrawLayout(node, &state);
        FreeLayoutNode(node);
    }
    if (r.highlight == kRowDone) {
        HBRUSH tint = CreateSolidBrush(kDoneTint);
        HGDIOBJ old = SelectObject(dc, tint);
        PatBlt(dc, item.left, item.top, item.right - item.left, item.bottom - item.top, kRopDestAndPattern);
        SelectObject(dc, old);
        DeleteObject(tint);
    } else if (r.highlight == kRowCurrent) {
        HBRUSH bracket = CreateSolidBrush(kCurrentBracket);
        const RECT sides[3] = {
            { item.left, item.top, item.right, item.top + kBracketWidth },
            { item.left, item.top, item.left + kBracketWidth, item.bottom },
            { item.left, item.bottom - kBracketWidth, item.right, item.bottom },
        };
        for (const RECT& side : sides) FillRect(dc, &side, bracket);
        DeleteObject(bracket);
    }
    RestoreDC(dc, saved);
}

// ---- Sizing and the splitter ------------------------------------------------------------

void ScriptViewBar::LayoutForSize(CSize size) {
    if (!m_hWnd) return;
    LayoutDialogControls(this, kScriptAnchors, &layoutWidth_, &layoutHeight_, size.cx, size.cy);
}

CSize ScriptViewBar::CalcDynamicLayout(int length, DWORD mode) {
    CSize size;
    if (mode & (LM_DOCKED_HORZ | LM_DOCKED_VERT)) {
        size = dockedSize;
        if ((mode & LM_FULL_LENGTH) && length > 0) {
            if (mode & LM_DOCKED_HORZ) size.cx = length;
            else size.cy = length;
        }
    } else if (mode & LM_MRUWIDTH) {
        size = floatingSize;
    } else {
        if (length >= 0) {
            if (mode & LM_LENGTHY) floatingSize.cy = std::max<LONG>(length, minimumSize.cy);
            else floatingSize.cx = std::max<LONG>(length, minimumSize.cx);
        }
        size = floatingSize;
    }
    LayoutForSize(size);
    return size;
}

bool ScriptViewBar::InSplitter(CPoint client) const {
    if (!toolShown) return false;
    const CRect comment = ChildRect(const_cast<ScriptViewBar*>(this), kScriptCommentId);
    const CRect list = ChildRect(const_cast<ScriptViewBar*>(this), kScriptStepListId);
    return client.x >= list.left && client.x < list.right && client.y >= comment.bottom &&
           client.y < list.top + kSplitterGap;
}

void ScriptViewBar::MoveSplitter(int32_t delta) {
    CRect comment = ChildRect(this, kScriptCommentId);
    CRect list = ChildRect(this, kScriptStepListId);
    delta = ClampSplitterDelta(comment.Height(), list.Height(), delta);
    if (delta == 0) return;
    comment.bottom += delta;
    list.top += delta;
    PlaceChild(this, kScriptCommentId, comment);
    PlaceChild(this, kScriptStepListId, list);
}

bool ScriptViewBar::PreTranslateMessage(MSG* msg) {
    // The splitter's band reaches over the list's top edge, whose own mouse handling
    // would otherwise take it.
    if (msg->hwnd == stepList.m_hWnd && !stepList.dragging &&
        (msg->message == WM_MOUSEMOVE || msg->message == WM_LBUTTONDOWN)) {
        CPoint point(static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam)));
        ::MapWindowPoints(stepList.m_hWnd, m_hWnd, &point, 1);
        if (InSplitter(point)) {
            SetCursor(LoadCursor(nullptr, IDC_SIZENS));
            if (msg->message == WM_LBUTTONDOWN) {
                OnLButtonDown(0, point);
                return true;
            }
        }
    }
    return CDialogBar::PreTranslateMessage(msg);
}

BOOL ScriptViewBar::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    if (hitTest == HTCLIENT && (splitting_ || InSplitter(point))) {
        SetCursor(LoadCursor(nullptr, IDC_SIZENS));
        return TRUE;
    }
    (void)wnd;
    (void)message;
    return static_cast<BOOL>(Default());
}

void ScriptViewBar::OnLButtonDown(UINT, CPoint point) {
    if (!InSplitter(point)) {
        Default();
        return;
    }
    splitting_ = true;
    splitStartY_ = point.y;
    SetCapture();
    SetCursor(LoadCursor(nullptr, IDC_SIZENS));
}

void ScriptViewBar::OnMouseMove(UINT, CPoint point) {
    if (!splitting_) {
        Default();
        return;
    }
    const int32_t before = ChildRect(this, kScriptCommentId).bottom;
    MoveSplitter(point.y - splitStartY_);
    splitStartY_ += ChildRect(this, kScriptCommentId).bottom - before;
}

void ScriptViewBar::OnLButtonUp(UINT, CPoint) {
    if (!splitting_) {
        Default();
        return;
    }
    splitting_ = false;
    ::ReleaseCapture();
}

void ScriptViewBar::OnCaptureChanged(CWnd*) { splitting_ = false; }

// ---- Commands and hiding ---------------------------------------------------------------

void ScriptViewBar::Apply(bool all) {
    if (!gEngine.frontSketch) return;
    SketchScope scope(gEngine.frontSketch);
    ApplyNextToolStep(all);
    FlushPendingRedraw(1);
}

void ScriptViewBar::OnNextStep() { Apply(false); }
void ScriptViewBar::OnAllSteps() { Apply(true); }
void ScriptViewBar::OnUpdateApply(CCmdUI* cmdUI) { cmdUI->Enable(true); }

void ScriptViewBar::OnCommentChange() {
    if (settingComment_ || !toolShown) return;
    MarkToolModified();
    // The tool holds the comment from the first keystroke: a document saved while the
    // tool is still shown keeps what was typed.
    UpdateToolSketchName(GetPlaybackTool(nullptr));
}

void ScriptViewBar::StopPlaybackOnHide() {
    if (!FrameAlive()) return;
    SketchScope scope(gEngine.frontSketch);
    StopToolPlayback();
}

void ScriptViewBar::OnShowWindow(BOOL show, UINT status) {
    Default();
    if (!show) StopPlaybackOnHide();
    (void)status;
}

void ScriptViewBar::OnWindowPosChanged(WINDOWPOS* pos) {
    Default();
    // The controls follow the size the bar was given, whichever road it came by.
    if (pos && !(pos->flags & SWP_NOSIZE)) {
        CRect client;
        GetClientRect(&client);
        if (client.Width() > 0 && client.Height() > 0) LayoutForSize(client.Size());
    }
    if (pos && (pos->flags & SWP_HIDEWINDOW)) StopPlaybackOnHide();
}

void ScriptViewBar::OnClose() {
    StopPlaybackOnHide();
    Default();
}

// ---- The bar's services to the engine ------------------------------------------------------

bool IsScriptViewVisible() {
    ScriptViewBar* bar = FindScriptView();
    return bar && (bar->GetStyle() & WS_VISIBLE) != 0;
}

void ShowScriptView(bool show) {
    CMainFrame* frame = TheMainFrame();
    ScriptViewBar* bar = FindScriptView();
    if (!frame || !bar || IsScriptViewVisible() == show) return;
    frame->ShowControlBar(bar, show, false);
    if (!show) return;
    frame->RecalcLayout();
    // Under Wine a floating frame shown while its owner is active can stay beneath it on
    // the screen though it is above it in the window order; a pass through the topmost
    // band restacks it for real.
    HWND floating = ::GetAncestor(bar->m_hWnd, GA_ROOT);
    if (floating && floating != frame->m_hWnd) {
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        ::SetWindowPos(floating, HWND_TOPMOST, 0, 0, 0, 0, flags);
        ::SetWindowPos(floating, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    }
}

void SetScriptViewCaption(const char* text) {
    ScriptViewBar* bar = FindScriptView();
    if (!bar) return;
    const char* caption = text ? text : "";
    bar->SetWindowText(caption);
    // The floating frame and its dock bar show the same caption; the chain ends at the
    // main frame (a floating frame's parent is its owner).
    CMainFrame* frame = TheMainFrame();
    for (HWND up = ::GetParent(bar->m_hWnd); up && (!frame || up != frame->m_hWnd); up = ::GetParent(up))
        ::SetWindowTextA(up, caption);
}

void SetScriptViewTool(int32_t rowCount, const char* comment) {
    if (ScriptViewBar* bar = FindScriptView()) bar->ShowTool(rowCount, comment);
}

char* GetScriptViewComment() {
    ScriptViewBar* bar = FindScriptView();
    HWND edit = bar ? ::GetDlgItem(bar->m_hWnd, kScriptCommentId) : nullptr;
    if (!edit) return nullptr;
    const int length = ::GetWindowTextLengthA(edit);
    auto* text = static_cast<char*>(AllocMemory(size_t(length) + 1, 0));
    if (!text) return nullptr;
    text[0] = 0;
    ::GetWindowTextA(edit, text, length + 1);
    return text;
}

void RefreshScriptViewStatus() {
    if (ScriptViewBar* bar = FindScriptView()) bar->RefreshStatus();
}

void UpdateScriptStepList(int32_t rowCount, int32_t revealRow) {
    ScriptViewBar* bar = FindScriptView();
    if (!bar || !bar->stepList.m_hWnd) return;
    if (revealRow) bar->stepList.EnsureStepVisible(revealRow);
    if (rowCount) bar->SetStepCount(rowCount);
    bar->stepList.Invalidate();
}
