#include "ui/dialogs/doc_options_dialog.h"

#include <cstdio>
#include <cstring>

#include "engine/core/services/busy.h"
#include "engine/core/services/document_windows.h"
#include "engine/core/services/script_view.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/custom_tool_library.h"
#include "ui/resource_ids.h"

namespace {

constexpr int kPagesRadio = 1273, kToolsRadio = 1272, kNameLabel = 1274, kNameEdit = 1154, kList = 1181;
constexpr int kAddButton = 1177, kRemoveButton = 1178, kShowCheck = 1159, kNoToolsText = 1278;
constexpr int kLinksGroup = 1202, kLinksText = 1201, kSelectButtons = 1200;
constexpr int kParentMenuCommand = 2000;  // what the pop-up button sends to open our menu
// Pages view / tools view texts of the label, the two buttons and the check box.
constexpr UINT kNameLabelText[2] = {36893, 36892};
constexpr UINT kAddText[2] = {36895, 36894};
constexpr UINT kRemoveText[2] = {36897, 36896};
constexpr UINT kShowText[2] = {36903, 36902};
constexpr int32_t kBusyCopyingPages = 3;
constexpr int kBandHeight = 4;
constexpr int kLinksMargin = 12;  // pixels below the broken-links group while it shows
constexpr UINT kFirstToolItem = 1;

std::string LoadText(UINT id) {
    char text[128] = "";
    ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

// A menu shows "&" as a mnemonic mark: a name's own ampersands are doubled.
std::string MenuText(const std::string& name) {
    std::string out;
    for (char c : name) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

HBRUSH HalftoneBrush() {
    static HBRUSH brush = [] {
        static const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
        HBITMAP bitmap = ::CreateBitmap(8, 8, 1, 1, rows);
        HBRUSH made = bitmap ? ::CreatePatternBrush(bitmap) : nullptr;
        if (bitmap) ::DeleteObject(bitmap);
        return made;
    }();
    return brush;
}

HCURSOR SystemCursor(LPCSTR id) { return ::LoadCursorA(nullptr, id); }

}  // namespace

// ---- Rules ---------------------------------------------------------------------------

bool DocOptionsDropMove(int32_t source, int32_t target, int32_t* to) {
    if (source < 0 || target < 0 || target == source || target == source + 1) return false;
    *to = target > source ? target - 1 : target;
    return true;
}

bool DocOptionsInsertBand(const RECT& client, const RECT& item, bool endPosition, RECT* band) {
    const LONG y = endPosition ? item.bottom : item.top;
    const RECT wanted{client.left, y - kBandHeight / 2, client.right, y + kBandHeight / 2};
    return ::IntersectRect(band, &wanted, &client) != FALSE;
}

std::string CopiedPageName(const char* title, int32_t pageNumber, bool severalPages) {
    std::string base = title ? title : "";
    const size_t length = base.size();
    for (size_t i = length; i > 0 && i + 4 > length; --i) {
        if (base[i - 1] == '.') {
            base.resize(i - 1);
            break;
        }
    }
    if (severalPages) {
        const std::string numbered = base + ":" + std::to_string(pageNumber);
        if (numbered.size() <= size_t(kPageNameChars)) return numbered;
    }
    if (base.size() > size_t(kPageNameChars)) base.resize(size_t(kPageNameChars));
    return base;
}

HMENU BuildAddPageMenu(const char* buttonText, const std::vector<std::string>& thisPages,
                       const std::vector<AddPageSource>& others, std::vector<AddPageChoice>* choices) {
    HMENU menu = ::CreatePopupMenu();
    HMENU duplicate = ::CreatePopupMenu();
    if (!menu || !duplicate) {
        if (menu) ::DestroyMenu(menu);
        if (duplicate) ::DestroyMenu(duplicate);
        return nullptr;
    }
    choices->clear();
    auto addChoice = [choices](HMENU to, const std::string& text, int32_t source, int32_t page) {
        const UINT id = kFirstDuplicateItem + UINT(choices->size());
        choices->push_back({source, page});
        ::AppendMenuA(to, MF_STRING, id, text.c_str());
    };
    ::AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, buttonText);
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kBlankPageItem, "&Blank Page");
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(duplicate), "&Duplicate");
    ::AppendMenuA(duplicate, MF_STRING | MF_GRAYED, 0, "From This Document:");
    for (size_t i = 0; i < thisPages.size(); ++i) addChoice(duplicate, MenuText(thisPages[i]), -1, int32_t(i));
    for (size_t d = 0; d < others.size(); ++d) {
        if (d == 0) {
            ::AppendMenuA(duplicate, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(duplicate, MF_STRING | MF_GRAYED, 0, "Other Open Documents:");
        }
        const AddPageSource& other = others[d];
        if (other.pages.size() == 1) {
            addChoice(duplicate, MenuText(other.title), int32_t(d), 0);
            continue;
        }
        HMENU pages = ::CreatePopupMenu();
        if (!pages) continue;
        for (size_t i = 0; i < other.pages.size(); ++i) addChoice(pages, MenuText(other.pages[i]), int32_t(d), int32_t(i));
        ::AppendMenuA(pages, MF_SEPARATOR, 0, nullptr);
        addChoice(pages, "All Pages", int32_t(d), -1);
        ::AppendMenuA(duplicate, MF_POPUP, reinterpret_cast<UINT_PTR>(pages), MenuText(other.title).c_str());
    }
    return menu;
}

// ---- The list ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDocOptListBox, CDragListBox)
    ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
    ON_MESSAGE(WM_LBUTTONDBLCLK, OnDoubleClick)
END_MESSAGE_MAP()

int CDocOptListBox::TargetAt(CPoint screen, bool autoScroll) const {
    const int index = ItemFromPt(screen, autoScroll);
    if (index >= 0) return index;
    const int count = GetCount();
    if (count <= 0) return -1;
    POINT p = screen;
    ::ScreenToClient(m_hWnd, &p);
    RECT client{}, last{};
    ::GetClientRect(m_hWnd, &client);
    if (GetItemRect(count - 1, &last) == LB_ERR) return -1;
    const LONG height = last.bottom - last.top;
    const bool below = p.x >= client.left && p.x < client.right && p.y >= last.bottom && p.y < last.bottom + height;
    return below ? count : -1;
}

void CDocOptListBox::InvertBand(int index) {
    const int count = GetCount();
    if (index < 0 || index > count || count == 0) return;
    RECT client{}, item{}, band{};
    ::GetClientRect(m_hWnd, &client);
    const bool end = index == count;
    if (GetItemRect(end ? count - 1 : index, &item) == LB_ERR) return;
    if (!DocOptionsInsertBand(client, item, end, &band)) return;
    HDC dc = ::GetDC(m_hWnd);
    if (!dc) return;
    HGDIOBJ old = ::SelectObject(dc, HalftoneBrush());
    ::PatBlt(dc, band.left, band.top, band.right - band.left, band.bottom - band.top, PATINVERT);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
}

void CDocOptListBox::DrawInsert(int index) {
    if (index == insertIndex) return;
    InvertBand(insertIndex);
    insertIndex = index;
    InvertBand(insertIndex);
}

bool CDocOptListBox::BeginDrag(CPoint point) {
    dragging = true;
    ::SetCursor(SystemCursor(IDC_SIZENS));
    if (CDragListBox::BeginDrag(point)) return true;
    dragging = false;
    return false;
}

UINT CDocOptListBox::Dragging(CPoint point) {
    DrawInsert(-1);
    const int target = TargetAt(point, true);
    DrawInsert(target);
    if (target < 0) return DL_STOPCURSOR;
    ::SetCursor(SystemCursor(IDC_SIZENS));
    return DL_CURSORSET;
}

void CDocOptListBox::Dropped(int sourceIndex, CPoint point) {
    dragging = false;
    DrawInsert(-1);
    const int target = TargetAt(point, false);
    int32_t to = 0;
    if (!DocOptionsDropMove(sourceIndex, target, &to)) return;
    owner_->MoveEntry(sourceIndex, to);
}

void CDocOptListBox::CancelDrag(CPoint point) {
    dragging = false;
    DrawInsert(-1);
    CDragListBox::CancelDrag(point);
}

LRESULT CDocOptListBox::OnSetCursor(WPARAM, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) return Default();
    POINT p{};
    ::GetCursorPos(&p);
    const bool overItem = ItemFromPt(CPoint(p), false) >= 0;
    HCURSOR cursor;
    if (dragging) cursor = SystemCursor(overItem ? IDC_SIZENS : IDC_NO);
    else if (!overItem) cursor = SystemCursor(IDC_ARROW);
    else cursor = ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_DRAG_LIST_LINE));
    ::SetCursor(cursor);
    return TRUE;
}

LRESULT CDocOptListBox::OnDoubleClick(WPARAM, LPARAM) {
    const LRESULT result = Default();
    if (owner_->PagesView()) owner_->OnOK();
    return result;
}

// ---- The dialog ----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(DocOptionsDialog, CYRNDialog)
    ON_LBN_SELCHANGE(kList, OnSelChange)
    ON_EN_CHANGE(kNameEdit, OnNameChange)
    ON_CONTROL(EN_KILLFOCUS, kNameEdit, OnNameKillFocus)
    ON_BN_CLICKED(kRemoveButton, OnRemove)
    ON_BN_CLICKED(kShowCheck, OnShowCheck)
    ON_BN_CLICKED(kSelectButtons, OnSelectButtons)
    ON_BN_CLICKED(kPagesRadio, OnViewPages)
    ON_BN_CLICKED(kToolsRadio, OnViewTools)
    ON_COMMAND(kAddButton + kParentMenuCommand, OnAddMenu)
END_MESSAGE_MAP()

DocOptionsDialog::DocOptionsDialog(DocOptionsRecord* record)
    : CYRNDialog(IDD_DOC_OPTIONS, record, nullptr, false) {
    view = record->view == 0 ? 1 : 0;
}

void DocOptionsDialog::DoDataExchange(CDataExchange* dx) {
    CYRNDialog::DoDataExchange(dx);
    ExchangeControl(dx, kList, list_);
}

bool DocOptionsDialog::OnInitDialog() {
    const bool result = CYRNDialog::OnInitDialog();
    list_.MakeDragList();
    ::SendDlgItemMessageA(m_hWnd, kNameEdit, EM_LIMITTEXT, kPageNameChars, 0);
    CheckDlgButton(kPagesRadio, PagesView() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(kToolsRadio, PagesView() ? BST_UNCHECKED : BST_CHECKED);
    addButton_.Attach(::GetDlgItem(m_hWnd, kAddButton));
    RECT group{};
    ::GetWindowRect(::GetDlgItem(m_hWnd, kLinksGroup), &group);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&group), 2);
    groupTop_ = group.top;
    groupBottom_ = group.bottom;
    SetViewTexts();
    FillList(PagesView() ? CurrentPageIndex(Document()) : 0);
    return result;
}

void DocOptionsDialog::OnOK() {
    // A name typed and not yet applied (Enter keeps the focus in the edit) counts.
    if (!busy) {
        busy = true;
        ApplyName();
        busy = false;
    }
    closing_ = true;
    CYRNDialog::OnOK();
}

void DocOptionsDialog::OnCancel() {
    closing_ = true;
    CYRNDialog::OnCancel();
}

int32_t DocOptionsDialog::LineCount() const {
    return PagesView() ? DocumentPageCount(Document()) : CustomToolCount();
}

std::string DocOptionsDialog::LineText(int32_t n) const {
    char text[kToolNameBytes + kPageNameChars] = "";
    if (PagesView()) DocOptionsPageName(Document(), n, text);
    else CustomToolName(n, text, kToolNameBytes);
    return text;
}

void DocOptionsDialog::SetViewTexts() {
    const int v = PagesView() ? 1 : 0;
    SetDlgItemText(kNameLabel, LoadText(kNameLabelText[v]).c_str());
    SetDlgItemText(kAddButton, LoadText(kAddText[v]).c_str());
    SetDlgItemText(kRemoveButton, LoadText(kRemoveText[v]).c_str());
    SetDlgItemText(kShowCheck, LoadText(kShowText[v]).c_str());
    addButton_.mnemonic = MnemonicOf(LoadText(kAddText[v]).c_str());
}

void DocOptionsDialog::SetNameText(const char* text) {
    const bool wasBusy = busy;
    busy = true;
    SetDlgItemText(kNameEdit, text);
    ::SendDlgItemMessageA(m_hWnd, kNameEdit, EM_SETMODIFY, FALSE, 0);
    busy = wasBusy;
}

void DocOptionsDialog::FillList(int32_t n) {
    const int32_t count = LineCount();
    if (n == -1) n = selection >= 0 ? selection : 0;
    if (n > count - 1) n = count - 1;
    const bool wasBusy = busy;
    busy = true;
    list_.ResetContent();
    for (int32_t i = 0; i < count; ++i) list_.AddString(LineText(i).c_str());
    SetNameText(n >= 0 ? LineText(n).c_str() : "");
    list_.SetCurSel(n);
    selection = n;
    if (PagesView() && n >= 0) GoToPage(Document(), n);
    busy = wasBusy;
    UpdateControls();
}

void DocOptionsDialog::FitBrokenLinks(bool shown) {
    RECT window{}, client{};
    GetWindowRect(&window);
    GetClientRect(&client);
    const int wantedClient = shown ? groupBottom_ + kLinksMargin : groupTop_;
    const int height = (window.bottom - window.top) - (client.bottom - client.top) + wantedClient;
    if (height == window.bottom - window.top) return;
    // Without the group the dialog is smaller than its template.
    minHeight = height;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DocOptionsDialog::UpdateControls() {
    EngineDocument* document = Document();
    const bool pages = PagesView();
    const int32_t count = LineCount();
    EnableControl(kAddButton, pages || CustomToolsAvailable(false));

    const bool noTools = !pages && count == 0;
    ::ShowWindow(::GetDlgItem(m_hWnd, kNoToolsText), noTools ? SW_SHOW : SW_HIDE);
    for (int id : {kList, kNameEdit, kNameLabel}) ::ShowWindow(::GetDlgItem(m_hWnd, id), noTools ? SW_HIDE : SW_SHOW);

    EnableControl(kRemoveButton, pages ? count > 1 : count >= 1);
    if (pages) {
        EnableControl(kShowCheck, count > 1);
        CheckDlgButton(kShowCheck, document->documentValue ? BST_CHECKED : BST_UNCHECKED);
    } else {
        EnableControl(kShowCheck, true);
        CheckDlgButton(kShowCheck, IsScriptViewVisible() ? BST_CHECKED : BST_UNCHECKED);
    }

    if (selection < 0) SetNameText("");

    const bool broken = pages && DocOptionsLinkButtons(document, document->currentPage, false) > 0;
    for (int id : {kLinksGroup, kLinksText, kSelectButtons})
        ::ShowWindow(::GetDlgItem(m_hWnd, id), broken ? SW_SHOW : SW_HIDE);
    FitBrokenLinks(broken);
}

void DocOptionsDialog::OnSelChange() {
    const int n = list_.GetCurSel();
    selection = n;
    SetNameText(n >= 0 ? LineText(n).c_str() : "");
    if (PagesView() && n >= 0) GoToPage(Document(), n);
    UpdateControls();
}

void DocOptionsDialog::OnNameChange() {
    if (busy || closing_ || PagesView() || selection < 0) return;
    char text[kToolNameBytes] = "";
    GetDlgItemText(kNameEdit, text, sizeof text);
    CustomToolRename(selection, text);
}

void DocOptionsDialog::OnNameKillFocus() {
    if (busy || closing_) return;
    busy = true;
    ApplyName();
    busy = false;
}

void DocOptionsDialog::ApplyName() {
    if (selection < 0 || selection >= LineCount()) return;
    // Only what the user typed: a tool "renamed" to its own name would still count as a
    // change to the document.
    if (::SendDlgItemMessageA(m_hWnd, kNameEdit, EM_GETMODIFY, 0, 0) == 0) return;
    ::SendDlgItemMessageA(m_hWnd, kNameEdit, EM_SETMODIFY, FALSE, 0);
    char text[kToolNameBytes] = "";
    GetDlgItemText(kNameEdit, text, sizeof text);
    if (PagesView()) DocOptionsRenamePage(Document(), selection, text);
    else CustomToolRename(selection, text);
    // The line shows what the item is now called (a page renamed to its number or to
    // nothing shows its number).
    const int32_t n = selection;
    list_.DeleteString(n);
    list_.InsertString(n, LineText(n).c_str());
    list_.SetCurSel(n);
}

void DocOptionsDialog::MoveEntry(int32_t from, int32_t to) {
    if (PagesView()) MoveListEntry(Document(), from, to);
    else DocOptionsMoveTool(from, to);
    FillList(to);
    Invalidate();
}

void DocOptionsDialog::OnRemove() {
    if (selection < 0) return;
    if (PagesView()) {
        if (DocumentPageCount(Document()) < 2) return;
        DocOptionsDeletePage(Document(), selection);
    } else {
        DocOptionsDeleteTool(selection);
    }
    FillList(-1);
}

void DocOptionsDialog::OnShowCheck() {
    const bool checked = IsDlgButtonChecked(kShowCheck) == BST_CHECKED;
    if (PagesView()) {
        EngineDocument* document = Document();
        document->documentValue = checked ? 1 : 0;
        // The flag is kept in the file: a change is one to save.
        SetDocumentModified(document, true);
        RebuildPageTabs(document);
    } else {
        ShowScriptView(checked);
    }
}

void DocOptionsDialog::OnSelectButtons() {
    EngineDocument* document = Document();
    DocOptionsLinkButtons(document, document->currentPage, true);
    FillList(-1);
}

void DocOptionsDialog::SwitchView(int32_t newView) {
    if (newView == view) return;
    if (!PagesView()) toolSelection = selection;
    view = newView;
    SetViewTexts();
    // The addButton's text changed: it draws itself.
    ::InvalidateRect(::GetDlgItem(m_hWnd, kAddButton), nullptr, TRUE);
    selection = -1;
    FillList(PagesView() ? CurrentPageIndex(Document()) : toolSelection);
    Invalidate();
}

void DocOptionsDialog::OnAddMenu() {
    if (!busy) {
        busy = true;
        ApplyName();
        busy = false;
    }
    if (PagesView()) RunAddPageMenu();
    else RunCopyToolMenu();
}

void DocOptionsDialog::RunAddPageMenu() {
    EngineDocument* document = Document();
    auto pageNames = [](EngineDocument* d) {
        std::vector<std::string> names;
        char text[kPageNameChars + 1];
        for (int32_t i = 0; i < DocumentPageCount(d); ++i) {
            DocOptionsPageName(d, i, text);
            names.push_back(text);
        }
        return names;
    };
    std::vector<EngineDocument*> open(64);
    int32_t openCount = OpenEngineDocuments(open.data(), int32_t(open.size()));
    if (openCount > int32_t(open.size())) {
        open.resize(size_t(openCount));
        openCount = OpenEngineDocuments(open.data(), int32_t(open.size()));
    }
    open.resize(size_t(openCount < 0 ? 0 : openCount));
    std::vector<EngineDocument*> otherDocs;
    std::vector<AddPageSource> others;
    for (EngineDocument* d : open) {
        if (!d || d == document || DocumentPageCount(d) == 0) continue;
        char title[256] = "";
        DocumentWindowTitle(d, title, sizeof title);
        otherDocs.push_back(d);
        others.push_back({title, pageNames(d)});
    }
    char buttonText[81] = "";
    GetDlgItemText(kAddButton, buttonText, sizeof buttonText);
    std::vector<AddPageChoice> choices;
    HMENU menu = BuildAddPageMenu(buttonText, pageNames(document), others, &choices);
    if (!menu) return;
    RECT r{};
    ::GetWindowRect(::GetDlgItem(m_hWnd, kAddButton), &r);
    const UINT chosen = UINT(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY,
                                              r.left, r.bottom, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    if (chosen == kBlankPageItem) {
        void* page = nullptr;
        if (AddDocumentItem(document, &page, kDocumentItemPage, document->owner) == kResultOK && page) {
            SetDocumentModified(document, true);
            UpdateWindowTitles(document);
            RebuildPageTabs(document);
        }
        FillList(DocumentPageCount(document) - 1);
        return;
    }
    if (chosen < kFirstDuplicateItem || chosen - kFirstDuplicateItem >= choices.size()) return;
    const AddPageChoice& choice = choices[chosen - kFirstDuplicateItem];
    DuplicatePages(choice.source < 0 ? document : otherDocs[size_t(choice.source)], choice.page);
}

void DocOptionsDialog::DuplicatePages(EngineDocument* source, int32_t page) {
    EngineDocument* document = Document();
    BusyTask* task = BeginBusyTask(kBusyCopyingPages, 0, false);
    const int32_t sourceCount = DocumentPageCount(source);
    char title[256] = "";
    if (source != document) DocumentWindowTitle(source, title, sizeof title);
    const int32_t first = page < 0 ? 0 : page;
    const int32_t last = page < 0 ? sourceCount - 1 : page;
    for (int32_t p = first; p <= last; ++p) {
        const int32_t before = DocumentPageCount(document);
        // A copy that fails adds nothing; the other pages are still tried.
        if (DocOptionsCopyPage(document, DocumentPageAt(source, p), document->owner, task) != kResultOK) continue;
        if (DocumentPageCount(document) != before + 1 || source == document) continue;
        char name[kPageNameChars + 1];
        if (DocOptionsPageName(document, before, name)) continue;
        DocOptionsRenamePage(document, before, CopiedPageName(title, p + 1, sourceCount > 1).c_str());
    }
    RebuildPageTabs(document);
    FillList(DocumentPageCount(document) - 1);
    EndBusyTask(task);
}

void DocOptionsDialog::RunCopyToolMenu() {
    EngineDocument* document = Document();
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return;
    char buttonText[81] = "";
    GetDlgItemText(kAddButton, buttonText, sizeof buttonText);
    ::AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, buttonText);
    ToolMenuModel model{1, nullptr, document};
    uint32_t counter = kFirstToolItem;
    if (BuildCustomToolMenu(reinterpret_cast<PopupMenu*>(menu), &model, &counter)) {
        RECT r{};
        ::GetWindowRect(::GetDlgItem(m_hWnd, kAddButton), &r);
        const UINT chosen = UINT(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY,
                                                  r.left, r.bottom, 0, m_hWnd, nullptr));
        if (chosen) {
            const int32_t before = DocumentToolCount(document);
            ChooseCustomToolFromMenu(chosen, &model, false);
            if (DocumentToolCount(document) > before) DocOptionsAddTool();
            FillList(CustomToolCount() - 1);
        }
    }
    FreeToolMenuEntry(&model);
    ::DestroyMenu(menu);
}
