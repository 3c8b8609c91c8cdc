// The engine's records come before the Windows headers, whose names some of them reuse.
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/core/action_button_data.h"
#include "engine/core/object_tables.h"
#include "engine/core/ptr_list.h"
#include "engine/core/services/views.h"
#include "engine/core/sketch.h"
#include "engine/core/units.h"
#include "engine/docio/engine_document.h"
#include "engine/interact/motion_params.h"
#include "engine/interact/pick_session.h"
#include "engine/interact/tool_playback.h"
#include "engine/text/object_labels.h"
#include "engine/text/string_groups.h"
#include "ui/dialogs/properties_sheet.h"
#include "platform/rules/properties_rules.h"
#include "platform/win32/shell.h"
#include "platform/win32/shell_windows.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/dialogs/popup_menu_button.h"
#include "ui/dialogs/properties_objects.h"
#include "ui/dialogs/smart_edit.h"
#include "ui/resource_ids.h"

IMPLEMENT_DYNAMIC(CPropDlg, CYRNPropSheet)

namespace {

constexpr int kPopupCommandOffset = 2000;   // a pop-up button with no items asks with id + 2000

std::string GroupText(int32_t group, int32_t item) {
    char text[256];
    GetGroupString(group, item, text, sizeof text);
    return text;
}

bool ToolBodyMode() {
    Sketch* sketch = CurrentSketch();
    return sketch != nullptr && sketch == GetPlaybackTool(nullptr);
}

SketchObject* ObjectOfSet(const PropertiesPages* set) {
    return set && set->pages[kPageObject] ? static_cast<SketchObject*>(set->pages[kPageObject][0].value.pointer) : nullptr;
}

std::string NounAndLabel(SketchObject* object, uint32_t room) {
    std::string text(room + 1, '\0');
    FormatNounAndLabel(object, kLabelNumbered, text.data(), room + 1, true);
    text.resize(std::strlen(text.c_str()));
    return text;
}

void ShowItem(HWND dialog, int id, bool shown) {
    if (HWND c = ::GetDlgItem(dialog, id)) ::ShowWindow(c, shown ? SW_SHOW : SW_HIDE);
}
void EnableItem(HWND dialog, int id, bool enabled) {
    if (HWND c = ::GetDlgItem(dialog, id)) ::EnableWindow(c, enabled);
}
bool Checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// Runs a pop-up menu at a screen point with the engine's idle work going on; the chosen
// identifier, 0 for none.
UINT TrackMenu(HMENU menu, HWND owner, int x, int y) {
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, ModalIdleTimerProc);
    const bool wasOpen = gComboListOpen;
    gComboListOpen = true;
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, x, y, 0, owner, nullptr));
    gComboListOpen = wasOpen;
    ::KillTimer(nullptr, timer);
    return chosen;
}

// ---- The pages --------------------------------------------------------------------------

// What every page of the sheet adds to the base: a hook after each load and a guard that
// keeps the control changes of a load from being taken for the user's edits.
class PropPage : public YRNPropPage {
public:
    using YRNPropPage::YRNPropPage;

    bool ExchangeControls(CDataExchange* dx) override {
        if (dx->m_bSaveAndValidate) {
            BeforeSave();
            return YRNPropPage::ExchangeControls(dx);
        }
        loading = true;
        const bool ok = YRNPropPage::ExchangeControls(dx);
        AfterLoad();
        loading = false;
        return ok;
    }

    bool Save() { return UpdateData(true); }
    CPropDlg* Sheet() {
        CWnd* parent = GetParent();
        return parent && parent->IsKindOf(RUNTIME_CLASS(CPropDlg)) ? static_cast<CPropDlg*>(parent) : nullptr;
    }
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void AttachNumber(SmartEdit& edit, int id) {
        if (!edit.m_hWnd && Item(id)) edit.Attach(Item(id), GetFont());
    }

    bool loading = false;

protected:
    virtual void BeforeSave() {}
    virtual void AfterLoad() {}
};

class PropObjectPage : public PropPage {
public:
    using PropPage::PropPage;
    bool OnInitDialog() override {
        parents_.Attach(Item(1015));
        children_.Attach(Item(1016));
        return PropPage::OnInitDialog();
    }
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        const int id = LOWORD(wParam);
        if (id == 1015 + kPopupCommandOffset || id == 1016 + kPopupCommandOffset) {
            ShowRelatives(id - kPopupCommandOffset);
            return true;
        }
        return PropPage::OnCommand(wParam, lParam);
    }

protected:
    void AfterLoad() override {
        const bool parents = fields && (fields[4].state & kFieldEnabled);
        const bool children = fields && (fields[5].state & kFieldEnabled);
        ::SetDlgItemTextA(m_hWnd, 1015, parents ? NumberedOrOwnText(1393, "Parents") : NumberedOrOwnText(1392, "No Parents"));
        ::SetDlgItemTextA(m_hWnd, 1016,
                          children ? NumberedOrOwnText(1395, "Children") : NumberedOrOwnText(1394, "No Children"));
    }
    LRESULT OnMenuSelect(WPARAM wParam, LPARAM) {
        const UINT item = LOWORD(wParam);
        if (!ToolBodyMode() && HIWORD(wParam) != 0xFFFF) {
            SetDialogFocusObject(item >= kFirstItem && item < kFirstItem + menuObjects_.size()
                                     ? menuObjects_[item - kFirstItem]
                                     : nullptr);
            FlushPendingRedraw(1);
        }
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    static constexpr UINT kFirstItem = 100;

    void ShowRelatives(int buttonId) {
        const int field = buttonId == 1015 ? 4 : 5;
        if (!fields || !(fields[field].state & kFieldEnabled)) return;
        const PtrList list = static_cast<PtrList>(fields[field].value.integer);
        int32_t count = 0;
        void** items = PtrListItems(list, &count);
        menuObjects_.clear();
        HMENU menu = ::CreatePopupMenu();
        char title[81] = "";
        ::GetDlgItemTextA(m_hWnd, buttonId, title, sizeof title);
        ::AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, title);
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        for (int32_t i = 0; items && i < count; ++i) {
            auto* relative = static_cast<SketchObject*>(items[i]);
            menuObjects_.push_back(relative);
            char name[41];
            DoubleAmpersands(NounAndLabel(relative, 40).c_str(), name, sizeof name);
            ::AppendMenuA(menu, MF_STRING, kFirstItem + static_cast<UINT>(i), name);
        }
        RECT r{};
        ::GetWindowRect(Item(buttonId), &r);
        const UINT chosen = TrackMenu(menu, m_hWnd, r.left, r.bottom);
        ::DestroyMenu(menu);
        if (!ToolBodyMode()) SetDialogFocusObject(nullptr);
        FlushPendingRedraw(1);
        if (chosen < kFirstItem || chosen >= kFirstItem + menuObjects_.size()) return;
        SketchObject* picked = menuObjects_[chosen - kFirstItem];
        menuObjects_.clear();
        if (!Save()) return;
        CPropDlg* sheet = Sheet();
        if (!sheet || !fields) return;
        fields[1].value.pointer = picked;
        sheet->RetargetFromObjectPage();
    }

    PopupMenuButton parents_, children_;
    std::vector<SketchObject*> menuObjects_;
};

BEGIN_MESSAGE_MAP(PropObjectPage, YRNPropPage)
    ON_MESSAGE(WM_MENUSELECT, OnMenuSelect)
END_MESSAGE_MAP()

class PropLabelPage : public PropPage {
public:
    using PropPage::PropPage;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (!loading && id == 1064 && code == EN_CHANGE) {
            Save();
            return true;
        }
        if (id == 1065 && code == BN_CLICKED) {
            Save();
            return true;
        }
        if (id == 1067 && code == BN_CLICKED) {
            if (fields && fields[2].value.pointer) EditTextStyleCopy(static_cast<TextStyle*>(fields[2].value.pointer));
            return true;
        }
        return PropPage::OnCommand(wParam, lParam);
    }

protected:
    bool ExchangeControls(CDataExchange* dx) override {
        // A reload while the user types keeps the caret where it was.
        DWORD start = 0, end = 0;
        if (!dx->m_bSaveAndValidate && Item(1064))
            ::SendMessageA(Item(1064), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const bool ok = PropPage::ExchangeControls(dx);
        if (!dx->m_bSaveAndValidate && Item(1064) && ::GetFocus() == Item(1064))
            ::SendMessageA(Item(1064), EM_SETSEL, start, end);
        return ok;
    }
    void AfterLoad() override {
        if (!fields) return;
        const int32_t item = fields[4].value.integer;
        if (item >= 80 && item <= 83) ::SetDlgItemTextA(m_hWnd, 1100, GroupText(17, item).c_str());
    }
};

class PropLocusPage : public PropPage {
public:
    using PropPage::PropPage;
    bool OnInitDialog() override {
        AttachNumber(samples_, 1075);
        AttachNumber(low_, 1126);
        AttachNumber(high_, 1127);
        return PropPage::OnInitDialog();
    }
    bool functionPlot = false;

protected:
    void AfterLoad() override {
        if (!fields) return;
        ShowItem(m_hWnd, 1144, (fields[1].state & kFieldVisible) != 0);
        if (!functionPlot || !object) return;
        const bool angle = PlotHasAngleDomain(object);
        const int32_t unit = CurrentSketchAngleUnit();
        const int32_t caption = !angle ? 30 : unit == kAngleRadians ? 32 : 31;
        ::SetDlgItemTextA(m_hWnd, 1284, GroupText(17, caption).c_str());
        const std::string suffix = !angle ? "" : unit == kAngleRadians ? GroupText(7, 11) : GroupText(7, 12);
        ::SetDlgItemTextA(m_hWnd, 1286, suffix.c_str());
        ::SetDlgItemTextA(m_hWnd, 1287, suffix.c_str());
        // The inequality in the Symbol face: two less-or-equal signs around the variable.
        if (CPropDlg* sheet = Sheet(); sheet && sheet->symbolFont)
            ::SendMessageA(Item(1285), WM_SETFONT, reinterpret_cast<WPARAM>(sheet->symbolFont), TRUE);
        ::SetDlgItemTextA(m_hWnd, 1285, angle ? "\xA3 q \xA3" : "\xA3 x \xA3");
        if (ToolBodyMode()) {
            ::SetDlgItemTextA(m_hWnd, 1126, "");
            ::SetDlgItemTextA(m_hWnd, 1127, "");
        }
    }

private:
    SmartEdit samples_{ "01234567890+-*" };
    SmartEdit low_, high_;
};

class PropMeasurePage : public PropPage {
public:
    using PropPage::PropPage;
    bool OnInitDialog() override {
        AttachNumber(value_, 1252);
        HWND combo = Item(1078);
        if (combo && ::SendMessageA(combo, CB_GETCOUNT, 0, 0) == 0) {
            static const char* const kPrecisions[] = {
                "units", "tenths", "hundredths", "thousandths", "ten thousandths", "hundred thousandths",
            };
            for (const char* p : kPrecisions) ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
        }
        return PropPage::OnInitDialog();
    }
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        const int id = LOWORD(wParam);
        if (!loading && id >= 1266 && id <= 1268 && HIWORD(wParam) == BN_CLICKED) {
            ::CheckRadioButton(m_hWnd, 1266, 1268, id);
            Save();
            return true;
        }
        return PropPage::OnCommand(wParam, lParam);
    }

protected:
    bool ExchangeControls(CDataExchange* dx) override {
        const bool ok = PropPage::ExchangeControls(dx);
        // The engine's mode 3 (current label) is the third radio; its mode 2 has none.
        if (fields && dx->m_bSaveAndValidate && Checked(m_hWnd, 1268)) fields[1].value.integer = 3;
        return ok;
    }
    void AfterLoad() override {
        if (!fields) return;
        const int32_t mode = fields[1].value.integer;
        for (int id = 1266; id <= 1268; ++id) {
            const int32_t shownMode = id == 1268 ? 3 : id - 1266;
            ::CheckDlgButton(m_hWnd, id, mode == shownMode ? BST_CHECKED : BST_UNCHECKED);
        }
        const bool parameter = ObjectIsParameter(object);
        const bool calculation = object && object->objectClass == kClassCalculation;
        char first[64];
        std::snprintf(first, sizeof first, "&%s", GroupText(17, calculation ? 34 : 33).c_str());
        ::SetDlgItemTextA(m_hWnd, 1266, first);
        if (parameter) EnableItem(m_hWnd, 1266, false);
        int32_t unitItem = -1;
        if (fields[3].value.integer == 1) unitItem = CurrentSketchAngleUnit() == kAngleRadians ? 5 : 6;
        else if (fields[3].value.integer == 2) unitItem = 2 + CurrentSketchDistanceUnit();
        ::SetDlgItemTextA(m_hWnd, 1289, unitItem >= 0 ? GroupText(7, unitItem).c_str() : "");
        const bool valueShown = (fields[2].state & kFieldVisible) != 0;
        for (int id : { 1290, 1291, 1252, 1289 }) ShowItem(m_hWnd, id, valueShown);
    }

private:
    SmartEdit value_;
};

class PropHideShowButtonPage : public PropPage {
public:
    using PropPage::PropPage;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        const int id = LOWORD(wParam);
        if (id >= 1266 && id <= 1268 && HIWORD(wParam) == BN_CLICKED) {
            const bool handled = PropPage::OnCommand(wParam, lParam);
            UpdateSelectAfter();
            return handled;
        }
        return PropPage::OnCommand(wParam, lParam);
    }

protected:
    void AfterLoad() override { UpdateSelectAfter(); }

private:
    void UpdateSelectAfter() { EnableItem(m_hWnd, 1129, Checked(m_hWnd, 1266) || Checked(m_hWnd, 1268)); }
};

class PropMoveButtonPage : public PropPage {
public:
    using PropPage::PropPage;
    bool OnInitDialog() override {
        HWND combo = Item(1130);
        if (combo && ::SendMessageA(combo, CB_GETCOUNT, 0, 0) == 0)
            for (int32_t item = 4; item <= 7; ++item)
                ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GroupText(17, item).c_str()));
        return PropPage::OnInitDialog();
    }
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(wParam) == 1130 && HIWORD(wParam) == CBN_SELCHANGE) UpdateFollow();
        return PropPage::OnCommand(wParam, lParam);
    }

protected:
    void AfterLoad() override { UpdateFollow(); }

private:
    void UpdateFollow() {
        const bool instant = ::SendMessageA(Item(1130), CB_GETCURSEL, 0, 0) == 3;
        EnableItem(m_hWnd, 1266, !instant);
        EnableItem(m_hWnd, 1267, !instant);
    }
};

// The Scroll and Table pages need nothing beyond their fields.
class PropButtonPage : public PropPage {
public:
    using PropPage::PropPage;
};
class PropTablePage : public PropPage {
public:
    using PropPage::PropPage;
};

class PropLinkButtonPage : public PropPage {
public:
    using PropPage::PropPage;
    bool OnInitDialog() override {
        pageButton_.Attach(Item(1213));
        targetButton_.Attach(Item(1214));
        return PropPage::OnInitDialog();
    }
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == 1213 + kPopupCommandOffset) {
            ChoosePage();
            return true;
        }
        if (id == 1214 + kPopupCommandOffset) {
            ChooseButton();
            return true;
        }
        if ((id == 1203 || id == 1204) && code == BN_CLICKED) {
            const bool handled = PropPage::OnCommand(wParam, lParam);
            UpdateChoiceControls();
            return handled;
        }
        if (!loading && id == 1153 && code == EN_CHANGE) {
            ::CheckRadioButton(m_hWnd, 1203, 1204, 1204);
            UpdateChoiceControls();
            Save();
            return true;
        }
        return PropPage::OnCommand(wParam, lParam);
    }

protected:
    void BeforeSave() override {
        if (!fields) return;
        fields[1].value.integer = chosenPage_;
        fields[2].value.integer = chosenButton_;
    }
    void AfterLoad() override {
        if (!fields) return;
        chosenPage_ = fields[1].value.integer;
        chosenButton_ = fields[2].value.integer;
        const bool several = PageCount() >= 2;
        ShowItem(m_hWnd, 1212, !several);
        for (int id : { 1213, 1214, 1364 }) ShowItem(m_hWnd, id, several);
        if (!several) EnableItem(m_hWnd, 1203, false);
        ShowChoices();
        UpdateChoiceControls();
    }

private:
    static constexpr UINT kFirstItem = 100;

    EngineDocument* Document() const {
        Sketch* here = CurrentSketch();
        return here && here->document ? here->document : gEngine.frontDocument;
    }
    int32_t PageCount() const { return Document() ? DocumentPageCount(Document()) : 0; }
    std::string PageName(int32_t number) const {
        Sketch* page = Document() ? DocumentPageAt(Document(), number - 1) : nullptr;
        char text[128];
        if (page && page->title && page->title[0]) DoubleAmpersands(page->title, text, sizeof text);
        else std::snprintf(text, sizeof text, "Page %d", static_cast<int>(number));
        return text;
    }
    // The action buttons of the chosen page that a link may press, in sketch order.
    std::vector<SketchObject*> PressableButtons() const {
        std::vector<SketchObject*> found;
        Sketch* page = Document() && chosenPage_ > 0 ? DocumentPageAt(Document(), chosenPage_ - 1) : nullptr;
        for (SketchObject* o = page ? page->firstObject : nullptr; o; o = o->nextInSketch) {
            const ActionButtonData* b = o->objectClass == kClassActionButton ? ActionButtonOf(o) : nullptr;
            if (b && b->buttonType != kButtonLinkToPage && b->buttonType != kButtonLinkToTarget) found.push_back(o);
        }
        return found;
    }
    std::string ButtonName(SketchObject* button) const {
        char label[kLabelBufferSize];
        GetObjectLabel(button, kLabelNumbered, label, nullptr);
        char text[128];
        DoubleAmpersands(label, text, sizeof text);
        return text;
    }
    void ShowChoices() {
        ::SetDlgItemTextA(m_hWnd, 1213, chosenPage_ == 0 ? "(Missing)" : PageName(chosenPage_).c_str());
        const std::vector<SketchObject*> buttons = PressableButtons();
        const bool hasButton = chosenButton_ >= 1 && chosenButton_ <= static_cast<int32_t>(buttons.size());
        ::SetDlgItemTextA(m_hWnd, 1214, hasButton ? ButtonName(buttons[size_t(chosenButton_ - 1)]).c_str() : "(None)");
        ::InvalidateRect(Item(1213), nullptr, TRUE);
        ::InvalidateRect(Item(1214), nullptr, TRUE);
    }
    void UpdateChoiceControls() {
        const bool toPage = Checked(m_hWnd, 1203);
        EnableItem(m_hWnd, 1213, toPage);
        EnableItem(m_hWnd, 1214, toPage);
        EnableItem(m_hWnd, 1153, !toPage);
    }
    void ChoosePage() {
        HMENU menu = ::CreatePopupMenu();
        int current = 0, row = 0;
        if (chosenPage_ == 0) {
            ::AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, "(Missing)");
            ++row;
        }
        Sketch* own = CurrentSketch();
        for (int32_t n = 1; n <= PageCount(); ++n) {
            if (DocumentPageAt(Document(), n - 1) == own) continue;
            if (n == chosenPage_) current = row;
            ::AppendMenuA(menu, MF_STRING | (n == chosenPage_ ? MF_CHECKED : 0), kFirstItem + UINT(n),
                          PageName(n).c_str());
            ++row;
        }
        // The current choice comes up under the pointer.
        POINT at{};
        ::GetCursorPos(&at);
        const int rowHeight = ::GetSystemMetrics(SM_CYMENUSIZE);
        menu_ = kPageMenu;
        shownBefore_ = CurrentPageIndex(Document());
        const UINT chosen = TrackMenu(menu, m_hWnd, at.x, at.y - current * rowHeight - rowHeight / 2);
        EndMenu();
        ::DestroyMenu(menu);
        if (chosen <= kFirstItem) return;
        chosenPage_ = static_cast<int32_t>(chosen - kFirstItem);
        chosenButton_ = 0;
        ShowChoices();
    }
    void ChooseButton() {
        const std::vector<SketchObject*> buttons = PressableButtons();
        HMENU menu = ::CreatePopupMenu();
        ::AppendMenuA(menu, MF_STRING | (chosenButton_ == 0 ? MF_CHECKED : 0), kFirstItem, "(None)");
        for (size_t i = 0; i < buttons.size(); ++i)
            ::AppendMenuA(menu, MF_STRING | (chosenButton_ == int32_t(i + 1) ? MF_CHECKED : 0),
                          kFirstItem + 1 + UINT(i), ButtonName(buttons[i]).c_str());
        RECT r{};
        ::GetWindowRect(Item(1214), &r);
        menu_ = kButtonMenu;
        menuButtons_ = buttons;
        shownBefore_ = CurrentPageIndex(Document());
        if (chosenPage_ > 0) GoToPage(Document(), chosenPage_ - 1);
        const UINT chosen = TrackMenu(menu, m_hWnd, r.left, r.bottom);
        EndMenu();
        ::DestroyMenu(menu);
        if (chosen < kFirstItem) return;
        chosenButton_ = static_cast<int32_t>(chosen - kFirstItem);
        ShowChoices();
    }

    // While a menu is open the sketch window shows the page it is about: the page
    // highlighted in the page menu, the chosen page (its highlighted button marked) in the
    // button menu; the page shown before comes back when the menu closes.
    LRESULT OnMenuSelect(WPARAM wParam, LPARAM) {
        if (menu_ == kNoMenu || HIWORD(wParam) == 0xFFFF) return 0;
        const UINT item = LOWORD(wParam);
        if (menu_ == kPageMenu) {
            const int32_t page = item > kFirstItem ? int32_t(item - kFirstItem) - 1 : shownBefore_;
            if (page >= 0) GoToPage(Document(), page);
        } else {
            const size_t n = item > kFirstItem ? size_t(item - kFirstItem) : 0;
            SetDialogFocusObject(n >= 1 && n <= menuButtons_.size() ? menuButtons_[n - 1] : nullptr);
        }
        FlushPendingRedraw(1);
        return 0;
    }
    void EndMenu() {
        if (menu_ == kButtonMenu) SetDialogFocusObject(nullptr);
        menu_ = kNoMenu;
        menuButtons_.clear();
        if (shownBefore_ >= 0 && Document() && CurrentPageIndex(Document()) != shownBefore_) GoToPage(Document(), shownBefore_);
        FlushPendingRedraw(1);
    }
    DECLARE_MESSAGE_MAP()

    enum Menu { kNoMenu, kPageMenu, kButtonMenu };
    PopupMenuButton pageButton_, targetButton_;
    int32_t chosenPage_ = 0;
    int32_t chosenButton_ = 0;
    Menu menu_ = kNoMenu;
    int32_t shownBefore_ = -1;
    std::vector<SketchObject*> menuButtons_;
};

BEGIN_MESSAGE_MAP(PropLinkButtonPage, YRNPropPage)
    ON_MESSAGE(WM_MENUSELECT, OnMenuSelect)
END_MESSAGE_MAP()

class PropPresentButtonPage : public PropPage {
public:
    using PropPage::PropPage;
    bool OnInitDialog() override {
        AttachNumber(stopAfter_, 1252);
        AttachNumber(pause_, 1253);
        return PropPage::OnInitDialog();
    }
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        const int id = LOWORD(wParam);
        if (!loading && (id == 1305 || id == 1306 || (id >= 1266 && id <= 1268)) && HIWORD(wParam) == BN_CLICKED) {
            PropPage::OnCommand(wParam, lParam);
            if (Save()) UpdateData(false);
            return true;
        }
        return PropPage::OnCommand(wParam, lParam);
    }

protected:
    void AfterLoad() override {
        if (!fields) return;
        const bool single = (fields[0].state & kFieldVisible) == 0;
        const bool sequential = !single && fields[0].value.integer == 1;
        for (int id : { 1333, 1253, 1334 }) ShowItem(m_hWnd, id, sequential);
        for (int id : { 1335, 1266, 1267, 1268, 1252, 1336 }) ShowItem(m_hWnd, id, !sequential);
        ShowItem(m_hWnd, 1337, single);
        if (single) EnableItem(m_hWnd, 1266, false);
    }

private:
    SmartEdit stopAfter_, pause_;
};

class PropIterationPage : public PropPage {
public:
    using PropPage::PropPage;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (loading || !fields) return PropPage::OnCommand(wParam, lParam);
        if (id == 1297 && code == BN_CLICKED) {
            fields[3].value.integer = 1;
            Save();
            return true;
        }
        if ((id == 1294 || id == 1295) && code == BN_CLICKED) {
            ::CheckRadioButton(m_hWnd, 1294, 1295, id);
            fields[2].value.integer = id == 1295 ? 1 : 0;
            EnableItem(m_hWnd, 1297, id == 1295);
            Save();
            return true;
        }
        if (((id == 1266 || id == 1267) && code == BN_CLICKED) || (id == 1281 && code == EN_UPDATE)) {
            PropPage::OnCommand(wParam, lParam);
            Save();
            return true;
        }
        return PropPage::OnCommand(wParam, lParam);
    }

protected:
    void AfterLoad() override {
        if (!fields) return;
        EnableItem(m_hWnd, 1281, (fields[0].state & kFieldEnabled) != 0);
        const bool paths = (fields[2].state & kFieldVisible) && (fields[2].state & kFieldEnabled);
        for (int id = 1294; id <= 1297; ++id) ShowItem(m_hWnd, id, paths);
        EnableItem(m_hWnd, 1297, Checked(m_hWnd, 1295));
    }
};

class PropParameterPage : public PropPage {
public:
    using PropPage::PropPage;
    bool OnInitDialog() override {
        const int ids[] = { 1253, 1254, 1307, 1257, 1258 };
        for (int i = 0; i < 5; ++i) AttachNumber(edits_[i], ids[i]);
        return PropPage::OnInitDialog();
    }
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        const int id = LOWORD(wParam);
        if ((id == 1266 || id == 1267) && HIWORD(wParam) == BN_CLICKED)
            ::SetDlgItemTextA(m_hWnd, 1308, UnitLabel(id == 1266));
        return PropPage::OnCommand(wParam, lParam);
    }

protected:
    void AfterLoad() override {
        if (fields) ::SetDlgItemTextA(m_hWnd, 1308, UnitLabel(fields[5].value.integer == 0));
    }
    static const char* UnitLabel(bool per) {
        return per ? NumberedOrOwnText(1414, "units per") : NumberedOrOwnText(1415, "units each");
    }

private:
    SmartEdit edits_[5];
};

// The word of the Animate page's layout for the current target: which of its labels and
// groups show. Bits: 16 speed choice, 17 path directions, 18 once only, 22 continuous
// rate, 23 discrete rate, 24 seconds, 25 a free point, 26 circular directions, 27
// number directions, 28 range, 29 change mode, 30 an axis point, 31 moved by parents.
uint32_t AnimateLayoutWord(const MotionParamsPage* model) {
    if (!model) return 0;
    const uint32_t mask = model->controlMask;
    auto has = [mask](int32_t control) { return (mask & (1u << control)) != 0; };
    SketchObject* target = nullptr;
    int32_t count = 0;
    void** targets = PtrListItems(model->targets, &count);
    if (targets && model->current >= 1 && model->current <= count) target = static_cast<SketchObject*>(targets[model->current - 1]);
    const MotionTargetKind kind = target ? MotionTargetKindOf(target) : kTargetNone;
    uint32_t word = 0;
    if (has(kMotionControlSpeedChoice)) word |= 1u << 16;
    if (has(kMotionControlDirection)) {
        if (kind == kTargetNumber) word |= 1u << 27;
        else word |= model->circularWording ? 1u << 26 : 1u << 17;
    }
    if (has(kMotionControlOnceOnly)) word |= 1u << 18;
    if (has(kMotionControlRate)) word |= model->discrete ? 1u << 23 : 1u << 22;
    if (has(kMotionControlSeconds)) word |= 1u << 24;
    if (has(kMotionControlLow) || has(kMotionControlHigh)) word |= 1u << 28;
    if (has(kMotionControlDiscrete)) word |= 1u << 29;
    if (kind == kTargetFreePoint) word |= 1u << 25;
    if (kind == kTargetAxisUnit) word |= 1u << 30;
    if (kind == kTargetOtherPoint) word |= 1u << 31;
    return word;
}

class PropAnimationPage : public PropPage {
public:
    using PropPage::PropPage;
    bool OnInitDialog() override {
        for (int id : { 1313, 1315, 1317, 1319, 1323 }) AttachNumber(numbers_[Slot(id)], id);
        speed_.Attach(Item(1322));
        for (int32_t item = 0; item <= 3; ++item) speed_.items.push_back(GroupText(17, item));
        speed_.firstItemId = 1000;
        direction_.Attach(Item(1330));
        direction_.firstItemId = 1010;
        const bool ok = PropPage::OnInitDialog();
        Refresh();
        return ok;
    }
    bool OnSetActive() override {
        const bool ok = PropPage::OnSetActive();
        Grow(true);
        SelectTarget();
        return ok;
    }
    bool OnKillActive() override {
        if (!PropPage::OnKillActive()) return false;
        SetDialogFocusObject(nullptr);
        FlushPendingRedraw(1);
        Grow(false);
        return true;
    }
    bool OnCommand(WPARAM wParam, LPARAM lParam) override {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (!fields || loading) return PropPage::OnCommand(wParam, lParam);
        if ((id == 1133 || id == 1310 || id == 1311) && code == BN_CLICKED) {
            PropPage::OnCommand(wParam, lParam);
            Sync();
            return true;
        }
        if (id == 1293 && code == LBN_SELCHANGE) {
            fields[4].value.integer = static_cast<int32_t>(::SendMessageA(Item(1293), LB_GETCURSEL, 0, 0)) + 1;
            Sync();
            SelectTarget();
            return true;
        }
        if (id >= 1000 && id <= 1003) {
            fields[6].value.integer = id - 1000;
            Sync();
            if (id == 1003 && Item(1323)) {
                ::SetFocus(Item(1323));
                ::SendMessageA(Item(1323), EM_SETSEL, 0, -1);
            }
            return true;
        }
        if (id >= 1010 && id <= 1013) {
            fields[5].value.integer = id - 1010;
            Sync();
            return true;
        }
        return PropPage::OnCommand(wParam, lParam);
    }

protected:
    LRESULT OnApplyRequest(WPARAM, LPARAM) {
        if (fields && !loading) Sync();
        return 0;
    }
    void AfterLoad() override { Refresh(); }
    DECLARE_MESSAGE_MAP()

private:
    static int Slot(int id) { return id == 1313 ? 0 : id == 1315 ? 1 : id == 1317 ? 2 : id == 1319 ? 3 : 4; }
    MotionParamsPage* Model() const { return fields ? static_cast<MotionParamsPage*>(fields[1].value.pointer) : nullptr; }

    // Saves, lets the motion record follow, then shows what it made of the edit.
    void Sync() {
        if (!Save()) return;
        MotionParamsPage* model = Model();
        int32_t changed = 0;
        if (model) {
            model->current = fields[4].value.integer;
            changed = MotionParamsSync(model);
        }
        if (changed) UpdateData(false);
        else FillTargets();
        Refresh();
    }
    void FillTargets() {
        HWND list = Item(1293);
        MotionParamsPage* model = Model();
        if (!list || !model) return;
        ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
        int32_t count = 0;
        PtrListItems(model->targets, &count);
        for (int32_t i = 0; i < count; ++i) {
            char text[101];
            DescribeMotionTarget(model, i, text, sizeof text);
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
        ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(fields[4].value.integer - 1), 0);
    }
    void SelectTarget() {
        MotionParamsPage* model = Model();
        SketchObject* target = nullptr;
        int32_t count = 0;
        void** items = model ? PtrListItems(model->targets, &count) : nullptr;
        const int32_t selected = fields ? fields[4].value.integer : 0;
        if (items && selected >= 1 && selected <= count) target = static_cast<SketchObject*>(items[selected - 1]);
        SetDialogFocusObject(target);
        FlushPendingRedraw(1);
    }
    void Refresh() {
        if (!fields) return;
        FillTargets();
        if (fields[6].state & kFieldVisible) {
            const int32_t speed = fields[6].value.integer;
            ::SetDlgItemTextA(m_hWnd, 1322, GroupText(17, speed >= 0 && speed <= 3 ? speed : 1).c_str());
        }
        const uint32_t word = AnimateLayoutWord(Model());
        const int32_t first = AnimateDirectionFirstItem(word);
        direction_.items.clear();
        for (int32_t i = 0; i < 4; ++i) direction_.items.push_back(GroupText(17, first + i));
        if (fields[5].state & kFieldVisible) {
            const int32_t d = fields[5].value.integer;
            ::SetDlgItemTextA(m_hWnd, 1330, GroupText(17, first + (d >= 0 && d <= 3 ? d : 0)).c_str());
        }
        const int32_t rateMode = (fields[9].state & kFieldVisible) ? fields[9].value.integer : -1;
        static const int kLaidOut[] = { 1330, 1329, 1133, 1324, 1312, 1314, 1327, 1326, 1325,
                                        1316, 1318, 1320, 1321, 1309, 1328, 1331, 1332 };
        for (int id : kLaidOut) ShowItem(m_hWnd, id, AnimateControlShown(id, word, rateMode));
        // The field's own state decides for the controls that show a field.
        for (int32_t f = 5; f <= 13; ++f) {
            const int32_t id = PropertiesControlIdOf(kPageAnimate, f);
            if (id == 1330 && !AnimateControlShown(1330, word, rateMode)) continue;
            ShowItem(m_hWnd, id, (fields[f].state & kFieldVisible) != 0);
            if (id == 1310) ShowItem(m_hWnd, 1311, (fields[f].state & kFieldVisible) != 0);
        }
        ::InvalidateRect(Item(1322), nullptr, TRUE);
        ::InvalidateRect(Item(1330), nullptr, TRUE);
    }
    // The sheet grows so that the range group fits, and shrinks back when the page is left.
    void Grow(bool grow) {
        CWnd* sheet = GetParent();
        if (!sheet) return;
        HWND tab = reinterpret_cast<HWND>(::SendMessageA(sheet->m_hWnd, PSM_GETTABCONTROL, 0, 0));
        if (!tab) return;
        SheetGrowth g{};
        if (grow) {
            if (grown_.dx || grown_.dy) return;
            RECT group{}, tabRect{};
            ::GetWindowRect(Item(1324), &group);
            ::GetWindowRect(tab, &tabRect);
            g = AnimateSheetGrowth({ group.left, group.top, group.right, group.bottom },
                                   { tabRect.left, tabRect.top, tabRect.right, tabRect.bottom });
            grown_ = g;
        } else {
            g = { -grown_.dx, -grown_.dy };
            grown_ = {};
        }
        if (g.dx == 0 && g.dy == 0) return;
        auto resize = [](HWND w, int dx, int dy) {
            RECT r{};
            ::GetWindowRect(w, &r);
            ::SetWindowPos(w, nullptr, 0, 0, r.right - r.left + dx, r.bottom - r.top + dy,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        };
        auto move = [sheet](HWND w, int dx, int dy) {
            RECT r{};
            ::GetWindowRect(w, &r);
            ::MapWindowPoints(nullptr, sheet->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            ::SetWindowPos(w, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        };
        resize(sheet->m_hWnd, g.dx, g.dy);
        resize(tab, g.dx, g.dy);
        resize(m_hWnd, g.dx, g.dy);
        for (int id : { IDOK, IDCANCEL, 9 })
            if (HWND b = ::GetDlgItem(sheet->m_hWnd, id)) move(b, g.dx, g.dy);
        ::InvalidateRect(sheet->m_hWnd, nullptr, TRUE);
    }

    SmartEdit numbers_[5];
    PopupMenuButton speed_, direction_;
    SheetGrowth grown_{};
};

BEGIN_MESSAGE_MAP(PropAnimationPage, YRNPropPage)
    ON_MESSAGE(WM_APP, OnApplyRequest)
END_MESSAGE_MAP()

// One row per page, in the order the sheet adds them, with its help topic; the page's
// template (whose caption is the tab's text) is the model's.
struct PageRow {
    int32_t modelPage;
    int32_t helpTopic;
};
const PageRow kPageRows[] = {
    //  model page         help
    {   kPageObject,       7 },
    {   kPageLabel,        8 },
    {   kPagePlot,         9 },
    {   kPageValue,        10 },
    {   kPageAnimate,      11 },
    {   kPageHideShow,     12 },
    {   kPageMove,         13 },
    {   kPagePresentation, 16 },
    {   kPageScroll,       14 },
    {   kPageLink,         15 },
    {   kPageIteration,    17 },
    {   kPageParameter,    18 },
    {   kPageTable,        19 },
};
static_assert(std::size(kPageRows) == kPropertyPageCount);

YRNPropPage* MakePage(const PageRow& row, DialogField* fields, SketchObject* object) {
    const int32_t count = PropertyPageFieldCount(row.modelPage);
    const bool functionPlot = row.modelPage == kPagePlot && object && object->objectKind == kKindFunctionPlot;
    const PropertyPageRow& model = PropertyPageModel[row.modelPage];
    const UINT templateId = static_cast<UINT>(functionPlot ? model.plotTemplate : model.dialogTemplate);
    switch (row.modelPage) {
    case kPageObject: return new PropObjectPage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    case kPageLabel: return new PropLabelPage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    case kPagePlot: {
        auto* page = new PropLocusPage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
        page->functionPlot = functionPlot;
        return page;
    }
    case kPageValue: return new PropMeasurePage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    case kPageAnimate: return new PropAnimationPage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    case kPageHideShow: return new PropHideShowButtonPage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    case kPageMove: return new PropMoveButtonPage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    case kPagePresentation: return new PropPresentButtonPage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    case kPageScroll: return new PropButtonPage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    case kPageLink: return new PropLinkButtonPage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    case kPageIteration: return new PropIterationPage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    case kPageParameter: return new PropParameterPage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    default: return new PropTablePage(templateId, fields, object, PropertiesControlIdOf, row.modelPage, count);
    }
}

}  // namespace

// ---- The sheet ------------------------------------------------------------------------

CPropDlg::CPropDlg(PropertiesPages* pageSet, DialogChangeFn apply)
    : CYRNPropSheet("Properties", true, pageSet, true, apply, nullptr, 0), set(pageSet) {
    BuildPages(set->startPage);
}

CPropDlg::~CPropDlg() {
    if (currentPage >= 0) set->startPage = currentPage;
    while (GetPageCount() > 0) RemovePage(GetPageCount() - 1);
    pages_.clear();
}

INT_PTR CPropDlg::DoModal() {
    const INT_PTR result = CYRNPropSheet::DoModal();
    // A page that showed an object as the dialog's focus (the Animate page's target) gives
    // it back as it was, however the sheet ended.
    SetDialogFocusObject(nullptr);
    FlushPendingRedraw(1);
    if (currentPage >= 0) set->startPage = currentPage;
    return result;
}

bool CPropDlg::OnInitDialog() {
    const bool ok = CYRNPropSheet::OnInitDialog();
    UpdateCaption();
    return ok;
}

int32_t CPropDlg::ModelPageAt(int32_t position) const {
    return position >= 0 && position < static_cast<int32_t>(pages_.size()) ? pages_[size_t(position)]->pageIndex : -1;
}

YRNPropPage* CPropDlg::PageFor(int32_t modelPage) const {
    for (const auto& page : pages_)
        if (page->pageIndex == modelPage) return page.get();
    return nullptr;
}

void CPropDlg::BuildPages(int32_t startPage) {
    SketchObject* object = ObjectOfSet(set);
    if (pages_.empty()) {
        YRNPropPage* first = MakePage(kPageRows[0], set->pages[kPageObject], object);
        pages_.emplace_back(first);
        AddPageWithHelp(first, kPageRows[0].helpTopic);
    } else {
        // The Object page stays through a retarget and shows the new object.
        YRNPropPage* first = pages_.front().get();
        first->fields = set->pages[kPageObject];
        first->object = object;
        if (first->m_hWnd) first->UpdateData(false);
    }
    int32_t active = 0;
    for (size_t r = 1; r < std::size(kPageRows); ++r) {
        const PageRow& row = kPageRows[r];
        DialogField* fields = set->pages[row.modelPage];
        if (!fields) continue;
        YRNPropPage* page = MakePage(row, fields, object);
        pages_.emplace_back(page);
        AddPageWithHelp(page, row.helpTopic);
        if (row.modelPage == startPage && startPage != kPageObject) active = static_cast<int32_t>(pages_.size()) - 1;
    }
    SetActivePage(active);
    UpdateCaption();
}

void CPropDlg::UpdateCaption() {
    SketchObject* object = ObjectOfSet(set);
    if (!object) return;
    const std::string nounAndLabel = NounAndLabel(object, 256);
    char label[kLabelBufferSize];
    GetObjectLabel(object, kLabelNumbered, label, nullptr);
    char caption[320];
    FormatPropertiesCaption(nounAndLabel.c_str(), label, caption, sizeof caption);
    SetTitle(caption);
    if (m_hWnd) ::SetWindowTextA(m_hWnd, caption);
}

void CPropDlg::RebuildPages(bool takeDown) {
    if (!takeDown) {
        if (!set->pages[kPageObject]) {
            EndCancelled();
            return;
        }
        BuildPages(set->startPage);
        return;
    }
    const int32_t shown = ModelPageAt(GetActiveIndex());
    if (shown >= 0) set->startPage = shown;
    // Moving to the Object page saves the page being left.
    if (GetActiveIndex() != 0) SetActivePage(0);
    if (!pages_.empty() && pages_.front()->m_hWnd) pages_.front()->UpdateData(true);
    while (GetPageCount() > 1) RemovePage(GetPageCount() - 1);
    pages_.resize(pages_.empty() ? 0 : 1);
}

void CPropDlg::RetargetFromObjectPage() {
    RebuildPages(true);
    PropertiesRetarget();
    RebuildPages(false);
    if (YRNPropPage* first = pages_.empty() ? nullptr : pages_.front().get()) {
        ::InvalidateRect(::GetDlgItem(first->m_hWnd, 1015), nullptr, TRUE);
        ::InvalidateRect(::GetDlgItem(first->m_hWnd, 1016), nullptr, TRUE);
    }
}

void CPropDlg::EndCancelled() {
    // The model could not prepare the picked object's pages: nothing is left to show,
    // and the Object page's fields are gone with the rest.
    if (!pages_.empty()) pages_.front()->fields = nullptr;
    if (m_hWnd) ::PostMessageA(m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

void CPropDlg::OnPickMouse(UINT message, POINT screenPoint) {
    // A press must first leave the active page; a refused value keeps the sheet as it is.
    if (message == WM_LBUTTONDOWN)
        if (CPropertyPage* active = GetActivePage(); active && !active->UpdateData(true)) return;
    CYRNPropSheet::OnPickMouse(message, screenPoint);
}

int RunPropertiesSheet(PropertiesPages* set, DialogChangeFn apply) {
    if (!set || !set->pages[kPageObject]) return IDCANCEL;
    CPropDlg sheet(set, apply);
    return sheet.DoModal() == IDOK ? IDOK : IDCANCEL;
}
