// The Preferences sheet: three basic pages, and three advanced ones when the model's page
// set holds their fields. Values pass between the controls and the model's field arrays;
// the pages add what a field cannot say (the Apply To pair, filled combo boxes, colour
// buttons and the colour dialogs, the font list, Reset All Preferences).
#pragma once
#include <cstdint>

#include "classlib/propsheet.h"
#include "engine/core/services/dialogs.h"
#include "ui/dialogs/yrn_prop_page.h"
#include "ui/dialogs/yrn_prop_sheet.h"

struct PreferencePageSet;

// The Preferences pages: their number boxes may not be left empty.
class PrefPageBase : public YRNPropPage {
public:
    PrefPageBase(UINT templateId, DialogField* fields, SketchObject* object, ControlIdOfFn controlIdOf,
                 int32_t pageIndex, int32_t fieldCount)
        : YRNPropPage(templateId, fields, object, controlIdOf, pageIndex, fieldCount) {
        valueRequired = true;
    }
};

class CPrefDlg : public CYRNPropSheet {
    DECLARE_DYNAMIC(CPrefDlg)
public:
    CPrefDlg(PreferencePageSet* set, DialogChangeFn apply);
    ~CPrefDlg() override;

    void RebuildPages(bool takeDown) override;

    PreferencePageSet* pageSet;
};

// The Apply To pair, shared by the Units, Color and Text pages.
class PrefApplyToPage : public PrefPageBase {
public:
    using PrefPageBase::PrefPageBase;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void OnApplyToClicked(UINT id);
    DECLARE_MESSAGE_MAP()
};

class PrefUnitPage : public PrefApplyToPage {
public:
    using PrefApplyToPage::PrefApplyToPage;
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
};

class PrefColorPage : public PrefApplyToPage {
public:
    using PrefApplyToPage::PrefApplyToPage;

protected:
    void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    void OnColorButton(UINT id);
    DECLARE_MESSAGE_MAP()
};

class PrefTextPage : public PrefApplyToPage {
public:
    using PrefApplyToPage::PrefApplyToPage;
};

class PrefExportPage : public PrefPageBase {
public:
    using PrefPageBase::PrefPageBase;
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
};

class PrefSamplePage : public PrefPageBase {
public:
    using PrefPageBase::PrefPageBase;

protected:
    void OnMaximumChanged();
    DECLARE_MESSAGE_MAP()
};

class PrefSystemPage : public PrefPageBase {
public:
    using PrefPageBase::PrefPageBase;
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

protected:
    void OnResetAll();
    void OnEditColorMenu();
    DECLARE_MESSAGE_MAP()
};

// The colour dialog on one of our templates (224 or 226), starting from `color`, with
// `custom` as its sixteen custom colours; true with the chosen colour in `color` on OK.
// `helpTopic` is the topic the dialog's Help button opens where the program hooks it.
bool RunTemplateColorDialog(CWnd* owner, int32_t templateId, uint32_t* color, uint32_t* custom,
                            int32_t helpTopic = 0);

// The colour dialogs' hook procedures: the main frame's picker and the colour page's.
UINT_PTR CALLBACK ColorPickerHelpHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
UINT_PTR CALLBACK ColorPagePickerHelpHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
constexpr int32_t kColorPickerHelpTopic = 47, kColorPagePickerHelpTopic = 48;

