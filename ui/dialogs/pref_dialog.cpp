#include "ui/dialogs/pref_dialog.h"

#include "engine/core/color_list.h"
#include "engine/core/services/later_release.h"
#include "engine/core/services/string_groups.h"
#include "engine/interact/pick_session.h"
#include "engine/interact/preferences_dialog.h"
#include "platform/rules/colors.h"
#include "platform/rules/dialog_rules.h"
#include "platform/rules/font_list.h"
#include "platform/win32/custom_colors.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/frames/main_frame.h"
#include "ui/portable/preference_rules.h"

#include <commdlg.h>

#include <cstring>
#include <iterator>

IMPLEMENT_DYNAMIC(CPrefDlg, CYRNPropSheet)

namespace {

// Page controls.
constexpr int kDistanceUnitCombo = 1110, kAngleUnitCombo = 1111;
constexpr int kPrecisionCombos[] = { 1108, 1112, 1115 };
constexpr int kFirstColorButton = 1008, kLastColorButton = 1016;
constexpr int32_t kFirstColorField = 3;
constexpr int kQualityCombo = 1279, kScaleCombo = 1280;
constexpr int kMaximumSamplesEdit = 1258;
constexpr int32_t kMaximumSamplesField = 2;
constexpr int kFontCombo = 1280;
constexpr int32_t kFontField = 4, kColorMenuField = 5;
constexpr int kResetAllButton = 1260, kEditColorMenuButton = 1262;
constexpr int32_t kColorPickerTemplate = 224, kEditColorMenuTemplate = 226;

// What the templates list in their combo boxes before any exchange.
const char* const kPrecisionItems[] = { "Units", "Tenths", "Hundredths", "Thousandths", "Ten Thousandths",
                                        "Hundred Thousandths" };
// An emptied precision combo is refilled with these.
const char* const kPrecisionFallback[] = { "units", "tenths", "hundredths", "thousandths", "ten thousandths",
                                           "hundred thousandths" };
const char* const kQualityItems[] = { "1x", "5x", "10x" };
const char* const kScaleItems[] = { "100%", "200%", "400%", "800%" };
// Where the texts are string resources: the same items by string id.
constexpr uint32_t kFirstQualityString = 1404, kFirstScaleString = 1407;
// The System page's anti-aliasing row and the two rows below it, moved down (in pixels)
// to share out its room when the choice is not offered.
constexpr int kAntiAliasLabel = 1375, kAntiAliasCombo = 1281;
constexpr int32_t kAntiAliasField = 6;
constexpr int kSymbolFontRow[] = { 1377, 1280 };
constexpr int kResolutionRow[] = { 1378, 1253, 1255 };
constexpr int kSymbolFontRowMove = 20, kResolutionRowMove = 10;
constexpr uint32_t kFirstAntiAliasString = 1427;
const char* const kAntiAliasItems[] = { "Never", "When Speed Permits", "Always" };
// String group 7: "pixels", "cm", "inches", then "radians", "degrees", "directed degrees".
constexpr int32_t kFirstDistanceUnitItem = 2, kFirstAngleUnitItem = 5, kUnitItemCount = 3;

int32_t ComboCount(HWND combo) { return static_cast<int32_t>(::SendMessageA(combo, CB_GETCOUNT, 0, 0)); }

void AddComboItems(HWND combo, const char* const* items, size_t count) {
    for (size_t i = 0; i < count; ++i) ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
}

void FillWhenEmpty(HWND combo, const char* const* items, size_t count) {
    if (combo && ComboCount(combo) <= 0) AddComboItems(combo, items, count);
}

void FillUnitsWhenEmpty(HWND combo, int32_t firstItem) {
    if (!combo || ComboCount(combo) > 0) return;
    for (int32_t i = 0; i < kUnitItemCount; ++i)
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GroupText(kGroupUnits, firstItem + i)));
}

bool IsChecked(HWND page, int id) { return ::IsDlgButtonChecked(page, id) == BST_CHECKED; }

// Fills an empty combo with `count` numbered strings from `firstId`, each falling back to
// `ownTexts`.
void FillNumberedWhenEmpty(HWND combo, uint32_t firstId, const char* const* ownTexts, size_t count) {
    if (!combo || ComboCount(combo) > 0) return;
    for (size_t i = 0; i < count; ++i) {
        const char* text = NumberedOrOwnText(firstId + static_cast<uint32_t>(i), ownTexts[i]);
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

// Offsets a control without resizing it.
void MoveControlBy(HWND page, int id, int dy) {
    HWND control = ::GetDlgItem(page, id);
    if (!control) return;
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    ::SetWindowPos(control, nullptr, r.left, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT_PTR AskColorPickerForm(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, int32_t topic) {
    const auto form = LaterForms().window.colorPickerMessage;
    return form && form(dialog, message, wParam, lParam, topic) ? 1 : 0;
}

}  // namespace

// ---- The sheet -----------------------------------------------------------------------

namespace {

template <class Page>
PrefPageBase* NewPage(int32_t index, UINT templateId, DialogField* f, int32_t count) {
    return new Page(templateId, f, nullptr, PreferenceControlIdOf, index, count);
}

PrefPageBase* MakePrefPage(int32_t index, UINT templateId, DialogField* f, int32_t count) {
    switch (index) {
    case kPrefPageUnits: return NewPage<PrefUnitPage>(index, templateId, f, count);
    case kPrefPageColor: return NewPage<PrefColorPage>(index, templateId, f, count);
    case kPrefPageText: return NewPage<PrefTextPage>(index, templateId, f, count);
    case kPrefPageExport: return NewPage<PrefExportPage>(index, templateId, f, count);
    case kPrefPageSampling: return NewPage<PrefSamplePage>(index, templateId, f, count);
    default: return NewPage<PrefSystemPage>(index, templateId, f, count);
    }
}

}  // namespace

CPrefDlg::CPrefDlg(PreferencePageSet* set, DialogChangeFn apply)
    : CYRNPropSheet("Preferences", false, set, true, apply, nullptr, 0), pageSet(set) {
    m_psh.dwFlags |= PSH_HASHELP;
    RebuildPages(false);
}

CPrefDlg::~CPrefDlg() { RebuildPages(true); }

void CPrefDlg::RebuildPages(bool takeDown) {
    if (takeDown) {
        if (pageSet) pageSet->startPage = currentPage;
        for (int i = GetPageCount() - 1; i >= 0; --i) {
            CPropertyPage* page = GetPage(i);
            RemovePage(i);
            delete page;
        }
        return;
    }
    if (!pageSet) return;
    for (int32_t index = 0; index < kPreferencePageCount; ++index) {
        DialogField* f = pageSet->pages[index];
        if (!f) continue;
        const UINT templateId = static_cast<UINT>(PreferencePageTable[index].dialogTemplate);
        const int32_t count = PreferencePageFieldCount(index);
        PrefPageBase* page = MakePrefPage(index, templateId, f, count);
        page->SetHelpTopic(PreferencePageTable[index].helpTopic);
        AddPageWithHelp(page, PreferencePageTable[index].helpTopic);
    }
    if (GetPageCount() == 0) return;
    // Pages are found by their index, which equals their position while the set leaves
    // no gaps.
    int position = 0;
    for (int i = 0; i < GetPageCount(); ++i)
        if (static_cast<PrefPageBase*>(GetPage(i))->pageIndex == pageSet->startPage) position = i;
    currentPage = static_cast<PrefPageBase*>(GetPage(position))->pageIndex;
    SetActivePage(position);
}

// ---- The Apply To pair ---------------------------------------------------------------

BEGIN_MESSAGE_MAP(PrefApplyToPage, PrefPageBase)
    ON_CONTROL_RANGE(BN_CLICKED, kApplyThisSketchBox, kApplyNewSketchesBox, OnApplyToClicked)
END_MESSAGE_MAP()

void PrefApplyToPage::DoDataExchange(CDataExchange* dx) {
    if (dx->m_bSaveAndValidate) {
        PreferencesApplyMode() =
            ApplyModeOf({ IsChecked(m_hWnd, kApplyThisSketchBox), IsChecked(m_hWnd, kApplyNewSketchesBox) });
    } else {
        const ApplyToChecks checks = ApplyToChecksOf(PreferencesApplyMode());
        ::CheckDlgButton(m_hWnd, kApplyThisSketchBox, checks.thisSketch ? BST_CHECKED : BST_UNCHECKED);
        ::CheckDlgButton(m_hWnd, kApplyNewSketchesBox, checks.newSketches ? BST_CHECKED : BST_UNCHECKED);
    }
    PrefPageBase::DoDataExchange(dx);
}

void PrefApplyToPage::OnApplyToClicked(UINT id) {
    const ApplyToChecks before{ IsChecked(m_hWnd, kApplyThisSketchBox), IsChecked(m_hWnd, kApplyNewSketchesBox) };
    const ApplyToChecks after = ApplyToAfterClick(before, static_cast<int32_t>(id));
    if (after.thisSketch != before.thisSketch) ::CheckDlgButton(m_hWnd, kApplyThisSketchBox, BST_CHECKED);
    if (after.newSketches != before.newSketches) ::CheckDlgButton(m_hWnd, kApplyNewSketchesBox, BST_CHECKED);
}

// ---- Units ---------------------------------------------------------------------------

bool PrefUnitPage::OnInitDialog() {
    for (int id : kPrecisionCombos)
        AddComboItems(::GetDlgItem(m_hWnd, id), kPrecisionItems, std::size(kPrecisionItems));
    return PrefApplyToPage::OnInitDialog();
}

void PrefUnitPage::DoDataExchange(CDataExchange* dx) {
    if (!dx->m_bSaveAndValidate) {
        for (int id : kPrecisionCombos)
            FillWhenEmpty(::GetDlgItem(m_hWnd, id), kPrecisionFallback, std::size(kPrecisionFallback));
        FillUnitsWhenEmpty(::GetDlgItem(m_hWnd, kDistanceUnitCombo), kFirstDistanceUnitItem);
        FillUnitsWhenEmpty(::GetDlgItem(m_hWnd, kAngleUnitCombo), kFirstAngleUnitItem);
    }
    PrefApplyToPage::DoDataExchange(dx);
}

// ---- Color ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(PrefColorPage, PrefApplyToPage)
    ON_WM_DRAWITEM()
    ON_CONTROL_RANGE(BN_CLICKED, kFirstColorButton, kLastColorButton, OnColorButton)
END_MESSAGE_MAP()

void PrefColorPage::OnDrawItem(int id, LPDRAWITEMSTRUCT item) {
    const int32_t field = kFirstColorField + (id - kFirstColorButton);
    if (id < kFirstColorButton || id > kLastColorButton || !fields || field >= fieldCount) return;
    HBRUSH brush = ::CreateSolidBrush(static_cast<COLORREF>(fields[field].value.integer) & 0xFFFFFF);
    HGDIOBJ oldPen = ::SelectObject(item->hDC, ::GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = brush ? ::SelectObject(item->hDC, brush) : nullptr;
    const RECT& r = item->rcItem;
    ::Rectangle(item->hDC, r.left, r.top, r.right, r.bottom);
    if (oldBrush) ::SelectObject(item->hDC, oldBrush);
    ::SelectObject(item->hDC, oldPen);
    if (brush) ::DeleteObject(brush);
}

void PrefColorPage::OnColorButton(UINT id) {
    const int32_t field = kFirstColorField + (static_cast<int32_t>(id) - kFirstColorButton);
    if (!fields || field >= fieldCount) return;
    uint32_t color = static_cast<uint32_t>(fields[field].value.integer);
    auto* custom = reinterpret_cast<uint32_t*>(CustomColorArray());
    if (!RunTemplateColorDialog(this, kColorPickerTemplate, &color, custom, kColorPagePickerHelpTopic)) return;
    fields[field].value.integer = static_cast<int32_t>(color & 0xFFFFFF);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    if (HWND button = ::GetDlgItem(m_hWnd, static_cast<int>(id))) ::InvalidateRect(button, nullptr, TRUE);
}

UINT_PTR CALLBACK ColorPickerHelpHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return AskColorPickerForm(dialog, message, wParam, lParam, kColorPickerHelpTopic);
}

UINT_PTR CALLBACK ColorPagePickerHelpHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return AskColorPickerForm(dialog, message, wParam, lParam, kColorPagePickerHelpTopic);
}

bool RunTemplateColorDialog(CWnd* owner, int32_t templateId, uint32_t* color, uint32_t* custom, int32_t helpTopic) {
    static_assert(sizeof(COLORREF) == sizeof(uint32_t));
    HWND focus = ::GetFocus();
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner ? owner->m_hWnd : nullptr;
    choose.hInstance = reinterpret_cast<HWND>(ResourceModule());
    choose.rgbResult = *color & 0xFFFFFF;
    choose.lpCustColors = reinterpret_cast<COLORREF*>(custom);
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_SHOWHELP | CC_ENABLETEMPLATE | CC_ANYCOLOR;
    choose.lpTemplateName = MAKEINTRESOURCEA(templateId);
    // Where the program answers the Help button itself, the picker's topic opens.
    if (helpTopic && LaterForms().window.colorPickerMessage) {
        choose.Flags |= CC_ENABLEHOOK;
        choose.lpfnHook = helpTopic == kColorPickerHelpTopic ? ColorPickerHelpHook : ColorPagePickerHelpHook;
    }
    // The menu idle timer keeps the sketches' motions going while the dialog is up.
    StartMenuIdleTimer();
    const bool accepted = ::ChooseColorA(&choose) != FALSE;
    StopMenuIdleTimer();
    if (focus && ::IsWindow(focus)) ::SetFocus(focus);
    if (accepted) *color = choose.rgbResult & 0xFFFFFF;
    return accepted;
}

// ---- Export --------------------------------------------------------------------------

bool PrefExportPage::OnInitDialog() {
    AddComboItems(::GetDlgItem(m_hWnd, kQualityCombo), kQualityItems, std::size(kQualityItems));
    AddComboItems(::GetDlgItem(m_hWnd, kScaleCombo), kScaleItems, std::size(kScaleItems));
    return PrefPageBase::OnInitDialog();
}

void PrefExportPage::DoDataExchange(CDataExchange* dx) {
    if (!dx->m_bSaveAndValidate) {
        FillNumberedWhenEmpty(::GetDlgItem(m_hWnd, kQualityCombo), kFirstQualityString, kQualityItems,
                              std::size(kQualityItems));
        FillNumberedWhenEmpty(::GetDlgItem(m_hWnd, kScaleCombo), kFirstScaleString, kScaleItems,
                              std::size(kScaleItems));
    }
    PrefPageBase::DoDataExchange(dx);
}

// ---- Sampling ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(PrefSamplePage, PrefPageBase)
    ON_EN_CHANGE(kMaximumSamplesEdit, OnMaximumChanged)
END_MESSAGE_MAP()

void PrefSamplePage::OnMaximumChanged() {
    if (loading || !fields || fieldCount <= kMaximumSamplesField) return;
    // The bounds of the sample counts follow the maximum as it is typed. Only the maximum
    // is taken, and only once it reads as an allowed value: saving the whole page here
    // would hold the other counts against a number still being typed ("1" of "12000")
    // and refuse them at every keystroke. Leaving the page or OK checks them all.
    char text[64] = "";
    ::GetDlgItemTextA(m_hWnd, kMaximumSamplesEdit, text, sizeof text);
    DialogField& maximum = fields[kMaximumSamplesField];
    const IntegerReading reading = ReadIntegerField(text, maximum.lower, maximum.upper, maximum.value.integer);
    if (reading.entry != IntegerEntry::kAccepted) return;
    maximum.value.integer = reading.value;
    CPropertySheet* sheet = GetSheet();
    if (!sheet || !sheet->IsKindOf(RUNTIME_CLASS(CYRNPropSheet))) return;
    auto* base = static_cast<CYRNPropSheet*>(sheet);
    if (base->hasApplyCallback && base->applyCallback) base->applyCallback(base->record);
}

// ---- System --------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(PrefSystemPage, PrefPageBase)
    ON_BN_CLICKED(kResetAllButton, OnResetAll)
    ON_BN_CLICKED(kEditColorMenuButton, OnEditColorMenu)
END_MESSAGE_MAP()

bool PrefSystemPage::OnInitDialog() {
    const auto available = LaterForms().window.antiAliasChoiceAvailable;
    if (available && fields && fieldCount > kAntiAliasField) {
        if (!available()) {
            fields[kAntiAliasField].state &= ~kFieldVisible;
            ::ShowWindow(::GetDlgItem(m_hWnd, kAntiAliasLabel), SW_HIDE);
            ::ShowWindow(::GetDlgItem(m_hWnd, kAntiAliasCombo), SW_HIDE);
            for (int id : kSymbolFontRow) MoveControlBy(m_hWnd, id, kSymbolFontRowMove);
            for (int id : kResolutionRow) MoveControlBy(m_hWnd, id, kResolutionRowMove);
        } else {
            ::ShowWindow(::GetDlgItem(m_hWnd, kAntiAliasLabel), SW_SHOW);
            FillNumberedWhenEmpty(::GetDlgItem(m_hWnd, kAntiAliasCombo), kFirstAntiAliasString, kAntiAliasItems,
                                  std::size(kAntiAliasItems));
        }
    }
    return PrefPageBase::OnInitDialog();
}

void PrefSystemPage::DoDataExchange(CDataExchange* dx) {
    PrefPageBase::DoDataExchange(dx);
    if (!fields || fieldCount <= kFontField) return;
    DialogField& font = fields[kFontField];
    HWND combo = ::GetDlgItem(m_hWnd, kFontCombo);
    if (!combo) return;
    if (dx->m_bSaveAndValidate) {
        const LRESULT chosen = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
        if (chosen < 0 || !font.value.text || font.upper <= 0) return;
        const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(chosen), 0);
        if (length < 0 || length >= font.upper) return;
        ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(font.value.text));
        return;
    }
    ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    const FontList& list = TheFontList();
    // Element 0 repeats the default face; the installed faces follow in list order.
    const InstalledFont* faces = list.size > 1 ? list.items + 1 : nullptr;
    const int32_t count = list.size > 1 ? list.size - 1 : 0;
    for (int32_t i = 0; i < count; ++i)
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(faces[i].faceName));
    const int32_t chosen = PreselectMathFont(faces, count, font.value.text);
    if (chosen >= 0) ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

void PrefSystemPage::OnResetAll() {
    CPropertySheet* sheet = GetSheet();
    void* record = nullptr;
    if (sheet && sheet->IsKindOf(RUNTIME_CLASS(CYRNPropSheet))) record = static_cast<CYRNPropSheet*>(sheet)->record;
    PreferencesSystemDefaults(record);
    UpdateData(false);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void PrefSystemPage::OnEditColorMenu() {
    if (!fields || fieldCount <= kColorMenuField) return;
    CustomColorBlock* block = fields[kColorMenuField].value.colors;
    // Entries the block does not fill still show a colour.
    uint32_t custom[kMaxCustomColors];
    CopyCustomColors(kDefaultCustomColors, custom, kMaxCustomColors);
    const int32_t held = block ? block->count : 0;
    if (block) CopyCustomColors(block->colors, custom, held);
    uint32_t color = custom[0];
    if (!RunTemplateColorDialog(this, kEditColorMenuTemplate, &color, custom)) return;
    if (block) CopyCustomColors(custom, block->colors, held);
}
